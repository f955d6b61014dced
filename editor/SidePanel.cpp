#include "editor/SidePanel.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "editor/ColorMap.h"
#include "editor/EditorColors.h"
#include "editor/KnobPainter.h"
#include "editor/PluginLink.h"
#include "editor/SidePanelLayout.h"
#include "editor/ViewCommands.h"
#include "graphics/IEditorGraphics.h"
#include "graphics/PluginLockGate.h"

namespace sorvano {

namespace {

using namespace editor_colors;
using namespace side_panel;

constexpr int kTextSize = 13;

// Adds delta to value, keeping it within -limit..limit, and answers the
// change really made. The host thread may reset the value meanwhile (a state
// restore deleting every region); the exchange then retries from that.
double AddWithin(std::atomic<double>& value, double delta, double limit) {
  double current = value.load(std::memory_order_relaxed);
  double next = 0.0;
  do {
    next = std::clamp(current + delta, -limit, limit);
  } while (!value.compare_exchange_weak(current, next, std::memory_order_relaxed));
  return next - current;
}

float CentreX(const IRect& r) {
  return static_cast<float>(r.L + r.R) * 0.5f;
}
float CentreY(const IRect& r) {
  return static_cast<float>(r.T + r.B) * 0.5f;
}

}  // namespace

SidePanel::SidePanel(PluginLink* plugin, const IRect& rect, SidePanelCountdown::Now clock)
    : IEditorControl(plugin ? plugin->Effect() : nullptr, rect, -1),
      mPlugin(plugin),
      mCountdown(std::move(clock)) {
  mTextStyle.size = kTextSize;
  mTextStyle.color = kWhite;
  mTextStyle.align = ITextStyle::kCenter;
}

// ---- From the view and the plug-in.

// The view tells the panel about a loop while the view draws, and a host
// thread restoring a state or switching "reset" may call while the editor
// thread draws: a mark made during a draw pass is cleared at the end of that
// pass even though the panel (outside the pass's rectangle) was not drawn.
// One redraw more keeps it for the next tick. The redraw is asked for first:
// a pass ending between the two calls then turns it into the dirty mark.
void SidePanel::MarkChanged() {
  Redraw();
  SetDirty(false);
}

void SidePanel::ShowFollow(bool follow) {
  mFollowShown.store(follow, std::memory_order_relaxed);
  MarkChanged();
}

void SidePanel::ShowLoop(bool loop) {
  mLoopShown.store(loop, std::memory_order_relaxed);
  MarkChanged();
}

void SidePanel::ShowSelection(int selected, int count) {
  const Selection next{selected, count};
  if (mSelection.exchange(next, std::memory_order_relaxed) == next) return;
  if (count == 0) {
    mAllGainDb.store(0.0, std::memory_order_relaxed);
    mAllFade.store(0.0, std::memory_order_relaxed);
  }
  MarkChanged();
}

void SidePanel::SetResetCountdown(bool on) {
  if (mCountdown.Set(on)) MarkChanged();
}

// ---- Mouse.

void SidePanel::OnMouseDown(int x, int y, const IMouseState&) {
  mPressed = PressedArea::kNone;
  const bool regions = RegionCount() > 0;
  if (kPrevious.Contains(x, y) && regions) {
    SelectPrevious();
    mPressed = PressedArea::kPrevious;
  } else if (kNext.Contains(x, y) && regions) {
    SelectNext();
    mPressed = PressedArea::kNext;
  } else if (kDiscardBox.Contains(x, y)) {
    mPressed = PressedArea::kDiscard;
    mDiscardShown = !mDiscardShown;
    if (mView) mView->SetDropNeutral(mDiscardShown);
  } else if (kLoopText.Contains(x, y) && LoopShown()) {
    mPressed = PressedArea::kFitScreen;
    if (mView) mView->FitLoop();
  } else if (kFollowSwitch.Contains(x, y)) {
    mPressed = PressedArea::kFollow;
    const bool follow = !FollowShown();
    mFollowShown.store(follow, std::memory_order_relaxed);
    if (mView) mView->SetFollow(follow);
  } else if (kColorMapName.Contains(x, y)) {
    mPressed = PressedArea::kColorMap;
    CycleColorMap();
  } else if (kAllGainKnob.Contains(x, y) && regions) {
    mPressed = PressedArea::kAllGain;
  } else if (kAllFadeKnob.Contains(x, y) && regions) {
    mPressed = PressedArea::kAllFade;
    // Dragging the knob shows every fade extent until the release, even
    // when no movement over the knob came before the press.
    SetFadeHover(true);
  }
  SetDirty(false);
}

void SidePanel::OnMouseUp(int, int) {
  mPressed = PressedArea::kNone;
  SetFadeHover(false);
  SetDirty(false);
}

void SidePanel::OnMouseDrag(int, int, int, int dY, const IMouseState&) {
  if (dY == 0 || RegionCount() <= 0) return;
  if (mPressed == PressedArea::kAllGain) {
    ChangeAllGains(dY * kDragGainDbPerPixel);
  } else if (mPressed == PressedArea::kAllFade) {
    ChangeAllFades(dY * kDragFadePerPixel);
  }
}

void SidePanel::OnMouseDoubleClick(int x, int y, const IMouseState& mouse) {
  if (kPrevious.Contains(x, y) || kNext.Contains(x, y)) {
    OnMouseDown(x, y, mouse);
    return;
  }
  if (RegionCount() <= 0 || !mView) return;
  if (kAllGainKnob.Contains(x, y)) {
    const double sum = mAllGainDb.exchange(0.0, std::memory_order_relaxed);
    if (sum != 0.0) mView->ChangeAllGains(-sum);
    SetDirty(false);
  } else if (kAllFadeKnob.Contains(x, y)) {
    const double fade = mAllFade.exchange(kInitialAllFade, std::memory_order_relaxed);
    if (fade != 0.0) mView->ChangeAllFades(-fade);
    SetDirty(false);
  }
}

void SidePanel::OnMouseWheel(int x, int y, const IMouseState&, int d) {
  // A wheel event without a notch moves nothing.
  if (d == 0) return;
  const bool regions = RegionCount() > 0;
  if (kActiveNumber.Contains(x, y)) {
    if (!regions) return;
    if (d < 0) {
      SelectPrevious();
    } else {
      SelectNext();
    }
  } else if (kAllGainKnob.Contains(x, y)) {
    if (regions) ChangeAllGains(d * kWheelGainDbPerNotch);
  } else if (kAllFadeKnob.Contains(x, y)) {
    if (regions) ChangeAllFades(d * kWheelFadePerNotch);
  } else if (kColorMapName.Contains(x, y)) {
    CycleColorMap();
  }
}

void SidePanel::OnMouseOver(int x, int y, const IMouseState&) {
  if (mPressed == PressedArea::kAllFade) return;
  SetFadeHover(kAllFadeKnob.Contains(x, y));
}

void SidePanel::OnMouseOut() {
  mPressed = PressedArea::kNone;
  if (SetFadeHover(false)) SetDirty(false);
}

// ---- Actions.

void SidePanel::SelectPrevious() {
  const Selection s = mSelection.load(std::memory_order_relaxed);
  if (s.count <= 0 || !mView) return;
  const bool selected = s.active >= 0 && s.active < s.count;
  mView->SelectRegion(selected && s.active > 0 ? s.active - 1 : s.count - 1);
}

void SidePanel::SelectNext() {
  const Selection s = mSelection.load(std::memory_order_relaxed);
  if (s.count <= 0 || !mView) return;
  const bool selected = s.active >= 0 && s.active < s.count;
  mView->SelectRegion(selected ? (s.active + 1) % s.count : 0);
}

void SidePanel::CycleColorMap() {
  if (!mPlugin) return;
  {
    PluginLockGate gate(mPlugin->Effect(), GetGraphics());
    if (!gate.Held()) return;
    mPlugin->CycleColorMap();
  }
  SetDirty(false);
}

void SidePanel::ChangeAllGains(double dB) {
  if (!mView) return;
  const double applied = AddWithin(mAllGainDb, dB, kAllGainLimitDb);
  if (applied != 0.0) mView->ChangeAllGains(applied);
  SetDirty(false);
}

void SidePanel::ChangeAllFades(double delta) {
  if (!mView) return;
  const double applied = AddWithin(mAllFade, delta, kAllFadeLimit);
  if (applied != 0.0) mView->ChangeAllFades(applied);
  SetDirty(false);
}

bool SidePanel::SetFadeHover(bool hover) {
  if (hover == mFadeHover) return false;
  mFadeHover = hover;
  if (mView) mView->SetShowFades(hover);
  return true;
}

// ---- Drawing.

bool SidePanel::Draw(IEditorGraphics& graphics) {
  const SidePanelCountdown::Tick tick = mCountdown.Poll();
  if (tick.state == SidePanelCountdown::Tick::kExpired && mView) mView->ClearAll();
  // Read after the clearing, which shows no selection and no regions.
  const Selection selection = mSelection.load(std::memory_order_relaxed);
  if (tick.state == SidePanelCountdown::Tick::kCounting) {
    DrawCountdown(graphics, tick.elapsed);
    // Drawn again at the next tick, so the count goes on and ends on time.
    Redraw();
  } else {
    DrawSelection(graphics, selection);
  }
  DrawAlways(graphics, selection);
  return true;
}

void SidePanel::DrawCountdown(IEditorGraphics& graphics, int elapsed) {
  graphics.FillRect(kBlack, kCountdownBox, nullptr);
  const ITextStyle style = Style(kWhite, ITextStyle::kCenter);
  for (int i = 0; i < SidePanelCountdown::kSeconds; ++i) {
    const char digit[2] = {static_cast<char>('0' + SidePanelCountdown::kSeconds - i), '\0'};
    const int right = kCountdownFirstRight + kCountdownStep * i;
    graphics.DrawText(
        style, digit,
        IRect(right - kCountdownDigitWidth, kCountdownDigitTop, right, kCountdownDigitBottom));
  }
  graphics.DrawText(style, "all data", kCountdownAllData);
  graphics.DrawText(style, "will be deleted!", kCountdownWillBeDeleted);
  const int shift = kCountdownStep * elapsed;
  graphics.DrawRect(kWhite, IRect(kCountdownFirstFrame.L + shift, kCountdownFirstFrame.T,
                                  kCountdownFirstFrame.R + shift, kCountdownFirstFrame.B));
}

void SidePanel::DrawSelection(IEditorGraphics& graphics, const Selection& selection) {
  if (selection.active >= 0 && selection.active < selection.count) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", selection.active + 1);
    graphics.DrawText(Style(kWhite, ITextStyle::kCenter), number, kActiveNumber);
  }

