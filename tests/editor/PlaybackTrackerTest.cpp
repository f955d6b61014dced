#include "editor/PlaybackTracker.h"

#include <gtest/gtest.h>

#include <limits>

namespace sorvano::test {
namespace {

using Range = PlaybackTracker::Range;
using News = PlaybackTracker::LoopNews;

constexpr Range kMain{0, 220160};
constexpr Range kOverview{0, 1323008};

TEST(PlaybackTrackerTest, ContinuousPlaybackDetectsNoLoop) {
  PlaybackTracker t;
  PlaybackTracker::Step s = t.Advance(3072, 3072, kMain, kOverview, true);
  EXPECT_EQ(t.Position(), 3072);
  EXPECT_EQ(s.firstColumn, 0);
  EXPECT_EQ(s.columns, 3);
  for (int32_t pos = 5120; pos < 200000; pos += 2048) {
    s = t.Advance(2048, pos, kMain, kOverview, true);
    EXPECT_EQ(s.firstColumn, pos - 2048);
    EXPECT_EQ(s.loop, News::kNone);
  }
  EXPECT_FALSE(t.HasLoop());
}

TEST(PlaybackTrackerTest, PositionsAreRoundedToColumns) {
  PlaybackTracker t;
  t.Advance(1024, 2048 + 511, kMain, kOverview, false);
  EXPECT_EQ(t.Position(), 2048);
  t.Advance(1024, 3072 + 512, kMain, kOverview, false);
  EXPECT_EQ(t.Position(), 4096);
}

TEST(PlaybackTrackerTest, ABackwardJumpIsALoopForgottenPastItsEnd) {
  PlaybackTracker t;
  t.Advance(2048, 102400, kMain, kOverview, false);
  PlaybackTracker::Step s = t.Advance(2048, 10240, kMain, kOverview, false);
  EXPECT_EQ(s.loop, News::kDetected);
  EXPECT_EQ(t.LoopStart(), 8192);
  EXPECT_EQ(t.LoopEnd(), 102400);
  EXPECT_TRUE(t.HasLoop());

  // Playing on through the old end: kept until 16384 beyond it.
  int32_t pos = 10240;
  while (pos + 1024 < 102400 + 16384) {
    pos += 1024;
    s = t.Advance(1024, pos, kMain, kOverview, false);
    ASSERT_EQ(s.loop, News::kNone) << pos;
  }
  s = t.Advance(1024, 102400 + 16384, kMain, kOverview, false);
  EXPECT_EQ(s.loop, News::kForgotten);
  EXPECT_EQ(t.LoopStart(), -1);
  EXPECT_EQ(t.LoopEnd(), -1);
  s = t.Advance(1024, 102400 + 16384 + 1024, kMain, kOverview, false);
  EXPECT_EQ(s.loop, News::kNone) << "no news without a loop";
}

TEST(PlaybackTrackerTest, AnEmptyRingChangesNothing) {
  PlaybackTracker t;
  t.Advance(2048, 50176, kMain, kOverview, true);
  t.Advance(2048, 10240, kMain, kOverview, true);  // a loop
  const PlaybackTracker::Step s = t.Advance(0, 10240, kMain, kOverview, true);
  EXPECT_EQ(s.columns, 0);
  EXPECT_FALSE(s.mainMoved);
  EXPECT_FALSE(s.overviewMoved);
  EXPECT_EQ(s.loop, News::kNone);
  EXPECT_EQ(t.Position(), 10240);
  EXPECT_EQ(t.LoopStart(), 8192);
}

TEST(PlaybackTrackerTest, FollowPagesSoThePlayheadSitsAtOneFifth) {
  PlaybackTracker t;
  t.Advance(1024, 219136, kMain, kOverview, true);
  const PlaybackTracker::Step s = t.Advance(1024, 220160, kMain, kOverview, true);
  ASSERT_TRUE(s.mainMoved);
  const int32_t span = s.main.end - s.main.start;
  EXPECT_EQ(span, 220160);
  EXPECT_EQ(s.main.start % 1024, 0);
  const double playhead = static_cast<double>(t.Position() - s.main.start) / span;
  EXPECT_NEAR(playhead, 0.2, 1024.0 / span);

  // Without follow the main pane stays.
  PlaybackTracker still;
  still.Advance(1024, 219136, kMain, kOverview, false);
  EXPECT_FALSE(still.Advance(1024, 220160, kMain, kOverview, false).mainMoved);
}

TEST(PlaybackTrackerTest, FollowMovesBackToAnEarlierStart) {
  PlaybackTracker t;
  const Range later{409600, 409600 + 220160};
  t.Advance(1024, 500000 / 1024 * 1024, later, kOverview, true);
  const PlaybackTracker::Step s = t.Advance(2048, 12288, later, kOverview, true);
  EXPECT_EQ(s.main.start, 10240);
  EXPECT_EQ(s.main.end, 10240 + 220160);
}

TEST(PlaybackTrackerTest, TheOverviewGrowsAheadAndBack) {
  PlaybackTracker t;
  PlaybackTracker::Step s = t.Advance(1024, 1323008, kMain, kOverview, false);
  EXPECT_EQ(s.overview.start, 0);
  EXPECT_EQ(s.overview.end, 1323008 + 441344);
  const Range late{102400, 2000000};
  s = t.Advance(2048, 51200, kMain, late, false);
  EXPECT_EQ(s.overview.start, 49152);
}

TEST(PlaybackTrackerTest, TheEndOfTheTimelineSaturates) {
  PlaybackTracker t;
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const PlaybackTracker::Step s =
      t.Advance(2048, kMax, {kMax - 300000, kMax - 100000}, {0, kMax - 100000}, true);
  EXPECT_GT(s.main.end, s.main.start);
  EXPECT_GT(s.overview.end, s.overview.start);
  EXPECT_LE(t.Position(), kMax);
}

}  // namespace
}  // namespace sorvano::test
