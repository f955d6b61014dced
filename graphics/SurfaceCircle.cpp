// SurfaceCircle and SurfaceArc: small radii stamped from masks, everything
// else drawn as a midpoint outline (plain) or as pixel pairs straddling the
// ideal outline (antialiased), clipped to a box.

#include <cmath>
#include <numbers>

#include "graphics/Surface.h"
#include "graphics/SurfaceCircleMasks.h"
#include "graphics/SurfacePixelOps.h"

namespace sorvano {

using surface_ops::CombineKind;
using surface_ops::PixelOp;
using surface_ops::PixelView;

namespace surface_ops {
namespace {

// Coverage of a one-pixel-wide ring, sampled 16 x 16 per pixel; values below
// 16 are dropped so the stamps stay crisp.
constexpr std::uint8_t kRing2[5 * 5] = {
    36,  195, 251, 195, 36,   //
    195, 119, 0,   119, 195,  //
    251, 0,   0,   0,   251,  //
    195, 119, 0,   119, 195,  //
    36,  195, 251, 195, 36,   //
};
constexpr std::uint8_t kRing2Half[6 * 6] = {
    0,   146, 241, 241, 146, 0,    //
    146, 174, 21,  21,  174, 146,  //
    241, 21,  0,   0,   21,  241,  //
    241, 21,  0,   0,   21,  241,  //
    146, 174, 21,  21,  174, 146,  //
    0,   146, 241, 241, 146, 0,    //
};
constexpr std::uint8_t kRing3[7 * 7] = {
    0,   90,  214, 253, 214, 90,  0,    //
    90,  219, 60,  0,   60,  219, 90,   //
    214, 60,  0,   0,   0,   60,  214,  //
    253, 0,   0,   0,   0,   0,   253,  //
    214, 60,  0,   0,   0,   60,  214,  //
    90,  219, 60,  0,   60,  219, 90,   //
    0,   90,  214, 253, 214, 90,  0,    //
};
constexpr std::uint8_t kRing3Half[8 * 8] = {
    0,   42,  178, 245, 245, 178, 42,  0,    //
    42,  234, 109, 0,   0,   109, 234, 42,   //
    178, 109, 0,   0,   0,   0,   109, 178,  //
    245, 0,   0,   0,   0,   0,   0,   245,  //
    245, 0,   0,   0,   0,   0,   0,   245,  //
    178, 109, 0,   0,   0,   0,   109, 178,  //
    42,  234, 109, 0,   0,   109, 234, 42,   //
    0,   42,  178, 245, 245, 178, 42,  0,    //
};
constexpr std::uint8_t kRing4[9 * 9] = {
    0,   0,   132, 223, 255, 223, 132, 0,   0,    //
    0,   200, 165, 41,  0,   41,  165, 200, 0,    //
    132, 165, 0,   0,   0,   0,   0,   165, 132,  //
    223, 41,  0,   0,   0,   0,   0,   41,  223,  //
    255, 0,   0,   0,   0,   0,   0,   0,   255,  //
    223, 41,  0,   0,   0,   0,   0,   41,  223,  //
    132, 165, 0,   0,   0,   0,   0,   165, 132,  //
    0,   200, 165, 41,  0,   41,  165, 200, 0,    //
    0,   0,   132, 223, 255, 223, 132, 0,   0,    //
};

constexpr CircleMask kMasks[] = {
    {2.0f, 5, kRing2}, {2.5f, 6, kRing2Half}, {3.0f, 7, kRing3}, {3.5f, 8, kRing3Half}, {4.0f, 9, kRing4},
};

}  // namespace

const CircleMask* FindCircleMask(float radius) {
  for (const CircleMask& mask : kMasks) {
    if (mask.radius == radius) return &mask;
  }
  return nullptr;
}

}  // namespace surface_ops

namespace {

// Beyond this, float coordinates no longer resolve single pixels; such
// circles are not drawn (and their outlines could not be iterated in time).
constexpr double kMaxCircleCoordinate = 16777216.0;

constexpr double kPi = std::numbers::pi;

// The pixels a circle outline may touch: x in [left, right), y in [top, bottom).
struct ClipBox {
  long long left = 0, top = 0, right = 0, bottom = 0;
};

// Plots outline points. With test set, points outside the box are skipped;
// without it the caller has shown that every point lies inside the surface.
struct OutlinePlotter {
  const PixelView& view;
  ClipBox box;
  bool test;