  // Each arrow: two lines from its outer ends to the tip at the button's centre.
  const auto arrow = [&graphics](const IRect& button, int direction, bool pressed) {
    const float cx = CentreX(button);
    const float cy = CentreY(button);
    const float back = cx - static_cast<float>(direction * kArrowReach);
    const IColor color = pressed ? kRed : kWhite;
    graphics.DrawLine(color, back, cy - kArrowReach, cx, cy, nullptr, true);
    graphics.DrawLine(color, back, cy + kArrowReach, cx, cy, nullptr, true);
  };
  arrow(kPrevious, -1, IsPressed(PressedArea::kPrevious));
  arrow(kNext, 1, IsPressed(PressedArea::kNext));

  const int left = kDiscardBox.L + (kDiscardBox.W() - kCheckSize) / 2;
  const int top = kDiscardBox.T + (kDiscardBox.H() - kCheckSize) / 2;
  // DrawRect includes its right column and bottom row.
  const IRect square(left, top, left + kCheckSize - 1, top + kCheckSize - 1);
  if (mDiscardShown)
    graphics.FillRect(kGreen, IRect(square.L + 1, square.T + 1, square.R, square.B), nullptr);
  graphics.DrawRect(IsPressed(PressedArea::kDiscard) ? kRed : kWhite, square);
}

