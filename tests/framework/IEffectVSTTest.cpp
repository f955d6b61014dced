#include "framework/vst/IEffectVST.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
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
using test::VstBinding;

// ---- The effect record ----

TEST_F(VstBinding, EffectRecordDescribesThePlugin) {
  vst::AEffect* e = E();
  EXPECT_EQ(e->magic, 0x56737450);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numParams, 3);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 0x1038);
  EXPECT_EQ(e->initialDelay, 2048);
  EXPECT_EQ(e->version, 10104);
  EXPECT_EQ(e->uniqueID, 892680503);
  EXPECT_FLOAT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(e->object, static_cast<void*>(static_cast<IEffectVST*>(mPlug)));
  EXPECT_EQ(e->resvd2, 0);
  EXPECT_EQ(e->user, nullptr);
  EXPECT_EQ(e->realQualities, 0);
  EXPECT_EQ(e->offQualities, 0);
  for (char c : e->future) EXPECT_EQ(c, 0);
  EXPECT_NE(e->processReplacing, e->process);
  EXPECT_NE(e->processDoubleReplacing, nullptr);
  EXPECT_EQ(mPlug->GetVendorId(), 0x4F72766B);  // 'Orvk'
}

TEST_F(VstBinding, HostFieldsAreNeverWritten) {
  E()->resvd2 = 0x5151;
  E()->user = this;
  mHost.Dispatch(vst::effOpen);
  mHost.Dispatch(vst::effSetBlockSize, 0, 512);
  mPlug->AttachEditor(new FakeEditor(&mEditorLog));
  mPlug->SetLatency(100);
  EXPECT_EQ(E()->resvd1, reinterpret_cast<std::intptr_t>(&mHost));
  EXPECT_EQ(E()->resvd2, 0x5151);
  EXPECT_EQ(E()->user, this);
  EXPECT_EQ(E()->initialDelay, 100);
}

TEST_F(VstBinding, EditorIsReportedWithItsRectangle) {
  vst::ERect* rect = nullptr;
  EXPECT_EQ(mHost.Dispatch(vst::effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, nullptr);
  EXPECT_EQ(mHost.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effEditClose), 0);

  mPlug->AttachEditor(new FakeEditor(&mEditorLog));
  EXPECT_EQ(E()->flags, 0x1039);
  ASSERT_EQ(mHost.Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 540);
  EXPECT_EQ(rect->right, 640);
  EXPECT_EQ(mHost.Dispatch(vst::effEditGetRect), 0);

  EXPECT_EQ(mHost.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 1);
  EXPECT_EQ(mHost.Dispatch(vst::effEditClose), 1);
  EXPECT_EQ(mEditorLog.mOpen, 1);
  EXPECT_EQ(mEditorLog.mClose, 1);
  const std::vector<std::string> expected = {"EditorOpen", "EditorClose"};
  EXPECT_EQ(mPlug->mLog, expected);
}

TEST_F(VstBinding, EditorThatFailsToOpenIsReported) {
  mPlug->AttachEditor(new FakeEditor(&mEditorLog, 640, 540, false));
  EXPECT_EQ(mHost.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
  EXPECT_TRUE(mPlug->mLog.empty());
}

// ---- Texts ----

TEST_F(VstBinding, NamesAndParameterTexts) {
  EXPECT_EQ(Text(vst::effGetEffectName), "Sorvano (No SSE2)");
  EXPECT_EQ(Text(vst::effGetProductString), "");
  EXPECT_EQ(Text(vst::effGetVendorString), "Orvek");
  EXPECT_EQ(mHost.Dispatch(vst::effGetEffectName), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effGetVendorString), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effGetProductString), 0);

  EXPECT_EQ(Text(vst::effGetParamName, 0), "reset");
  EXPECT_EQ(Text(vst::effGetParamName, 1), "bright");
  EXPECT_EQ(Text(vst::effGetParamName, 2), "colormap");
  EXPECT_EQ(Text(vst::effGetParamLabel, 1), "x");
  EXPECT_EQ(Text(vst::effGetParamLabel, 2), "");
  EXPECT_EQ(Text(vst::effGetParamDisplay, 0), "off");
  EXPECT_EQ(Text(vst::effGetParamDisplay, 1), "1.0");
  EXPECT_EQ(Text(vst::effGetParamDisplay, 2), "pompeii");

  for (std::int32_t opcode : {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay}) {
    char untouched[8] = "same";
    mHost.Dispatch(opcode, 3, 0, untouched);
    mHost.Dispatch(opcode, -1, 0, untouched);
    EXPECT_STREQ(untouched, "same");
    mHost.Dispatch(opcode, 0, 0, nullptr);
  }
}

