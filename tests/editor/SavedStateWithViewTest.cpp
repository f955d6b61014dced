// The plug-in's saved state with its real editor: regions drawn through the
// editor's mouse routing, saved through the host's chunk calls, restored into
// fresh instances, and damaged chunks thrown at it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "editor/ColorMap.h"
#include "editor/SavedViewState.h"
#include "editor/SelectionLayout.h"
#include "editor/SidePanel.h"
#include "editor/SorvanoControl.h"
#include "engine/ModList.h"
#include "engine/Sorvano.h"
#include "framework/DataChunk.h"
#include "framework/vst/VstAbi.h"
#include "tools/render/GestureScript.h"
#include "tools/render/SonogramRender.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano {
namespace {

constexpr int kProgram = 1;
constexpr int kBank = 0;
constexpr int kHeader = 8;
constexpr int kFixed = 72;
constexpr int kBlock = 75;
// Offsets inside a region block.
constexpr int kGainAt = 24;
constexpr int kFadeAt = 32;
constexpr int kMuteAt = 72;
constexpr int kSoloAt = 73;

using Bytes = std::vector<std::uint8_t>;

AudioData Noise(double seconds) {
  AudioData audio;
  audio.sampleRate = 44100;
  audio.channels.resize(1);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> sample(-0.3, 0.3);
  for (int i = 0; i < int(seconds * 44100); ++i) audio.channels[0].push_back(sample(random));
  return audio;
}

// One instance of the plug-in with its own editor, driven as a host and a
// user would.
class Editor {
public:
  explicit Editor(double rate = 44100.0) : mRender(rate, 512), mAudio(Noise(1.0)) {}

  // Gestures in the script language of tools/render/GestureScript.h.
  void Run(const std::string& script) {
    std::vector<Gesture> gestures;
    std::string error;
    ASSERT_TRUE(ParseGestures(script, gestures, error)) << error;
    ASSERT_TRUE(RunGestures(gestures, mRender, mAudio, error)) << error;
  }
  void Click(int x, int y) {
    Run("move " + std::to_string(x) + " " + std::to_string(y) + "\npress " + std::to_string(x) + " " +
        std::to_string(y) + "\nrelease " + std::to_string(x) + " " + std::to_string(y) + "\n");
  }
  // The selected region's widgets.
  SelectionLayout Widgets() {
    const auto snapshot = mRender.View().InspectRegions();
    EXPECT_GE(snapshot.selected, 0);
    return SelectionLayout::For(snapshot.marked, SorvanoControl::kMainRect);
  }

  Bytes Chunk(int index) {
    void* data = nullptr;
    const std::intptr_t size = Effect()->dispatcher(Effect(), vst::effGetChunk, index, 0, &data, 0.0f);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return size > 0 && data ? Bytes(bytes, bytes + size) : Bytes{};
  }
  std::intptr_t Load(int index, Bytes bytes) {
    return Effect()->dispatcher(Effect(), vst::effSetChunk, index, static_cast<std::intptr_t>(bytes.size()),
                                bytes.data(), 0.0f);
  }

  std::vector<EditorMod> Regions() { return mRender.View().InspectRegions().regions; }
  std::vector<ModRecord> Records() {
    IEffectBase::ScopedLock lock(mRender.Plugin());
    const auto records = mRender.Plugin().Mods().Records();
    return std::vector<ModRecord>(records.begin(), records.end());
  }
  double Rate() { return mRender.Plugin().GetSampleRate(); }

  // A block of audio straight through the effect record; answers whether
  // every output sample is finite.
  bool ProcessFinite(int frames) {
    std::vector<double> left(std::size_t(frames), 0.25), right(std::size_t(frames), -0.25);
    double* channels[2] = {left.data(), right.data()};
    Effect()->processDoubleReplacing(Effect(), channels, channels, frames);
    for (int i = 0; i < frames; ++i) {
      if (!std::isfinite(left[std::size_t(i)]) || !std::isfinite(right[std::size_t(i)])) return false;
    }
    return true;
  }
  void Tick() { mRender.Tick(); }
  SonogramRender& Render() { return mRender; }

private:
  vst::AEffect* Effect() { return static_cast<vst::AEffect*>(mRender.Plugin().EffectRecord()); }

