// Pointer events to mouse routing, without a display.

#include "graphics/platform/PointerRouter.h"

#include <gtest/gtest.h>

#include "graphics/GraphicsFakes.h"

namespace sorvano::test {
namespace {

using x11::DoubleClickDetector;
using x11::PointerButton;
using x11::PointerModifiers;
using x11::PointerRouter;

TEST(DoubleClickDetectorTest, SecondLeftPressCloseInTimeAndPlace) {
  DoubleClickDetector detector;
  EXPECT_FALSE(detector.Press(PointerButton::kLeft, 10, 10, 1000));
  EXPECT_TRUE(detector.Press(PointerButton::kLeft, 10 + DoubleClickDetector::kDoubleClickDistance, 10,
                             1000 + DoubleClickDetector::kDoubleClickMs));
  // The third press starts over.
  EXPECT_FALSE(detector.Press(PointerButton::kLeft, 10, 10, 1500));
}

TEST(DoubleClickDetectorTest, TooLateTooFarOrAnotherButtonIsNoDoubleClick) {
  DoubleClickDetector late;
  late.Press(PointerButton::kLeft, 0, 0, 0);
  EXPECT_FALSE(late.Press(PointerButton::kLeft, 0, 0, DoubleClickDetector::kDoubleClickMs + 1));
  DoubleClickDetector far;
  far.Press(PointerButton::kLeft, 0, 0, 0);
  EXPECT_FALSE(far.Press(PointerButton::kLeft, 0, DoubleClickDetector::kDoubleClickDistance + 1, 10));
  DoubleClickDetector right;
  right.Press(PointerButton::kRight, 0, 0, 0);
  EXPECT_FALSE(right.Press(PointerButton::kLeft, 0, 0, 10));
  EXPECT_FALSE(right.Press(PointerButton::kRight, 0, 0, 20));
}

TEST(DoubleClickDetectorTest, ServerTimeWrapsAround) {
  DoubleClickDetector detector;
  detector.Press(PointerButton::kLeft, 0, 0, 0xffffff00u);
  EXPECT_TRUE(detector.Press(PointerButton::kLeft, 0, 0, 0x00000010u));
}

// Also records the mouse state of presses and drags, as "LRSCA" bits.
class StateProbe : public ProbeControl {
public:
  using ProbeControl::ProbeControl;
  void OnMouseDown(int x, int y, const IMouseState& mouse) override {
    Record(mouse);
    ProbeControl::OnMouseDown(x, y, mouse);
  }
  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseState& mouse) override {
    Record(mouse);
    ProbeControl::OnMouseDrag(x, y, dX, dY, mouse);
  }
  void Record(const IMouseState& m) {
    states.push_back(std::to_string(m.L) + std::to_string(m.R) + std::to_string(m.S) + std::to_string(m.C) +
                     std::to_string(m.A));
  }
  std::vector<std::string> states;
};

class PointerRouterTest : public ::testing::Test {
protected:
  PointerRouterTest() {
    probe = new StateProbe(&plug, IRect(0, 0, 100, 100));
    graphics.AttachControl(probe);
    graphics.HandleMouseOver(true);
  }
  FakePlug plug;
  RecordingGraphics graphics{&plug};
  StateProbe* probe;
  PointerRouter router{graphics};
};

TEST_F(PointerRouterTest, PressDragReleaseCarryTheButtonAndModifiers) {
  PointerModifiers mods;
  mods.shift = true;
  mods.alt = true;
  router.Press(PointerButton::kLeft, 10, 10, mods, 0);
  EXPECT_TRUE(router.Pressed());
  mods.left = true;
  router.Motion(20, 15, mods);
  router.Release(PointerButton::kLeft, 20, 15, mods);
  EXPECT_FALSE(router.Pressed());
  ASSERT_EQ(probe->events.size(), 3u);
  EXPECT_EQ(probe->events[0], "down 10 10");
  EXPECT_EQ(probe->events[1], "drag 20 15 10 5");
  EXPECT_EQ(probe->events[2], "up 20 15");
  EXPECT_EQ(probe->states, (std::vector<std::string>{"10101", "10101"}));
}

TEST_F(PointerRouterTest, ARightPressCarriesTheRightButton) {
  PointerModifiers mods;
  mods.control = true;
  router.Press(PointerButton::kRight, 1, 2, mods, 0);
  EXPECT_EQ(probe->states, (std::vector<std::string>{"01010"}));
}

TEST_F(PointerRouterTest, WheelButtonsAreNotchesAndMiddleIsIgnored) {
  router.Press(PointerButton::kWheelUp, 5, 6, {}, 0);
  router.Press(PointerButton::kWheelDown, 5, 6, {}, 0);
  router.Press(PointerButton::kMiddle, 5, 6, {}, 0);
  router.Release(PointerButton::kMiddle, 5, 6, {});
  ASSERT_EQ(probe->events.size(), 2u);
  EXPECT_EQ(probe->events[0], "wheel 5 6 1");
  EXPECT_EQ(probe->events[1], "wheel 5 6 -1");
}

TEST_F(PointerRouterTest, LeavingAfterHoverEndsItButNotDuringADrag) {
  router.Motion(30, 30, {});
  PointerModifiers held;
  held.left = true;
  router.Leave(held);
  EXPECT_EQ(probe->events.back(), "over 30 30");
  router.Leave({});
  EXPECT_EQ(probe->events.back(), "out");
  const std::size_t count = probe->events.size();
  router.Leave({});
  EXPECT_EQ(probe->events.size(), count);
}

TEST_F(PointerRouterTest, ASecondQuickPressIsDeliveredAsADoubleClick) {
  router.Press(PointerButton::kLeft, 10, 10, {}, 100);
  router.Release(PointerButton::kLeft, 10, 10, {});
  router.Press(PointerButton::kLeft, 11, 10, {}, 200);
  EXPECT_EQ(probe->events.back(), "dbl 11 10");
}

}  // namespace
}  // namespace sorvano::test
