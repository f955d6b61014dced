// The window host under a real X server (Xvfb): the editor's child window in
// a host frame, pointer and keys as XTEST events, screenshots.

#include <gtest/gtest.h>

#include <dirent.h>

#include <future>
#include <thread>

#include "WindowTestEditor.h"

namespace sorvano::test {
namespace {

using namespace std::chrono_literals;
using Button = x11::HostFrameWindow::Button;

void* AsParent(std::uint32_t window) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }

int CountEntries(const char* folder) {
  int n = 0;
  if (DIR* dir = opendir(folder)) {
    while (readdir(dir)) ++n;
    closedir(dir);
  }
  return n;
}

class WindowHostTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(frame.Ok());
    ASSERT_TRUE(frame.CanFakeInput());
    frame.Map();
  }

  void Open() { ASSERT_NE(test.editor->OpenWindow(AsParent(frame.Window())), nullptr); }

  // Waits until two screenshots a tick apart agree and show something.
  std::vector<std::uint32_t> SettledScreenshot() {
    std::vector<std::uint32_t> last;
    for (int i = 0; i < 60; ++i) {
      std::vector<std::uint32_t> now = frame.Capture(0, 0, WindowTestEditor::kWidth, WindowTestEditor::kHeight);
      if (!now.empty() && now == last && now[0] != 0) return now;
      last = std::move(now);
      std::this_thread::sleep_for(60ms);
    }
    return last;
  }

  void Click(int x, int y, Button button = Button::kLeft) {
    frame.MovePointer(x, y);
    frame.PressButton(button);
    frame.ReleaseButton(button);
  }

  double KnobValue() { return test.plug.GetParam(0)->Value(); }

  x11::HostFrameWindow frame{WindowTestEditor::kWidth, WindowTestEditor::kHeight, "frame"};
  WindowTestEditor test;
};

TEST_F(WindowHostTest, TickIsTheTruncatedFramePeriod) {
  EXPECT_EQ(IEditorWindow::TickMs(18), 55);
  EXPECT_EQ(IEditorWindow::TickMs(24), 41);
}

TEST_F(WindowHostTest, ScreenshotEqualsTheDrawSurface) {
  Open();
  const std::vector<std::uint32_t> shot = SettledScreenshot();
  test.editor->CloseWindow();
  ASSERT_FALSE(shot.empty());
  EXPECT_EQ(shot, SurfacePixels(*test.editor));
}

TEST_F(WindowHostTest, OpeningTwiceRecreatesTheWindowAndClosingRemovesIt) {
  Open();
  Open();
  frame.Sync();
  ASSERT_EQ(frame.Children().size(), 1u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(test.editor->GetWindow()), frame.Children()[0]);
  test.editor->CloseWindow();
  frame.Sync();
  EXPECT_TRUE(frame.Children().empty());
  EXPECT_FALSE(test.editor->WindowIsOpen());
}

TEST_F(WindowHostTest, ParentsThatDoNotExistAreRefused) {
  EXPECT_EQ(test.editor->OpenWindow(nullptr), nullptr);
  EXPECT_EQ(test.editor->OpenWindow(AsParent(0x7ffffff0u)), nullptr);
  EXPECT_FALSE(test.editor->WindowIsOpen());
}

TEST_F(WindowHostTest, NothingIsRedrawnWhileNothingIsDirty) {
  Open();
  SettledScreenshot();
  const int draws = test.background->draws.load();
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(test.background->draws.load(), draws);
}

TEST_F(WindowHostTest, AHiddenWindowDrawsNothingAndRedrawsWhenShown) {
  Open();
  SettledScreenshot();
  frame.Unmap();
  const int draws = test.background->draws.load();
  test.background->SetDirty(false);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(test.background->draws.load(), draws);
  frame.Map();
  EXPECT_TRUE(WaitFor([&] { return test.background->draws.load() > draws; }));
}

TEST_F(WindowHostTest, DraggingTheKnobSetsItsParameterInsideOneGesture) {
  Open();
  SettledScreenshot();
  const double before = KnobValue();
  frame.MovePointer(130, 130);
  frame.PressButton(Button::kLeft);
  for (int y = 125; y >= 90; y -= 5) frame.MovePointer(130, y);
  frame.ReleaseButton(Button::kLeft);
  ASSERT_TRUE(WaitFor([&] { return test.plug.Saw("end 0"); }));
  EXPECT_GT(KnobValue(), before);
  const std::vector<std::string> events = test.plug.Events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front(), "begin 0");
  EXPECT_EQ(events.back(), "end 0");
}

TEST_F(WindowHostTest, ADragReachesThePressedControlOutsideTheWindow) {
  Open();
  SettledScreenshot();
  frame.MovePointer(130, 130);
  frame.PressButton(Button::kLeft);
  frame.MovePointer(900, 130);
  ASSERT_TRUE(WaitFor([&] { return test.knob->lastX.load() == 900; }));
  frame.ReleaseButton(Button::kLeft);
  EXPECT_TRUE(WaitFor([&] { return test.plug.Saw("end 0"); }));
}

TEST_F(WindowHostTest, TwoQuickPressesInOnePlaceAreADoubleClick) {
  Open();
  SettledScreenshot();
  Click(400, 300);
  Click(401, 302);
  ASSERT_TRUE(WaitFor([&] { return test.background->doubleClicks.load() == 1; }));
  EXPECT_EQ(test.background->lastX.load(), 401);
  EXPECT_EQ(test.background->lastY.load(), 302);
  // Far apart: two single presses.
  Click(400, 300);
  Click(460, 300);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(test.background->doubleClicks.load(), 1);
}

