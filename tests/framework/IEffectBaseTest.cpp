#include "framework/IEffectBase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "framework/Assert.h"
#include "support/FakeEditor.h"
#include "tests/framework/RecordingEffect.h"

namespace sorvano {
namespace {

using test::FakeEditor;
using test::RecordingEffect;

int Count(const std::vector<std::string>& log, const std::string& entry) {
  int n = 0;
  for (const std::string& e : log) n += e == entry ? 1 : 0;
  return n;
}

// ---- Construction and channels ----

TEST(IEffectBase, NamesAreCutToTheirFields) {
  const std::string longName(300, 'n');
  class Named : public RecordingEffect {
  public:
    explicit Named(const char* name) : RecordingEffect("2-2", 1) { StoreCurrentPreset(name); }
  };
  Named plug(longName.c_str());
  EXPECT_EQ(std::string(plug.GetPresetName(0)), longName.substr(0, kPresetNameCapacity - 1));
}

TEST(IEffectBase, ChannelStringGivesConfigurationsAndLegalIO) {
  RecordingEffect plug("1-1 2-2");
  ASSERT_EQ(plug.ChannelConfigs().size(), 2u);
  EXPECT_EQ(plug.ChannelConfigs()[0].mIn, 1);
  EXPECT_EQ(plug.ChannelConfigs()[1].mOut, 2);
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 2);
  EXPECT_TRUE(plug.LegalIO(1, -1));
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_TRUE(plug.LegalIO(-1, -1));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_FALSE(plug.LegalIO(3, -1));

  RecordingEffect uneven("0-2 4-1");
  EXPECT_EQ(uneven.NInChannels(), 4);
  EXPECT_EQ(uneven.NOutChannels(), 2);
}

std::string gAssertion;

TEST(IEffectBase, BadChannelStringIsReportedAsProgrammingError) {
  gAssertion.clear();
  AssertionHandler previous = SetAssertionHandler([](const char* expression, const char*, int) {
    gAssertion = expression;
  });
  RecordingEffect plug("2-2 stereo");
  SetAssertionHandler(previous);
  EXPECT_EQ(gAssertion, "sscanf(channelIOStr, \"%d-%d\", &nIn, &nOut) == 2");
  EXPECT_EQ(plug.NInChannels(), 2);
}

TEST(IEffectBase, ChannelConnectionsAreLimitedToTheChannels) {
  RecordingEffect plug("4-4");
  plug.SetInputChannelConnections(0, 4, true);
  plug.SetInputChannelConnections(2, 100, false);
  EXPECT_TRUE(plug.IsInputConnected(1));
  EXPECT_FALSE(plug.IsInputConnected(2));
  EXPECT_FALSE(plug.IsInputConnected(3));
  // Ranges near the int limits neither overflow nor touch other channels.
  plug.SetOutputChannelConnections(-5, 7, true);
  EXPECT_TRUE(plug.IsOutputConnected(1));
  EXPECT_FALSE(plug.IsOutputConnected(2));
  plug.SetOutputChannelConnections(2, std::numeric_limits<int>::max(), true);
  plug.SetOutputChannelConnections(std::numeric_limits<int>::max(), 5, false);
  EXPECT_TRUE(plug.IsOutputConnected(3));
  EXPECT_FALSE(plug.IsOutputConnected(4));

  plug.RestrictToStereo();
  EXPECT_TRUE(plug.IsInputConnected(1));
  EXPECT_FALSE(plug.IsInputConnected(3));
  EXPECT_TRUE(plug.IsOutputConnected(3));
}

TEST(IEffectBase, SampleRateAndBlockSizeIgnoreNonsense) {
  RecordingEffect plug;
  plug.SetSampleRate(48000.0);
  plug.SetSampleRate(0.0);
  plug.SetSampleRate(-1.0);
  plug.SetSampleRate(std::numeric_limits<double>::quiet_NaN());
  plug.SetSampleRate(std::numeric_limits<double>::infinity());
  EXPECT_DOUBLE_EQ(plug.GetSampleRate(), 48000.0);

  plug.SetBlockSize(256);
  plug.SetBlockSize(0);
  plug.SetBlockSize(-4);
  EXPECT_EQ(plug.GetBlockSize(), 256);
  plug.SetBlockSize(std::numeric_limits<int>::max());
  EXPECT_EQ(plug.GetBlockSize(), kMaxBlockSize);
}

// ---- Parameters ----

TEST(IEffectBase, ParameterChangeFromTheEditorTellsTheHostFirst) {
  RecordingEffect plug;
  plug.SetParameterFromGUI(0, 0.5);
  ASSERT_EQ(plug.mAutomations.size(), 1u);
  EXPECT_EQ(plug.mAutomations[0].mIndex, 0);
  EXPECT_DOUBLE_EQ(plug.mAutomations[0].mSent, 0.5);
  EXPECT_DOUBLE_EQ(plug.mAutomations[0].mValueWhenSent, 0.1);  // still the old value 1.0 of 0..10
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 5.0);
  EXPECT_EQ(Count(plug.mLog, "Change 0"), 1);