  SonogramRender mRender;
  AudioData mAudio;
};

bool SameRecord(const ModRecord& a, const ModRecord& b) {
  return a.mStart == b.mStart && a.mEnd == b.mEnd && a.mLowHz == b.mLowHz && a.mHighHz == b.mHighHz &&
         a.mLowBin == b.mLowBin && a.mHighBin == b.mHighBin && a.mFadeStart == b.mFadeStart &&
         a.mFadeEnd == b.mFadeEnd && a.mFadeLowHz == b.mFadeLowHz && a.mFadeHighHz == b.mFadeHighHz &&
         a.mFadeLowBin == b.mFadeLowBin && a.mFadeHighBin == b.mFadeHighBin && a.mGain == b.mGain &&
         a.mMute == b.mMute && a.mSolo == b.mSolo && a.mBypass == b.mBypass;
}

// The view's list and the engine's, index by index: each engine record is
// the one the view's region builds at the instance's rate, with its switches.
::testing::AssertionResult ListsAgree(Editor& editor) {
  const std::vector<EditorMod> regions = editor.Regions();
  const std::vector<ModRecord> records = editor.Records();
  if (regions.size() != records.size()) {
    return ::testing::AssertionFailure() << regions.size() << " regions in the view, " << records.size()
                                         << " in the engine";
  }
  for (std::size_t i = 0; i < regions.size(); ++i) {
    const EditorMod& m = regions[i];
    ModRecord want = BuildModRecord(m.mRegion, m.mModAmp, m.mFade, editor.Rate());
    want.mMute = m.mMute;
    want.mSolo = m.mSolo;
    want.mBypass = m.mBypass;
    if (!SameRecord(want, records[i])) return ::testing::AssertionFailure() << "region " << i << " differs";
  }
  return ::testing::AssertionSuccess();
}

// Three regions drawn by a user: the first muted, the second solo with its
// gain raised, the third bypassed with a longer fade; then the main pane
// zoomed so that the windows are not the defaults.
void DrawThreeRegions(Editor& editor) {
  editor.Run("play 0.3\n"
             "press 100 80\ndrag 130 110\ndrag 150 130\nrelease 150 130\n"
             "press 300 200\ndrag 330 230\ndrag 360 260\nrelease 360 260\n"
             "press 450 100\ndrag 480 130\ndrag 520 160\nrelease 520 160\n"
             "play 0.2\n");
  editor.Click(125, 105);
  SelectionLayout w = editor.Widgets();
  editor.Click((w.mMute.L + w.mMute.R) / 2, (w.mMute.T + w.mMute.B) / 2);
  editor.Click(330, 230);
  w = editor.Widgets();
  editor.Click((w.mSolo.L + w.mSolo.R) / 2, (w.mSolo.T + w.mSolo.B) / 2);
  editor.Run("press " + std::to_string(w.mGainX) + " " + std::to_string(w.mGainY) + "\ndrag " +
             std::to_string(w.mGainX) + " " + std::to_string(w.mGainY - 6) + "\nrelease " +
             std::to_string(w.mGainX) + " " + std::to_string(w.mGainY - 6) + "\n");
  editor.Click(485, 130);
  w = editor.Widgets();
  editor.Click((w.mBypass.L + w.mBypass.R) / 2, (w.mBypass.T + w.mBypass.B) / 2);
  editor.Run("press " + std::to_string(w.mFadeX) + " " + std::to_string(w.mFadeY) + "\ndrag " +
             std::to_string(w.mFadeX) + " " + std::to_string(w.mFadeY - 8) + "\nrelease " +
             std::to_string(w.mFadeX) + " " + std::to_string(w.mFadeY - 8) + "\n");
  editor.Run("wheel 250 300 1\nplay 0.2\n");
}

class SavedStateWithView : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sSaved = new Editor;
    DrawThreeRegions(*sSaved);
  }
  static void TearDownTestSuite() {
    delete sSaved;
    sSaved = nullptr;
  }
  static Editor* sSaved;
};

Editor* SavedStateWithView::sSaved = nullptr;

TEST_F(SavedStateWithView, TheDrawnRegionsCarryTheirSwitchesGainAndFade) {
  const std::vector<EditorMod> regions = sSaved->Regions();
  ASSERT_EQ(regions.size(), 3u);
  EXPECT_TRUE(regions[0].mMute);
  EXPECT_TRUE(regions[1].mSolo);
  EXPECT_GT(regions[1].mModAmp, 1.0);
  EXPECT_TRUE(regions[2].mBypass);
  EXPECT_GT(regions[2].mFade, 0.1);
  EXPECT_TRUE(ListsAgree(*sSaved));
  EXPECT_EQ(sSaved->Chunk(kProgram).size(), std::size_t(kHeader + kFixed + 3 * kBlock));
}

