#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "framework/vst/VstAbi.h"

namespace sorvano {

class Timeline;

// A parameter gesture or automation message that the plug-in sent to the host.
struct RecordedEdit {
  enum class Kind { kBegin, kAutomate, kEnd };
  Kind kind;
  std::int32_t index;
  float value;  // the normalised value for kAutomate, else 0
};

// How often the plug-in called the host's services.
struct HostCallCounts {
  int timeQueries = 0;
  int ioChanges = 0;
  int displayUpdates = 0;
  int eventsReceived = 0;
};

// The host's side of one plug-in instance: answers the plug-in's calls through
// the host callback (identity, sample rate, block size, song position, canDo)
// and records the edits it reports. Every answer the interface does not ask us
// to give is 0.
//
// Calls from the plug-in may come on any thread the plug-in chooses, and
// during its entry point (before the effect record is known). The callback
// finds its HostCallback through a registry keyed by the effect pointer; it
// never reads the plug-in's record, which the plug-in could have damaged.
class HostCallback {
 public:
  static constexpr const char* kProductName = "Sorvano Host";
  static constexpr const char* kVendorName = "Orvek";
  // The host's version in the decimal form of the interface (1.1.4 -> 10104).
  static constexpr std::int32_t kVendorVersion =
      SORVANO_VERSION_MAJOR * 10000 + SORVANO_VERSION_MINOR * 100 + SORVANO_VERSION_PATCH;
  static constexpr double kDefaultTempo = 120.0;
  // What the host reports before a file sets the real rate and block size.
  static constexpr double kDefaultSampleRate = 44100.0;
  static constexpr std::int32_t kDefaultBlockSize = 1024;

  HostCallback();
  ~HostCallback();

  HostCallback(const HostCallback&) = delete;
  HostCallback& operator=(const HostCallback&) = delete;

  // The function handed to the plug-in's entry point.
  static std::intptr_t Entry(vst::AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                             void* ptr, float opt);

  // Main thread: wraps a call of the entry point, during which the plug-in's
  // calls reach this object whatever effect pointer they carry.
  class ConstructionScope {
   public:
    explicit ConstructionScope(HostCallback& host);
    ~ConstructionScope();
    ConstructionScope(const ConstructionScope&) = delete;
    ConstructionScope& operator=(const ConstructionScope&) = delete;
  };

  // Main thread: routes the calls that carry `effect` to this object (null
  // ends the routing).
  void Attach(vst::AEffect* effect);

  // Main thread, between blocks. The timeline must outlive its use here; null
  // reports a stopped transport at position 0.
  void SetTransport(double sampleRate, std::int32_t blockSize, const Timeline* timeline, double tempo);

  // Main thread, between blocks: copies of what was recorded so far.
  std::vector<RecordedEdit> Edits() const;
  HostCallCounts Counts() const;

 private:
  std::intptr_t Handle(std::int32_t opcode, std::int32_t index, void* ptr, float opt);
  void Record(RecordedEdit::Kind kind, std::int32_t index, float value);
  static std::intptr_t CanDo(const char* text);

  // Rewritten between blocks only; the plug-in reads it through the pointer
  // that audioMasterGetTime returns.
  vst::VstTimeInfo mTimeInfo{};
  std::atomic<double> mSampleRate{kDefaultSampleRate};
  std::atomic<std::int32_t> mBlockSize{kDefaultBlockSize};

  mutable std::mutex mRecordLock;  // guards mEdits and mCounts
  std::vector<RecordedEdit> mEdits;
  HostCallCounts mCounts;
};

}  // namespace sorvano
