#include "engine/SpectralRing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace sorvano {
namespace {

constexpr int kFrame = SpectralRing::kFrameEntries;

// A ring with its storage and a writer that produces frames whose bins carry
// their frame position, so a read can be checked entry by entry.
class RingFixture : public ::testing::Test {
protected:
  RingFixture() : mStorage(SpectralRing::kEntries), mRing(mStorage.data()) {
    // Bins are gathered through the permutation; a reversed one checks that.
    for (int k = 0; k < 2 * kFrame; ++k) mPermutation[k] = 2 * kFrame - 1 - k;
  }

  // Writes one frame at position pos: bin k = (pos, k).
  void Write(int pos) {
    std::vector<Complex> spectrum(2 * kFrame);
    for (int k = 0; k < kFrame; ++k) spectrum[mPermutation[k]] = Complex(pos, k);
    mRing.WriteFrame(spectrum.data(), mPermutation, pos);
  }

  // Reads and checks that the frames are consecutive hops ending at the
  // reported position, each intact. Returns the number of frames.
  int ReadAndCheck(int* lastPos) {
    std::vector<Complex> dest(SpectralRing::kMaxRead);
    int framePos = -12345;
    const int n = mRing.Read(dest.data(), &framePos);
    EXPECT_EQ(n % kFrame, 0);
    EXPECT_LE(n, SpectralRing::kMaxRead);
    const int frames = n / kFrame;
    if (n == 0) {
      EXPECT_EQ(framePos, -12345);
    }
    for (int j = 0; j < frames; ++j) {
      const double expected = framePos - kFrame * (frames - 1 - j);
      for (int k = 0; k < kFrame; ++k) {
        const Complex v = dest[static_cast<size_t>(j * kFrame + k)];
        if (v != Complex(expected, k)) {
          ADD_FAILURE() << "frame " << j << " bin " << k << " holds " << v << ", expected pos "
                        << expected;
          return frames;
        }
      }
    }
    if (lastPos) *lastPos = framePos;
    return frames;
  }