  plug.SetParameterFromGUI(3, 0.5);
  plug.SetParameterFromGUI(-1, 0.5);
  EXPECT_EQ(plug.mAutomations.size(), 1u);
  EXPECT_EQ(plug.mLog.size(), 1u);
}

TEST(IEffectBase, ShortParameterDataSetsTheNextParameterFromZero) {
  RecordingEffect plug;
  plug.GetParam(1)->Set(1.0);
  plug.GetParam(2)->Set(3.0);

  DataChunk chunk;
  chunk.Put(20.0);  // outside 0..10: clamped
  chunk.Put<std::uint8_t>(1);  // a partial double
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 10.0);
  EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 0.0);
  EXPECT_DOUBLE_EQ(plug.GetParam(2)->Value(), 3.0);
  const std::vector<std::string> expected = {"Change 0", "Change 1", "Change 2", "Reset"};
  EXPECT_EQ(plug.mLog, expected);
}

TEST(IEffectBase, ParameterValuesRoundTripAsRealValues) {
  RecordingEffect source;
  source.GetParam(0)->Set(7.25);
  source.GetParam(1)->Set(1.0);
  source.GetParam(2)->Set(1.0);
  DataChunk chunk;
  ASSERT_TRUE(source.SerializeParams(&chunk));
  ASSERT_EQ(chunk.Size(), 24);
  double first = 0.0;
  chunk.Get(&first, 0);
  EXPECT_DOUBLE_EQ(first, 7.25);

  RecordingEffect target;
  EXPECT_EQ(target.UnserializeParams(&chunk, 0), 24);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(target.GetParam(i)->Value(), source.GetParam(i)->Value());
  EXPECT_EQ(target.UnserializeParams(nullptr, 0), -1);

  RecordingEffect none("1-1", 0, 0);
  DataChunk empty;
  EXPECT_TRUE(none.SerializeParams(&empty));
  EXPECT_FALSE(none.SerializeParams(nullptr));
}

TEST(IEffectBase, ApplyAllParamsVisitsEveryParameterThenResets) {
  RecordingEffect plug;
  plug.ApplyAllParams();
  const std::vector<std::string> expected = {"Change 0", "Change 1", "Change 2", "Reset"};
  EXPECT_EQ(plug.mLog, expected);
}

// ---- Editor ----

