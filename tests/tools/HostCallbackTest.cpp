#include "tools/vsthost/HostCallback.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tools/vsthost/Timeline.h"

namespace sorvano {
namespace {

// The callback never reads the record, so any distinct address serves as an effect.
vst::AEffect gEffectA{};
vst::AEffect gEffectB{};

std::intptr_t Call(vst::AEffect* effect, std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                   void* ptr = nullptr, float opt = 0.0f) {
  return HostCallback::Entry(effect, opcode, index, value, ptr, opt);
}

const vst::VstTimeInfo& TimeOf(vst::AEffect* effect) {
  const std::intptr_t answer = Call(effect, vst::audioMasterGetTime, 0, vst::kVstPpqPosValid);
  EXPECT_NE(answer, 0);
  return *reinterpret_cast<const vst::VstTimeInfo*>(answer);
}

TEST(HostCallback, CallsAreRoutedByEffectAndStopWhenTheHostGoes) {
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterVersion), vst::kVstVersion);
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterGetBlockSize), 0) << "nobody answers for an unknown effect";
  {
    HostCallback hostA;
    HostCallback hostB;
    hostA.SetTransport(48000.0, 256, nullptr, 120.0);
    hostB.SetTransport(96000.0, 64, nullptr, 120.0);
    {
      HostCallback::ConstructionScope scope(hostA);
      // During the entry point the effect pointer may be anything, even null.
      EXPECT_EQ(Call(nullptr, vst::audioMasterGetSampleRate), 48000);
    }
    EXPECT_EQ(Call(nullptr, vst::audioMasterGetSampleRate), 0);
    hostA.Attach(&gEffectA);
    hostB.Attach(&gEffectB);
    EXPECT_EQ(Call(&gEffectA, vst::audioMasterGetBlockSize), 256);
    EXPECT_EQ(Call(&gEffectB, vst::audioMasterGetBlockSize), 64);
    EXPECT_EQ(Call(&gEffectB, vst::audioMasterGetSampleRate), 96000);
  }
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterGetBlockSize), 0);
  EXPECT_EQ(Call(&gEffectB, vst::audioMasterGetSampleRate), 0);
}

TEST(HostCallback, IdentityTextsStayWithinTheNominalLength) {
  HostCallback host;
  host.Attach(&gEffectA);
  for (const auto opcode : {vst::audioMasterGetProductString, vst::audioMasterGetVendorString}) {
    char buffer[200];
    std::memset(buffer, 0x7F, sizeof buffer);
    EXPECT_EQ(Call(&gEffectA, opcode, 0, 0, buffer), 1);
    const std::size_t length = strnlen(buffer, sizeof buffer);
    EXPECT_LT(length, vst::kVstMaxVendorStrLen);
    EXPECT_EQ(buffer[vst::kVstMaxVendorStrLen], 0x7F) << "wrote past the nominal 64 bytes";
    EXPECT_EQ(std::string(buffer),
              opcode == vst::audioMasterGetProductString ? "Sorvano Host" : HostCallback::kVendorName);
  }
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterGetProductString), 0) << "null buffer";
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterGetVendorVersion), 10104);
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterVersion), 2400);
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterSizeWindow, 640, 480), 0) << "unsupported requests answer 0";
}

TEST(HostCallback, CanDoReadsThePluginTextWithinABound) {
  HostCallback host;
  host.Attach(&gEffectA);
  char yes[] = "receiveVstMidiEvent";
  char no[] = "sizeWindow";
  char caseDiffers[] = "SendVstTimeInfo";
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterCanDo, 0, 0, yes), 1);
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterCanDo, 0, 0, no), 0);
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterCanDo, 0, 0, caseDiffers), 0);
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterCanDo), 0);
  // A text without a terminator: the host must stop at its bound (the
  // sanitizer build catches a read past the array).
  std::vector<char> unterminated(300, 'a');
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterCanDo, 0, 0, unterminated.data()), 0);
}

TEST(HostCallback, TimeInfoFollowsTheTimeline) {
  HostCallback host;
  host.Attach(&gEffectA);
  EXPECT_FALSE(TimeOf(&gEffectA).flags & vst::kVstTransportPlaying) << "stopped until a render runs";

  Timeline timeline(96000, TimelineLoop{48000, 192000}, {});
  host.SetTransport(48000.0, 512, &timeline, 90.0);
  const vst::VstTimeInfo& first = TimeOf(&gEffectA);
  EXPECT_EQ(first.samplePos, 96000.0);
  EXPECT_EQ(first.sampleRate, 48000.0);
  EXPECT_DOUBLE_EQ(first.ppqPos, 3.0);  // two seconds at 90 beats per minute
  EXPECT_DOUBLE_EQ(first.barStartPos, 0.0);
  EXPECT_DOUBLE_EQ(first.cycleStartPos, 1.5);
  EXPECT_DOUBLE_EQ(first.cycleEndPos, 6.0);
  EXPECT_EQ(first.timeSigNumerator, 4);
  EXPECT_EQ(first.timeSigDenominator, 4);
  const std::int32_t always = vst::kVstTransportPlaying | vst::kVstTransportCycleActive | vst::kVstPpqPosValid |
                              vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstCyclePosValid;
  EXPECT_EQ(first.flags & always, always);
  EXPECT_TRUE(first.flags & vst::kVstTransportChanged);

  timeline.Advance(512);
  host.SetTransport(48000.0, 512, &timeline, 90.0);
  const vst::VstTimeInfo& second = TimeOf(&gEffectA);
  EXPECT_EQ(second.samplePos, 96512.0);
  EXPECT_FALSE(second.flags & vst::kVstTransportChanged);
  EXPECT_EQ(host.Counts().timeQueries, 3);
}

TEST(HostCallback, RecordsEditsInTheirOrder) {
  HostCallback host;
  host.Attach(&gEffectA);
  Call(&gEffectA, vst::audioMasterBeginEdit, 2);
  Call(&gEffectA, vst::audioMasterAutomate, 2, 0, nullptr, 0.25f);
  Call(&gEffectA, vst::audioMasterEndEdit, 2);
  EXPECT_EQ(Call(&gEffectA, vst::audioMasterIOChanged), 1);
  const auto edits = host.Edits();
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].kind, RecordedEdit::Kind::kBegin);
  EXPECT_EQ(edits[1].kind, RecordedEdit::Kind::kAutomate);
  EXPECT_EQ(edits[1].value, 0.25f);
  EXPECT_EQ(edits[2].kind, RecordedEdit::Kind::kEnd);
  for (const auto& edit : edits) EXPECT_EQ(edit.index, 2);
  EXPECT_EQ(host.Counts().ioChanges, 1);
}

}  // namespace
}  // namespace sorvano
