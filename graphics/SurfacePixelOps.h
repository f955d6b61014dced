#pragma once

// Per-pixel arithmetic shared by the surface primitives (fills, blits, lines,
// circles). Internal to the drawing library: controls draw through
// ISoftGraphics, never through these.
//
// A combiner mixes a source colour into a destination pixel with an integer
// weight e, where e = 256 is full strength. All four channels, alpha
// included, are combined alike and clamped to 0..255.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "graphics/Surface.h"

namespace sorvano::surface_ops {

enum class CombineKind { kCopy, kAdd, kDodge };

constexpr CombineKind KindOf(SurfaceMode mode) {
  switch (mode) {
    case SurfaceMode::kAdd:
    case SurfaceMode::kAddAlpha:
      return CombineKind::kAdd;
    case SurfaceMode::kDodge:
    case SurfaceMode::kDodgeAlpha:
      return CombineKind::kDodge;
    case SurfaceMode::kCopy:
    case SurfaceMode::kCopyAlpha:
      break;
  }
  return CombineKind::kCopy;
}

constexpr bool HonoursAlpha(SurfaceMode mode) {
  return mode == SurfaceMode::kCopyAlpha || mode == SurfaceMode::kAddAlpha || mode == SurfaceMode::kDodgeAlpha;
}

// Weights beyond +-256 have no use and would overflow the channel arithmetic;
// NaN counts as 0. Keeps every float-to-int conversion below defined.
inline double SaneWeight(float weight) {
  constexpr double kLimit = 256.0;
  if (std::isnan(weight)) return 0.0;
  if (weight > kLimit) return kLimit;
  if (weight < -kLimit) return -kLimit;
  return weight;
}

// The integer weight trunc(weight x scale); scale is 256 (fills, blits,
// lines) or 255 (circles and arcs).
inline int WeightToE(float weight, int scale) { return static_cast<int>(SaneWeight(weight) * scale); }

constexpr int Channel(std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFFu); }

