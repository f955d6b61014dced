#include "graphics/ISoftGraphics.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include "framework/Assert.h"
#include "graphics/Surface.h"

namespace sorvano {
namespace {

// Float coordinates are truncated towards zero; far-off values are limited
// first so that the conversion is defined (NaN counts as 0). The limit keeps
// sums and differences of two coordinates within int.
int TruncCoordinate(float v) {
  constexpr float kLimit = 536870912.0f;  // 2^29
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

// R - L or B - T without overflow, limited to int.
int Extent(int from, int to) {
  const long long d = static_cast<long long>(to) - from;
  return static_cast<int>(std::clamp<long long>(d, -0x7FFFFFFFLL, 0x7FFFFFFFLL));
}

float WeightOf(const IBlend* blend) { return blend ? blend->weight : 1.0f; }

// The surfaces that cached images point to, owned here from RetainImage to
// ReleaseImage. Lock order: taken after the load cache lock, never before.
class RetainedSurfaces {
public:
  static RetainedSurfaces& Get() {
    static RetainedSurfaces instance;
    return instance;
  }

  void Retain(PixelSurface* surface) {
    std::lock_guard<std::mutex> lock(mLock);
    if (Find(surface) == mSurfaces.end()) mSurfaces.emplace_back(surface);
  }

  bool Contains(const PixelSurface* surface) {
    std::lock_guard<std::mutex> lock(mLock);
    return Find(surface) != mSurfaces.end();
  }

  // Destroys the surface if it is held.
  void Release(const PixelSurface* surface) {
    std::unique_ptr<PixelSurface> doomed;
    {
      std::lock_guard<std::mutex> lock(mLock);
      const auto it = Find(surface);
      if (it == mSurfaces.end()) return;
      doomed = std::move(*it);
      mSurfaces.erase(it);
    }
  }

private:
  std::vector<std::unique_ptr<PixelSurface>>::iterator Find(const PixelSurface* surface) {
    return std::find_if(mSurfaces.begin(), mSurfaces.end(),
                        [surface](const std::unique_ptr<PixelSurface>& held) { return held.get() == surface; });
  }

  std::mutex mLock;
  std::vector<std::unique_ptr<PixelSurface>> mSurfaces;
};

// Images loaded by resource id. Entries are never removed; a released one is
// refilled in place.
class LoadCache {
public:
  struct Entry {
    int id;
    IImage image;
  };

  static LoadCache& Get() {
    static LoadCache instance;
    return instance;
  }

  // Held for a whole load, decoding included.
  std::mutex& Lock() { return mLock; }

  // Lock held. The entry of this id, appended if new.
  Entry& EntryFor(int id) {
    for (Entry& entry : mEntries) {
      if (entry.id == id) return entry;
    }
    mEntries.push_back(Entry{id, IImage{}});
    return mEntries.back();
  }

  // Takes the lock. Entries pointing at a surface about to be destroyed lose
  // it, so that a later surface at the same address is never mistaken for
  // theirs.
  void Forget(const PixelSurface* surface) {
    std::lock_guard<std::mutex> lock(mLock);
    for (Entry& entry : mEntries) {
      if (entry.image.surface == surface) entry.image = IImage{};
    }
  }

private:
  std::mutex mLock;
  std::vector<Entry> mEntries;
};

}  // namespace

ISoftGraphics::ISoftGraphics(IEffectBase* plug, int width, int height, int fps)
    : IEditorGraphics(plug, width, height, fps) {}

ISoftGraphics::~ISoftGraphics() = default;

void ISoftGraphics::PrepareDraw() { mDrawSurface = std::make_unique<DrawSurface>(Width(), Height()); }

bool ISoftGraphics::DrawImage(const IImage& image, const IRect& dest, int srcX, int srcY, const IBlend* blend) {
  if (!mDrawSurface || !image.surface) return true;
  const IRect clipped = dest.Intersect(GetDrawRect());
  const int w = Extent(clipped.L, clipped.R);
  const int h = Extent(clipped.T, clipped.B);
  if (w <= 0 || h <= 0) return true;
  // The source moves by as much as the destination was cut on the left and top.
  const long long left = static_cast<long long>(srcX) + clipped.L - dest.L;
  const long long top = static_cast<long long>(srcY) + clipped.T - dest.T;
  // A source beyond the image's surface is cut by the blit; limiting it here
  // only keeps the rectangle's arithmetic within int.
  const long long limit = 0x3FFFFFFFLL;
  const int sl = static_cast<int>(std::clamp(left, -limit, limit));
  const int st = static_cast<int>(std::clamp(top, -limit, limit));
  const IRect source(sl, st, sl + std::min(w, 0x3FFFFFFF), st + std::min(h, 0x3FFFFFFF));
  SurfaceBlit(mDrawSurface.get(), image.surface, clipped.L, clipped.T, &source, WeightOf(blend), BlendToMode(blend));
  return true;
}

bool ISoftGraphics::DrawRotatedImage(const IImage&, int, int, double, int, const IBlend*) { return false; }

bool ISoftGraphics::DrawRotatedMask(const IImage&, const IImage&, const IImage&, int, int, double, const IBlend*) {
  return false;
}

bool ISoftGraphics::DrawPoint(const IColor& color, float x, float y, const IBlend* blend, bool) {
  SurfacePutPixel(mDrawSurface.get(), TruncCoordinate(x + 0.5f), TruncCoordinate(y + 0.5f), color.ToPixel(),
                  WeightOf(blend), BlendToPointMode(blend));
  return true;
}

bool ISoftGraphics::ForcePixel(const IColor& color, int x, int y) {
  if (!mDrawSurface || !mDrawSurface->Bits()) return true;
  if (x < 0 || y < 0 || x >= mDrawSurface->Width() || y >= mDrawSurface->Height()) return true;
  mDrawSurface->Bits()[static_cast<std::size_t>(y) * mDrawSurface->RowSpan() + x] = color.ToPixel();
  return true;
}

bool ISoftGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                             bool antialias) {
  SurfaceLine(mDrawSurface.get(), TruncCoordinate(x1), TruncCoordinate(y1), TruncCoordinate(x2),
              TruncCoordinate(y2), color.ToPixel(), WeightOf(blend), BlendToMode(blend), antialias);
  return true;
}

bool ISoftGraphics::DrawArc(const IColor& color, float cx, float cy, float r, float minAngle, float maxAngle,
                            const IBlend* blend, bool antialias) {
  SurfaceArc(mDrawSurface.get(), cx, cy, r, minAngle, maxAngle, color.ToPixel(), WeightOf(blend),
             BlendToPointMode(blend), antialias);
  return true;
}

bool ISoftGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend,
                               bool antialias) {
  SurfaceCircle(mDrawSurface.get(), cx, cy, r, color.ToPixel(), WeightOf(blend), BlendToMode(blend), antialias);
  return true;
}

