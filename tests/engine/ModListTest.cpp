#include "engine/ModList.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace sorvano {
namespace {

constexpr double kRate = 44100.0;

ModRegion Region(int start, int end, int lowHz, int highHz) {
  return ModRegion{start, end, lowHz, highHz, 0, 0};
}

TEST(ModRecordBuild, CopiesTheRegionAndRoundsBinsAtTheSampleRate) {
  const ModRecord r = BuildModRecord(Region(1024, 5120, 1000, 22050), 0.5, 0.0, kRate);
  EXPECT_EQ(r.mStart, 1024);
  EXPECT_EQ(r.mEnd, 5120);
  EXPECT_EQ(r.mLowHz, 1000);
  EXPECT_EQ(r.mHighHz, 22050);
  EXPECT_EQ(r.mLowBin, 46);  // 1000 * 2048 / 44100 = 46.44
  EXPECT_EQ(r.mHighBin, 1024);
  EXPECT_EQ(r.mGain, 0.5);
  EXPECT_EQ(r.mMute, 0);
  EXPECT_EQ(r.mSolo, 0);
  EXPECT_EQ(r.mBypass, 0);
  // Without fade the fade bounds are the region's own.
  EXPECT_EQ(r.mFadeStart, 1024);
  EXPECT_EQ(r.mFadeEnd, 5120);
  EXPECT_EQ(r.mFadeLowHz, 1000);
  EXPECT_EQ(r.mFadeHighHz, 22050);
  EXPECT_EQ(r.mFadeLowBin, 46);
  EXPECT_EQ(r.mFadeHighBin, 1024);
}

TEST(ModRecordBuild, RoundsHalvesUpAndTruncatesTheRate) {
  // 2048 / 32000 = 0.064: 1000 Hz is bin 64 exactly, 1008 Hz bin 64.512.
  EXPECT_EQ(BuildModRecord(Region(0, 1, 1000, 1008), 1.0, 0.0, 32000.0).mHighBin, 65);
  // At 4096 Hz every Hz is half a bin: 3 Hz is bin 1.5 and rounds up to 2.
  EXPECT_EQ(BuildModRecord(Region(0, 1, 3, 5), 1.0, 0.0, 4096.0).mLowBin, 2);
  // The rate is truncated before use: 44100.9 acts as 44100, so 22050 Hz is
  // still bin 1024 and the fade limit is 22050.
  const ModRecord r = BuildModRecord(Region(0, 1, 20000, 22050), 1.0, 1.0, 44100.9);
  EXPECT_EQ(r.mHighBin, 1024);
  EXPECT_EQ(r.mFadeHighHz, 22050);
}

TEST(ModRecordBuild, FadesWidenBothWaysWithTheFloorsAndCeilings) {
  // Start 100, length 1000, fade 0.5: dt = 500, the fade start stops at 0.
  const ModRecord r = BuildModRecord(Region(100, 1100, 1000, 3000), 1.0, 0.5, kRate);
  EXPECT_EQ(r.mFadeStart, 0);
  EXPECT_EQ(r.mFadeEnd, 1600);
  // df = 1000.
  EXPECT_EQ(r.mFadeLowHz, 0);
  EXPECT_EQ(r.mFadeHighHz, 4000);
  EXPECT_EQ(r.mFadeLowBin, 0);
  EXPECT_EQ(r.mFadeHighBin, 186);  // 185.76

  // A fade band reaching above half the rate stops there (bin 1024), while
  // the region's own high bound is taken as given.
  const ModRecord top = BuildModRecord(Region(0, 1024, 20000, 23000), 1.0, 1.0, kRate);
  EXPECT_EQ(top.mHighBin, 1068);
  EXPECT_EQ(top.mFadeHighHz, 22050);
  EXPECT_EQ(top.mFadeHighBin, 1024);
  EXPECT_EQ(top.mFadeLowHz, 17000);

  // dt and df are truncated toward zero: 999 * 0.3 = 299.7.
  const ModRecord t = BuildModRecord(Region(1000, 1999, 1000, 1999), 1.0, 0.3, kRate);
  EXPECT_EQ(t.mFadeStart, 701);
  EXPECT_EQ(t.mFadeEnd, 2298);
  EXPECT_EQ(t.mFadeLowHz, 701);
  EXPECT_EQ(t.mFadeHighHz, 2298);
}

TEST(ModRecordBuild, ExtremeInputSaturatesInsteadOfOverflowing) {
  // Times near the end of int32: mEnd + dt would overflow.
  const ModRecord late = BuildModRecord(Region(INT_MAX - 1000, INT_MAX, 100, 200), 1.0, 1.0, kRate);
  EXPECT_EQ(late.mFadeStart, INT_MAX - 2000);
  EXPECT_EQ(late.mFadeEnd, INT_MAX);
  // A region spanning the whole int32 range with a large fade.
  const ModRecord wide = BuildModRecord(Region(INT_MIN, INT_MAX, INT_MIN, INT_MAX), 1.0, 1e300, kRate);
  EXPECT_EQ(wide.mFadeStart, 0);
  EXPECT_EQ(wide.mFadeEnd, INT_MAX);
  EXPECT_EQ(wide.mFadeLowHz, 0);
  EXPECT_EQ(wide.mFadeHighHz, 22050);
  // Bins of extreme frequencies at 1 Hz: +-2^31 * 2048 saturates.
  const ModRecord bins = BuildModRecord(Region(0, 1, INT_MIN, INT_MAX), 1.0, 0.0, 1.0);
  EXPECT_EQ(bins.mLowBin, INT_MIN);
  EXPECT_EQ(bins.mHighBin, INT_MAX);
}

TEST(ModRecordBuild, UnusableRatesFadesAndGainsAreMadeHarmless) {
  const ModRecord reference = BuildModRecord(Region(0, 1024, 1000, 2000), 1.0, 0.0, kRate);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double rate : {0.0, -48000.0, 0.5, nan, inf, 1e12}) {
    const ModRecord r = BuildModRecord(Region(0, 1024, 1000, 2000), 1.0, 0.0, rate);
    EXPECT_EQ(r.mLowBin, reference.mLowBin) << rate;
    EXPECT_EQ(r.mHighBin, reference.mHighBin) << rate;
    EXPECT_EQ(r.mFadeHighBin, reference.mFadeHighBin) << rate;
  }
  // The smallest usable rate, 1 Hz: half the rate is 0 Hz.
  const ModRecord slow = BuildModRecord(Region(0, 1024, 0, 2), 1.0, 0.0, 1.0);
  EXPECT_EQ(slow.mHighBin, 4096);
  EXPECT_EQ(slow.mFadeHighHz, 0);

