#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <thread>

#include "tests/editor/SidePanelFakes.h"
#include "tests/graphics/GraphicsFakes.h"

namespace sorvano::test {
namespace {

using namespace at;
using Pressed = SidePanel::PressedArea;

TEST(SidePanelSelection, PreviousFromNoSelectionSelectsTheLastAndNextTheFirst) {
  PanelRig rig;
  rig.view.SetRegions(4, -1);
  rig.Click(kPrevX, kPrevY);
  EXPECT_EQ(rig.view.Last().value, 3);
  EXPECT_EQ(rig.panel->ActiveIndex(), 3);

  rig.view.SetRegions(4, -1);
  rig.Click(kNextX, kNextY);
  EXPECT_EQ(rig.view.Last().value, 0);
  EXPECT_EQ(rig.panel->ActiveIndex(), 0);
}

TEST(SidePanelSelection, PreviousAndNextWrapAroundTheList) {
  PanelRig rig;
  rig.view.SetRegions(3, 0);
  rig.Click(kPrevX, kPrevY);
  EXPECT_EQ(rig.panel->ActiveIndex(), 2);
  rig.Click(kNextX, kNextY);
  EXPECT_EQ(rig.panel->ActiveIndex(), 0);
  rig.Click(kNextX, kNextY);
  EXPECT_EQ(rig.panel->ActiveIndex(), 1);
}

TEST(SidePanelSelection, TheWheelOnTheNumberStepsBackAndForthWithWrapping) {
  PanelRig rig;
  rig.view.SetRegions(3, -1);
  rig.Wheel(kNumberX, kNumberY, 1);
  EXPECT_EQ(rig.panel->ActiveIndex(), 0);
  rig.Wheel(kNumberX, kNumberY, -1);
  EXPECT_EQ(rig.panel->ActiveIndex(), 2);
  rig.Wheel(kNumberX, kNumberY, -3);
  EXPECT_EQ(rig.panel->ActiveIndex(), 1);
  // A wheel event without a notch moves nothing.
  rig.Wheel(kNumberX, kNumberY, 0);
  EXPECT_EQ(rig.view.Count("select"), 3);
}

TEST(SidePanelSelection, ADoubleClickOnAnArrowCountsAsASecondPress) {
  PanelRig rig;
  rig.view.SetRegions(5, 0);
  rig.Click(kNextX, kNextY);
  rig.DoubleClick(kNextX, kNextY);
  rig.Release(kNextX, kNextY);
  EXPECT_EQ(rig.panel->ActiveIndex(), 2);
  EXPECT_EQ(rig.panel->Pressed(), Pressed::kNone);
}

TEST(SidePanelWithoutRegions, ArrowsKnobsAndNumberDoNothing) {
  PanelRig rig;
  rig.view.SetRegions(0, -1);
  rig.Click(kPrevX, kPrevY);
  rig.Click(kNextX, kNextY);
  rig.DoubleClick(kNextX, kNextY);
  rig.Wheel(kNumberX, kNumberY, 1);
  for (const auto& [x, y] : {std::pair{kGainX, kGainY}, std::pair{kFadeX, kFadeY}}) {
    rig.Press(x, y);
    EXPECT_EQ(rig.panel->Pressed(), Pressed::kNone);
    rig.Drag(x, y - 20);
    rig.Release(x, y - 20);
    rig.Wheel(x, y, 4);
    rig.DoubleClick(x, y);
  }
  for (const char* op : {"select", "gains", "fades"}) EXPECT_EQ(rig.view.Count(op), 0) << op;
  EXPECT_EQ(rig.panel->AllGainDb(), 0.0);
  EXPECT_EQ(rig.panel->AllFade(), SidePanel::kInitialAllFade);
}

TEST(SidePanelKnobs, TheAllGainKnobSumsItsChangesAndADoubleClickTakesThemBack) {
  PanelRig rig;
  rig.view.SetRegions(2, -1);
  rig.Press(kGainX, kGainY);
  rig.Drag(kGainX, kGainY - 5);  // up 5 pixels: +0.5 dB
  rig.Drag(kGainX, kGainY - 3);  // down 2: -0.2 dB
  rig.Release(kGainX, kGainY - 3);
  rig.Wheel(kGainX, kGainY, 10);  // -0.1 dB
  EXPECT_NEAR(rig.view.Sum("gains"), 0.2, 1e-12);
  EXPECT_NEAR(rig.panel->AllGainDb(), 0.2, 1e-12);

  rig.DoubleClick(kGainX, kGainY);
  EXPECT_NEAR(rig.view.Last().value, -0.2, 1e-12);
  EXPECT_EQ(rig.panel->AllGainDb(), 0.0);
}

TEST(SidePanelKnobs, TheAllFadeKnobStepsByHundredthsPerPixelAndTenthsPerNotch) {
  PanelRig rig;
  rig.view.SetRegions(1, 0);
  rig.Press(kFadeX, kFadeY);
  rig.Drag(kFadeX, kFadeY - 4);
  rig.Release(kFadeX, kFadeY - 4);
  EXPECT_NEAR(rig.view.Sum("fades"), 0.04, 1e-12);
  rig.Wheel(kFadeX, kFadeY, -1);
  EXPECT_EQ(rig.view.Last().op, "fades");
  EXPECT_NEAR(rig.view.Last().value, 0.1, 1e-12);
  EXPECT_NEAR(rig.panel->AllFade(), 0.24, 1e-12);
}

TEST(SidePanelKnobs, FarDragsAndWheelsKeepEveryValueFiniteAndWithinItsLimits) {
  PanelRig rig;
  rig.view.SetRegions(3, 1);
  // A drag that leaves the window reports positions far outside it.
  rig.Press(kGainX, kGainY);
  rig.Drag(kGainX, -2000000000);
  rig.Drag(kGainX, -2100000000);
  rig.Release(kGainX, -2100000000);
  rig.Wheel(kGainX, kGainY, -2147483647);
  rig.Press(kFadeX, kFadeY);
  rig.Drag(kFadeX, 2000000000);
  rig.Release(kFadeX, 2000000000);
  rig.Wheel(kFadeX, kFadeY, 2147483647);

  for (const ViewCall& c : rig.view.calls) EXPECT_TRUE(std::isfinite(c.value)) << c.op;
  EXPECT_EQ(rig.panel->AllGainDb(), SidePanel::kAllGainLimitDb);
  EXPECT_EQ(rig.panel->AllFade(), -SidePanel::kAllFadeLimit);
  // What the view was told adds up to the values shown.
  EXPECT_NEAR(rig.view.Sum("gains"), SidePanel::kAllGainLimitDb, 1e-9);
  EXPECT_NEAR(rig.view.Sum("fades"), -SidePanel::kAllFadeLimit - SidePanel::kInitialAllFade, 1e-9);
}

TEST(SidePanelKnobs, AfterTheLastRegionIsDeletedBothKnobsReadZero) {
  PanelRig rig;
  rig.view.SetRegions(2, 0);
  rig.Press(kGainX, kGainY);
  rig.Drag(kGainX, kGainY - 10);
  rig.Release(kGainX, kGainY - 10);
  rig.Press(kFadeX, kFadeY);
  rig.Drag(kFadeX, kFadeY + 3);
  rig.Release(kFadeX, kFadeY + 3);
  rig.view.SetRegions(0, -1);
  EXPECT_EQ(rig.panel->AllGainDb(), 0.0);
  EXPECT_EQ(rig.panel->AllFade(), 0.0);
}

TEST(SidePanelKnobs,
     TheFadeDoubleClickAfterRegionsCameBackSubtractsTheChangesSinceAndSetsTheStart) {
  PanelRig rig;
  rig.view.SetRegions(1, 0);
  rig.Wheel(kFadeX, kFadeY, -2);
  rig.view.SetRegions(0, -1);
  rig.view.SetRegions(2, 1);
  rig.Press(kFadeX, kFadeY);
  rig.Drag(kFadeX, kFadeY - 3);
  rig.Release(kFadeX, kFadeY - 3);
  rig.DoubleClick(kFadeX, kFadeY);
  EXPECT_EQ(rig.view.Last().op, "fades");
  EXPECT_NEAR(rig.view.Last().value, -0.03, 1e-12);
  EXPECT_EQ(rig.panel->AllFade(), SidePanel::kInitialAllFade);
}

TEST(SidePanelFadeHover, HoveringTheFadeKnobShowsEveryFadeExtentAndLeavingHidesIt) {
  PanelRig rig;
  rig.Move(kFadeX, kFadeY);
  EXPECT_TRUE(rig.panel->FadeHover());
  rig.Move(kFadeX + 1, kFadeY);  // still on it: nothing new for the view
  rig.Move(kGainX, kGainY);
  rig.Move(kFadeX, kFadeY);
  rig.graphics.OnMouseOut();
  ASSERT_EQ(rig.view.Count("showFades"), 4);
  EXPECT_EQ(rig.view.Sum("showFades"), 2);
  EXPECT_EQ(rig.view.Last().value, 0);
  EXPECT_FALSE(rig.panel->FadeHover());
}

TEST(SidePanelFadeHover, TheFadeDragShowsEveryFadeExtentUntilTheRelease) {
  PanelRig rig;
  rig.view.SetRegions(2, -1);
  // No movement over the knob before the press: the press alone shows them.
  rig.Press(kFadeX, kFadeY);
  EXPECT_EQ(rig.view.Sum("showFades"), 1);
  rig.Drag(kFadeX + 40, kFadeY - 30);
  // Movement reports while the knob is held change nothing.
  rig.panel->OnMouseOver(kFadeX + 40, kFadeY - 30, IMouseState{});
  EXPECT_TRUE(rig.panel->FadeHover());
  EXPECT_EQ(rig.view.Count("showFades"), 1);
  rig.Release(kFadeX + 40, kFadeY - 30);
  EXPECT_EQ(rig.view.Last().op, "showFades");
  EXPECT_EQ(rig.view.Last().value, 0);
  EXPECT_EQ(rig.panel->Pressed(), Pressed::kNone);
}

TEST(SidePanelSwitches, FitScreenReactsOnlyWhileALoopIsShown) {
  PanelRig rig;
  rig.Click(kLoopX, kLoopY);
  EXPECT_EQ(rig.view.Count("fitLoop"), 0);
  rig.panel->ShowLoop(true);
  rig.Press(kLoopX, kLoopY);
  EXPECT_EQ(rig.panel->Pressed(), Pressed::kFitScreen);
  EXPECT_EQ(rig.view.Count("fitLoop"), 1);
  rig.Release(kLoopX, kLoopY);
  rig.panel->ShowLoop(false);
  rig.Click(kLoopX, kLoopY);
  EXPECT_EQ(rig.view.Count("fitLoop"), 1);
}

TEST(SidePanelSwitches, FollowAndDiscardToggleTheViewsSwitches) {
  PanelRig rig;
  rig.Click(kFollowX, kFollowY);
  EXPECT_FALSE(rig.panel->FollowShown());
  EXPECT_EQ(rig.view.Last().op, "follow");
  EXPECT_EQ(rig.view.Last().value, 0);
  rig.panel->ShowFollow(true);  // a press on the view, or the switch again
  rig.Click(kFollowX, kFollowY);
  EXPECT_EQ(rig.view.Last().value, 0);

  rig.Click(kDiscardX, kDiscardY);
  EXPECT_FALSE(rig.panel->DiscardShown());
  EXPECT_EQ(rig.view.Last().op, "dropNeutral");
  EXPECT_EQ(rig.view.Last().value, 0);
  rig.Click(kDiscardX, kDiscardY);
  EXPECT_EQ(rig.view.Last().value, 1);
}

TEST(SidePanelSwitches, ClickAndWheelOnTheMapNameCycleTheColourMap) {
  PanelRig rig;
  rig.Click(kMapX, kMapY);
  rig.Wheel(kMapX, kMapY, -1);
  EXPECT_EQ(rig.plugin.cycles, 2);
  EXPECT_EQ(rig.plugin.map, 2);
}

TEST(SidePanelSwitches, CyclingTheMapGivesUpWhenTheEditorClosesWhileTheHostHoldsTheLock) {
  FakePlug effect;
  PanelRig rig;
  rig.plugin.effect = &effect;
  std::promise<void> locked, release;
  std::thread host([&] {
    effect.Lock();
    locked.set_value();
    release.get_future().wait();
    effect.Unlock();
  });
  locked.get_future().wait();
  rig.graphics.SetClosing(true);
  rig.Click(kMapX, kMapY);
  release.set_value();
  host.join();
  EXPECT_EQ(rig.plugin.cycles, 0);

  rig.graphics.SetClosing(false);
  rig.Click(kMapX, kMapY);
  EXPECT_EQ(rig.plugin.cycles, 1);
}

}  // namespace
}  // namespace sorvano::test