TEST_F(SavedStateWithView, ProgramAndBankChunksRestoreIntoAFreshInstanceAndSaveTheSameBytes) {
  for (const int index : {kProgram, kBank}) {
    SCOPED_TRACE(index == kProgram ? "program chunk" : "bank chunk");
    const Bytes saved = sSaved->Chunk(index);
    Editor fresh;
    ASSERT_EQ(fresh.Load(index, saved), 1);
    EXPECT_EQ(fresh.Chunk(index), saved);
    EXPECT_TRUE(ListsAgree(fresh));

    // The same sample rate: the engine holds the saved instance's records.
    const std::vector<ModRecord> want = sSaved->Records();
    const std::vector<ModRecord> got = fresh.Records();
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_TRUE(SameRecord(got[i], want[i])) << "record " << i;

    // Drawn and played on, the restored editor still saves what it was given.
    fresh.Tick();
    EXPECT_EQ(fresh.Chunk(index), saved);
  }
}

// The restored instance shows what it restored: the display settings of the
// chunk, no selection, the panel's count; a drag that was under way when the
// host restored ends without touching the new regions.
TEST_F(SavedStateWithView, ARestoreShowsTheStoredDisplayAndEndsTheSelectionAndAnyDrag) {
  Editor source;
  source.Render().SetDisplay(4.0, "chlorine");
  source.Run("press 200 150\ndrag 240 190\nrelease 240 190\n");
  const Bytes chunk = source.Chunk(kProgram);

  Editor target;
  target.Run("press 100 80\ndrag 150 130\nrelease 150 130\n"
             "press 125 105\ndrag 135 110\n");  // moving the region, button still down
  ASSERT_EQ(target.Render().View().InspectRegions().drag, DragMode::kMoveSelection);
  ASSERT_EQ(target.Load(kProgram, chunk), 1);
  target.Tick();
  const auto view = target.Render().View().Inspect();
  EXPECT_EQ(view.colorMap, 2);
  EXPECT_EQ(view.multiplier, ColorMap::BrightnessMultiplier(4.0));
  const auto regions = target.Render().View().InspectRegions();
  EXPECT_EQ(regions.selected, -1);
  EXPECT_EQ(regions.drag, DragMode::kNone);
  EXPECT_EQ(target.Render().Plugin().EditorPanel()->RegionCount(), 1);
  EXPECT_EQ(target.Render().Plugin().EditorPanel()->ActiveIndex(), -1);

  target.Run("drag 180 150\nrelease 180 150\n");
  EXPECT_EQ(target.Chunk(kProgram), chunk) << "the drag went on after the restore";
  EXPECT_TRUE(ListsAgree(target));
}

TEST_F(SavedStateWithView, AnInstanceAtAnotherRateRebuildsTheEngineListAtItsOwnRate) {
  Editor other(48000.0);
  ASSERT_EQ(other.Load(kProgram, sSaved->Chunk(kProgram)), 1);
  EXPECT_EQ(other.Regions().size(), 3u);
  EXPECT_TRUE(ListsAgree(other));
  EXPECT_FALSE(SameRecord(other.Records()[0], sSaved->Records()[0]));
}

TEST_F(SavedStateWithView, AStoredRegionWithMuteAndSoloBothOnRestoresWithBothEngineFlagsOn) {
  Bytes chunk = sSaved->Chunk(kProgram);
  chunk[kHeader + kFixed + kMuteAt] = 1;
  chunk[kHeader + kFixed + kSoloAt] = 1;
  Editor fresh;
  ASSERT_EQ(fresh.Load(kProgram, chunk), 1);
  const std::vector<ModRecord> records = fresh.Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].mMute, 1);
  EXPECT_EQ(records[0].mSolo, 1);
  EXPECT_TRUE(fresh.Regions()[0].mMute && fresh.Regions()[0].mSolo);
  EXPECT_TRUE(ListsAgree(fresh));
  EXPECT_EQ(fresh.Chunk(kProgram), chunk);
}

