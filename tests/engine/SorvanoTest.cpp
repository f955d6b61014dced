#include "engine/Sorvano.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "editor/SidePanelLink.h"
#include "engine/StftTables.h"
#include "editor/ViewLink.h"
#include "support/Noise.h"
#include "tests/engine/StftModel.h"
#include "tests/engine/TimelineHost.h"

namespace sorvano {
namespace {

constexpr int kDelay = 2048;
// Double path: full-scale noise through the transform pair keeps ~1e-13.
constexpr double kDoubleTolerance = 1e-9;
// Float paths: the result is rounded to float once, half an ulp of values up
// to 1.0 is 6e-8; the accumulating path adds values up to 2.0 (ulp 2.4e-7).
constexpr double kFloatTolerance = 1e-7;
constexpr double kAccumulateTolerance = 2.5e-7;

using test::Noise;

class RecordingView : public ViewLink {
public:
  void OnFramesPublished() override { ++mPublished; }
  void SetSampleRate(double rate) override { mRates.push_back(rate); }
  void SetDisplay(double brightness, int colorMap) override {
    mDisplays.push_back({brightness, colorMap});
  }
  SavedViewState SaveState() override { return {}; }
  void RestoreState(const SavedViewState&) override {}
  struct Display {
    double mBrightness;
    int mColorMap;
  };
  int mPublished = 0;
  std::vector<double> mRates;
  std::vector<Display> mDisplays;
};

class RecordingPanel : public SidePanelLink {
public:
  void SetResetCountdown(bool on) override { mStates.push_back(on); }
  std::vector<bool> mStates;
};

// One plug-in behind a host that gives it a timeline, opened and running at
// 44.1 kHz with blocks of up to 4096 frames.
struct Rig {
  Rig() : plug(std::make_unique<Sorvano>(test::TimelineHost::Callback())) {
    effect = host.Attach(*plug);
    host.Dispatch(vst::effOpen);
    host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(vst::effSetBlockSize, 0, 4096);
    host.Dispatch(vst::effMainsChanged, 0, 1);
  }

  // One block through the double callback; pos empty = no time info.
  void Double(std::optional<int64_t> pos, double* l, double* r, double* outL, double* outR, int n) {
    if (pos) host.SetPosition(double(*pos)); else host.ClearPosition();
    double* in[2] = {l, r};
    double* out[2] = {outL, outR};
    effect->processDoubleReplacing(effect, in, out, n);
  }

