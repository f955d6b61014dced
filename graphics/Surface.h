#pragma once

// The software pixel library the editor draws with.
//
// Pixels are 32-bit words 0xAARRGGBB with straight (not premultiplied) alpha;
// rows are stored top-down, row span counted in pixels. No operation here
// writes outside a surface, whatever the coordinates: fills, blits, lines,
// circles and arcs clip, single pixels outside are ignored.
//
// Weights are floats (1.0 = full opacity); the combiners work with the
// integer weight e = trunc(weight * 256) (circles and arcs: weight * 255).
// Weights beyond +-256 count as +-256 and NaN as 0.
//
// Threads: the functions touch only the surfaces passed in and hold no
// state; whoever owns a surface serialises access to it (the draw surface is
// drawn on the editor thread only). No function allocates except
// MemorySurface/DrawSurface construction and resizing, and DecodePng.

#include <cstddef>
#include <cstdint>

#include "graphics/GraphicsTypes.h"

namespace sorvano {

// The largest pixel count of a surface, so that a pixel index always fits an
// int and a size from untrusted data cannot ask for absurd memory.
constexpr long long kMaxSurfacePixels = 0x7FFFFFFF;

// Bytes of a w x h surface of 32-bit pixels, computed without overflow; 0 when
// either side is not positive or the pixel count exceeds kMaxSurfacePixels.
std::size_t SurfaceBytes(int w, int h);

class PixelSurface {
public:
  virtual ~PixelSurface() = default;
  virtual std::uint32_t* Bits() = 0;  // pixel (0, 0), or null
  virtual const std::uint32_t* Bits() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int RowSpan() const = 0;  // pixels from one row to the next
  // Answers whether anything changed. Pixel contents afterwards are undefined.
  virtual bool Resize(int w, int h) = 0;
};

// Pixels in heap memory; the row span equals the width. Grows its block by a
// quarter beyond the need and keeps it when shrinking. A failed or empty
// allocation (a side not positive, or too many pixels) leaves a 0 x 0 surface.
// Editor thread (or whichever thread owns the surface); not synchronised.
class MemorySurface : public PixelSurface {
public:
  MemorySurface() = default;
  MemorySurface(int w, int h);
  ~MemorySurface() override;
  MemorySurface(const MemorySurface&) = delete;
  MemorySurface& operator=(const MemorySurface&) = delete;

  std::uint32_t* Bits() override { return mPixels; }
  const std::uint32_t* Bits() const override { return mPixels; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mWidth; }
  bool Resize(int w, int h) override;

private:
  std::uint32_t* mPixels = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  std::size_t mAllocated = 0;  // bytes
};

// How a primitive combines a colour with the surface: the kind of combiner,
// and whether the source alpha (blits) or colour alpha (fills) scales the
// weight.
enum class SurfaceMode {
  kCopy,       // plain copy (overwrite)
  kCopyAlpha,  // copy honouring alpha
  kAdd,
  kAddAlpha,
  kDodge,
  kDodgeAlpha,
};

// The mode an IBlend selects for blits, fills, lines and circles, and the one
// it selects for points and arcs. A null blend means the default, weight 1.
SurfaceMode BlendToMode(const IBlend* blend);
SurfaceMode BlendToPointMode(const IBlend* blend);

// Copies src (or its srcRect part, null = all) to (dx, dy), both clipped.
// Plain copy: rows verbatim at weight 1, halving average at 0.5, combiner
// otherwise (nothing for a negative weight). Alpha modes: every pixel by the
// combiner with the source alpha scaling e. Weight 0 draws nothing.
void SurfaceBlit(PixelSurface* dest, const PixelSurface* src, int dx, int dy, const IRect* srcRect,
                 float weight, SurfaceMode mode);
// Fills w x h at (x, y), clipped. Alpha modes scale the weight by the
// colour's alpha / 255 first. Copy kinds write the word at weight 1 and use
// shift-and-mask averages at 0.5, 0.25 and 0.75; a negative weight draws
// nothing.
void SurfaceFillRect(PixelSurface* dest, int x, int y, int w, int h, std::uint32_t colour, float weight,
                     SurfaceMode mode);
// Draws the segment, both ends included, after clipping it to the surface.
// Only the mode's kind counts (not its alpha flag). Plain copies write the
// word at weight 1 and halve at 0.5; antialiased lines always blend.
void SurfaceLine(PixelSurface* dest, int x1, int y1, int x2, int y2, std::uint32_t colour, float weight,
                 SurfaceMode mode, bool antialias);
// Draws the outline of radius r around (cx, cy); radii 2, 2.5, 3, 3.5 and 4
// are stamped from fixed masks. A negative, non-finite or absurdly large
// (beyond 2^24) radius or centre draws nothing.
void SurfaceCircle(PixelSurface* dest, float cx, float cy, float r, std::uint32_t colour, float weight,
                   SurfaceMode mode, bool antialias);
// The outline from angle1 to angle2 (a whole turn or more: the circle).
// Angles in radians: 0 points straight up, angles grow clockwise. Exact for
// arcs whose ends lie on the axes; each quarter owns the boundary row or
// column at its clockwise start (the half from pi to 2pi is the columns left
// of cx, the half from 0 to pi the columns from cx on).
void SurfaceArc(PixelSurface* dest, float cx, float cy, float r, float angle1, float angle2,
                std::uint32_t colour, float weight, SurfaceMode mode, bool antialias);
// One pixel, blended like a 1 x 1 fill; a point outside is ignored.
void SurfacePutPixel(PixelSurface* dest, int x, int y, std::uint32_t colour, float weight, SurfaceMode mode);
// 0 for a point outside the surface.
std::uint32_t SurfaceGetPixel(const PixelSurface* src, int x, int y);

// Decodes PNG bytes (any colour type, bit depth and interlacing) into target
// (resized to the image) or, with a null target, into a new MemorySurface
// owned by the caller. Null on any failure: short data, bad signature,
// decoder error, a side above 16384, or a target that does not take the
// image size (it stays the caller's, partly written). Never reads outside
// data; frees everything it made when it fails.
PixelSurface* DecodePng(const unsigned char* data, std::size_t size, PixelSurface* target);

}  // namespace sorvano
