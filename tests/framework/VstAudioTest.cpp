#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "framework/vst/VstAbi.h"
#include "tests/framework/VstBindingFixture.h"

namespace sorvano {
namespace {

using test::VstBinding;

// Host buffers with guard values on both sides, so that any write outside
// the frames handed to the plug-in shows.
template <typename Sample>
class GuardedBuffer {
public:
  static constexpr int kGuard = 16;
  static constexpr Sample kGuardValue = static_cast<Sample>(-777.0);

  explicit GuardedBuffer(int frames) : mFrames(frames), mData(static_cast<std::size_t>(frames + 2 * kGuard), kGuardValue) {}

  Sample* Frames() { return mData.data() + kGuard; }
  Sample& operator[](int i) { return Frames()[i]; }
  void Fill(double offset) {
    for (int i = 0; i < mFrames; ++i) Frames()[i] = static_cast<Sample>(std::sin(0.01 * i + offset));
  }
  bool GuardsIntact() const {
    for (int i = 0; i < kGuard; ++i) {
      if (mData[static_cast<std::size_t>(i)] != kGuardValue) return false;
      if (mData[mData.size() - 1 - static_cast<std::size_t>(i)] != kGuardValue) return false;
    }
    return true;
  }

private:
  int mFrames;
  std::vector<Sample> mData;
};

template <typename Sample>
struct Stereo {
  explicit Stereo(int frames) : mIn{GuardedBuffer<Sample>(frames), GuardedBuffer<Sample>(frames)},
                                mOut{GuardedBuffer<Sample>(frames), GuardedBuffer<Sample>(frames)} {
    mIn[0].Fill(0.0);
    mIn[1].Fill(1.0);
    mOut[0].Fill(2.0);
    mOut[1].Fill(3.0);
    mInPtrs[0] = mIn[0].Frames();
    mInPtrs[1] = mIn[1].Frames();
    mOutPtrs[0] = mOut[0].Frames();
    mOutPtrs[1] = mOut[1].Frames();
  }
  GuardedBuffer<Sample> mIn[2];
  GuardedBuffer<Sample> mOut[2];
  Sample* mInPtrs[2];
  Sample* mOutPtrs[2];
};

TEST_F(VstBinding, AllThreeCallbacksPassAudioThroughUnchanged) {
  for (int frames : {1, 64, 1024}) {
    Stereo<float> replacing(frames);
    E()->processReplacing(E(), replacing.mInPtrs, replacing.mOutPtrs, frames);
    Stereo<double> doubles(frames);
    E()->processDoubleReplacing(E(), doubles.mInPtrs, doubles.mOutPtrs, frames);
    Stereo<float> accumulating(frames);
    std::vector<float> before[2];
    for (int c = 0; c < 2; ++c) before[c].assign(accumulating.mOutPtrs[c], accumulating.mOutPtrs[c] + frames);
    E()->process(E(), accumulating.mInPtrs, accumulating.mOutPtrs, frames);

    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < frames; ++i) {
        ASSERT_EQ(replacing.mOut[c][i], replacing.mIn[c][i]);
        ASSERT_EQ(doubles.mOut[c][i], doubles.mIn[c][i]);
        ASSERT_EQ(accumulating.mOut[c][i], static_cast<float>(static_cast<double>(accumulating.mIn[c][i]) + before[c][i]));
        // The float and double paths agree.
        ASSERT_EQ(static_cast<double>(replacing.mOut[c][i]), static_cast<double>(static_cast<float>(doubles.mOut[c][i])));
      }
      EXPECT_TRUE(replacing.mOut[c].GuardsIntact());
      EXPECT_TRUE(doubles.mOut[c].GuardsIntact());
      EXPECT_TRUE(accumulating.mOut[c].GuardsIntact());
    }
  }
}