  test::TimelineHost host;
  std::unique_ptr<Sorvano> plug;
  vst::AEffect* effect = nullptr;
};

enum class Path { kDouble, kFloat, kAccumulate };

// Runs a stream of stereo noise through one callback in the given block sizes
// on a continuous timeline and returns the largest deviation from the input
// delayed by 2048 samples, over both channels.
double NullTestError(Path path, const std::vector<int>& sizes, size_t total) {
  Rig rig;
  const std::vector<double> left = Noise(total, 31), right = Noise(total, 32);
  const std::vector<double> prior = Noise(total, 33);  // accumulating: what the host had
  std::vector<float> fl(left.begin(), left.end()), fr(right.begin(), right.end());
  std::vector<double> dl = left, dr = right;  // processed in place: outputs = inputs
  std::vector<float> ol(total), orr(total);
  for (size_t t = 0; t < total; ++t) {
    ol[t] = float(prior[t]);
    orr[t] = float(prior[t] * 0.5);
  }
  double err = 0.0;
  size_t done = 0;
  for (size_t b = 0; done < total; ++b) {
    const int n = int(std::min<size_t>(size_t(sizes[b % sizes.size()]), total - done));
    rig.host.SetPosition(double(done) + 1000.0);
    if (path == Path::kDouble) {
      double* in[2] = {dl.data() + done, dr.data() + done};
      rig.effect->processDoubleReplacing(rig.effect, in, in, n);
    } else {
      float* in[2] = {fl.data() + done, fr.data() + done};
      float* out[2] = {ol.data() + done, orr.data() + done};
      if (path == Path::kFloat) {
        rig.effect->processReplacing(rig.effect, in, out, n);
      } else {
        rig.effect->process(rig.effect, in, out, n);
      }
    }
    done += size_t(n);
  }
  for (size_t t = 0; t < total; ++t) {
    double el = t < kDelay ? 0.0 : double(float(left[t - kDelay]));
    double er = t < kDelay ? 0.0 : double(float(right[t - kDelay]));
    double gl = 0.0, gr = 0.0;
    switch (path) {
      case Path::kDouble:
        el = t < kDelay ? 0.0 : left[t - kDelay];
        er = t < kDelay ? 0.0 : right[t - kDelay];
        gl = dl[t];
        gr = dr[t];
        break;
      case Path::kFloat:
        gl = ol[t];
        gr = orr[t];
        break;
      case Path::kAccumulate:
        el += double(float(prior[t]));
        er += double(float(prior[t] * 0.5));
        gl = ol[t];
        gr = orr[t];
        break;
    }
    err = std::max({err, std::abs(gl - el), std::abs(gr - er)});
  }
  return err;
}

TEST(SorvanoNullTest, EveryCallbackDelaysBothChannelsBy2048InAnyBlockSize) {
  const std::vector<int> sweep = {1, 2, 3, 7, 64, 511, 512, 1023, 1024, 1025, 2048, 4096};
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> size(1, 4096);
  std::vector<int> varying(64);
  for (int& n : varying) n = size(rng);

  struct Case {
    Path mPath;
    double mTolerance;
    const char* mName;
  };
  for (const Case& c : {Case{Path::kDouble, kDoubleTolerance, "double"},
                        Case{Path::kFloat, kFloatTolerance, "float"},
                        Case{Path::kAccumulate, kAccumulateTolerance, "accumulating"}}) {
    for (int n : sweep) {
      // At least a few frames, and several blocks of the largest sizes.
      const size_t total = std::max<size_t>(size_t(n) * 3, 6000);
      EXPECT_LT(NullTestError(c.mPath, {n}, total), c.mTolerance) << c.mName << " block " << n;
    }
    EXPECT_LT(NullTestError(c.mPath, varying, 40000), c.mTolerance) << c.mName << " varying";
  }
}

// A block plan: sizes and the host position given at each block start
// (empty: the host gives none, which reads as 0).
struct Block {
  int mSize;
  std::optional<int64_t> mPos;
};

// Runs plan through the plug-in and the model on the same noise, with the
// regions added through AddMod, and returns the largest output difference.
double ModelError(const std::vector<Block>& plan, const std::vector<ModRegion>& regions,
                  const std::vector<std::pair<double, double>>& gainFade, Rig& rig) {
  size_t total = 0;
  for (const Block& b : plan) total += size_t(b.mSize);
  const std::vector<double> left = Noise(total, 41), right = Noise(total, 42);
  std::vector<double> outL(total), outR(total);
  std::vector<int64_t> hostPos(total);
  for (size_t i = 0; i < regions.size(); ++i) {
    rig.plug->AddMod(&regions[i], gainFade[i].first, gainFade[i].second);
  }
  std::vector<double> l = left, r = right;
  size_t done = 0;
  for (const Block& b : plan) {
    rig.Double(b.mPos, l.data() + done, r.data() + done, outL.data() + done, outR.data() + done,
               b.mSize);
    for (int i = 0; i < b.mSize; ++i) hostPos[done + size_t(i)] = b.mPos.value_or(0) + i;
    done += size_t(b.mSize);
  }
  const std::vector<ModRecord> records(rig.plug->Mods().Records().begin(),
                                       rig.plug->Mods().Records().end());
  const model::Result expected = model::Run(left, right, hostPos, records, false);
  double err = 0.0;
  for (size_t t = 0; t < total; ++t) {
    err = std::max({err, std::abs(outL[t] - expected.mLeft[t]), std::abs(outR[t] - expected.mRight[t])});
  }
  return err;
}

TEST(SorvanoRegions, RegionsFollowTheHostTimelineThroughJumps) {
  const std::vector<ModRegion> regions = {{20000, 30000, 500, 5000, 0, 0},
                                          {24000, 40000, 3000, 9000, 0, 0},
                                          {100000, 104000, 0, 22050, 0, 0}};
  const std::vector<std::pair<double, double>> gains = {{0.2, 0.5}, {3.0, 0.0}, {0.0, 0.25}};
  // Contiguous, then a jump of 8 (kept), of 9 (a jump), backwards, and far ahead.
  std::vector<Block> plan;
  int64_t pos = 18000;
  for (int i = 0; i < 8; ++i, pos += 1000) plan.push_back({1000, pos});
  pos += 8;
  for (int i = 0; i < 6; ++i, pos += 1500) plan.push_back({1500, pos});
  pos += 9;
  for (int i = 0; i < 4; ++i, pos += 700) plan.push_back({700, pos});
  pos -= 5000;
  for (int i = 0; i < 4; ++i, pos += 2000) plan.push_back({2000, pos});
  pos = 99000;
  for (int i = 0; i < 8; ++i, pos += 999) plan.push_back({999, pos});
  Rig rig;
  EXPECT_LT(ModelError(plan, regions, gains, rig), kDoubleTolerance);
}

TEST(SorvanoRegions, AHostWithoutPositionPlacesEveryBlockAtZero) {
  // Without time info every block starts at position 0: a region at the
  // start of the timeline applies to the frames completed early in a block.
  const std::vector<ModRegion> regions = {{0, 1500, 1000, 8000, 0, 0}};
  std::vector<Block> plan;
  for (int i = 0; i < 12; ++i) plan.push_back({1800, std::nullopt});
  Rig rig;
  EXPECT_LT(ModelError(plan, regions, {{0.0, 0.3}}, rig), kDoubleTolerance);
}

TEST(SorvanoRegions, EditsBetweenBlocksApplyFromTheNextFrame) {
  Rig rig;
  const ModRegion region{0, 1 << 30, 0, 22050, 0, 0};
  std::vector<double> l = Noise(4096 * 6, 51), r = Noise(4096 * 6, 52);
  std::vector<double> outL(l.size()), outR(r.size());
  int64_t pos = 0;
  auto block = [&](int i) {
    rig.Double(pos, l.data() + i * 4096, r.data() + i * 4096, outL.data() + i * 4096,
               outR.data() + i * 4096, 4096);
    pos += 4096;
  };
  block(0);
  ASSERT_EQ(rig.plug->AddMod(&region, 1.0, 0.0), 1);
  rig.plug->ToggleModMute(0);
  block(1);
  block(2);
  // The whole of block 2's output comes from frames muted during blocks 1-2.
  for (int t = 2 * 4096 + 1024; t < 3 * 4096; ++t) ASSERT_EQ(outL[size_t(t)], 0.0) << t;
  rig.plug->ToggleModBypass(0);
  block(3);
  block(4);
  for (int t = 4 * 4096 + 1024; t < 5 * 4096; ++t) {
    ASSERT_NEAR(outL[size_t(t)], l[size_t(t - kDelay)], kDoubleTolerance) << t;
  }
  EXPECT_EQ(rig.plug->DeleteMod(0), 0);
  rig.plug->ClearMods();
  block(5);
}

// ---- Spectral frames ----

int ReadFrames(Sorvano& plug, int* framePos) {
  std::vector<Complex> dest(SpectralRing::kMaxRead);
  return plug.ReadSpectralFrames(dest.data(), framePos) / 1024;
}

TEST(SorvanoFrames, FramesArePublishedAtTheNextBlockWithTheirPositions) {
  Rig rig;
  RecordingView view;
  rig.plug->ConnectEditorViews(&view, nullptr);
  std::vector<double> buf(1500, 0.25);
  std::vector<double> out(1500);
  int framePos = -1;
  rig.Double(10000, buf.data(), buf.data(), out.data(), out.data(), 1500);
  EXPECT_EQ(ReadFrames(*rig.plug, &framePos), 0);  // frame 11024 still pending
  rig.Double(11500, buf.data(), buf.data(), out.data(), out.data(), 1500);
  EXPECT_EQ(view.mPublished, 1);
  rig.Double(13000, buf.data(), buf.data(), out.data(), out.data(), 1500);
  EXPECT_EQ(view.mPublished, 2);
  // Blocks 1 and 2 completed the frames at stream samples 1024 and 2048
  // (positions 11024, 12048); block 3's frames (3072, 4096) are pending.
  EXPECT_EQ(ReadFrames(*rig.plug, &framePos), 2);
  EXPECT_EQ(framePos, 12048);
  EXPECT_EQ(ReadFrames(*rig.plug, &framePos), 0);
  EXPECT_EQ(framePos, 12048);

  // Eight samples off is not a jump: block 3's frames are published.
  rig.Double(14500 + 8, buf.data(), buf.data(), out.data(), out.data(), 1500);
  EXPECT_EQ(ReadFrames(*rig.plug, &framePos), 2);
  EXPECT_EQ(framePos, 14096);
  // Nine are: the frame of the previous block (at 5120, position 15128) is
  // dropped; the two completed in this block (6144, 7168) are pending.
  rig.Double(16008 + 9, buf.data(), buf.data(), out.data(), out.data(), 1500);
  EXPECT_EQ(ReadFrames(*rig.plug, &framePos), 0);
  const SpectralRing::Counters c = rig.plug->RingCounters();
  EXPECT_EQ(c.mRingRead, 0);
  EXPECT_EQ(c.mRingAvail, 0);
  EXPECT_EQ(c.mFramePos, 0);
  EXPECT_EQ(c.mRingPending, 2048);
  EXPECT_EQ(c.mPendingFramePos, 16017 + (7168 - 6000));
  EXPECT_EQ(view.mPublished, 3);
}

TEST(SorvanoFrames, AnExactBacklogOf16FramesIsDiscarded) {
  Rig rig;
  std::vector<double> buf(4096, 0.5), out(4096);
  int64_t pos = 0;
  for (int i = 0; i < 4; ++i, pos += 4096) rig.Double(pos, buf.data(), buf.data(), out.data(), out.data(), 4096);
  rig.Double(pos, buf.data(), buf.data(), out.data(), out.data(), 1);  // completes frame 16
  rig.Double(pos + 1, buf.data(), buf.data(), out.data(), out.data(), 1);  // publishes it
  EXPECT_EQ(rig.plug->RingCounters().mRingAvail, 16384);
  int framePos = 77;
  EXPECT_EQ(ReadFrames(*rig.plug, &framePos), 0);
  EXPECT_EQ(framePos, 77);
  EXPECT_EQ(rig.plug->RingCounters().mRingAvail, 0);
  // Reading goes on normally afterwards.
  rig.Double(pos + 2, buf.data(), buf.data(), out.data(), out.data(), 1100);
  rig.Double(pos + 1102, buf.data(), buf.data(), out.data(), out.data(), 10);
  EXPECT_EQ(ReadFrames(*rig.plug, &framePos), 1);
  EXPECT_EQ(framePos, 17 * 1024);
}

TEST(SorvanoFrames, CallsLongerThanTheBlockSizeAreNotTransportJumps) {
  // The host announces 256 frames and then passes 3000 per call: the base
  // processes each call in slices, and every slice must see the position of
  // its own first frame, or the frames would be discarded as after a jump.
  Rig rig;
  rig.host.Dispatch(vst::effSetBlockSize, 0, 256);
  std::vector<double> buf(3000, 0.25), out(3000);
  int64_t pos = 50000;
  for (int i = 0; i < 3; ++i, pos += 3000) rig.Double(pos, buf.data(), buf.data(), out.data(), out.data(), 3000);
  rig.Double(pos, buf.data(), buf.data(), out.data(), out.data(), 1);
  int framePos = -1;
  // 9001 samples completed frames at stream samples 1024 .. 8192.
  EXPECT_EQ(ReadFrames(*rig.plug, &framePos), 8);
  EXPECT_EQ(framePos, 50000 + 8192);
}

TEST(SorvanoFrames, AReaderThreadSeesEveryFrameOnceInOrder) {
  Rig rig;
  constexpr int kBlocks = 400;
  constexpr int kBlock = 700;
  constexpr int64_t kStart = 5000;
  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<double> buf(kBlock, 0.1), out(kBlock);
    int64_t pos = kStart;
    for (int b = 0; b < kBlocks; ++b, pos += kBlock) {
      // Keep the backlog below a full ring so that no frame is lost.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (rig.plug->RingCounters().mRingAvail >= 8 * 1024 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
      }
      rig.plug->Lock();  // as the binding does around every block
      double* in[2] = {buf.data(), buf.data()};
      double* outs[2] = {out.data(), out.data()};
      rig.host.SetPosition(double(pos));
      rig.plug->ProcessDoubleReplacing(in, outs, kBlock);
      rig.plug->Unlock();
    }
    done.store(true);
  });
  std::vector<Complex> dest(SpectralRing::kMaxRead);
  int64_t expectedNext = kStart + 1024;  // position of the first frame
  int frames = 0;
  int reads = 0;
  for (;;) {
    const bool finished = done.load();
    int framePos = 0;
    const int n = rig.plug->ReadSpectralFrames(dest.data(), &framePos) / 1024;
    if (n > 0) {
      ++reads;
      // The frames of one read end at framePos and are consecutive hops;
      // the first one continues exactly where the previous read stopped.
      ASSERT_EQ(framePos - 1024 * (n - 1), expectedNext) << "read " << reads;
      expectedNext = framePos + 1024;
      frames += n;
    }
    if (finished && n == 0) break;
  }
  audio.join();
  // The last block's frames stay pending; every other frame arrived.
  const int completed = int((int64_t(kBlocks) * kBlock) / 1024);
  EXPECT_EQ(frames + rig.plug->RingCounters().mRingPending / 1024, completed);
  EXPECT_GT(reads, 1);
}

