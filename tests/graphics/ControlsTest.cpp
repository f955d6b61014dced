#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "GraphicsFakes.h"
#include "graphics/IImageControl.h"
#include "graphics/ILineKnobControl.h"
#include "graphics/ILinkControl.h"
#include "graphics/IMomentaryButton.h"

namespace sorvano::test {
namespace {

using Events = std::vector<std::string>;

const IMouseState kLeft{1, 0, 0, 0, 0};
const IMouseState kRight{0, 1, 0, 0, 0};
const IMouseState kShift{0, 0, 1, 0, 0};
const IMouseState kCtrl{0, 0, 0, 1, 0};

struct Controls : ::testing::Test {
  FakePlug plug;
  RecordingGraphics g{&plug};

  template <typename C>
  C* Attach(C* c) {
    g.AttachControl(c);
    return c;
  }
  // Runs redraw cycles until the control is clean; answers how many it took.
  int CyclesUntilClean(IEditorControl* c) {
    int n = 0;
    while (c->IsDirty() && n < 5) {
      c->SetClean();
      ++n;
    }
    return n;
  }
};

TEST_F(Controls, SetDirtyClampsBeforeSending) {
  auto* c = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10), 1));
  c->SetValueFromUser(1.3);
  EXPECT_DOUBLE_EQ(c->GetValue(), 1.0);
  c->SetValueFromUser(-0.2);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.0);
  c->SetClamp(0.2, 0.6);
  c->SetValueFromUser(0.9);
  EXPECT_EQ(plug.events, (Events{"set 1 1.000000", "set 1 0.000000", "set 1 0.600000"}));

  // Unbound: only marks dirty.
  plug.events.clear();
  auto* free = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10)));
  free->SetClean();
  free->SetDirty(true);
  EXPECT_TRUE(free->IsDirty());
  EXPECT_TRUE(plug.events.empty());
}

TEST_F(Controls, WheelSteps) {
  auto* c = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10), 1));
  c->SetValueFromUser(0.5);
  c->IEditorControl::OnMouseWheel(0, 0, IMouseState{}, 3);
  EXPECT_NEAR(c->GetValue(), 0.53, 1e-12);
  c->IEditorControl::OnMouseWheel(0, 0, kShift, 3);
  EXPECT_NEAR(c->GetValue(), 0.533, 1e-12);
  c->IEditorControl::OnMouseWheel(0, 0, kCtrl, -1);
  EXPECT_NEAR(c->GetValue(), 0.532, 1e-12);
  c->SetValueFromUser(0.01);
  c->IEditorControl::OnMouseWheel(0, 0, IMouseState{}, -2);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.0);  // clamped
  EXPECT_EQ(plug.events.back(), "set 1 0.000000");
}

TEST_F(Controls, DoubleClickRestoresTheFirstValueFromThePlugIn) {
  auto* c = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10), 1));
  c->SetValueFromUser(0.7);
  plug.events.clear();
  c->IEditorControl::OnMouseDoubleClick(0, 0, kLeft);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.7);  // no default yet
  EXPECT_TRUE(plug.events.empty());

  c->SetValueFromPlugin(0.3);
  c->SetValueFromPlugin(0.8);
  EXPECT_DOUBLE_EQ(c->GetDefaultValue(), 0.3);
  c->IEditorControl::OnMouseDoubleClick(0, 0, kLeft);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.3);
  EXPECT_EQ(plug.events, (Events{"set 1 0.300000"}));
}

TEST_F(Controls, ValueFromPlugInMarksForTwoCyclesUnlessUnchanged) {
  auto* c = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10), 1));
  CyclesUntilClean(c);
  c->SetValueFromPlugin(0.4);  // first value: also the default
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.4);
  EXPECT_EQ(CyclesUntilClean(c), 2);
  c->SetValueFromPlugin(0.4);  // unchanged: nothing
  EXPECT_FALSE(c->IsDirty());
  EXPECT_FALSE(c->IsRedrawPending());
  c->SetValueFromPlugin(0.6);
  EXPECT_EQ(CyclesUntilClean(c), 2);
  EXPECT_TRUE(plug.events.empty());  // never sent back to the plug-in
}

TEST_F(Controls, HideGrayAndUserValues) {
  auto* c = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10), 1));
  CyclesUntilClean(c);
  c->Hide(true);
  EXPECT_TRUE(c->IsHidden());
  EXPECT_EQ(CyclesUntilClean(c), 2);
  c->GrayOut(true);
  EXPECT_FLOAT_EQ(c->GetBlend().weight, 0.25f);
  EXPECT_EQ(CyclesUntilClean(c), 1);
  c->GrayOut(false);
  EXPECT_FLOAT_EQ(c->GetBlend().weight, 1.0f);

  c->SetValueFromUser(0.0);  // unchanged: nothing
  EXPECT_TRUE(plug.events.empty());
  CyclesUntilClean(c);
  c->SetValueFromUser(0.5);
  EXPECT_EQ(plug.events, (Events{"set 1 0.500000"}));
  EXPECT_EQ(CyclesUntilClean(c), 2);

  // The hit area can differ from the drawn one.
  EXPECT_TRUE(c->IsHit(9, 9));
  c->SetTargetRect(IRect(20, 20, 30, 30));
  EXPECT_FALSE(c->IsHit(9, 9));
  EXPECT_TRUE(c->IsHit(20, 20));
  EXPECT_FALSE(c->IsHit(30, 30));
}