// Every cut of a program chunk: inside the header or the fixed items the
// instance keeps what it had; inside the region blocks the complete regions
// before the cut are restored. Either way the host hears of it.
TEST_F(SavedStateWithView, AProgramChunkCutAtEveryOffsetLeavesBothListsInStep) {
  const Bytes saved = sSaved->Chunk(kProgram);
  Editor target;
  target.Run("press 200 150\ndrag 240 190\nrelease 240 190\n");
  for (std::size_t cut = 0; cut < saved.size(); ++cut) {
    const Bytes before = target.Chunk(kProgram);
    const std::size_t regionsBefore = target.Regions().size();
    EXPECT_EQ(target.Load(kProgram, Bytes(saved.begin(), saved.begin() + std::ptrdiff_t(cut))), 0) << cut;
    if (cut < std::size_t(kHeader + kFixed)) {
      EXPECT_EQ(target.Chunk(kProgram), before) << "cut at " << cut << " changed the instance";
      EXPECT_EQ(target.Regions().size(), regionsBefore);
    } else {
      EXPECT_EQ(target.Regions().size(), (cut - kHeader - kFixed) / kBlock) << cut;
    }
    ASSERT_TRUE(ListsAgree(target)) << "cut at " << cut;
  }
  EXPECT_EQ(target.Load(kProgram, saved), 1);
  EXPECT_EQ(target.Chunk(kProgram), saved);
}

// A bank chunk cut anywhere but exactly after its presets (the layout of a
// bank without the state, still read as complete) is refused.
TEST_F(SavedStateWithView, ABankChunkCutAtEveryOffsetLeavesBothListsInStep) {
  const Bytes bank = sSaved->Chunk(kBank);
  const std::size_t presetsEnd = bank.size() - (sSaved->Chunk(kProgram).size() - kHeader);
  Editor target;
  for (std::size_t cut = 0; cut < bank.size(); ++cut) {
    const std::intptr_t result = target.Load(kBank, Bytes(bank.begin(), bank.begin() + std::ptrdiff_t(cut)));
    EXPECT_EQ(result, cut == presetsEnd ? 1 : 0) << "cut at " << cut;
    ASSERT_TRUE(ListsAgree(target)) << "cut at " << cut;
  }
}

// Random damage to a saved chunk whose state starts at stateAt: bytes
// flipped, items overwritten with extreme or non-finite values, counts
// claimed far beyond the data, the chunk cut or lengthened.
class Garbler {
public:
  explicit Garbler(std::uint32_t seed) : mRandom(seed) {}

  Bytes Garble(Bytes chunk, std::size_t stateAt) {
    const std::size_t regionsAt = stateAt + kFixed;
    for (int edits = 1 + int(Pick(4)); edits > 0 && chunk.size() > regionsAt; --edits) {
      switch (Pick(6)) {
        case 0:  // a random byte anywhere in the state
          chunk[stateAt + Pick(chunk.size() - stateAt)] = std::uint8_t(mRandom());
          break;
        case 1: {  // an extreme int32 at an item boundary
          const std::size_t at = stateAt + 20 + 4 * Pick((chunk.size() - stateAt - 24) / 4);
          const int32_t v = kInts[Pick(std::size(kInts))];
          std::memcpy(&chunk[at], &v, sizeof v);
          break;
        }
        case 2: {  // a gain, a fade or one of the two parameter values
          const double v = kDoubles[Pick(std::size(kDoubles))];
          const std::size_t at = Pick(2) ? regionsAt + Pick(3) * kBlock + (Pick(2) ? kGainAt : kFadeAt)
                                         : stateAt + 4 + 8 * Pick(2);
          if (at + sizeof v <= chunk.size()) std::memcpy(&chunk[at], &v, sizeof v);
          break;
        }
        case 3: {  // the region count
          const int32_t v = Pick(2) ? kInts[Pick(std::size(kInts))] : int32_t(Pick(64));
          std::memcpy(&chunk[regionsAt - 4], &v, sizeof v);
          break;
        }
        case 4:  // cut
          chunk.resize(Pick(chunk.size() + 1));
          break;
        default:  // lengthened with noise
          for (std::size_t n = Pick(3 * kBlock); n > 0; --n) chunk.push_back(std::uint8_t(mRandom()));
          break;
      }
    }
    return chunk;
  }

private:
  static constexpr int32_t kInts[] = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                                      -1, 0, 1, 1023, 1024, 22050, 1 << 30, -(1 << 30)};
  static constexpr double kDoubles[] = {std::numeric_limits<double>::quiet_NaN(),
                                        std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        1e308, -1e308, 0.0, -0.0, std::numeric_limits<double>::denorm_min(),
                                        1e6, -5.0};
  std::size_t Pick(std::size_t n) { return std::size_t(mRandom() % n); }
  std::mt19937 mRandom;
};

