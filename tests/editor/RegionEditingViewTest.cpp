// Region editing through the view, driven like the window host drives it:
// every gesture goes through the graphics object's mouse routing.

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "editor/DisplayRows.h"
#include "editor/SorvanoControl.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "tests/editor/FakeEngine.h"

namespace sorvano {
namespace {

using test::ListsAgree;

class RegionEditingView : public ::testing::Test {
protected:
  RegionEditingView() : mGraphics(640, 540) {
    mView = new SorvanoControl(&mEngine, nullptr);
    mGraphics.AttachControl(mView);
    mGraphics.HandleMouseOver(true);
    mView->SetPanel(&mPanel);
    Draw();
  }

  void Draw() { mGraphics.Draw(IRect(0, 0, 640, 540)); }
  void Press(int x, int y, bool right = false, bool ctrl = false) {
    IMouseState m;
    m.L = !right;
    m.R = right;
    m.C = ctrl;
    mGraphics.OnMouseDown(x, y, m);
  }
  void DragTo(int x, int y) {
    IMouseState m;
    m.L = 1;
    mGraphics.OnMouseDrag(x, y, m);
  }
  void Release(int x, int y) { mGraphics.OnMouseUp(x, y); }
  void Click(int x, int y) {
    Press(x, y);
    Release(x, y);
    Draw();
  }
  SorvanoControl::RegionSnapshot Regions() { return mView->InspectRegions(); }
  bool Agree() {
    const auto snap = Regions();
    return ListsAgree(snap.regions, mEngine.mRecords);
  }

