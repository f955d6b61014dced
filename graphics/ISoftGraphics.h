#pragma once

// The graphics object that draws in software: it owns the editor's draw
// surface and implements the drawing operations of IEditorGraphics on top of
// the pixel library (graphics/Surface.h), text with the embedded font
// (graphics/TextRenderer.h), and cached image loading. The window host
// derives from it, supplies LoadImageResource and copies the draw surface to
// the screen.
//
// Threads: drawing runs on the editor thread. Images are shared by every
// editor in the process through two process-wide structures, each with its
// own lock, taken in this order when both are needed:
//   1. the load cache: resource id -> image (surface, width, height, frames);
//      its lock is held for a whole load, decoding included;
//   2. the retained set: the surfaces that images point to, owned by the set
//      from RetainImage until ReleaseImage destroys them.
// A cache entry is valid only while its surface is retained; an entry whose
// surface was released is refilled in place by the next LoadImage of its id.
//
// Not supported (no control of this editor uses them): rotated images and
// masks answer false, ScaleImage and CropImage answer the image unchanged.

#include <cstdint>
#include <memory>

#include "graphics/DrawSurface.h"
#include "graphics/IEditorGraphics.h"
#include "graphics/TextRenderer.h"

namespace sorvano {

class ISoftGraphics : public IEditorGraphics {
public:
  // Constructing thread. No surface exists until PrepareDraw.
  ISoftGraphics(IEffectBase* plug, int width, int height, int fps);
  ~ISoftGraphics() override;

  // Called once by the plug-in base's AttachEditor: creates the draw surface
  // at the editor's size. Drawing before it does nothing.
  void PrepareDraw() override;

  // ---- Drawing, editor thread. Nothing is ever written outside the draw
  // surface. A null blend means the default method at weight 1.

  // Blits the image's pixels from (srcX, srcY) into dest, both clipped to
  // the draw rectangle of the redraw in progress (nothing outside a redraw).
  bool DrawImage(const IImage& image, const IRect& dest, int srcX, int srcY, const IBlend* blend) override;
  bool DrawRotatedImage(const IImage& image, int cx, int cy, double angle, int yOffset,
                        const IBlend* blend) override;
  bool DrawRotatedMask(const IImage& base, const IImage& mask, const IImage& top, int x, int y,
                       double degrees, const IBlend* blend) override;
  // Blends the pixel at (x + 0.5, y + 0.5) truncated; antialias is ignored.
  bool DrawPoint(const IColor& color, float x, float y, const IBlend* blend, bool antialias) override;
  bool ForcePixel(const IColor& color, int x, int y) override;
  // End points truncated towards zero.
  bool DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                bool antialias) override;
  bool DrawArc(const IColor& color, float cx, float cy, float r, float minAngle, float maxAngle,
               const IBlend* blend, bool antialias) override;
  bool DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend,
                  bool antialias) override;
  // Fills L..R-1 x T..B-1.
  bool FillRect(const IColor& color, const IRect& rect, const IBlend* blend) override;
  // The first text drawn fixes the font (size and style) for the life of the
  // draw surface; later texts take only their colour and alignment from their
  // style. Any font name draws in Liberation Sans, the metric twin of
  // "Arial". See graphics/TextRenderer.h for lines, alignment and blending.
  // Answers false only when no font could be created.
  bool DrawText(const ITextStyle& style, const char* text, const IRect& rect) override;
  IColor GetPoint(int x, int y) override;
  // Pixel (0, 0) of the draw surface, or null before PrepareDraw; rows are
  // GetDrawSurface()->RowSpan() pixels apart (the width, unless the window
  // host shrank the surface).
  std::uint32_t* GetBits() override;
  // Direct writes of the colour word (no blending) from y1 to y2 (x1 to x2)
  // inclusive. Coordinates are clamped into the surface, not clipped: a line
  // left of the surface is drawn in column 0. Nothing when y2 < y1 (x2 < x1)
  // after clamping.
  bool DrawVerticalLine(const IColor& color, int x, int y1, int y2) override;
  bool DrawHorizontalLine(const IColor& color, int y, int x1, int x2) override;

  // ---- Images; any editor thread (process-wide, locked).

  // The cached image of a resource id. The first load (or the first after its
  // surface was released) calls LoadImageResource and retains the surface;
  // later calls answer that image with the frame count of that load. A
  // resource that cannot be loaded fails the assertion "imgResourceFound"
  // and answers an image without surface, which draws nothing; the next call
  // tries again.
  IImage LoadImage(int resourceId, const char* fileName, int frames) override;
  IImage ScaleImage(const IImage& image, int w, int h) override;
  IImage CropImage(const IImage& image, const IRect& rect) override;
  // The set takes ownership of the image's surface (a null surface, or one
  // retained already, changes nothing). The surface must come from new.
  void RetainImage(const IImage& image) override;
  // Destroys the image's surface if the set holds it; otherwise nothing.
  // Every copy of the image then dangles: only call it when no control draws
  // the image any more.
  void ReleaseImage(const IImage& image) override;

  // Called by LoadImage with the load cache lock held (so it must neither
  // load nor release images itself): a new surface decoded from the PNG resource with this id,
  // or null. The file name is informational.
  virtual PixelSurface* LoadImageResource(int resourceId, const char* fileName) = 0;

  // Editor thread: the draw surface (null before PrepareDraw), for the
  // window host to present.
  DrawSurface* GetDrawSurface() { return mDrawSurface.get(); }

private:
  std::unique_ptr<DrawSurface> mDrawSurface;
  // Lives as long as the draw surface, which keeps the first text's font.
  TextRenderer mText;
};

}  // namespace sorvano
