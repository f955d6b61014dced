#pragma once

// The pure geometry of the sonogram view's gestures (drag modes of
// editor/ViewModes.h): how each drag mode moves a rectangle inside a pane,
// which region a point hits, where the time strip and frequency strip beside
// the main pane react.
//
// Pure functions, any thread.

#include <cstdint>
#include <span>

#include "editor/EditorMod.h"
#include "editor/PaneMapping.h"
#include "editor/ViewModes.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

struct RegionGestures {
  // Smallest width a dragged corner leaves, and smallest height.
  static constexpr int kMinWidth = 12;
  static constexpr int kMinHeight = 3;
  // Size of a moved rectangle's floor on each axis.
  static constexpr int kMoveMinSize = 12;
  // Distance kept from the main pane's sides when moving a region, so that
  // its buttons and knobs stay inside.
  static constexpr int kMainMoveMargin = 17;
  // Side of the rectangle a press in the empty pane marks.
  static constexpr int kNewRegionSize = 12;
  // How near the edge markers a press in the strips must be.
  static constexpr int kTimeMarkerReach = 30;
  static constexpr int kFrequencyMarkerReach = 9;

  // The corners the drag mode moves, and which a rectangle-to-region
  // conversion then takes. Modes that move no rectangle answer kBoth.
  static PaneMapping::Corner CornerOf(DragMode mode);
  // Whether the mode moves the main pane's selection (then copied into the
  // selected region), or the overview window.
  static bool MovesSelection(DragMode mode);
  static bool MovesOverviewWindow(DragMode mode);

  // The first drag step decides what a newly created region's drag does.
  static DragMode AfterNewRegion(int dx, int dy) {
    return dx > 0 || dy > 0 ? DragMode::kSelectionBottomRight : DragMode::kSelectionTopLeft;
  }

  // The top-left corner moved by (dx, dy): not out of the pane's left or top,
  // and not closer than 12 pixels to the right edge or 3 to the bottom.
  static IRect DragTopLeft(const IRect& rect, const IRect& pane, int dx, int dy);
  // The bottom-right corner: not out of the pane's right or bottom, and at
  // least 12 pixels right of the left edge and 3 below the top.
  static IRect DragBottomRight(const IRect& rect, const IRect& pane, int dx, int dy);
  // The whole rectangle moved, keeping margin pixels from the pane's sides:
  // moved by (dx, dy), widened by the margin, shifted to lie in the pane (one
  // left of or above it to its edge, one beyond its right or bottom back so
  // that its last column or line is the pane's last), the margin taken off
  // again. The size is kept however far the pointer went.
  static IRect Move(const IRect& rect, const IRect& pane, int dx, int dy, int margin);
  // The rectangle a drag step of mode gives (modes 1-4 and 6-11; anything
  // else answers rect). The selection modes move on the main pane with the
  // side margin, the overview modes on the overview pane without.
  static IRect Drag(DragMode mode, const IRect& rect, const IRect& pane, int dx, int dy);

  // The region under (x, y), skipping the one at skip: the first in list
  // order whose outline passes through the point, else the last whose
  // rectangle contains it; -1 for none.
  static int HitTest(std::span<const EditorMod> mods, int skip, int x, int y);

  // Where the selection's edge markers beside the main pane catch a press:
  // above the pane within 30 pixels of the selection's left or right edge
  // (start, end), right of it within 9 pixels of its bottom or top edge (low,
  // high); kNone elsewhere.
  static DragMode EdgeMarkerAt(const IRect& pane, const IRect& selection, int x, int y);
  // The strips themselves: above the pane between its sides (time strip),
  // right of it between its top and bottom (frequency strip).
  static DragMode StripAt(const IRect& pane, int x, int y);

  // The start of a time range of the main pane's span that centres the
  // region in time: max(0, start - (start + span - end) / 2).
  static int64_t CentredStart(const ModRegion& region, int64_t span);
  // Whether a region shows in the pane's window, in both time and rows.
  static bool Overlaps(const ModRegion& region, const PaneMapping& pane);
};

}  // namespace sorvano
