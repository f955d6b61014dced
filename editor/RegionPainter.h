#pragma once

// Draws the regions over the sonogram's panes: every region's outline and
// text in the main pane and its block in the overview, fade extents, and the
// selected region with its double outline, text box, ears with the "M", "S",
// "B", "X" buttons, gain and fade knobs, the green time and frequency markers
// beside the pane and its corner handles. Recomputes every region's screen
// rectangles from its region on the way, and answers the hit rectangles of
// the selected region's widgets (all empty without a visible selection).
//
// Editor thread, inside the view's draw (view lock held).

#include "editor/RegionList.h"
#include "editor/ViewModes.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

class IEditorGraphics;
class SonogramPane;

class RegionPainter {
public:
  struct Look {
    DragMode drag = DragMode::kNone;
    HoverCode hover = HoverCode::kNone;
    bool showFades = false;
    int sampleRate = 44100;
  };

  // hit carries the overview window's handles through unchanged.
  static ViewHitRects Draw(IEditorGraphics& graphics, RegionList& regions, const SonogramPane& main,
                           const SonogramPane& overview, const Look& look, const IImage& leftEar,
                           const IImage& rightEar, ViewHitRects hit);

  // The fade extent of a region in the main pane, clipped to it: its
  // rectangle widened by trunc(fade x width) on each side, and vertically
  // the rows of its frequencies widened by trunc(fade x (high - low)) Hz,
  // not below 0 Hz nor above half the rate. Empty when nothing shows.
  static IRect FadeExtent(const EditorMod& mod, const SonogramPane& main, int sampleRate);

  // The boxes of the selected region's green marker labels, for its marked
  // rectangle in the main pane: its start and end times in the strip above
  // the pane, its high and low frequencies right of it. The view keeps the
  // axis labels out of them.
  struct MarkerLabels {
    IRect start, end, high, low;
    // The time labels were moved apart; their ticks would stand under the
    // other label's text and are left out.
    bool timesSpread = false;
  };
  static MarkerLabels MarkerLabelsFor(const IRect& marked, const IRect& pane);
  // Whether Draw shows a selected region, and so its markers.
  static bool ShowsSelection(const RegionList& regions, const SonogramPane& main);
};

}  // namespace sorvano
