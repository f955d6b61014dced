// The drawing operations of ISoftGraphics on its draw surface: how they map
// onto the pixel library (coordinates, rectangles, blends) and that nothing
// is ever written outside the surface.

#include <gtest/gtest.h>

#include <limits>

#include "graphics/Surface.h"
#include "tests/graphics/SoftGraphicsProbe.h"

namespace sorvano::test {
namespace {

constexpr std::uint32_t kBack = 0xFF101010u;

// Source pixel (x, y) of an 8 x 8 image: opaque, x and y readable back.
std::uint32_t SourcePixel(int x, int y) { return 0xFF000000u | static_cast<std::uint32_t>(x << 8 | y); }

struct SourceImage {
  SourceImage() : surface(8, 8) {
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) SurfacePutPixel(&surface, x, y, SourcePixel(x, y), 1.0f, SurfaceMode::kCopy);
    }
  }
  IImage Image() { return IImage{&surface, 8, 8, 1}; }
  MemorySurface surface;
};

TEST(SoftGraphicsDrawImageTest, ClipsToTheDrawRectangleAndShiftsTheSource) {
  ProbeGraphics g(32, 32);
  g.Clear(kBack);
  SourceImage src;
  const IBlend overwrite(IBlend::kOverwrite, 1.0f);
  // The redraw covers (10, 10)..(20, 20); the image is placed at (6, 8).
  DrawInRedraw(g, IRect(10, 10, 20, 20), [&](IEditorGraphics& graphics) {
    EXPECT_TRUE(graphics.DrawImage(src.Image(), IRect(6, 8, 14, 16), 1, 0, &overwrite));
  });
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      // Source column = 1 + (x - 6), row = y - 8: the cut left and top edges
      // move the source origin by the same amount. Column 13 would need source
      // column 8, beyond the image.
      const bool inside = x >= 10 && x < 13 && y >= 10 && y < 16;
      const std::uint32_t expected = inside ? SourcePixel(x - 6 + 1, y - 8) : kBack;
      ASSERT_EQ(g.At(x, y), expected) << x << "," << y;
    }
  }
}

TEST(SoftGraphicsDrawImageTest, DrawsNothingOutsideTheDrawRectangleOrOutsideARedraw) {
  SourceImage src;
  {
    ProbeGraphics g(32, 32);
    g.Clear(kBack);
    DrawInRedraw(g, IRect(10, 10, 20, 20), [&](IEditorGraphics& graphics) {
      graphics.DrawImage(src.Image(), IRect(0, 0, 8, 8), 0, 0, nullptr);
      graphics.DrawImage(src.Image(), IRect(20, 10, 28, 18), 0, 0, nullptr);  // touches the right edge
    });
    EXPECT_EQ(g.CountNot(kBack), 0);
  }
  {
    ProbeGraphics g(32, 32);
    g.Clear(kBack);
    g.DrawImage(src.Image(), IRect(0, 0, 8, 8), 0, 0, nullptr);  // no redraw: empty draw rectangle
    EXPECT_EQ(g.CountNot(kBack), 0);
  }
}

TEST(SoftGraphicsDrawImageTest, NullBlendHonoursSourceAlphaAndASourceBeyondTheImageIsCut) {
  ProbeGraphics g(16, 16);
  g.Clear(kBack);
  MemorySurface src(2, 1);
  SurfacePutPixel(&src, 0, 0, 0x00FF0000u, 1.0f, SurfaceMode::kCopy);  // transparent: left alone
  SurfacePutPixel(&src, 1, 0, 0xFF00FF00u, 1.0f, SurfaceMode::kCopy);  // opaque: copied exactly
  DrawInRedraw(g, IRect(0, 0, 16, 16), [&](IEditorGraphics& graphics) {
    graphics.DrawImage(IImage{&src, 2, 1, 1}, IRect(3, 3, 13, 13), 0, 0, nullptr);
  });
  EXPECT_EQ(g.At(3, 3), kBack);
  EXPECT_EQ(g.At(4, 3), 0xFF00FF00u);
  EXPECT_EQ(g.CountNot(kBack), 1);
}

// Evaluated at compile time, where an overflow would not compile.
static_assert(IColor(0xFF, 0x12, 0x34, 0x56).ToPixel() == 0xFF123456u);
static_assert(IColor(0x80, 0xFF, 0xFF, 0xFF).ToPixel() == 0x80FFFFFFu);

