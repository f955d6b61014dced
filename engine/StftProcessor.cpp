#include "engine/StftProcessor.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "engine/SpectralRing.h"

namespace sorvano {

namespace {

constexpr double kInverseScale = 1.0 / StftProcessor::kFrameSize;  // 2^-11

// Bin loops run over [lo, hi) limited to the bin pairs that exist, so records
// built with bounds beyond the frame (a region above half the sample rate, a
// record built at another rate) never reach outside it.
struct BinRange {
  int lo;
  int hi;
};

BinRange ClampBins(int64_t lo, int64_t hi) {
  constexpr int64_t top = StftProcessor::kBinPairs;
  return {static_cast<int>(std::clamp<int64_t>(lo, 0, top)),
          static_cast<int>(std::clamp<int64_t>(hi, 0, top))};
}

int32_t SaturateToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// The record's gain at a frame whose middle is at m: the gain itself inside
// the region, faded linearly towards 1 across the fades in time. The fractions
// are not clamped: a frame that overlaps a fade with its middle outside it
// gets a factor beyond the fade's ends.
double TimeGain(const ModRecord& r, int64_t m) {
  double g = r.mMute ? 0.0 : r.mGain;
  if (m < r.mStart && r.mStart != r.mFadeStart) {
    const double b = static_cast<double>(m - r.mFadeStart) /
                     (static_cast<double>(r.mStart) - r.mFadeStart);
    g = g * b + 1.0 - b;
  } else if (m >= r.mEnd && r.mEnd != r.mFadeEnd) {
    const double c = static_cast<double>(m - r.mEnd) /
                     (static_cast<double>(r.mFadeEnd) - r.mEnd);
    g = c + g * (1.0 - c);
  }
  return g;
}

}  // namespace

StftProcessor::StftProcessor(Complex* frames, int32_t* soloMarks, SpectralRing& ring)
    : mTables(StftTables::Get()),
      mSpectralRing(ring),
      mSoloMarks(soloMarks),
      mOutFrame(frames),
      mInFrame(frames + kFrameSize) {}

void StftProcessor::Process(const double* inL, const double* inR, double* outL, double* outR,
                            int n, int64_t pos, std::span<const ModRecord> records) {
  // The host's buffers may be the same for input and output, so each run is
  // staged through local arrays; the arithmetic then works on memory that
  // cannot alias and is vectorised.
  double left[kRun], right[kRun], yl[kRun], yr[kRun];
  int i = 0;
  while (i < n) {
    if (mFill == kFrameSize) FrameStep(pos + i, records);
    // Up to the end of the current hop: no frame test per sample.
    const int run = std::min({n - i, kFrameSize - mFill, kRun});
    std::copy_n(inL + i, run, left);
    std::copy_n(inR + i, run, right);
    OverlapAdd(mFill, run, left, right, yl, yr);
    std::copy_n(yl, run, outL + i);
    std::copy_n(yr, run, outR + i);
    mFill += run;
    i += run;
  }
}

void StftProcessor::OverlapAdd(int fill, int run, const double* __restrict left,
                               const double* __restrict right, double* __restrict yl,
                               double* __restrict yr) {
  // Array-oriented access to the complex buffers (real, imaginary pairs).
  double* __restrict collect = reinterpret_cast<double*>(mInFrame) + 2 * fill;
  double* __restrict previous = reinterpret_cast<double*>(mOutFrame) + 2 * (fill - kHop);
  const double* __restrict wa = mTables.mWindow + fill;
  const double* __restrict wb = mTables.mWindow + (fill - kHop);
  const double* __restrict norm = mTables.mWindowSumInverse + (fill - kHop);
  for (int j = 0; j < run; ++j) {
    // Both frames' values are read before this sample's weighted input
    // replaces them.
    yl[j] = (previous[2 * j] + collect[2 * j]) * norm[j];
    yr[j] = (previous[2 * j + 1] + collect[2 * j + 1]) * norm[j];
    collect[2 * j] = wa[j] * left[j];
    collect[2 * j + 1] = wa[j] * right[j];
    previous[2 * j] = wb[j] * left[j];
    previous[2 * j + 1] = wb[j] * right[j];
  }
}

void StftProcessor::FrameStep(int64_t p, std::span<const ModRecord> records) {
  Fft(mInFrame, kFrameSize, false);
  if (!records.empty() && ApplyRecords(p, records)) ApplySolo();
  mSpectralRing.WriteFrame(mInFrame, mTables.mPermutation, SaturateToInt32(p));
  Fft(mInFrame, kFrameSize, true);
  double* d = reinterpret_cast<double*>(mInFrame);
  for (int i = 0; i < 2 * kFrameSize; i += 16) {
    for (int j = 0; j < 16; ++j) d[i + j] *= kInverseScale;
  }
  std::swap(mInFrame, mOutFrame);
  mFill = kHop;
}

void StftProcessor::ScalePair(int k, double factor) {
  double* d = reinterpret_cast<double*>(mInFrame);
  const int32_t* perm = mTables.mPermutation;
  double* lo = d + 2 * perm[k];
  double* hi = d + 2 * perm[kFrameSize - 1 - k];
  lo[0] *= factor;
  lo[1] *= factor;
  hi[0] *= factor;
  hi[1] *= factor;
}

bool StftProcessor::ApplyRecords(int64_t p, std::span<const ModRecord> records) {
  // The frame holds positions p - 2048 .. p - 1; s is its start, limited to
  // 0, and m its middle. 64-bit, so positions near the end of int32 are safe.
  const int64_t s = std::max<int64_t>(p - kFrameSize, 0);
  const int64_t m = (s + p) / 2;
  bool solo = false;
  for (const ModRecord& r : records) {
    if (!(r.mFadeStart < p && r.mFadeEnd > s && r.mBypass == 0)) continue;
    const double g = TimeGain(r, m);

    if (r.mFadeLowBin != r.mLowBin) {
      const int64_t from = r.mFadeLowBin;
      const double width = static_cast<double>(r.mLowBin) - from;
      const BinRange range = ClampBins(from + 1, r.mLowBin);
      for (int k = range.lo; k < range.hi; ++k) {
        const double d = static_cast<double>(k - from) / width;
        ScalePair(k, g * d + 1.0 - d);
      }
    }
    if (r.mFadeHighBin != r.mHighBin) {
      const int64_t from = r.mHighBin;
      const double width = static_cast<double>(r.mFadeHighBin) - from;
      const BinRange range = ClampBins(from, r.mFadeHighBin);
      for (int k = range.lo; k < range.hi; ++k) {
        const double f = static_cast<double>(k - from) / width;
        ScalePair(k, f + g * (1.0 - f));
      }
    }
    const BinRange core = ClampBins(r.mLowBin, r.mHighBin);
    for (int k = core.lo; k < core.hi; ++k) ScalePair(k, g);

    if (r.mSolo) {
      const BinRange band = ClampBins(r.mFadeLowBin, r.mFadeHighBin);
      for (int k = band.lo; k < band.hi; ++k) mSoloMarks[k] = 1;
      solo = true;
    }
  }
  return solo;
}

void StftProcessor::ApplySolo() {
  for (int k = 0; k < kBinPairs; ++k) {
    if (mSoloMarks[k] == 0) ScalePair(k, 0.0);
  }
  std::memset(mSoloMarks, 0, sizeof(int32_t) * kBinPairs);
}

}  // namespace sorvano
