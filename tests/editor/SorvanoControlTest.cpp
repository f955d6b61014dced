// The view as a whole with scripted frames: draw steps, host values picked up
// in Draw, the commands of the panel.

#include "editor/SorvanoControl.h"

#include <gtest/gtest.h>

#include <memory>

#include "editor/DisplayRows.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "tests/editor/ViewTestSupport.h"

namespace sorvano::test {
namespace {

class SorvanoControlTest : public ::testing::Test {
protected:
  SorvanoControlTest()
      : graphics(640, 540), view(std::make_unique<SorvanoControl>(&plugin, &graphics)) {
    view->SetPanel(&panel);
  }

  void Draw() { view->Draw(graphics); }
  // Plays `columns` columns continuously from the current position.
  void Play(int columns, int bin = -1) {
    for (int i = 0; i < columns; i += 2) {
      next += 2048;
      plugin.Queue(2, next, bin, 2000.0);
      Draw();
    }
  }

  MissingImageTolerance tolerance;
  ScriptedPlugin plugin;
  RecordingPanel panel;
  OffscreenGraphics graphics;
  std::unique_ptr<SorvanoControl> view;
  int next = 0;
};

TEST_F(SorvanoControlTest, StartsAtTheWrittenState) {
  const SorvanoControl::Snapshot s = view->Inspect();
  EXPECT_EQ(s.position, 0);
  EXPECT_EQ(s.loopStart, -1);
  EXPECT_EQ(s.main.mViewEnd, SorvanoControl::kMainSpan);
  EXPECT_EQ(s.overview.mViewEnd, SorvanoControl::kOverviewSpan);
  EXPECT_EQ(s.main.mRect, SorvanoControl::kMainRect);
  EXPECT_EQ(s.main.mHighRow, 1023);
  EXPECT_TRUE(s.follow);
  EXPECT_EQ(s.multiplier, 12);
  EXPECT_EQ(s.sampleRate, 44100);
  EXPECT_EQ(view->GetTargetRect(), SorvanoControl::kRect);
  EXPECT_EQ(view->GetRect(), SorvanoControl::kDrawnRect);
  // The overview window is the main pane's window.
  EXPECT_EQ(s.overviewWindow.L, 30);
  EXPECT_EQ(s.overviewWindow.R, 30 + static_cast<int>(220160 * 575.0 / 1323008.0));
}

TEST_F(SorvanoControlTest, AnEmptyRingLeavesHistoryPositionAndLoopAlone) {
  Play(20);
  next = 8192;
  plugin.Queue(2, next);  // backwards: a loop
  Draw();
  const SorvanoControl::Snapshot before = view->Inspect();
  Draw();
  Draw();
  const SorvanoControl::Snapshot after = view->Inspect();
  EXPECT_EQ(after.position, before.position);
  EXPECT_EQ(after.loopStart, before.loopStart);
  EXPECT_EQ(after.loopEnd, before.loopEnd);
  EXPECT_EQ(after.historyChunks, before.historyChunks);
  EXPECT_EQ(after.main.mViewStart, before.main.mViewStart);
}

TEST_F(SorvanoControlTest, LoopsAreShownToThePanelAndFitted) {
  Play(40);
  next = 4096;
  plugin.Queue(2, next);
  Draw();
  ASSERT_EQ(panel.mLoop, std::vector<bool>{true});
  const SorvanoControl::Snapshot s = view->Inspect();
  EXPECT_EQ(s.loopStart, 2048);
  EXPECT_EQ(s.loopEnd, 40 * 1024);

  view->FitLoop();
  const SorvanoControl::Snapshot fitted = view->Inspect();
  EXPECT_EQ(fitted.main.mViewStart, 0);  // max(0, 2048 - 16384)
  EXPECT_EQ(fitted.main.mViewEnd, 40 * 1024 + 16384);
  EXPECT_EQ(fitted.overviewWindow.R,
            30 + static_cast<int>(fitted.main.mViewEnd * 575.0 / fitted.overview.mViewEnd));

  Play(60);  // beyond the old end + 16384
  EXPECT_EQ(panel.mLoop, (std::vector<bool>{true, false}));
}

TEST_F(SorvanoControlTest, HostValuesArePickedUpAtTheNextDraw) {
  Play(10, 100);
  view->SetDisplay(0.5, 2);
  view->SetSampleRate(48000.0);
  SorvanoControl::Snapshot s = view->Inspect();
  EXPECT_EQ(s.multiplier, 12) << "nothing changes on the host thread";
  EXPECT_EQ(s.sampleRate, 44100);
  Draw();
  s = view->Inspect();
  EXPECT_EQ(s.multiplier, 6);
  EXPECT_EQ(s.colorMap, 2);
  EXPECT_EQ(s.sampleRate, 48000);
  EXPECT_EQ(s.main.mHighRow, DisplayRows::HzToRow(22000, 48000));
  view->SetSampleRate(-5.0);
  view->SetSampleRate(1.0e12);
  Draw();
  EXPECT_EQ(view->Inspect().sampleRate, 48000) << "impossible rates are not taken";
}

TEST_F(SorvanoControlTest, ATonePaintsItsRowInBothPanes) {
  // Bin 46 is about 990 Hz at 44100.
  Play(30, 46);
  const SonogramPane& main = view->MainPane();
  const int row = DisplayRows::HzToRow(990, 44100);
  const int y = main.Height() - 1 - static_cast<int>(row * main.Mapping().mPixelsPerRow);
  const int x = static_cast<int>(10 * 1024 * main.Mapping().mPixelsPerSample);
  EXPECT_NE(main.Pixels()[static_cast<std::size_t>(y * main.Width() + x)], 0xFF000000u);
  EXPECT_EQ(main.Pixels()[static_cast<std::size_t>(10 * main.Width() + x)], 0xFF000000u)
      << "far above the tone";
  // And the surface shows the pane at its place.
  EXPECT_EQ(graphics.GetPoint(30 + x, 40 + y).ToPixel(),
            main.Pixels()[static_cast<std::size_t>(y * main.Width() + x)]);
}

TEST_F(SorvanoControlTest, ClearAllEmptiesHistoryAndImages) {
  Play(30, 46);
  ASSERT_GT(view->Inspect().historyChunks, 0);
  view->ClearAll();
  EXPECT_EQ(view->Inspect().historyChunks, 0);
  EXPECT_EQ(plugin.mClearMods, 1);
  ASSERT_FALSE(panel.mSelection.empty());
  EXPECT_EQ(panel.mSelection.back(), (std::pair<int, int>{-1, 0}));
  const SonogramPane& main = view->MainPane();
  for (int i = 0; i < main.Width() * main.Height(); ++i) ASSERT_EQ(main.Pixels()[i], 0xFF000000u);
  EXPECT_EQ(view->Inspect().position, 30 * 1024) << "clearing keeps the position";
}

TEST_F(SorvanoControlTest, FollowCanBeSwitchedOff) {
  view->SetFollow(false);
  Play(240);
  EXPECT_EQ(view->Inspect().main.mViewStart, 0);
  view->SetFollow(true);
  Play(2);
  const SorvanoControl::Snapshot s = view->Inspect();
  EXPECT_GT(s.main.mViewStart, 0);
  EXPECT_NEAR(
      static_cast<double>(s.position - s.main.mViewStart) / (s.main.mViewEnd - s.main.mViewStart),
      0.2, 0.01);
}

TEST_F(SorvanoControlTest, FitLoopWithoutALoopDoesNothing) {
  view->FitLoop();
  EXPECT_EQ(view->Inspect().main.mViewEnd, SorvanoControl::kMainSpan);
}

}  // namespace
}  // namespace sorvano::test

