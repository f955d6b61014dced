#pragma once

// A minimal VST 2.x host for driving the plug-in's audio path: it answers
// audioMasterGetTime with a sample position the test sets (or with nothing),
// counts the automation messages it receives, and answers everything else
// with 0. It never allocates inside a host call, so the allocation test and
// the benchmarks can use it on the audio path.

#include <cstdint>

#include "framework/vst/IEffectVST.h"
#include "framework/vst/VstAbi.h"

namespace sorvano::test {

class TimelineHost {
public:
  TimelineHost() = default;
  TimelineHost(const TimelineHost&) = delete;
  TimelineHost& operator=(const TimelineHost&) = delete;

  static VstHostCallback Callback() {
    return reinterpret_cast<VstHostCallback>(&TimelineHost::HostCallback);
  }

  // Binds the host to a plug-in's effect record (the record's resvd1 field
  // belongs to the host) and returns the record.
  vst::AEffect* Attach(IEffectVST& plug) {
    mEffect = static_cast<vst::AEffect*>(plug.EffectRecord());
    mEffect->resvd1 = reinterpret_cast<std::intptr_t>(this);
    return mEffect;
  }

  void SetPosition(double samplePos) {
    mTime.samplePos = samplePos;
    mHasTime = true;
  }
  // The host gives no time info at all.
  void ClearPosition() { mHasTime = false; }

  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f) {
    return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
  }

  vst::AEffect* Effect() const { return mEffect; }
  int AutomationCount() const { return mAutomations; }
  int TimeQueries() const { return mTimeQueries; }

private:
  static std::intptr_t HostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t,
                                    std::intptr_t, void*, float) {
    if (!effect || !effect->resvd1) return 0;
    TimelineHost& host = *reinterpret_cast<TimelineHost*>(effect->resvd1);
    switch (opcode) {
      case vst::audioMasterGetTime:
        ++host.mTimeQueries;
        return host.mHasTime ? reinterpret_cast<std::intptr_t>(&host.mTime) : 0;
      case vst::audioMasterAutomate:
        ++host.mAutomations;
        return 0;
      default:
        return 0;
    }
  }

  vst::AEffect* mEffect = nullptr;
  vst::VstTimeInfo mTime{};
  bool mHasTime = false;
  int mAutomations = 0;
  int mTimeQueries = 0;
};

}  // namespace sorvano::test