// Garbled chunks through the host's chunk call: no restore may crash or
// leave the lists apart, and neither drawing the editor nor processing audio
// afterwards may crash or give a non-finite sample. A restore re-renders both
// panes (about 5 ms in the sanitized debug build), so the thousands of
// garbled chunks that only the reader sees are checked below.
TEST_F(SavedStateWithView, GarbledChunksNeverCrashOrLeaveTheListsApart) {
  const Bytes program = sSaved->Chunk(kProgram);
  const Bytes bank = sSaved->Chunk(kBank);
  const std::size_t bankState = bank.size() - (program.size() - kHeader);
  Garbler garbler(20240611);
  Editor target;
  constexpr int kRounds = 1000;
  for (int round = 0; round < kRounds; ++round) {
    const bool toBank = round % 4 == 3;
    target.Load(toBank ? kBank : kProgram, garbler.Garble(toBank ? bank : program, toBank ? bankState : kHeader));
    ASSERT_TRUE(ListsAgree(target)) << "round " << round;
    if (round % 25 == 0) {
      ASSERT_TRUE(target.ProcessFinite(2048)) << "round " << round;
    }
    // A draw recolours both panes for the new display values: costly, so
    // a sample of the restored states is drawn.
    if (round % 250 == 0) target.Tick();
  }
}

// The view's part of garbled chunks, as the restore reads it: whatever the
// bytes claim, only the regions really present are read, and every value
// read is one the editor and the engine can work with.
TEST_F(SavedStateWithView, GarbledStatesAreReadIntoRangeAndNeverBeyondTheirBytes) {
  const Bytes program = sSaved->Chunk(kProgram);
  constexpr int kViewAt = kHeader + 20;
  constexpr int kRate = 44100;
  Garbler garbler(7);
  for (int round = 0; round < 20000; ++round) {
    const Bytes bytes = garbler.Garble(program, kHeader);
    DataChunk chunk;
    chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
    SavedViewState state;
    const auto result = SavedViewStateFormat::Read(chunk, kViewAt, kRate, Sorvano::kEditorWidth,
                                                   Sorvano::kEditorHeight, state);
    if (result == SavedViewStateFormat::Result::kIncomplete) {
      ASSERT_LT(int(bytes.size()), kViewAt + SavedViewStateFormat::kFixedBytes) << round;
      continue;
    }
    ASSERT_LE(int(state.mRegions.size()), (int(bytes.size()) - kHeader - kFixed) / kBlock) << round;
    for (const SavedRegion& r : state.mRegions) {
      ASSERT_TRUE(r.mRegion.mStart >= 0 && r.mRegion.mStart <= r.mRegion.mEnd) << round;
      ASSERT_TRUE(r.mRegion.mLowHz >= 0 && r.mRegion.mLowHz <= r.mRegion.mHighHz && r.mRegion.mHighHz <= kRate / 2)
          << round;
      ASSERT_TRUE(r.mRegion.mLowRow >= 0 && r.mRegion.mLowRow <= r.mRegion.mHighRow && r.mRegion.mHighRow <= 1023)
          << round;
      ASSERT_TRUE(r.mModAmp >= 0.0 && r.mModAmp <= SavedViewStateFormat::MaxGain()) << round;
      ASSERT_TRUE(r.mFade >= 0.0 && r.mFade <= 1.0) << round;
      for (const IRect& rect : {r.mMainRect, r.mOverviewRect}) {
        ASSERT_TRUE(rect.L >= 0 && rect.L <= rect.R && rect.R <= Sorvano::kEditorWidth && rect.T >= 0 &&
                    rect.T <= rect.B && rect.B <= Sorvano::kEditorHeight)
            << round;
      }
      ASSERT_TRUE(std::isfinite(BuildModRecord(r.mRegion, r.mModAmp, r.mFade, kRate).mGain)) << round;
    }
  }
}

}  // namespace
}  // namespace sorvano