  void operator()(long long x, long long y, const PixelOp& op) const {
    if (test && !(x >= box.left && x < box.right && y >= box.top && y < box.bottom)) return;
    std::uint32_t* p = view.At(x, y);
    *p = op.Apply(*p);
  }
};

long long Trunc(double v) { return static_cast<long long>(v); }

bool UsableCircle(double cx, double cy, double r) {
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r)) return false;
  return r >= 0.0 && r <= kMaxCircleCoordinate && std::fabs(cx) <= kMaxCircleCoordinate &&
         std::fabs(cy) <= kMaxCircleCoordinate;
}

// The op for axis points, plain outline points and on-curve antialiased
// points: the colour word or the halving average for plain copies at weight 1
// and 0.5, else the combiner at e = trunc(weight x 255).
PixelOp OutlineOp(CombineKind kind, std::uint32_t colour, float weight, bool antialias) {
  if (kind == CombineKind::kCopy && !antialias) return surface_ops::PlainCopyOp(colour, weight, 255);
  return PixelOp::Combiner(kind, colour, surface_ops::WeightToE(weight, 255));
}

// Plots (cx +- a, cy +- b) once each: a zero offset gives one pixel, not two.
void PlotMirrored(const OutlinePlotter& plot, long long ic, long long jc, long long a, long long b,
                  const PixelOp& op) {
  plot(ic + a, jc + b, op);
  if (a != 0) plot(ic - a, jc + b, op);
  if (b != 0) plot(ic + a, jc - b, op);
  if (a != 0 && b != 0) plot(ic - a, jc - b, op);
}

void PlainOutline(const OutlinePlotter& plot, double cx, double cy, double r, const PixelOp& op) {
  double t = 0.0;
  double u = (5.0 - 4.0 * r) / 4.0;
  while (t < r) {
    t += 1.0;
    if (u < 0.0) {
      u += 2.0 * t + 1.0;
    } else {
      u += 2.0 * (t - r + 1.0) + 1.0;
      r -= 1.0;
    }
    plot(Trunc(cx + t), Trunc(cy + r), op);
    plot(Trunc(cx - t), Trunc(cy + r), op);
    plot(Trunc(cx + t), Trunc(cy - r), op);
    plot(Trunc(cx - t), Trunc(cy - r), op);
    plot(Trunc(cx + r), Trunc(cy + t), op);
    plot(Trunc(cx - r), Trunc(cy + t), op);
    plot(Trunc(cx + r), Trunc(cy - t), op);
    plot(Trunc(cx - r), Trunc(cy - t), op);
  }
}

// For each column offset u from the centre, the ideal outline lies t =
// sqrt(r^2 - u^2) rows out (r itself at u = 1). Its whole part k and fraction
// v pick the pixel pair k (nearer the centre, weight 1 - v) and k + 1
// (farther out, weight v), in all eight octants; the octants meet on the
// diagonal, where a pixel is drawn once.
void AntialiasedOutline(const OutlinePlotter& plot, CombineKind kind, std::uint32_t colour, double weight,
                        double cx, double cy, double r, const PixelOp& onCurve) {
  const long long ic = Trunc(cx);
  const long long jc = Trunc(cy);
  for (long long u = 1;; ++u) {
    const double ud = static_cast<double>(u);
    if (u > 1 && ud > r) break;  // no outline left in this octant (and no root)
    const double t = u == 1 ? r : std::sqrt(r * r - ud * ud);
    if (!(ud < t + 1.0)) break;
    const double whole = std::floor(t);
    const long long k = static_cast<long long>(whole);
    const double v = t - whole;
    if (v == 0.0) {
      PlotMirrored(plot, ic, jc, u, k, onCurve);
      if (k != u) PlotMirrored(plot, ic, jc, k, u, onCurve);
      continue;
    }
    const PixelOp inner = PixelOp::Combiner(kind, colour, static_cast<int>((1.0 - v) * weight * 255.0));
    const PixelOp outer = PixelOp::Combiner(kind, colour, static_cast<int>(v * weight * 255.0));
    PlotMirrored(plot, ic, jc, u, k, inner);
    PlotMirrored(plot, ic, jc, u, k + 1, outer);
    if (k != u) PlotMirrored(plot, ic, jc, k, u, inner);
    if (k + 1 != u) PlotMirrored(plot, ic, jc, k + 1, u, outer);
  }
}