TEST_F(VstBinding, InPlaceBuffersPassThrough) {
  Stereo<double> io(256);
  std::vector<double> original(io.mInPtrs[0], io.mInPtrs[0] + 256);
  E()->processDoubleReplacing(E(), io.mInPtrs, io.mInPtrs, 256);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(io.mIn[0][i], original[static_cast<std::size_t>(i)]);

  Stereo<float> fio(256);
  std::vector<float> foriginal(fio.mInPtrs[1], fio.mInPtrs[1] + 256);
  E()->processReplacing(E(), fio.mInPtrs, fio.mInPtrs, 256);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(fio.mIn[1][i], foriginal[static_cast<std::size_t>(i)]);
}

TEST_F(VstBinding, CallsLongerThanTheBlockRunInSlices) {
  mHost.Dispatch(vst::effSetBlockSize, 0, 100);
  constexpr int kFrames = 1037;
  Stereo<float> f(kFrames);
  E()->processReplacing(E(), f.mInPtrs, f.mOutPtrs, kFrames);
  Stereo<double> d(kFrames);
  E()->processDoubleReplacing(E(), d.mInPtrs, d.mOutPtrs, kFrames);
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < kFrames; ++i) {
      ASSERT_EQ(f.mOut[c][i], f.mIn[c][i]) << i;
      ASSERT_EQ(d.mOut[c][i], d.mIn[c][i]) << i;
    }
    EXPECT_TRUE(f.mOut[c].GuardsIntact());
    EXPECT_TRUE(d.mOut[c].GuardsIntact());
  }
}

// Records the frame counts the framework hands to the processing operation.
class SliceRecorder : public PassThroughEffect {
public:
  using PassThroughEffect::PassThroughEffect;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    mFrames.push_back(nFrames);
    PassThroughEffect::ProcessDoubleReplacing(inputs, outputs, nFrames);
  }
  std::vector<int> mFrames;
};

TEST(VstBindingAudio, NoProcessingCallExceedsTheBlockSize) {
  test::FakeVstHost host;
  auto* plug = new SliceRecorder(test::FakeVstHost::Callback());
  host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));
  host.Dispatch(vst::effSetBlockSize, 0, 64);
  Stereo<double> d(200);
  host.Effect()->processDoubleReplacing(host.Effect(), d.mInPtrs, d.mOutPtrs, 200);
  EXPECT_EQ(plug->mFrames, (std::vector<int>{64, 64, 64, 8}));
  plug->mFrames.clear();
  host.Effect()->processReplacing(host.Effect(), nullptr, nullptr, -5);
  host.Effect()->processReplacing(host.Effect(), nullptr, nullptr, 0);
  host.Effect()->processReplacing(host.Effect(), nullptr, nullptr, std::numeric_limits<std::int32_t>::min());
  EXPECT_TRUE(plug->mFrames.empty());
  host.Dispatch(vst::effClose);
}

TEST_F(VstBinding, MonoThroughSpeakerArrangement) {
  // Hosts may pass arrangements shorter than the declared record: only the
  // first eight bytes exist here.
  std::int32_t mono[2] = {vst::kSpeakerArrMono, 1};
  EXPECT_EQ(mHost.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(mono), mono), 1);
  EXPECT_TRUE(mPlug->IsInputConnected(0));
  EXPECT_FALSE(mPlug->IsInputConnected(1));
  EXPECT_FALSE(mPlug->IsOutputConnected(1));
  // Our own arrangements keep their channel counts.
  vst::VstSpeakerArrangement* in = nullptr;
  mHost.Dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&in), nullptr);
  EXPECT_EQ(in->numChannels, 2);

  GuardedBuffer<float> input(512);
  GuardedBuffer<float> output(512);
  input.Fill(0.5);
  float* ins[1] = {input.Frames()};
  float* outs[1] = {output.Frames()};
  E()->processReplacing(E(), ins, outs, 512);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(output[i], input[i]);
  EXPECT_TRUE(output.GuardsIntact());

  GuardedBuffer<double> dinput(512);
  GuardedBuffer<double> doutput(512);
  dinput.Fill(0.25);
  double* dins[1] = {dinput.Frames()};
  double* douts[1] = {doutput.Frames()};
  E()->processDoubleReplacing(E(), dins, douts, 512);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(doutput[i], dinput[i]);
  EXPECT_TRUE(doutput.GuardsIntact());
}

