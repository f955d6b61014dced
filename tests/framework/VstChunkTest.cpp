#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "framework/vst/VstAbi.h"
#include "tests/framework/VstBindingFixture.h"

namespace sorvano {
namespace {

using test::VstBinding;

std::vector<std::uint8_t> GetChunk(test::FakeVstHost& host, std::int32_t index) {
  void* data = nullptr;
  const std::intptr_t size = host.Dispatch(vst::effGetChunk, index, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

std::intptr_t SetChunk(test::FakeVstHost& host, std::int32_t index, const std::vector<std::uint8_t>& bytes) {
  return host.Dispatch(vst::effSetChunk, index, static_cast<std::intptr_t>(bytes.size()),
                       const_cast<std::uint8_t*>(bytes.data()));
}

std::vector<std::uint8_t> Doubles(std::initializer_list<double> values) {
  DataChunk chunk;
  for (double v : values) chunk.Put(v);
  return std::vector<std::uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

TEST_F(VstBinding, ProgramChunkHasTheHeaderAndRoundTrips) {
  E()->setParameter(E(), 1, 0.5f);
  E()->setParameter(E(), 2, 1.0f);
  const std::vector<std::uint8_t> chunk = GetChunk(mHost, 1);
  ASSERT_EQ(chunk.size(), 8u + 3 * 8);
  const std::vector<std::uint8_t> header(chunk.begin(), chunk.begin() + 8);
  EXPECT_EQ(header, (std::vector<std::uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));

  test::FakeVstHost other;
  auto* copy = new PassThroughEffect(test::FakeVstHost::Callback());
  copy->AddDefaultPresetIfNone();
  other.Attach(static_cast<vst::AEffect*>(copy->EffectRecord()));
  EXPECT_EQ(SetChunk(other, 1, chunk), 1);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(copy->GetParam(i)->Value(), mPlug->GetParam(i)->Value());
  EXPECT_EQ(GetChunk(other, 1), chunk);
  other.Dispatch(vst::effClose);
}

TEST_F(VstBinding, ChunkLentToTheHostCanBeHandedBack) {
  E()->setParameter(E(), 1, 0.25f);
  void* data = nullptr;
  const std::intptr_t size = mHost.Dispatch(vst::effGetChunk, 1, 0, &data);
  ASSERT_GT(size, 0);
  E()->setParameter(E(), 1, 1.0f);
  // The very bytes we lent, back to the chunk they live in.
  EXPECT_EQ(mHost.Dispatch(vst::effSetChunk, 1, size, data), 1);
  EXPECT_FLOAT_EQ(E()->getParameter(E(), 1), 0.25f);
}

TEST_F(VstBinding, BankChunkRoundTripsThePresets) {
  mPlug->GetParam(1)->Set(4.0);
  char name[] = "bank test";
  mHost.Dispatch(vst::effSetProgramName, 0, 0, name);
  const std::vector<std::uint8_t> bank = GetChunk(mHost, 0);
  ASSERT_GT(bank.size(), 8u);
  EXPECT_EQ(std::vector<std::uint8_t>(bank.begin(), bank.begin() + 8),
            (std::vector<std::uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));

  test::FakeVstHost other;
  auto* copy = new PassThroughEffect(test::FakeVstHost::Callback());
  copy->AddDefaultPresetIfNone();
  other.Attach(static_cast<vst::AEffect*>(copy->EffectRecord()));
  EXPECT_EQ(SetChunk(other, 0, bank), 1);
  char copied[64] = {};
  other.Dispatch(vst::effGetProgramName, 0, 0, copied);
  EXPECT_STREQ(copied, "bank test");
  EXPECT_DOUBLE_EQ(copy->GetParam(1)->Value(), 4.0);
  other.Dispatch(vst::effClose);
}

TEST_F(VstBinding, BankChunkWithoutHeaderIsReadAsState) {
  const std::vector<std::uint8_t> state = Doubles({1.0, 5.0, 3.0});
  EXPECT_EQ(SetChunk(mHost, 0, state), 1);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(0)->Value(), 1.0);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(1)->Value(), 5.0);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(2)->Value(), 3.0);
  // The current preset took the restored values.
  mPlug->GetParam(1)->Set(1.0);
  ASSERT_TRUE(mPlug->SelectPreset(0));
  EXPECT_DOUBLE_EQ(mPlug->GetParam(1)->Value(), 5.0);
}

TEST_F(VstBinding, DamagedChunksAreRefused) {
  // Header, then too little state: the values read before the damage stay.
  std::vector<std::uint8_t> shortChunk = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  const std::vector<std::uint8_t> one = Doubles({1.0});
  shortChunk.insert(shortChunk.end(), one.begin(), one.end());
  EXPECT_EQ(SetChunk(mHost, 1, shortChunk), 0);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(0)->Value(), 1.0);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(1)->Value(), 0.1);  // ran out here: 0.0 clamped

