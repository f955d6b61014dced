#pragma once

// Where the selected region's widgets sit around its marked rectangle in the
// main pane, and the rectangles that catch the mouse on them: the ears with
// the "M", "S", "B", "X" buttons on the left and the gain and fade knobs on
// the right, the text box, the two corner handles. A region lower than 61
// pixels gets widget columns of 61 pixels from 8 above its top; the columns
// never come closer than 17 pixels to the pane's sides.
//
// Pure value type, any thread.

#include "editor/RegionGestures.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

struct SelectionLayout {
  static constexpr int kEarWidth = 17;
  static constexpr int kEarHeight = 61;
  static constexpr int kButtonPart = kEarHeight / 4;  // 15 pixels each for M, S, B
  static constexpr int kKnobRadius = 5;
  static constexpr int kHandleSize = 7;

  IRect mLeftEar;
  IRect mRightEar;
  IRect mMute, mSolo, mBypass, mDelete;  // the buttons as drawn
  IRect mButtons;                        // hit rectangle of the button column
  int mGainX = 0, mGainY = 0;            // knob centres
  int mFadeX = 0, mFadeY = 0;
  IRect mGainHit;
  IRect mFadeHit;
  IRect mTextBox;
  // The fade text ("fade 0.1x" is 48 pixels at the editor's text size) does
  // not fit the 43 pixels of the gain text's box: it gets a box of 56 pixels
  // with the same right edge, inside the rectangle when that is wide enough,
  // else below it like the narrow gain box.
  IRect mFadeTextBox;
  // The selected region's two text boxes: the boxes above, but moved 3
  // pixels below the widget columns (or above them, at the pane's bottom)
  // when the columns would cover them, as they cover the box of a new 12 x 12
  // region, which stands between them.
  IRect mSelectedTextBox;
  IRect mSelectedFadeTextBox;
  IRect mTopLeftHandle, mBottomRightHandle;        // 7 x 7, as drawn
  IRect mTopLeftHandleHit, mBottomRightHandleHit;  // what catches the mouse

  // The layout for a selection marked at rect in the main pane.
  static SelectionLayout For(const IRect& rect, const IRect& pane);

  // The button under (x, y) in a button column: its height cut from the top
  // into parts of a quarter of it (15 pixels) for mute, solo and bypass, the
  // rest delete. kNone outside the column.
  static DragMode ButtonAt(const IRect& column, int x, int y);
};

}  // namespace sorvano