constexpr std::uint32_t Clamp255(int v) { return static_cast<std::uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

constexpr int kShifts[4] = {24, 16, 8, 0};

constexpr std::uint32_t CombineCopy(std::uint32_t d, std::uint32_t s, int e) {
  std::uint32_t out = 0;
  for (int shift : kShifts) {
    const int v = (Channel(s, shift) * e + Channel(d, shift) * (256 - e)) / 256;
    out |= Clamp255(v) << shift;
  }
  return out;
}

constexpr std::uint32_t CombineAdd(std::uint32_t d, std::uint32_t s, int e) {
  std::uint32_t out = 0;
  for (int shift : kShifts) {
    const int v = Channel(d, shift) + Channel(s, shift) * e / 256;
    out |= Clamp255(v) << shift;
  }
  return out;
}

constexpr std::uint32_t CombineDodge(std::uint32_t d, std::uint32_t s, int e) {
  std::uint32_t out = 0;
  for (int shift : kShifts) {
    const int t = Channel(s, shift) * e / 256;
    const int dc = Channel(d, shift);
    // t <= 254 keeps the divisor at 2 or more.
    const int v = t > 254 ? dc * 256 : dc * 256 / (256 - t);
    out |= Clamp255(v) << shift;
  }
  return out;
}

constexpr std::uint32_t Combine(CombineKind kind, std::uint32_t d, std::uint32_t s, int e) {
  switch (kind) {
    case CombineKind::kAdd:
      return CombineAdd(d, s, e);
    case CombineKind::kDodge:
      return CombineDodge(d, s, e);
    case CombineKind::kCopy:
      break;
  }
  return CombineCopy(d, s, e);
}

// The source-alpha form used by blits: the source alpha scales e; copy and
// add leave the pixel alone where the source is fully transparent, dodge
// does not skip (its weight then rounds to nothing anyway).
constexpr std::uint32_t CombineHonouringAlpha(CombineKind kind, std::uint32_t d, std::uint32_t s, int e) {
  const int a = Channel(s, 24);
  if (a == 0 && kind != CombineKind::kDodge) return d;
  return Combine(kind, d, s, e * (a + 1) / 256);
}

// Shift-and-mask averages of colour c and destination d.
constexpr std::uint32_t Half(std::uint32_t d, std::uint32_t c) {
  return ((c >> 1) & 0x7F7F7F7Fu) + ((d >> 1) & 0x7F7F7F7Fu);
}
constexpr std::uint32_t Quarter(std::uint32_t d, std::uint32_t c) {
  return ((c >> 2) & 0x3F3F3F3Fu) + ((d >> 2) & 0x3F3F3F3Fu) + ((d >> 1) & 0x7F7F7F7Fu);
}
constexpr std::uint32_t ThreeQuarters(std::uint32_t d, std::uint32_t c) {
  return ((c >> 1) & 0x7F7F7F7Fu) + ((c >> 2) & 0x3F3F3F3Fu) + ((d >> 2) & 0x3F3F3F3Fu);
}

// How one pixel of a single-colour primitive is written: the colour word
// itself, one of the shift-and-mask averages, or a combiner at weight e.
struct PixelOp {
  enum class Kind { kWord, kHalf, kQuarter, kThreeQuarters, kCombine };

  Kind kind = Kind::kWord;
  CombineKind combine = CombineKind::kCopy;
  std::uint32_t colour = 0;
  int e = 256;

  static PixelOp Combiner(CombineKind combine, std::uint32_t colour, int e) {
    return PixelOp{Kind::kCombine, combine, colour, e};
  }

  std::uint32_t Apply(std::uint32_t d) const {
    switch (kind) {
      case Kind::kWord:
        return colour;
      case Kind::kHalf:
        return Half(d, colour);
      case Kind::kQuarter:
        return Quarter(d, colour);
      case Kind::kThreeQuarters:
        return ThreeQuarters(d, colour);
      case Kind::kCombine:
        break;
    }
    return Combine(combine, d, colour, e);
  }
};

// The pixel op of the copy kind without antialiasing: the colour word at
// weight 1, the halving average at 0.5, otherwise the copy combiner at
// e = trunc(weight x scale).
inline PixelOp PlainCopyOp(std::uint32_t colour, float weight, int scale) {
  if (weight == 1.0f) return PixelOp{PixelOp::Kind::kWord, CombineKind::kCopy, colour, 256};
  if (weight == 0.5f) return PixelOp{PixelOp::Kind::kHalf, CombineKind::kCopy, colour, 128};
  return PixelOp::Combiner(CombineKind::kCopy, colour, WeightToE(weight, scale));
}

// A view of a surface's pixels for the primitives. Empty (no pixels) when the
// surface is missing, has no memory, a non-positive size or a row span
// shorter than its width.
template <class Pixel, class Surface>
struct BasicPixelView {
  Pixel* bits = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t span = 0;

  explicit BasicPixelView(Surface* surface) {
    if (surface == nullptr || surface->Bits() == nullptr) return;
    if (surface->Width() <= 0 || surface->Height() <= 0 || surface->RowSpan() < surface->Width()) return;
    bits = surface->Bits();
    width = surface->Width();
    height = surface->Height();
    span = surface->RowSpan();
  }

  bool Empty() const { return bits == nullptr; }
  bool Inside(long long x, long long y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // Only for points known to be inside.
  Pixel* At(long long x, long long y) const { return bits + static_cast<std::ptrdiff_t>(y) * span + x; }
  // Writes one pixel; a point outside the surface is ignored.
  void Plot(long long x, long long y, const PixelOp& op) const {
    if (Inside(x, y)) {
      Pixel* p = At(x, y);
      *p = op.Apply(*p);
    }
  }
};

using PixelView = BasicPixelView<std::uint32_t, PixelSurface>;
using SourcePixelView = BasicPixelView<const std::uint32_t, const PixelSurface>;

}  // namespace sorvano::surface_ops
