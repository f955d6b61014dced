// The sonogram view's region editing: mouse gestures and the region
// commands of the side panel. See SorvanoControl.h for the locks: a gesture
// that changes regions holds the gate (plug-in lock) and then the view's lock
// while it changes both region lists; the main pane re-renders for a new
// range afterwards, with the gate released.

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "editor/DisplayRows.h"
#include "editor/PanelLink.h"
#include "editor/PluginLink.h"
#include "editor/RegionGestures.h"
#include "editor/SelectionLayout.h"
#include "editor/SorvanoControl.h"
#include "framework/IEffectBase.h"
#include "graphics/PluginLockGate.h"

namespace sorvano {

namespace {

constexpr double kGainPressDb = 0.1;
constexpr double kGainDragDb = -0.1;   // per pixel, upwards raises
constexpr double kFadeDragStep = -0.01;
constexpr int kTopHz = 22000;
constexpr int kZoomLowestTopHz = 175;
constexpr int kZoomHighestBottomHz = 9000;
constexpr int32_t kWheelMinSpan = 9216;
constexpr int kWheelNarrowWindow = 3;

int32_t Saturate(int64_t v) { return PlaybackTracker::Saturate(v); }

// trunc(pixels / pixelsPerUnit) in 64 bits, limited to the int32 range, for
// pointer deltas from far outside the window.
int64_t UnitsOf(int64_t pixels, double pixelsPerUnit) {
  if (!(pixelsPerUnit > 0.0) || !std::isfinite(pixelsPerUnit)) return 0;
  const double units = std::trunc(static_cast<double>(pixels) / pixelsPerUnit);
  return static_cast<int64_t>(std::clamp(units, -2147483648.0, 2147483647.0));
}

}  // namespace

// ---- ViewCommands

void SorvanoControl::SelectRegion(int idx) {
  PendingRange pending;
  {
    const PluginLockGate gate(GetPlug(), GetGraphics());
    if (!gate.Held()) return;
    std::lock_guard lock(mLock);
    SelectAndShow(idx, pending);
    SetDirty(false);
  }
  ApplyPending(pending);
}

void SorvanoControl::ChangeAllGains(double dB) {
  const PluginLockGate gate(GetPlug(), GetGraphics());
  if (!gate.Held()) return;
  std::lock_guard lock(mLock);
  mRegions.ChangeAllGains(dB);
  SetDirty(false);
}

void SorvanoControl::ChangeAllFades(double delta) {
  const PluginLockGate gate(GetPlug(), GetGraphics());
  if (!gate.Held()) return;
  std::lock_guard lock(mLock);
  mRegions.ChangeAllFades(delta);
  SetDirty(false);
}

void SorvanoControl::SetDropNeutral(bool drop) {
  const PluginLockGate gate(GetPlug(), GetGraphics());
  if (!gate.Held()) return;
  std::lock_guard lock(mLock);
  mRegions.SetDropNeutral(drop);
  SetDirty(false);
}

SorvanoControl::RegionSnapshot SorvanoControl::InspectRegions() {
  std::lock_guard lock(mLock);
  return RegionSnapshot{{mRegions.Mods().begin(), mRegions.Mods().end()},
                        mRegions.Selected(),
                        mDragMode,
                        mHover,
                        mMain.MarkedRect(),
                        mHitRects};
}

// ---- Mouse

void SorvanoControl::OnMouseDown(int x, int y, const IMouseState& mouse) {
  bool edits = false;
  {
    std::lock_guard lock(mLock);
    edits = EditsRegions(x, y, mouse);
    // Room for a new region or a duplicate, allocated before the gate.
    if (edits) mRegions.Reserve(mRegions.Count() + 1);
  }
  PendingRange pending;
  {
    std::optional<PluginLockGate> gate;
    if (edits && !gate.emplace(GetPlug(), GetGraphics()).Held()) return;
    std::lock_guard lock(mLock);
    Press(x, y, mouse, pending);
    SwitchFollowOff();
    mHover = HoverCode::kNone;
    SetDirty(false);
  }
  ApplyPending(pending);
}

bool SorvanoControl::EditsRegions(int x, int y, const IMouseState& mouse) const {
  if (mouse.R || mouse.C) return true;
  const ViewHitRects& h = mHitRects;
  for (const IRect* r : {&h.selectionTopLeft, &h.selectionBottomRight, &h.regionButtons, &h.gainKnob, &h.fadeKnob}) {
    if (r->Contains(x, y)) return true;
  }
  if (h.overviewTopLeft.Contains(x, y) || h.overviewBottomRight.Contains(x, y) ||
      mOverview.MarkedRect().Contains(x, y)) {
    return false;
  }
  // A region or the pane: a selection or a new region; the strips beside
  // the pane only move the view.
  return mMain.Rect().Contains(x, y) || RegionGestures::HitTest(mRegions.Mods(), mRegions.Selected(), x, y) >= 0;
}

void SorvanoControl::Press(int x, int y, const IMouseState& mouse, PendingRange& pending) {
  const int selected = mRegions.Selected();
  const IRect& marked = mMain.MarkedRect();

  if (mouse.R) {
    mRegions.DropSelectedIfNeutral();
    return;
  }
  if (mouse.C) {
    const int i = selected >= 0 && marked.Contains(x, y)
                      ? selected
                      : RegionGestures::HitTest(mRegions.Mods(), selected, x, y);
    if (i >= 0) {
      Duplicate(i, pending);
      mDragMode = DragMode::kMoveSelection;
    } else {
      mDragMode = DragMode::kNone;
    }
    return;
  }

  const ViewHitRects& h = mHitRects;
  if (h.selectionTopLeft.Contains(x, y)) {
    mDragMode = DragMode::kSelectionTopLeft;
    return;
  }
  if (h.selectionBottomRight.Contains(x, y)) {
    mDragMode = DragMode::kSelectionBottomRight;
    return;
  }
  if (h.regionButtons.Contains(x, y)) {
    mDragMode = SelectionLayout::ButtonAt(h.regionButtons, x, y);
    switch (mDragMode) {
      case DragMode::kMuteButton: mRegions.ToggleMute(selected); break;
      case DragMode::kSoloButton: mRegions.ToggleSolo(selected); break;
      case DragMode::kBypassButton: mRegions.ToggleBypass(selected); break;
      default: mRegions.Delete(selected); break;
    }
    return;
  }
  if (h.fadeKnob.Contains(x, y)) {
    mDragMode = DragMode::kFadeKnob;
    return;
  }
  if (h.gainKnob.Contains(x, y)) {
    mDragMode = DragMode::kGainKnob;
    mGainPressStep = y - h.gainKnob.T < h.gainKnob.H() / 2 ? kGainPressDb : -kGainPressDb;
    mRegions.ChangeGain(selected, mGainPressStep);
    return;
  }
  if (h.overviewTopLeft.Contains(x, y)) {
    mDragMode = DragMode::kOverviewTopLeft;
    return;
  }
  if (h.overviewBottomRight.Contains(x, y)) {
    mDragMode = DragMode::kOverviewBottomRight;
    return;
  }
  if (mOverview.MarkedRect().Contains(x, y)) {
    mDragMode = DragMode::kMoveOverviewWindow;
    return;
  }
  if (const int hit = RegionGestures::HitTest(mRegions.Mods(), selected, x, y); hit >= 0) {
    SelectAndShow(hit, pending);
    mDragMode = DragMode::kMoveSelection;
    return;
  }
  if (marked.Contains(x, y)) {
    mDragMode = DragMode::kMoveSelection;
    return;
  }
  if (mMain.Rect().Contains(x, y)) {
    mRegions.DropSelectedIfNeutral();
    const int size = RegionGestures::kNewRegionSize;
    IRect clipped;
    const ModRegion region = mMain.Mapping().RegionFromRect(IRect(x, y, x + size, y + size),
                                                            PaneMapping::Corner::kBoth, mMain.MarkedRegion(), &clipped);
    if (clipped.Empty()) return;
    mMain.SetMarked(region, clipped);
    SelectAndShow(mRegions.Add(region, clipped), pending);
    mDragMode = DragMode::kCreated;
    return;
  }
  if (selected >= 0) {
    if (const DragMode edge = RegionGestures::EdgeMarkerAt(mMain.Rect(), marked, x, y); edge != DragMode::kNone) {
      mDragMode = edge;
      return;
    }
  }
  mDragMode = RegionGestures::StripAt(mMain.Rect(), x, y);
}

void SorvanoControl::SelectAndShow(int i, PendingRange& pending) {
  const int selected = mRegions.Select(i);
  const EditorMod* mod = mRegions.Find(selected);
  if (!mod) return;
  if (mod->mMainRect.Empty()) {
    mMain.SetMarkedRegion(mod->mRegion);
  } else {
    mMain.SetMarked(mod->mRegion, mod->mMainRect);
  }
  SwitchFollowOff();
  if (RegionGestures::Overlaps(mod->mRegion, mMain.Mapping())) return;
  const int64_t span = mMain.Span();
  const int64_t start = RegionGestures::CentredStart(mod->mRegion, span);
  const PaneMapping& m = mMain.Mapping();
  pending.set = true;
  pending.frequencies = false;
  pending.window = ModRegion{Saturate(start), Saturate(start + span), m.mLowHz, m.mHighHz, m.mLowRow, m.mHighRow};
}

void SorvanoControl::Duplicate(int i, PendingRange& pending) {
  const EditorMod* found = mRegions.Find(i);
  if (!found) return;
  const EditorMod source = *found;
  const IRect& r = source.mMainRect;
  IRect clipped;
  const ModRegion region = mMain.Mapping().RegionFromRect(IRect(r.L + 4, r.T + 4, r.R + 4, r.B + 4),
                                                          PaneMapping::Corner::kBoth, mMain.MarkedRegion(), &clipped);
  if (clipped.Empty()) return;
  mMain.SetMarked(region, clipped);
  const int added = mRegions.Add(region, clipped);
  SelectAndShow(added, pending);
  mRegions.CopySettings(source, mRegions.Selected());
}

void SorvanoControl::ClearSelectionState() {
  mRegions.ClearSelection();
  mMain.ClearMarkedRect();
  mDragMode = DragMode::kNone;
  mHitRects.selectionTopLeft = IRect();
  mHitRects.selectionBottomRight = IRect();
  mHitRects.regionButtons = IRect();
  mHitRects.gainKnob = IRect();
  mHitRects.fadeKnob = IRect();
}

void SorvanoControl::SwitchFollowOff() {
  mFollow = false;
  if (mPanel) mPanel->ShowFollow(false);
}

void SorvanoControl::ApplyPending(const PendingRange& pending) {
  if (!pending.set) return;
  std::lock_guard lock(mLock);
  if (pending.frequencies) {
    SetTimeAndFrequencyRange(pending.window);
  } else {
    SetTimeRange(pending.window.mStart, pending.window.mEnd);
  }
  SetDirty(false);
}

void SorvanoControl::OnMouseDrag(int, int, int dX, int dY, const IMouseState&) {
  DragMode mode;
  {
    std::lock_guard lock(mLock);
    if (mDragMode == DragMode::kCreated) mDragMode = RegionGestures::AfterNewRegion(dX, dY);
    mode = mDragMode;
  }
  const bool edits = RegionGestures::MovesSelection(mode) || mode == DragMode::kGainKnob || mode == DragMode::kFadeKnob;
  PendingRange pending;
  {
    std::optional<PluginLockGate> gate;
    if (edits && !gate.emplace(GetPlug(), GetGraphics()).Held()) return;
    std::lock_guard lock(mLock);
    if (mDragMode != mode) return;  // a restore or a close came between
    const int selected = mRegions.Selected();
    if (RegionGestures::MovesSelection(mode)) {
      DragSelection(mode, dX, dY);
    } else if (RegionGestures::MovesOverviewWindow(mode)) {
      DragOverviewWindow(mode, dX, dY, pending);
    } else if (mode == DragMode::kTimeStripPress || mode == DragMode::kTimeStripScroll) {
      mDragMode = DragMode::kTimeStripScroll;
      Scroll(dX, pending);
    } else if (mode == DragMode::kFrequencyZoom) {
      ZoomFrequencies(dY, pending);
    } else if (mode == DragMode::kGainKnob) {
      mRegions.ChangeGain(selected, dY * kGainDragDb);
    } else if (mode == DragMode::kFadeKnob) {
      mRegions.ChangeFade(selected, dY * kFadeDragStep);
    }
    SetDirty(false);
  }
  ApplyPending(pending);
}

void SorvanoControl::DragSelection(DragMode mode, int dx, int dy) {
  const int selected = mRegions.Selected();
  if (selected < 0) return;
  const IRect moved = RegionGestures::Drag(mode, mMain.MarkedRect(), mMain.Rect(), dx, dy);
  IRect clipped;
  const ModRegion region =
      mMain.Mapping().RegionFromRect(moved, RegionGestures::CornerOf(mode), mMain.MarkedRegion(), &clipped);
  if (clipped.Empty()) return;
  mMain.SetMarked(region, clipped);
  mRegions.Move(selected, region, clipped);
}

void SorvanoControl::DragOverviewWindow(DragMode mode, int dx, int dy, PendingRange& pending) {
  const IRect moved = RegionGestures::Drag(mode, mOverview.MarkedRect(), mOverview.Rect(), dx, dy);
  IRect clipped;
  const ModRegion window =
      mOverview.Mapping().RegionFromRect(moved, RegionGestures::CornerOf(mode), mOverview.MarkedRegion(), &clipped);
  if (clipped.Empty()) return;
  mOverview.SetMarked(window, clipped);
  pending = PendingRange{true, window, true};
}

void SorvanoControl::Scroll(int dx, PendingRange& pending) {
  const PaneMapping& m = mMain.Mapping();
  const int64_t d = UnitsOf(dx, m.mPixelsPerSample);
  // The span is kept at both ends of the history.
  int64_t start = int64_t{m.mViewStart} - d;
  int64_t end = int64_t{m.mViewEnd} - d;
  if (start < 0) {
    end -= start;
    start = 0;
  }
  const int64_t last = mOverview.ViewEnd();
  if (end > last) {
    start = std::max<int64_t>(0, start - (end - last));
    end = last;
  }
  pending = PendingRange{true,
                         ModRegion{PaneMapping::RoundToColumn(start), PaneMapping::RoundToColumn(end), m.mLowHz,
                                   m.mHighHz, m.mLowRow, m.mHighRow},
                         false};
}

void SorvanoControl::ZoomFrequencies(int dy, PendingRange& pending) {
  const PaneMapping& m = mMain.Mapping();
  const int64_t g = UnitsOf(dy, m.mPixelsPerRow);
  if (g == 0) return;
  ModRegion window{m.mViewStart, m.mViewEnd, m.mLowHz, m.mHighHz, m.mLowRow, m.mHighRow};
  const int topRow = DisplayRows::HzToRow(kTopHz, mSampleRate);
  if (g < 0) {
    const int lowest = DisplayRows::HzToRow(kZoomLowestTopHz, mSampleRate);
    window.mHighRow = static_cast<int>(std::clamp<int64_t>(m.mHighRow + g, lowest, topRow));
    window.mHighHz = DisplayRows::RowToHz(window.mHighRow, mSampleRate);
    window.mLowRow = 0;
    window.mLowHz = 0;
  } else {
    const int highest = DisplayRows::HzToRow(kZoomHighestBottomHz, mSampleRate);
    window.mLowRow = static_cast<int>(std::min<int64_t>(m.mLowRow + g, highest));
    window.mLowHz = DisplayRows::RowToHz(window.mLowRow, mSampleRate);
    window.mHighRow = topRow;
    window.mHighHz = kTopHz;
  }
  pending = PendingRange{true, window, true};
}

void SorvanoControl::OnMouseUp(int x, int) {
  IEffectBase* effect = mPlugin ? mPlugin->Effect() : nullptr;
  const bool jumps = effect && effect->GetHost() == kHostReaper;
  std::lock_guard lock(mLock);
  if (mDragMode == DragMode::kTimeStripPress && jumps) {
    const PaneMapping& m = mMain.Mapping();
    const int64_t at = std::max<int64_t>(0, UnitsOf(int64_t{x} - m.mRect.L, m.mPixelsPerSample) + m.mViewStart);
    mTracker.SetPosition(PaneMapping::RoundToColumn(at));
  }
  mDragMode = DragMode::kNone;
  mHover = HoverCode::kNone;
  SetDirty(false);
}

void SorvanoControl::OnMouseDoubleClick(int x, int y, const IMouseState&) {
  bool edits = false;
  {
    std::lock_guard lock(mLock);
    edits = mRegions.Selected() >= 0 && (mHitRects.gainKnob.Contains(x, y) || mHitRects.fadeKnob.Contains(x, y));
  }
  PendingRange pending;
  {
    std::optional<PluginLockGate> gate;
    if (edits && !gate.emplace(GetPlug(), GetGraphics()).Held()) return;
    std::lock_guard lock(mLock);
    const int selected = mRegions.Selected();
    const IRect& pane = mMain.Rect();
    const int topRow = DisplayRows::HzToRow(kTopHz, mSampleRate);
    if (selected >= 0 && mHitRects.gainKnob.Contains(x, y)) {
      mRegions.ResetGain(selected);
    } else if (selected >= 0 && mHitRects.fadeKnob.Contains(x, y)) {
      mRegions.ResetFade(selected);
    } else if (mOverview.Rect().Contains(x, y)) {
      const int64_t centre = (int64_t{mMain.ViewStart()} + mMain.ViewEnd()) / 2;
      int64_t start = std::max<int64_t>(0, centre - kMainSpan / 2);
      const int64_t end = std::min<int64_t>(start + kMainSpan, mOverview.ViewEnd());
      start = std::max<int64_t>(0, std::min(start, end - kMainSpan));
      pending = PendingRange{true, ModRegion{Saturate(start), Saturate(end), 0, kTopHz, 0, topRow}, true};
    } else if (x >= pane.R && y >= pane.T && y < pane.B) {
      pending = PendingRange{true, ModRegion{mMain.ViewStart(), mMain.ViewEnd(), 0, kTopHz, 0, topRow}, true};
    }
    mDragMode = DragMode::kNone;
    mHover = HoverCode::kNone;
    SetDirty(false);
  }
  ApplyPending(pending);
}

void SorvanoControl::OnMouseWheel(int, int, const IMouseState&, int d) {
  PendingRange pending;
  {
    std::lock_guard lock(mLock);
    const IRect& window = mOverview.MarkedRect();
    const PaneMapping& m = mMain.Mapping();
    if (window.W() < kWheelNarrowWindow) {
      const int64_t span = int64_t{m.mViewEnd} - m.mViewStart;
      const int64_t a = static_cast<int64_t>(std::trunc(static_cast<double>(span) * d / 20.0)) / 2;
      const int32_t start = PaneMapping::RoundToColumn(std::max<int64_t>(0, int64_t{m.mViewStart} + a));
      const int32_t end = PaneMapping::RoundToColumn(int64_t{m.mViewEnd} - a);
      if (int64_t{end} - start > kWheelMinSpan) {
        pending = PendingRange{true, ModRegion{start, end, m.mLowHz, m.mHighHz, m.mLowRow, m.mHighRow}, false};
      }
    } else {
      const int64_t left = int64_t{window.L} + d;
      const int64_t right = std::max<int64_t>(int64_t{window.R} - d, left + 2);
      const IRect zoomed(Saturate(left), window.T, Saturate(right), window.B);
      IRect clipped;
      const ModRegion region =
          mOverview.Mapping().RegionFromRect(zoomed, PaneMapping::Corner::kBoth, mOverview.MarkedRegion(), &clipped);
      if (!clipped.Empty()) {
        mOverview.SetMarked(region, clipped);
        pending = PendingRange{true, region, true};
      }
    }
    SetDirty(false);
  }
  ApplyPending(pending);
}

HoverCode SorvanoControl::HoverAt(int x, int y) const {
  const ViewHitRects& h = mHitRects;
  if (h.selectionTopLeft.Contains(x, y)) return HoverCode::kSelectionTopLeft;
  if (h.selectionBottomRight.Contains(x, y)) return HoverCode::kSelectionBottomRight;
  if (h.regionButtons.Contains(x, y)) {
    return static_cast<HoverCode>(static_cast<int>(SelectionLayout::ButtonAt(h.regionButtons, x, y)));
  }
  if (h.fadeKnob.Contains(x, y)) return HoverCode::kFadeKnob;
  if (h.gainKnob.Contains(x, y)) return HoverCode::kGainKnob;
  if (h.overviewTopLeft.Contains(x, y)) return HoverCode::kOverviewTopLeft;
  if (h.overviewBottomRight.Contains(x, y)) return HoverCode::kOverviewBottomRight;
  return HoverCode::kNone;
}

void SorvanoControl::OnMouseOver(int x, int y, const IMouseState&) {
  std::lock_guard lock(mLock);
  const HoverCode hover = HoverAt(x, y);
  if (hover == mHover) return;
  mHover = hover;
  SetDirty(false);
}

void SorvanoControl::OnMouseOut() {
  std::lock_guard lock(mLock);
  if (mHover == HoverCode::kNone && mDragMode == DragMode::kNone) return;
  mHover = HoverCode::kNone;
  mDragMode = DragMode::kNone;
  SetDirty(false);
}

}  // namespace sorvano