TEST(SoftGraphicsPixelTest, ForcePixelWritesTheWordAndIgnoresOutsidePoints) {
  ProbeGraphics g(8, 6);
  g.Clear(kBack);
  EXPECT_TRUE(g.ForcePixel(IColor(0x11, 0x22, 0x33, 0x44), 7, 5));
  EXPECT_EQ(g.At(7, 5), 0x11223344u);
  for (const auto& p : {std::pair{-1, 0}, std::pair{8, 0}, std::pair{0, -1}, std::pair{0, 6},
                        std::pair{std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}}) {
    EXPECT_TRUE(g.ForcePixel(IColor(255, 1, 2, 3), p.first, p.second));
  }
  EXPECT_EQ(g.CountNot(kBack), 1);
}

TEST(SoftGraphicsPixelTest, GetPointReadsChannelsAndAnswersZeroOutside) {
  ProbeGraphics g(8, 6);
  g.ForcePixel(IColor(0x11, 0x22, 0x33, 0x44), 2, 3);
  EXPECT_EQ(g.GetPoint(2, 3), IColor(0x11, 0x22, 0x33, 0x44));
  EXPECT_EQ(g.GetPoint(-1, 3), IColor(0, 0, 0, 0));
  EXPECT_EQ(g.GetPoint(8, 3), IColor(0, 0, 0, 0));
  EXPECT_EQ(g.GetPoint(2, 6), IColor(0, 0, 0, 0));
}

TEST(SoftGraphicsPixelTest, DrawPointBlendsThePixelAtTheRoundedPosition) {
  ProbeGraphics g(8, 8);
  g.Clear(kBack);
  g.DrawPoint(IColor(0x80, 1, 2, 3), 2.6f, 3.2f, nullptr, false);  // (3.1, 3.7) truncated
  EXPECT_EQ(g.At(3, 3), 0x80010203u);                                // copy at weight 1, alpha byte included
  g.DrawPoint(IColor(255, 1, 2, 3), -5.0f, 100.0f, nullptr, false);
  EXPECT_EQ(g.CountNot(kBack), 1);
}

TEST(SoftGraphicsDirectLineTest, VerticalLinesClampIntoTheSurface) {
  ProbeGraphics g(10, 8);
  g.Clear(kBack);
  const IColor c(0x40, 9, 8, 7);  // alpha written as given
  g.DrawVerticalLine(c, -3, 2, 4);
  for (int y = 0; y < 8; ++y) EXPECT_EQ(g.At(0, y), y >= 2 && y <= 4 ? 0x40090807u : kBack) << y;
  g.DrawVerticalLine(c, 25, -10, 100);  // right of the surface: last column, every row
  for (int y = 0; y < 8; ++y) EXPECT_EQ(g.At(9, y), 0x40090807u);
  EXPECT_EQ(g.CountNot(kBack), 3 + 8);
}

TEST(SoftGraphicsDirectLineTest, ReversedEndsDrawNothing) {
  ProbeGraphics g(10, 8);
  g.Clear(kBack);
  g.DrawVerticalLine(IColor(), 4, 5, 2);
  g.DrawHorizontalLine(IColor(), 4, 6, 1);
  EXPECT_EQ(g.CountNot(kBack), 0);
  // Both ends below the surface clamp to the same last row: one pixel.
  g.DrawVerticalLine(IColor(), 4, 50, 20);
  EXPECT_EQ(g.CountNot(kBack), 1);
  EXPECT_NE(g.At(4, 7), kBack);
}

TEST(SoftGraphicsDirectLineTest, HorizontalLinesClampIntoTheSurface) {
  ProbeGraphics g(10, 8);
  g.Clear(kBack);
  g.DrawHorizontalLine(IColor(255, 1, 1, 1), -4, -100, 3);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(g.At(x, 0), x <= 3 ? 0xFF010101u : kBack) << x;
  g.DrawHorizontalLine(IColor(255, 1, 1, 1), 8, 2, 2);
  EXPECT_EQ(g.At(2, 7), 0xFF010101u);
  EXPECT_EQ(g.CountNot(kBack), 5);
}

TEST(SoftGraphicsDirectLineTest, DrawRectOutlinesThroughTheDirectLines) {
  ProbeGraphics g(24, 24);
  g.Clear(kBack);
  g.DrawRect(IColor(255, 0, 0, 0), IRect(10, 10, 20, 20));
  // Columns 10 and 20 and rows 10 and 20, corners shared.
  EXPECT_EQ(g.CountNot(kBack), 4 * 10);
  EXPECT_NE(g.At(20, 20), kBack);
  EXPECT_EQ(g.At(15, 15), kBack);
}

