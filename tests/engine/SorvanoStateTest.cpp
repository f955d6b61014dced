#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "editor/ViewLink.h"
#include "engine/Sorvano.h"
#include "framework/DataChunk.h"
#include "tests/engine/TimelineHost.h"

namespace sorvano {
namespace {

// A view that keeps a state as given and rebuilds the engine's list from a
// restored one, as the sonogram view does.
class StateView : public ViewLink {
public:
  explicit StateView(Sorvano& plug) : mPlug(plug) {}
  void OnFramesPublished() override {}
  void SetSampleRate(double) override {}
  void SetDisplay(double brightness, int colorMap) override {
    mBrightness = brightness;
    mColorMap = colorMap;
  }
  SavedViewState SaveState() override { return mState; }
  void RestoreState(const SavedViewState& state) override {
    ++mRestores;
    mState = state;
    mPlug.ClearMods();
    for (std::size_t i = 0; i < state.mRegions.size(); ++i) {
      const SavedRegion& r = state.mRegions[i];
      mPlug.AddMod(&r.mRegion, r.mModAmp, r.mFade);
      if (r.mMute) mPlug.ToggleModMute(static_cast<int>(i));
      if (r.mSolo) mPlug.ToggleModSolo(static_cast<int>(i));
      if (r.mBypass) mPlug.ToggleModBypass(static_cast<int>(i));
    }
  }

  Sorvano& mPlug;
  SavedViewState mState;
  int mRestores = 0;
  double mBrightness = -1.0;
  int mColorMap = -1;
};

struct Instance {
  Instance() : plug(std::make_unique<Sorvano>(test::TimelineHost::Callback())), view(*plug) {
    effect = host.Attach(*plug);
    host.Dispatch(vst::effOpen);
    host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    plug->ConnectEditorViews(&view, nullptr);
  }

  std::vector<std::uint8_t> GetChunk(int index) {
    void* data = nullptr;
    const auto size = host.Dispatch(vst::effGetChunk, index, 0, &data);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return size > 0 ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>{};
  }
  std::intptr_t SetChunk(int index, const std::vector<std::uint8_t>& bytes) {
    return host.Dispatch(vst::effSetChunk, index, static_cast<std::intptr_t>(bytes.size()),
                         const_cast<std::uint8_t*>(bytes.data()));
  }

