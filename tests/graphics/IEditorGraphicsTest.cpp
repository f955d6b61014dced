#include "graphics/IEditorGraphics.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <set>
#include <thread>
#include <utility>

#include "GraphicsFakes.h"
#include "graphics/IImageControl.h"

namespace sorvano::test {
namespace {

using Events = std::vector<std::string>;

const IMouseState kLeft{1, 0, 0, 0, 0};
const IMouseState kNone{};

// A graphics object with two controls: A at (0,0)-(100,100) bound to
// parameter 1 and B at (200,0)-(300,100) without parameter.
struct Editor : ::testing::Test {
  FakePlug plug;
  RecordingGraphics g{&plug};
  ProbeControl* a = new ProbeControl(&plug, IRect(0, 0, 100, 100), 1);
  ProbeControl* b = new ProbeControl(&plug, IRect(200, 0, 300, 100));

  void SetUp() override {
    ASSERT_EQ(g.AttachControl(a), 0);
    ASSERT_EQ(g.AttachControl(b), 1);
    g.HandleMouseOver(true);
  }
  void CleanAll() {
    g.Draw(IRect(0, 0, 640, 540));
    g.Draw(IRect(0, 0, 640, 540));
    a->drawn.clear();
    b->drawn.clear();
  }
};

TEST(EditorGraphics, ConstructionDefaults) {
  FakePlug plug;
  EXPECT_EQ(RecordingGraphics(&plug, 18).FPS(), 18);
  EXPECT_EQ(RecordingGraphics(&plug, 0).FPS(), 24);
  EXPECT_EQ(RecordingGraphics(&plug, -5).FPS(), 24);
  RecordingGraphics g(&plug);
  EXPECT_EQ(g.Width(), 640);
  EXPECT_EQ(g.Height(), 540);
  EXPECT_FALSE(g.HandlesMouseOver());
  EXPECT_TRUE(g.StrictDrawing());
  EXPECT_FALSE(g.WindowIsOpen());
  EXPECT_EQ(g.SpareQuery(1, 2), 0);
  EXPECT_EQ(g.AttachControl(nullptr), -1);
  EXPECT_EQ(g.NControls(), 0);
  // An empty editor draws nothing and presents nothing.
  EXPECT_TRUE(g.Draw(IRect(0, 0, 10, 10)));
  EXPECT_TRUE(g.presented.empty());
}

TEST_F(Editor, BackgroundGoesBelowEveryControlAndTakesUnclaimedClicks) {
  g.AttachBackground(100, "img/bg.png");
  ASSERT_EQ(g.NControls(), 3);
  auto* bg = dynamic_cast<IImageControl*>(g.GetControl(0));
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(g.GetControl(1), a);
  EXPECT_EQ(g.GetControl(2), b);
  EXPECT_EQ(bg->GetRect(), IRect(0, 0, 640, 540));
  EXPECT_EQ(bg->GetBlend().method, IBlend::kOverwrite);
  EXPECT_EQ(bg->ParamIdx(), -1);

  EXPECT_EQ(g.FindControlAt(150, 50), 0);
  EXPECT_EQ(g.FindControlAt(50, 50), 1);
  g.OnMouseDown(150, 50, kLeft);  // reaches the background, which ignores it
  g.OnMouseUp(150, 50);
  EXPECT_TRUE(plug.events.empty());
  EXPECT_TRUE(g.prompts.empty());
}

TEST_F(Editor, HiddenAndGrayedControlsAreNeverHit) {
  // B overlaps A's right part and lies above it.
  auto* top = new ProbeControl(&plug, IRect(50, 0, 150, 100));
  g.AttachControl(top);
  EXPECT_EQ(g.FindControlAt(60, 10), 2);
  top->Hide(true);
  EXPECT_EQ(g.FindControlAt(60, 10), 0);
  top->Hide(false);
  top->GrayOut(true);
  EXPECT_EQ(g.FindControlAt(60, 10), 0);
  EXPECT_EQ(g.FindControlAt(120, 10), -1);

  // Grayed is drawn at a quarter weight; hidden is not drawn.
  b->Hide(true);
  g.Draw(IRect(0, 0, 640, 540));
  ASSERT_EQ(top->drawWeights.size(), 1u);
  EXPECT_FLOAT_EQ(top->drawWeights[0], 0.25f);
  EXPECT_TRUE(b->drawn.empty());
  top->GrayOut(false);
  EXPECT_FLOAT_EQ(top->GetBlend().weight, 1.0f);
}

TEST_F(Editor, PressCapturesDragAndReleaseAndBracketsTheGesture) {
  g.OnMouseDown(10, 10, kLeft);
  EXPECT_EQ(g.CaptureIndex(), 0);
  EXPECT_EQ(g.FindControlAt(250, 50), 0);  // over B, still A

  g.OnMouseDrag(10, 10, kLeft);  // no movement: not delivered
  g.OnMouseDrag(250, 5, kLeft);
  g.OnMouseDrag(250, 5, kLeft);
  g.OnMouseDrag(245, 8, kLeft);
  g.OnMouseUp(250, 50);
  EXPECT_EQ((Events{"down 10 10", "drag 250 5 240 -5", "drag 245 8 -5 3", "up 250 50"}), a->events);
  EXPECT_TRUE(b->events.empty());
  EXPECT_EQ(g.CaptureIndex(), -1);
  EXPECT_EQ((Events{"begin 1", "end 1"}), plug.events);

  // Without capture, drags go nowhere.
  g.OnMouseDrag(20, 20, kLeft);
  EXPECT_EQ(a->events.size(), 4u);
}

TEST_F(Editor, ReleaseWithoutPressEndsNoGesture) {
  // The second release of a double click on a bound control.
  g.OnMouseDown(10, 10, kLeft);
  g.OnMouseUp(10, 10);
  g.OnMouseDoubleClick(10, 10, kLeft);
  g.OnMouseUp(10, 10);
  EXPECT_EQ((Events{"begin 1", "end 1"}), plug.events);
  EXPECT_EQ(a->events.back(), "up 10 10");  // the control still hears it

  // A press whose release never came is ended before the next one begins.
  plug.events.clear();
  g.OnMouseDown(10, 10, kLeft);
  g.OnMouseDown(20, 20, kLeft);
  g.OnMouseUp(20, 20);
  EXPECT_EQ((Events{"begin 1", "end 1", "begin 1", "end 1"}), plug.events);
}

TEST_F(Editor, DoubleClick) {
  EXPECT_FALSE(g.OnMouseDoubleClick(150, 50, kLeft));  // nothing there
  EXPECT_FALSE(g.OnMouseDoubleClick(250, 50, kLeft));
  EXPECT_EQ((Events{"dbl 250 50"}), b->events);
  EXPECT_EQ(g.CaptureIndex(), -1);

  // Delivered as a press: captured, but no gesture is begun.
  a->SetDblAsSingleClick(true);
  EXPECT_TRUE(g.OnMouseDoubleClick(10, 20, kLeft));
  EXPECT_EQ((Events{"down 10 20"}), a->events);
  EXPECT_EQ(g.CaptureIndex(), 0);
  g.OnMouseDrag(12, 20, kLeft);
  EXPECT_EQ(a->events.back(), "drag 12 20 2 0");
  g.OnMouseUp(12, 20);
  EXPECT_TRUE(plug.events.empty());
}

TEST_F(Editor, WheelGoesToTheControlUnderThePointer) {
  g.OnMouseWheel(250, 50, kNone, -2);
  g.OnMouseWheel(150, 50, kNone, 1);
  EXPECT_EQ((Events{"wheel 250 50 -2"}), b->events);
  EXPECT_TRUE(a->events.empty());
}

TEST_F(Editor, MouseOver) {
  g.HandleMouseOver(false);
  EXPECT_FALSE(g.OnMouseOver(10, 10, kNone));
  EXPECT_TRUE(a->events.empty());

  g.HandleMouseOver(true);
  EXPECT_TRUE(g.OnMouseOver(10, 10, kNone));
  EXPECT_TRUE(g.OnMouseOver(11, 10, kNone));
  // An empty area keeps A as the mouse-over control, without telling it.
  EXPECT_TRUE(g.OnMouseOver(150, 10, kNone));
  EXPECT_EQ(g.MouseOverIndex(), 0);
  EXPECT_EQ((Events{"over 10 10", "over 11 10"}), a->events);
  // Entering B tells A it was left.
  EXPECT_TRUE(g.OnMouseOver(250, 10, kNone));
  EXPECT_EQ(a->events.back(), "out");
  EXPECT_EQ((Events{"over 250 10"}), b->events);
  // Leaving the window tells everybody.
  g.OnMouseOut();
  EXPECT_EQ(b->events.back(), "out");
  EXPECT_EQ(g.MouseOverIndex(), -1);
}

TEST_F(Editor, RedrawCollectsAndCleansEveryControl) {
  IRect r;
  EXPECT_TRUE(g.IsDirty(r));  // dirty from construction
  EXPECT_EQ(r, IRect(0, 0, 300, 100));
  CleanAll();
  r = IRect();
  EXPECT_FALSE(g.IsDirty(r));

  // The union starts from the rectangle passed in.
  b->SetDirty(false);
  r = IRect(0, 200, 10, 210);
  EXPECT_TRUE(g.IsDirty(r));
  EXPECT_EQ(r, IRect(0, 0, 300, 210));

  // A redraw whose rectangle misses B still marks it clean.
  g.Draw(IRect(0, 0, 50, 50));
  EXPECT_EQ(a->drawn.size(), 1u);
  EXPECT_TRUE(b->drawn.empty());
  EXPECT_FALSE(b->IsDirty());

  // One more redraw asked for during a cycle survives exactly one cycle.
  b->Redraw();
  g.Draw(IRect(0, 0, 640, 540));
  EXPECT_TRUE(b->IsDirty());
  g.Draw(IRect(0, 0, 640, 540));
  EXPECT_FALSE(b->IsDirty());

  // Opening a window marks all dirty.
  g.SetAllControlsDirty();
  EXPECT_TRUE(a->IsDirty() && b->IsDirty());
}

TEST_F(Editor, RedrawRectangleTestIsAsymmetricOnTouchingEdges) {
  CleanAll();
  // The redraw's right edge on B's left edge: B is drawn.
  g.Draw(IRect(150, 0, 200, 100));
  EXPECT_EQ(b->drawn.size(), 1u);
  // The redraw's left edge on A's right edge: A is not drawn.
  g.Draw(IRect(100, 0, 150, 100));
  EXPECT_TRUE(a->drawn.empty());
}

TEST_F(Editor, ARedrawCoversEveryControlItTouchesButTheBackground) {
  g.AttachBackground(100, "img/bg.png");
  CleanAll();
  // Touching A only: the redraw takes in all of A (whose drawing may reach
  // beyond the rectangle asked for), not the background's whole picture.
  g.Draw(IRect(10, 10, 20, 20));
  EXPECT_EQ(g.GetDrawRect(), IRect(0, 0, 100, 100));
  EXPECT_EQ(g.presented.back(), IRect(0, 0, 100, 100));
  EXPECT_EQ(a->drawn.size(), 1u);
  EXPECT_TRUE(b->drawn.empty());

  // A control overlapping B is taken in through B, and both are drawn.
  auto* c = new ProbeControl(&plug, IRect(250, 50, 400, 150));
  g.AttachControl(c);
  g.Draw(IRect(150, 0, 210, 10));
  EXPECT_EQ(g.GetDrawRect(), IRect(150, 0, 400, 150));
  EXPECT_EQ(b->drawn.size(), 1u);
  EXPECT_EQ(c->drawn.size(), 1u);
}

TEST_F(Editor, NonStrictDrawingDrawsOnlyDirtyControls) {
  CleanAll();
  g.SetStrictDrawing(false);
  b->SetDirty(false);
  g.Draw(IRect(0, 0, 640, 540));
  EXPECT_TRUE(a->drawn.empty());
  EXPECT_EQ(b->drawn.size(), 1u);
}

TEST_F(Editor, ParameterValuesReachBoundControls) {
  auto* a2 = new ProbeControl(&plug, IRect(0, 200, 10, 210), 1);
  g.AttachControl(a2);
  g.SetParameterFromPlugin(1, 0.25, true);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(a2->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.0);
  // Real values are normalised through the parameter (0..10).
  g.SetParameterFromPlugin(1, 7.5, false);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.75);
  // An index naming no parameter is ignored.
  g.SetParameterFromPlugin(9, 7.5, false);
  g.SetParameterFromPlugin(-1, 2.0, false);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.0);
}