TEST_F(WindowHostTest, OneWheelNotchIsOneStep) {
  Open();
  SettledScreenshot();
  Click(400, 300, Button::kWheelUp);
  ASSERT_TRUE(WaitFor([&] { return test.background->wheel.load() == 1; }));
  Click(400, 300, Button::kWheelDown);
  Click(400, 300, Button::kWheelDown);
  EXPECT_TRUE(WaitFor([&] { return test.background->wheel.load() == -1; }));
}

TEST_F(WindowHostTest, ThePopupCommitsATypedValueOnEnter) {
  Open();
  SettledScreenshot();
  Click(130, 130, Button::kRight);
  // Wait for the popup to take the focus; the first key replaces its text.
  std::this_thread::sleep_for(200ms);
  frame.TypeText("7.5");
  frame.PressEnter();
  EXPECT_TRUE(WaitFor([&] { return KnobValue() == 7.5; })) << KnobValue();
}

TEST_F(WindowHostTest, ThePopupCancelsOnARightClickAndOnEscape) {
  Open();
  SettledScreenshot();
  const double before = KnobValue();
  Click(130, 130, Button::kRight);
  std::this_thread::sleep_for(200ms);
  frame.TypeText("9");
  Click(400, 400, Button::kRight);
  std::this_thread::sleep_for(200ms);
  frame.PressEnter();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(KnobValue(), before);

  Click(130, 130, Button::kRight);
  std::this_thread::sleep_for(200ms);
  frame.TypeText("9");
  frame.PressEscape();
  std::this_thread::sleep_for(200ms);
  frame.PressEnter();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(KnobValue(), before);
}

TEST_F(WindowHostTest, ClosingWhileTheEditorWaitsForThePluginLockInADragReturns) {
  Open();
  SettledScreenshot();
  frame.MovePointer(130, 130);
  frame.PressButton(Button::kLeft);
  ASSERT_TRUE(WaitFor([&] { return test.plug.Saw("begin 0"); }));
  // The host thread holds the plug-in lock, as it does during effEditClose.
  test.plug.Lock();
  const int drags = test.knob->drags.load();
  frame.MovePointer(130, 100);
  ASSERT_TRUE(WaitFor([&] { return test.knob->drags.load() > drags; }));
  std::this_thread::sleep_for(50ms);
  auto closing = std::async(std::launch::async, [&] { test.editor->CloseWindow(); });
  const bool closed = closing.wait_for(2s) == std::future_status::ready;
  test.plug.Unlock();
  frame.ReleaseButton(Button::kLeft);
  EXPECT_TRUE(closed) << "effEditClose waited for an editor thread that waited for the plug-in lock";
}

TEST_F(WindowHostTest, AParentDestroyedBeforeCloseEndsTheEditorQuietly) {
  Open();
  SettledScreenshot();
  frame.Destroy();
  std::this_thread::sleep_for(100ms);
  test.editor->CloseWindow();
  x11::HostFrameWindow another(WindowTestEditor::kWidth, WindowTestEditor::kHeight, "another");
  another.Map();
  EXPECT_NE(test.editor->OpenWindow(AsParent(another.Window())), nullptr);
  test.editor->CloseWindow();
}

TEST_F(WindowHostTest, OpeningAndClosingAHundredTimesWithAudioRunningLeavesNothingBehind) {
  std::atomic<bool> playing{true};
  std::thread audio([&] {
    while (playing.load()) {
      IEffectBase::ScopedLock lock(test.plug);
      test.background->SetDirty(false);
    }
  });
  Open();
  test.editor->CloseWindow();
  // A joined thread can stay listed for a moment while the kernel finishes
  // its exit, so every count waits for the one it expects.
  const int threads = CountEntries("/proc/self/task");
  const int files = CountEntries("/proc/self/fd");
  for (int i = 0; i < 100; ++i) {
    IEffectBase::ScopedLock lock(test.plug);
    Open();
    test.editor->CloseWindow();
  }
  playing.store(false);
  audio.join();
  EXPECT_TRUE(WaitFor([&] { return CountEntries("/proc/self/task") <= threads - 1; }))
      << CountEntries("/proc/self/task") << " threads, " << threads - 1 << " expected";
  EXPECT_EQ(CountEntries("/proc/self/fd"), files);
}

TEST_F(WindowHostTest, TwoEditorsRunSideBySide) {
  WindowTestEditor second;
  x11::HostFrameWindow secondFrame(WindowTestEditor::kWidth, WindowTestEditor::kHeight, "second");
  secondFrame.Map();
  Open();
  ASSERT_NE(second.editor->OpenWindow(AsParent(secondFrame.Window())), nullptr);
  EXPECT_TRUE(WaitFor([&] { return second.background->draws.load() > 0 && test.background->draws.load() > 0; }));
  second.editor->CloseWindow();
  test.editor->CloseWindow();
}

TEST_F(WindowHostTest, HostThreadsMayOpenAndCloseConcurrently) {
  auto churn = [&] {
    for (int i = 0; i < 20; ++i) {
      test.editor->OpenWindow(AsParent(frame.Window()));
      test.editor->CloseWindow();
    }
  };
  std::thread other(churn);
  churn();
  other.join();
  EXPECT_FALSE(test.editor->WindowIsOpen());
}

}  // namespace
}  // namespace sorvano::test
