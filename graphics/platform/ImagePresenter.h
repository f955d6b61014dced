#pragma once

// Copies rectangles of the draw surface into a window: through a segment of
// shared memory when the server offers the MIT-SHM extension (a local
// server), otherwise as plain image requests, in bands of rows that stay
// under the server's request-size limit.
//
// Pixels are 32-bit words 0xAARRGGBB, which on this little-endian machine is
// the byte order of a depth-24 TrueColor visual with 32 bits per pixel.
//
// Threads: created on the host thread while a window opens, then used on the
// editor thread only; destroyed on the host thread after that thread ended.

#include <cstdint>

#include "graphics/GraphicsTypes.h"
#include "graphics/platform/XcbConnection.h"

#include <xcb/shm.h>

namespace sorvano::x11 {

class ImagePresenter {
public:
  // A presenter for a drawable of width x height pixels at depth `depth`.
  // Shared memory is tried unless `allowSharedMemory` is false.
  ImagePresenter(const XcbConnection& connection, xcb_drawable_t drawable, std::uint8_t depth, int width,
                 int height, bool allowSharedMemory);
  ~ImagePresenter();

  ImagePresenter(const ImagePresenter&) = delete;
  ImagePresenter& operator=(const ImagePresenter&) = delete;

  // Copies rect (clipped to the drawable and to the source's width x height)
  // from pixels whose rows are rowSpan words apart, to the same place in the
  // drawable. Answers false when nothing could be sent.
  bool Present(const std::uint32_t* pixels, int rowSpan, int sourceWidth, int sourceHeight, const IRect& rect);

  bool UsesSharedMemory() const { return mShmSegment != 0; }

private:
  bool AttachSharedMemory();
  bool PresentShared(const std::uint32_t* pixels, int rowSpan, const IRect& rect);
  bool PresentInBands(const std::uint32_t* pixels, int rowSpan, const IRect& rect);

  const XcbConnection& mConnection;
  xcb_drawable_t mDrawable;
  xcb_gcontext_t mGc = 0;
  std::uint8_t mDepth;
  int mWidth;
  int mHeight;
  xcb_shm_seg_t mShmSegment = 0;
  std::uint32_t* mShmPixels = nullptr;
};

}  // namespace sorvano::x11