TEST_F(VstBinding, ParameterTableMatchesThePlugin) {
  struct Expected {
    const char* mName;
    double mMin;
    double mMax;
    double mDefault;
    double mShape;
  };
  const Expected table[] = {{"reset", 0.0, 1.0, 0.0, 1.0}, {"bright", 0.1, 10.0, 1.0, 2.0}, {"colormap", 0.0, 3.0, 0.0, 1.0}};
  for (int i = 0; i < 3; ++i) {
    const IEffectParam* p = mPlug->GetParam(i);
    EXPECT_STREQ(p->Name(), table[i].mName);
    EXPECT_DOUBLE_EQ(p->Min(), table[i].mMin);
    EXPECT_DOUBLE_EQ(p->Max(), table[i].mMax);
    EXPECT_DOUBLE_EQ(p->Value(), table[i].mDefault);
    EXPECT_DOUBLE_EQ(p->Shape(), table[i].mShape);
    EXPECT_GE(p->Value(), p->Min());
    EXPECT_LE(p->Value(), p->Max());
  }
  // Every display text fits its field and finds its way back to its value.
  const IEffectParam* map = mPlug->GetParam(2);
  const char* names[] = {"pompeii", "thermal", "chlorine", "brrr"};
  for (int v = 0; v < 4; ++v) {
    int found = -1;
    EXPECT_STREQ(map->TextForValue(v), names[v]);
    EXPECT_TRUE(map->FindValueForText(names[v], &found));
    EXPECT_EQ(found, v);
  }
}

// A plug-in whose every name is longer than any field.
class LongNamesEffect : public IEffectVST {
public:
  static inline const std::string kLong = std::string(200, 'L');
  explicit LongNamesEffect(VstHostCallback host)
      : IEffectVST(host, 1, "2-2", 1, kLong.c_str(), kLong.c_str(), kLong.c_str(), 0x00010000, 1, 2, 0, false,
                   true, false) {
    GetParam(0)->SetupDouble(kLong.c_str(), 0.0, 0.0, 1.0e30, 0.000001, kLong.c_str());
    GetParam(0)->Set(1.0e29);
    FillPresetsFromCurrent(kLong.c_str(), 1);
  }
};

TEST(VstBindingHostBuffers, LongTextsAreCutToTheNominalCapacities) {
  FakeVstHost host;
  auto* plug = new LongNamesEffect(FakeVstHost::Callback());
  host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));

  struct Case {
    std::int32_t mOpcode;
    std::size_t mCapacity;
  };
  const Case cases[] = {{vst::effGetEffectName, 32},    {vst::effGetVendorString, 64},
                        {vst::effGetProductString, 64}, {vst::effGetProgramName, 24},
                        {vst::effGetParamName, 32},     {vst::effGetParamLabel, 32},
                        {vst::effGetParamDisplay, 32},  {vst::effGetProgramNameIndexed, 24}};
  for (const Case& c : cases) {
    char buffer[300];
    std::memset(buffer, '#', sizeof buffer);
    host.Dispatch(c.mOpcode, 0, 0, buffer);
    EXPECT_EQ(std::strlen(buffer), c.mCapacity - 1) << c.mOpcode;
    EXPECT_EQ(buffer[c.mCapacity], '#') << c.mOpcode;
  }
  char buffer[300];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(host.Dispatch(vst::effVendorSpecific, 7, 0, buffer, 1.0f), 0xBEEF);
  EXPECT_LT(std::strlen(buffer), 32u);
  host.Dispatch(vst::effClose);
}