TEST(IEffectBase, AttachedEditorGetsValuesAndIsDestroyedWithThePlugin) {
  FakeEditor::Log log;
  {
    RecordingEffect plug;
    plug.GetParam(0)->Set(5.0);
    plug.AttachEditor(new FakeEditor(&log));
    EXPECT_EQ(log.mPrepareDraw, 1);
    ASSERT_EQ(log.mUpdates.size(), 3u);
    EXPECT_EQ(log.mUpdates[0].mIndex, 0);
    EXPECT_DOUBLE_EQ(log.mUpdates[0].mValue, 0.5);
    EXPECT_TRUE(log.mUpdates[0].mNormalized);
    EXPECT_DOUBLE_EQ(log.mUpdates[2].mValue, 2.0 / 3.0);

    log.mUpdates.clear();
    plug.PushParamsToEditor();
    ASSERT_EQ(log.mUpdates.size(), 3u);
    EXPECT_DOUBLE_EQ(log.mUpdates[0].mValue, 5.0);
    EXPECT_FALSE(log.mUpdates[0].mNormalized);

    plug.AttachEditor(nullptr);
    EXPECT_NE(plug.GetEditor(), nullptr);
    EXPECT_FALSE(log.mDestroyed);
  }
  EXPECT_TRUE(log.mDestroyed);
}

// ---- Presets ----

TEST(IEffectBase, DefaultPresetHoldsTheConstructorValues) {
  RecordingEffect plug;
  plug.AddDefaultPresetIfNone();
  ASSERT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.GetPresetName(0), "Default");
  plug.AddDefaultPresetIfNone();
  EXPECT_EQ(plug.NPresets(), 1);

  plug.GetParam(0)->Set(9.0);
  EXPECT_TRUE(plug.SelectPreset(0));
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 1.0);
  EXPECT_FALSE(plug.SelectPreset(1));
  EXPECT_FALSE(plug.SelectPreset(-1));
  EXPECT_STREQ(plug.GetPresetName(1), "");
}

TEST(IEffectBase, UninitialisedPresetsTakeCurrentValuesAndUserNames) {
  RecordingEffect plug("2-2", 4);
  EXPECT_STREQ(plug.GetPresetName(2), "- 2 -");
  plug.FillPresetsFromCurrent("factory", 1);
  EXPECT_STREQ(plug.GetPresetName(0), "factory");

  plug.GetParam(0)->Set(3.0);
  ASSERT_TRUE(plug.SelectPreset(2));
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 3.0);
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 1");
  EXPECT_EQ(plug.CurrentPresetIndex(), 2);

  plug.StoreCurrentPreset("my user preset");
  plug.GetParam(0)->Set(4.0);
  ASSERT_TRUE(plug.SelectPreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 2");

  // Selecting the first preset restores its values.
  ASSERT_TRUE(plug.SelectPreset(0));
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 1.0);
  ASSERT_TRUE(plug.SelectPreset(2));
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 3.0);
}

TEST(IEffectBase, StoreCurrentPresetKeepsTheNameWhenEmpty) {
  RecordingEffect plug("2-2", 2);
  plug.FillPresetsFromCurrent(nullptr, 5);
  EXPECT_STREQ(plug.GetPresetName(1), "Default");
  plug.GetParam(0)->Set(2.0);
  plug.StoreCurrentPreset("");
  EXPECT_STREQ(plug.GetPresetName(0), "Default");
  plug.StoreCurrentPreset(nullptr);
  plug.GetParam(0)->Set(8.0);
  ASSERT_TRUE(plug.SelectPreset(0));
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 2.0);
}

