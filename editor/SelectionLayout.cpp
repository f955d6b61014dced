#include "editor/SelectionLayout.h"

#include <algorithm>

namespace sorvano {

namespace {

// Widget columns for a region this low or lower are lifted and widened.
constexpr int kLowRegion = 60;
constexpr int kTextBoxWideFrom = 48;  // wider than 47 pixels: box inside
constexpr int kFadeTextWidth = 56;
constexpr int kFadeTextBoxWideFrom = kFadeTextWidth + 6;
constexpr int kColumnGap = 3;

// box, moved vertically off the two widget columns when it meets either,
// below them while that stays in the pane, else above them.
IRect ClearOfColumns(const IRect& box, const IRect& left, const IRect& right, const IRect& pane) {
  if (!box.Intersects(left) && !box.Intersects(right)) return box;
  const int top = std::min(left.T, right.T);
  const int bottom = std::max(left.B, right.B);
  const int below = bottom + kColumnGap - box.T;
  if (box.B + below <= pane.B) return IRect(box.L, box.T + below, box.R, box.B + below);
  const int above = top - kColumnGap - box.B;
  if (box.T + above >= pane.T) return IRect(box.L, box.T + above, box.R, box.B + above);
  return box;
}

}  // namespace

SelectionLayout SelectionLayout::For(const IRect& rect, const IRect& pane) {
  SelectionLayout s;
  const int L = rect.L, T = rect.T, R = rect.R, B = rect.B;
  int top = T, bottom = B, left = L, right = R;
  if (B - T <= kLowRegion) {
    top = T - 8;
    bottom = T + 53;
    left = L - 8;
    right = R + 8;
  }
  left = std::max(left, pane.L + 17);
  const int c = std::min(right, pane.R - 17);

  s.mLeftEar = IRect(left - 16, top, left + 1, top + kEarHeight);
  s.mMute = IRect(left - 15, top + 2, left, top + 15);
  s.mSolo = IRect(left - 15, top + 17, left, top + 30);
  s.mBypass = IRect(left - 15, top + 32, left, top + 45);
  s.mDelete = IRect(left - 15, top + 47, left, top + 61);
  s.mButtons = IRect(left - 17, top, left, top + kEarHeight);

  s.mRightEar = IRect(c, bottom - kEarHeight, c + kEarWidth, bottom);
  s.mGainX = c + 8;
  s.mGainY = bottom - 38;
  s.mFadeX = c + 8;
  s.mFadeY = bottom - 23;
  s.mGainHit = IRect(c, bottom - 61, c + 17, bottom - 30);
  s.mFadeHit = IRect(c, bottom - 30, c + 17, bottom);

  if (R - L >= kTextBoxWideFrom) {
    s.mTextBox = IRect(R - 48, B - 15, R - 5, B - 3);
  } else {
    const int cx = std::max((L + R) / 2, pane.L + 20);
    s.mTextBox = IRect(cx - 22, B + 5, cx + 22, B + 17);
  }
  if (R - L >= kFadeTextBoxWideFrom) {
    s.mFadeTextBox = IRect(R - 5 - kFadeTextWidth, B - 15, R - 5, B - 3);
  } else {
    // As far from the pane's left side as the narrow gain box.
    const int cx = std::max((L + R) / 2, pane.L + kFadeTextWidth / 2 - 2);
    s.mFadeTextBox = IRect(cx - kFadeTextWidth / 2, B + 5, cx + kFadeTextWidth / 2, B + 17);
  }
  s.mSelectedTextBox = ClearOfColumns(s.mTextBox, s.mLeftEar, s.mRightEar, pane);
  s.mSelectedFadeTextBox = ClearOfColumns(s.mFadeTextBox, s.mLeftEar, s.mRightEar, pane);

  s.mTopLeftHandle = IRect(L - 2, T - 2, L - 2 + kHandleSize, T - 2 + kHandleSize);
  s.mBottomRightHandle = IRect(R - 5, B - 5, R - 5 + kHandleSize, B - 5 + kHandleSize);
  s.mTopLeftHandleHit = IRect(L - 6, T - 9, L + 17, T + 10);
  s.mBottomRightHandleHit = IRect(R - 8, B - 8, R + 15, B + 11);
  return s;
}

DragMode SelectionLayout::ButtonAt(const IRect& column, int x, int y) {
  if (!column.Contains(x, y) || column.H() < 4) return DragMode::kNone;
  const int part = (y - column.T) / (column.H() / 4);
  switch (part) {
    case 0: return DragMode::kMuteButton;
    case 1: return DragMode::kSoloButton;
    case 2: return DragMode::kBypassButton;
    default: return DragMode::kDeleteButton;
  }
}

}  // namespace sorvano
