#pragma once

// The value-entry popup's model: which control and parameter asked, where
// the popup sits, the text being typed or the list being chosen from, and
// the entry state that the window host's tick advances:
//
//   0 kOpen      open without the keyboard focus (or no popup): the editor
//                redraws as usual; a redraw while open goes to kRefresh
//   1 kFocused   the popup has the focus: the editor handles no event but a
//                right press and does not redraw
//   2 kRefresh   next tick: the text shows the parameter's current display;
//                back to kOpen
//   3 kCancel    next tick: the popup closes without applying anything
//   4 kCommit    next tick: the text becomes the parameter's value
//                (SetValueFromUser on the control), then as kCancel
//
// A parameter with display texts gets a list, any other a one-line text box.
// X-free; editor thread.

#include <string>

#include "graphics/GraphicsTypes.h"

namespace sorvano {

class IEditorControl;
class IEffectParam;

enum class EntryState : int { kOpen = 0, kFocused = 1, kRefresh = 2, kCancel = 3, kCommit = 4 };

class EntryPopup {
public:
  // Most characters the text may hold (the popup reads at most this many).
  static constexpr int kMaxTextLength = 32;
  // The text box, centred on the control: 36 x 16 pixels.
  static constexpr int kBoxWidth = 36;
  static constexpr int kBoxHeight = 16;
  // A list of n texts is 36 * (n + 1) pixels high and at least 24 wide,
  // 8 pixels per character of its longest text plus 24.
  static constexpr int kListRowHeight = 36;
  static constexpr int kListMinWidth = 24;
  static constexpr int kListPixelsPerChar = 8;
  static constexpr int kFontSize = 14;

  // Both must be non-null. The text starts as the parameter's current display.
  EntryPopup(IEditorControl* control, IEffectParam* param);

  // Place of the popup in editor pixels.
  IRect Rect() const { return mRect; }
  bool IsList() const { return mItems > 0; }
  int ItemCount() const { return mItems; }
  // The list's text i (0-based), "" outside the list.
  const char* ItemText(int item) const;
  // The list entry equal to the current text, -1 for none.
  int Selected() const { return mSelected; }
  const std::string& Text() const { return mText; }

  EntryState State() const { return mState; }
  void SetState(EntryState state) { mState = state; }

  // Typing in the text box: printable characters up to kMaxTextLength. The
  // text shown first is selected, as in any entry box: the first character
  // typed replaces it, a backspace first deletes its last character.
  void Type(char c);
  void Backspace();
  // A list choice: its text becomes the text and the popup commits.
  void Choose(int item);
  // The text := the parameter's display of its current value.
  void Refresh();

  // The normalised value the text commits: for a list, the value of the
  // first display text equal to it (0 if none); otherwise the decimal number
  // at its start (0 if none); then normalised by the parameter.
  double CommitValue() const;
  // Gives CommitValue to the control (SetValueFromUser).
  void Commit() const;

private:
  IEditorControl* mControl;
  IEffectParam* mParam;
  IRect mRect;
  int mItems = 0;
  int mSelected = -1;
  std::string mText;
  bool mShownTextSelected = true;
  EntryState mState = EntryState::kOpen;
};

}  // namespace sorvano