  test::FakeEngine mEngine;
  test::FakePanel mPanel;
  OffscreenGraphics mGraphics;
  SorvanoControl* mView = nullptr;  // owned by mGraphics
};

TEST_F(RegionEditingView, APressAndReleaseInThePaneLeavesA12By12Region) {
  Press(200, 200);
  Release(200, 200);
  const auto snap = Regions();
  ASSERT_EQ(snap.regions.size(), 1u);
  EXPECT_EQ(snap.selected, 0);
  EXPECT_EQ(snap.marked, IRect(200, 200, 212, 212));
  const ModRegion& r = snap.regions[0].mRegion;
  EXPECT_EQ(r.mStart % 1024, 0);
  EXPECT_EQ(r.mEnd % 1024, 0);
  EXPECT_LT(r.mStart, r.mEnd);
  // Rows from the pane's bottom at 313 / 1023 pixels per... row, Hz from rows.
  const auto mapping = mView->Inspect().main;
  EXPECT_EQ(r.mHighRow, int((353 - 200) / mapping.mPixelsPerRow) + mapping.mLowRow);
  EXPECT_EQ(r.mLowRow, int((353 - 212) / mapping.mPixelsPerRow) + mapping.mLowRow);
  EXPECT_EQ(r.mHighHz, DisplayRows::RowToHz(r.mHighRow, 44100));
  EXPECT_EQ(r.mLowHz, DisplayRows::RowToHz(r.mLowRow, 44100));
  EXPECT_EQ(r.mStart, int64_t(170 / mapping.mPixelsPerSample + 512) / 1024 * 1024);
  EXPECT_EQ(snap.regions[0].mMainRect, IRect(200, 200, 212, 212));
  EXPECT_FALSE(mView->Inspect().follow);
  EXPECT_FALSE(mPanel.mFollow);
  EXPECT_TRUE(Agree());
  // Drawn again from its region, it is still 12 x 12 pixels.
  Draw();
  EXPECT_EQ(Regions().regions[0].mMainRect.W(), 12);
  EXPECT_EQ(Regions().regions[0].mMainRect.H(), 12);
}

TEST_F(RegionEditingView, ANeutralRegionGoesWhenANewOneIsStartedUnlessChanged) {
  Click(100, 100);
  Click(300, 250);  // the first is dropped
  EXPECT_EQ(Regions().regions.size(), 1u);
  // A mute makes it stay: the button column is left of the region.
  const IRect buttons = Regions().hitRects.regionButtons;
  ASSERT_FALSE(buttons.Empty());
  Click(buttons.L + 5, buttons.T + 3);
  EXPECT_TRUE(Regions().regions[0].mMute);
  Click(100, 100);
  EXPECT_EQ(Regions().regions.size(), 2u);
  EXPECT_TRUE(Agree());
  // A right click drops the neutral selection.
  Press(400, 300, true);
  Release(400, 300);
  EXPECT_EQ(Regions().regions.size(), 1u);
  EXPECT_EQ(Regions().selected, -1);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionEditingView, DraggingACreatedRegionMovesItsBottomRightInsideThePane) {
  Press(200, 200);
  DragTo(260, 230);
  DragTo(5000, 5000);  // far outside the editor
  Release(5000, 5000);
  Draw();
  auto snap = Regions();
  const IRect before = snap.marked;
  EXPECT_EQ(before.R, 576);
  EXPECT_EQ(before.B, 353);
  EXPECT_TRUE(Agree());
  // Moving the whole region keeps its size and the side margin.
  Press(300, 300);  // inside the selection
  EXPECT_EQ(Regions().drag, DragMode::kMoveSelection);
  DragTo(-30000, -30000);
  Release(-30000, -30000);
  Draw();
  snap = Regions();
  EXPECT_EQ(snap.marked, IRect(47, 40, 47 + before.W(), 40 + before.H()));
  EXPECT_TRUE(Agree());
}

TEST_F(RegionEditingView, GainAndFadeKnobsKeepTheRegionFiniteAndInRange) {
  Click(200, 150);
  const IRect gain = Regions().hitRects.gainKnob;
  const IRect fade = Regions().hitRects.fadeKnob;
  ASSERT_FALSE(gain.Empty());
  // Away from the corner handle's hit rectangle, which comes first.
  const int kx = gain.R - 3;
  Press(kx, gain.B - 2);  // lower half: -0.1 dB
  EXPECT_EQ(Regions().drag, DragMode::kGainKnob);
  for (int y = gain.B; y < gain.B + 30000; y += 500) DragTo(kx, y);
  Release(kx, gain.B + 30000);
  Draw();
  EXPECT_STREQ(Regions().regions[0].mGainText, "-oo");
  EXPECT_GT(Regions().regions[0].mModAmp, 0.0);
  Press(kx, gain.T + 1);  // upper half: +0.1 dB
  DragTo(kx, gain.T - 20);
  Release(kx, gain.T - 20);
  Draw();
  EXPECT_STRNE(Regions().regions[0].mGainText, "-oo");
  Press(kx, gain.T + 1);
  DragTo(kx, -100000);
  Release(kx, -100000);
  EXPECT_LE(Regions().regions[0].mModAmp, 100.0 + 1e-9);
  Draw();
  Press(kx, fade.B - 3);
  EXPECT_EQ(Regions().drag, DragMode::kFadeKnob);
  DragTo(kx, -5000);
  Release(kx, -5000);
  EXPECT_EQ(Regions().regions[0].mFade, 1.0);
  Draw();
  // A double click on the knobs restores the defaults.
  IMouseState m;
  mGraphics.OnMouseDoubleClick(kx, gain.T + 3, m);
  mGraphics.OnMouseDoubleClick(kx, fade.B - 3, m);
  EXPECT_EQ(Regions().regions[0].mModAmp, 1.0);
  EXPECT_EQ(Regions().regions[0].mFade, 0.1);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionEditingView, TheWheelNeverZoomsBelow9216Samples) {
  // A long history makes the main pane's window narrower than 3 pixels in
  // the overview.
  mEngine.mFramePos = 100000000;
  Draw();
  ASSERT_LT(mView->Inspect().overviewWindow.W(), 3);
  for (int i = 0; i < 200; ++i) mGraphics.OnMouseWheel(300, 200, IMouseState(), 3);
  auto snap = mView->Inspect();
  EXPECT_GT(snap.main.mViewEnd - snap.main.mViewStart, 9216);
  EXPECT_LT(snap.main.mViewEnd - snap.main.mViewStart, 2 * 9216);
  // Zooming out again works from there.
  for (int i = 0; i < 5; ++i) mGraphics.OnMouseWheel(300, 200, IMouseState(), -3);
  snap = mView->Inspect();
  EXPECT_GT(snap.main.mViewEnd - snap.main.mViewStart, 2 * 9216);
  EXPECT_GE(snap.main.mViewStart, 0);
}

TEST_F(RegionEditingView, SelectingARegionOutsideTheViewScrollsToCentreIt) {
  Click(300, 200);
  Draw();
  ModRegion first = Regions().regions[0].mRegion;
  mEngine.ToggleModMute(0);  // keep the lists equal: mute through the view
  mEngine.ToggleModMute(0);
  // Scroll the view far away by the time strip, then select from the panel.
  mView->ChangeAllGains(1.0);  // not neutral, so it is not dropped
  Press(500, 30);  // the time strip, away from the region's start marker
  EXPECT_EQ(Regions().drag, DragMode::kTimeStripPress);
  DragTo(-200000, 30);
  EXPECT_EQ(Regions().drag, DragMode::kTimeStripScroll);
  Release(-200000, 30);
  Draw();
  ASSERT_GT(mView->Inspect().main.mViewStart, first.mEnd);
  mView->SelectRegion(-1);
  Click(300, 200);  // a second region
  mView->SelectRegion(0);
  Draw();
  const auto main = mView->Inspect().main;
  const int64_t centre = (int64_t(main.mViewStart) + main.mViewEnd) / 2;
  EXPECT_NEAR(double(centre), (first.mStart + first.mEnd) / 2.0, 1024.0);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionEditingView, ControlPressDuplicatesAsWrittenAndMovesTheCopy) {
  Click(200, 150);
  mView->ChangeAllGains(-4.0);
  mView->ChangeAllFades(0.2);
  const IRect buttons = Regions().hitRects.regionButtons;
  Click(buttons.L + 5, buttons.T + 18);  // solo
  Click(buttons.L + 5, buttons.T + 33);  // bypass
  const IRect source = Regions().regions[0].mMainRect;
  Press(205, 155, false, true);
  const auto snap = Regions();
  ASSERT_EQ(snap.regions.size(), 2u);
  EXPECT_EQ(snap.selected, 1);
  EXPECT_EQ(snap.drag, DragMode::kMoveSelection);
  EXPECT_EQ(snap.marked, IRect(source.L + 4, source.T + 4, source.R + 4, source.B + 4));
  EXPECT_NEAR(snap.regions[1].mModAmp, snap.regions[0].mModAmp, 1e-12);
  EXPECT_NEAR(snap.regions[1].mFade, snap.regions[0].mFade, 1e-12);
  EXPECT_TRUE(snap.regions[1].mSolo);
  EXPECT_FALSE(snap.regions[1].mBypass);
  Release(205, 155);
  EXPECT_TRUE(Agree());
}

// Random gestures anywhere (far outside the editor too) keep the view's list
// and the engine's equal, and every region finite and inside its limits.
TEST_F(RegionEditingView, RandomGesturesKeepBothListsEqual) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> x(-100, 700), y(-100, 600), kind(0, 9), far(-50000, 50000);
  for (int step = 0; step < 1500; ++step) {
    const int px = x(rng), py = y(rng);
    IMouseState m;
    switch (kind(rng)) {
      case 0: Press(px, py, step % 7 == 0, step % 5 == 0); break;
      case 1: case 2: DragTo(px, py); break;
      case 3: DragTo(far(rng), far(rng)); break;
      case 4: Release(px, py); break;
      case 5: mGraphics.OnMouseOver(px, py, m); break;
      case 6: mGraphics.OnMouseWheel(px, py, m, step % 3 - 1); break;
      case 7: mGraphics.OnMouseDoubleClick(px, py, m); break;
      case 8: mView->SelectRegion(step % 4); break;
      default: Draw(); break;
    }
    ASSERT_TRUE(Agree()) << "step " << step;
    for (const EditorMod& mod : Regions().regions) {
      ASSERT_TRUE(mod.mModAmp > 0.0 && mod.mModAmp <= 100.0 + 1e-9);
      ASSERT_TRUE(mod.mFade >= 0.0 && mod.mFade <= 1.0);
    }
  }
}

}  // namespace
}  // namespace sorvano