TEST(EditorGraphics, AttachingToThePlugInSetsDefaultsAndPreparesDrawing) {
  FakePlug plug;
  auto* g = new RecordingGraphics(&plug);
  auto* knob = new ProbeControl(&plug, IRect(0, 0, 10, 10), 2);
  g->AttachControl(knob);
  plug.GetParam(2)->Set(2.0);
  plug.AttachEditor(g);  // the plug-in owns g from here
  EXPECT_EQ(g->prepareCount, 1);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.2);
  EXPECT_DOUBLE_EQ(knob->GetDefaultValue(), 0.2);

  // From the control to the plug-in: the host hears of it, the value is set.
  g->OnMouseDown(5, 5, kLeft);
  knob->SetValueFromUser(0.9);
  g->OnMouseUp(5, 5);
  EXPECT_EQ(plug.events, (Events{"begin 2", "set 2 0.900000", "end 2"}));
  EXPECT_DOUBLE_EQ(plug.GetParam(2)->Value(), 9.0);
}

TEST_F(Editor, ResizeDropsControlsAndForgetsMouseState) {
  g.OnMouseOver(250, 10, kNone);  // B is the mouse-over control (index 1)
  g.OnMouseDown(10, 10, kLeft);
  g.Resize(320, 200);
  EXPECT_EQ(g.NControls(), 0);
  EXPECT_EQ(g.Width(), 320);
  EXPECT_EQ(g.Height(), 200);
  EXPECT_EQ(g.CaptureIndex(), -1);
  EXPECT_EQ(g.MouseOverIndex(), -1);
  EXPECT_EQ((Events{"begin 1", "end 1", "refresh 320x200"}), plug.events);

  // The stale mouse-over index must not reach the new list.
  auto* c = new ProbeControl(&plug, IRect(0, 0, 10, 10));
  g.AttachControl(c);
  EXPECT_TRUE(g.OnMouseOver(5, 5, kNone));
  EXPECT_EQ((Events{"over 5 5"}), c->events);
}

