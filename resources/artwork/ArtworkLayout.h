#pragma once

// Where the editor's controls draw on top of the background, in editor
// pixels (left, top, right, bottom; right and bottom exclusive). The artwork
// keeps these areas plain and places the captions beside them; the resources
// test checks that no caption or box strays into them.

#include <array>

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

// The side panel and the areas it draws values into.
constexpr IRect kPanelRect(24, 450, 370, 515);
constexpr IRect kActiveRegionNumber(75, 479, 95, 489);
constexpr IRect kPreviousButton(49, 473, 69, 491);
constexpr IRect kNextButton(99, 473, 119, 491);
constexpr IRect kDiscardBox(30, 498, 41, 509);
// The middle line of the 7 x 7 check square centred in that box.
constexpr int kDiscardCheckMiddle = 503;
constexpr IRect kRegionCount(197, 456, 209, 468);
constexpr IRect kAllGainKnob(196, 476, 208, 488);
constexpr IRect kAllFadeKnob(196, 495, 208, 507);
constexpr IRect kLoopText(228, 455, 360, 467);
constexpr IRect kFollowSwitch(312, 476, 346, 488);
constexpr IRect kColorMapName(282, 497, 334, 509);
// The black box of the reset countdown.
constexpr IRect kCountdownBox(30, 457, 137, 510);

// The stock controls right of the panel.
constexpr IRect kBrightnessKnob(388, 480, 415, 507);
constexpr IRect kResetButton(430, 481, 457, 508);
constexpr IRect kLinkArea(460, 460, 630, 510);

// Areas the panel fills with its values, which must stay plain.
constexpr std::array<IRect, 10> kPanelValueAreas = {
    kActiveRegionNumber, kPreviousButton, kNextButton, kDiscardBox,   kRegionCount,
    kAllGainKnob,        kAllFadeKnob,    kLoopText,   kFollowSwitch, kColorMapName};

// The ear columns: 17 x 61, the left one standing with its last column on the
// selected region's left edge, the right one with its first column just right
// of the region.
constexpr int kEarWidth = 17;
constexpr int kEarHeight = 61;
// The button image: 27 x 27 per frame, released above pressed.
constexpr int kButtonSize = 27;

}  // namespace sorvano::artwork