TEST(SoftGraphicsLineTest, EndPointsAreTruncatedTowardsZero) {
  ProbeGraphics g(12, 8);
  g.Clear(kBack);
  const IBlend overwrite(IBlend::kOverwrite, 1.0f);
  g.DrawLine(IColor(255, 5, 5, 5), 1.9f, 2.9f, 5.9f, 2.1f, &overwrite, false);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(g.At(x, 2), x >= 1 && x <= 5 ? 0xFF050505u : kBack) << x;
  EXPECT_EQ(g.CountNot(kBack), 5);
}

TEST(SoftGraphicsLineTest, FarAndInvalidCoordinatesStayDefinedAndClipped) {
  ProbeGraphics g(12, 8);
  g.Clear(kBack);
  g.DrawLine(IColor(255, 5, 5, 5), -1e30f, 4.0f, 1e30f, 4.0f, nullptr, false);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(g.At(x, 4), 0xFF050505u) << x;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  g.DrawLine(IColor(), nan, nan, inf, -inf, nullptr, true);
  g.DrawPoint(IColor(), nan, inf, nullptr, false);
  EXPECT_EQ(g.CountNot(kBack), 12 + (g.At(0, 0) != kBack));
}

TEST(SoftGraphicsFillTest, FillsLeftTopInclusiveRightBottomExclusive) {
  ProbeGraphics g(10, 10);
  g.Clear(kBack);
  g.FillRect(IColor(255, 7, 7, 7), IRect(2, 3, 5, 7), nullptr);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      ASSERT_EQ(g.At(x, y), x >= 2 && x < 5 && y >= 3 && y < 7 ? 0xFF070707u : kBack) << x << "," << y;
    }
  }
  // Extreme rectangles are clipped, never overflowed.
  g.FillRect(IColor(255, 8, 8, 8), IRect(std::numeric_limits<int>::min(), -5, std::numeric_limits<int>::max(), 1),
             nullptr);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(g.At(x, 0), 0xFF080808u);
}

TEST(SoftGraphicsFillTest, BlendMethodSelectsAlphaHandling) {
  ProbeGraphics g(4, 1);
  g.Clear(0xFF000000u);
  const IColor half(128, 255, 255, 255);
  g.FillRect(half, IRect(0, 0, 1, 1), nullptr);  // default: alpha scales the weight
  const IBlend overwrite(IBlend::kOverwrite, 1.0f);
  g.FillRect(half, IRect(1, 0, 2, 1), &overwrite);  // overwrite: the word itself
  // e = trunc(256 x 128 / 255) = 128; alpha combines like the colours.
  EXPECT_EQ(g.At(0, 0), 0xBF7F7F7Fu);
  EXPECT_EQ(g.At(1, 0), 0x80FFFFFFu);
}

TEST(SoftGraphicsSurfaceTest, AnEditorWithoutPixelsDrawsNothing) {
  ProbeGraphics g(0, 0);
  EXPECT_EQ(g.GetBits(), nullptr);
  SourceImage src;
  DrawInRedraw(g, IRect(0, 0, 5, 5), [&](IEditorGraphics& graphics) {
    EXPECT_TRUE(graphics.DrawImage(src.Image(), IRect(0, 0, 5, 5), 0, 0, nullptr));
  });
  EXPECT_TRUE(g.ForcePixel(IColor(), 0, 0));
  EXPECT_TRUE(g.DrawVerticalLine(IColor(), 0, 0, 5));
  EXPECT_TRUE(g.DrawHorizontalLine(IColor(), 0, 0, 5));
  EXPECT_TRUE(g.FillRect(IColor(), IRect(0, 0, 5, 5), nullptr));
  EXPECT_TRUE(g.DrawLine(IColor(), 0, 0, 5, 5, nullptr, true));
  EXPECT_TRUE(g.DrawCircle(IColor(), 2, 2, 3, nullptr, true));
  EXPECT_TRUE(g.DrawArc(IColor(), 2, 2, 3, 0, 3, nullptr, true));
  EXPECT_TRUE(g.DrawPoint(IColor(), 0, 0, nullptr, false));
  ITextStyle style;
  EXPECT_TRUE(g.DrawText(style, "text", IRect(0, 0, 5, 5)));
  EXPECT_EQ(g.GetPoint(0, 0), IColor(0, 0, 0, 0));
}

}  // namespace
}  // namespace sorvano::test
