#include "tools/vsthost/CommandLine.h"

#include <gtest/gtest.h>

namespace sorvano {
namespace {

HostOptions Parse(std::vector<std::string> args) { return CommandLine::Parse(args); }

TEST(CommandLine, ProcessOptionsReachTheirFields) {
  const HostOptions options =
      Parse({"process", "fx.so", "--in", "a.wav", "--out", "b.wav", "--block", "333", "--precision", "accumulate",
             "--format", "pcm24", "--start", "-5", "--loop", "100:900", "--jump-at", "50:7", "--jump-at", "60:8",
             "--set", "bright=0.25", "--set", "2=1", "--load-bank", "in.fxb", "--save-program", "out.fxp",
             "--tempo", "90.5"});
  EXPECT_EQ(options.command, Command::kProcess);
  EXPECT_EQ(options.plugin, "fx.so");
  EXPECT_EQ(options.input, "a.wav");
  EXPECT_EQ(options.output, "b.wav");
  EXPECT_EQ(options.blockSize, 333);
  EXPECT_EQ(options.precision, Precision::kAccumulate);
  EXPECT_EQ(options.format, SampleFormat::kPcm24);
  EXPECT_EQ(options.start, -5);
  ASSERT_TRUE(options.loop);
  EXPECT_EQ(options.loop->start, 100);
  EXPECT_EQ(options.loop->end, 900);
  ASSERT_EQ(options.jumps.size(), 2u);
  EXPECT_EQ(options.jumps[1].atFrame, 60);
  EXPECT_EQ(options.jumps[1].to, 8);
  ASSERT_EQ(options.settings.size(), 2u);
  EXPECT_EQ(options.settings[0].parameter, "bright");
  EXPECT_EQ(options.settings[0].value, 0.25f);
  EXPECT_EQ(options.settings[1].parameter, "2");
  EXPECT_EQ(options.loadBank, "in.fxb");
  EXPECT_EQ(options.saveProgram, "out.fxp");
  EXPECT_DOUBLE_EQ(options.tempo, 90.5);
}

TEST(CommandLine, SignalAndHelpForms) {
  const HostOptions signal = Parse({"signal", "s.wav", "--rate", "44100", "--seconds", "1.5"});
  EXPECT_EQ(signal.command, Command::kSignal);
  EXPECT_EQ(signal.signalOut, "s.wav");
  EXPECT_EQ(signal.sampleRate, 44100);
  EXPECT_DOUBLE_EQ(signal.seconds, 1.5);

  const HostOptions generated = Parse({"process", "fx.so", "--signal", "s.wav", "--out", "o.wav", "--rate", "8000"});
  EXPECT_EQ(generated.signalOut, "s.wav");
  EXPECT_TRUE(generated.input.empty());

  EXPECT_EQ(Parse({}).command, Command::kHelp);
  EXPECT_EQ(Parse({"--help"}).command, Command::kHelp);
  EXPECT_EQ(Parse({"describe", "fx.so", "--help"}).command, Command::kHelp);
}

TEST(CommandLine, RejectsMalformedAndMisplacedOptions) {
  const std::vector<std::vector<std::string>> wrong = {
      {"frobnicate", "fx.so"},
      {"describe"},
      {"describe", "a.so", "b.so"},
      {"describe", "fx.so", "--loop", "0:10"},
      {"state", "fx.so", "--out", "x.wav"},
      {"process", "fx.so", "--out", "o.wav"},
      {"process", "fx.so", "--in", "a.wav"},
      {"process", "fx.so", "--in", "a.wav", "--signal", "s.wav", "--out", "o.wav"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--rate", "48000"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--block", "0"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--block", "65537"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--block", "12x"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--precision", "half"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--loop", "900:100"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--loop", "100"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--jump-at", "-1:0"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--start", "99999999999999999999"},
      {"process", "fx.so", "--in", "a.wav", "--out", "o.wav", "--tempo", "0"},
      {"state", "fx.so", "--set", "gain=1.5"},
      {"state", "fx.so", "--set", "gain=nan"},
      {"state", "fx.so", "--set", "=0.5"},
      {"state", "fx.so", "--save-bank"},
  };
  for (const auto& args : wrong) {
    std::string line;
    for (const auto& arg : args) line += arg + " ";
    EXPECT_THROW(Parse(args), UsageError) << line;
  }
}

}  // namespace
}  // namespace sorvano
