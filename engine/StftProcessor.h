#pragma once

#include <cstdint>
#include <span>

#include "engine/Fft.h"
#include "engine/ModList.h"
#include "engine/StftTables.h"

namespace sorvano {

class SpectralRing;

// Short-time Fourier analysis and resynthesis of a stereo signal packed as one
// complex signal (left = real, right = imaginary): 2048-point frames, hop 1024,
// output delayed by exactly 2048 samples.
//
// Each input sample enters two frames: the one being collected (weighted by
// the second window half) and the next one (weighted by the first half, kept
// in the half of mOutFrame that becomes the next mInFrame). Each output sample
// is the sum of the two processed frames covering it divided by the sum of the
// two weights applied to it; there is no synthesis window.
//
// Every 1024 samples a frame is completed: forward transform, the gains of the
// active records, a copy of bins 0..1023 into the ring, inverse transform,
// scaling by 2^-11, swap of the two frame buffers.
//
// Owns no memory: the plug-in allocates the frame buffers and the solo marks
// before the first block, so processing never allocates.
class StftProcessor {
public:
  static constexpr int kFrameSize = StftTables::kFrameSize;
  static constexpr int kHop = kFrameSize / 2;
  static constexpr int kBinPairs = kFrameSize / 2;

  // frames: two buffers of kFrameSize complex values, A then B, zeroed.
  // soloMarks: kBinPairs marks, zeroed. Both outlive the processor.
  StftProcessor(Complex* frames, int32_t* soloMarks, SpectralRing& ring);
  StftProcessor(const StftProcessor&) = delete;
  StftProcessor& operator=(const StftProcessor&) = delete;

  // Audio thread, plug-in lock held. Processes n samples; pos is the host
  // position of the first one. Each sample's inputs are read before its
  // outputs are written, so outputs may be the input buffers. records is read
  // only; the plug-in lock keeps it unchanged for the whole call.
  void Process(const double* inL, const double* inR, double* outL, double* outR, int n,
               int64_t pos, std::span<const ModRecord> records);

  // For inspection (tests): the fill index 1024..2048 and the two buffers.
  int32_t Fill() const { return mFill; }
  const Complex* InFrame() const { return mInFrame; }
  const Complex* OutFrame() const { return mOutFrame; }

private:
  // Samples per staged run of Process.
  static constexpr int kRun = 128;

  // Audio thread. Per-sample step for run samples from position fill of the
  // collecting frame on: output = sum of the two frames over the sum of their
  // weights, then the input enters both frames, weighted.
  void OverlapAdd(int fill, int run, const double* __restrict left, const double* __restrict right,
                  double* __restrict yl, double* __restrict yr);
  // Audio thread. Completes the frame whose last sample precedes position p.
  void FrameStep(int64_t p, std::span<const ModRecord> records);
  // Multiplies the bins of the frame ending before p by the records' gains;
  // sets the solo marks. Returns whether an active record was soloed.
  bool ApplyRecords(int64_t p, std::span<const ModRecord> records);
  // Silences every bin pair without a solo mark, then clears the marks.
  void ApplySolo();
  // Multiplies bin k and its partner 2047 - k by factor.
  void ScalePair(int k, double factor);

  const StftTables& mTables;
  SpectralRing& mSpectralRing;
  int32_t* const mSoloMarks;
  Complex* mOutFrame;
  Complex* mInFrame;
  int32_t mFill = kHop;
};

}  // namespace sorvano
