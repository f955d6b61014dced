#pragma once

// Where the side panel's values sit in the editor, in editor pixels (left,
// top, right, bottom; right and bottom exclusive). The editor's background
// picture prints the captions beside these areas; the panel draws only the
// values. Constants only, usable from any thread.

#include "graphics/GraphicsTypes.h"

namespace sorvano::side_panel {

inline constexpr IRect kPanel{24, 450, 370, 515};
inline constexpr IRect kActiveNumber{75, 479, 95, 489};
inline constexpr IRect kPrevious{49, 473, 69, 491};
inline constexpr IRect kNext{99, 473, 119, 491};
inline constexpr IRect kDiscardBox{30, 498, 41, 509};
inline constexpr IRect kRegionCount{197, 456, 209, 468};
inline constexpr IRect kAllGainKnob{196, 476, 208, 488};
inline constexpr IRect kAllFadeKnob{196, 495, 208, 507};
inline constexpr IRect kLoopText{228, 455, 360, 467};
inline constexpr IRect kFollowSwitch{312, 476, 346, 488};
// "Y" and "N " are each right-aligned in one half of the follow switch, so
// the two letters stand side by side.
inline constexpr IRect kFollowYes{312, 476, 329, 488};
inline constexpr IRect kFollowNo{329, 476, 346, 488};
inline constexpr IRect kColorMapName{282, 497, 334, 509};

// The reset countdown covers the left part of the panel with a black box and
// counts "5" to "1" in a row of 5-pixel cells whose right edges are 16 pixels
// apart; the current second's cell is framed. Texts stand from the top of
// their rectangles in cells of 13 pixels, so the digits start 1 pixel inside
// the frame's top (their ink then sits in its middle, clear of its lines) and
// the two lines below are 13 pixels apart.
inline constexpr IRect kCountdownBox{30, 457, 137, 510};
inline constexpr int kCountdownFirstRight = 53;
inline constexpr int kCountdownStep = 16;
inline constexpr int kCountdownDigitWidth = 5;
inline constexpr int kCountdownDigitTop = 462;
inline constexpr int kCountdownDigitBottom = 472;
inline constexpr IRect kCountdownFirstFrame{43, 461, 57, 475};
inline constexpr IRect kCountdownAllData{41, 481, 123, 494};
inline constexpr IRect kCountdownWillBeDeleted{41, 494, 123, 507};

// The discard box's check square: 7 x 7 pixels centred in its area.
inline constexpr int kCheckSize = 7;
// Each arrow's two lines run from the button's centre to points this far
// from it horizontally and vertically.
inline constexpr int kArrowReach = 4;

}  // namespace sorvano::side_panel