// ---- The instance ----

TEST(SorvanoInstance, ANewInstanceStartsEmptyAndZeroed) {
  Rig rig;
  const Sorvano& plug = *rig.plug;
  EXPECT_EQ(plug.Processor().Fill(), 1024);
  EXPECT_EQ(plug.NextPos(), 0);
  EXPECT_EQ(plug.Mods().Count(), 0);
  EXPECT_EQ(plug.BlockBuffer().size_bytes(), 327680u);
  for (const Complex& c : plug.BlockBuffer()) ASSERT_EQ(c, Complex(0.0, 0.0));
  // Out frame first, in frame second in the block buffer.
  EXPECT_EQ(plug.Processor().OutFrame(), plug.BlockBuffer().data());
  EXPECT_EQ(plug.Processor().InFrame(), plug.BlockBuffer().data() + 2048);
  const SpectralRing::Counters c = rig.plug->RingCounters();
  EXPECT_EQ(c.mRingRead, 0);
  EXPECT_EQ(c.mRingAvail, 0);
  EXPECT_EQ(c.mRingPending, 0);
  EXPECT_EQ(c.mFramePos, 0);
  EXPECT_EQ(c.mPendingFramePos, 0);
}

TEST(SorvanoInstance, DescribesItselfToTheHost) {
  Rig rig;
  const vst::AEffect& e = *rig.effect;
  EXPECT_EQ(e.numParams, 3);
  EXPECT_EQ(e.numInputs, 2);
  EXPECT_EQ(e.numOutputs, 2);
  EXPECT_EQ(e.initialDelay, 2048);
  EXPECT_EQ(e.uniqueID, 892680503);
  EXPECT_EQ(e.version, 10104);
  EXPECT_EQ(e.flags, 0x1039);  // editor, mono, replacing, chunks, double
  // The editor's size, before the window is opened and while it is (the
  // offscreen editor of the tests opens none, which changes nothing here).
  for (int open = 0; open < 2; ++open) {
    vst::ERect* rect = nullptr;
    ASSERT_EQ(rig.host.Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 640);
    EXPECT_EQ(rect->bottom - rect->top, 540);
    rig.host.Dispatch(vst::effEditOpen, 0, 0, nullptr);
  }
  rig.host.Dispatch(vst::effEditClose);
  EXPECT_EQ(rig.plug->GetVendorId(), 0x4F72766B);  // 'Orvk'
  EXPECT_EQ(rig.plug->GetEffectVersion(false), 0x00010104);
  char text[256] = {};
  rig.host.Dispatch(vst::effGetEffectName, 0, 0, text);
  EXPECT_STREQ(text, "Sorvano (No SSE2)");
  rig.host.Dispatch(vst::effGetVendorString, 0, 0, text);
  EXPECT_STREQ(text, "Orvek");
  std::strcpy(text, "junk");
  rig.host.Dispatch(vst::effGetProductString, 0, 0, text);
  EXPECT_STREQ(text, "");
}