TEST(IEffectBase, BankDataRoundTripsNamesFlagsAndValues) {
  RecordingEffect source("2-2", 3);
  source.FillPresetsFromCurrent("first", 1);
  source.GetParam(0)->Set(6.5);
  source.GetParam(2)->Set(1.0);
  source.SelectPreset(1);
  source.StoreCurrentPreset("second");
  DataChunk bank;
  ASSERT_TRUE(source.SerializePresets(&bank));

  RecordingEffect target("2-2", 3);
  target.SelectPreset(1);
  target.GetParam(0)->Set(0.0);
  EXPECT_EQ(target.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_STREQ(target.GetPresetName(0), "first");
  EXPECT_STREQ(target.GetPresetName(1), "second");
  EXPECT_STREQ(target.GetPresetName(2), "- 2 -");
  // The current preset (1) is re-applied.
  EXPECT_DOUBLE_EQ(target.GetParam(0)->Value(), 6.5);
  EXPECT_DOUBLE_EQ(target.GetParam(2)->Value(), 1.0);
  ASSERT_TRUE(target.SelectPreset(0));
  EXPECT_DOUBLE_EQ(target.GetParam(0)->Value(), 1.0);
}

TEST(IEffectBase, ShortBankDataKeepsTheRemainingPresets) {
  RecordingEffect source("2-2", 1);
  source.FillPresetsFromCurrent("only", 1);
  DataChunk bank;
  source.SerializePresets(&bank);

  RecordingEffect target("2-2", 3);
  EXPECT_LT(target.UnserializePresets(&bank, 0), 0);
  EXPECT_STREQ(target.GetPresetName(0), "only");
  EXPECT_STREQ(target.GetPresetName(1), "- 1 -");
  EXPECT_STREQ(target.GetPresetName(2), "- 2 -");
}

TEST(IEffectBase, EmptyStoredPresetNameRepeatsThePreviousOne) {
  DataChunk bank;
  bank.PutStr("alpha");
  bank.Put(false);
  bank.PutStr("");
  bank.Put(false);
  RecordingEffect plug("2-2", 2);
  EXPECT_EQ(plug.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_STREQ(plug.GetPresetName(1), "alpha");

  // A garbled name length stops reading and leaves the preset as it was.
  DataChunk garbled;
  garbled.Put<std::int32_t>(-7);
  RecordingEffect untouched("2-2", 1);
  untouched.FillPresetsFromCurrent("kept", 1);
  EXPECT_LT(untouched.UnserializePresets(&garbled, 0), 0);
  EXPECT_STREQ(untouched.GetPresetName(0), "kept");
}

// ---- The lock ----

TEST(IEffectBase, LockIsReentrantAndOtherThreadsCanGiveUp) {
  RecordingEffect plug;
  plug.Lock();
  plug.Lock();
  EXPECT_EQ(plug.LockDepth(), 2);
  std::atomic<bool> gotIt{true};
  std::thread other([&] {
    gotIt = plug.TryLockFor(std::chrono::milliseconds(20));
    if (gotIt) plug.Unlock();
  });
  other.join();
  EXPECT_FALSE(gotIt);
  plug.Unlock();
  plug.Unlock();

  std::thread later([&] {
    gotIt = plug.TryLockFor(std::chrono::milliseconds(1000));
    if (gotIt) {
      EXPECT_EQ(plug.LockDepth(), 1);
      plug.Unlock();
    }
  });
  later.join();
  EXPECT_TRUE(gotIt);
}

TEST(IEffectBase, EditorParameterChangeWaitsForTheAudioBlock) {
  RecordingEffect plug;
  std::atomic<bool> changed{false};
  plug.Lock();  // an audio block in progress
  std::thread editor([&] {
    plug.SetParameterFromGUI(0, 1.0);
    changed = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(changed);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 1.0);
  plug.Unlock();
  editor.join();
  EXPECT_TRUE(changed);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 10.0);
}

// ---- Virtual defaults ----

TEST(IEffectBase, DefaultsOfTheVirtualOperations) {
  RecordingEffect plug;
  char name[8] = "xyz";
  EXPECT_FALSE(plug.NoteNameForKey(60, name, sizeof name));
  EXPECT_STREQ(name, "");

  MidiMessage msg;
  msg.mOffset = 12;
  msg.mStatus = 0x90;
  msg.mData1 = 60;
  msg.mData2 = 100;
  plug.HandleMidiMessage(msg);
  ASSERT_EQ(plug.mMidiSent.size(), 1u);
  EXPECT_EQ(plug.mMidiSent[0].mData1, 60);

  // Version numbers: packed, and in the decimal form hosts see.
  EXPECT_EQ(plug.GetEffectVersion(false), 0x00010104);
  EXPECT_EQ(plug.GetEffectVersion(true), 10104);
}

}  // namespace
}  // namespace sorvano