  test::TimelineHost host;
  std::unique_ptr<Sorvano> plug;
  StateView view;
  vst::AEffect* effect = nullptr;
};

SavedViewState ThreeRegions() {
  SavedViewState state;
  state.mOverviewEnd = 1323008;
  state.mWindow = {0, 220160, 0, 22000, 0, 1023};
  state.mWindowRect = {30, 362, 126, 429};
  for (int i = 0; i < 3; ++i) {
    SavedRegion r;
    r.mRegion = {40960 * (i + 1), 40960 * (i + 2), 500 + 100 * i, 2000 + 100 * i, 200, 500};
    r.mModAmp = 0.25 * (i + 1);
    r.mFade = 0.1 * i;
    r.mMute = i == 0;
    r.mSolo = i >= 1;  // region 2 is both solo and bypassed
    r.mBypass = i == 2;
    state.mRegions.push_back(r);
  }
  state.mRegions[0].mSolo = true;  // mute and solo together, as a stored chunk may say
  return state;
}

constexpr int kHeader = 8;

TEST(SorvanoState, StateIsSeventyTwoBytesPlusSeventyFivePerRegionAfterTheHeader) {
  Instance a;
  EXPECT_EQ(a.GetChunk(1).size(), kHeader + 72u);
  a.view.mState.mRegions.resize(1);
  EXPECT_EQ(a.GetChunk(1).size(), kHeader + 147u);
}

TEST(SorvanoState, ProgramAndBankChunksBothRestoreEveryRegionIntoAFreshInstance) {
  for (int index : {1, 0}) {
    Instance a;
    a.view.mState = ThreeRegions();
    a.plug->GetParam(Sorvano::kParamBright)->Set(2.5);
    a.plug->GetParam(Sorvano::kParamColorMap)->Set(3);
    a.view.RestoreState(a.view.mState);
    const std::vector<std::uint8_t> saved = a.GetChunk(index);

    Instance b;
    ASSERT_EQ(b.SetChunk(index, saved), 1) << index;
    EXPECT_EQ(b.GetChunk(index), saved) << index;
    EXPECT_EQ(b.plug->GetParam(Sorvano::kParamBright)->Value(), 2.5);
    EXPECT_EQ(b.view.mBrightness, 2.5) << "the view shows the restored brightness";
    EXPECT_EQ(b.view.mColorMap, 3);
    EXPECT_EQ(b.plug->ColorMapIndex(), 3);

    const auto ra = a.plug->Mods().Records();
    const auto rb = b.plug->Mods().Records();
    ASSERT_EQ(rb.size(), 3u);
    for (std::size_t i = 0; i < ra.size(); ++i) {
      EXPECT_EQ(std::memcmp(&ra[i], &rb[i], sizeof ra[i]), 0) << index << " record " << i;
    }
    EXPECT_EQ(rb[0].mMute, 1);
    EXPECT_EQ(rb[0].mSolo, 1);
    EXPECT_EQ(rb[2].mBypass, 1);
  }
}

TEST(SorvanoState, StoredValuesOutsideTheParameterRangesAreLimited) {
  Instance a;
  std::vector<std::uint8_t> chunk = a.GetChunk(1);
  const double bright = 20.0;
  std::memcpy(chunk.data() + kHeader + 4, &bright, sizeof bright);
  Instance b;
  ASSERT_EQ(b.SetChunk(1, chunk), 1);
  EXPECT_EQ(b.plug->GetParam(Sorvano::kParamBright)->Value(), 10.0);
}

TEST(SorvanoState, UnrecognisedOrIncompleteDataChangesNothingAndIsReportedToTheHost) {
  Instance a;
  a.view.mState = ThreeRegions();
  const std::vector<std::uint8_t> saved = a.GetChunk(1);

  std::vector<std::uint8_t> wrongTag = saved;
  const int32_t tag = 1013;
  std::memcpy(wrongTag.data() + kHeader, &tag, sizeof tag);
  Instance b;
  b.plug->GetParam(Sorvano::kParamBright)->Set(3.0);
  EXPECT_EQ(b.SetChunk(1, wrongTag), 0);
  EXPECT_EQ(b.view.mRestores, 0);
  EXPECT_EQ(b.plug->GetParam(Sorvano::kParamBright)->Value(), 3.0);

  // Cut at every byte: inside the fixed items nothing changes; inside the
  // region blocks the whole regions before the cut are restored; only the
  // whole chunk counts as a complete restore.
  for (std::size_t size = 0; size <= saved.size(); ++size) {
    Instance c;
    c.view.mState.mRegions.resize(1);
    c.view.RestoreState(c.view.mState);
    const std::vector<std::uint8_t> cut(saved.begin(), saved.begin() + size);
    const auto answer = c.SetChunk(1, cut);
    EXPECT_EQ(answer, size == saved.size() ? 1 : 0) << size;
    const std::size_t fixedEnd = kHeader + 72;
    if (size < fixedEnd) {
      EXPECT_EQ(c.view.mRestores, 1) << size;
      EXPECT_EQ(c.plug->Mods().Count(), 1) << size;
    } else {
      EXPECT_EQ(c.view.mRestores, 2) << size;
      EXPECT_EQ(c.plug->Mods().Count(), static_cast<int>((size - fixedEnd) / 75)) << size;
    }
  }
}

TEST(SorvanoState, AnOldBankOfPresetsAloneStillLoads) {
  Instance a;
  a.view.mState = ThreeRegions();
  std::vector<std::uint8_t> bank = a.GetChunk(0);
  // The same bank without the state after the presets.
  bank.resize(bank.size() - (72 + 3 * 75));
  Instance b;
  EXPECT_EQ(b.SetChunk(0, bank), 1);
  EXPECT_EQ(b.view.mRestores, 0);
}

TEST(SorvanoState, GarbledChunksNeverBreakTheInstance) {
  Instance a;
  a.view.mState = ThreeRegions();
  const std::vector<std::uint8_t> saved = a.GetChunk(1);
  std::mt19937 random(1014);
  Instance b;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> garbled = saved;
    const int flips = 1 + static_cast<int>(random() % 8);
    for (int f = 0; f < flips; ++f) {
      garbled[random() % garbled.size()] = static_cast<std::uint8_t>(random());
    }
    b.SetChunk(1, garbled);
    for (const ModRecord& r : b.plug->Mods().Records()) {
      EXPECT_TRUE(std::isfinite(r.mGain));
      EXPECT_LE(r.mStart, r.mEnd);
    }
  }
}

}  // namespace
}  // namespace sorvano