TEST(SorvanoInstance, TheModuleFactoryBuildsTheEffect) {
  std::unique_ptr<IEffectVST> made(CreatePluginInstance(test::TimelineHost::Callback()));
  EXPECT_NE(dynamic_cast<Sorvano*>(made.get()), nullptr);
}

TEST(SorvanoInstance, TwoInstancesShareTablesAndDoNotDisturbEachOther) {
  // Instance A runs a null test on its own thread while instances are built
  // and run beside it; the shared tables must not change under it.
  const StftTables& tables = StftTables::Get();
  std::vector<unsigned char> before(sizeof(StftTables));
  std::memcpy(before.data(), &tables, sizeof(StftTables));

  Rig a;
  const size_t total = 30000;
  const std::vector<double> left = Noise(total, 61), right = Noise(total, 62);
  std::vector<double> l = left, r = right;
  std::thread audio([&] {
    for (size_t done = 0; done < total; done += 500) {
      a.plug->Lock();
      a.Double(int64_t(done), l.data() + done, r.data() + done, l.data() + done, r.data() + done, 500);
      a.plug->Unlock();
    }
  });
  for (int i = 0; i < 4; ++i) {
    Rig b;
    std::vector<double> noise = Noise(3000, 70 + unsigned(i)), out(3000);
    b.Double(0, noise.data(), noise.data(), out.data(), out.data(), 3000);
  }
  audio.join();
  double err = 0.0;
  for (size_t t = kDelay; t < total; ++t) {
    err = std::max({err, std::abs(l[t] - left[t - kDelay]), std::abs(r[t] - right[t - kDelay])});
  }
  EXPECT_LT(err, kDoubleTolerance);
  EXPECT_EQ(std::memcmp(before.data(), &StftTables::Get(), sizeof(StftTables)), 0);
}

