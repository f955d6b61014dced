#pragma once

// The panel beneath the sonogram: which region is active (with previous and
// next buttons and the wheel), the "discard unmodified" switch, the number of
// regions, a gain knob and a fade knob acting on all regions at once, the
// loop state with "fit screen", the follow switch, the colour map name (click
// or wheel to cycle) and the five-second countdown before "reset" clears
// everything. The background picture prints the captions; the panel draws
// the values (areas in editor/SidePanelLayout.h).
//
// Threads and locks:
// - Mouse events and Draw: editor thread, no lock held. The view's operations
//   take the plug-in lock gate and the view's lock themselves; cycling the
//   colour map goes through the gate here and is dropped when it gives up.
// - PanelLink (from the view): the editor thread, or a host thread restoring
//   a state with the plug-in lock and the view's lock held.
// - SidePanelLink (from the plug-in): a host thread, plug-in lock held.
// Everything those two write is atomic; the rest is editor-thread state.
//
// The all-gain value is the sum of the gain changes made with its knob, so a
// double click can take them back; the all-fade value starts at 0.1 and
// takes the fade changes made with its knob, and a double click subtracts it
// and starts again from 0.1. Both read 0 once the last region is gone. They
// stay within limits that keep every change handed to the view finite.

#include <atomic>

#include "editor/PanelLink.h"
#include "editor/SidePanelCountdown.h"
#include "editor/SidePanelLink.h"
#include "graphics/IEditorControl.h"

namespace sorvano {

class PluginLink;
class ViewCommands;

class SidePanel : public IEditorControl, public PanelLink, public SidePanelLink {
public:
  // What the mouse pressed, in the numbering the panel has always used.
  enum class PressedArea : int {
    kNone = 0,
    kFollow = 1,
    kFitScreen = 2,
    kColorMap = 3,
    kPrevious = 4,
    kNext = 5,
    kAllGain = 6,
    kAllFade = 7,
    kDiscard = 8,
  };

  static constexpr double kDragGainDbPerPixel = -0.1;
  static constexpr double kDragFadePerPixel = -0.01;
  static constexpr double kWheelGainDbPerNotch = -0.01;
  static constexpr double kWheelFadePerNotch = -0.1;
  static constexpr double kInitialAllFade = 0.1;
  // The all-gain value stays within +-kAllGainLimitDb: far beyond any gain a
  // region can keep (the view shows "-oo" below -144 dB), yet a change the
  // view can always turn into a finite gain.
  static constexpr double kAllGainLimitDb = 200.0;
  // The all-fade value stays within +-kAllFadeLimit: a change of more than 1
  // cannot move a fade within 0..1 any further.
  static constexpr double kAllFadeLimit = 2.0;

  // Constructing thread. plugin may be null (no colour map then). The clock
  // drives the reset countdown; tests hand in their own.
  SidePanel(PluginLink* plugin, const IRect& rect,
            SidePanelCountdown::Now clock = &SidePanelCountdown::Clock::now);

  // Constructing thread, before the window opens: the view whose operations
  // the panel calls. Null until set; the panel then changes nothing.
  void SetView(ViewCommands* view) { mView = view; }

  // ---- PanelLink: store, mark dirty.
  void ShowFollow(bool follow) override;
  void ShowLoop(bool loop) override;
  // Only a change of either value counts; a count of 0 sets both knob
  // values to 0.
  void ShowSelection(int selected, int count) override;

  // ---- SidePanelLink.
  void SetResetCountdown(bool on) override;

  // ---- IEditorControl, editor thread.
  void OnMouseDown(int x, int y, const IMouseState& mouse) override;
  void OnMouseUp(int x, int y) override;
  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseState& mouse) override;
  void OnMouseDoubleClick(int x, int y, const IMouseState& mouse) override;
  void OnMouseWheel(int x, int y, const IMouseState& mouse, int d) override;
  void OnMouseOver(int x, int y, const IMouseState& mouse) override;
  void OnMouseOut() override;
  // Runs the countdown (clearing everything once it reaches 5 s) and draws
  // the values.
  bool Draw(IEditorGraphics& graphics) override;

  // ---- State, for tests and the editor's pictures. Any thread.
  bool FollowShown() const { return mFollowShown.load(std::memory_order_relaxed); }
  bool LoopShown() const { return mLoopShown.load(std::memory_order_relaxed); }
  int ActiveIndex() const { return mSelection.load(std::memory_order_relaxed).active; }
  int RegionCount() const { return mSelection.load(std::memory_order_relaxed).count; }
  double AllGainDb() const { return mAllGainDb.load(std::memory_order_relaxed); }
  double AllFade() const { return mAllFade.load(std::memory_order_relaxed); }
  bool CountdownOn() const { return mCountdown.IsOn(); }
  // Editor thread only.
  bool FadeHover() const { return mFadeHover; }
  bool DiscardShown() const { return mDiscardShown; }
  PressedArea Pressed() const { return mPressed; }

private:
  // The selected index and the count change together, so they share one word.
  struct Selection {
    int active = -1;
    int count = 0;
    bool operator==(const Selection&) const = default;
  };

  // Selection steps, with the view told; nothing without regions.
  void SelectPrevious();
  void SelectNext();
  void CycleColorMap();
  // Hands a change to the view after limiting the value it adds to.
  void ChangeAllGains(double dB);
  void ChangeAllFades(double delta);
  // Turns the fade hover on or off and tells the view; answers whether it changed.
  bool SetFadeHover(bool hover);

  // Any thread: marks the panel for this tick and the next.
  void MarkChanged();
  void DrawCountdown(IEditorGraphics& graphics, int elapsed);
  void DrawSelection(IEditorGraphics& graphics, const Selection& selection);
  void DrawAlways(IEditorGraphics& graphics, const Selection& selection);
  ITextStyle Style(const IColor& color, int align) const;
  bool IsPressed(PressedArea area) const { return mPressed == area; }

  PluginLink* mPlugin;
  ViewCommands* mView = nullptr;
  std::atomic<bool> mFollowShown{true};
  std::atomic<bool> mLoopShown{false};
  ITextStyle mTextStyle;
  std::atomic<Selection> mSelection{Selection{}};
  std::atomic<double> mAllGainDb{0.0};
  std::atomic<double> mAllFade{kInitialAllFade};
  SidePanelCountdown mCountdown;
  bool mFadeHover = false;
  bool mDiscardShown = true;
  PressedArea mPressed = PressedArea::kNone;
};

}  // namespace sorvano
