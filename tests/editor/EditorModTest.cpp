#include "editor/EditorMod.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace sorvano {
namespace {

std::string GainText(double amp, bool mute = false) {
  EditorMod mod;
  mod.mModAmp = amp;
  mod.mMute = mute;
  mod.UpdateGainText();
  return mod.mGainText;
}

TEST(EditorModText, GainReadsInDecibelsWithSignMuteAndSilence) {
  EXPECT_EQ(GainText(1.0), "+0.0");
  EXPECT_EQ(GainText(2.0), "+6.0");
  EXPECT_EQ(GainText(0.5), "-6.0");
  EXPECT_EQ(GainText(-0.5), "-6.0");  // the magnitude counts
  EXPECT_EQ(GainText(0.5, true), "M");
  // -144 dB itself is still a number; anything below is silence.
  EXPECT_EQ(GainText(std::pow(10.0, -144.0 / 20.0)), "-144.0");
  EXPECT_EQ(GainText(std::pow(10.0, -144.05 / 20.0)), "-oo");
  EXPECT_EQ(GainText(0.0), "-oo");
  EXPECT_EQ(GainText(std::numeric_limits<double>::quiet_NaN()), "-oo");
  // Huge gains (from stored data) still fit the field.
  EXPECT_EQ(GainText(std::numeric_limits<double>::max()), "+6165.1");
}

TEST(EditorModText, FadeShowsOneDecimal) {
  EditorMod mod;
  EXPECT_STREQ(mod.mFadeText, "fade 0.1x");
  mod.mFade = 0.25;
  mod.UpdateFadeText();
  EXPECT_STREQ(mod.mFadeText, "fade 0.2x");  // printf rounds 0.25 to even
  mod.mFade = 1.0;
  mod.UpdateFadeText();
  EXPECT_STREQ(mod.mFadeText, "fade 1.0x");
}

TEST(EditorModNeutral, OnlyTheExactDefaultsWithEverySwitchOffAreNeutral) {
  EditorMod mod;
  EXPECT_TRUE(mod.IsNeutral());
  EditorMod changed = mod;
  changed.mModAmp = std::nextafter(1.0, 2.0);
  EXPECT_FALSE(changed.IsNeutral());
  changed = mod;
  changed.mFade = 0.1000000001;
  EXPECT_FALSE(changed.IsNeutral());
  for (bool EditorMod::*sw : {&EditorMod::mMute, &EditorMod::mSolo, &EditorMod::mBypass}) {
    changed = mod;
    changed.*sw = true;
    EXPECT_FALSE(changed.IsNeutral());
  }
  // A gain changed and changed back by the same steps is not always exactly
  // 1.0 again; such a region is kept as changed.
  changed = mod;
  changed.AddGainDb(0.1);
  changed.AddGainDb(-0.1);
  EXPECT_EQ(changed.IsNeutral(), changed.mModAmp == 1.0);
}

TEST(EditorModGain, StaysFiniteBetweenFloorAndCeilingAndComesBackFromSilence) {
  EditorMod mod;
  for (int i = 0; i < 5000; ++i) mod.AddGainDb(-0.1);
  EXPECT_GT(mod.mModAmp, 0.0);
  EXPECT_NEAR(mod.GainDb(), EditorMod::kMinGainDb, 1e-9);
  mod.UpdateGainText();
  EXPECT_STREQ(mod.mGainText, "-oo");
  // Dragged up again, the region leaves "-oo" after about 1 dB (ten steps
  // of 0.1 dB in floating point land a hair below or above -144).
  for (int i = 0; i < 11; ++i) mod.AddGainDb(0.1);
  mod.UpdateGainText();
  EXPECT_STREQ(mod.mGainText, "-143.9");

  for (int i = 0; i < 5000; ++i) mod.AddGainDb(1.0);
  EXPECT_NEAR(mod.mModAmp, 100.0, 1e-9);
  EXPECT_FALSE(mod.AddGainDb(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(mod.AddGainDb(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(mod.AddGainDb(0.0));
  EXPECT_NEAR(mod.mModAmp, 100.0, 1e-9);

  // Silence and not-a-number (from stored data) start again from the floor.
  for (double amp : {0.0, -0.0, std::numeric_limits<double>::quiet_NaN()}) {
    mod.mModAmp = amp;
    EXPECT_TRUE(mod.AddGainDb(0.1));
    EXPECT_NEAR(mod.GainDb(), EditorMod::kMinGainDb + 0.1, 1e-9);
  }
  mod.mModAmp = std::numeric_limits<double>::infinity();
  mod.AddGainDb(-0.1);
  EXPECT_NEAR(mod.GainDb(), EditorMod::kMaxGainDb - 0.1, 1e-9);
}

TEST(EditorModGain, StepsFollowTheDecibelFormula) {
  EditorMod mod;
  mod.mModAmp = 0.5;
  mod.AddGainDb(-3.0);
  EXPECT_DOUBLE_EQ(mod.mModAmp, std::pow(10.0, (20.0 * std::log10(0.5) - 3.0) / 20.0));
  mod.mModAmp = -0.5;  // the magnitude counts, the result is positive
  mod.AddGainDb(6.0);
  EXPECT_NEAR(mod.mModAmp, 0.5 * std::pow(10.0, 0.3), 1e-12);
}

TEST(EditorModFade, StaysWithinZeroAndOne) {
  EditorMod mod;
  for (int i = 0; i < 500; ++i) mod.AddFade(0.01);
  EXPECT_EQ(mod.mFade, 1.0);
  EXPECT_FALSE(mod.AddFade(0.5));
  mod.AddFade(-1e9);
  EXPECT_EQ(mod.mFade, 0.0);
  EXPECT_FALSE(mod.AddFade(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(mod.AddFade(-std::numeric_limits<double>::infinity()));
  EXPECT_EQ(mod.mFade, 0.0);
  mod.mFade = std::numeric_limits<double>::quiet_NaN();
  mod.AddFade(0.2);
  EXPECT_NEAR(mod.mFade, 0.3, 1e-12);
}

}  // namespace
}  // namespace sorvano
