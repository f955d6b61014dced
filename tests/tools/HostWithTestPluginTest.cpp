// The host driven against a plug-in built for the purpose (tools/vsthost/testing):
// the call order, the channel feeding, the three audio paths, the song
// positions it reports, and its defences against a plug-in that misbehaves.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "framework/vst/VstAbi.h"
#include "tests/tools/HostTestSupport.h"
#include "tools/vsthost/WavFile.h"

namespace sorvano {
namespace {

using testing::HostRun;
using testing::LineAfter;
using testing::ReadWhole;
using testing::RunHost;
using testing::TempDir;
using testing::TestPluginModule;

constexpr int kUsageFailure = 1;
constexpr int kWorkFailure = 2;

AudioData Noise(std::int32_t channels, std::size_t frames, std::int32_t rate = 48000) {
  AudioData audio;
  audio.sampleRate = rate;
  std::uint32_t state = 12345;
  for (std::int32_t c = 0; c < channels; ++c) {
    std::vector<double> samples(frames);
    for (auto& sample : samples) {
      state = state * 1664525u + 1013904223u;
      // Multiples of 2^-16: exact in float, so the float paths compare exactly.
      sample = static_cast<double>(static_cast<std::int32_t>(state >> 16) - 32768) / 65536.0;
    }
    audio.channels.push_back(samples);
  }
  return audio;
}

HostRun RunInMode(const std::string& mode, const std::vector<std::string>& args, const TempDir& dir) {
  return RunHost(args, dir, {{"SORVANO_TEST_PLUGIN_MODE", mode}});
}

TEST(HostWithTestPlugin, DrivesTheLifecycleInTheOrderOfARealHost) {
  TempDir dir;
  WavFile::Write(dir.File("in.wav"), Noise(2, 1000), SampleFormat::kFloat32);
  const HostRun run = RunHost({"process", TestPluginModule(), "--in", dir.File("in.wav"), "--out", dir.File("out.wav"),
                               "--block", "256"},
                              dir, {{"SORVANO_TEST_PLUGIN_LOG", dir.File("calls.log")}});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadWhole(dir.File("calls.log")),
            "open\nrate 48000\nblock 256\nmains 1\nstart\nprocess\nstop\nmains 0\nclose\n");
  EXPECT_EQ(LineAfter(run.out, "processed: "),
            "1000 frames in 4 process calls of at most 256 (float), plug-in 2 in / 2 out");
}

TEST(HostWithTestPlugin, FindsTheEntryPointNamedMain) {
  TempDir dir;
  const HostRun run = RunHost({"describe", TestPluginModule()}, dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LineAfter(run.out, "entry point: "), "main");
  EXPECT_EQ(LineAfter(run.out, "unique id: "), "1416852552 'TstH'");
  EXPECT_EQ(LineAfter(run.out, "parameter 0: "), "name \"gain\" label \"x\" display \"1.00\" value 0.500000");
}

TEST(HostWithTestPlugin, EveryAudioPathAndBlockSizeGivesTheSameResult) {
  TempDir dir;
  const AudioData input = Noise(2, 5000);
  WavFile::Write(dir.File("in.wav"), input, SampleFormat::kFloat32);
  const struct {
    const char* precision;
    const char* block;
  } runs[] = {{"float", "512"}, {"double", "4096"}, {"accumulate", "1"}, {"accumulate", "777"}};
  for (const auto& entry : runs) {
    const HostRun run = RunHost({"process", TestPluginModule(), "--in", dir.File("in.wav"), "--out",
                                 dir.File("out.wav"), "--precision", entry.precision, "--block", entry.block},
                                dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const AudioData output = WavFile::Read(dir.File("out.wav"));
    // The plug-in's unity gain passes the samples through unchanged; an
    // accumulating call into outputs that were not cleared would add old data.
    EXPECT_EQ(output.channels, input.channels) << entry.precision << " in blocks of " << entry.block;
  }
}

TEST(HostWithTestPlugin, MonoFileFeedsBothInputsAndSetParametersApply) {
  TempDir dir;
  const AudioData input = Noise(1, 3000, 44100);
  WavFile::Write(dir.File("mono.wav"), input, SampleFormat::kFloat32);
  const HostRun run = RunHost({"process", TestPluginModule(), "--in", dir.File("mono.wav"), "--out",
                               dir.File("out.wav"), "--set", "gain=0.25"},
                              dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LineAfter(run.out, "set parameter 0: "), "name \"gain\" label \"x\" display \"0.50\" value 0.250000");
  const AudioData output = WavFile::Read(dir.File("out.wav"));
  EXPECT_EQ(output.sampleRate, 44100);
  ASSERT_EQ(output.channels.size(), 2u);
  ASSERT_EQ(output.Frames(), 3000u);
  for (std::size_t c = 0; c < 2; ++c) {
    for (std::size_t i = 0; i < 3000; ++i) ASSERT_EQ(output.channels[c][i], 0.5 * input.channels[0][i]);
  }
}

TEST(HostWithTestPlugin, ReportsTheTimelinePositionOfEveryFrame) {
  TempDir dir;
  constexpr std::size_t kFrames = 4000;
  WavFile::Write(dir.File("in.wav"), Noise(2, kFrames), SampleFormat::kFloat32);
  const HostRun run = RunInMode("position",
                                {"process", TestPluginModule(), "--in", dir.File("in.wav"), "--out",
                                 dir.File("pos.wav"), "--precision", "double", "--format", "double", "--block", "300",
                                 "--start", "900", "--loop", "1000:1700", "--jump-at", "2500:50", "--jump-at",
                                 "3100:1650"},
                                dir);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const AudioData output = WavFile::Read(dir.File("pos.wav"));
  ASSERT_EQ(output.Frames(), kFrames);

  // Reference, one frame at a time: jumps after their frame count, the loop
  // wrapping whenever the position reaches its end.
  std::int64_t position = 900;
  for (std::size_t frame = 0; frame < kFrames; ++frame) {
    if (frame == 2500) position = 50;
    if (frame == 3100) position = 1650;
    if (position == 1700) position = 1000;
    ASSERT_EQ(output.channels[0][frame], static_cast<double>(position)) << "frame " << frame;
    const auto flags = static_cast<std::int32_t>(output.channels[1][frame]);
    ASSERT_TRUE(flags & vst::kVstTransportPlaying);
    ASSERT_TRUE(flags & vst::kVstTransportCycleActive);
    const bool moved = frame == 0 || output.channels[0][frame] != output.channels[0][frame - 1] + 1.0;
    if (moved) {
      EXPECT_TRUE(flags & vst::kVstTransportChanged) << "frame " << frame;
    }
    ++position;
  }
}

TEST(HostWithTestPlugin, StateChunksRoundTripThroughFiles) {
  TempDir dir;
  const HostRun save = RunHost({"state", TestPluginModule(), "--set", "gain=0.3", "--save-program", dir.File("p.bin"),
                                "--save-bank", dir.File("b.bin")},
                               dir);
  ASSERT_EQ(save.exitCode, 0) << save.err;
  for (const char* option : {"--load-program", "--load-bank"}) {
    const std::string file = dir.File(std::string(option) == "--load-bank" ? "b.bin" : "p.bin");
    const HostRun load = RunHost({"state", TestPluginModule(), option, file}, dir);
    ASSERT_EQ(load.exitCode, 0) << load.err;
    EXPECT_EQ(LineAfter(load.out, "parameter 0: "), "name \"gain\" label \"x\" display \"0.60\" value 0.300000");
  }
  // A chunk the plug-in rejects is an error, not a silent success.
  {
    std::ofstream bad(dir.File("bad.bin"), std::ios::binary);
    bad << "garbage!";
  }
  const HostRun rejected = RunHost({"state", TestPluginModule(), "--load-program", dir.File("bad.bin")}, dir);
  EXPECT_EQ(rejected.exitCode, kWorkFailure);
  EXPECT_NE(rejected.err.find("rejected the program chunk"), std::string::npos) << rejected.err;
  {
    std::ofstream empty(dir.File("empty.bin"), std::ios::binary);
  }
  EXPECT_EQ(RunHost({"state", TestPluginModule(), "--load-bank", dir.File("empty.bin")}, dir).exitCode, kWorkFailure);
}

TEST(HostWithTestPlugin, RefusesWhatItCannotTrust) {
  TempDir dir;
  WavFile::Write(dir.File("in.wav"), Noise(2, 2000), SampleFormat::kFloat32);
  // The changes-io plug-in grows its outputs in its third block.
  const std::vector<std::string> processArgs = {"process", TestPluginModule(), "--in", dir.File("in.wav"), "--out",
                                                dir.File("out.wav"), "--block", "256"};
  const struct {
    const char* mode;
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {"null-effect", {"describe", TestPluginModule()}, "the entry point returned no effect"},
      {"bad-magic", {"describe", TestPluginModule()}, "magic 0x42616421 instead of 'VstP'"},
      {"many-channels", {"describe", TestPluginModule()}, "reports 100000 inputs"},
      {"absurd-chunk", {"state", TestPluginModule(), "--save-program", dir.File("c.bin")}, "claims a program chunk"},
      {"null-chunk", {"state", TestPluginModule(), "--save-bank", dir.File("c.bin")}, "returned no bank chunk"},
      {"changes-io", processArgs, "changed its channel counts"},
  };
  for (const auto& entry : cases) {
    const HostRun run = RunInMode(entry.mode, entry.args, dir);
    EXPECT_EQ(run.exitCode, kWorkFailure) << entry.mode << ": " << run.err;
    EXPECT_NE(run.err.find(entry.message), std::string::npos) << entry.mode << ": " << run.err;
  }
  EXPECT_EQ(RunHost({"describe", dir.File("no-such-plugin.so")}, dir).exitCode, kWorkFailure);
  EXPECT_EQ(RunHost({"describe"}, dir).exitCode, kUsageFailure);
}

TEST(HostWithTestPlugin, SurvivesUnterminatedTextsAndStrayChannels) {
  TempDir dir;
  const HostRun described = RunInMode("unterminated", {"describe", TestPluginModule()}, dir);
  ASSERT_EQ(described.exitCode, 0) << described.err;
  // The host's 1024-byte buffer, filled without a terminator, reads as its first 1023 bytes.
  EXPECT_EQ(LineAfter(described.out, "effect name: "), "\"" + std::string(1023, 'x') + "\"");

  const AudioData input = Noise(2, 1500);
  WavFile::Write(dir.File("in.wav"), input, SampleFormat::kFloat32);
  const HostRun processed = RunInMode(
      "extra-channels",
      {"process", TestPluginModule(), "--in", dir.File("in.wav"), "--out", dir.File("out.wav"), "--block", "100"}, dir);
  ASSERT_EQ(processed.exitCode, 0) << processed.err;
  EXPECT_EQ(WavFile::Read(dir.File("out.wav")).channels, input.channels);
}

}  // namespace
}  // namespace sorvano
