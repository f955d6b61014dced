#pragma once

// Small value types shared by all editor code. Plain records, copied by value.

#include <algorithm>
#include <cstdint>

namespace sorvano {

class PixelSurface;

// Rectangle in editor pixels; R and B are exclusive for hit testing. All four
// zero is the empty rectangle.
struct IRect {
  int L = 0, T = 0, R = 0, B = 0;

  constexpr IRect() = default;
  constexpr IRect(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  constexpr bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  constexpr int W() const { return R - L; }
  constexpr int H() const { return B - T; }

  constexpr bool Contains(int x, int y) const {
    return !Empty() && L <= x && x < R && T <= y && y < B;
  }

  // Not symmetric on touching edges: a rectangle whose right edge equals the
  // other's left edge intersects it, but not the other way round.
  constexpr bool Intersects(const IRect& o) const {
    return !Empty() && !o.Empty() && R >= o.L && L < o.R && B >= o.T && T < o.B;
  }

  constexpr IRect Intersect(const IRect& o) const {
    if (!Intersects(o)) return IRect();
    return IRect(std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B));
  }

  constexpr IRect Union(const IRect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRect(std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B));
  }

  constexpr bool operator==(const IRect&) const = default;
};

// Colour with alpha, each channel 0..255. Becomes the pixel word 0xAARRGGBB.
struct IColor {
  int A = 255, R = 0, G = 0, B = 0;

  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  // In unsigned arithmetic: with int, any alpha of 128 or more overflows.
  constexpr std::uint32_t ToPixel() const {
    const auto u = [](int v) { return static_cast<std::uint32_t>(v); };
    return ((u(A) * 256u + u(R)) * 256u + u(G)) * 256u + u(B);
  }
  // The colour of a pixel word.
  static constexpr IColor FromPixel(std::uint32_t pixel) {
    return IColor(static_cast<int>(pixel >> 24), static_cast<int>((pixel >> 16) & 0xFF),
                  static_cast<int>((pixel >> 8) & 0xFF), static_cast<int>(pixel & 0xFF));
  }
  constexpr bool operator==(const IColor&) const = default;
};

// How drawing combines with the surface. The weight is the overall opacity.
struct IBlend {
  enum Method : int { kDefault = 0, kOverwrite = 1, kAdd = 2, kColorDodge = 3 };

  int method = kDefault;
  float weight = 1.0f;

  constexpr IBlend() = default;
  constexpr IBlend(int m, float w) : method(m), weight(w) {}
};

struct ITextStyle {
  enum Style : int { kNormal = 0, kBold = 1, kItalic = 2 };
  enum Align : int { kLeft = 0, kCenter = 1, kRight = 2 };

  char font[32] = "Arial";
  int size = 14;  // font cell height in pixels (ascent plus descent)
  IColor color{};
  int style = kNormal;
  int align = kCenter;
  int orientation = 0;  // degrees

  ITextStyle() = default;
  explicit ITextStyle(const IColor& c) : color(c) {}
};

// A loaded image. Frames are stacked vertically, each height / frames high.
// The surface is shared through the image caches and not owned.
struct IImage {
  PixelSurface* surface = nullptr;
  int W = 0, H = 0, N = 1;
};

// Button and modifier state of a mouse event.
struct IMouseState {
  std::uint8_t L = 0, R = 0, S = 0, C = 0, A = 0;
};

}  // namespace sorvano
