#pragma once

// The pass-through plug-in opened through the fake host, for the binding's
// tests.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/framework/PassThroughEffect.h"
#include "framework/vst/VstAbi.h"
#include "support/FakeEditor.h"
#include "support/FakeVstHost.h"

namespace sorvano::test {

// The pass-through plug-in with a log of the virtual operations the binding
// calls, and a flag that outlives it.
class LoggingEffect : public PassThroughEffect {
public:
  LoggingEffect(VstHostCallback host, bool* destroyed, bool* lockFreeAtDestruction)
      : PassThroughEffect(host), mDestroyed(destroyed), mLockFreeAtDestruction(lockFreeAtDestruction) {}
  ~LoggingEffect() override {
    if (mLockFreeAtDestruction) {
      // Another thread can take the lock only if this one holds it no more.
      bool free = false;
      std::thread probe([&] {
        free = TryLockFor(std::chrono::milliseconds(0));
        if (free) Unlock();
      });
      probe.join();
      *mLockFreeAtDestruction = free;
    }
    if (mDestroyed) *mDestroyed = true;
  }
  void Reset() override {
    mLog.push_back("Reset");
    PassThroughEffect::Reset();
  }
  void OnActivate(bool active) override {
    mLog.push_back(active ? "Activate" : "Deactivate");
    PassThroughEffect::OnActivate(active);
  }
  void OnParamChange(int paramIdx) override {
    mLog.push_back("Change " + std::to_string(paramIdx));
    PassThroughEffect::OnParamChange(paramIdx);
  }
  void OnEditorOpen() override { mLog.push_back("EditorOpen"); }
  void OnEditorClose() override { mLog.push_back("EditorClose"); }

  std::vector<std::string> mLog;

private:
  bool* mDestroyed;
  bool* mLockFreeAtDestruction;
};

class VstBinding : public ::testing::Test {
protected:
  void SetUp() override { Open(); }
  void TearDown() override {
    if (mHost.Effect()) mHost.Dispatch(vst::effClose);
  }

  // What the entry point does, then the host's side of it.
  void Open(bool withEditor = false) {
    mPlug = new LoggingEffect(FakeVstHost::Callback(), &mDestroyed, &mLockFree);
    if (withEditor) mPlug->AttachEditor(new FakeEditor(&mEditorLog));
    mPlug->AddDefaultPresetIfNone();
    mPlug->EnsureProgramCount();
    mHost.Attach(static_cast<vst::AEffect*>(mPlug->EffectRecord()));
  }

  void Close() {
    mHost.Dispatch(vst::effClose);
    mHost.Detach();
    mPlug = nullptr;
  }

  std::string Text(std::int32_t opcode, std::int32_t index = 0) {
    char buffer[256];
    std::memset(buffer, 0, sizeof buffer);
    mHost.Dispatch(opcode, index, 0, buffer);
    return buffer;
  }

  vst::AEffect* E() { return mHost.Effect(); }

  FakeVstHost mHost;
  LoggingEffect* mPlug = nullptr;
  FakeEditor::Log mEditorLog;
  bool mDestroyed = false;
  bool mLockFree = false;
};

}  // namespace sorvano::test
