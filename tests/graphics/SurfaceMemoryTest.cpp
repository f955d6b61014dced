// MemorySurface and DrawSurface: allocation, resize rules, size limits.

#include <gtest/gtest.h>

#include <climits>

#include "graphics/DrawSurface.h"
#include "graphics/Surface.h"

namespace sorvano {
namespace {

TEST(SurfaceMemoryTest, SizesThatCannotBeAllocatedGiveAnEmptySurface) {
  struct Case {
    int w, h;
  };
  // Negative pairs would give a positive w * h; INT_MAX pairs overflow 32 bits.
  for (const Case c : {Case{0, 0}, Case{0, 5}, Case{5, 0}, Case{-1, -1}, Case{-4, 3}, Case{INT_MAX, INT_MAX},
                       Case{65536, 65536}, Case{INT_MIN, INT_MIN}}) {
    MemorySurface m(c.w, c.h);
    EXPECT_EQ(m.Bits(), nullptr) << c.w << " x " << c.h;
    EXPECT_EQ(m.Width(), 0);
    EXPECT_EQ(m.Height(), 0);
    DrawSurface d(c.w, c.h);
    EXPECT_EQ(d.Bits(), nullptr) << c.w << " x " << c.h;
    EXPECT_EQ(d.Width(), 0);
    EXPECT_EQ(d.Height(), 0);
  }
}

TEST(SurfaceMemoryTest, SurfaceBytesIsComputedWithoutOverflow) {
  EXPECT_EQ(SurfaceBytes(3, 5), 60u);
  EXPECT_EQ(SurfaceBytes(46341, 46341), 0u);  // 2'147'488'281 pixels, one beyond the limit
  EXPECT_EQ(SurfaceBytes(1, INT_MAX), static_cast<std::size_t>(INT_MAX) * 4);
  EXPECT_EQ(SurfaceBytes(-2, -2), 0u);
}

TEST(SurfaceMemoryTest, MemorySurfaceGrowsByAQuarterAndKeepsItsBlockWhenShrinking) {
  MemorySurface m;
  EXPECT_TRUE(m.Resize(10, 10));  // exactly 400 bytes
  ASSERT_NE(m.Bits(), nullptr);
  EXPECT_EQ(m.RowSpan(), 10);
  EXPECT_FALSE(m.Resize(10, 10));

  EXPECT_TRUE(m.Resize(11, 10));  // needs 440: grown to 440 + 110 = 550
  const std::uint32_t* grown = m.Bits();
  ASSERT_NE(grown, nullptr);
  m.Bits()[11 * 10 - 1] = 7;  // last pixel is writable (ASan checks)

  EXPECT_TRUE(m.Resize(12, 11));  // 528 bytes fit the quarter reserve
  EXPECT_EQ(m.Bits(), grown);
  EXPECT_EQ(m.RowSpan(), 12);
  EXPECT_TRUE(m.Resize(2, 2));  // shrinking keeps the block
  EXPECT_EQ(m.Bits(), grown);
  EXPECT_EQ(m.Width(), 2);

  EXPECT_TRUE(m.Resize(0, 7));
  EXPECT_EQ(m.Bits(), nullptr);
  EXPECT_EQ(m.Width(), 0);
  EXPECT_EQ(m.Height(), 0);
  EXPECT_TRUE(m.Resize(3, 3));
  EXPECT_NE(m.Bits(), nullptr);
  EXPECT_TRUE(m.Resize(-3, -3));
  EXPECT_EQ(m.Bits(), nullptr);
  EXPECT_EQ(m.Width(), 0);
}

TEST(SurfaceMemoryTest, DrawSurfaceKeepsALargerBufferAndItsRowSpan) {
  DrawSurface d(8, 6);
  ASSERT_NE(d.Bits(), nullptr);
  EXPECT_EQ(d.RowSpan(), 8);
  for (int i = 0; i < 8 * 6; ++i) EXPECT_EQ(d.Bits()[i], 0u) << i;  // zeroed on allocation

  const std::uint32_t* original = d.Bits();
  EXPECT_TRUE(d.Resize(5, 4));
  EXPECT_EQ(d.Bits(), original);
  EXPECT_EQ(d.Width(), 5);
  EXPECT_EQ(d.RowSpan(), 8);
  EXPECT_FALSE(d.Resize(5, 4));

  // Drawing honours the wider span: columns 5..7 of the buffer stay untouched.
  SurfaceFillRect(&d, -10, -10, 100, 100, 0xFF123456u, 1.0f, SurfaceMode::kCopy);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(d.Bits()[y * 8 + x], x < 5 ? 0xFF123456u : 0u) << x << "," << y;
  }
  for (int x = 0; x < 8; ++x) EXPECT_EQ(d.Bits()[4 * 8 + x], 0u);

  EXPECT_TRUE(d.Resize(8, 6));  // back within the allocation
  EXPECT_EQ(d.Bits(), original);
  EXPECT_TRUE(d.Resize(9, 6));  // wider than the allocation: a new buffer
  ASSERT_NE(d.Bits(), nullptr);
  EXPECT_EQ(d.RowSpan(), 9);
  d.Bits()[9 * 6 - 1] = 1;

  EXPECT_FALSE(d.Resize(0, 6));
  EXPECT_EQ(d.Bits(), nullptr);
  EXPECT_EQ(d.Width(), 0);
  EXPECT_EQ(d.Height(), 0);
  EXPECT_EQ(d.RowSpan(), 0);
  EXPECT_TRUE(d.Resize(2, 3));
  EXPECT_NE(d.Bits(), nullptr);
}

}  // namespace
}  // namespace sorvano
