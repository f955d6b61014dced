#include "engine/SpectralRing.h"

#include <algorithm>

namespace sorvano {

void SpectralRing::Discard() {
  std::lock_guard<std::mutex> lock(mLock);
  mRingRead = 0;
  mRingAvail.store(0, std::memory_order_relaxed);
  mRingPending = 0;
  mFramePos = 0;
  mPendingFramePos = 0;
}

bool SpectralRing::Publish() {
  // Only the audio thread writes mRingPending, so it may look without the
  // lock and spare the lock in blocks that completed no frame.
  if (mRingPending <= 0) return false;
  std::lock_guard<std::mutex> lock(mLock);
  const int32_t avail = mRingAvail.load(std::memory_order_relaxed);
  mRingAvail.store(FoldBacklog(avail + mRingPending), std::memory_order_relaxed);
  mFramePos = mPendingFramePos;
  mRingPending = 0;
  mPendingFramePos = 0;
  return true;
}

void SpectralRing::WriteFrame(const Complex* spectrum, const int32_t* permutation, int32_t framePos) {
  std::lock_guard<std::mutex> lock(mLock);
  // All three counts are below 2 * kEntries (and multiples of a frame), so the
  // sum neither overflows nor straddles the end of the ring.
  const int32_t write =
      (mRingRead + mRingAvail.load(std::memory_order_relaxed) + mRingPending) % kEntries;
  Complex* dest = mRing + write;
  for (int k = 0; k < kFrameEntries; ++k) dest[k] = spectrum[permutation[k]];
  mRingPending = FoldBacklog(mRingPending + kFrameEntries);
  mPendingFramePos = framePos;
}

int SpectralRing::Read(Complex* dest, int* framePos) {
  if (!dest || mRingAvail.load(std::memory_order_relaxed) == 0) return 0;
  std::lock_guard<std::mutex> lock(mLock);
  // The newest avail mod kEntries published entries lie from mRingRead on.
  const int32_t n = mRingAvail.load(std::memory_order_relaxed) % kEntries;
  // Frames written in the current block go after the published ones and may
  // already have wrapped onto the oldest of them; those are skipped, so that
  // what is returned is always intact and consecutive.
  const int32_t keep = std::clamp(kEntries - mRingPending, 0, n);
  const int32_t from = (mRingRead + n - keep) % kEntries;
  const int32_t firstRun = std::min(keep, kEntries - from);
  std::copy(mRing + from, mRing + from + firstRun, dest);
  std::copy(mRing, mRing + (keep - firstRun), dest + firstRun);
  if (keep > 0 && framePos) *framePos = mFramePos;
  mRingRead = (mRingRead + n) % kEntries;
  mRingAvail.store(0, std::memory_order_relaxed);
  return keep;
}

SpectralRing::Counters SpectralRing::Snapshot() {
  std::lock_guard<std::mutex> lock(mLock);
  return {mRingRead, mRingAvail.load(std::memory_order_relaxed), mRingPending, mFramePos,
          mPendingFramePos};
}

}  // namespace sorvano
