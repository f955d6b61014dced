#include "graphics/DrawSurface.h"

#include <new>

namespace sorvano {

DrawSurface::DrawSurface(int w, int h) { Resize(w, h); }

bool DrawSurface::Resize(int w, int h) {
  if (w == mWidth && h == mHeight) return false;
  if (w > 0 && h > 0 && mPixels != nullptr && w <= mAllocatedWidth && h <= mAllocatedHeight) {
    mWidth = w;
    mHeight = h;
    return true;
  }
  mPixels.reset();
  mWidth = 0;
  mHeight = 0;
  mAllocatedWidth = 0;
  mAllocatedHeight = 0;
  const std::size_t bytes = SurfaceBytes(w, h);
  if (w <= 0 || h <= 0) return false;
  if (bytes == 0) return true;
  mPixels.reset(new (std::nothrow) std::uint32_t[bytes / sizeof(std::uint32_t)]());
  if (mPixels == nullptr) return true;
  mWidth = w;
  mHeight = h;
  mAllocatedWidth = w;
  mAllocatedHeight = h;
  return true;
}

}  // namespace sorvano
