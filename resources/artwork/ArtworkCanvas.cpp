#include "resources/artwork/ArtworkCanvas.h"

#include <algorithm>

namespace sorvano {
namespace {

constexpr int kEighths = 8;

// Sub-sample offsets inside a pixel, in eighths: the centres of a 4 x 4 grid.
constexpr int kSubSamples[4] = {1, 3, 5, 7};

int Clamp255(int v) {
  return std::clamp(v, 0, 255);
}

// Integer division rounded to nearest, for non-negative values.
std::int64_t DivRound(std::int64_t num, std::int64_t den) {
  return (num + den / 2) / den;
}

std::uint32_t Over(std::uint32_t dest, const IColor& colour, int alpha) {
  const std::int64_t sa = alpha;
  const std::int64_t da = dest >> 24;
  const std::int64_t outA = sa * 255 + da * (255 - sa);  // in 1/255 steps of alpha
  if (outA == 0) return 0;
  const auto channel = [&](std::int64_t cs, int shift) {
    const std::int64_t cd = (dest >> shift) & 0xFF;
    return static_cast<std::uint32_t>(DivRound(cs * sa * 255 + cd * da * (255 - sa), outA));
  };
  const std::uint32_t a = static_cast<std::uint32_t>(DivRound(outA, 255));
  return (a << 24) | (channel(colour.R, 16) << 16) | (channel(colour.G, 8) << 8) |
         channel(colour.B, 0);
}

// Inside test of a rounded rectangle in eighths: the rectangle (l, t, r, b)
// with corner circles of radius rad.
bool InsideRoundRect(int px, int py, int l, int t, int r, int b, int rad) {
  if (px < l || px >= r || py < t || py >= b) return false;
  const std::int64_t dx = std::max({0, l + rad - px, px - (r - rad)});
  const std::int64_t dy = std::max({0, t + rad - py, py - (b - rad)});
  return dx * dx + dy * dy <= static_cast<std::int64_t>(rad) * rad;
}

// The colour num / den of the way from a to b, each channel rounded.
IColor Mix(const IColor& a, const IColor& b, int num, int den) {
  const auto lerp = [&](int x, int y) {
    if (den <= 0) return x;
    const std::int64_t d = static_cast<std::int64_t>(y - x) * num;
    const std::int64_t step = d >= 0 ? DivRound(d, den) : -DivRound(-d, den);
    return Clamp255(x + static_cast<int>(step));
  };
  return IColor(lerp(a.A, b.A), lerp(a.R, b.R), lerp(a.G, b.G), lerp(a.B, b.B));
}

}  // namespace

ArtworkCanvas::ArtworkCanvas(int w, int h) : mSurface(w, h) {
  std::fill_n(mSurface.Bits(), static_cast<std::size_t>(mSurface.Width()) * mSurface.Height(), 0u);
}

void ArtworkCanvas::Blend(int x, int y, const IColor& colour, int coverage) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height() || coverage <= 0) return;
  const int alpha = static_cast<int>(
      DivRound(static_cast<std::int64_t>(Clamp255(colour.A)) * std::min(coverage, kFullCoverage),
               kFullCoverage));
  std::uint32_t& pixel = mSurface.Bits()[static_cast<std::size_t>(y) * mSurface.RowSpan() + x];
  pixel = Over(pixel, colour, alpha);
}

void ArtworkCanvas::Clear(const IRect& rect) {
  const IRect r = rect.Intersect(IRect(0, 0, Width(), Height()));
  for (int y = r.T; y < r.B; ++y) {
    for (int x = r.L; x < r.R; ++x)
      mSurface.Bits()[static_cast<std::size_t>(y) * mSurface.RowSpan() + x] = 0;
  }
}

void ArtworkCanvas::Fill(const IRect& rect, const IColor& colour) {
  for (int y = rect.T; y < rect.B; ++y) {
    for (int x = rect.L; x < rect.R; ++x) Blend(x, y, colour);
  }
}

void ArtworkCanvas::FillVerticalGradient(const IRect& rect, const IColor& top,
                                         const IColor& bottom) {
  const int last = rect.H() - 1;
  for (int y = rect.T; y < rect.B; ++y) {
    const IColor line = Mix(top, bottom, y - rect.T, last);
    for (int x = rect.L; x < rect.R; ++x) Blend(x, y, line);
  }
}

void ArtworkCanvas::Outline(const IRect& rect, const IColor& colour) {
  Fill(IRect(rect.L, rect.T, rect.R, rect.T + 1), colour);
  Fill(IRect(rect.L, rect.B - 1, rect.R, rect.B), colour);
  Fill(IRect(rect.L, rect.T + 1, rect.L + 1, rect.B - 1), colour);
  Fill(IRect(rect.R - 1, rect.T + 1, rect.R, rect.B - 1), colour);
}

template <typename Inside>
int ArtworkCanvas::Coverage(int x, int y, const Inside& inside) {
  int covered = 0;
  for (int sy : kSubSamples) {
    for (int sx : kSubSamples) {
      if (inside(x * kEighths + sx, y * kEighths + sy)) ++covered;
    }
  }
  return covered;
}