// The outline without stamp masks, shared by circles and arcs.
void DrawOutline(const PixelView& view, double cx, double cy, double r, std::uint32_t colour, float weight,
                 SurfaceMode mode, bool antialias, const ClipBox& box, bool test) {
  const CombineKind kind = surface_ops::KindOf(mode);
  if (weight == 0.0f || (kind == CombineKind::kCopy && weight < 0.0f)) return;
  const PixelOp op = OutlineOp(kind, colour, weight, antialias);
  const OutlinePlotter plot{view, box, test};

  plot(Trunc(cx), Trunc(cy + r), op);
  plot(Trunc(cx), Trunc(cy - r), op);
  plot(Trunc(cx + r), Trunc(cy), op);
  plot(Trunc(cx - r), Trunc(cy), op);
  if (antialias) {
    AntialiasedOutline(plot, kind, colour, surface_ops::SaneWeight(weight), cx, cy, r, op);
  } else {
    PlainOutline(plot, cx, cy, r, op);
  }
}

// Every outline point lies within r + 1 of the centre (antialiased pairs
// reach one pixel beyond the ideal outline, midpoint offsets stay below
// r + 1), so when that margin fits inside the surface on all sides no point
// needs testing.
bool NearAnEdge(const PixelView& view, double cx, double cy, double r) {
  return cx - r - 1.0 < 0.0 || cy - r - 1.0 < 0.0 || cx + r + 1.0 >= view.width || cy + r + 1.0 >= view.height;
}

// Whether the r + 1 margin around the circle misses the surface altogether.
bool OffSurface(const PixelView& view, double cx, double cy, double r) {
  return cx + r + 1.0 < 0.0 || cy + r + 1.0 < 0.0 || cx - r - 1.0 >= view.width || cy - r - 1.0 >= view.height;
}

void StampMask(const PixelView& view, const surface_ops::CircleMask& mask, double cx, double cy,
               std::uint32_t colour, float weight, SurfaceMode mode, bool antialias) {
  const CombineKind kind = surface_ops::KindOf(mode);
  if (weight == 0.0f || (kind == CombineKind::kCopy && weight < 0.0f)) return;
  const PixelOp plainOp = OutlineOp(kind, colour, weight, false);
  const double w = surface_ops::SaneWeight(weight);
  const long long left = Trunc(cx - mask.radius);
  const long long top = Trunc(cy - mask.radius);
  for (int row = 0; row < mask.size; ++row) {
    for (int col = 0; col < mask.size; ++col) {
      const int coverage = mask.coverage[row * mask.size + col];
      if (antialias) {
        if (coverage == 0) continue;
        view.Plot(left + col, top + row, PixelOp::Combiner(kind, colour, static_cast<int>(coverage * w)));
      } else if (coverage >= surface_ops::kPlainCoverage) {
        view.Plot(left + col, top + row, plainOp);
      }
    }
  }
}

ClipBox WholeSurface(const PixelView& view) { return ClipBox{0, 0, view.width, view.height}; }

// The outline of a whole circle without stamp masks.
void FullCircle(const PixelView& view, double cx, double cy, double r, std::uint32_t colour, float weight,
                SurfaceMode mode, bool antialias) {
  if (OffSurface(view, cx, cy, r)) return;
  DrawOutline(view, cx, cy, r, colour, weight, mode, antialias, WholeSurface(view), NearAnEdge(view, cx, cy, r));
}

// Start and end angles within this of a boundary count as on it.
constexpr double kAngleSlack = 0.000001;

// sin and cos of an angle; exact on the axes, so that an arc ending at a
// quarter turn passed as a float (slightly off the true multiple of pi / 2)
// still ends on the centre's row or column.
void SinCos(double a, double& s, double& c) {
  const double quarters = std::nearbyint(a / (kPi / 2.0));
  if (std::fabs(a - quarters * (kPi / 2.0)) < kAngleSlack) {
    constexpr double kSin[4] = {0.0, 1.0, 0.0, -1.0};
    constexpr double kCos[4] = {1.0, 0.0, -1.0, 0.0};
    const int q = static_cast<int>(std::fmod(quarters, 4.0) + 4.0) % 4;
    s = kSin[q];
    c = kCos[q];
    return;
  }
  s = std::sin(a);
  c = std::cos(a);
}