TEST_F(VstBinding, ProgramNames) {
  EXPECT_EQ(Text(vst::effGetProgramName), "Default");
  char indexed[32] = "x";
  EXPECT_EQ(mHost.Dispatch(vst::effGetProgramNameIndexed, 0, 0, indexed), 1);
  EXPECT_STREQ(indexed, "Default");
  EXPECT_EQ(mHost.Dispatch(vst::effGetProgramNameIndexed, 1, 0, indexed), 0);
  EXPECT_STREQ(indexed, "");
  EXPECT_EQ(mHost.Dispatch(vst::effGetProgramNameIndexed, 0), 0);

  char name[] = "renamed";
  mHost.Dispatch(vst::effSetProgramName, 0, 0, name);
  EXPECT_EQ(Text(vst::effGetProgramName), "renamed");
  mHost.Dispatch(vst::effSetProgramName, 0, 0, nullptr);
  EXPECT_EQ(Text(vst::effGetProgramName), "renamed");
  EXPECT_EQ(mHost.Dispatch(vst::effGetProgram), 0);
}

// ---- Parameters through the host ----

TEST_F(VstBinding, HostParameterCalls) {
  E()->setParameter(E(), 1, 0.5f);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(1)->Value(), 0.1 + 0.25 * 9.9);
  EXPECT_FLOAT_EQ(E()->getParameter(E(), 1), 0.5f);
  EXPECT_EQ(mPlug->mLog.back(), "Change 1");

  E()->setParameter(E(), 2, 0.5f);
  EXPECT_EQ(Text(vst::effGetParamDisplay, 2), "chlorine");

  const std::size_t logSize = mPlug->mLog.size();
  E()->setParameter(E(), 3, 0.5f);
  E()->setParameter(E(), -7, 0.5f);
  EXPECT_EQ(mPlug->mLog.size(), logSize);
  EXPECT_EQ(E()->getParameter(E(), 3), 0.0f);
  EXPECT_EQ(E()->getParameter(E(), std::numeric_limits<std::int32_t>::min()), 0.0f);

  EXPECT_EQ(mHost.Dispatch(vst::effCanBeAutomated, 2), 1);
}

TEST_F(VstBinding, HostParameterReachesTheEditorFirst) {
  mPlug->AttachEditor(new FakeEditor(&mEditorLog));
  mEditorLog.mUpdates.clear();
  E()->setParameter(E(), 1, 0.25f);
  ASSERT_EQ(mEditorLog.mUpdates.size(), 1u);
  EXPECT_EQ(mEditorLog.mUpdates[0].mIndex, 1);
  EXPECT_DOUBLE_EQ(mEditorLog.mUpdates[0].mValue, 0.25);
  EXPECT_TRUE(mEditorLog.mUpdates[0].mNormalized);
}

TEST_F(VstBinding, EditorGesturesAndAutomationReachTheHost) {
  mPlug->BeginParamGesture(1);
  mPlug->SetParameterFromGUI(1, 0.75);
  mPlug->EndParamGesture(1);
  mPlug->BeginParamGesture(5);
  mPlug->AutomateParam(-1, 0.5);
  ASSERT_EQ(mHost.mCalls.size(), 3u);
  EXPECT_EQ(mHost.mCalls[0].mOpcode, vst::audioMasterBeginEdit);
  EXPECT_EQ(mHost.mCalls[0].mIndex, 1);
  EXPECT_EQ(mHost.mCalls[1].mOpcode, vst::audioMasterAutomate);
  EXPECT_EQ(mHost.mCalls[1].mIndex, 1);
  EXPECT_FLOAT_EQ(mHost.mCalls[1].mOpt, 0.75f);
  EXPECT_EQ(mHost.mCalls[2].mOpcode, vst::audioMasterEndEdit);
}

TEST_F(VstBinding, VendorSpecificFormatsParameterValues) {
  char buffer[32] = "untouched";
  EXPECT_EQ(mHost.Dispatch(vst::effVendorSpecific, 7, 3, buffer, 0.5f), 0xBEEF);
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(mHost.Dispatch(vst::effVendorSpecific, 6, 1, buffer, 0.5f), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effVendorSpecific, 7, 1, nullptr, 0.5f), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effVendorSpecific, 7, 1, buffer, 0.5f), 0xBEEF);
  EXPECT_STREQ(buffer, "2.6");  // 0.1 + 0.25 * 9.9 = 2.575
  EXPECT_EQ(mHost.Dispatch(vst::effVendorSpecific, 7, 2, buffer, 1.0f), 0xBEEF);
  EXPECT_STREQ(buffer, "brrr");
  // A host's UI scale hint (index 'PreS') is answered with 0.
  EXPECT_EQ(mHost.Dispatch(vst::effVendorSpecific, vst::FourCC('P', 'r', 'e', 'S'), vst::FourCC('A', 'e', 'C', 's'),
                           nullptr, 2.0f),
            0);
}