template <typename Inside, typename ColourAt>
void ArtworkCanvas::FillShapeWith(const IRect& bounds, const Inside& inside,
                                  const ColourAt& colourAt) {
  const int l = std::max(bounds.L, 0), t = std::max(bounds.T, 0);
  const int r = std::min(bounds.R, Width()), b = std::min(bounds.B, Height());
  for (int y = t; y < b; ++y) {
    for (int x = l; x < r; ++x) {
      const int coverage = Coverage(x, y, inside);
      if (coverage > 0) Blend(x, y, colourAt(y), coverage);
    }
  }
}

template <typename Inside>
void ArtworkCanvas::FillShape(const IRect& bounds, const Inside& inside, const IColor& colour) {
  FillShapeWith(bounds, inside, [&](int) { return colour; });
}

void ArtworkCanvas::FillRoundRect(const IRect& rect, int radius, const IColor& colour) {
  FillRoundRectGradient(rect, radius, colour, colour);
}

void ArtworkCanvas::FillRoundRectGradient(const IRect& rect, int radius, const IColor& top,
                                          const IColor& bottom) {
  const int l = rect.L * kEighths, t = rect.T * kEighths, r = rect.R * kEighths,
            b = rect.B * kEighths;
  const int rad = radius * kEighths;
  const int last = rect.H() - 1;
  FillShapeWith(
      rect, [&](int px, int py) { return InsideRoundRect(px, py, l, t, r, b, rad); },
      [&](int y) { return Mix(top, bottom, y - rect.T, last); });
}

void ArtworkCanvas::StrokeRoundRect(const IRect& rect, int radius, int width,
                                    const IColor& colour) {
  const int l = rect.L * kEighths, t = rect.T * kEighths, r = rect.R * kEighths,
            b = rect.B * kEighths;
  const int rad = radius * kEighths;
  const int w = width * kEighths;
  const int innerRad = std::max(rad - w, 0);
  FillShape(
      rect,
      [&](int px, int py) {
        return InsideRoundRect(px, py, l, t, r, b, rad) &&
               !InsideRoundRect(px, py, l + w, t + w, r - w, b - w, innerRad);
      },
      colour);
}

void ArtworkCanvas::FillDisc(int cx8, int cy8, int r8, const IColor& colour) {
  const IRect bounds((cx8 - r8) / kEighths - 1, (cy8 - r8) / kEighths - 1,
                     (cx8 + r8) / kEighths + 2, (cy8 + r8) / kEighths + 2);
  const std::int64_t rr = static_cast<std::int64_t>(r8) * r8;
  FillShape(
      bounds,
      [&](int px, int py) {
        const std::int64_t dx = px - cx8, dy = py - cy8;
        return dx * dx + dy * dy <= rr;
      },
      colour);
}

void ArtworkCanvas::StrokeRing(int cx8, int cy8, int r8, int w8, const IColor& colour) {
  const IRect bounds((cx8 - r8) / kEighths - 1, (cy8 - r8) / kEighths - 1,
                     (cx8 + r8) / kEighths + 2, (cy8 + r8) / kEighths + 2);
  const std::int64_t outer = static_cast<std::int64_t>(r8) * r8;
  const std::int64_t inner = static_cast<std::int64_t>(std::max(r8 - w8, 0)) * std::max(r8 - w8, 0);
  FillShape(
      bounds,
      [&](int px, int py) {
        const std::int64_t dx = px - cx8, dy = py - cy8;
        const std::int64_t d = dx * dx + dy * dy;
        return d <= outer && d > inner;
      },
      colour);
}

void ArtworkCanvas::FillSegment(int x18, int y18, int x28, int y28, int w8, const IColor& colour) {
  const std::int64_t dx = x28 - x18, dy = y28 - y18;
  const std::int64_t len2 = dx * dx + dy * dy;
  if (len2 == 0) return;
  const IRect bounds(
      (std::min(x18, x28) - w8) / kEighths - 1, (std::min(y18, y28) - w8) / kEighths - 1,
      (std::max(x18, x28) + w8) / kEighths + 2, (std::max(y18, y28) + w8) / kEighths + 2);
  const std::int64_t w2 = static_cast<std::int64_t>(w8) * w8;
  FillShape(
      bounds,
      [&](int px, int py) {
        const std::int64_t vx = px - x18, vy = py - y18;
        const std::int64_t along = vx * dx + vy * dy;
        if (along < 0 || along > len2) return false;
        const std::int64_t across = vx * dy - vy * dx;
        return 4 * across * across <= w2 * len2;
      },
      colour);
}

TextRenderer& ArtworkCanvas::Font(int size, int style) {
  std::unique_ptr<TextRenderer>& font = mFonts[{size, style}];
  if (!font) {
    font = std::make_unique<TextRenderer>();
    font->SelectFont(size, style);
  }
  return *font;
}

void ArtworkCanvas::Text(const char* text, const IRect& rect, int size, int style, int align,
                         const IColor& colour) {
  Font(size, style).Draw(&mSurface, text, rect, align, IColor(255, colour.R, colour.G, colour.B));
}

int ArtworkCanvas::TextWidth(const char* text, int size, int style) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return static_cast<int>((Font(size, style).LineWidth(text, length) + 63) / 64);
}

int ArtworkCanvas::TextAscent(int size, int style) {
  return Font(size, style).Ascent();
}

}  // namespace sorvano
