#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "framework/vst/VstAbi.h"
#include "tests/framework/VstBindingFixture.h"

namespace sorvano {
namespace {

using test::FakeEditor;
using test::FakeVstHost;
using test::HostCall;
using test::VstBinding;

vst::VstTimeInfo TimeInfo(double samplePos, std::int32_t flags = 0) {
  vst::VstTimeInfo info{};
  info.samplePos = samplePos;
  info.sampleRate = 44100.0;
  info.tempo = 120.0;
  info.timeSigNumerator = 7;
  info.timeSigDenominator = 8;
  info.flags = flags;
  return info;
}

// ---- Transport ----

TEST_F(VstBinding, SamplePositionIsConvertedSafely) {
  EXPECT_EQ(mPlug->HostSamplePosition(), 0);  // no time info at all

  struct Case {
    double mPos;
    int mExpected;
  };
  const Case cases[] = {
      {12345.9, 12345},
      {-1.0, 0},
      {-1e300, 0},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {2147483646.5, 2147483646},
      {2147483647.0, 2147483647},
      {3.0e9, 2147483647},
      {std::numeric_limits<double>::infinity(), 2147483647},
  };
  for (const Case& c : cases) {
    mHost.mTimeInfo = TimeInfo(c.mPos);
    EXPECT_EQ(mPlug->HostSamplePosition(), c.mExpected) << c.mPos;
  }
  ASSERT_FALSE(mHost.mCalls.empty());
  EXPECT_EQ(mHost.mCalls.back().mOpcode, vst::audioMasterGetTime);
  EXPECT_EQ(mHost.mCalls.back().mValue, 0);
}

TEST_F(VstBinding, TempoNeedsItsFlagAndASaneValue) {
  EXPECT_EQ(mPlug->HostTempo(), 0.0);
  mHost.mTimeInfo = TimeInfo(0.0);
  EXPECT_EQ(mPlug->HostTempo(), 0.0);
  mHost.mTimeInfo = TimeInfo(0.0, vst::kVstTempoValid);
  EXPECT_EQ(mPlug->HostTempo(), 120.0);
  EXPECT_EQ(mHost.mCalls.back().mValue, vst::kVstTempoValid);
  mHost.mTimeInfo->tempo = -5.0;
  EXPECT_EQ(mPlug->HostTempo(), 0.0);
  mHost.mTimeInfo->tempo = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(mPlug->HostTempo(), 0.0);
}

TEST_F(VstBinding, TimeSignatureIsCheckedBeforeUse) {
  int num = -1;
  int denom = -1;
  mPlug->HostTimeSignature(&num, &denom);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(denom, 0);

  mHost.mTimeInfo = TimeInfo(0.0, vst::kVstTimeSigValid);
  mPlug->HostTimeSignature(&num, &denom);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(denom, 8);
  EXPECT_EQ(mHost.mCalls.back().mValue, vst::kVstTimeSigValid);

  for (auto [n, d] : {std::pair{4, 0}, std::pair{0, 4}, std::pair{-3, 4}, std::pair{3, -4}}) {
    mHost.mTimeInfo->timeSigNumerator = n;
    mHost.mTimeInfo->timeSigDenominator = d;
    mPlug->HostTimeSignature(&num, &denom);
    EXPECT_EQ(num, 0);
    EXPECT_EQ(denom, 0);
  }
  mHost.mTimeInfo = TimeInfo(0.0);
  mPlug->HostTimeSignature(&num, &denom);
  EXPECT_EQ(denom, 0);
  mPlug->HostTimeSignature(nullptr, nullptr);
}

// ---- Host identification ----

int IdentifyHost(const std::string& product, std::intptr_t vendorVersion = 0, int* version = nullptr) {
  FakeVstHost host;
  host.mProductString = product;
  host.mVendorVersion = vendorVersion;
  auto* plug = new PassThroughEffect(FakeVstHost::Callback());
  host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));
  const int id = plug->GetHost();
  if (version) *version = plug->GetHostVersion();
  EXPECT_EQ(plug->GetHost(), id);
  EXPECT_EQ(host.Count(vst::audioMasterGetProductString), 1);
  EXPECT_EQ(host.Count(vst::audioMasterGetVendorVersion), product.empty() ? 0 : 1);
  host.Dispatch(vst::effClose);
  return id;
}

