#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "editor/SidePanelLayout.h"
#include "tests/editor/SidePanelFakes.h"

namespace sorvano::test {
namespace {

using namespace at;
using namespace side_panel;

// Text and lines are antialiased, so the checks count pixels whose colour is
// clearly of one kind rather than compare exact words.
bool Reddish(const IColor& c) {
  return c.R > 160 && c.G < 90 && c.B < 90;
}
bool Whitish(const IColor& c) {
  return c.R > 200 && c.G > 200 && c.B > 200;
}
bool Greyish(const IColor& c) {
  return c.R > 100 && c.R < 160 && std::abs(c.R - c.G) < 8 && std::abs(c.G - c.B) < 8;
}
bool Background(const IColor& c) {
  return c == FillControl::kColor;
}

int CountPixels(PanelRig& rig, const IRect& r, const std::function<bool(const IColor&)>& kind) {
  int n = 0;
  for (int y = r.T; y < r.B; ++y) {
    for (int x = r.L; x < r.R; ++x) n += kind(rig.graphics.GetPoint(x, y));
  }
  return n;
}

// The "fit screen" half of the loop text.
constexpr IRect kFitScreen{318, 455, 360, 467};

TEST(SidePanelDrawing, TheNumberShowsTheSelectionAndStaysEmptyWithoutOne) {
  PanelRig rig;
  rig.view.SetRegions(3, -1);
  rig.Draw();
  EXPECT_EQ(CountPixels(rig, kActiveNumber, Background), kActiveNumber.W() * kActiveNumber.H());
  rig.view.SetRegions(3, 2);
  rig.Draw();
  EXPECT_GT(CountPixels(rig, kActiveNumber, Whitish), 0);
  EXPECT_GT(CountPixels(rig, kRegionCount, Whitish), 0);
}

TEST(SidePanelDrawing, KnobsAreGreyWithoutRegionsWhiteWithThemAndRedWhilePressed) {
  PanelRig rig;
  rig.Draw();
  EXPECT_GT(CountPixels(rig, kAllGainKnob, Greyish), 0);
  EXPECT_EQ(CountPixels(rig, kAllGainKnob, Whitish), 0);

  rig.view.SetRegions(2, -1);
  rig.Press(kFadeX, kFadeY);
  rig.Draw();
  EXPECT_GT(CountPixels(rig, kAllGainKnob, Whitish), 0);
  EXPECT_GT(CountPixels(rig, kAllFadeKnob, Reddish), 0);
  EXPECT_EQ(CountPixels(rig, kAllFadeKnob, Whitish), 0);
}

TEST(SidePanelDrawing, TheDiscardBoxIsFilledGreenWhileOnAndOutlinedRedWhilePressed) {
  PanelRig rig;
  rig.Draw();
  EXPECT_EQ(rig.graphics.GetPoint(35, 503), IColor(255, 0, 255, 0));
  EXPECT_EQ(rig.graphics.GetPoint(32, 500), IColor(255, 255, 255, 255));
  EXPECT_EQ(rig.graphics.GetPoint(38, 506), IColor(255, 255, 255, 255));
  EXPECT_TRUE(Background(rig.graphics.GetPoint(39, 507)));

  rig.Press(kDiscardX, kDiscardY);  // switches it off
  rig.Draw();
  EXPECT_TRUE(Background(rig.graphics.GetPoint(35, 503)));
  EXPECT_EQ(rig.graphics.GetPoint(32, 500), IColor(255, 255, 0, 0));
}

TEST(SidePanelDrawing, APressedArrowIsRed) {
  PanelRig rig;
  rig.view.SetRegions(2, 0);
  rig.Press(kPrevX, kPrevY);
  rig.Draw();
  EXPECT_GT(CountPixels(rig, kPrevious, Reddish), 0);
  EXPECT_EQ(CountPixels(rig, kNext, Reddish), 0);
  EXPECT_GT(CountPixels(rig, kNext, Whitish), 0);
}

TEST(SidePanelDrawing, FitScreenShowsInWhiteOnlyWhileALoopIsShown) {
  PanelRig rig;
  rig.Draw();
  // Without a loop the area holds only the end of "no loop detected : ".
  constexpr IRect kPastNoLoopText{336, 455, 360, 467};
  EXPECT_EQ(CountPixels(rig, kFitScreen, Whitish), 0);
  EXPECT_EQ(CountPixels(rig, kPastNoLoopText, Background), kPastNoLoopText.W() * kPastNoLoopText.H());
  rig.panel->ShowLoop(true);
  rig.Draw();
  EXPECT_GT(CountPixels(rig, kFitScreen, Whitish), 0);
}

TEST(SidePanelDrawing, TheActiveFollowLetterIsWhiteAndTheOtherGrey) {
  PanelRig rig;
  rig.Draw();
  EXPECT_GT(CountPixels(rig, kFollowYes, Whitish), 0);
  EXPECT_EQ(CountPixels(rig, kFollowNo, Whitish), 0);
  rig.panel->ShowFollow(false);
  rig.Draw();
  EXPECT_EQ(CountPixels(rig, kFollowYes, Whitish), 0);
  EXPECT_GT(CountPixels(rig, kFollowNo, Whitish), 0);
}

TEST(SidePanelDrawing, TheCountdownCoversTheLeftPartAndFramesTheCurrentSecond) {
  PanelRig rig;
  rig.view.SetRegions(2, 0);
  rig.panel->SetResetCountdown(true);
  rig.clock.Advance(std::chrono::milliseconds(2500));
  rig.Draw();
  EXPECT_EQ(rig.graphics.GetPoint(31, 458), IColor(255, 0, 0, 0));
  EXPECT_EQ(rig.graphics.GetPoint(35, 503), IColor(255, 0, 0, 0));  // no discard box
  // The frame of the third digit ("3"): columns 75 and 89, rows 461 and 475.
  EXPECT_EQ(rig.graphics.GetPoint(75, 468), IColor(255, 255, 255, 255));
  EXPECT_EQ(rig.graphics.GetPoint(89, 461), IColor(255, 255, 255, 255));
  EXPECT_EQ(rig.graphics.GetPoint(59, 468), IColor(255, 0, 0, 0));
  EXPECT_GT(CountPixels(rig, kCountdownWillBeDeleted, Whitish), 0);
}

}  // namespace
}  // namespace sorvano::test

