#include "graphics/platform/EntryPopup.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "framework/IEffectParam.h"
#include "graphics/IEditorControl.h"

namespace sorvano {

namespace {
constexpr std::size_t kDisplayCapacity = EntryPopup::kMaxTextLength + 1;

// The decimal number at the start of text, after blanks and an optional
// sign, in the C locale whatever the host set; 0 when there is none.
double LeadingNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return 0.0;
  if (text[i] == '+') ++i;
  double value = 0.0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
  // "inf" and "nan" parse too, but are no value a parameter can take.
  return result.ec == std::errc() && std::isfinite(value) ? value : 0.0;
}
}  // namespace

EntryPopup::EntryPopup(IEditorControl* control, IEffectParam* param) : mControl(control), mParam(param) {
  const IRect c = control->GetRect();
  const int cx = static_cast<int>((c.L + c.R) * 0.5);
  const int cy = static_cast<int>((c.T + c.B) * 0.5);
  Refresh();
  mItems = param->DisplayTextCount();
  if (mItems > 0) {
    int width = kListMinWidth;
    for (int i = 0; i < mItems; ++i) {
      const int length = static_cast<int>(std::strlen(param->DisplayTextAt(i)));
      width = std::max(width, kListPixelsPerChar * length + kListMinWidth);
      if (mSelected < 0 && mText == param->DisplayTextAt(i)) mSelected = i;
    }
    const int x = cx - width / 2;
    mRect = IRect(x, cy, x + width, cy + kListRowHeight * (mItems + 1));
  } else {
    mRect = IRect(cx - kBoxWidth / 2, cy - kBoxHeight / 2, cx + kBoxWidth / 2, cy + kBoxHeight / 2);
  }
}

const char* EntryPopup::ItemText(int item) const { return mParam->DisplayTextAt(item); }

void EntryPopup::Type(char c) {
  if (IsList() || c < ' ' || c > '~') return;
  if (mShownTextSelected) mText.clear();
  mShownTextSelected = false;
  if (static_cast<int>(mText.size()) < kMaxTextLength) mText.push_back(c);
}

void EntryPopup::Backspace() {
  if (IsList()) return;
  mShownTextSelected = false;
  if (!mText.empty()) mText.pop_back();
}

void EntryPopup::Choose(int item) {
  if (item < 0 || item >= mItems) return;
  mSelected = item;
  mText = ItemText(item);
  mState = EntryState::kCommit;
}

void EntryPopup::Refresh() {
  char text[kDisplayCapacity] = {};
  mParam->FormatValue(text, sizeof text);
  mText = text;
  mShownTextSelected = true;
}

double EntryPopup::CommitValue() const {
  const std::string text = mText.substr(0, kMaxTextLength);
  double value = 0.0;
  if (IsList()) {
    int found = 0;
    if (mParam->FindValueForText(text.c_str(), &found)) value = found;
  } else {
    value = LeadingNumber(text);
  }
  return mParam->GetNormalized(value);
}

void EntryPopup::Commit() const { mControl->SetValueFromUser(CommitValue()); }

}  // namespace sorvano