TEST(SorvanoInstance, EmptyOrBufferlessBlocksOnlyMoveTheTimeline) {
  Rig rig;
  rig.host.SetPosition(5000.0);
  rig.plug->ProcessDoubleReplacing(nullptr, nullptr, 512);
  EXPECT_EQ(rig.plug->NextPos(), 5000);
  double buf[4] = {};
  double* chans[2] = {buf, nullptr};
  rig.host.SetPosition(6000.0);
  rig.plug->ProcessDoubleReplacing(chans, chans, 4);
  EXPECT_EQ(rig.plug->NextPos(), 6000);
  double* both[2] = {buf, buf + 2};
  rig.host.SetPosition(7000.0);
  rig.plug->ProcessDoubleReplacing(both, both, 0);
  EXPECT_EQ(rig.plug->NextPos(), 7000);
  rig.plug->ProcessDoubleReplacing(both, both, -3);
  EXPECT_EQ(rig.plug->NextPos(), 7000);
  EXPECT_EQ(rig.plug->Processor().Fill(), 1024);
  // The end of the int32 timeline: the next expected position saturates.
  rig.host.SetPosition(2147483647.0);
  rig.plug->ProcessDoubleReplacing(both, both, 2);
  EXPECT_EQ(rig.plug->NextPos(), 2147483647);
}

