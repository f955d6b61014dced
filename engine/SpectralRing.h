#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/Fft.h"

namespace sorvano {

// The spectral frame ring: the processed spectra the audio thread hands to the
// sonogram view. 16 frames of 1024 complex bins (0..1023 in natural order, of
// the packed signal left + i*right), written once per hop and published at the
// start of the next block.
//
// Frame position: the host sample position of the first sample after the
// frame, so a frame at position P holds the samples P - 2048 .. P - 1.
//
// The writer never waits for the reader. A backlog of whole turns is resolved
// by the reader: it takes the newest (backlog modulo 16384) entries, so an
// exact multiple of 16384 is discarded. Published entries that frames of the
// current block have already overwritten are skipped as well.
//
// Every counter is guarded by the ring lock; mRingAvail is in addition atomic
// so that the reader may look at it without the lock as a quick check.
class SpectralRing {
public:
  static constexpr int kEntries = 16384;
  static constexpr int kFrameEntries = 1024;
  static constexpr int kMaxRead = kEntries - kFrameEntries;

  // storage: kEntries complex values owned by the plug-in, zeroed by it.
  explicit SpectralRing(Complex* storage) : mRing(storage) {}
  SpectralRing(const SpectralRing&) = delete;
  SpectralRing& operator=(const SpectralRing&) = delete;

  // Audio thread, plug-in lock held; takes the ring lock. A transport jump:
  // everything unread or unpublished is dropped and all counters become 0.
  void Discard();

  // Audio thread, plug-in lock held; takes the ring lock. Makes the frames
  // written during the previous block readable. Returns whether there were any.
  bool Publish();

  // Audio thread, plug-in lock held; takes the ring lock for the copy. Appends
  // one frame: bins k = 0..1023 are read from spectrum[permutation[k]] (the
  // scrambled order of a forward transform). framePos as described above.
  void WriteFrame(const Complex* spectrum, const int32_t* permutation, int32_t framePos);

  // Editor thread; takes the ring lock. Copies every published, unread entry
  // to dest (oldest first; dest holds at least kMaxRead entries) and returns
  // their number, a multiple of 1024. On a non-zero return *framePos receives
  // the position of the last frame copied; on zero it is left alone.
  int Read(Complex* dest, int* framePos);

  // Any thread; takes the ring lock. The bookkeeping as one consistent copy.
  struct Counters {
    int32_t mRingRead;
    int32_t mRingAvail;
    int32_t mRingPending;
    int32_t mFramePos;
    int32_t mPendingFramePos;
  };
  Counters Snapshot();

private:
  // Keeps a count of entries below 2 * kEntries without changing it modulo
  // kEntries, which is all the write index and the reader use. Without this a
  // ring that nobody reads would overflow int32 after about 13 hours.
  static int32_t FoldBacklog(int32_t entries) {
    return entries >= 2 * kEntries ? kEntries + entries % kEntries : entries;
  }

  Complex* const mRing;
  std::mutex mLock;
  int32_t mRingRead = 0;
  std::atomic<int32_t> mRingAvail{0};
  int32_t mRingPending = 0;
  int32_t mFramePos = 0;
  int32_t mPendingFramePos = 0;
};

}  // namespace sorvano
