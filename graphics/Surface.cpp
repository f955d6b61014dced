#include "graphics/Surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/SurfacePixelOps.h"

namespace sorvano {

using surface_ops::CombineKind;
using surface_ops::PixelOp;
using surface_ops::PixelView;
using surface_ops::SourcePixelView;

std::size_t SurfaceBytes(int w, int h) {
  if (w <= 0 || h <= 0) return 0;
  const long long pixels = static_cast<long long>(w) * h;
  if (pixels > kMaxSurfacePixels) return 0;
  return static_cast<std::size_t>(pixels) * sizeof(std::uint32_t);
}

MemorySurface::MemorySurface(int w, int h) {
  const std::size_t size = SurfaceBytes(w, h);
  if (size > 0) mPixels = static_cast<std::uint32_t*>(std::malloc(size));
  if (mPixels == nullptr) return;
  mWidth = w;
  mHeight = h;
  mAllocated = size;
}

MemorySurface::~MemorySurface() { std::free(mPixels); }

bool MemorySurface::Resize(int w, int h) {
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;
  const std::size_t size = SurfaceBytes(w, h);
  if (size == 0) {
    std::free(mPixels);
    mPixels = nullptr;
    mAllocated = 0;
  } else if (mPixels == nullptr) {
    mPixels = static_cast<std::uint32_t*>(std::malloc(size));
    mAllocated = mPixels != nullptr ? size : 0;
  } else if (mAllocated < size) {
    const std::size_t grown = size + size / 4;
    if (void* block = std::realloc(mPixels, grown)) {
      mPixels = static_cast<std::uint32_t*>(block);
      mAllocated = grown;
    } else {
      // The old block is still ours; retry with exactly the need.
      std::free(mPixels);
      mPixels = static_cast<std::uint32_t*>(std::malloc(size));
      mAllocated = mPixels != nullptr ? size : 0;
    }
  }
  if (mPixels == nullptr) {
    mWidth = 0;
    mHeight = 0;
  }
  return true;
}

SurfaceMode BlendToMode(const IBlend* blend) {
  if (blend == nullptr) return SurfaceMode::kCopyAlpha;
  switch (blend->method) {
    case IBlend::kOverwrite:
      return SurfaceMode::kCopy;
    case IBlend::kAdd:
      return SurfaceMode::kAddAlpha;
    case IBlend::kColorDodge:
      return SurfaceMode::kDodgeAlpha;
    default:
      return SurfaceMode::kCopyAlpha;
  }
}

SurfaceMode BlendToPointMode(const IBlend* blend) {
  if (blend == nullptr) return SurfaceMode::kCopy;
  switch (blend->method) {
    case IBlend::kAdd:
      return SurfaceMode::kAdd;
    case IBlend::kColorDodge:
      return SurfaceMode::kDodge;
    default:
      return SurfaceMode::kCopy;
  }
}

namespace {

// Rewrites every pixel of the (already clipped) rectangle with f(old pixel).
template <class F>
void ForEachPixel(const PixelView& view, long long x, long long y, long long w, long long h, F f) {
  for (long long row = 0; row < h; ++row) {
    std::uint32_t* p = view.At(x, y + row);
    for (long long i = 0; i < w; ++i) p[i] = f(p[i]);
  }
}

void FillClipped(const PixelView& view, long long x, long long y, long long w, long long h, const PixelOp& op) {
  const std::uint32_t c = op.colour;
  switch (op.kind) {
    case PixelOp::Kind::kWord:
      for (long long row = 0; row < h; ++row) std::fill_n(view.At(x, y + row), w, c);
      return;
    case PixelOp::Kind::kHalf:
      ForEachPixel(view, x, y, w, h, [c](std::uint32_t d) { return surface_ops::Half(d, c); });
      return;
    case PixelOp::Kind::kQuarter:
      ForEachPixel(view, x, y, w, h, [c](std::uint32_t d) { return surface_ops::Quarter(d, c); });
      return;
    case PixelOp::Kind::kThreeQuarters:
      ForEachPixel(view, x, y, w, h, [c](std::uint32_t d) { return surface_ops::ThreeQuarters(d, c); });
      return;
    case PixelOp::Kind::kCombine:
      break;
  }
  const int e = op.e;
  switch (op.combine) {
    case CombineKind::kCopy:
      ForEachPixel(view, x, y, w, h, [c, e](std::uint32_t d) { return surface_ops::CombineCopy(d, c, e); });
      return;
    case CombineKind::kAdd:
      ForEachPixel(view, x, y, w, h, [c, e](std::uint32_t d) { return surface_ops::CombineAdd(d, c, e); });
      return;
    case CombineKind::kDodge:
      ForEachPixel(view, x, y, w, h, [c, e](std::uint32_t d) { return surface_ops::CombineDodge(d, c, e); });
      return;
  }
}

}  // namespace

void SurfaceFillRect(PixelSurface* dest, int x, int y, int w, int h, std::uint32_t colour, float weight,
                     SurfaceMode mode) {
  if (surface_ops::HonoursAlpha(mode)) weight = weight * static_cast<float>(colour >> 24) / 255.0f;

  const PixelView view(dest);
  // 64-bit so that x + w cannot overflow for coordinates from anywhere.
  long long x0 = x, y0 = y, w0 = w, h0 = h;
  if (x0 < 0) {
    w0 += x0;
    x0 = 0;
  }
  if (y0 < 0) {
    h0 += y0;
    y0 = 0;
  }
  if (x0 + w0 > view.width) w0 = view.width - x0;
  if (y0 + h0 > view.height) h0 = view.height - y0;
  if (weight == 0.0f || view.Empty() || w0 < 1 || h0 < 1) return;

  const CombineKind kind = surface_ops::KindOf(mode);
  PixelOp op;
  if (kind == CombineKind::kCopy) {
    if (!(weight > 0.0f)) return;
    op = surface_ops::PlainCopyOp(colour, weight, 256);
    if (weight == 0.25f) op.kind = PixelOp::Kind::kQuarter;
    if (weight == 0.75f) op.kind = PixelOp::Kind::kThreeQuarters;
  } else {
    op = PixelOp::Combiner(kind, colour, surface_ops::WeightToE(weight, 256));
  }
  FillClipped(view, x0, y0, w0, h0, op);
}

namespace {

// Applies f(dest pixel, source pixel) over a clipped block. When a surface is
// blitted onto itself the rows and columns run in the order that reads every
// source pixel before it is overwritten.
template <class F>
void BlitPixels(const PixelView& d, const SourcePixelView& s, long long dx, long long dy, long long sx,
                long long sy, long long w, long long h, bool sameSurface, F f) {
  const bool rowsUp = sameSurface && dy > sy;
  const bool columnsBack = sameSurface && dy == sy && dx > sx;
  for (long long i = 0; i < h; ++i) {
    const long long row = rowsUp ? h - 1 - i : i;
    std::uint32_t* dp = d.At(dx, dy + row);
    const std::uint32_t* sp = s.At(sx, sy + row);
    for (long long j = 0; j < w; ++j) {
      const long long col = columnsBack ? w - 1 - j : j;
      dp[col] = f(dp[col], sp[col]);
    }
  }
}

}  // namespace

void SurfaceBlit(PixelSurface* dest, const PixelSurface* src, int dx, int dy, const IRect* srcRect,
                 float weight, SurfaceMode mode) {
  const PixelView d(dest);
  const SourcePixelView s(src);
  if (d.Empty() || s.Empty() || weight == 0.0f) return;

  long long left = 0, top = 0, right = s.width, bottom = s.height;
  if (srcRect != nullptr) {
    left = std::max(srcRect->L, 0);
    top = std::max(srcRect->T, 0);
    right = std::min(srcRect->R, s.width);
    bottom = std::min(srcRect->B, s.height);
  }
  long long x = dx, y = dy;
  if (x < 0) {
    left -= x;
    x = 0;
  }
  if (y < 0) {
    top -= y;
    y = 0;
  }
  if (d.width < x + (right - left)) right = d.width - x + left;
  if (d.height < y + (bottom - top)) bottom = d.height - y + top;
  if (!(left < right && top < bottom)) return;

  const long long w = right - left;
  const long long h = bottom - top;
  const bool same = static_cast<const PixelSurface*>(dest) == src;
  const int e = surface_ops::WeightToE(weight, 256);
  const CombineKind kind = surface_ops::KindOf(mode);

  if (surface_ops::HonoursAlpha(mode)) {
    if (kind == CombineKind::kCopy && e == 256) {
      // Same result as the combiner at full weight: alpha 255 copies exactly,
      // alpha 0 leaves the pixel, the rest blend by alpha.
      BlitPixels(d, s, x, y, left, top, w, h, same, [](std::uint32_t dp, std::uint32_t sp) {
        const std::uint32_t a = sp >> 24;
        if (a == 255) return sp;
        if (a == 0) return dp;
        return surface_ops::CombineCopy(dp, sp, static_cast<int>(a) + 1);
      });
      return;
    }
    BlitPixels(d, s, x, y, left, top, w, h, same, [kind, e](std::uint32_t dp, std::uint32_t sp) {
      return surface_ops::CombineHonouringAlpha(kind, dp, sp, e);
    });
    return;
  }
  if (kind != CombineKind::kCopy) {
    BlitPixels(d, s, x, y, left, top, w, h, same,
               [kind, e](std::uint32_t dp, std::uint32_t sp) { return surface_ops::Combine(kind, dp, sp, e); });
    return;
  }
  if (weight == 1.0f) {
    const bool rowsUp = same && y > top;
    for (long long i = 0; i < h; ++i) {
      const long long row = rowsUp ? h - 1 - i : i;
      std::memmove(d.At(x, y + row), s.At(left, top + row), static_cast<std::size_t>(w) * sizeof(std::uint32_t));
    }
  } else if (weight == 0.5f) {
    BlitPixels(d, s, x, y, left, top, w, h, same,
               [](std::uint32_t dp, std::uint32_t sp) { return surface_ops::Half(dp, sp); });
  } else if (weight > 0.0f) {
    BlitPixels(d, s, x, y, left, top, w, h, same,
               [e](std::uint32_t dp, std::uint32_t sp) { return surface_ops::CombineCopy(dp, sp, e); });
  }
}

void SurfacePutPixel(PixelSurface* dest, int x, int y, std::uint32_t colour, float weight, SurfaceMode mode) {
  SurfaceFillRect(dest, x, y, 1, 1, colour, weight, mode);
}

std::uint32_t SurfaceGetPixel(const PixelSurface* src, int x, int y) {
  const SourcePixelView s(src);
  if (s.Empty() || !s.Inside(x, y)) return 0;
  return *s.At(x, y);
}

}  // namespace sorvano