TEST_F(Controls, RightClickPromptsForTheBoundParameter) {
  auto* bound = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10), 2));
  auto* beyond = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10), 7));
  auto* unbound = Attach(new ProbeControl(&plug, IRect(0, 0, 10, 10)));
  bound->IEditorControl::OnMouseDown(0, 0, kLeft);
  EXPECT_TRUE(g.prompts.empty());
  CyclesUntilClean(bound);
  bound->IEditorControl::OnMouseDown(0, 0, kRight);
  ASSERT_EQ(g.prompts.size(), 1u);
  EXPECT_EQ(g.prompts[0].first, bound);
  EXPECT_EQ(g.prompts[0].second, plug.GetParam(2));
  EXPECT_TRUE(bound->IsRedrawPending());

  beyond->IEditorControl::OnMouseDown(0, 0, kRight);
  ASSERT_EQ(g.prompts.size(), 2u);
  EXPECT_EQ(g.prompts[1].second, nullptr);

  unbound->IEditorControl::OnMouseDown(0, 0, kRight);
  bound->DisablePrompt(true);
  bound->IEditorControl::OnMouseDown(0, 0, kRight);
  EXPECT_EQ(g.prompts.size(), 2u);
}

TEST_F(Controls, ImageControlShowsTheFrameOfItsValue) {
  const IImage button{nullptr, 27, 54, 2};
  auto* c = Attach(new IImageControl(&plug, 430, 481, 1, button));
  EXPECT_EQ(c->GetRect(), IRect(430, 481, 457, 508));
  c->SetValueFromUser(0.49);
  EXPECT_EQ(c->CurrentFrame(), 1);
  c->SetValueFromUser(0.5);
  EXPECT_EQ(c->CurrentFrame(), 2);
  c->Draw(g);
  ASSERT_EQ(g.images.size(), 1u);
  EXPECT_EQ(g.images[0].srcY, 27);
  EXPECT_EQ(g.images[0].dest, IRect(430, 481, 457, 508));

  auto* three = Attach(new IImageControl(&plug, 0, 0, -1, IImage{nullptr, 10, 30, 3}));
  EXPECT_EQ(three->GetRect(), IRect(0, 0, 10, 10));
  three->SetValueFromUser(0.74);
  EXPECT_EQ(three->CurrentFrame(), 2);
  three->SetValueFromUser(0.75);
  EXPECT_EQ(three->CurrentFrame(), 3);

  // A frame count of 0 counts as one frame instead of dividing by zero.
  auto* none = Attach(new IImageControl(&plug, 5, 5, -1, IImage{nullptr, 10, 30, 0}, IBlend::kOverwrite));
  EXPECT_EQ(none->GetRect(), IRect(5, 5, 15, 35));
  EXPECT_EQ(none->CurrentFrame(), 1);
  EXPECT_EQ(none->GetBlend().method, IBlend::kOverwrite);
}

TEST_F(Controls, MomentaryButtonPressAndRelease) {
  auto* button = Attach(new IMomentaryButton(&plug, 430, 481, 0, IImage{nullptr, 27, 54, 2}));
  const int idx = g.NControls() - 1;
  ASSERT_EQ(g.FindControlAt(440, 490), idx);

  g.OnMouseDown(440, 490, kLeft);
  EXPECT_EQ(button->CurrentFrame(), 2);
  g.OnMouseUp(440, 490);
  EXPECT_EQ(button->CurrentFrame(), 1);
  EXPECT_EQ(plug.events, (Events{"begin 0", "set 0 1.000000", "set 0 0.000000", "end 0"}));

  // Right click: the entry opens, the press sends the unchanged value.
  plug.events.clear();
  g.OnMouseDown(440, 490, kRight);
  EXPECT_EQ(g.prompts.size(), 1u);
  g.OnMouseUp(440, 490);
  EXPECT_EQ(plug.events, (Events{"begin 0", "set 0 0.000000", "set 0 0.000000", "end 0"}));

  // A press past the last frame wraps to released.
  plug.events.clear();
  button->SetValueFromUser(1.0);
  button->OnMouseDown(0, 0, kLeft);
  EXPECT_DOUBLE_EQ(button->GetValue(), 0.0);

  // One frame: a press adds 1.
  auto* single = Attach(new IMomentaryButton(&plug, 0, 0, 1, IImage{nullptr, 10, 10, 1}));
  single->OnMouseDown(0, 0, kLeft);
  EXPECT_DOUBLE_EQ(single->GetValue(), 1.0);
}

