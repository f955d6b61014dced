#include "graphics/platform/ImagePresenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace sorvano::x11 {

namespace {
constexpr std::uint32_t kBytesPerPixel = 4;
// Room for the fixed part of a PutImage request.
constexpr std::uint32_t kPutImageHeaderBytes = 64;
}  // namespace

ImagePresenter::ImagePresenter(const XcbConnection& connection, xcb_drawable_t drawable, std::uint8_t depth,
                               int width, int height, bool allowSharedMemory)
    : mConnection(connection), mDrawable(drawable), mDepth(depth), mWidth(std::max(width, 0)),
      mHeight(std::max(height, 0)) {
  xcb_connection_t* c = mConnection.Get();
  mGc = xcb_generate_id(c);
  const std::uint32_t noExposures = 0;
  xcb_create_gc(c, mGc, mDrawable, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  if (allowSharedMemory) AttachSharedMemory();
}

ImagePresenter::~ImagePresenter() {
  xcb_connection_t* c = mConnection.Get();
  if (mShmSegment) {
    xcb_shm_detach(c, mShmSegment);
    // The server must have detached before our mapping goes away.
    mConnection.Sync();
    shmdt(mShmPixels);
  }
  xcb_free_gc(c, mGc);
}

bool ImagePresenter::AttachSharedMemory() {
  xcb_connection_t* c = mConnection.Get();
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shm_id);
  if (!extension || !extension->present || mWidth == 0 || mHeight == 0) return false;
  const std::size_t bytes = static_cast<std::size_t>(mWidth) * static_cast<std::size_t>(mHeight) * kBytesPerPixel;
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* mapped = shmat(id, nullptr, 0);
  if (mapped == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  const xcb_shm_seg_t segment = xcb_generate_id(c);
  std::unique_ptr<xcb_generic_error_t, XcbFree> error(
      xcb_request_check(c, xcb_shm_attach_checked(c, segment, static_cast<std::uint32_t>(id), 0)));
  // Marked for removal at once: the segment goes away with its last user,
  // even if this process ends without detaching. A remote server fails the
  // attach, and plain image requests take over.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    shmdt(mapped);
    return false;
  }
  mShmSegment = segment;
  mShmPixels = static_cast<std::uint32_t*>(mapped);
  return true;
}

bool ImagePresenter::Present(const std::uint32_t* pixels, int rowSpan, int sourceWidth, int sourceHeight,
                             const IRect& rect) {
  if (!pixels || !mConnection.Ok()) return false;
  const IRect clipped = rect.Intersect(IRect(0, 0, std::min(mWidth, sourceWidth), std::min(mHeight, sourceHeight)));
  if (clipped.R <= clipped.L || clipped.B <= clipped.T) return false;
  const bool sent = mShmSegment ? PresentShared(pixels, rowSpan, clipped) : PresentInBands(pixels, rowSpan, clipped);
  xcb_flush(mConnection.Get());
  return sent;
}

bool ImagePresenter::PresentShared(const std::uint32_t* pixels, int rowSpan, const IRect& rect) {
  const int w = rect.R - rect.L;
  for (int y = rect.T; y < rect.B; ++y) {
    std::memcpy(mShmPixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(mWidth) + rect.L,
                pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowSpan) + rect.L,
                static_cast<std::size_t>(w) * kBytesPerPixel);
  }
  xcb_shm_put_image(mConnection.Get(), mDrawable, mGc, static_cast<std::uint16_t>(mWidth),
                    static_cast<std::uint16_t>(mHeight), static_cast<std::uint16_t>(rect.L),
                    static_cast<std::uint16_t>(rect.T), static_cast<std::uint16_t>(w),
                    static_cast<std::uint16_t>(rect.B - rect.T), static_cast<std::int16_t>(rect.L),
                    static_cast<std::int16_t>(rect.T), mDepth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, mShmSegment, 0);
  // The next copy into the segment must not overtake the server's read.
  mConnection.Sync();
  return true;
}

bool ImagePresenter::PresentInBands(const std::uint32_t* pixels, int rowSpan, const IRect& rect) {
  const int w = rect.R - rect.L;
  const std::uint32_t rowBytes = static_cast<std::uint32_t>(w) * kBytesPerPixel;
  const std::uint32_t limit = mConnection.MaxRequestBytes();
  if (limit <= kPutImageHeaderBytes + rowBytes) return false;
  const int bandRows = static_cast<int>((limit - kPutImageHeaderBytes) / rowBytes);
  const bool contiguous = rect.L == 0 && w == rowSpan;
  std::unique_ptr<std::uint32_t[]> band;
  if (!contiguous) band.reset(new std::uint32_t[static_cast<std::size_t>(w) * static_cast<std::size_t>(std::min(bandRows, rect.B - rect.T))]);
  for (int top = rect.T; top < rect.B; top += bandRows) {
    const int rows = std::min(bandRows, rect.B - top);
    const std::uint32_t* source = pixels + static_cast<std::size_t>(top) * static_cast<std::size_t>(rowSpan) + rect.L;
    if (!contiguous) {
      for (int r = 0; r < rows; ++r) {
        std::memcpy(band.get() + static_cast<std::size_t>(r) * static_cast<std::size_t>(w),
                    source + static_cast<std::size_t>(r) * static_cast<std::size_t>(rowSpan), rowBytes);
      }
      source = band.get();
    }
    xcb_put_image(mConnection.Get(), XCB_IMAGE_FORMAT_Z_PIXMAP, mDrawable, mGc, static_cast<std::uint16_t>(w),
                  static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(rect.L), static_cast<std::int16_t>(top),
                  0, mDepth, rowBytes * static_cast<std::uint32_t>(rows), reinterpret_cast<const std::uint8_t*>(source));
  }
  return true;
}

}  // namespace sorvano::x11