// ---- Simple opcodes ----

TEST_F(VstBinding, FixedAnswers) {
  EXPECT_EQ(mHost.Dispatch(vst::effIdentify), 0x4E764566);
  EXPECT_EQ(mHost.Dispatch(vst::effGetVstVersion), 2400);
  EXPECT_EQ(mHost.Dispatch(vst::effGetPlugCategory), 1);
  EXPECT_EQ(mHost.Dispatch(vst::effProcessVarIo, 0, 0, const_cast<char*>("a string, not a VstVariableIo")), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effEditIdle), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effIdle), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effGetTailSize), 0);
  EXPECT_EQ(mHost.Dispatch(9999), 0);
  EXPECT_EQ(mHost.Dispatch(-1), 0);
}

TEST_F(VstBinding, CanDoAnswers) {
  auto canDo = [&](const char* text) { return mHost.Dispatch(vst::effCanDo, 0, 0, const_cast<char*>(text)); };
  EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
  EXPECT_EQ(canDo("ReceiveVstTimeInfo"), 0);
  EXPECT_EQ(canDo("sendVstEvents"), 0);
  EXPECT_EQ(canDo("receiveVstMidiEvent"), 0);
  EXPECT_EQ(canDo("bypass"), 0);
  EXPECT_EQ(canDo(""), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effCanDo), 0);
}

class MidiEffect : public IEffectVST {
public:
  explicit MidiEffect(VstHostCallback host)
      : IEffectVST(host, 0, "2-2", 0, "midi", "", "", 0, 1, 2, 0, true, false, true) {}
};

TEST(VstBindingMidi, MidiEffectAnswersAndForwardsEvents) {
  FakeVstHost host;
  auto* plug = new MidiEffect(FakeVstHost::Callback());
  host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));
  auto canDo = [&](const char* text) { return host.Dispatch(vst::effCanDo, 0, 0, const_cast<char*>(text)); };
  for (const char* text : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"}) {
    EXPECT_EQ(canDo(text), 1) << text;
  }
  // An instrument without chunks and without mono.
  EXPECT_EQ(host.Effect()->flags, 0x1110);

  vst::VstMidiEvent note{};
  note.type = vst::kVstMidiType;
  note.byteSize = sizeof note;
  note.deltaFrames = 17;
  note.midiData[0] = 0x90;
  note.midiData[1] = 64;
  note.midiData[2] = 99;
  vst::VstEvent other{};
  other.type = vst::kVstSysExType;
  struct {
    std::int32_t numEvents;
    std::intptr_t reserved;
    vst::VstEvent* events[4];
  } list = {4, 0, {reinterpret_cast<vst::VstEvent*>(&note), nullptr, &other, reinterpret_cast<vst::VstEvent*>(&note)}};
  EXPECT_EQ(host.Dispatch(vst::effProcessEvents, 0, 0, &list), 1);
  ASSERT_EQ(host.mEventTypes.size(), 3u);
  EXPECT_EQ(host.mEventTypes[1], vst::kVstSysExType);
  ASSERT_EQ(host.mMidiOut.size(), 2u);
  const vst::VstMidiEvent& sent = host.mMidiOut[0];
  EXPECT_EQ(sent.byteSize, 32);
  EXPECT_EQ(sent.deltaFrames, 17);
  EXPECT_EQ(sent.midiData[0], 0x90);
  EXPECT_EQ(sent.midiData[1], 64);
  EXPECT_EQ(sent.midiData[2], 99);
  EXPECT_EQ(sent.midiData[3], 0);
  EXPECT_EQ(sent.flags, 0);
  EXPECT_EQ(host.Dispatch(vst::effProcessEvents), 0);
  list.numEvents = -3;
  EXPECT_EQ(host.Dispatch(vst::effProcessEvents, 0, 0, &list), 1);

  // MIDI output: true only when the host takes every message.
  const MidiMessage msgs[2] = {{0, 0x80, 60, 0}, {5, 0x90, 61, 1}};
  EXPECT_TRUE(plug->SendMidiMessages(msgs));
  host.mProcessEventsAnswer = 0;
  EXPECT_FALSE(plug->SendMidiMessage(msgs[0]));
  EXPECT_FALSE(plug->SendMidiMessages(msgs));

  // A MIDI plug-in announces itself before every block.
  float* none[2] = {nullptr, nullptr};
  const int before = host.Count(vst::audioMasterWantMidi);
  host.Effect()->processReplacing(host.Effect(), none, none, 16);
  EXPECT_EQ(host.Count(vst::audioMasterWantMidi), before + 1);
  host.Dispatch(vst::effClose);
}

