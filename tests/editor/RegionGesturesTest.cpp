#include "editor/RegionGestures.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "editor/SelectionLayout.h"

namespace sorvano {
namespace {

constexpr IRect kPane{30, 40, 576, 353};

bool Inside(const IRect& r, const IRect& pane) {
  return r.L >= pane.L && r.T >= pane.T && r.R <= pane.R && r.B <= pane.B;
}

TEST(RegionGesturesDrag, CornersStopAtThePaneAndKeepTheSmallestSize) {
  const IRect r(100, 100, 200, 150);
  EXPECT_EQ(RegionGestures::DragTopLeft(r, kPane, -5, 7), IRect(95, 107, 200, 150));
  EXPECT_EQ(RegionGestures::DragTopLeft(r, kPane, -500, -500), IRect(30, 40, 200, 150));
  EXPECT_EQ(RegionGestures::DragTopLeft(r, kPane, 500, 500), IRect(188, 147, 200, 150));
  EXPECT_EQ(RegionGestures::DragBottomRight(r, kPane, 5, -7), IRect(100, 100, 205, 143));
  EXPECT_EQ(RegionGestures::DragBottomRight(r, kPane, -500, -500), IRect(100, 100, 112, 103));
  EXPECT_EQ(RegionGestures::DragBottomRight(r, kPane, 5000, 5000), IRect(100, 100, 576, 353));
  // Pointer deltas from far outside the window neither overflow nor escape.
  EXPECT_EQ(RegionGestures::DragTopLeft(r, kPane, INT_MIN, INT_MIN), IRect(30, 40, 200, 150));
  EXPECT_EQ(RegionGestures::DragBottomRight(r, kPane, INT_MAX, INT_MAX), IRect(100, 100, 576, 353));
}

TEST(RegionGesturesDrag, EachModeMovesOnlyItsEdges) {
  const IRect r(100, 100, 200, 150);
  using M = DragMode;
  EXPECT_EQ(RegionGestures::Drag(M::kSelectionStart, r, kPane, -10, 30), IRect(90, 100, 200, 150));
  EXPECT_EQ(RegionGestures::Drag(M::kSelectionEnd, r, kPane, 10, 30), IRect(100, 100, 210, 150));
  EXPECT_EQ(RegionGestures::Drag(M::kSelectionLow, r, kPane, 10, 30), IRect(100, 100, 200, 180));
  EXPECT_EQ(RegionGestures::Drag(M::kSelectionHigh, r, kPane, 10, -30), IRect(100, 70, 200, 150));
  EXPECT_EQ(RegionGestures::Drag(M::kSelectionTopLeft, r, kPane, 10, 10), IRect(110, 110, 200, 150));
  EXPECT_EQ(RegionGestures::Drag(M::kSelectionBottomRight, r, kPane, 10, 10), IRect(100, 100, 210, 160));
  EXPECT_EQ(RegionGestures::Drag(M::kMoveSelection, r, kPane, 10, 10), IRect(110, 110, 210, 160));
  EXPECT_EQ(RegionGestures::Drag(M::kGainKnob, r, kPane, 10, 10), r);
  EXPECT_EQ(RegionGestures::CornerOf(M::kSelectionStart), PaneMapping::Corner::kTopLeft);
  EXPECT_EQ(RegionGestures::CornerOf(M::kSelectionLow), PaneMapping::Corner::kBottomRight);
  EXPECT_EQ(RegionGestures::CornerOf(M::kMoveOverviewWindow), PaneMapping::Corner::kBoth);
  EXPECT_EQ(RegionGestures::AfterNewRegion(1, -5), M::kSelectionBottomRight);
  EXPECT_EQ(RegionGestures::AfterNewRegion(0, 0), M::kSelectionTopLeft);
  EXPECT_EQ(RegionGestures::AfterNewRegion(-3, -1), M::kSelectionTopLeft);
}

TEST(RegionGesturesDrag, MovingKeepsTheSizeAndTheSideMarginInsideThePane) {
  const IRect r(100, 100, 200, 150);
  // Into the left side: stops 17 pixels from it; the top: at the edge.
  EXPECT_EQ(RegionGestures::Drag(DragMode::kMoveSelection, r, kPane, -90, -90), IRect(47, 40, 147, 90));
  // The right and bottom: the last column and line are the pane's.
  EXPECT_EQ(RegionGestures::Drag(DragMode::kMoveSelection, r, kPane, 900, 900), IRect(459, 303, 559, 353));
  // The overview window moves without the margin.
  const IRect overview(30, 362, 605, 429);
  EXPECT_EQ(RegionGestures::Drag(DragMode::kMoveOverviewWindow, IRect(100, 370, 150, 400), overview, -999, 0),
            IRect(30, 370, 80, 400));
  for (int dx : {INT_MIN, -100000, -3, 0, 7, 100000, INT_MAX}) {
    for (int dy : {INT_MIN, -50, 0, 50, INT_MAX}) {
      const IRect moved = RegionGestures::Drag(DragMode::kMoveSelection, r, kPane, dx, dy);
      EXPECT_EQ(moved.W(), r.W());
      EXPECT_EQ(moved.H(), r.H());
      EXPECT_TRUE(Inside(moved, IRect(kPane.L + 17, kPane.T, kPane.R - 17, kPane.B))) << dx << " " << dy;
    }
  }
}

std::vector<EditorMod> Mods(std::initializer_list<IRect> rects) {
  std::vector<EditorMod> mods;
  for (const IRect& r : rects) {
    EditorMod m;
    m.mMainRect = r;
    mods.push_back(m);
  }
  return mods;
}

TEST(RegionGesturesHit, AnOutlineWinsOverAnInsideAndTheSelectionIsSkipped) {
  // 0 contains 1; 2 lies over both.
  const auto mods = Mods({IRect(50, 50, 300, 300), IRect(100, 100, 150, 150), IRect(120, 60, 400, 200)});
  EXPECT_EQ(RegionGestures::HitTest(mods, -1, 130, 130), 2);   // inside all three: the last
  EXPECT_EQ(RegionGestures::HitTest(mods, -1, 100, 130), 1);   // on 1's left column
  EXPECT_EQ(RegionGestures::HitTest(mods, -1, 150, 120), 1);   // on 1's right column
  EXPECT_EQ(RegionGestures::HitTest(mods, -1, 200, 300), 0);   // on 0's bottom line
  EXPECT_EQ(RegionGestures::HitTest(mods, 2, 130, 130), 1);    // the selection is skipped
  EXPECT_EQ(RegionGestures::HitTest(mods, 1, 100, 130), 0);
  EXPECT_EQ(RegionGestures::HitTest(mods, -1, 10, 10), -1);
  EXPECT_EQ(RegionGestures::HitTest(Mods({IRect()}), -1, 0, 0), -1);  // an empty rect never hits
}

TEST(RegionGesturesStrips, MarkersNearTheSelectionAndTheStripsBesideThePane) {
  const IRect sel(200, 100, 300, 200);
  using M = DragMode;
  EXPECT_EQ(RegionGestures::EdgeMarkerAt(kPane, sel, 175, 30), M::kSelectionStart);
  EXPECT_EQ(RegionGestures::EdgeMarkerAt(kPane, sel, 320, 30), M::kSelectionEnd);
  EXPECT_EQ(RegionGestures::EdgeMarkerAt(kPane, sel, 250, 30), M::kNone);
  EXPECT_EQ(RegionGestures::EdgeMarkerAt(kPane, sel, 590, 195), M::kSelectionLow);
  EXPECT_EQ(RegionGestures::EdgeMarkerAt(kPane, sel, 590, 105), M::kSelectionHigh);
  EXPECT_EQ(RegionGestures::EdgeMarkerAt(kPane, sel, 590, 150), M::kNone);
  EXPECT_EQ(RegionGestures::EdgeMarkerAt(kPane, IRect(), 590, 0), M::kNone);
  EXPECT_EQ(RegionGestures::StripAt(kPane, 250, 30), M::kTimeStripPress);
  EXPECT_EQ(RegionGestures::StripAt(kPane, 590, 150), M::kFrequencyZoom);
  EXPECT_EQ(RegionGestures::StripAt(kPane, 590, 30), M::kNone);
  EXPECT_EQ(RegionGestures::StripAt(kPane, 100, 400), M::kNone);
}

TEST(RegionGesturesCentre, TheRegionLandsInTheMiddleOfTheSpan) {
  EXPECT_EQ(RegionGestures::CentredStart({1000000, 1100000, 0, 0, 0, 0}, 220160), 939920);
  EXPECT_EQ(RegionGestures::CentredStart({1024, 2048, 0, 0, 0, 0}, 220160), 0);
}

TEST(SelectionLayout, WidgetsSitBesideTheRegionAndStayOffThePaneSides) {
  const SelectionLayout tall = SelectionLayout::For(IRect(200, 100, 300, 250), kPane);
  EXPECT_EQ(tall.mButtons, IRect(183, 100, 200, 161));
  EXPECT_EQ(tall.mMute, IRect(185, 102, 200, 115));
  EXPECT_EQ(tall.mDelete, IRect(185, 147, 200, 161));
  EXPECT_EQ(tall.mGainHit, IRect(300, 189, 317, 220));
  EXPECT_EQ(tall.mFadeHit, IRect(300, 220, 317, 250));
  EXPECT_EQ(tall.mGainX, 308);
  EXPECT_EQ(tall.mGainY, 212);
  EXPECT_EQ(tall.mTextBox, IRect(252, 235, 295, 247));
  EXPECT_EQ(tall.mTopLeftHandleHit, IRect(194, 91, 217, 110));
  EXPECT_EQ(tall.mBottomRightHandleHit, IRect(292, 242, 315, 261));
  EXPECT_EQ(SelectionLayout::ButtonAt(tall.mButtons, 190, 100), DragMode::kMuteButton);
  EXPECT_EQ(SelectionLayout::ButtonAt(tall.mButtons, 190, 115), DragMode::kSoloButton);
  EXPECT_EQ(SelectionLayout::ButtonAt(tall.mButtons, 190, 144), DragMode::kBypassButton);
  EXPECT_EQ(SelectionLayout::ButtonAt(tall.mButtons, 190, 145), DragMode::kDeleteButton);
  EXPECT_EQ(SelectionLayout::ButtonAt(tall.mButtons, 190, 160), DragMode::kDeleteButton);
  EXPECT_EQ(SelectionLayout::ButtonAt(tall.mButtons, 190, 161), DragMode::kNone);

  // A low, narrow region at the pane's left: lifted columns, clamped sides,
  // the text box below it.
  const SelectionLayout low = SelectionLayout::For(IRect(30, 100, 42, 112), kPane);
  EXPECT_EQ(low.mButtons, IRect(30, 92, 47, 153));
  EXPECT_EQ(low.mRightEar, IRect(50, 92, 67, 153));
  EXPECT_EQ(low.mTextBox, IRect(28, 117, 72, 129));
  // At the right side the knob column stops 17 pixels inside.
  const SelectionLayout right = SelectionLayout::For(IRect(500, 100, 576, 300), kPane);
  EXPECT_EQ(right.mGainHit.L, 559);
}

}  // namespace
}  // namespace sorvano