TEST(VstHostIdentification, ProductStringsAreMatchedInTableOrder) {
  EXPECT_EQ(IdentifyHost("REAPER"), kHostReaper);
  EXPECT_EQ(IdentifyHost("Cubase VST"), kHostCubase);
  EXPECT_EQ(IdentifyHost("Ableton Live with Melodyne"), kHostLive);
  EXPECT_EQ(IdentifyHost("Nuendo Cubase"), kHostCubase);
  EXPECT_EQ(IdentifyHost("SAWStudio"), kHostSawStudio);
  EXPECT_EQ(IdentifyHost("Some Other Host"), kHostUnknown);
  EXPECT_EQ(IdentifyHost(""), kHostUnknown);
  // A product string as long as the buffer we hand out.
  EXPECT_EQ(IdentifyHost(std::string(200, 'x') + "orion"), kHostOrion);
}

TEST(VstHostIdentification, VendorVersionIsPacked) {
  int version = -1;
  IdentifyHost("Some Host", 20305, &version);
  EXPECT_EQ(version, 0x00020305);
  IdentifyHost("Some Host", 2305, &version);
  EXPECT_EQ(version, 0x00001705);
  IdentifyHost("Some Host", -1, &version);
  EXPECT_EQ(version, 0);
  IdentifyHost("Some Host", std::intptr_t{1} << 40, &version);
  EXPECT_EQ(version, 0);
  IdentifyHost("", 20305, &version);
  EXPECT_EQ(version, 0);
}

TEST(VstHostIdentification, LookUpIsCaseInsensitive) {
  EXPECT_EQ(IEffectVST::LookUpHost("Adobe AUDITION"), kHostAudition);
  EXPECT_EQ(IEffectVST::LookUpHost("FL Studio (Fruity Wrapper)"), kHostFruity);
  EXPECT_EQ(IEffectVST::LookUpHost(nullptr), kHostUnknown);
  EXPECT_EQ(IEffectVST::LookUpHost(std::string(1000, 'a').c_str()), kHostUnknown);
}

TEST_F(VstBinding, OpenIdentifiesTheHost) {
  mHost.mProductString = "REAPER";
  mHost.Dispatch(vst::effOpen);
  EXPECT_EQ(mPlug->GetHost(), kHostReaper);
  EXPECT_EQ(E()->numInputs, 2);
  EXPECT_EQ(E()->numOutputs, 2);
}

class FourChannelEffect : public IEffectVST {
public:
  explicit FourChannelEffect(VstHostCallback host)
      : IEffectVST(host, 0, "2-2 4-4", 0, "quad", "", "", 0, 1, 2, 0, false, true, false) {}
};

TEST(VstHostIdentification, SomeHostsAreRestrictedToStereo) {
  for (const char* product : {"Forte", "Adobe Audition", "Orion", "SAWStudio", "Chainer", "REAPER"}) {
    FakeVstHost host;
    host.mProductString = product;
    auto* plug = new FourChannelEffect(FakeVstHost::Callback());
    host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));
    host.Dispatch(vst::effOpen);
    const bool restricted = plug->GetHost() == kHostForte || plug->GetHost() == kHostAudition ||
                            plug->GetHost() == kHostOrion || plug->GetHost() == kHostSawStudio;
    EXPECT_EQ(plug->IsInputConnected(3), !restricted) << product;
    EXPECT_TRUE(plug->IsOutputConnected(3)) << product;
    EXPECT_EQ(host.Effect()->numInputs, 4);
    host.Dispatch(vst::effClose);
  }
}

// ---- Re-entrant hosts ----

