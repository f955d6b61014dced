// Combiners, fill and blit fast paths, alpha honouring and clipping.
// Expected words are worked out from the per-channel formulas:
//   copy  d' = (s e + d (256 - e)) / 256
//   add   d' = d + s e / 256
//   dodge d' = d 256 / (256 - s e / 256), or d 256 once s e / 256 > 254
// each clamped to 0..255.

#include <gtest/gtest.h>

#include <climits>

#include "graphics/Surface.h"
#include "tests/graphics/SurfaceTestSupport.h"

namespace sorvano {
namespace {

using test::GuardedSurface;

// The word that one pixel d becomes when filled with c.
std::uint32_t FillOne(std::uint32_t d, std::uint32_t c, float weight, SurfaceMode mode) {
  GuardedSurface s(1, 1, d);
  SurfaceFillRect(&s, 0, 0, 1, 1, c, weight, mode);
  EXPECT_TRUE(s.GuardsIntact());
  return s.At(0, 0);
}

std::uint32_t BlitOne(std::uint32_t d, std::uint32_t src, float weight, SurfaceMode mode) {
  GuardedSurface dest(1, 1, d);
  GuardedSurface source(1, 1, src);
  SurfaceBlit(&dest, &source, 0, 0, nullptr, weight, mode);
  EXPECT_TRUE(dest.GuardsIntact());
  return dest.At(0, 0);
}

TEST(SurfaceFillTest, CopyCombinerAndShiftAndMaskFastPaths) {
  // e = trunc(0.3 x 256) = 76. A: (255*76 + 16*180)/256 = 86; R: (128*76 + 32*180)/256 = 60;
  // G: (64*76 + 48*180)/256 = 52; B: (32*76 + 64*180)/256 = 54.
  EXPECT_EQ(FillOne(0x10203040u, 0xFF804020u, 0.3f, SurfaceMode::kCopy), 0x563C3436u);
  // Weight 1 writes the word itself, alpha byte included.
  EXPECT_EQ(FillOne(0xFFFFFFFFu, 0x12345678u, 1.0f, SurfaceMode::kCopy), 0x12345678u);
  // 0.5: (c >> 1 & 7F) + (d >> 1 & 7F) per byte: 0x00 + 0x7F, 0x01 + 0x7F, 0x01 + 0x7F, 0x02 + 0x7F
  // (the combiner would give 0x80 in the top byte).
  EXPECT_EQ(FillOne(0xFFFFFFFFu, 0x01020304u, 0.5f, SurfaceMode::kCopy), 0x7F808081u);
  // 0.25: 0xFF >> 2 = 0x3F, plus 3 >> 2 = 0 and 3 >> 1 = 1: 0x40 (the combiner gives 0x42).
  EXPECT_EQ(FillOne(0x03030303u, 0xFFFFFFFFu, 0.25f, SurfaceMode::kCopy), 0x40404040u);
  // 0.75: 3 >> 1 = 1, 3 >> 2 = 0, 0xFF >> 2 = 0x3F: 0x40 (the combiner gives 0x42).
  EXPECT_EQ(FillOne(0xFFFFFFFFu, 0x03030303u, 0.75f, SurfaceMode::kCopy), 0x40404040u);
  // The fast paths hold for the alpha-honouring copy once the weight is exact.
  EXPECT_EQ(FillOne(0xFFFFFFFFu, 0xFF020304u, 0.5f, SurfaceMode::kCopyAlpha), 0xFE808081u);
  EXPECT_EQ(FillOne(0x11111111u, 0x22334455u, -0.5f, SurfaceMode::kCopy), 0x11111111u);
  EXPECT_EQ(FillOne(0x11111111u, 0x22334455u, 0.0f, SurfaceMode::kAdd), 0x11111111u);
}

TEST(SurfaceFillTest, ColourAlphaScalesTheWeight) {
  // Opaque at weight 1: exactly the word.
  EXPECT_EQ(FillOne(0x00000000u, 0xFF102030u, 1.0f, SurfaceMode::kCopyAlpha), 0xFF102030u);
  // Alpha 128: e = trunc(256 x 128 / 255) = 128 through the combiner, not the halving path:
  // A: 128*128/256 = 64; R: (0x81*128 + 1*128)/256 = 65 (halving would give 0x40).
  EXPECT_EQ(FillOne(0x00010000u, 0x80810000u, 1.0f, SurfaceMode::kCopyAlpha), 0x40410000u);
  // Alpha 0 draws nothing, in every honouring mode.
  EXPECT_EQ(FillOne(0x11223344u, 0x00FFFFFFu, 1.0f, SurfaceMode::kCopyAlpha), 0x11223344u);
  EXPECT_EQ(FillOne(0x11223344u, 0x00FFFFFFu, 1.0f, SurfaceMode::kAddAlpha), 0x11223344u);
  EXPECT_EQ(FillOne(0x11223344u, 0x00FFFFFFu, 1.0f, SurfaceMode::kDodgeAlpha), 0x11223344u);
  // The plain copy ignores the alpha: the word with alpha 0 is written.
  EXPECT_EQ(FillOne(0x11223344u, 0x00FFFFFFu, 1.0f, SurfaceMode::kCopy), 0x00FFFFFFu);
}

TEST(SurfaceFillTest, AddSaturatesAndDodgeBrightens) {
  // 0x80 + 0xFF, 0x80 + 0x90 saturate; 0x80 + 0x10 = 0x90.
  EXPECT_EQ(FillOne(0x80808080u, 0xFF90FF10u, 1.0f, SurfaceMode::kAdd), 0xFFFFFF90u);
  // Half weight: 0x80 + 0x40*128/256 = 0xA0; 0x10 + 0x21*128/256 = 0x20.
  EXPECT_EQ(FillOne(0x80101010u, 0x40212121u, 0.5f, SurfaceMode::kAdd), 0xA0202020u);
  // A source channel of 255 at full weight: t = 255 > 254, so d x 256 clamps to 255 unless d is 0.
  EXPECT_EQ(FillOne(0x00400001u, 0xFFFFFFFFu, 1.0f, SurfaceMode::kDodge), 0x00FF00FFu);
  // B: t = 128, 0x30 x 256 / 128 = 0x60; channels with s = 0 keep d.
  EXPECT_EQ(FillOne(0x11223330u, 0x00000080u, 1.0f, SurfaceMode::kDodge), 0x11223360u);
}

TEST(SurfaceFillTest, ClipsAtEveryEdgeAndHonoursTheRowSpan) {
  GuardedSurface s(4, 4);
  SurfaceFillRect(&s, -2, -2, 5, 5, 0xFFu, 1.0f, SurfaceMode::kCopy);  // covers 0..2 x 0..2
  SurfaceFillRect(&s, 3, 3, 100, 100, 0xEEu, 1.0f, SurfaceMode::kCopy);
  EXPECT_TRUE(s.GuardsIntact());
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const std::uint32_t expected = (x <= 2 && y <= 2) ? 0xFFu : (x == 3 && y == 3 ? 0xEEu : 0u);
      EXPECT_EQ(s.At(x, y), expected) << x << "," << y;
    }
  }
  // Extremes whose sums overflow 32 bits draw nothing.
  const int extremes[][4] = {{INT_MAX, 0, INT_MAX, 4},      {INT_MIN, 0, INT_MAX, 4}, {0, INT_MIN, 4, INT_MAX},
                             {INT_MIN, INT_MIN, -1, -1},    {4, 0, 1, 1},             {0, 0, 0, 4}};
  for (const auto& r : extremes) SurfaceFillRect(&s, r[0], r[1], r[2], r[3], 0x55u, 0.3f, SurfaceMode::kAdd);
  EXPECT_TRUE(s.GuardsIntact());
  EXPECT_EQ(s.CountNot(0u), 10);
  // Large enough to cover the whole surface from far outside.
  SurfaceFillRect(&s, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0x77u, 1.0f, SurfaceMode::kCopy);
  EXPECT_EQ(s.CountNot(0u), 10);  // INT_MIN + INT_MAX = -1: still nothing
  SurfaceFillRect(&s, -1000, -1000, INT_MAX, INT_MAX, 0x77u, 1.0f, SurfaceMode::kCopy);
  EXPECT_EQ(s.CountNot(0x77u), 0);
  EXPECT_TRUE(s.GuardsIntact());
}