TEST(EditorGraphics, DrawImageFrameReadsTheFrameRows) {
  FakePlug plug;
  RecordingGraphics g(&plug);
  const IBlend blend(IBlend::kAdd, 0.5f);
  IImage two{nullptr, 27, 54, 2};
  g.DrawImageFrame(two, IRect(1, 2, 28, 29), 2, &blend);
  g.DrawImageFrame(two, IRect(1, 2, 28, 29), 1, &blend);
  IImage three{nullptr, 10, 100, 3};
  g.DrawImageFrame(three, IRect(), 2, nullptr);
  g.DrawImageFrame(three, IRect(), 3, nullptr);
  g.DrawImageFrame(three, IRect(), 1 << 30, nullptr);  // past the image
  IImage one{nullptr, 10, 100, 1};
  g.DrawImageFrame(one, IRect(), 2, nullptr);
  ASSERT_EQ(g.images.size(), 6u);
  EXPECT_EQ(g.images[0].srcY, 27);
  EXPECT_EQ(g.images[0].srcX, 0);
  EXPECT_EQ(g.images[0].dest, IRect(1, 2, 28, 29));
  EXPECT_EQ(g.images[0].blend.method, IBlend::kAdd);
  EXPECT_EQ(g.images[1].srcY, 0);
  EXPECT_EQ(g.images[2].srcY, 33);  // 33.3 rounds down
  EXPECT_EQ(g.images[3].srcY, 67);  // 66.7 rounds up
  EXPECT_GE(g.images[4].srcY, 100);
  EXPECT_EQ(g.images[5].srcY, 0);
}