TEST_F(VstBinding, MidiKeyNamesAreEmpty) {
  vst::MidiKeyName key{};
  key.thisKeyNumber = 60;
  std::strcpy(key.keyName, "stale");
  EXPECT_EQ(mHost.Dispatch(vst::effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
  EXPECT_EQ(mHost.Dispatch(vst::effGetMidiKeyName), 0);
}

TEST_F(VstBinding, PinProperties) {
  vst::VstPinProperties pin{};
  ASSERT_EQ(mHost.Dispatch(vst::effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(pin.flags, 3);
  ASSERT_EQ(mHost.Dispatch(vst::effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Input 2");
  EXPECT_EQ(pin.flags, 1);
  EXPECT_EQ(mHost.Dispatch(vst::effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effGetInputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effGetInputProperties, 0, 0, nullptr), 0);
  ASSERT_EQ(mHost.Dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 2");
  EXPECT_EQ(mHost.Dispatch(vst::effGetOutputProperties, 2, 0, &pin), 0);
}

TEST_F(VstBinding, SpeakerArrangementsAreHandedOut) {
  vst::VstSpeakerArrangement* in = nullptr;
  vst::VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(mHost.Dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&in), &out), 1);
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(in->numChannels, 2);
  EXPECT_EQ(out->numChannels, 2);
  EXPECT_EQ(in->type, 0);
  EXPECT_EQ(mHost.Dispatch(vst::effGetSpeakerArrangement), 1);
}

// ---- Lifecycle ----

TEST_F(VstBinding, OpenAppliesEveryParameter) {
  mHost.Dispatch(vst::effOpen);
  const std::vector<std::string> expected = {"Change 0", "Change 1", "Change 2", "Reset"};
  EXPECT_EQ(mPlug->mLog, expected);
  // The host was identified once, at the latest here.
  EXPECT_EQ(mHost.Count(vst::audioMasterGetProductString), 1);
  mHost.Dispatch(vst::effOpen);
  EXPECT_EQ(mHost.Count(vst::audioMasterGetProductString), 1);
}

TEST_F(VstBinding, MainsChangedResetsOnlyWhenSwitchedOff) {
  mHost.Dispatch(vst::effMainsChanged, 0, 1);
  EXPECT_EQ(mPlug->mLog, std::vector<std::string>{"Activate"});
  mPlug->mLog.clear();
  mHost.Dispatch(vst::effMainsChanged, 0, 0);
  EXPECT_EQ(mPlug->mLog, (std::vector<std::string>{"Deactivate", "Reset"}));
}

TEST_F(VstBinding, RateAndBlockSizeAreStoredThenReset) {
  mHost.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  mHost.Dispatch(vst::effSetBlockSize, 0, 256);
  EXPECT_DOUBLE_EQ(mPlug->GetSampleRate(), 48000.0);
  EXPECT_EQ(mPlug->GetBlockSize(), 256);
  EXPECT_EQ(mPlug->mLog, (std::vector<std::string>{"Reset", "Reset"}));

  mHost.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, std::numeric_limits<float>::quiet_NaN());
  mHost.Dispatch(vst::effSetBlockSize, 0, -5);
  mHost.Dispatch(vst::effSetBlockSize, 0, std::numeric_limits<std::intptr_t>::max());
  EXPECT_DOUBLE_EQ(mPlug->GetSampleRate(), 48000.0);
  EXPECT_EQ(mPlug->GetBlockSize(), kMaxBlockSize);
}

TEST_F(VstBinding, CloseLeavesNoLockHeld) {
  mHost.Dispatch(vst::effOpen);
  Close();
  EXPECT_TRUE(mDestroyed);
  EXPECT_TRUE(mLockFree);
}

}  // namespace
}  // namespace sorvano