TEST_F(VstBinding, HostsMayCallBackIntoTheDispatcher) {
  std::vector<std::string> seen;
  mHost.mOnCall = [&](FakeVstHost& host, const HostCall& call) {
    if (call.mOpcode == vst::audioMasterAutomate || call.mOpcode == vst::audioMasterGetTime) {
      char name[64] = {};
      host.Dispatch(vst::effGetProgramName, 0, 0, name);
      host.Dispatch(vst::effGetProgram);
      host.Dispatch(vst::effGetProgramNameIndexed, 0, 0, name);
      seen.push_back(name);
      host.Effect()->setParameter(host.Effect(), 2, 1.0f);
    }
  };
  // Automation from the editor, then a time query inside an audio block.
  mPlug->SetParameterFromGUI(1, 0.5);
  mHost.mTimeInfo = TimeInfo(100.0);
  float buffer[16] = {};
  float* ptrs[2] = {buffer, buffer};
  E()->processReplacing(E(), ptrs, ptrs, 16);
  mPlug->Lock();
  mPlug->HostSamplePosition();
  mPlug->Unlock();
  EXPECT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0], "Default");
  EXPECT_DOUBLE_EQ(mPlug->GetParam(2)->Value(), 3.0);
}

TEST_F(VstBinding, CloseFromInsideAHostCallbackWaitsForTheOutermostCall) {
  mHost.mOnCall = [&](FakeVstHost& host, const HostCall& call) {
    if (call.mOpcode == vst::audioMasterGetProductString) {
      host.Dispatch(vst::effClose);
      EXPECT_FALSE(mDestroyed);  // the object is still in use below us
    }
  };
  mHost.Dispatch(vst::effOpen);
  EXPECT_TRUE(mDestroyed);
  EXPECT_TRUE(mLockFree);
  mHost.Detach();
}

TEST_F(VstBinding, CloseWithTheEditorOpenClosesTheWindowFirst) {
  mPlug->AttachEditor(new FakeEditor(&mEditorLog));
  ASSERT_EQ(mHost.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(0x42)), 1);
  Close();
  EXPECT_EQ(mEditorLog.mClose, 1);
  EXPECT_TRUE(mEditorLog.mDestroyed);
  EXPECT_TRUE(mDestroyed);
}

TEST(VstBindingRecord, NullObjectIsAnsweredWithoutLocking) {
  FakeVstHost host;
  auto* plug = new PassThroughEffect(FakeVstHost::Callback());
  auto* effect = static_cast<vst::AEffect*>(plug->EffectRecord());
  vst::AEffect orphan;
  std::memcpy(&orphan, effect, sizeof orphan);
  orphan.object = nullptr;
  float* none[2] = {nullptr, nullptr};
  EXPECT_EQ(orphan.dispatcher(&orphan, vst::effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(orphan.getParameter(&orphan, 0), 0.0f);
  orphan.setParameter(&orphan, 0, 1.0f);
  orphan.processReplacing(&orphan, none, none, 64);
  EXPECT_EQ(effect->dispatcher(nullptr, vst::effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
  effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
}

// ---- Threads ----

// Flags any overlap of an audio block with a parameter change.
class OverlapDetector : public PassThroughEffect {
public:
  using PassThroughEffect::PassThroughEffect;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    if (mInside.exchange(true)) mOverlaps.fetch_add(1);
    PassThroughEffect::ProcessDoubleReplacing(inputs, outputs, nFrames);
    mBlocks.fetch_add(1);
    mInside = false;
  }
  void OnParamChange(int paramIdx) override {
    if (mInside.load()) mOverlaps.fetch_add(1);
    PassThroughEffect::OnParamChange(paramIdx);
  }
  std::atomic<bool> mInside{false};
  std::atomic<int> mOverlaps{0};
  std::atomic<int> mBlocks{0};
};

TEST(VstBindingThreads, AudioBlocksAndParameterChangesNeverOverlap) {
  FakeVstHost host;
  auto* plug = new OverlapDetector(FakeVstHost::Callback());
  host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));
  vst::AEffect* e = host.Effect();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<float> l(256, 0.5f);
    std::vector<float> r(256, 0.5f);
    float* io[2] = {l.data(), r.data()};
    while (!stop) e->processReplacing(e, io, io, 256);
  });
  std::thread editor([&] {
    for (int i = 0; i < 2000; ++i) plug->SetParameterFromGUI(1, (i % 10) / 10.0);
  });
  for (int i = 0; i < 2000; ++i) e->setParameter(e, 2, (i % 4) / 3.0f);
  editor.join();
  while (plug->mBlocks.load() < 10) std::this_thread::yield();
  stop = true;
  audio.join();
  EXPECT_EQ(plug->mOverlaps.load(), 0);
  host.Dispatch(vst::effClose);
}

}  // namespace
}  // namespace sorvano
