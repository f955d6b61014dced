#pragma once

// A plug-in on the bare plug-in base for the framework's tests: three
// parameters, host services that only record, and a log of the virtual
// operations the base calls.

#include <string>
#include <vector>

#include "framework/IEffectBase.h"

namespace sorvano::test {

class RecordingEffect : public IEffectBase {
public:
  struct Automation {
    int mIndex;
    double mSent;
    double mValueWhenSent;  // the parameter's normalised value at that moment
  };

  explicit RecordingEffect(const char* channels = "1-1 2-2", int nPresets = 0, int nParams = 3)
      : IEffectBase(nParams, channels, nPresets, "Recording", "Product", "Vendor", 0x00010104, 1234, 5678, 64,
                    false, true, false) {
    if (IEffectParam* p = GetParam(0)) p->SetupDouble("gain", 1.0, 0.0, 10.0, 0.5, "dB");
    if (IEffectParam* p = GetParam(1)) p->SetupBool("switch", false);
    if (IEffectParam* p = GetParam(2)) p->SetupEnum("mode", 2, 4);
  }

  void Reset() override {
    mLog.push_back("Reset");
    IEffectBase::Reset();
  }
  void OnParamChange(int paramIdx) override {
    mLog.push_back("Change " + std::to_string(paramIdx));
    IEffectBase::OnParamChange(paramIdx);
  }
  void OnActivate(bool active) override {
    mLog.push_back(active ? "Activate" : "Deactivate");
    IEffectBase::OnActivate(active);
  }

  void BeginParamGesture(int paramIdx) override { mLog.push_back("Begin " + std::to_string(paramIdx)); }
  void AutomateParam(int paramIdx, double normalizedValue) override {
    mAutomations.push_back({paramIdx, normalizedValue, GetParam(paramIdx)->GetNormalized()});
  }
  void EndParamGesture(int paramIdx) override { mLog.push_back("End " + std::to_string(paramIdx)); }
  int HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int* num, int* denom) override { *num = *denom = 0; }
  void RefreshEditorRect(int, int) override {}
  void AdjustForHost() override {}
  bool SendMidiMessage(const MidiMessage& msg) override {
    mMidiSent.push_back(msg);
    return true;
  }
  bool SendMidiMessages(std::span<const MidiMessage> msgs) override {
    for (const MidiMessage& msg : msgs) SendMidiMessage(msg);
    return true;
  }

  std::vector<std::string> mLog;
  std::vector<Automation> mAutomations;
  std::vector<MidiMessage> mMidiSent;
};

}  // namespace sorvano::test