// Into 0..2pi; a positive whole number of turns gives 2pi, not 0.
double NormaliseAngle(double a) {
  constexpr double kTurn = 2.0 * kPi;
  if (a >= 0.0 && a <= kTurn) return a;
  double n = std::fmod(a, kTurn);
  if (n < 0.0) n += kTurn;
  if (n == 0.0 && a > 0.0) n = kTurn;
  return n;
}

// One piece of an arc, at most half a turn: the outline clipped to the box
// that the start and end points cut from the surface.
void ArcPiece(const PixelView& view, double cx, double cy, double r, double angle1, double angle2,
              std::uint32_t colour, float weight, SurfaceMode mode, bool antialias) {
  angle1 = NormaliseAngle(angle1);
  angle2 = NormaliseAngle(angle2);
  double s1, c1, s2, c2;
  SinCos(angle1, s1, c1);
  SinCos(angle2, s2, c2);
  const long long startX = Trunc(cx + r * s1), startY = Trunc(cy - r * c1);
  const long long endX = Trunc(cx + r * s2), endY = Trunc(cy - r * c2);

  ClipBox box = WholeSurface(view);
  if (angle1 < kAngleSlack && startX >= 0) box.left = startX;
  if (angle1 < kPi / 2.0 + kAngleSlack) {
    if (startY >= 0) box.top = startY;
  } else if (angle1 < kPi + kAngleSlack) {
    if (startX <= box.right) box.right = startX;
  } else if (angle1 < 3.0 * kPi / 2.0 + kAngleSlack) {
    if (startY <= box.bottom) box.bottom = startY;
  } else if (startX >= box.left) {
    box.left = startX;
  }

  // An end at a whole turn closes the top-left quarter: like an end at 0 it
  // bounds the right side (bounding the top instead would leave the arc
  // from 3pi/2 to 2pi free to run over the top-right quarter too).
  if (angle2 < kPi / 2.0 - kAngleSlack || angle2 >= 2.0 * kPi - kAngleSlack) {
    if (endX <= box.right) box.right = endX;
  } else if (angle2 < kPi - kAngleSlack) {
    if (endY <= box.bottom) box.bottom = endY;
  } else if (angle2 < 3.0 * kPi / 2.0 - kAngleSlack) {
    if (endX >= box.left) box.left = endX;
  } else if (endY >= box.top) {
    box.top = endY;
  }

  // Every narrowing above only moves an edge inwards, so the box stays
  // within the surface.
  DrawOutline(view, cx, cy, r, colour, weight, mode, antialias, box, true);
}

}  // namespace

void SurfaceCircle(PixelSurface* dest, float cx, float cy, float r, std::uint32_t colour, float weight,
                   SurfaceMode mode, bool antialias) {
  const PixelView view(dest);
  if (view.Empty() || !UsableCircle(cx, cy, r)) return;
  if (const surface_ops::CircleMask* mask = surface_ops::FindCircleMask(r)) {
    StampMask(view, *mask, cx, cy, colour, weight, mode, antialias);
    return;
  }
  FullCircle(view, cx, cy, r, colour, weight, mode, antialias);
}

void SurfaceArc(PixelSurface* dest, float cx, float cy, float r, float angle1, float angle2, std::uint32_t colour,
                float weight, SurfaceMode mode, bool antialias) {
  const PixelView view(dest);
  if (view.Empty() || !UsableCircle(cx, cy, r) || !std::isfinite(angle1) || !std::isfinite(angle2)) return;
  if (OffSurface(view, cx, cy, r)) return;
  double a1 = angle1;
  const double a2 = angle2;
  if (a2 - a1 >= 2.0 * kPi) {
    FullCircle(view, cx, cy, r, colour, weight, mode, antialias);
    return;
  }
  // Pieces of at most half a turn, split where the start reaches the next
  // multiple of pi, so the box construction of each piece holds.
  // The multiple is counted rather than recomputed from a1, so rounding of
  // q x pi cannot hold the loop on one value.
  for (double q = std::floor(a1 / kPi) + 1.0; a2 - a1 > kPi; q += 1.0) {
    const double m = q * kPi;
    if (m <= a1) continue;
    ArcPiece(view, cx, cy, r, a1, m, colour, weight, mode, antialias);
    a1 = m;
  }
  ArcPiece(view, cx, cy, r, a1, a2, colour, weight, mode, antialias);
}

}  // namespace sorvano