  // Magic without a version.
  EXPECT_EQ(SetChunk(mHost, 1, {0x74, 0x66, 0x66, 0x70, 0x00}), 0);
  EXPECT_EQ(SetChunk(mHost, 1, {}), 0);
}

TEST_F(VstBinding, HostileChunkArgumentsFailCleanly) {
  mPlug->GetParam(1)->Set(7.0);
  std::uint8_t bytes[16] = {};
  EXPECT_EQ(mHost.Dispatch(vst::effSetChunk, 1, 16, nullptr), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effSetChunk, 1, -1, bytes), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effSetChunk, 1, std::numeric_limits<std::intptr_t>::min(), bytes), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effSetChunk, 0, std::numeric_limits<std::intptr_t>::max(), bytes), 0);
  EXPECT_EQ(mHost.Dispatch(vst::effSetChunk, 0, std::intptr_t{1} << 40, bytes), 0);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(1)->Value(), 7.0);
  EXPECT_EQ(mHost.Dispatch(vst::effGetChunk, 1, 0, nullptr), 0);
}

TEST_F(VstBinding, GarbledBankDataStopsWithoutReadingOutside) {
  std::vector<std::uint8_t> bank = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  // A name length far beyond the data.
  bank.insert(bank.end(), {0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'});
  EXPECT_EQ(SetChunk(mHost, 0, bank), 0);
  char name[64] = {};
  mHost.Dispatch(vst::effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "Default");
}

TEST_F(VstBinding, ProgramChangesWithStateChunks) {
  // With state chunks, selecting a program does not store the current one.
  mPlug->GetParam(1)->Set(3.0);
  mHost.Dispatch(vst::effSetProgram, 0, 0);
  EXPECT_DOUBLE_EQ(mPlug->GetParam(1)->Value(), 1.0);
  mHost.Dispatch(vst::effSetProgram, 0, 5);
  mHost.Dispatch(vst::effSetProgram, 0, std::intptr_t{1} << 33);
  EXPECT_EQ(mHost.Dispatch(vst::effGetProgram), 0);
}

class NoChunkEffect : public IEffectVST {
public:
  explicit NoChunkEffect(VstHostCallback host)
      : IEffectVST(host, 1, "2-2", 2, "p", "", "", 0, 1, 2, 0, false, false, false) {
    GetParam(0)->SetupDouble("v", 0.0, 0.0, 1.0, 0.01, "");
  }
};

TEST(VstBindingPrograms, WithoutStateChunksTheCurrentProgramIsStoredFirst) {
  test::FakeVstHost host;
  auto* plug = new NoChunkEffect(test::FakeVstHost::Callback());
  plug->AddDefaultPresetIfNone();
  host.Attach(static_cast<vst::AEffect*>(plug->EffectRecord()));
  EXPECT_EQ(host.Effect()->flags & vst::effFlagsProgramChunks, 0);
  EXPECT_EQ(host.Effect()->numPrograms, 2);

  host.Dispatch(vst::effSetProgram, 0, 0);  // uninitialised: takes the current values
  plug->GetParam(0)->Set(0.5);
  host.Dispatch(vst::effSetProgram, 0, 1);  // stores 0.5 into program 0 first
  plug->GetParam(0)->Set(0.9);
  host.Dispatch(vst::effSetProgram, 0, 0);  // stores 0.9 into program 1, loads 0.5
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 0.5);
  host.Dispatch(vst::effSetProgram, 0, 1);
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 0.9);
  host.Dispatch(vst::effClose);
}

}  // namespace
}  // namespace sorvano
