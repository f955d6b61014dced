#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/Surface.h"
#include "resources/artwork/ArtworkCanvas.h"

namespace sorvano {
namespace {

std::uint32_t At(const ArtworkCanvas& c, int x, int y) {
  return SurfaceGetPixel(&c.Surface(), x, y);
}

// Straight alpha: a translucent colour over nothing keeps its own colour and
// alpha (a premultiplied mix-up would darken it), and over an opaque pixel
// it mixes by its alpha and leaves the pixel opaque.
TEST(ArtworkCanvasTest, BlendsStraightAlphaOverTransparentAndOpaquePixels) {
  ArtworkCanvas c(2, 1);
  c.Blend(0, 0, IColor(128, 200, 100, 50));
  EXPECT_EQ(At(c, 0, 0), 0x80C86432u);

  c.Fill(IRect(1, 0, 2, 1), IColor(255, 0, 0, 0));
  c.Blend(1, 0, IColor(255, 255, 255, 255), ArtworkCanvas::kFullCoverage / 2);
  EXPECT_EQ(At(c, 1, 0), 0xFF808080u);
}

// Two translucent layers give the alpha of "over": 1 - (1 - a1)(1 - a2).
TEST(ArtworkCanvasTest, TranslucentLayersAccumulateAlpha) {
  ArtworkCanvas c(1, 1);
  c.Blend(0, 0, IColor(128, 255, 0, 0));
  c.Blend(0, 0, IColor(128, 0, 0, 255));
  const std::uint32_t p = At(c, 0, 0);
  EXPECT_EQ(p >> 24, 192u);
  // The later layer covers half of the earlier one's 128: blue 2/3, red 1/3.
  EXPECT_EQ((p >> 16) & 0xFF, 85u);
  EXPECT_EQ(p & 0xFF, 170u);
}

// A rounded rectangle covers its inside fully, leaves the corner pixel
// outside the curve untouched, antialiases the curve, and writes nothing
// outside its rectangle.
TEST(ArtworkCanvasTest, RoundRectCoversInsideAndAntialiasesOnlyTheCorners) {
  ArtworkCanvas c(12, 12);
  c.FillRoundRect(IRect(1, 1, 11, 11), 4, IColor(255, 255, 255, 255));
  EXPECT_EQ(At(c, 0, 0), 0u);
  EXPECT_EQ(At(c, 11, 5), 0u);
  EXPECT_EQ(At(c, 5, 0), 0u);
  EXPECT_EQ(At(c, 1, 1), 0u);
  EXPECT_EQ(At(c, 5, 5), 0xFFFFFFFFu);
  EXPECT_EQ(At(c, 1, 6), 0xFFFFFFFFu);
  const std::uint32_t curve = At(c, 2, 2) >> 24;
  EXPECT_GT(curve, 0u);
  EXPECT_LT(curve, 255u);
}

// Clear makes pixels transparent where blending cannot (a transparent colour
// over a pixel changes nothing), and stays inside the surface.
TEST(ArtworkCanvasTest, ClearEmptiesPixelsAndStaysInsideTheSurface) {
  ArtworkCanvas c(4, 1);
  c.Fill(IRect(0, 0, 4, 1), IColor(255, 10, 20, 30));
  c.Blend(0, 0, IColor(0, 255, 255, 255));
  EXPECT_EQ(At(c, 0, 0), 0xFF0A141Eu);
  c.Clear(IRect(2, -5, 9, 5));
  EXPECT_EQ(At(c, 1, 0), 0xFF0A141Eu);
  EXPECT_EQ(At(c, 2, 0), 0u);
  EXPECT_EQ(At(c, 3, 0), 0u);
}

}  // namespace
}  // namespace sorvano