TEST(SurfaceFillTest, PutAndGetPixel) {
  GuardedSurface s(3, 2, 0x01010101u);
  SurfacePutPixel(&s, 2, 1, 0xFF00FF00u, 1.0f, SurfaceMode::kCopy);
  SurfacePutPixel(&s, 3, 1, 0xFF00FF00u, 1.0f, SurfaceMode::kCopy);
  SurfacePutPixel(&s, -1, 0, 0xFF00FF00u, 1.0f, SurfaceMode::kCopy);
  SurfacePutPixel(&s, 0, 0, 0x04040404u, 0.25f, SurfaceMode::kCopy);  // 1 + 0 + 0: 0x01 per byte
  EXPECT_TRUE(s.GuardsIntact());
  EXPECT_EQ(SurfaceGetPixel(&s, 2, 1), 0xFF00FF00u);
  EXPECT_EQ(SurfaceGetPixel(&s, 0, 0), 0x01010101u);
  EXPECT_EQ(SurfaceGetPixel(&s, 3, 1), 0u);
  EXPECT_EQ(SurfaceGetPixel(&s, 0, -1), 0u);
  EXPECT_EQ(SurfaceGetPixel(&s, INT_MIN, INT_MAX), 0u);
  EXPECT_EQ(SurfaceGetPixel(nullptr, 0, 0), 0u);
}