// Checks what the processing operation sees on its second input.
class SecondInputProbe : public PassThroughEffect {
public:
  using PassThroughEffect::PassThroughEffect;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    mMaxAbs = 0.0;
    for (int i = 0; i < nFrames; ++i) mMaxAbs = std::max(mMaxAbs, std::fabs(inputs[1][i]));
    PassThroughEffect::ProcessDoubleReplacing(inputs, outputs, nFrames);
  }
  double mMaxAbs = -1.0;
};

TEST(VstBindingAudio, UnconnectedInputReadsSilenceAfterAudioAndBlockSizeChanges) {
  test::FakeVstHost host;
  auto* plug = new SecondInputProbe(test::FakeVstHost::Callback());
  host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));
  vst::AEffect* e = host.Effect();

  Stereo<float> loud(1024);
  e->processReplacing(e, loud.mInPtrs, loud.mOutPtrs, 1024);
  EXPECT_GT(plug->mMaxAbs, 0.5);

  std::int32_t mono[2] = {vst::kSpeakerArrMono, 1};
  host.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(mono), mono);
  GuardedBuffer<float> in(1024);
  GuardedBuffer<float> out(1024);
  in.Fill(0.0);
  float* ins[1] = {in.Frames()};
  float* outs[1] = {out.Frames()};
  e->processReplacing(e, ins, outs, 1024);
  EXPECT_EQ(plug->mMaxAbs, 0.0);

  host.Dispatch(vst::effSetBlockSize, 0, 2048);
  GuardedBuffer<float> longIn(2048);
  GuardedBuffer<float> longOut(2048);
  longIn.Fill(0.0);
  float* lins[1] = {longIn.Frames()};
  float* louts[1] = {longOut.Frames()};
  e->processReplacing(e, lins, louts, 2048);
  EXPECT_EQ(plug->mMaxAbs, 0.0);
  host.Dispatch(vst::effClose);
}

TEST_F(VstBinding, HostileBufferArraysAreTreatedAsUnconnected) {
  // A side without channels: null arrays. Inputs read silence, outputs are
  // dropped.
  Stereo<float> f(128);
  E()->processReplacing(E(), nullptr, f.mOutPtrs, 128);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(f.mOut[0][i], 0.0f);
  E()->processReplacing(E(), f.mInPtrs, nullptr, 128);
  E()->process(E(), nullptr, nullptr, 128);
  E()->processDoubleReplacing(E(), nullptr, nullptr, 128);

  // A null channel inside an array.
  Stereo<double> d(128);
  double* ins[2] = {nullptr, d.mInPtrs[1]};
  E()->processDoubleReplacing(E(), ins, d.mOutPtrs, 128);
  for (int i = 0; i < 128; ++i) {
    ASSERT_EQ(d.mOut[0][i], 0.0);
    ASSERT_EQ(d.mOut[1][i], d.mIn[1][i]);
  }
  double* outs[2] = {d.mOutPtrs[0], nullptr};
  E()->processDoubleReplacing(E(), d.mInPtrs, outs, 128);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(d.mOut[0][i], d.mIn[0][i]);

  // Negative channel counts: every channel unconnected, no host buffer used.
  std::int32_t none[2] = {vst::kSpeakerArrEmpty, -3};
  EXPECT_EQ(mHost.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(none), none), 1);
  EXPECT_FALSE(mPlug->IsInputConnected(0));
  EXPECT_FALSE(mPlug->IsOutputConnected(0));
  E()->processReplacing(E(), nullptr, nullptr, 4096);
  EXPECT_EQ(mHost.Dispatch(vst::effSetSpeakerArrangement, 0, 0, nullptr), 1);
}

}  // namespace
}  // namespace sorvano