  const ModRecord badFade = BuildModRecord(Region(1024, 2048, 1000, 2000), 0.5, nan, kRate);
  EXPECT_EQ(badFade.mFadeStart, 1024);
  EXPECT_EQ(badFade.mFadeEnd, 2048);
  EXPECT_EQ(BuildModRecord(Region(0, 1, 0, 1), nan, 0.0, kRate).mGain, 1.0);
  EXPECT_EQ(BuildModRecord(Region(0, 1, 0, 1), -inf, 0.0, kRate).mGain, 1.0);
  EXPECT_EQ(BuildModRecord(Region(0, 1, 0, 1), -2.0, 0.0, kRate).mGain, -2.0);
  // Finite but beyond +40 dB: a block of full-scale samples times such a gain
  // could overflow the transform, so the record stops at the limit.
  EXPECT_EQ(BuildModRecord(Region(0, 1, 0, 1), 1e300, 0.0, kRate).mGain, kMaxGain);
  EXPECT_EQ(BuildModRecord(Region(0, 1, 0, 1), -1e300, 0.0, kRate).mGain, -kMaxGain);
  EXPECT_EQ(BuildModRecord(Region(0, 1, 0, 1), kMaxGain, 0.0, kRate).mGain, kMaxGain);
}

class ModListTest : public ::testing::Test {
protected:
  int Add(int start, double gain = 1.0) {
    return mList.Add(BuildModRecord(Region(start, start + 1024, 100, 200), gain, 0.0, kRate));
  }
  int StartAt(int idx) const { return mList.Records()[static_cast<size_t>(idx)].mStart; }

  ModList mList;
};

TEST_F(ModListTest, AddReturnsTheNewCountAndKeepsInsertionOrder) {
  EXPECT_EQ(mList.Count(), 0);
  EXPECT_EQ(Add(0), 1);
  EXPECT_EQ(Add(1024), 2);
  EXPECT_EQ(Add(2048), 3);
  EXPECT_EQ(StartAt(0), 0);
  EXPECT_EQ(StartAt(2), 2048);
}

