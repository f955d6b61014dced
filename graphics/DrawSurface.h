#pragma once

// The editor's draw surface: the one image that every control draws into and
// that the window host copies to the screen (with XPutImage, as 32-bit
// pixels whose little-endian bytes are blue, green, red, alpha).
//
// A plain pixel buffer, zeroed when allocated. It keeps a larger buffer when
// shrunk, so its row span is the allocated width, which may exceed the
// width: whoever walks the rows must step by RowSpan(). Created and resized on
// the editor thread (ISoftGraphics::PrepareDraw); not synchronised.

#include <cstdint>
#include <memory>

#include "graphics/Surface.h"

namespace sorvano {

class DrawSurface : public PixelSurface {
public:
  DrawSurface() = default;
  DrawSurface(int w, int h);

  std::uint32_t* Bits() override { return mPixels.get(); }
  const std::uint32_t* Bits() const override { return mPixels.get(); }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mAllocatedWidth; }

  // Same size: nothing happens, false. A size within the allocated one keeps
  // the buffer (and its row span), true. Otherwise the buffer is replaced by
  // one of exactly (w, h): true, or false when w or h is not positive, which
  // leaves a 0 x 0 surface without pixels. A failed allocation also leaves
  // 0 x 0 (answer true, as something changed).
  bool Resize(int w, int h) override;

private:
  std::unique_ptr<std::uint32_t[]> mPixels;
  int mWidth = 0;
  int mHeight = 0;
  int mAllocatedWidth = 0;
  int mAllocatedHeight = 0;
};

}  // namespace sorvano
