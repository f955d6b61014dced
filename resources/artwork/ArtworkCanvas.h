#pragma once

// The painting operations the editor's artwork is drawn with: opaque and
// translucent fills, gradients, antialiased rounded rectangles and discs, and
// text in the embedded Liberation Sans, on a pixel surface of straight-alpha
// 0xAARRGGBB words.
//
// Results depend on integer arithmetic only: shapes are given in eighths of a
// pixel and covered by 4 x 4 sub-samples tested exactly, colours are
// composited with integer "over" blending, and text comes from the
// deterministic TextRenderer. So the same program draws the same pixels in
// every build type and on every run, which lets a test compare a freshly
// drawn image with the committed PNG.
//
// Threads: one canvas per thread; it owns its text renderers.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "graphics/GraphicsTypes.h"
#include "graphics/Surface.h"
#include "graphics/TextRenderer.h"

namespace sorvano {

class ArtworkCanvas {
public:
  // A transparent surface of w x h pixels.
  ArtworkCanvas(int w, int h);

  PixelSurface& Surface() { return mSurface; }
  const PixelSurface& Surface() const { return mSurface; }
  int Width() const { return mSurface.Width(); }
  int Height() const { return mSurface.Height(); }

  // Composites `colour` (its alpha scaled by coverage / 16) over pixel (x, y);
  // points outside the surface are ignored.
  void Blend(int x, int y, const IColor& colour, int coverage = kFullCoverage);

  // Makes the rectangle fully transparent.
  void Clear(const IRect& rect);
  // The rectangle composited with one colour.
  void Fill(const IRect& rect, const IColor& colour);
  // Top to bottom from `top` to `bottom`, each line one interpolated colour.
  void FillVerticalGradient(const IRect& rect, const IColor& top, const IColor& bottom);
  // One-pixel outline just inside the rectangle.
  void Outline(const IRect& rect, const IColor& colour);

  // Antialiased rectangle with corners of the given radius (pixels).
  void FillRoundRect(const IRect& rect, int radius, const IColor& colour);
  // Antialiased outline of the given width along the inside of the rounded
  // rectangle.
  void StrokeRoundRect(const IRect& rect, int radius, int width, const IColor& colour);
  // Like FillRoundRect, with a vertical gradient from `top` to `bottom`.
  void FillRoundRectGradient(const IRect& rect, int radius, const IColor& top,
                             const IColor& bottom);

  // Antialiased disc and ring (outer radius r, width w) around (cx, cy), all
  // in eighths of a pixel so that centres may sit between pixels.
  void FillDisc(int cx8, int cy8, int r8, const IColor& colour);
  void StrokeRing(int cx8, int cy8, int r8, int w8, const IColor& colour);
  // Antialiased straight segment of width w8 between two points, all in
  // eighths of a pixel; the ends are cut square at the two points.
  void FillSegment(int x18, int y18, int x28, int y28, int w8, const IColor& colour);

  // Text in the cell height `size` (pixels) and cut `style` (ITextStyle),
  // aligned in rect as ITextStyle says; the rectangle's top is the top of the
  // line's cell. The colour's alpha is ignored (ink is opaque).
  void Text(const char* text, const IRect& rect, int size, int style, int align,
            const IColor& colour);
  // Width of one line of text in whole pixels, rounded up.
  int TextWidth(const char* text, int size, int style);
  // Pixels from the top of a line's cell to its baseline.
  int TextAscent(int size, int style);

  static constexpr int kFullCoverage = 16;

private:
  // Coverage 0..16 of pixel (x, y) by a shape that answers for sub-sample
  // points given in eighths of a pixel.
  template <typename Inside>
  static int Coverage(int x, int y, const Inside& inside);
  template <typename Inside>
  void FillShape(const IRect& bounds, const Inside& inside, const IColor& colour);
  template <typename Inside, typename ColourAt>
  void FillShapeWith(const IRect& bounds, const Inside& inside, const ColourAt& colourAt);

  TextRenderer& Font(int size, int style);

  MemorySurface mSurface;
  std::map<std::pair<int, int>, std::unique_ptr<TextRenderer>> mFonts;
};

}  // namespace sorvano