void SidePanel::DrawAlways(IEditorGraphics& graphics, const Selection& selection) {
  const bool regions = selection.count > 0;
  char count[16];
  std::snprintf(count, sizeof count, "%d", selection.count);
  graphics.DrawText(Style(kWhite, ITextStyle::kCenter), count, kRegionCount);

  const auto knobColor = [regions, this](PressedArea area) {
    if (IsPressed(area)) return kRed;
    return regions ? kWhite : kGrey;
  };
  KnobPainter::Draw(graphics, CentreX(kAllGainKnob), CentreY(kAllGainKnob),
                    KnobPainter::GainValue(AllGainDb()), knobColor(PressedArea::kAllGain));
  KnobPainter::Draw(graphics, CentreX(kAllFadeKnob), CentreY(kAllFadeKnob),
                    KnobPainter::FadeValue(AllFade()), knobColor(PressedArea::kAllFade));

  // "fit screen" stands beside the loop text only while a loop is shown,
  // when it can be clicked: beside the longer "no loop detected : " it would
  // not fit in the area and the two would run into each other.
  const bool loop = LoopShown();
  graphics.DrawText(Style(kGrey, ITextStyle::kLeft),
                    loop ? "loop detected : " : "no loop detected : ", kLoopText);
  if (loop) {
    const IColor fitColor = IsPressed(PressedArea::kFitScreen) ? kRed : kWhite;
    graphics.DrawText(Style(fitColor, ITextStyle::kRight), "fit screen", kLoopText);
  }

  const bool follow = FollowShown();
  const IColor active = IsPressed(PressedArea::kFollow) ? kRed : kWhite;
  graphics.DrawText(Style(follow ? active : kGrey, ITextStyle::kRight), "Y", kFollowYes);
  graphics.DrawText(Style(follow ? kGrey : active, ITextStyle::kRight), "N ", kFollowNo);

  const char* name = mPlugin ? ColorMap::Name(mPlugin->ColorMapIndex()) : nullptr;
  if (name) {
    graphics.DrawText(Style(IsPressed(PressedArea::kColorMap) ? kRed : kWhite, ITextStyle::kCenter),
                      name, kColorMapName);
  }
}

ITextStyle SidePanel::Style(const IColor& color, int align) const {
  ITextStyle style = mTextStyle;
  style.color = color;
  style.align = align;
  return style;
}

}  // namespace sorvano