// The pixels the recorded axis-aligned lines cover, end points inclusive.
std::set<std::pair<int, int>> Pixels(const std::vector<LineCall>& lines) {
  std::set<std::pair<int, int>> px;
  for (const LineCall& l : lines) {
    const int x1 = static_cast<int>(l.x1), x2 = static_cast<int>(l.x2);
    const int y1 = static_cast<int>(l.y1), y2 = static_cast<int>(l.y2);
    for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x) {
      for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y) px.insert({x, y});
    }
  }
  return px;
}

TEST(EditorGraphics, DrawRectOutlinesIncludingRightAndBottom) {
  FakePlug plug;
  RecordingGraphics g(&plug);
  EXPECT_TRUE(g.DrawRect(IColor(255, 1, 2, 3), IRect(10, 10, 20, 20)));
  ASSERT_EQ(g.lines.size(), 4u);
  for (const LineCall& l : g.lines) {
    EXPECT_EQ(l.blend.method, IBlend::kOverwrite);
    EXPECT_FLOAT_EQ(l.blend.weight, 1.0f);
    EXPECT_FALSE(l.antialias);
    EXPECT_EQ(l.color, IColor(255, 1, 2, 3));
  }
  const auto px = Pixels(g.lines);
  EXPECT_EQ(px.size(), 40u);  // 4 sides of 11 pixels, corners shared
  for (int i = 10; i <= 20; ++i) {
    EXPECT_TRUE(px.count({10, i}) && px.count({20, i}) && px.count({i, 10}) && px.count({i, 20})) << i;
  }
  // Every side is drawn even when one fails.
  g.lines.clear();
  g.lineResult = false;
  EXPECT_FALSE(g.DrawRect(IColor(), IRect(10, 10, 20, 20)));
  EXPECT_EQ(g.lines.size(), 4u);
}

