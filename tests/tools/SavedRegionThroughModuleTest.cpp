// A region drawn and muted in sorvano-render, saved as a program chunk and
// handed to the real module under sorvano-host: the module restores it and
// the processed audio shows it applied.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "tests/tools/HostTestSupport.h"
#include "tools/vsthost/WavFile.h"

namespace sorvano {
namespace {

using testing::HostRun;
using testing::RenderBinary;
using testing::RunHost;
using testing::RunProgram;
using testing::SorvanoModule;
using testing::TempDir;

constexpr int kRate = 44100;
constexpr double kToneHz = 1000.0;
constexpr double kSeconds = 5.0;
constexpr std::size_t kLatency = 2048;
// Frames near a region edge that are partly affected: one analysis frame on
// either side (the gain's fade in time lies outside the region, on top).
constexpr std::size_t kEdge = 2048;

AudioData Tone() {
  AudioData audio;
  audio.sampleRate = kRate;
  audio.channels.assign(2, {});
  const auto frames = static_cast<std::size_t>(kSeconds * kRate);
  for (auto& channel : audio.channels) {
    channel.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) channel[i] = 0.4 * std::sin(2.0 * M_PI * kToneHz * double(i) / kRate);
  }
  return audio;
}

// Mean square over [from, to) of every channel.
double Energy(const AudioData& audio, std::size_t from, std::size_t to) {
  double sum = 0.0;
  std::size_t n = 0;
  for (const auto& channel : audio.channels) {
    for (std::size_t i = from; i < to && i < channel.size(); ++i, ++n) sum += channel[i] * channel[i];
  }
  return n ? sum / double(n) : 0.0;
}

// A user draws a region over the tone ahead of the playhead and mutes it
// (its mute button sits left of the region), as in the editor.
constexpr const char* kScript =
    "play 0.5\n"
    "press 200 255\ndrag 230 270\ndrag 260 285\nrelease 260 285\n"
    "move 183 250\npress 183 250\nrelease 183 250\n"
    "play 1\n";

TEST(SavedRegionThroughModule, AMutedRegionSavedByTheRendererSilencesTheToneInTheModule) {
  TempDir dir;
  const std::string tone = dir.File("tone.wav");
  const std::string script = dir.File("mute.events");
  const std::string program = dir.File("muted.fxp");
  const std::string processed = dir.File("processed.wav");
  WavFile::Write(tone, Tone(), SampleFormat::kFloat32);
  std::ofstream(script) << kScript;

  const HostRun render = RunProgram(RenderBinary(),
                                    {tone, dir.File("editor.png"), "--events", script, "--print-regions",
                                     "--save-program", program},
                                    dir);
  ASSERT_EQ(render.exitCode, 0) << render.err;
  // One region, muted: start end lowHz highHz lowRow highRow gain fade mute solo bypass.
  std::istringstream listing(render.out);
  long start = 0, end = 0, lowHz = 0, highHz = 0;
  int lowRow = 0, highRow = 0, mute = 0, solo = 0, bypass = 0;
  double gain = 0.0, fade = 0.0;
  listing >> start >> end >> lowHz >> highHz >> lowRow >> highRow >> gain >> fade >> mute >> solo >> bypass;
  ASSERT_TRUE(listing) << render.out;
  ASSERT_EQ(mute, 1) << render.out;
  ASSERT_LT(lowHz, kToneHz);
  ASSERT_GT(highHz, kToneHz);
  ASSERT_GT(end - start, long(4 * kEdge)) << "the region must be long enough to measure inside";

  const HostRun host = RunHost({"process", SorvanoModule(), "--in", tone, "--out", processed, "--load-program",
                                program},
                               dir);
  ASSERT_EQ(host.exitCode, 0) << host.err;
  EXPECT_NE(host.out.find("loaded program chunk: " + program), std::string::npos) << host.out;

  const AudioData out = WavFile::Read(processed);
  const double input = Energy(Tone(), 0, static_cast<std::size_t>(kSeconds * kRate));
  // The output is the input delayed by the latency: the region's span moves
  // by as much. The fade reaches beyond the region by its factor of the
  // region's length.
  const auto fadeFrames = static_cast<std::size_t>(std::ceil(fade * double(end - start)));
  const std::size_t from = std::size_t(start) + kLatency;
  const std::size_t to = std::size_t(end) + kLatency;
  const double inside = Energy(out, from + kEdge, to - kEdge);
  const double before = Energy(out, kLatency + kEdge, from - fadeFrames - kEdge);
  const double after = Energy(out, to + fadeFrames + kEdge, out.Frames());
  EXPECT_LT(inside, 1e-4 * input) << "muted: at least 40 dB down inside the region";
  EXPECT_NEAR(before / input, 1.0, 1e-3) << "unchanged before the region";
  EXPECT_NEAR(after / input, 1.0, 1e-3) << "unchanged after the region";
}

TEST(SavedRegionThroughModule, TheRendererRefusesAProgramFileTheModuleWouldNotAccept) {
  TempDir dir;
  const std::string tone = dir.File("tone.wav");
  const std::string garbage = dir.File("garbage.fxp");
  WavFile::Write(tone, Tone(), SampleFormat::kFloat32);
  std::ofstream(garbage) << "not a chunk of this plug-in";
  const HostRun run = RunProgram(RenderBinary(), {tone, dir.File("out.png"), "--load-program", garbage}, dir);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("rejected the program chunk"), std::string::npos) << run.err;
  const HostRun missing =
      RunProgram(RenderBinary(), {tone, dir.File("out.png"), "--load-program", dir.File("none.fxp")}, dir);
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace sorvano
