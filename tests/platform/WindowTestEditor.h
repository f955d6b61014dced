#pragma once

// An editor for the window tests: a plug-in with three parameters 0..10
// that records gestures and automation (from the editor thread, read by the
// test thread, hence the lock), an
// IEditorWindow of 640 x 540 at 18 frames per second, a background that
// counts its redraws, and a knob bound to parameter 0 that reports the drags
// it sees. The editor is attached to the plug-in, which owns it.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "framework/IEffectBase.h"
#include "framework/IEffectParam.h"
#include "graphics/ILineKnobControl.h"
#include "graphics/platform/HostFrameWindow.h"
#include "graphics/platform/IEditorWindow.h"

namespace sorvano::test {

class WindowTestPlug : public IEffectBase {
public:
  WindowTestPlug() : IEffectBase(3, "2-2", 0, "Window test", "Window test", "Test", 0x00010000, 4321, 8765, 0, false, false, false) {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->SetupDouble("p", 5.0, 0.0, 10.0, 0.01, "");
  }
  // The editor thread logs into this object's members: it ends first.
  ~WindowTestPlug() override { DestroyEditor(); }
  void BeginParamGesture(int paramIdx) override { Log("begin " + std::to_string(paramIdx)); }
  void AutomateParam(int paramIdx, double) override { Log("set " + std::to_string(paramIdx)); }
  void EndParamGesture(int paramIdx) override { Log("end " + std::to_string(paramIdx)); }
  int HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int* num, int* denom) override { *num = *denom = 0; }
  void RefreshEditorRect(int, int) override {}
  void AdjustForHost() override {}
  bool SendMidiMessage(const MidiMessage&) override { return false; }
  bool SendMidiMessages(std::span<const MidiMessage>) override { return false; }

  std::vector<std::string> Events() const {
    std::lock_guard<std::mutex> lock(mLogLock);
    return mEvents;
  }
  bool Saw(const std::string& event) const {
    for (const std::string& e : Events()) {
      if (e == event) return true;
    }
    return false;
  }

private:
  void Log(const std::string& s) {
    std::lock_guard<std::mutex> lock(mLogLock);
    mEvents.push_back(s);
  }
  mutable std::mutex mLogLock;
  std::vector<std::string> mEvents;
};

// Fills its rectangle with one colour; counts how often it was drawn.
class CountingBackground : public IEditorControl {
public:
  CountingBackground(IEffectBase* plug, const IRect& rect) : IEditorControl(plug, rect, -1) {}
  bool Draw(IEditorGraphics& graphics) override {
    draws.fetch_add(1);
    return graphics.FillRect(IColor(255, 40, 60, 90), GetRect(), nullptr);
  }
  void OnMouseDoubleClick(int x, int y, const IMouseState&) override {
    doubleClicks.fetch_add(1);
    lastX = x;
    lastY = y;
  }
  void OnMouseWheel(int, int, const IMouseState&, int d) override { wheel.fetch_add(d); }
  std::atomic<int> draws{0};
  std::atomic<int> doubleClicks{0};
  std::atomic<int> wheel{0};
  std::atomic<int> lastX{0};
  std::atomic<int> lastY{0};
};

// A knob whose drags are reported before it acts on them.
class ReportingKnob : public ILineKnobControl {
public:
  ReportingKnob(IEffectBase* plug, const IRect& rect)
      : ILineKnobControl(plug, rect, 0, IColor(255, 255, 255, 255), 0.0f, 0.0f, -2.5f, 2.5f, kVertical, 2.0) {}
  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseState& mouse) override {
    drags.fetch_add(1);
    lastX = x;
    ILineKnobControl::OnMouseDrag(x, y, dX, dY, mouse);
  }
  std::atomic<int> drags{0};
  std::atomic<int> lastX{0};
};

struct WindowTestEditor {
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 540;
  static constexpr IRect kKnobRect{100, 100, 160, 160};

  WindowTestEditor() {
    editor = new IEditorWindow(&plug, kWidth, kHeight, 18);
    background = new CountingBackground(&plug, IRect(0, 0, kWidth, kHeight));
    knob = new ReportingKnob(&plug, kKnobRect);
    editor->AttachControl(background);
    editor->AttachControl(knob);
    plug.AttachEditor(editor);
  }

  WindowTestPlug plug;
  IEditorWindow* editor = nullptr;  // owned by plug
  CountingBackground* background = nullptr;
  ReportingKnob* knob = nullptr;
};

// Polls until the condition holds or the time is up; answers the condition.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The draw surface's pixels without alpha, as a screenshot shows them.
inline std::vector<std::uint32_t> SurfacePixels(IEditorWindow& editor) {
  DrawSurface* surface = editor.GetDrawSurface();
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < surface->Height(); ++y) {
    for (int x = 0; x < surface->Width(); ++x) {
      pixels.push_back(surface->Bits()[y * surface->RowSpan() + x] & 0x00ffffffu);
    }
  }
  return pixels;
}

}  // namespace sorvano::test
