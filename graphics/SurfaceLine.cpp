// SurfaceLine: outcode clipping, then one of three shapes (straight,
// diagonal, general), each plain or antialiased. Pixels go through
// PixelView::Plot, which ignores points outside the surface: the clipped end
// points are inside and every shape stays within their bounding box, so the
// check is a second line of defence, cheap next to the per-pixel arithmetic.

#include <cmath>
#include <cstdlib>

#include "graphics/Surface.h"
#include "graphics/SurfacePixelOps.h"

namespace sorvano {

using surface_ops::CombineKind;
using surface_ops::PixelOp;
using surface_ops::PixelView;

namespace {

enum Outcode : int { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

int OutcodeOf(long long x, long long y, int width, int height) {
  int code = 0;
  if (x < 0) code |= kLeft;
  if (x >= width) code |= kRight;
  if (y < 0) code |= kAbove;
  if (y >= height) code |= kBelow;
  return code;
}

// Quotient truncated towards zero, as the clipping formulas take it.
long long TruncatedQuotient(double numerator, double denominator) {
  return static_cast<long long>(numerator / denominator);
}

// Shortens the segment to the surface. The moved end point lands on the
// border row or column; its other coordinate comes from the line through the
// current end points, measured (as the editor always has) to the row or
// column just beyond the border, so it may still be outside and is clipped
// again on the next pass. That intersection lies between the two end points
// (the moved point is beyond the border, the other is not), so the new
// coordinate stays within the 64-bit range of the old ones. Answers false if
// nothing is visible.
bool ClipSegment(long long& x1, long long& y1, long long& x2, long long& y2, int width, int height) {
  int code1 = OutcodeOf(x1, y1, width, height);
  int code2 = OutcodeOf(x2, y2, width, height);
  // Each pass clears a bit of one end point's code for good (a bit it gains
  // is one the other end point has, which ends the loop), so four passes
  // suffice; the bound is only a guard.
  for (int pass = 0; pass < 16; ++pass) {
    if ((code1 | code2) == 0) return true;
    if ((code1 & code2) != 0) return false;
    const bool moveFirst = code1 != 0;
    const int code = moveFirst ? code1 : code2;
    // The moved end point has a bit that the other lacks, so the difference
    // divided by below is never 0.
    const double dx = static_cast<double>(x2 - x1);
    const double dy = static_cast<double>(y2 - y1);
    long long x, y;
    if (code & kBelow) {
      y = height - 1;
      x = x1 + TruncatedQuotient(dx * static_cast<double>(height - y1), dy);
    } else if (code & kAbove) {
      y = 0;
      x = x1 - TruncatedQuotient(dx * static_cast<double>(y1), dy);
    } else if (code & kRight) {
      x = width - 1;
      y = y1 + TruncatedQuotient(dy * static_cast<double>(width - x1), dx);
    } else {
      x = 0;
      y = y1 - TruncatedQuotient(dy * static_cast<double>(x1), dx);
    }
    if (moveFirst) {
      x1 = x;
      y1 = y;
      code1 = OutcodeOf(x1, y1, width, height);
    } else {
      x2 = x;
      y2 = y;
      code2 = OutcodeOf(x2, y2, width, height);
    }
  }
  return false;
}

void DrawStraight(const PixelView& view, int x1, int y1, int x2, int y2, const PixelOp& op) {
  const int sx = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
  const int sy = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
  const int n = std::abs(x2 - x1) + std::abs(y2 - y1);
  for (int i = 0; i <= n; ++i) view.Plot(x1 + i * sx, y1 + i * sy, op);
}

void DrawDiagonal(const PixelView& view, int x1, int y1, int x2, int y2, const PixelOp& op, bool antialias) {
  const int sx = x2 > x1 ? 1 : -1;
  const int sy = y2 > y1 ? 1 : -1;
  const int n = std::abs(x2 - x1);
  if (!antialias) {
    for (int i = 0; i <= n; ++i) view.Plot(x1 + i * sx, y1 + i * sy, op);
    return;
  }
  PixelOp onLine = op;
  onLine.e = op.e * 3 / 4;
  PixelOp beside = op;
  beside.e = op.e / 4;
  for (int i = 0; i < n; ++i) {
    const int x = x1 + i * sx;
    const int y = y1 + i * sy;
    view.Plot(x, y, onLine);
    view.Plot(x + sx, y, beside);
    view.Plot(x, y + sy, beside);
  }
  view.Plot(x2, y2, onLine);
}

void DrawGeneral(const PixelView& view, int x1, int y1, int x2, int y2, const PixelOp& op, bool antialias) {
  const int adx = std::abs(x2 - x1);
  const int ady = std::abs(y2 - y1);
  const bool xMajor = adx >= ady;
  const int n = xMajor ? adx : ady;
  const double u = static_cast<double>(xMajor ? ady : adx) / n;
  // Steps along the major and the minor axis.
  const int majorX = xMajor ? (x2 > x1 ? 1 : -1) : 0;
  const int majorY = xMajor ? 0 : (y2 > y1 ? 1 : -1);
  const int minorX = xMajor ? 0 : (x2 > x1 ? 1 : -1);
  const int minorY = xMajor ? (y2 > y1 ? 1 : -1) : 0;

  int x = x1, y = y1;
  if (!antialias) {
    double accumulator = 0.0;
    for (int i = 0; i <= n; ++i) {
      view.Plot(x, y, op);
      accumulator += u;
      if (accumulator > 0.5) {
        x += minorX;
        y += minorY;
        accumulator -= 1.0;
      }
      x += majorX;
      y += majorY;
    }
    return;
  }

  view.Plot(x, y, op);
  double v = u;
  for (int i = 1; i < n; ++i) {
    x += majorX;
    y += majorY;
    // nearbyint rounds ties to even in the default rounding mode.
    const int a = static_cast<int>(std::nearbyint(v * 256.0));
    PixelOp onLine = op;
    onLine.e = (256 - a) * op.e / 256;
    PixelOp beside = op;
    beside.e = op.e * a / 256;
    view.Plot(x, y, onLine);
    view.Plot(x + minorX, y + minorY, beside);
    v += u;
    if (v > 1.0) {
      x += minorX;
      y += minorY;
      v -= 1.0;
    }
  }
  // The end point itself at full weight, like the start. (Stepping on would
  // leave the fraction at exactly 1 one row short of the end, where the
  // end's weight would be 0.)
  view.Plot(x2, y2, op);
}

}  // namespace

void SurfaceLine(PixelSurface* dest, int x1, int y1, int x2, int y2, std::uint32_t colour, float weight,
                 SurfaceMode mode, bool antialias) {
  const PixelView view(dest);
  if (view.Empty()) return;
  long long cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
  if (!ClipSegment(cx1, cy1, cx2, cy2, view.width, view.height)) return;
  if (weight == 0.0f) return;

  // Inside the surface now, so the differences below fit an int.
  const int ax = static_cast<int>(cx1), ay = static_cast<int>(cy1);
  const int bx = static_cast<int>(cx2), by = static_cast<int>(cy2);
  const CombineKind kind = surface_ops::KindOf(mode);
  const PixelOp blended = PixelOp::Combiner(kind, colour, surface_ops::WeightToE(weight, 256));
  const PixelOp plain = kind == CombineKind::kCopy ? surface_ops::PlainCopyOp(colour, weight, 256) : blended;

  if (ax == bx || ay == by) {
    DrawStraight(view, ax, ay, bx, by, plain);
  } else if (std::abs(bx - ax) == std::abs(by - ay)) {
    DrawDiagonal(view, ax, ay, bx, by, antialias ? blended : plain, antialias);
  } else {
    DrawGeneral(view, ax, ay, bx, by, antialias ? blended : plain, antialias);
  }
}

}  // namespace sorvano