namespace sorvano::test {
namespace {

using namespace side_panel;

// The rows of r holding any whitish ink, top to bottom.
std::vector<int> InkRows(PanelRig& rig, const IRect& r) {
  std::vector<int> rows;
  for (int y = r.T; y < r.B; ++y) {
    bool ink = false;
    for (int x = r.L; x < r.R && !ink; ++x) {
      const IColor c = rig.graphics.GetPoint(x, y);
      ink = c.R > 128 && c.G > 128 && c.B > 128;
    }
    if (ink) rows.push_back(y);
  }
  return rows;
}

TEST(SidePanelDrawing, TheCountdownsTextsStandClearOfTheFrameAndOfEachOther) {
  PanelRig rig;
  rig.panel->SetResetCountdown(true);
  rig.Draw();
  // The framed "5": its ink lies between the frame's top and bottom lines
  // (rows 461 and 475), none of it on or below the bottom line.
  const IRect inside(kCountdownFirstFrame.L + 1, kCountdownFirstFrame.T + 1, kCountdownFirstFrame.R,
                     kCountdownFirstFrame.B);
  const std::vector<int> digit = InkRows(rig, inside);
  ASSERT_FALSE(digit.empty());
  EXPECT_GT(digit.front(), kCountdownFirstFrame.T + 1);
  EXPECT_LT(digit.back(), kCountdownFirstFrame.B - 1);
  const IRect below(inside.L, kCountdownFirstFrame.B + 1, inside.R, kCountdownFirstFrame.B + 6);
  EXPECT_TRUE(InkRows(rig, below).empty());
  // "all data" and "will be deleted!" with at least one empty row between them.
  const std::vector<int> lines = InkRows(rig, IRect(41, 478, 123, 510));
  ASSERT_FALSE(lines.empty());
  bool gap = false;
  for (std::size_t i = 1; i < lines.size(); ++i) gap = gap || lines[i] > lines[i - 1] + 1;
  EXPECT_TRUE(gap);
  EXPECT_LT(lines.back(), kCountdownBox.B);
}

// Paints its rectangle and, while drawing, tells the panel about a loop, as
// the sonogram view does when its playback tracker sees the host jump back.
class LoopNewsControl : public IEditorControl {
public:
  explicit LoopNewsControl(SidePanel*& panel)
      : IEditorControl(nullptr, IRect(0, 0, 640, 440), -1), mPanel(panel) {}
  bool Draw(IEditorGraphics&) override {
    if (mPanel && tell) mPanel->ShowLoop(true);
    return true;
  }

  bool tell = false;

private:
  SidePanel*& mPanel;
};

TEST(SidePanelDrawing, ALoopToldWhileAnotherControlDrawsIsShownAtTheNextTick) {
  SidePanel* panel = nullptr;
  TestEditor graphics;
  graphics.AttachControl(new FillControl);
  auto* news = new LoopNewsControl(panel);
  graphics.AttachControl(news);
  FakePluginLink plugin;
  panel = new SidePanel(&plugin, kPanel);
  graphics.AttachControl(panel);
  graphics.Draw(IRect(0, 0, 640, 540));

  // A tick that redraws only the control above the panel.
  news->tell = true;
  news->SetDirty(false);
  IRect dirty;
  ASSERT_TRUE(graphics.IsDirty(dirty));
  ASSERT_FALSE(dirty.Intersects(kPanel));
  graphics.Draw(dirty);
  EXPECT_TRUE(panel->LoopShown());

  // The next tick draws the panel with "fit screen" beside the loop text.
  IRect next;
  ASSERT_TRUE(graphics.IsDirty(next));
  EXPECT_TRUE(next.Intersects(kPanel));
  graphics.Draw(next);
  int white = 0;
  for (int y = kLoopText.T; y < kLoopText.B; ++y) {
    for (int x = 318; x < kLoopText.R; ++x) {
      const IColor c = graphics.GetPoint(x, y);
      white += c.R > 200 && c.G > 200 && c.B > 200;
    }
  }
  EXPECT_GT(white, 0);
}

}  // namespace
}  // namespace sorvano::test