TEST(SurfaceBlitTest, DefaultBlendUsesSourceAlpha) {
  EXPECT_EQ(BlitOne(0x11223344u, 0x00FFFFFFu, 1.0f, SurfaceMode::kCopyAlpha), 0x11223344u);
  EXPECT_EQ(BlitOne(0x11223344u, 0xFF102030u, 1.0f, SurfaceMode::kCopyAlpha), 0xFF102030u);
  // Alpha 128: e = 256 x 129 / 256 = 129. A: (128*129 + 255*127)/256 = 191; R: 255*129/256 = 128;
  // B: 255*127/256 = 126.
  EXPECT_EQ(BlitOne(0xFF0000FFu, 0x80FF0000u, 1.0f, SurfaceMode::kCopyAlpha), 0xBF80007Eu);
  // Weight 0.5 still blends by alpha: e = 128 x 256 / 256 = 128: (0x40*128 + 0x80*128)/256 = 0x60.
  EXPECT_EQ(BlitOne(0x80808080u, 0xFF404040u, 0.5f, SurfaceMode::kCopyAlpha), 0xBF606060u);
  // Add: alpha 0 is skipped; alpha 255 at full weight saturates.
  EXPECT_EQ(BlitOne(0x10101010u, 0x00FFFFFFu, 1.0f, SurfaceMode::kAddAlpha), 0x10101010u);
  EXPECT_EQ(BlitOne(0x10F01010u, 0xFF200102u, 1.0f, SurfaceMode::kAddAlpha), 0xFFFF1112u);
  // Dodge does not skip alpha 0, but its weight becomes 256 / 256 = 1 and t = s / 256 = 0.
  EXPECT_EQ(BlitOne(0x10203040u, 0x00FFFFFFu, 1.0f, SurfaceMode::kDodgeAlpha), 0x10203040u);
}

TEST(SurfaceBlitTest, PlainCopyFastPaths) {
  // Weight 1 copies verbatim, fully transparent pixels included.
  EXPECT_EQ(BlitOne(0x11223344u, 0x00FFFFFFu, 1.0f, SurfaceMode::kCopy), 0x00FFFFFFu);
  EXPECT_EQ(BlitOne(0xFFFFFFFFu, 0x01020304u, 0.5f, SurfaceMode::kCopy), 0x7F808081u);
  // No quarter fast path in blits: the combiner at e = 64 gives (3*64 + 255*192)/256 = 192.
  EXPECT_EQ(BlitOne(0xFFFFFFFFu, 0x03030303u, 0.25f, SurfaceMode::kCopy), 0xC0C0C0C0u);
  EXPECT_EQ(BlitOne(0x11111111u, 0x99999999u, -1.0f, SurfaceMode::kCopy), 0x11111111u);
  EXPECT_EQ(BlitOne(0x11111111u, 0x99999999u, 0.0f, SurfaceMode::kCopyAlpha), 0x11111111u);
}