  std::vector<Complex> mStorage;
  SpectralRing mRing;
  int32_t mPermutation[2 * kFrame];
};

TEST_F(RingFixture, FramesBecomeReadableOnlyWhenPublished) {
  int pos = 0;
  EXPECT_EQ(ReadAndCheck(&pos), 0);
  EXPECT_FALSE(mRing.Publish());
  Write(2048);
  Write(3072);
  EXPECT_EQ(ReadAndCheck(&pos), 0);
  const SpectralRing::Counters pending = mRing.Snapshot();
  EXPECT_EQ(pending.mRingPending, 2 * kFrame);
  EXPECT_EQ(pending.mPendingFramePos, 3072);
  EXPECT_EQ(pending.mRingAvail, 0);

  EXPECT_TRUE(mRing.Publish());
  const SpectralRing::Counters published = mRing.Snapshot();
  EXPECT_EQ(published.mRingAvail, 2 * kFrame);
  EXPECT_EQ(published.mRingPending, 0);
  EXPECT_EQ(published.mFramePos, 3072);
  EXPECT_EQ(published.mPendingFramePos, 0);

  EXPECT_EQ(ReadAndCheck(&pos), 2);
  EXPECT_EQ(pos, 3072);
  EXPECT_EQ(mRing.Snapshot().mRingRead, 2 * kFrame);
  EXPECT_EQ(ReadAndCheck(&pos), 0);

  // Reading continues where it stopped, across the end of the storage.
  for (int i = 0; i < 15; ++i) Write(4096 + i * kFrame);
  mRing.Publish();
  EXPECT_EQ(ReadAndCheck(&pos), 15);
  EXPECT_EQ(pos, 4096 + 14 * kFrame);
  EXPECT_EQ(mRing.Snapshot().mRingRead, kFrame);
}

TEST_F(RingFixture, DiscardDropsUnreadAndPendingFrames) {
  Write(2048);
  mRing.Publish();
  Write(3072);
  mRing.Discard();
  const SpectralRing::Counters c = mRing.Snapshot();
  EXPECT_EQ(c.mRingRead, 0);
  EXPECT_EQ(c.mRingAvail, 0);
  EXPECT_EQ(c.mRingPending, 0);
  EXPECT_EQ(c.mFramePos, 0);
  EXPECT_EQ(c.mPendingFramePos, 0);
  EXPECT_FALSE(mRing.Publish());
  int pos = 0;
  EXPECT_EQ(ReadAndCheck(&pos), 0);
  Write(100000);
  mRing.Publish();
  EXPECT_EQ(ReadAndCheck(&pos), 1);
  EXPECT_EQ(pos, 100000);
}

TEST_F(RingFixture, BacklogsOfWholeTurnsKeepOnlyTheNewestRemainder) {
  int pos = 0;
  Write(1024);
  mRing.Publish();
  ReadAndCheck(&pos);  // the read index is now one frame in

  // Exactly 16 frames unread: discarded, nothing returned.
  for (int i = 0; i < 16; ++i) Write(10240 + i * kFrame);
  mRing.Publish();
  EXPECT_EQ(ReadAndCheck(&pos), 0);
  EXPECT_EQ(mRing.Snapshot().mRingAvail, 0);
  EXPECT_EQ(mRing.Snapshot().mRingRead, kFrame);

  // 17 frames: only the newest one is returned.
  for (int i = 0; i < 17; ++i) Write(50000 + i * kFrame);
  mRing.Publish();
  EXPECT_EQ(ReadAndCheck(&pos), 1);
  EXPECT_EQ(pos, 50000 + 16 * kFrame);

  // A long time without a reader, in blocks of several frames: the counts
  // are folded, and the newest 40 mod 16 = 8 frames come back intact.
  for (int block = 0; block < 10; ++block) {
    for (int i = 0; i < 4; ++i) Write(200000 + (block * 4 + i) * kFrame);
    mRing.Publish();
    EXPECT_LT(mRing.Snapshot().mRingAvail, 2 * SpectralRing::kEntries);
  }
  EXPECT_EQ(ReadAndCheck(&pos), 8);
  EXPECT_EQ(pos, 200000 + 39 * kFrame);

  // Many frames within one block fold the pending count the same way.
  for (int i = 0; i < 45; ++i) Write(400000 + i * kFrame);
  EXPECT_LT(mRing.Snapshot().mRingPending, 2 * SpectralRing::kEntries);
  mRing.Publish();
  EXPECT_EQ(ReadAndCheck(&pos), 13);
  EXPECT_EQ(pos, 400000 + 44 * kFrame);
}

TEST_F(RingFixture, PublishedFramesOverwrittenByPendingOnesAreSkipped) {
  // 15 frames published and unread, then 2 more written in the next block:
  // the second of those lands on the oldest published frame, which must not
  // be handed out as if it were old.
  for (int i = 0; i < 15; ++i) Write(10240 + i * kFrame);
  mRing.Publish();
  Write(10240 + 15 * kFrame);
  Write(10240 + 16 * kFrame);
  int pos = 0;
  EXPECT_EQ(ReadAndCheck(&pos), 14);
  EXPECT_EQ(pos, 10240 + 14 * kFrame);
  // The pending frames are still published intact afterwards.
  mRing.Publish();
  EXPECT_EQ(ReadAndCheck(&pos), 2);
  EXPECT_EQ(pos, 10240 + 16 * kFrame);

  // A whole turn of pending frames leaves nothing published readable.
  for (int i = 0; i < 3; ++i) Write(100000 + i * kFrame);
  mRing.Publish();
  for (int i = 3; i < 19; ++i) Write(100000 + i * kFrame);
  EXPECT_EQ(ReadAndCheck(&pos), 0);
  mRing.Publish();
  EXPECT_EQ(ReadAndCheck(&pos), 0);  // exactly 16 pending frames: a whole turn
}

TEST_F(RingFixture, ReaderOnAnotherThreadSeesConsecutiveIntactFrames) {
  // The writer publishes 1..3 frames per block with the positions a steady
  // stream would have, and now and then jumps (discarding). Every read must
  // return consecutive hops, each frame intact, and positions never go back
  // except after a jump.
  constexpr int kBlocks = 3000;
  std::atomic<bool> done{false};
  std::atomic<int> jumps{0};
  std::thread writer([&] {
    int pos = 0;
    for (int b = 0; b < kBlocks; ++b) {
      if (b % 500 == 499) {
        mRing.Discard();
        pos += 1 << 20;
        jumps.fetch_add(1);
      } else {
        mRing.Publish();
      }
      for (int f = 0; f < 1 + b % 3; ++f) {
        pos += kFrame;
        Write(pos);
      }
      if (b % 64 == 0) std::this_thread::yield();
    }
    mRing.Publish();
    done.store(true);
  });

  int reads = 0;
  int frames = 0;
  int lastPos = 0;
  while (!done.load() || mRing.Snapshot().mRingAvail != 0) {
    int pos = 0;
    const int n = ReadAndCheck(&pos);
    if (n > 0) {
      EXPECT_GT(pos, lastPos);
      lastPos = pos;
      frames += n;
      ++reads;
    }
    if (::testing::Test::HasFailure()) break;
  }
  writer.join();
  EXPECT_GT(reads, 0);
  EXPECT_GT(frames, 0);
  EXPECT_EQ(jumps.load(), kBlocks / 500);
}

}  // namespace
}  // namespace sorvano
