#include "editor/RegionList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "framework/Assert.h"
#include "tests/editor/FakeEngine.h"

namespace sorvano {
namespace {

using test::ListsAgree;

struct Failure {
  std::string expression;
  std::string file;
  int line = 0;
  int count = 0;
};
Failure gFailure;

void RecordFailure(const char* expression, const char* file, int line) {
  gFailure = {expression, file, line, gFailure.count + 1};
}

class RegionListTest : public ::testing::Test {
protected:
  RegionListTest() {
    mList.SetPanel(&mPanel);
    mList.OnSelectionCleared([this] { ++mCleared; });
    gFailure = {};
    mPrevious = SetAssertionHandler(&RecordFailure);
  }
  ~RegionListTest() override { SetAssertionHandler(mPrevious); }

  int Add(int start) {
    const ModRegion region{start, start + 4096, 100, 2000, 20, 300};
    return mList.Add(region, IRect(10, 10, 22, 22));
  }
  bool Agree() { return ListsAgree(mList.Mods(), mEngine.mRecords); }

  test::FakeEngine mEngine;
  test::FakePanel mPanel;
  RegionList mList{&mEngine};
  int mCleared = 0;
  AssertionHandler mPrevious = nullptr;
};

TEST_F(RegionListTest, AddAppendsADefaultRegionHereAndInTheEngine) {
  EXPECT_EQ(Add(0), 0);
  EXPECT_EQ(Add(8192), 1);
  const EditorMod* mod = mList.Find(1);
  ASSERT_NE(mod, nullptr);
  EXPECT_EQ(mod->mRegion.mStart, 8192);
  EXPECT_EQ(mod->mMainRect, IRect(10, 10, 22, 22));
  EXPECT_TRUE(mod->IsNeutral());
  EXPECT_STREQ(mod->mGainText, "+0.0");
  EXPECT_STREQ(mod->mFadeText, "fade 0.1x");
  EXPECT_EQ(mPanel.mSelected, 1);  // the new index, not yet selected
  EXPECT_EQ(mPanel.mCount, 2);
  EXPECT_EQ(mList.Selected(), -1);
  EXPECT_TRUE(Agree());
  EXPECT_EQ(gFailure.count, 0);
}

TEST_F(RegionListTest, DeleteKeepsTheSelectionOnTheSameRegion) {
  for (int i = 0; i < 4; ++i) Add(i * 8192);
  mList.ToggleBypass(2);  // not neutral, so selecting away keeps it
  mList.Select(2);
  mList.Delete(0);
  EXPECT_EQ(mList.Selected(), 1);
  EXPECT_EQ(mList.SelectedMod()->mRegion.mStart, 2 * 8192);
  mList.Delete(2);  // after the selection
  EXPECT_EQ(mList.Selected(), 1);
  EXPECT_EQ(mCleared, 0);
  mList.Delete(1);  // the selection itself
  EXPECT_EQ(mList.Selected(), -1);
  EXPECT_EQ(mCleared, 1);
  EXPECT_EQ(mPanel.mSelected, -1);
  EXPECT_EQ(mPanel.mCount, 1);
  mList.Delete(5);
  mList.Delete(-1);
  EXPECT_EQ(mList.Count(), 1);
  EXPECT_TRUE(Agree());
  EXPECT_EQ(gFailure.count, 0);
}

TEST_F(RegionListTest, SelectingAnotherRegionDropsANeutralSelectionUnlessChanged) {
  Add(0);
  Add(8192);
  Add(16384);
  mList.Select(0);
  EXPECT_EQ(mList.Select(2), 1);  // region 0 dropped, region 2 moved down
  EXPECT_EQ(mList.Count(), 2);
  EXPECT_EQ(mList.SelectedMod()->mRegion.mStart, 16384);
  EXPECT_EQ(mPanel.mSelected, 1);
  EXPECT_EQ(mPanel.mCount, 2);

  // Changed in any way, a region stays.
  mList.ChangeFade(1, 0.05);
  EXPECT_EQ(mList.Select(0), 0);
  EXPECT_EQ(mList.Count(), 2);
  mList.ToggleMute(0);
  mList.Select(1);
  EXPECT_EQ(mList.Count(), 2);
  // Selecting the selected region again drops nothing.
  mList.ResetFade(1);
  EXPECT_EQ(mList.Select(1), 1);
  EXPECT_EQ(mList.Count(), 2);
  // With dropping off, neutral regions stay too.
  mList.SetDropNeutral(false);
  EXPECT_EQ(mList.Select(0), 0);
  EXPECT_EQ(mList.Count(), 2);
  // An invalid index changes nothing.
  EXPECT_EQ(mList.Select(7), -1);
  EXPECT_EQ(mList.Selected(), 0);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionListTest, DropSelectedIfNeutralOnlyDropsANeutralSelection) {
  EXPECT_FALSE(mList.DropSelectedIfNeutral());
  Add(0);
  mList.Select(0);
  mList.ChangeGain(0, -3.0);
  EXPECT_FALSE(mList.DropSelectedIfNeutral());
  mList.ResetGain(0);
  EXPECT_TRUE(mList.DropSelectedIfNeutral());
  EXPECT_EQ(mList.Count(), 0);
  EXPECT_EQ(mCleared, 1);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionListTest, SwitchingDropNeutralOnDeletesEveryNeutralRegion) {
  mList.SetDropNeutral(false);
  for (int i = 0; i < 6; ++i) Add(i * 8192);
  mList.ToggleSolo(1);
  mList.ChangeGain(4, 1.0);
  mList.Select(3);
  mList.SetDropNeutral(true);
  ASSERT_EQ(mList.Count(), 2);
  EXPECT_EQ(mList.Find(0)->mRegion.mStart, 8192);
  EXPECT_EQ(mList.Find(1)->mRegion.mStart, 4 * 8192);
  EXPECT_EQ(mList.Selected(), -1);
  EXPECT_EQ(mCleared, 1);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionListTest, MuteAndSoloExcludeEachOther) {
  Add(0);
  mList.ToggleSolo(0);
  mList.ToggleMute(0);  // muting a solo region turns solo off
  EXPECT_TRUE(mList.Find(0)->mMute);
  EXPECT_FALSE(mList.Find(0)->mSolo);
  EXPECT_STREQ(mList.Find(0)->mGainText, "M");
  EXPECT_TRUE(Agree());
  mList.ToggleSolo(0);  // soloing a muted region unmutes it
  EXPECT_TRUE(mList.Find(0)->mSolo);
  EXPECT_FALSE(mList.Find(0)->mMute);
  EXPECT_STREQ(mList.Find(0)->mGainText, "+0.0");
  EXPECT_TRUE(Agree());
  mList.ToggleSolo(0);
  mList.ToggleMute(0);
  mList.ToggleMute(0);
  EXPECT_FALSE(mList.Find(0)->mSolo);
  EXPECT_FALSE(mList.Find(0)->mMute);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionListTest, ChangingTheGainOfAMutedRegionUnmutesItButNotForAllGains) {
  Add(0);
  Add(8192);
  mList.ToggleMute(0);
  mList.ToggleMute(1);
  const int updates = mEngine.mUpdates;
  mList.ChangeGain(0, 0.0);  // no change: still muted, engine untouched
  EXPECT_TRUE(mList.Find(0)->mMute);
  EXPECT_EQ(mEngine.mUpdates, updates);
  mList.ChangeGain(0, -6.0);
  EXPECT_FALSE(mList.Find(0)->mMute);
  EXPECT_STREQ(mList.Find(0)->mGainText, "-6.0");
  mList.ChangeAllGains(-6.0);
  EXPECT_TRUE(mList.Find(1)->mMute);
  EXPECT_STREQ(mList.Find(1)->mGainText, "M");
  EXPECT_NEAR(20 * std::log10(mList.Find(0)->mModAmp), -12.0, 1e-9);
  EXPECT_NEAR(20 * std::log10(mList.Find(1)->mModAmp), -6.0, 1e-9);
  mList.ChangeAllFades(2.0);
  EXPECT_EQ(mList.Find(1)->mFade, 1.0);
  EXPECT_STREQ(mList.Find(1)->mFadeText, "fade 1.0x");
  EXPECT_TRUE(Agree());
}

TEST_F(RegionListTest, ADuplicateCopiesGainFadeMuteAndSoloButNotBypass) {
  Add(0);
  mList.ChangeGain(0, -7.5);
  mList.ChangeFade(0, 0.3);
  mList.ToggleSolo(0);
  mList.ToggleBypass(0);
  const EditorMod source = *mList.Find(0);
  const int copy = mList.Select(Add(8192));
  mList.CopySettings(source, copy);
  const EditorMod& dup = *mList.Find(copy);
  EXPECT_NEAR(dup.mModAmp, source.mModAmp, 1e-12);
  EXPECT_NEAR(dup.mFade, source.mFade, 1e-12);
  EXPECT_TRUE(dup.mSolo);
  EXPECT_FALSE(dup.mMute);
  EXPECT_FALSE(dup.mBypass);
  EXPECT_TRUE(Agree());

  // A muted source gives a muted copy.
  mList.ToggleMute(0);
  const int second = mList.Select(Add(16384));
  mList.CopySettings(*mList.Find(0), second);
  EXPECT_TRUE(mList.Find(second)->mMute);
  EXPECT_STREQ(mList.Find(second)->mGainText, "M");
  EXPECT_TRUE(Agree());
}

TEST_F(RegionListTest, AFailedAddCountCheckIsReportedAndTheListsAgreeAfterwards) {
  Add(0);
  mEngine.mAcceptLimit = 1;  // the engine takes no more
  EXPECT_EQ(Add(8192), -1);
  EXPECT_EQ(gFailure.count, 1);
  EXPECT_EQ(gFailure.expression,
            "mSorvano->AddMod(&pMod->mRegion, pMod->mModAmp, pMod->mFade) == n + 1");
  EXPECT_EQ(gFailure.file, ".\\SorvanoControl");
  EXPECT_EQ(gFailure.line, 1012);
  EXPECT_EQ(mList.Count(), 1);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionListTest, AFailedDeleteCountCheckIsReportedAndTheEngineIsRebuilt) {
  Add(0);
  Add(8192);
  mList.ToggleMute(1);
  mEngine.mRecords.push_back({});  // out of step
  mList.Delete(0);
  EXPECT_EQ(gFailure.count, 1);
  EXPECT_EQ(gFailure.expression, "mSorvano->DeleteMod(idx) == n");
  EXPECT_EQ(gFailure.file, ".\\SorvanoControl");
  EXPECT_EQ(gFailure.line, 1064);
  EXPECT_TRUE(Agree());
  EXPECT_TRUE(mEngine.mRecords[0].mute);
}

TEST_F(RegionListTest, RestoreReplaysSwitchesAndClearEmptiesBothSides) {
  EditorMod stored;
  stored.mRegion = {1024, 9216, 50, 900, 5, 200};
  stored.mModAmp = 0.25;
  stored.mFade = 0.5;
  stored.mMute = true;
  stored.mBypass = true;
  mList.Restore(stored);
  EXPECT_STREQ(mList.Find(0)->mGainText, "M");
  EXPECT_STREQ(mList.Find(0)->mFadeText, "fade 0.5x");
  EXPECT_TRUE(Agree());
  mList.Select(0);
  mList.Clear();
  EXPECT_EQ(mList.Count(), 0);
  EXPECT_EQ(mList.Selected(), -1);
  EXPECT_EQ(mCleared, 1);
  EXPECT_EQ(mPanel.mCount, 0);
  EXPECT_TRUE(Agree());
}

TEST_F(RegionListTest, ReserveReachesTheEngine) {
  mList.Reserve(12);
  EXPECT_EQ(mEngine.mReserved, 12);
}

// Any sequence of operations, valid indices or not, leaves both lists equal.
TEST_F(RegionListTest, RandomOperationsKeepBothListsEqual) {
  std::mt19937 rng(9);
  std::uniform_int_distribution<int> op(0, 13);
  std::uniform_int_distribution<int> index(-1, 8);
  std::uniform_real_distribution<double> amount(-20.0, 20.0);
  for (int step = 0; step < 3000; ++step) {
    const int i = index(rng);
    switch (op(rng)) {
      case 0:
      case 1: Add(1024 * step); break;
      case 2: mList.Delete(i); break;
      case 3: mList.Select(i); break;
      case 4: mList.ClearSelection(); break;
      case 5: mList.ChangeGain(i, amount(rng)); break;
      case 6: mList.ChangeFade(i, amount(rng) / 40); break;
      case 7: mList.ChangeAllGains(amount(rng)); break;
      case 8: mList.ToggleMute(i); break;
      case 9: mList.ToggleSolo(i); break;
      case 10: mList.ToggleBypass(i); break;
      case 11: mList.SetDropNeutral(step % 2 == 0); break;
      case 12: mList.Move(i, {1024, 2048 + 1024 * i, 10, 20, 1, 2}, IRect(1, 2, 3, 4)); break;
      default: {
        const EditorMod* source = mList.Find(i);
        if (source) {
          const EditorMod copy = *source;
          mList.CopySettings(copy, mList.Select(Add(99 * 1024)));
        }
        break;
      }
    }
    ASSERT_TRUE(Agree()) << "after step " << step;
    ASSERT_TRUE(mList.Selected() == -1 || mList.Valid(mList.Selected()));
    for (const EditorMod& m : mList.Mods()) {
      ASSERT_TRUE(std::isfinite(m.mModAmp) && m.mModAmp > 0.0 && m.mModAmp <= 100.0 + 1e-9);
      ASSERT_TRUE(m.mFade >= 0.0 && m.mFade <= 1.0);
      ASSERT_FALSE(m.mMute && m.mSolo);
    }
  }
  EXPECT_EQ(gFailure.count, 0);
}

}  // namespace
}  // namespace sorvano
