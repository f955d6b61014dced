#pragma once

// Where the editor's controls draw on top of the background, in editor
// pixels (left, top, right, bottom; right and bottom exclusive); the side
// panel's areas are its own (editor/SidePanelLayout.h). The artwork keeps
// these areas plain and places the captions beside them; the resources test
// checks that no caption or box strays into them.

#include <array>

#include "editor/SidePanelLayout.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano::artwork {

constexpr int kEditorWidth = 640;
constexpr int kEditorHeight = 540;

// The sonogram view's control rectangle, and its two panes.
constexpr IRect kViewRect(24, 24, 616, 445);
constexpr IRect kMainPane(30, 40, 576, 353);
constexpr IRect kOverviewPane(30, 362, 605, 429);
// The black area behind the view. It reaches four lines below the view's
// rectangle: the overview's time labels, drawn from 8 pixels below that pane
// in 13-pixel text, end on line 447, and one black line keeps them off the
// frame.
constexpr IRect kSonogramArea(24, 24, 616, 449);
// The "Hz" caption: above the frequency labels, right of the main pane's time
// labels, on their baseline.
constexpr IRect kHzCaption(577, 28, 614, 40);

// The stock controls right of the panel.
constexpr IRect kBrightnessKnob(388, 480, 415, 507);
constexpr IRect kResetButton(430, 481, 457, 508);
constexpr IRect kLinkArea(460, 460, 630, 510);

// Areas the side panel fills with its values (editor/SidePanelLayout.h),
// which must stay plain.
constexpr std::array<IRect, 10> kPanelValueAreas = {
    side_panel::kActiveNumber, side_panel::kPrevious,    side_panel::kNext,
    side_panel::kDiscardBox,   side_panel::kRegionCount, side_panel::kAllGainKnob,
    side_panel::kAllFadeKnob,  side_panel::kLoopText,    side_panel::kFollowSwitch,
    side_panel::kColorMapName};
// The middle line of the check square that the panel centres in its discard
// box.
constexpr int kDiscardCheckMiddle = side_panel::kDiscardBox.T +
                                    (side_panel::kDiscardBox.H() - side_panel::kCheckSize) / 2 +
                                    side_panel::kCheckSize / 2;

// The ear columns: 17 x 61, the left one standing with its last column on the
// selected region's left edge, the right one with its first column just right
// of the region.
constexpr int kEarWidth = 17;
constexpr int kEarHeight = 61;
// The button image: 27 x 27 per frame, released above pressed.
constexpr int kButtonSize = 27;

}  // namespace sorvano::artwork
