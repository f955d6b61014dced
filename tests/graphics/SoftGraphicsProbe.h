#pragma once

// An offscreen ISoftGraphics for tests: counts its resource loads and makes
// plain surfaces for made-up ids, and a control that runs a function when
// drawn, so a test can draw inside a real redraw (with its draw rectangle).

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

#include "graphics/IEditorControl.h"
#include "graphics/Surface.h"
#include "graphics/offscreen/OffscreenGraphics.h"

namespace sorvano::test {

class ProbeGraphics : public OffscreenGraphics {
public:
  // Ids from kFakeIdBase on load as plain surfaces of kFakeWidth x kFakeHeight
  // filled with the id; kMissingId loads nothing; others are embedded PNGs.
  // Image tests share the process-wide cache, so each uses ids of its own.
  static constexpr int kFakeIdBase = 7000;
  static constexpr int kMissingId = 6999;
  static constexpr int kFakeWidth = 5;
  static constexpr int kFakeHeight = 6;

  ProbeGraphics(int w, int h) : OffscreenGraphics(w, h) {}

  PixelSurface* LoadImageResource(int resourceId, const char* fileName) override {
    loads.fetch_add(1);
    if (resourceId == kMissingId) return nullptr;
    if (resourceId >= kFakeIdBase) {
      auto* surface = new MemorySurface(kFakeWidth, kFakeHeight);
      SurfaceFillRect(surface, 0, 0, kFakeWidth, kFakeHeight, static_cast<std::uint32_t>(resourceId), 1.0f,
                      SurfaceMode::kCopy);
      return surface;
    }
    return OffscreenGraphics::LoadImageResource(resourceId, fileName);
  }

  std::uint32_t At(int x, int y) { return GetBits()[static_cast<std::size_t>(y) * GetDrawSurface()->RowSpan() + x]; }

  // Every pixel := v, directly.
  void Clear(std::uint32_t v) {
    for (int y = 0; y < Height(); ++y) {
      for (int x = 0; x < Width(); ++x) GetBits()[static_cast<std::size_t>(y) * GetDrawSurface()->RowSpan() + x] = v;
    }
  }

  // Number of pixels that differ from v.
  int CountNot(std::uint32_t v) {
    int n = 0;
    for (int y = 0; y < Height(); ++y) {
      for (int x = 0; x < Width(); ++x) n += At(x, y) != v;
    }
    return n;
  }

  std::atomic<int> loads{0};
};

class CallbackControl : public IEditorControl {
public:
  CallbackControl(const IRect& rect, std::function<void(IEditorGraphics&)> draw)
      : IEditorControl(nullptr, rect, -1), mDraw(std::move(draw)) {}
  bool Draw(IEditorGraphics& graphics) override {
    mDraw(graphics);
    return true;
  }

private:
  std::function<void(IEditorGraphics&)> mDraw;
};

// Runs draw inside a redraw of rect (which becomes the draw rectangle).
// Once per graphics object: the control stays attached and would run again.
inline void DrawInRedraw(ProbeGraphics& g, const IRect& rect, std::function<void(IEditorGraphics&)> draw) {
  g.AttachControl(new CallbackControl(rect, std::move(draw)));
  g.Draw(rect);
}

}  // namespace sorvano::test
