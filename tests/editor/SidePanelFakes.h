#pragma once

// Test doubles for the side panel: a view that records the operations the
// panel calls and answers as the real view does (selecting a region and
// clearing everything show the new selection on the panel), a plug-in link
// with a colour map index, a clock the test moves by hand, and a rig that
// attaches the panel to an offscreen editor over a plain background, so
// that tests drive it through the graphics object's mouse routing.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "editor/PluginLink.h"
#include "editor/SidePanel.h"
#include "editor/ViewCommands.h"
#include "graphics/offscreen/OffscreenGraphics.h"

namespace sorvano::test {

struct ViewCall {
  std::string op;
  double value = 0.0;
};

class RecordingView : public ViewCommands {
public:
  void SelectRegion(int idx) override {
    calls.push_back({"select", static_cast<double>(idx)});
    if (panel && idx >= 0 && idx < count) panel->ShowSelection(idx, count);
  }
  void ChangeAllGains(double dB) override { calls.push_back({"gains", dB}); }
  void ChangeAllFades(double delta) override { calls.push_back({"fades", delta}); }
  void SetDropNeutral(bool drop) override { calls.push_back({"dropNeutral", drop ? 1.0 : 0.0}); }
  void FitLoop() override { calls.push_back({"fitLoop"}); }
  void SetFollow(bool follow) override { calls.push_back({"follow", follow ? 1.0 : 0.0}); }
  void SetShowFades(bool show) override { calls.push_back({"showFades", show ? 1.0 : 0.0}); }
  void ClearAll() override {
    calls.push_back({"clearAll"});
    SetRegions(0, -1);
  }

  // What the view tells the panel when its region list changes.
  void SetRegions(int n, int selected) {
    count = n;
    if (panel) panel->ShowSelection(selected, n);
  }

  int Count(const std::string& op) const {
    int n = 0;
    for (const ViewCall& c : calls) n += c.op == op;
    return n;
  }
  double Sum(const std::string& op) const {
    double sum = 0.0;
    for (const ViewCall& c : calls) sum += c.op == op ? c.value : 0.0;
    return sum;
  }
  const ViewCall& Last() const { return calls.back(); }

  SidePanel* panel = nullptr;
  int count = 0;
  std::vector<ViewCall> calls;
};

class FakePluginLink : public PluginLink {
public:
  IEffectBase* Effect() override { return effect; }
  int ReadSpectralFrames(std::complex<double>*, int*) override { return 0; }
  int AddMod(const ModRegion*, double, double) override { return 0; }
  int DeleteMod(int) override { return 0; }
  void UpdateMod(int, const ModRegion*, double, double) override {}
  void ClearMods() override {}
  void ToggleModMute(int) override {}
  void ToggleModSolo(int) override {}
  void ToggleModBypass(int) override {}
  void CycleColorMap() override {
    ++cycles;
    map = (map + 1) % 4;
  }
  int ColorMapIndex() const override { return map; }

  IEffectBase* effect = nullptr;
  int map = 0;
  int cycles = 0;
};

// A steady clock that stands still until the test moves it.
struct ManualClock {
  SidePanelCountdown::Clock::time_point now{std::chrono::hours(1)};
  SidePanelCountdown::Now Source() {
    return [this] { return now; };
  }
  void Advance(std::chrono::milliseconds ms) { now += ms; }
};

// Paints the whole editor one colour, under the panel.
class FillControl : public IEditorControl {
public:
  static constexpr IColor kColor{255, 40, 44, 52};
  FillControl() : IEditorControl(nullptr, IRect(0, 0, 640, 540), -1) {}
  bool Draw(IEditorGraphics& graphics) override {
    return graphics.FillRect(kColor, GetRect(), nullptr);
  }
};

// An offscreen editor whose closing switch the test can throw.
class TestEditor : public OffscreenGraphics {
public:
  TestEditor() : OffscreenGraphics(640, 540) {}
  using OffscreenGraphics::SetClosing;
};

// The panel on an offscreen editor, linked both ways with a recording view.
struct PanelRig {
  PanelRig() {
    graphics.HandleMouseOver(true);
    graphics.AttachControl(new FillControl);
    panel = new SidePanel(&plugin, IRect(24, 450, 370, 515), clock.Source());
    panel->SetView(&view);
    view.panel = panel;
    graphics.AttachControl(panel);
  }

  void Press(int x, int y) { graphics.OnMouseDown(x, y, IMouseState{}); }
  void Drag(int x, int y) { graphics.OnMouseDrag(x, y, IMouseState{}); }
  void Release(int x, int y) { graphics.OnMouseUp(x, y); }
  void Click(int x, int y) {
    Press(x, y);
    Release(x, y);
  }
  void Move(int x, int y) { graphics.OnMouseOver(x, y, IMouseState{}); }
  void Wheel(int x, int y, int d) { graphics.OnMouseWheel(x, y, IMouseState{}, d); }
  void DoubleClick(int x, int y) { graphics.OnMouseDoubleClick(x, y, IMouseState{}); }
  // One redraw cycle of the whole editor.
  void Draw() { graphics.Draw(IRect(0, 0, 640, 540)); }

  FakePluginLink plugin;
  RecordingView view;
  ManualClock clock;
  TestEditor graphics;
  SidePanel* panel = nullptr;  // owned by graphics
};

// Points inside the panel's areas.
namespace at {
inline constexpr int kPrevX = 59, kPrevY = 482;
inline constexpr int kNextX = 109, kNextY = 482;
inline constexpr int kNumberX = 85, kNumberY = 484;
inline constexpr int kDiscardX = 35, kDiscardY = 503;
inline constexpr int kGainX = 202, kGainY = 482;
inline constexpr int kFadeX = 202, kFadeY = 501;
inline constexpr int kLoopX = 300, kLoopY = 460;
inline constexpr int kFollowX = 330, kFollowY = 482;
inline constexpr int kMapX = 308, kMapY = 503;
}  // namespace at

}  // namespace sorvano::test
