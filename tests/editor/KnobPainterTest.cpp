#include "editor/KnobPainter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "graphics/offscreen/OffscreenGraphics.h"

namespace sorvano {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(KnobPainter, ThePointerTurnsAHalfTurnFromUpAtValueZero) {
  EXPECT_DOUBLE_EQ(KnobPainter::PointerAngle(0.0), kPi);
  EXPECT_DOUBLE_EQ(KnobPainter::PointerAngle(0.25), 1.5 * kPi);
  EXPECT_DOUBLE_EQ(KnobPainter::PointerAngle(-0.25), 0.5 * kPi);
  EXPECT_DOUBLE_EQ(KnobPainter::PointerAngle(0.5), 0.0);
  EXPECT_DOUBLE_EQ(KnobPainter::PointerAngle(-1.75), 1.5 * kPi);
  // Far from 0 the turn is still exact; what is not finite points as 0 does.
  EXPECT_NEAR(KnobPainter::PointerAngle(1e9 + 0.25), 1.5 * kPi, 1e-6);
  EXPECT_DOUBLE_EQ(KnobPainter::PointerAngle(std::numeric_limits<double>::infinity()), kPi);
  EXPECT_DOUBLE_EQ(KnobPainter::PointerAngle(std::numeric_limits<double>::quiet_NaN()), kPi);
}

TEST(KnobPainter, KnobValuesOfGainAndFade) {
  EXPECT_DOUBLE_EQ(KnobPainter::GainValue(6.0), -0.6);
  EXPECT_DOUBLE_EQ(KnobPainter::FadeValue(0.1), 0.3);
  EXPECT_DOUBLE_EQ(KnobPainter::FadeValue(1.0), -0.375);
}

// Whether anything was drawn at (x, y) on the black surface.
bool Ink(OffscreenGraphics& g, int x, int y) {
  return g.GetPoint(x, y).R > 100;
}

TEST(KnobPainter, DrawsTheRimAndAPointerFromTheCentreTowardsItsAngle) {
  const IColor white(255, 255, 255, 255);
  OffscreenGraphics down(40, 40);
  down.FillRect(IColor(255, 0, 0, 0), IRect(0, 0, 40, 40), nullptr);
  ASSERT_TRUE(KnobPainter::Draw(down, 20.0f, 20.0f, 0.0, white));
  EXPECT_TRUE(Ink(down, 20, 23));   // pointer, downwards
  EXPECT_FALSE(Ink(down, 20, 17));  // nothing upwards inside the rim
  EXPECT_TRUE(Ink(down, 20, 15));   // top of the rim
  EXPECT_FALSE(Ink(down, 20, 13));  // nothing beyond radius 5

  OffscreenGraphics left(40, 40);
  left.FillRect(IColor(255, 0, 0, 0), IRect(0, 0, 40, 40), nullptr);
  KnobPainter::Draw(left, 20.0f, 20.0f, 0.25, white);
  EXPECT_TRUE(Ink(left, 17, 20));
  EXPECT_FALSE(Ink(left, 23, 20));
}

}  // namespace
}  // namespace sorvano
