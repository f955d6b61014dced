#pragma once

// A scriptable VST 2.x host for tests: it hands a plug-in its callback,
// records every host call it receives, answers the queries a plug-in makes
// (time info, product string, vendor version, MIDI output) with configurable
// values, and can call back into the plug-in's dispatcher from inside a host
// callback, as real hosts do.
//
//   FakeVstHost host;
//   std::unique_ptr<MyEffect> plug = std::make_unique<MyEffect>(host.Callback());
//   host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));
//   host.Dispatch(vst::effOpen);
//
// The host finds itself from the effect record's resvd1 field (which belongs
// to the host, as in real hosts); before Attach, the most recently created
// FakeVstHost answers.

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/vst/IEffectVST.h"
#include "framework/vst/VstAbi.h"

namespace sorvano::test {

struct HostCall {
  std::int32_t mOpcode = 0;
  std::int32_t mIndex = 0;
  std::intptr_t mValue = 0;
  float mOpt = 0.0f;
};

class FakeVstHost {
public:
  FakeVstHost() { Current() = this; }
  ~FakeVstHost() {
    if (Current() == this) Current() = nullptr;
  }
  FakeVstHost(const FakeVstHost&) = delete;
  FakeVstHost& operator=(const FakeVstHost&) = delete;

  // The callback to hand to a plug-in constructor or an entry point.
  static vst::HostCallback RawCallback() { return &FakeVstHost::HostCallback; }
  static VstHostCallback Callback() { return reinterpret_cast<VstHostCallback>(&FakeVstHost::HostCallback); }

  // Binds the host to an effect record, as a host does after the entry point.
  void Attach(vst::AEffect* effect) {
    mEffect = effect;
    effect->resvd1 = reinterpret_cast<std::intptr_t>(this);
  }
  // After the plug-in is closed: the record is gone.
  void Detach() { mEffect = nullptr; }
  vst::AEffect* Effect() const { return mEffect; }

  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f) {
    return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
  }

  int Count(std::int32_t opcode) const {
    int n = 0;
    for (const HostCall& call : mCalls) n += call.mOpcode == opcode ? 1 : 0;
    return n;
  }

  // ---- Answers (configure before the plug-in asks) ----

  // audioMasterGetTime answers a pointer to a copy of this, or 0 when empty.
  std::optional<vst::VstTimeInfo> mTimeInfo;
  // audioMasterGetProductString copies this (whole, like a real host that
  // does not check the length); audioMasterGetVendorVersion answers this.
  std::string mProductString;
  std::intptr_t mVendorVersion = 0;
  // audioMasterProcessEvents answers this.
  std::intptr_t mProcessEventsAnswer = 1;
  // Runs inside every host call, after it is recorded and answered: may call
  // back into the plug-in (Dispatch) like a re-entrant host.
  std::function<void(FakeVstHost& host, const HostCall& call)> mOnCall;

  // ---- Records ----

  std::vector<HostCall> mCalls;
  // MIDI events received through audioMasterProcessEvents, and the types of
  // every event received there.
  std::vector<vst::VstMidiEvent> mMidiOut;
  std::vector<std::int32_t> mEventTypes;

private:
  static FakeVstHost*& Current() {
    static FakeVstHost* current = nullptr;
    return current;
  }

  static std::intptr_t HostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                    std::intptr_t value, void* ptr, float opt) {
    FakeVstHost* host = effect && effect->resvd1 ? reinterpret_cast<FakeVstHost*>(effect->resvd1) : Current();
    if (!host) return 0;
    return host->Answer(opcode, index, value, ptr, opt);
  }

  std::intptr_t Answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
    HostCall call{opcode, index, value, opt};
    mCalls.push_back(call);
    std::intptr_t answer = 0;
    switch (opcode) {
      case vst::audioMasterVersion:
        answer = vst::kVstVersion;
        break;
      case vst::audioMasterGetTime:
        if (mTimeInfo) {
          mTimeAnswer = *mTimeInfo;
          answer = reinterpret_cast<std::intptr_t>(&mTimeAnswer);
        }
        break;
      case vst::audioMasterGetProductString:
        if (ptr) std::memcpy(ptr, mProductString.c_str(), mProductString.size() + 1);
        answer = 1;
        break;
      case vst::audioMasterGetVendorVersion:
        answer = mVendorVersion;
        break;
      case vst::audioMasterProcessEvents:
        RecordEvents(static_cast<const vst::VstEvents*>(ptr));
        answer = mProcessEventsAnswer;
        break;
      default:
        break;
    }
    if (mOnCall) mOnCall(*this, call);
    return answer;
  }

  void RecordEvents(const vst::VstEvents* events) {
    if (!events) return;
    for (std::int32_t i = 0; i < events->numEvents; ++i) {
      const vst::VstEvent* event = events->events[i];
      if (!event) continue;
      mEventTypes.push_back(event->type);
      if (event->type == vst::kVstMidiType) mMidiOut.push_back(*reinterpret_cast<const vst::VstMidiEvent*>(event));
    }
  }

  vst::AEffect* mEffect = nullptr;
  vst::VstTimeInfo mTimeAnswer{};
};

}  // namespace sorvano::test