// A 4 x 4 source whose pixel (x, y) is 0xFF0000yx.
GuardedSurface NumberedSource() {
  GuardedSurface s(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) s.Set(x, y, 0xFF000000u | static_cast<std::uint32_t>(y * 16 + x));
  }
  return s;
}

TEST(SurfaceBlitTest, ClipsAtEveryEdge) {
  const GuardedSurface src = NumberedSource();
  {
    GuardedSurface dest(4, 4);
    SurfaceBlit(&dest, &src, -1, -2, nullptr, 1.0f, SurfaceMode::kCopy);
    EXPECT_TRUE(dest.GuardsIntact());
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        const std::uint32_t expected = (x < 3 && y < 2) ? src.At(x + 1, y + 2) : 0u;
        EXPECT_EQ(dest.At(x, y), expected) << x << "," << y;
      }
    }
  }
  {
    GuardedSurface dest(3, 3);
    SurfaceBlit(&dest, &src, 2, 1, nullptr, 1.0f, SurfaceMode::kCopyAlpha);
    EXPECT_TRUE(dest.GuardsIntact());
    EXPECT_EQ(dest.CountNot(0u), 2);
    EXPECT_EQ(dest.At(2, 1), src.At(0, 0));
    EXPECT_EQ(dest.At(2, 2), src.At(0, 1));
  }
  {
    // A source rectangle reaching outside the source is cut to it.
    GuardedSurface dest(5, 5);
    const IRect part(-2, 2, 9, 9);
    SurfaceBlit(&dest, &src, 1, 0, &part, 1.0f, SurfaceMode::kCopy);
    EXPECT_TRUE(dest.GuardsIntact());
    EXPECT_EQ(dest.CountNot(0u), 8);
    EXPECT_EQ(dest.At(1, 0), src.At(0, 2));
    EXPECT_EQ(dest.At(4, 1), src.At(3, 3));
  }
  GuardedSurface dest(4, 4);
  const IRect inverted(3, 3, 1, 1);
  SurfaceBlit(&dest, &src, 0, 0, &inverted, 1.0f, SurfaceMode::kCopy);
  const int outside[][2] = {{4, 0}, {-4, 0}, {0, 4}, {0, -4}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MIN, 0}};
  for (const auto& at : outside) SurfaceBlit(&dest, &src, at[0], at[1], nullptr, 0.7f, SurfaceMode::kAddAlpha);
  const IRect huge(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  SurfaceBlit(&dest, &src, INT_MAX, 0, &huge, 1.0f, SurfaceMode::kCopy);
  EXPECT_TRUE(dest.GuardsIntact());
  EXPECT_EQ(dest.CountNot(0u), 0);

  MemorySurface empty;
  SurfaceBlit(&dest, &empty, 0, 0, nullptr, 1.0f, SurfaceMode::kCopy);
  SurfaceBlit(&empty, &src, 0, 0, nullptr, 1.0f, SurfaceMode::kCopy);
  SurfaceBlit(nullptr, &src, 0, 0, nullptr, 1.0f, SurfaceMode::kCopy);
  EXPECT_EQ(dest.CountNot(0u), 0);
}

TEST(SurfaceBlitTest, OverlappingBlitOntoItselfReadsEverySourcePixelFirst) {
  struct Shift {
    int dx, dy;
  };
  for (const float weight : {1.0f, 0.3f}) {
    for (const Shift shift : {Shift{1, 0}, Shift{-1, 0}, Shift{0, 1}, Shift{1, -1}}) {
      GuardedSurface self = NumberedSource();
      const GuardedSurface copy = NumberedSource();
      GuardedSurface expected = NumberedSource();
      SurfaceBlit(&expected, &copy, shift.dx, shift.dy, nullptr, weight, SurfaceMode::kCopy);
      SurfaceBlit(&self, &self, shift.dx, shift.dy, nullptr, weight, SurfaceMode::kCopy);
      for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(self.At(x, y), expected.At(x, y)) << weight << " " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace sorvano
