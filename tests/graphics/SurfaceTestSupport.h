#pragma once

// Surfaces for the drawing-library tests.

#include <cstdint>
#include <vector>

#include "graphics/Surface.h"

namespace sorvano::test {

// A fixed-size surface embedded in a larger buffer: a frame of guard pixels
// on every side and a row span wider than the width, so a write outside the
// surface, or one that ignores the row span, changes a guard pixel.
class GuardedSurface : public PixelSurface {
public:
  static constexpr std::uint32_t kGuard = 0xDEADBEEFu;
  static constexpr int kMargin = 4;

  GuardedSurface(int w, int h, std::uint32_t fill = 0)
      : mWidth(w), mHeight(h), mSpan(w + 2 * kMargin + 3), mBuffer(static_cast<std::size_t>(mSpan) * (h + 2 * kMargin), kGuard) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) Bits()[y * mSpan + x] = fill;
    }
  }

  std::uint32_t* Bits() override { return mBuffer.data() + kMargin * mSpan + kMargin; }
  const std::uint32_t* Bits() const override { return mBuffer.data() + kMargin * mSpan + kMargin; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mSpan; }
  // Fixed size: a resize changes nothing.
  bool Resize(int, int) override { return false; }

  std::uint32_t At(int x, int y) const { return Bits()[y * mSpan + x]; }
  void Set(int x, int y, std::uint32_t v) { Bits()[y * mSpan + x] = v; }

  // Whether every pixel outside the w x h surface still holds kGuard.
  bool GuardsIntact() const {
    for (int row = 0; row < mHeight + 2 * kMargin; ++row) {
      for (int col = 0; col < mSpan; ++col) {
        const bool inside = row >= kMargin && row < kMargin + mHeight && col >= kMargin && col < kMargin + mWidth;
        if (!inside && mBuffer[static_cast<std::size_t>(row) * mSpan + col] != kGuard) return false;
      }
    }
    return true;
  }

  // Number of surface pixels that differ from v.
  int CountNot(std::uint32_t v) const {
    int n = 0;
    for (int y = 0; y < mHeight; ++y) {
      for (int x = 0; x < mWidth; ++x) n += At(x, y) != v;
    }
    return n;
  }

private:
  int mWidth;
  int mHeight;
  int mSpan;
  std::vector<std::uint32_t> mBuffer;
};

// A grey level g in all four channels.
constexpr std::uint32_t Grey(int g) { return static_cast<std::uint32_t>(g) * 0x01010101u; }

}  // namespace sorvano::test