TEST(EditorGraphics, LinesAtFractions) {
  FakePlug plug;
  RecordingGraphics g(&plug);
  const IRect r(100, 50, 200, 90);
  g.DrawVerticalLineAt(IColor(), r, 0.255f);  // x = 100 + trunc(25.5)
  g.DrawVerticalLineAt(IColor(), r, 1.7f);    // clamped to the right edge
  g.DrawVerticalLineAt(IColor(), r, std::nanf(""));
  g.DrawHorizontalLineAt(IColor(), r, 0.25f);  // y = 90 - 10, from the bottom
  g.DrawHorizontalLineAt(IColor(), r, -1.0f);
  ASSERT_EQ(g.lines.size(), 5u);
  EXPECT_EQ(g.lines[0].x1, 125.0f);
  EXPECT_EQ(g.lines[0].x2, 125.0f);
  EXPECT_EQ(g.lines[0].y1, 50.0f);
  EXPECT_EQ(g.lines[0].y2, 90.0f);
  EXPECT_EQ(g.lines[1].x1, 200.0f);
  EXPECT_EQ(g.lines[2].x1, 100.0f);
  EXPECT_EQ(g.lines[3].y1, 80.0f);
  EXPECT_EQ(g.lines[3].x1, 100.0f);
  EXPECT_EQ(g.lines[3].x2, 200.0f);
  EXPECT_EQ(g.lines[4].y1, 90.0f);
}

// A host thread sends rising values while the editor thread redraws: every
// value drawn is one that was sent, they never go backwards, and the last one
// sent is always drawn in the end (no redraw request is lost).
TEST(EditorGraphics, ValuesFromAHostThreadAreDrawnInOrderAndNoneIsLost) {
  constexpr int kValues = 20000;
  for (int round = 0; round < 5; ++round) {
    FakePlug plug;
    RecordingGraphics g(&plug);
    auto* c = new ProbeControl(&plug, IRect(0, 0, 10, 10), 0);
    g.AttachControl(c);
    std::atomic<bool> done{false};
    std::thread host([&] {
      for (int i = 1; i <= kValues; ++i) g.SetParameterFromPlugin(0, static_cast<double>(i) / kValues, true);
      done.store(true);
    });
    const IRect all(0, 0, 640, 540);
    while (!done.load()) {
      IRect r;
      if (g.IsDirty(r)) g.Draw(all);
    }
    host.join();
    for (IRect r; g.IsDirty(r); r = IRect()) g.Draw(all);
    ASSERT_FALSE(c->drawn.empty());
    EXPECT_DOUBLE_EQ(c->drawn.back(), 1.0);
    for (std::size_t i = 1; i < c->drawn.size(); ++i) ASSERT_LE(c->drawn[i - 1], c->drawn[i]);
  }
}

}  // namespace
}  // namespace sorvano::test
