#include "editor/RegionGestures.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace sorvano {

namespace {

// Pointer deltas may come from far outside the window; sums are formed in
// 64 bits and every result lies near the pane, so it fits an int again.
int ToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max()));
}

// Shifts [lo, hi) to start no lower than floor and end no higher than ceil,
// the low side first.
void ShiftInto(int64_t& lo, int64_t& hi, int64_t floor, int64_t ceil) {
  if (lo < floor) {
    hi += floor - lo;
    lo = floor;
  }
  if (hi > ceil) {
    lo -= hi - ceil;
    hi = ceil;
  }
}

}  // namespace

PaneMapping::Corner RegionGestures::CornerOf(DragMode mode) {
  switch (mode) {
    case DragMode::kSelectionStart:
    case DragMode::kSelectionHigh:
    case DragMode::kSelectionTopLeft:
    case DragMode::kOverviewTopLeft:
      return PaneMapping::Corner::kTopLeft;
    case DragMode::kSelectionEnd:
    case DragMode::kSelectionLow:
    case DragMode::kSelectionBottomRight:
    case DragMode::kOverviewBottomRight:
      return PaneMapping::Corner::kBottomRight;
    default:
      return PaneMapping::Corner::kBoth;
  }
}

bool RegionGestures::MovesSelection(DragMode mode) {
  const int m = static_cast<int>(mode);
  return (m >= 1 && m <= 4) || (m >= 6 && m <= 8);
}

bool RegionGestures::MovesOverviewWindow(DragMode mode) {
  const int m = static_cast<int>(mode);
  return m >= 9 && m <= 11;
}

IRect RegionGestures::DragTopLeft(const IRect& rect, const IRect& pane, int dx, int dy) {
  const int64_t left = int64_t{rect.L} + dx;
  const int64_t top = int64_t{rect.T} + dy;
  IRect out = rect;
  out.L = left < pane.L ? pane.L : ToInt(std::min<int64_t>(left, int64_t{rect.R} - kMinWidth));
  out.T = top < pane.T ? pane.T : ToInt(std::min<int64_t>(top, int64_t{rect.B} - kMinHeight));
  return out;
}

IRect RegionGestures::DragBottomRight(const IRect& rect, const IRect& pane, int dx, int dy) {
  const int64_t right = int64_t{rect.R} + dx;
  const int64_t bottom = int64_t{rect.B} + dy;
  const int64_t minRight = int64_t{rect.L} + kMinWidth;
  const int64_t minBottom = int64_t{rect.T} + kMinHeight;
  IRect out = rect;
  out.R = ToInt(right < minRight ? minRight : std::min<int64_t>(right, pane.R));
  out.B = ToInt(bottom < minBottom ? minBottom : std::min<int64_t>(bottom, pane.B));
  return out;
}

IRect RegionGestures::Move(const IRect& rect, const IRect& pane, int dx, int dy, int margin) {
  int64_t l = int64_t{rect.L} + dx - margin;
  int64_t r = int64_t{rect.R} + dx + margin;
  int64_t t = int64_t{rect.T} + dy;
  int64_t b = int64_t{rect.B} + dy;
  ShiftInto(l, r, pane.L, pane.R);
  ShiftInto(t, b, pane.T, pane.B);
  return IRect(ToInt(l + margin), ToInt(t), ToInt(r - margin), ToInt(b));
}

IRect RegionGestures::Drag(DragMode mode, const IRect& rect, const IRect& pane, int dx, int dy) {
  const int margin = MovesSelection(mode) ? kMainMoveMargin : 0;
  switch (mode) {
    case DragMode::kSelectionStart:
      return DragTopLeft(rect, pane, dx, 0);
    case DragMode::kSelectionEnd:
      return DragBottomRight(rect, pane, dx, 0);
    case DragMode::kSelectionLow:
      return DragBottomRight(rect, pane, 0, dy);
    case DragMode::kSelectionHigh:
      return DragTopLeft(rect, pane, 0, dy);
    case DragMode::kMoveSelection:
    case DragMode::kMoveOverviewWindow:
      return Move(rect, pane, dx, dy, margin);
    case DragMode::kSelectionTopLeft:
    case DragMode::kOverviewTopLeft:
      return DragTopLeft(rect, pane, dx, dy);
    case DragMode::kSelectionBottomRight:
    case DragMode::kOverviewBottomRight:
      return DragBottomRight(rect, pane, dx, dy);
    default:
      return rect;
  }
}

int RegionGestures::HitTest(std::span<const EditorMod> mods, int skip, int x, int y) {
  int inside = -1;
  for (size_t i = 0; i < mods.size(); ++i) {
    if (static_cast<int>(i) == skip) continue;
    const IRect& r = mods[i].mMainRect;
    if (r.Empty()) continue;
    // The outline is drawn on columns L and R and lines T and B.
    const bool column = (x == r.L || x == r.R) && y >= r.T && y <= r.B;
    const bool line = (y == r.T || y == r.B) && x >= r.L && x <= r.R;
    if (column || line) return static_cast<int>(i);
    if (r.Contains(x, y)) inside = static_cast<int>(i);
  }
  return inside;
}

DragMode RegionGestures::EdgeMarkerAt(const IRect& pane, const IRect& selection, int x, int y) {
  if (selection.Empty()) return DragMode::kNone;
  const auto near = [](int a, int b, int reach) { return std::abs(int64_t{a} - b) < reach; };
  if (y < pane.T) {
    if (near(x, selection.L, kTimeMarkerReach)) return DragMode::kSelectionStart;
    if (near(x, selection.R, kTimeMarkerReach)) return DragMode::kSelectionEnd;
  }
  if (x >= pane.R) {
    if (near(y, selection.B, kFrequencyMarkerReach)) return DragMode::kSelectionLow;
    if (near(y, selection.T, kFrequencyMarkerReach)) return DragMode::kSelectionHigh;
  }
  return DragMode::kNone;
}

DragMode RegionGestures::StripAt(const IRect& pane, int x, int y) {
  if (y < pane.T && x >= pane.L && x < pane.R) return DragMode::kTimeStripPress;
  if (x >= pane.R && y >= pane.T && y < pane.B) return DragMode::kFrequencyZoom;
  return DragMode::kNone;
}

int64_t RegionGestures::CentredStart(const ModRegion& region, int64_t span) {
  const int64_t start = region.mStart;
  return std::max<int64_t>(0, start - (start + span - region.mEnd) / 2);
}

bool RegionGestures::Overlaps(const ModRegion& region, const PaneMapping& pane) {
  return region.mStart < pane.mViewEnd && region.mEnd > pane.mViewStart &&
         region.mLowRow < pane.mHighRow && region.mHighRow > pane.mLowRow;
}

}  // namespace sorvano