// ---- Parameters and what they reach ----

std::string ParamText(Rig& rig, int opcode, int idx) {
  char text[64] = {};
  rig.host.Dispatch(opcode, idx, 0, text);
  return text;
}

TEST(SorvanoParams, NamesLabelsRangesAndDisplayTexts) {
  Rig rig;
  EXPECT_EQ(ParamText(rig, vst::effGetParamName, 0), "reset");
  EXPECT_EQ(ParamText(rig, vst::effGetParamName, 1), "bright");
  EXPECT_EQ(ParamText(rig, vst::effGetParamName, 2), "colormap");
  EXPECT_EQ(ParamText(rig, vst::effGetParamLabel, 0), "");
  EXPECT_EQ(ParamText(rig, vst::effGetParamLabel, 1), "x");
  EXPECT_EQ(ParamText(rig, vst::effGetParamDisplay, 0), "off");
  EXPECT_EQ(ParamText(rig, vst::effGetParamDisplay, 1), "1.0");
  EXPECT_EQ(ParamText(rig, vst::effGetParamDisplay, 2), "pompeii");

  const IEffectParam& bright = *rig.plug->GetParam(Sorvano::kParamBright);
  EXPECT_EQ(bright.Min(), 0.1);
  EXPECT_EQ(bright.Max(), 10.0);
  EXPECT_EQ(bright.Step(), 0.1);
  EXPECT_EQ(bright.Shape(), 2.0);
  // Shape 2: the normalised value 0.5 sets 0.1 + 0.25 * 9.9.
  rig.effect->setParameter(rig.effect, 1, 0.5f);
  EXPECT_NEAR(bright.Value(), 2.575, 1e-6);

  const IEffectParam& map = *rig.plug->GetParam(Sorvano::kParamColorMap);
  EXPECT_EQ(map.Max(), 3.0);
  EXPECT_EQ(map.DisplayTextCount(), 4);
  const char* names[] = {"pompeii", "thermal", "chlorine", "brrr"};
  for (int v = 0; v < 4; ++v) {
    rig.effect->setParameter(rig.effect, 2, float(v) / 3.0f);
    EXPECT_EQ(ParamText(rig, vst::effGetParamDisplay, 2), names[v]);
    int found = -1;
    EXPECT_TRUE(map.FindValueForText(names[v], &found));
    EXPECT_EQ(found, v);
  }
  rig.effect->setParameter(rig.effect, 0, 1.0f);
  EXPECT_EQ(ParamText(rig, vst::effGetParamDisplay, 0), "on");
}