TEST_F(Controls, LineKnobDrawsFromInnerToOuterRadius) {
  const float kAngle = 2.356194490192345f;
  auto* knob = Attach(new ILineKnobControl(&plug, IRect(388, 480, 415, 507), 1, IColor(255, 64, 64, 64), 2.0f,
                                           8.0f, -kAngle, kAngle, ILineKnobControl::kVertical, 4.0));
  EXPECT_EQ(knob->GetBlend().method, IBlend::kOverwrite);
  knob->SetValueFromUser(0.5);
  EXPECT_TRUE(knob->Draw(g));
  ASSERT_EQ(g.lines.size(), 1u);
  const LineCall& l = g.lines[0];
  // Straight up from 2 to 8 pixels above the centre (401.5, 493.5).
  EXPECT_FLOAT_EQ(l.x1, 401.5f);
  EXPECT_FLOAT_EQ(l.x2, 401.5f);
  EXPECT_FLOAT_EQ(l.y1, 491.5f);
  EXPECT_FLOAT_EQ(l.y2, 485.5f);
  EXPECT_TRUE(l.antialias);
  EXPECT_EQ(l.color, IColor(255, 64, 64, 64));
  EXPECT_EQ(l.blend.method, IBlend::kOverwrite);

  // At 1 the line points at the maximum angle, clockwise: right and down.
  knob->SetValueFromUser(1.0);
  knob->Draw(g);
  EXPECT_GT(g.lines[1].x2, 401.5f);
  EXPECT_GT(g.lines[1].y2, 493.5f);
}

TEST_F(Controls, LineKnobDrag) {
  auto* knob = Attach(new ILineKnobControl(&plug, IRect(388, 480, 415, 507), 1, IColor(), 2.0f, 0.0f, -2.0f, 2.0f,
                                           ILineKnobControl::kVertical, 4.0));
  // 27 pixels high, gearing 4: 108 pixels up cover the whole range.
  g.OnMouseDown(400, 500, kLeft);
  g.OnMouseDrag(400, 446, kLeft);
  EXPECT_NEAR(knob->GetValue(), 0.5, 1e-12);
  g.OnMouseDrag(400, 392, kLeft);
  EXPECT_NEAR(knob->GetValue(), 1.0, 1e-12);
  g.OnMouseDrag(400, 300, kLeft);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  g.OnMouseDrag(400, 327, kLeft);  // 27 down: a quarter of the range
  EXPECT_NEAR(knob->GetValue(), 0.75, 1e-12);
  g.OnMouseUp(400, 327);
  EXPECT_EQ(plug.events.front(), "begin 1");
  EXPECT_EQ(plug.events.back(), "end 1");

  // An outer radius of 0 reaches the half width.
  knob->Draw(g);
  EXPECT_NEAR(std::hypot(g.lines[0].x2 - 401.5f, g.lines[0].y2 - 493.5f), 13.5f, 1e-4);

  auto* h = Attach(new ILineKnobControl(&plug, IRect(0, 0, 100, 10), 2, IColor(), 1.0f, 5.0f, -1.0f, 1.0f,
                                        ILineKnobControl::kHorizontal, 2.0));
  h->OnMouseDrag(0, 0, 50, -40, IMouseState{});
  EXPECT_NEAR(h->GetValue(), 0.25, 1e-12);

  // A flat knob or a zero gearing ignores drags instead of producing NaN.
  auto* flat = Attach(new ILineKnobControl(&plug, IRect(0, 5, 10, 5), 2, IColor(), 1.0f, 5.0f, -1.0f, 1.0f,
                                           ILineKnobControl::kVertical, 4.0));
  flat->OnMouseDrag(0, 0, 0, -5, IMouseState{});
  EXPECT_DOUBLE_EQ(flat->GetValue(), 0.0);
}

TEST_F(Controls, LinkOpensTheFirstAddressOrFallsBack) {
  auto* link = Attach(new ILinkControl(&plug, IRect(460, 460, 630, 510), "file:///x/manual.pdf",
                                       "https://example.org", "Sorvano"));
  EXPECT_TRUE(link->Draw(g));
  g.linkSuccesses = 1;
  link->OnMouseDown(0, 0, kRight);
  EXPECT_EQ(g.links, (Events{"file:///x/manual.pdf|Sorvano|--"}));

  g.links.clear();
  g.linkSuccesses = 0;
  link->OnMouseDown(0, 0, kLeft);
  EXPECT_EQ(g.links, (Events{"file:///x/manual.pdf|Sorvano|--", "https://example.org|Sorvano|--"}));

  g.links.clear();
  auto* second = Attach(new ILinkControl(&plug, IRect(), nullptr, "b", nullptr));
  second->OnMouseDown(0, 0, kLeft);
  EXPECT_EQ(g.links, (Events{"b||--"}));

  // Longer texts are cut to their fields.
  const std::string longAddress(400, 'a');
  ILinkControl cut(&plug, IRect(), longAddress.c_str(), "", std::string(2000, 't').c_str());
  EXPECT_EQ(std::string(cut.Address()), std::string(255, 'a'));
  EXPECT_EQ(std::string(cut.Title()).size(), 1023u);
  EXPECT_STREQ(cut.FallbackAddress(), "");
}

}  // namespace
}  // namespace sorvano::test
