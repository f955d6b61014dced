#include "engine/ModList.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace sorvano {

namespace {

constexpr double kFallbackRate = 44100.0;
constexpr double kFrameSize = 2048.0;

// A whole number (or a value already truncated) as int32, saturating at the
// type's range; not-a-number gives 0.
int32_t SaturateToInt32(double v) {
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  if (std::isnan(v)) return 0;
  if (v <= lo) return std::numeric_limits<int32_t>::min();
  if (v >= hi) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

// Nearest bin of a frequency: trunc(x + 0.5), so halves round up.
int32_t RoundToBin(double hz, double binsPerHz) {
  return SaturateToInt32(std::trunc(hz * binsPerHz + 0.5));
}

// The rate in whole Hz. A rate that truncates to nothing usable (below 1 Hz,
// beyond int32, not a number) would make the bin factor infinite or the
// truncation undefined, so it is replaced by the plug-in's initial rate.
int32_t WholeSampleRate(double sampleRate) {
  if (!(sampleRate >= 1.0 && sampleRate < 2147483648.0)) sampleRate = kFallbackRate;
  return static_cast<int32_t>(sampleRate);
}

}  // namespace

ModRecord BuildModRecord(const ModRegion& region, double gain, double fade, double sampleRate) {
  if (!std::isfinite(fade)) fade = 0.0;
  if (!std::isfinite(gain)) gain = 1.0;
  gain = std::clamp(gain, -kMaxGain, kMaxGain);
  const int32_t sr = WholeSampleRate(sampleRate);
  const double binsPerHz = kFrameSize / sr;

  ModRecord r{};
  r.mGain = gain;
  r.mStart = region.mStart;
  r.mEnd = region.mEnd;
  r.mLowHz = region.mLowHz;
  r.mHighHz = region.mHighHz;
  r.mLowBin = RoundToBin(r.mLowHz, binsPerHz);
  r.mHighBin = RoundToBin(r.mHighHz, binsPerHz);

  // Differences and sums in doubles: the int32 operands may span the whole
  // range, and the results saturate where the fields are int32.
  const double dt = std::trunc((static_cast<double>(r.mEnd) - r.mStart) * fade);
  const double fadeStart = r.mStart - dt;
  r.mFadeStart = fadeStart < 0.0 ? 0 : SaturateToInt32(fadeStart);
  r.mFadeEnd = SaturateToInt32(r.mEnd + dt);

  const double df = std::trunc((static_cast<double>(r.mHighHz) - r.mLowHz) * fade);
  const double fadeLowHz = r.mLowHz - df;
  r.mFadeLowHz = fadeLowHz < 0.0 ? 0 : SaturateToInt32(fadeLowHz);
  const double fadeHighHz = r.mHighHz + df;
  const double nyquist = sr / 2;
  r.mFadeHighHz = SaturateToInt32(fadeHighHz < nyquist ? fadeHighHz : nyquist);
  r.mFadeLowBin = RoundToBin(r.mFadeLowHz, binsPerHz);
  r.mFadeHighBin = RoundToBin(r.mFadeHighHz, binsPerHz);
  return r;
}

void ModList::Reserve(int count) {
  const std::size_t wanted = count > 0 ? static_cast<std::size_t>(count) : 0;
  // Both freed when the function returns, after the spare lock is released.
  std::vector<ModRecord> retired;
  std::vector<ModRecord> storage;
  {
    std::lock_guard<std::mutex> lock(mSpareLock);
    retired.swap(mRetired);
    if (wanted <= mCapacity.load(std::memory_order_relaxed) || wanted <= mSpare.capacity()) return;
  }
  // Growing by half at least keeps the number of swaps logarithmic in the
  // count.
  const std::size_t capacity = mCapacity.load(std::memory_order_relaxed);
  try {
    storage.reserve(std::max({wanted, capacity + capacity / 2, std::size_t{16}}));
  } catch (const std::bad_alloc&) {
    return;  // Add then grows the list under the lock, or reports it full
  }
  std::lock_guard<std::mutex> lock(mSpareLock);
  if (storage.capacity() > mSpare.capacity()) mSpare.swap(storage);
}

bool ModList::SwapInSpare() {
  std::lock_guard<std::mutex> lock(mSpareLock);
  if (mSpare.capacity() <= mRecords.size()) return false;
  // Within the reserved capacity: copies, never allocates.
  mSpare.assign(mRecords.begin(), mRecords.end());
  mRecords.swap(mSpare);
  // The old storage waits for the next Reserve to be freed outside the
  // plug-in lock; whatever waited there before becomes the (empty) spare.
  mSpare.clear();
  mSpare.swap(mRetired);
  mSpare.clear();
  return true;
}

int ModList::Add(const ModRecord& record) {
  if (mRecords.size() == mRecords.capacity()) SwapInSpare();
  try {
    mRecords.push_back(record);
  } catch (const std::bad_alloc&) {
    // Nothing is added; the caller sees the unchanged count.
  }
  mCapacity.store(mRecords.capacity(), std::memory_order_relaxed);
  return Count();
}

int ModList::Delete(int idx) {
  const int before = Count();
  if (Valid(idx)) mRecords.erase(mRecords.begin() + idx);
  return before - 1;
}

void ModList::Update(int idx, const ModRecord& record) {
  if (!Valid(idx)) return;
  ModRecord& r = mRecords[static_cast<size_t>(idx)];
  const uint8_t mute = r.mMute, solo = r.mSolo, bypass = r.mBypass;
  r = record;
  r.mMute = mute;
  r.mSolo = solo;
  r.mBypass = bypass;
}

void ModList::Clear() {
  std::vector<ModRecord>().swap(mRecords);
  mCapacity.store(0, std::memory_order_relaxed);
}

void ModList::ToggleMute(int idx) {
  if (Valid(idx)) mRecords[static_cast<size_t>(idx)].mMute ^= 1;
}

void ModList::ToggleSolo(int idx) {
  if (Valid(idx)) mRecords[static_cast<size_t>(idx)].mSolo ^= 1;
}

void ModList::ToggleBypass(int idx) {
  if (Valid(idx)) mRecords[static_cast<size_t>(idx)].mBypass ^= 1;
}

}  // namespace sorvano