TEST_F(ModListTest, DeleteMovesLaterRecordsDownAndAlwaysReturnsCountMinusOne) {
  Add(0);
  Add(1024);
  Add(2048);
  EXPECT_EQ(mList.Delete(0), 2);
  ASSERT_EQ(mList.Count(), 2);
  EXPECT_EQ(StartAt(0), 1024);
  EXPECT_EQ(StartAt(1), 2048);
  // Out of range: nothing removed, still count - 1.
  EXPECT_EQ(mList.Delete(2), 1);
  EXPECT_EQ(mList.Delete(-1), 1);
  EXPECT_EQ(mList.Count(), 2);
  EXPECT_EQ(mList.Delete(1), 1);
  EXPECT_EQ(mList.Delete(0), 0);
  EXPECT_EQ(mList.Delete(0), -1);  // empty list
}

TEST_F(ModListTest, TogglesFlipOneFlagAndIgnoreBadIndices) {
  Add(0);
  Add(1024);
  mList.ToggleMute(1);
  mList.ToggleSolo(1);
  mList.ToggleBypass(0);
  const ModRecord& a = mList.Records()[0];
  const ModRecord& b = mList.Records()[1];
  EXPECT_EQ(a.mMute + a.mSolo, 0);
  EXPECT_EQ(a.mBypass, 1);
  EXPECT_EQ(b.mMute, 1);
  EXPECT_EQ(b.mSolo, 1);
  EXPECT_EQ(b.mBypass, 0);
  mList.ToggleMute(1);
  mList.ToggleSolo(1);
  mList.ToggleBypass(0);
  EXPECT_EQ(mList.Records()[0].mBypass, 0);
  EXPECT_EQ(mList.Records()[1].mMute, 0);
  EXPECT_EQ(mList.Records()[1].mSolo, 0);
  for (int bad : {-1, 2, INT_MAX}) {
    mList.ToggleMute(bad);
    mList.ToggleSolo(bad);
    mList.ToggleBypass(bad);
  }
  EXPECT_EQ(mList.Count(), 2);
}

TEST_F(ModListTest, UpdateRebuildsBoundsAndGainButKeepsFlags) {
  Add(0, 0.5);
  mList.ToggleMute(0);
  mList.ToggleSolo(0);
  mList.Update(0, BuildModRecord(Region(4096, 8192, 1000, 2000), 2.0, 0.25, kRate));
  const ModRecord& r = mList.Records()[0];
  EXPECT_EQ(r.mStart, 4096);
  EXPECT_EQ(r.mFadeStart, 3072);
  EXPECT_EQ(r.mFadeHighHz, 2250);
  EXPECT_EQ(r.mGain, 2.0);
  EXPECT_EQ(r.mMute, 1);
  EXPECT_EQ(r.mSolo, 1);
  EXPECT_EQ(r.mBypass, 0);
  // The rate in force at the update counts.
  mList.Update(0, BuildModRecord(Region(4096, 8192, 1000, 2000), 2.0, 0.0, 22050.0));
  EXPECT_EQ(mList.Records()[0].mLowBin, 93);  // 92.88
  mList.Update(1, BuildModRecord(Region(0, 0, 0, 0), 0.0, 0.0, kRate));
  mList.Update(-1, BuildModRecord(Region(0, 0, 0, 0), 0.0, 0.0, kRate));
  EXPECT_EQ(mList.Count(), 1);
  EXPECT_EQ(mList.Records()[0].mStart, 4096);
}

TEST_F(ModListTest, ClearEmptiesTheListAndItCanBeRefilled) {
  Add(0);
  Add(1024);
  mList.Clear();
  EXPECT_EQ(mList.Count(), 0);
  EXPECT_TRUE(mList.Records().empty());
  EXPECT_EQ(Add(2048), 1);
  EXPECT_EQ(StartAt(0), 2048);
}

TEST_F(ModListTest, ReservedStorageTakesOverWithRecordsAndFlagsInOrder) {
  Add(0);
  mList.ToggleSolo(0);
  mList.Reserve(40);
  const ModRecord* before = mList.Records().data();
  for (int i = 1; i < 40; ++i) EXPECT_EQ(Add(1024 * i), i + 1);
  EXPECT_NE(mList.Records().data(), before);  // the prepared storage took over
  ASSERT_EQ(mList.Count(), 40);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(StartAt(i), 1024 * i);
  EXPECT_EQ(mList.Records()[0].mSolo, 1);
  // Past the reserve the list still grows on its own.
  mList.Reserve(0);
  for (int i = 40; i < 100; ++i) EXPECT_EQ(Add(1024 * i), i + 1);
  EXPECT_EQ(StartAt(99), 1024 * 99);
  // A smaller reserve than the list holds changes nothing.
  const ModRecord* now = mList.Records().data();
  mList.Reserve(10);
  EXPECT_EQ(mList.Records().data(), now);
  mList.Clear();
  EXPECT_EQ(Add(5), 1);
}

}  // namespace
}  // namespace sorvano
