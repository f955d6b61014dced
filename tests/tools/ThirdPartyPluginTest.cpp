// The host must speak the interface, not only our own dialect of it: it loads
// a plug-in of Debian's lsp-plugins-vst.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tools/HostTestSupport.h"
#include "tools/vsthost/WavFile.h"

namespace sorvano {
namespace {

using testing::HostRun;
using testing::LineAfter;
using testing::RunHost;
using testing::TempDir;

// A stereo delay compensator: 2 in / 2 out, a delay in samples, dry and wet levels.
constexpr const char* kThirdPartyPlugin = "/usr/lib/vst/lsp-plugins/comp-delay-stereo.so";

// That library is not built with our sanitizers and keeps allocations until
// the process ends; leak reports about it say nothing about our code.
const std::map<std::string, std::string> kEnvironment = {{"ASAN_OPTIONS", "detect_leaks=0"}};

bool PluginInstalled() {
  if (std::filesystem::exists(kThirdPartyPlugin)) return true;
  ADD_FAILURE() << kThirdPartyPlugin << " is missing: install Debian's lsp-plugins-vst (scripts/setup.sh does)";
  return false;
}

TEST(ThirdPartyPlugin, DescribeListsItsParameters) {
  if (!PluginInstalled()) return;
  TempDir dir;
  const HostRun run = RunHost({"describe", kThirdPartyPlugin}, dir, kEnvironment);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LineAfter(run.out, "magic: "), "'VstP' ok");
  EXPECT_EQ(LineAfter(run.out, "inputs: "), "2");
  EXPECT_EQ(LineAfter(run.out, "outputs: "), "2");
  const int parameters = std::stoi(LineAfter(run.out, "parameters: "));
  EXPECT_GT(parameters, 0);
  for (int i = 0; i < parameters; ++i) {
    const std::string line = LineAfter(run.out, "parameter " + std::to_string(i) + ": ");
    EXPECT_EQ(line.rfind("name \"", 0), 0u) << line;
    EXPECT_EQ(line.find("name \"\""), std::string::npos) << "parameter " << i << " has no name";
  }
  EXPECT_NE(LineAfter(run.out, "parameter 3: ").find("name \"samp\""), std::string::npos) << run.out;
}

TEST(ThirdPartyPlugin, ProcessDelaysByTheSetNumberOfSamples) {
  if (!PluginInstalled()) return;
  TempDir dir;
  // "samp" at 0.01 is a delay of 100 samples; dry is off and wet at 0 dB by default.
  const HostRun run = RunHost({"process", kThirdPartyPlugin, "--signal", dir.File("signal.wav"), "--seconds", "1",
                               "--out", dir.File("out.wav"), "--block", "480", "--set", "samp=0.01"},
                              dir, kEnvironment);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(LineAfter(run.out, "set parameter 3: ").find("display \"100\""), std::string::npos) << run.out;
  const AudioData input = WavFile::Read(dir.File("signal.wav"));
  const AudioData output = WavFile::Read(dir.File("out.wav"));
  ASSERT_EQ(output.channels.size(), 2u);
  ASSERT_EQ(output.Frames(), input.Frames());
  double worst = 0.0;
  for (std::size_t c = 0; c < 2; ++c) {
    for (std::size_t i = 100; i < output.Frames(); ++i) {
      worst = std::max(worst, std::abs(output.channels[c][i] - input.channels[c][i - 100]));
    }
  }
  EXPECT_LE(worst, 1e-6);
}

}  // namespace
}  // namespace sorvano