TEST(SorvanoParams, ChangesReachTheViewAndThePanel) {
  Rig rig;
  RecordingView view;
  RecordingPanel panel;
  rig.plug->ConnectEditorViews(&view, &panel);

  rig.effect->setParameter(rig.effect, 1, 1.0f);  // bright = 10
  rig.effect->setParameter(rig.effect, 2, 1.0f);  // colormap = 3, alone
  ASSERT_EQ(view.mDisplays.size(), 2u);
  EXPECT_EQ(view.mDisplays[1].mBrightness, 10.0);
  EXPECT_EQ(view.mDisplays[1].mColorMap, 3);

  rig.effect->setParameter(rig.effect, 0, 0.5f);
  rig.effect->setParameter(rig.effect, 0, 0.49f);
  EXPECT_EQ(panel.mStates, (std::vector<bool>{true, false}));

  rig.host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  ASSERT_FALSE(view.mRates.empty());
  EXPECT_EQ(view.mRates.back(), 48000.0);

  // Without connected views the same messages are skipped.
  rig.plug->ConnectEditorViews(nullptr, nullptr);
  rig.effect->setParameter(rig.effect, 2, 0.0f);
  rig.effect->setParameter(rig.effect, 0, 1.0f);
  rig.host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  EXPECT_EQ(view.mDisplays.size(), 2u);
  EXPECT_EQ(panel.mStates.size(), 2u);
}

TEST(SorvanoParams, CycleColorMapStepsAndWrapsWithoutTellingTheHost) {
  Rig rig;
  RecordingView view;
  rig.plug->ConnectEditorViews(&view, nullptr);
  const int automations = rig.host.AutomationCount();
  for (int expected : {1, 2, 3, 0, 1}) {
    rig.plug->CycleColorMap();
    EXPECT_EQ(rig.plug->GetParam(Sorvano::kParamColorMap)->Value(), expected);
    ASSERT_FALSE(view.mDisplays.empty());
    EXPECT_EQ(view.mDisplays.back().mColorMap, expected);
    EXPECT_EQ(view.mDisplays.back().mBrightness, 1.0);
  }
  EXPECT_EQ(rig.host.AutomationCount(), automations);
}

TEST(SorvanoMods, OperationsUseTheCurrentSampleRateAndCheckTheirArguments) {
  Rig rig;
  const ModRegion region{0, 1024, 1000, 2000, 3, 4};
  EXPECT_EQ(rig.plug->AddMod(&region, 0.5, 0.0), 1);
  EXPECT_EQ(rig.plug->Mods().Records()[0].mLowBin, 46);
  rig.host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 22050.0f);
  EXPECT_EQ(rig.plug->AddMod(&region, 0.5, 0.0), 2);
  EXPECT_EQ(rig.plug->Mods().Records()[1].mLowBin, 93);
  EXPECT_EQ(rig.plug->Mods().Records()[0].mLowBin, 46);  // built earlier, kept
  EXPECT_EQ(rig.plug->AddMod(nullptr, 0.5, 0.0), 2);
  rig.plug->ToggleModSolo(1);
  rig.plug->UpdateMod(1, nullptr, 2.0, 0.0);
  rig.plug->UpdateMod(1, &region, 2.0, 0.0);
  EXPECT_EQ(rig.plug->Mods().Records()[1].mGain, 2.0);
  EXPECT_EQ(rig.plug->Mods().Records()[1].mSolo, 1);
  EXPECT_EQ(rig.plug->DeleteMod(0), 1);
  EXPECT_EQ(rig.plug->DeleteMod(5), 0);
  rig.plug->ClearMods();
  EXPECT_EQ(rig.plug->Mods().Count(), 0);
}

}  // namespace
}  // namespace sorvano
