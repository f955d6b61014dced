#pragma once

// The sonogram view's input state: what a drag is doing, what the pointer
// rests on, and the rectangles it is tested against. The numbers are the
// ones the view's input rules are written in. Plain values, editor thread,
// view lock held.

#include "graphics/GraphicsTypes.h"

namespace sorvano {

enum class DragMode : int {
  kNone = 0,
  kSelectionStart = 1,
  kSelectionEnd = 2,
  kSelectionLow = 3,
  kSelectionHigh = 4,
  kCreated = 5,
  kMoveSelection = 6,
  kSelectionTopLeft = 7,
  kSelectionBottomRight = 8,
  kMoveOverviewWindow = 9,
  kOverviewTopLeft = 10,
  kOverviewBottomRight = 11,
  kTimeStripPress = 12,
  kTimeStripScroll = 13,
  kFrequencyZoom = 14,
  kMuteButton = 15,
  kSoloButton = 16,
  kBypassButton = 17,
  kDeleteButton = 18,
  kGainKnob = 19,
  kFadeKnob = 20,
};

enum class HoverCode : int {
  kNone = 0,
  kSelectionTopLeft = 7,
  kSelectionBottomRight = 8,
  kOverviewTopLeft = 10,
  kOverviewBottomRight = 11,
  kMuteButton = 15,
  kSoloButton = 16,
  kBypassButton = 17,
  kDeleteButton = 18,
  kGainKnob = 19,
  kFadeKnob = 20,
};

// The seven rectangles the pointer is tested against, all empty at start.
// The overview handles are stored by every draw; the others belong to the
// selected region's widgets.
struct ViewHitRects {
  IRect selectionTopLeft;
  IRect selectionBottomRight;
  IRect regionButtons;
  IRect gainKnob;
  IRect fadeKnob;
  IRect overviewTopLeft;
  IRect overviewBottomRight;
};

}  // namespace sorvano
