// The Sorvano module as a host sees it, through sorvano-host.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "tests/tools/HostTestSupport.h"
#include "tools/vsthost/WavFile.h"

namespace sorvano {
namespace {

using testing::HostRun;
using testing::LineAfter;
using testing::RunHost;
using testing::SorvanoModule;
using testing::TempDir;

constexpr std::int32_t kEditorFlag = 0x1;

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Largest deviation of the output from the input delayed by delay samples,
// over every channel.
double DeviationFromDelayedInput(const AudioData& input, const AudioData& output, std::size_t delay) {
  double worst = 0.0;
  for (std::size_t c = 0; c < output.channels.size(); ++c) {
    for (std::size_t i = 0; i < output.Frames(); ++i) {
      const double expected = i >= delay ? input.channels[c][i - delay] : 0.0;
      worst = std::max(worst, std::abs(output.channels[c][i] - expected));
    }
  }
  return worst;
}

// Analysis and resynthesis return the input to within the rounding of the
// float callbacks (24-bit mantissa) and of the transforms.
constexpr double kResynthesisTolerance = 1e-6;
constexpr std::size_t kDelay = 2048;

TEST(SorvanoModule, DescribesItselfToAHost) {
  TempDir dir;
  const HostRun run = RunHost({"describe", SorvanoModule()}, dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LineAfter(run.out, "magic: "), "'VstP' ok");
  EXPECT_EQ(LineAfter(run.out, "entry point: "), "VSTPluginMain");
  EXPECT_EQ(LineAfter(run.out, "effect name: "), "\"Sorvano (No SSE2)\"");
  EXPECT_EQ(LineAfter(run.out, "vendor: "), "\"Orvek\"");
  EXPECT_EQ(LineAfter(run.out, "product: "), "\"\"");
  EXPECT_EQ(LineAfter(run.out, "version: "), "10104");
  EXPECT_EQ(LineAfter(run.out, "unique id: "), "892680503 '5597'");
  EXPECT_EQ(LineAfter(run.out, "inputs: "), "2");
  EXPECT_EQ(LineAfter(run.out, "outputs: "), "2");
  EXPECT_EQ(LineAfter(run.out, "initial delay: "), "2048");
  EXPECT_EQ(LineAfter(run.out, "programs: "), "1");
  EXPECT_EQ(LineAfter(run.out, "parameters: "), "3");
  EXPECT_EQ(LineAfter(run.out, "parameter 0: "), "name \"reset\" label \"\" display \"off\" value 0.000000");
  EXPECT_EQ(LineAfter(run.out, "parameter 1: ").rfind("name \"bright\" label \"x\" display \"1.0\" ", 0), 0u)
      << run.out;
  EXPECT_EQ(LineAfter(run.out, "parameter 2: ").rfind("name \"colormap\" label \"\" display \"pompeii\" ", 0), 0u)
      << run.out;
  EXPECT_EQ(LineAfter(run.out, "can do receiveVstTimeInfo: "), "1");
  EXPECT_EQ(LineAfter(run.out, "can do sendVstEvents: "), "0");

  // The editor flag comes with the editor; every other bit is fixed.
  const std::string flags = LineAfter(run.out, "flags: ");
  const auto value = static_cast<std::int32_t>(std::stoul(flags.substr(0, 10), nullptr, 16));
  EXPECT_EQ(value & ~kEditorFlag, 0x1038) << flags;
}

TEST(SorvanoModule, PassesAudioThroughDelayedByItsInitialDelay) {
  TempDir dir;
  const HostRun described = RunHost({"describe", SorvanoModule()}, dir);
  ASSERT_EQ(described.exitCode, 0) << described.err;
  const std::size_t delay = std::stoul(LineAfter(described.out, "initial delay: "));

  EXPECT_EQ(delay, kDelay);

  for (const char* precision : {"float", "double", "accumulate"}) {
    const HostRun run = RunHost({"process", SorvanoModule(), "--signal", dir.File("signal.wav"), "--seconds", "1",
                                 "--out", dir.File("out.wav"), "--precision", precision, "--format", "double"},
                                dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const AudioData input = WavFile::Read(dir.File("signal.wav"));
    const AudioData output = WavFile::Read(dir.File("out.wav"));
    ASSERT_EQ(output.channels.size(), 2u);
    ASSERT_EQ(output.Frames(), input.Frames());
    EXPECT_LE(DeviationFromDelayedInput(input, output, delay), kResynthesisTolerance) << precision;
  }
}

TEST(SorvanoModule, ProgramChunkRoundTripsByteForByte) {
  TempDir dir;
  const HostRun first = RunHost({"state", SorvanoModule(), "--save-program", dir.File("a.fxp")}, dir);
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const HostRun second = RunHost(
      {"state", SorvanoModule(), "--load-program", dir.File("a.fxp"), "--save-program", dir.File("b.fxp")}, dir);
  ASSERT_EQ(second.exitCode, 0) << second.err;
  const auto a = ReadBytes(dir.File("a.fxp"));
  const auto b = ReadBytes(dir.File("b.fxp"));
  EXPECT_EQ(a, b);
  const std::vector<unsigned char> header = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  ASSERT_GE(a.size(), header.size());
  EXPECT_TRUE(std::equal(header.begin(), header.end(), a.begin()));
}

TEST(SorvanoModule, ParametersSurviveABankChunkRoundTrip) {
  TempDir dir;
  const HostRun set = RunHost({"state", SorvanoModule(), "--set", "bright=0.5", "--set", "colormap=1",
                               "--save-bank", dir.File("bank.fxb")},
                              dir);
  ASSERT_EQ(set.exitCode, 0) << set.err;
  const std::string bright = LineAfter(set.out, "parameter 1: ");
  const std::string colormap = LineAfter(set.out, "parameter 2: ");
  EXPECT_EQ(colormap.rfind("name \"colormap\" label \"\" display \"brrr\" ", 0), 0u) << colormap;
  EXPECT_EQ(bright.find("display \"1.0\""), std::string::npos) << "the setting changed the value: " << bright;

  const HostRun loaded = RunHost({"state", SorvanoModule(), "--load-bank", dir.File("bank.fxb")}, dir);
  ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
  EXPECT_EQ(LineAfter(loaded.out, "parameter 1: "), bright);
  EXPECT_EQ(LineAfter(loaded.out, "parameter 2: "), colormap);
}

// Transport jumps only reset what the editor is shown: without regions the
// audio is the delayed input, loop or no loop.
TEST(SorvanoModule, ProcessesThroughTimelineLoopsAndJumps) {
  TempDir dir;
  const HostRun run = RunHost({"process", SorvanoModule(), "--signal", dir.File("signal.wav"), "--seconds", "2",
                               "--rate", "44100", "--out", dir.File("out.wav"), "--format", "double", "--block", "500", "--loop",
                               "10000:40000", "--jump-at", "60000:5", "--jump-at", "70000:3000000"},
                              dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const AudioData input = WavFile::Read(dir.File("signal.wav"));
  const AudioData output = WavFile::Read(dir.File("out.wav"));
  EXPECT_EQ(output.Frames(), 88200u);
  ASSERT_EQ(output.channels.size(), 2u);
  EXPECT_LE(DeviationFromDelayedInput(input, output, kDelay), kResynthesisTolerance);
}

}  // namespace
}  // namespace sorvano
