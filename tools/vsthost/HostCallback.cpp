#include "tools/vsthost/HostCallback.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "framework/BoundedString.h"
#include "tools/vsthost/Timeline.h"

namespace sorvano {

namespace {

// Which HostCallback answers which effect. The host runs few instances, so a
// short list searched under one lock is enough; the lock is also held while a
// call is answered, so an instance is never destroyed under a running call.
struct Registry {
  std::mutex lock;
  std::vector<std::pair<vst::AEffect*, HostCallback*>> attached;
  HostCallback* constructing = nullptr;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// The canDo strings this host answers with yes.
constexpr const char* kHostCapabilities[] = {
    "sendVstEvents",   "sendVstMidiEvent",    "sendVstTimeInfo",
    "receiveVstEvents", "receiveVstMidiEvent", "startStopProcess",
};

// The longest canDo text this host reads from the plug-in.
constexpr std::size_t kMaxCanDoText = 256;

constexpr std::int32_t kTimeSignatureNumerator = 4;
constexpr std::int32_t kTimeSignatureDenominator = 4;

}  // namespace

HostCallback::HostCallback() { SetTransport(kDefaultSampleRate, kDefaultBlockSize, nullptr, kDefaultTempo); }

HostCallback::~HostCallback() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  std::erase_if(registry.attached, [this](const auto& entry) { return entry.second == this; });
  if (registry.constructing == this) registry.constructing = nullptr;
}

HostCallback::ConstructionScope::ConstructionScope(HostCallback& host) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.constructing = &host;
}

HostCallback::ConstructionScope::~ConstructionScope() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.constructing = nullptr;
}

void HostCallback::Attach(vst::AEffect* effect) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  std::erase_if(registry.attached, [this](const auto& entry) { return entry.second == this; });
  if (effect) registry.attached.emplace_back(effect, this);
}

std::intptr_t HostCallback::Entry(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  std::intptr_t /*value*/, void* ptr, float opt) {
  // Nothing may unwind into the plug-in's frames.
  try {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    HostCallback* host = registry.constructing;
    for (const auto& [attachedEffect, attachedHost] : registry.attached) {
      if (attachedEffect == effect) host = attachedHost;
    }
    if (host) return host->Handle(opcode, index, ptr, opt);
    return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
  } catch (...) {
    return 0;
  }
}

std::intptr_t HostCallback::Handle(std::int32_t opcode, std::int32_t index, void* ptr, float opt) {
  switch (opcode) {
    case vst::audioMasterAutomate:
      Record(RecordedEdit::Kind::kAutomate, index, opt);
      return 0;
    case vst::audioMasterBeginEdit:
      Record(RecordedEdit::Kind::kBegin, index, 0.0f);
      return 1;
    case vst::audioMasterEndEdit:
      Record(RecordedEdit::Kind::kEnd, index, 0.0f);
      return 1;
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterGetTime: {
      std::lock_guard<std::mutex> guard(mRecordLock);
      ++mCounts.timeQueries;
      return reinterpret_cast<std::intptr_t>(&mTimeInfo);
    }
    case vst::audioMasterProcessEvents: {
      std::lock_guard<std::mutex> guard(mRecordLock);
      ++mCounts.eventsReceived;
      return 1;
    }
    case vst::audioMasterIOChanged: {
      std::lock_guard<std::mutex> guard(mRecordLock);
      ++mCounts.ioChanges;
      return 1;
    }
    case vst::audioMasterUpdateDisplay: {
      std::lock_guard<std::mutex> guard(mRecordLock);
      ++mCounts.displayUpdates;
      return 1;
    }
    case vst::audioMasterGetSampleRate:
      return static_cast<std::intptr_t>(std::lround(mSampleRate.load()));
    case vst::audioMasterGetBlockSize:
      return mBlockSize.load();
    case vst::audioMasterGetVendorString:
      if (!ptr) return 0;
      CopyBounded(static_cast<char*>(ptr), vst::kVstMaxVendorStrLen, kVendorName);
      return 1;
    case vst::audioMasterGetProductString:
      if (!ptr) return 0;
      CopyBounded(static_cast<char*>(ptr), vst::kVstMaxProductStrLen, kProductName);
      return 1;
    case vst::audioMasterGetVendorVersion:
      return kVendorVersion;
    case vst::audioMasterCanDo:
      return CanDo(static_cast<const char*>(ptr));
    default:
      return 0;
  }
}

void HostCallback::Record(RecordedEdit::Kind kind, std::int32_t index, float value) {
  std::lock_guard<std::mutex> guard(mRecordLock);
  mEdits.push_back(RecordedEdit{kind, index, value});
}

std::intptr_t HostCallback::CanDo(const char* text) {
  if (!text) return 0;
  // The plug-in's text may lack its terminator: compare within a bound.
  const std::size_t length = strnlen(text, kMaxCanDoText);
  if (length == kMaxCanDoText) return 0;
  for (const char* capability : kHostCapabilities) {
    if (std::strcmp(text, capability) == 0) return 1;
  }
  return 0;
}

void HostCallback::SetTransport(double sampleRate, std::int32_t blockSize, const Timeline* timeline, double tempo) {
  mSampleRate.store(sampleRate);
  mBlockSize.store(blockSize);

  vst::VstTimeInfo info{};
  info.sampleRate = sampleRate;
  info.tempo = tempo;
  info.timeSigNumerator = kTimeSignatureNumerator;
  info.timeSigDenominator = kTimeSignatureDenominator;
  info.flags = vst::kVstNanosValid | vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid |
               vst::kVstTimeSigValid;
  if (timeline) {
    const double quartersPerSample = tempo / 60.0 / sampleRate;
    const double quartersPerBar = 4.0 * kTimeSignatureNumerator / kTimeSignatureDenominator;
    info.samplePos = static_cast<double>(timeline->Position());
    // A deterministic clock: the time of the frames processed so far.
    info.nanoSeconds = static_cast<double>(timeline->Elapsed()) / sampleRate * 1e9;
    info.ppqPos = info.samplePos * quartersPerSample;
    info.barStartPos = std::floor(info.ppqPos / quartersPerBar) * quartersPerBar;
    info.flags |= vst::kVstTransportPlaying;
    if (timeline->Changed()) info.flags |= vst::kVstTransportChanged;
    if (const auto& loop = timeline->Loop()) {
      info.cycleStartPos = static_cast<double>(loop->start) * quartersPerSample;
      info.cycleEndPos = static_cast<double>(loop->end) * quartersPerSample;
      info.flags |= vst::kVstTransportCycleActive | vst::kVstCyclePosValid;
    }
  }
  mTimeInfo = info;
}

std::vector<RecordedEdit> HostCallback::Edits() const {
  std::lock_guard<std::mutex> guard(mRecordLock);
  return mEdits;
}

HostCallCounts HostCallback::Counts() const {
  std::lock_guard<std::mutex> guard(mRecordLock);
  return mCounts;
}

}  // namespace sorvano
