#include "tools/vsthost/Timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tools/vsthost/HostError.h"

namespace sorvano {
namespace {

// Drives a timeline the way the renderer does and returns the song position
// of every frame.
std::vector<std::int64_t> FramePositions(Timeline& timeline, std::int64_t total, std::int32_t block) {
  std::vector<std::int64_t> positions;
  while (static_cast<std::int64_t>(positions.size()) < total) {
    const auto wanted = static_cast<std::int32_t>(std::min<std::int64_t>(block, total - positions.size()));
    const std::int32_t frames = timeline.FramesBeforeDiscontinuity(wanted);
    EXPECT_GE(frames, 1);
    EXPECT_LE(frames, wanted);
    for (std::int32_t i = 0; i < frames; ++i) positions.push_back(timeline.Position() + i);
    timeline.Advance(frames);
  }
  return positions;
}

TEST(Timeline, AdvancesByTheBlockLengthWithoutMoves) {
  Timeline timeline(500, std::nullopt, {});
  EXPECT_TRUE(timeline.Changed());
  EXPECT_EQ(timeline.FramesBeforeDiscontinuity(256), 256);
  timeline.Advance(256);
  EXPECT_FALSE(timeline.Changed());
  EXPECT_EQ(timeline.Position(), 756);
  EXPECT_EQ(timeline.Elapsed(), 256);
}

TEST(Timeline, LoopWrapsExactlyAtItsEndWhateverTheBlockSize) {
  for (std::int32_t block : {1, 7, 64, 1000}) {
    Timeline timeline(0, TimelineLoop{10, 110}, {});
    const auto positions = FramePositions(timeline, 400, block);
    for (std::size_t i = 0; i < positions.size(); ++i) {
      const std::int64_t expected = i < 110 ? static_cast<std::int64_t>(i) : 10 + (static_cast<std::int64_t>(i) - 110) % 100;
      ASSERT_EQ(positions[i], expected) << "frame " << i << ", block " << block;
    }
  }
}

TEST(Timeline, LoopIsNotEnteredFromBeyondItsEnd) {
  Timeline timeline(200, TimelineLoop{0, 100}, {});
  const auto positions = FramePositions(timeline, 50, 16);
  EXPECT_EQ(positions.back(), 249);
}

TEST(Timeline, JumpsHappenOnceAtTheirFrameAndMarkTheTransportChanged) {
  const std::vector<TimelineJump> jumps{{300, 5000}, {100, -20}};
  Timeline timeline(0, std::nullopt, jumps);
  const auto positions = FramePositions(timeline, 400, 64);
  EXPECT_EQ(positions[99], 99);
  EXPECT_EQ(positions[100], -20);
  EXPECT_EQ(positions[299], 179);
  EXPECT_EQ(positions[300], 5000);
  EXPECT_EQ(positions[399], 5099);

  Timeline counted(0, std::nullopt, jumps);
  int changedBlocks = 0;
  while (counted.Elapsed() < 400) {
    if (counted.Changed()) ++changedBlocks;
    counted.Advance(counted.FramesBeforeDiscontinuity(64));
  }
  EXPECT_EQ(changedBlocks, 3);  // the first block and the one after each jump
}

TEST(Timeline, JumpAtFrameZeroAppliesBeforeTheFirstBlock) {
  Timeline timeline(0, std::nullopt, {{0, 777}});
  EXPECT_EQ(timeline.Position(), 777);
  EXPECT_TRUE(timeline.Changed());
}

TEST(Timeline, JumpOntoTheLoopEndWrapsToTheLoopStart) {
  Timeline timeline(0, TimelineLoop{40, 80}, {{10, 80}});
  const auto positions = FramePositions(timeline, 20, 32);
  EXPECT_EQ(positions[9], 9);
  EXPECT_EQ(positions[10], 40);
}

TEST(Timeline, RejectsAnEmptyOrInvertedLoop) {
  EXPECT_THROW(Timeline(0, TimelineLoop{100, 100}, {}), HostError);
  EXPECT_THROW(Timeline(0, TimelineLoop{100, 50}, {}), HostError);
}

}  // namespace
}  // namespace sorvano
