#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "editor/ModRegion.h"

namespace sorvano {

// One entry of the engine's region list: the region with its bins and fade
// bounds fixed at the sample rate in force when it was built. Bins are natural
// indices of the 2048-point transform.
struct ModRecord {
  int32_t mStart;
  int32_t mEnd;
  int32_t mLowHz;
  int32_t mHighHz;
  int32_t mLowBin;
  int32_t mHighBin;
  int32_t mFadeStart;
  int32_t mFadeEnd;
  int32_t mFadeLowHz;
  int32_t mFadeHighHz;
  int32_t mFadeLowBin;
  int32_t mFadeHighBin;
  double mGain;    // linear amplitude; 1.0 = unchanged
  uint8_t mMute;   // 1: the gain counts as 0.0
  uint8_t mSolo;   // 1: everything outside the faded band is silenced
  uint8_t mBypass; // 1: the record is ignored
};

// Builds a record with all three flags 0. sampleRate is the plug-in's current
// rate; it is truncated to whole Hz. fade is a factor of the region's size
// (0 = none, 1 = a fade as long as the region on each side).
//
// Input that cannot describe a region is made harmless rather than trusted:
// a rate below 1 Hz or beyond the int32 range (or not a number) is taken as
// 44100 Hz, a fade or gain that is not a finite number as 0 and 1.0, a gain
// beyond +-kMaxGain as that limit (so that no finite input can become an
// infinite sample), and every derived bound saturates at the int32 range
// instead of overflowing.
// Bounds outside the 1024 bin pairs are kept as computed; the processor
// limits its loops to the frame.
ModRecord BuildModRecord(const ModRegion& region, double gain, double fade, double sampleRate);

// +40 dB, the editor's ceiling for a region's gain.
inline constexpr double kMaxGain = 100.0;

// The engine's region list: records in insertion order, the index of a record
// is its position.
//
// Threads and locks: every operation but Reserve runs with the plug-in lock
// held (the plug-in takes it around each call, and the processor reads
// Records() under the same lock), so none of them may keep the audio thread
// waiting longer than a copy: records are built by the caller before the
// lock is taken, and the larger storage an Add needs is allocated beforehand
// by Reserve, on the editor thread without the plug-in lock. Add swaps it in
// and leaves the old storage to be freed by the next Reserve. Only an Add
// without a Reserve before it (a state restore on a host thread) allocates
// under the lock. The storage handed between the two sides is guarded by a
// lock of its own, taken after the plug-in lock and only for a swap.
class ModList {
public:
  ModList() = default;
  ModList(const ModList&) = delete;
  ModList& operator=(const ModList&) = delete;

  // Any thread, without the plug-in lock: prepares storage for at least
  // count records, so that the Adds up to that count allocate nothing, and
  // frees the storage that earlier Adds replaced.
  void Reserve(int count);

  // Appends the record (built by BuildModRecord, flags 0). Returns the new
  // count; if the storage cannot grow, nothing is added and the unchanged
  // count is returned.
  int Add(const ModRecord& record);

  // Removes record idx, keeping the order of the others, when idx is a valid
  // index. Returns the count before the call minus one in every case.
  int Delete(int idx);

  // Replaces the bounds and the gain of record idx by record's; its flags are
  // kept. Invalid indices are ignored.
  void Update(int idx, const ModRecord& record);

  // Removes all records and releases their storage.
  void Clear();

  // Flip one flag of record idx; invalid indices are ignored.
  void ToggleMute(int idx);
  void ToggleSolo(int idx);
  void ToggleBypass(int idx);

  int Count() const { return static_cast<int>(mRecords.size()); }
  std::span<const ModRecord> Records() const { return mRecords; }

private:
  bool Valid(int idx) const { return idx >= 0 && idx < Count(); }
  // Moves the records into the prepared storage when it is large enough;
  // answers whether it did.
  bool SwapInSpare();

  std::vector<ModRecord> mRecords;
  // mRecords' capacity, for Reserve, which runs without the plug-in lock.
  std::atomic<std::size_t> mCapacity{0};
  std::mutex mSpareLock;
  std::vector<ModRecord> mSpare;    // prepared by Reserve, empty
  std::vector<ModRecord> mRetired;  // replaced by Add, freed by Reserve
};

}  // namespace sorvano