bool ISoftGraphics::FillRect(const IColor& color, const IRect& rect, const IBlend* blend) {
  if (!mDrawSurface) return true;
  // Cut to the surface first (the fill would cut it the same way), so that
  // the width and height of a huge rectangle cannot overflow.
  const int l = std::max(rect.L, 0);
  const int t = std::max(rect.T, 0);
  const int r = std::min(rect.R, mDrawSurface->Width());
  const int b = std::min(rect.B, mDrawSurface->Height());
  SurfaceFillRect(mDrawSurface.get(), l, t, Extent(l, r), Extent(t, b), color.ToPixel(), WeightOf(blend),
                  BlendToMode(blend));
  return true;
}

bool ISoftGraphics::DrawText(const ITextStyle& style, const char* text, const IRect& rect) {
  if (!text) return true;
  if (!mText.SelectFont(style.size, style.style)) return false;
  return mText.Draw(mDrawSurface.get(), text, rect, style.align, style.color);
}

IColor ISoftGraphics::GetPoint(int x, int y) {
  return IColor::FromPixel(SurfaceGetPixel(mDrawSurface.get(), x, y));
}

std::uint32_t* ISoftGraphics::GetBits() { return mDrawSurface ? mDrawSurface->Bits() : nullptr; }

bool ISoftGraphics::DrawVerticalLine(const IColor& color, int x, int y1, int y2) {
  // Clamped to the surface itself (not to the editor size), so a surface
  // smaller than the editor, or one that failed to allocate, is never overrun.
  if (!mDrawSurface || !mDrawSurface->Bits() || mDrawSurface->Width() <= 0 || mDrawSurface->Height() <= 0) {
    return true;
  }
  const int maxY = mDrawSurface->Height() - 1;
  x = std::clamp(x, 0, mDrawSurface->Width() - 1);
  y1 = std::clamp(y1, 0, maxY);
  y2 = std::clamp(y2, 0, maxY);
  if (y2 < y1) return true;
  std::uint32_t* bits = mDrawSurface->Bits();
  const std::size_t span = static_cast<std::size_t>(mDrawSurface->RowSpan());
  const std::uint32_t pixel = color.ToPixel();
  for (int y = y1; y <= y2; ++y) bits[static_cast<std::size_t>(y) * span + x] = pixel;
  return true;
}

bool ISoftGraphics::DrawHorizontalLine(const IColor& color, int y, int x1, int x2) {
  if (!mDrawSurface || !mDrawSurface->Bits() || mDrawSurface->Width() <= 0 || mDrawSurface->Height() <= 0) {
    return true;
  }
  const int maxX = mDrawSurface->Width() - 1;
  y = std::clamp(y, 0, mDrawSurface->Height() - 1);
  x1 = std::clamp(x1, 0, maxX);
  x2 = std::clamp(x2, 0, maxX);
  if (x2 < x1) return true;
  std::uint32_t* row = mDrawSurface->Bits() + static_cast<std::size_t>(y) * mDrawSurface->RowSpan();
  std::fill(row + x1, row + x2 + 1, color.ToPixel());
  return true;
}

IImage ISoftGraphics::LoadImage(int resourceId, const char* fileName, int frames) {
  LoadCache& cache = LoadCache::Get();
  std::lock_guard<std::mutex> lock(cache.Lock());
  LoadCache::Entry& entry = cache.EntryFor(resourceId);
  if (entry.image.surface && RetainedSurfaces::Get().Contains(entry.image.surface)) return entry.image;

  PixelSurface* surface = LoadImageResource(resourceId, fileName);
  const bool imgResourceFound = surface != nullptr;
  SORVANO_ASSERT(imgResourceFound);
  entry.image = IImage{surface, surface ? surface->Width() : 0, surface ? surface->Height() : 0, frames};
  RetainImage(entry.image);
  return entry.image;
}

IImage ISoftGraphics::ScaleImage(const IImage& image, int, int) { return image; }

IImage ISoftGraphics::CropImage(const IImage& image, const IRect&) { return image; }

void ISoftGraphics::RetainImage(const IImage& image) {
  if (image.surface) RetainedSurfaces::Get().Retain(image.surface);
}

void ISoftGraphics::ReleaseImage(const IImage& image) {
  if (!image.surface) return;
  LoadCache::Get().Forget(image.surface);
  RetainedSurfaces::Get().Release(image.surface);
}

}  // namespace sorvano