namespace sorvano::test {
namespace {

// Counts what a restore hands the engine.
class CountingPlugin : public ScriptedPlugin {
public:
  int AddMod(const ModRegion*, double, double) override { return ++mCount; }
  void ClearMods() override { mCount = 0; }
  void ToggleModMute(int idx) override { mMuted.push_back(idx); }
  int mCount = 0;
  std::vector<int> mMuted;
};

TEST(SorvanoControlStateTest, SaveAndRestoreTheWindows) {
  MissingImageTolerance tolerance;
  CountingPlugin plugin;
  RecordingPanel panel;
  OffscreenGraphics graphics(640, 540);
  SorvanoControl view(&plugin, &graphics);
  view.SetPanel(&panel);

  SavedViewState state;
  state.mOverviewStart = 0;
  state.mOverviewEnd = 2048000;
  state.mWindow = ModRegion{102400, 204800, 0, 5000, 0, DisplayRows::HzToRow(5000, 44100)};
  SavedRegion muted;
  muted.mRegion = ModRegion{110592, 120832, 500, 1500, 100, 300};
  muted.mMute = true;
  state.mRegions = {SavedRegion{}, muted};
  view.RestoreState(state);

  const SavedViewState saved = view.SaveState();
  EXPECT_EQ(saved.mOverviewEnd, 2048000);
  EXPECT_EQ(saved.mWindow, state.mWindow);
  EXPECT_FALSE(saved.mWindowRect.Empty());
  EXPECT_EQ(plugin.mCount, 2);
  EXPECT_EQ(plugin.mMuted, std::vector<int>{1});
  ASSERT_FALSE(panel.mSelection.empty());
  EXPECT_EQ(panel.mSelection.back(), (std::pair<int, int>{-1, 2}));

  // A damaged state with empty windows leaves the panes as they were.
  SavedViewState damaged;
  damaged.mOverviewEnd = -5;
  damaged.mWindow = ModRegion{5000, 100, 0, 0, 0, 0};
  view.RestoreState(damaged);
  EXPECT_EQ(view.SaveState().mWindow, state.mWindow);
  EXPECT_EQ(plugin.mCount, 0);
}

}  // namespace
}  // namespace sorvano::test
