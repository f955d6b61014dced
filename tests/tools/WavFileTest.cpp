#include "tools/vsthost/WavFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "tests/tools/HostTestSupport.h"
#include "tools/vsthost/HostError.h"
#include "tools/vsthost/TestSignal.h"

namespace sorvano {
namespace {

AudioData Ramp(std::int32_t channels, std::size_t frames) {
  AudioData audio;
  audio.sampleRate = 22050;
  for (std::int32_t c = 0; c < channels; ++c) {
    std::vector<double> samples(frames);
    for (std::size_t i = 0; i < frames; ++i) samples[i] = (static_cast<double>(i % 200) - 100.0) / 128.0 + c * 0.001;
    audio.channels.push_back(samples);
  }
  return audio;
}

TEST(WavFile, RoundTripsEveryFormatWithinItsResolution) {
  testing::TempDir dir;
  // More frames than one transfer chunk, so the chunked copy is exercised.
  const AudioData original = Ramp(3, 20000);
  // Integer formats: libsndfile scales by 2^(n-1) - 1 on writing and by
  // 1 / 2^(n-1) on reading, so below full scale the error stays under two steps.
  const struct {
    SampleFormat format;
    double tolerance;
  } formats[] = {{SampleFormat::kFloat64, 0.0},
                 {SampleFormat::kFloat32, 1.0 / (1 << 24)},  // rounding to float's 24-bit mantissa
                 {SampleFormat::kPcm24, 2.0 / (1 << 23)},
                 {SampleFormat::kPcm16, 2.0 / (1 << 15)}};
  for (const auto& entry : formats) {
    const std::string path = dir.File("ramp.wav");
    WavFile::Write(path, original, entry.format);
    const AudioData read = WavFile::Read(path);
    EXPECT_EQ(read.sampleRate, 22050);
    ASSERT_EQ(read.channels.size(), 3u);
    ASSERT_EQ(read.Frames(), original.Frames());
    double worst = 0.0;
    for (std::size_t c = 0; c < 3; ++c) {
      for (std::size_t i = 0; i < read.Frames(); ++i) {
        worst = std::max(worst, std::abs(read.channels[c][i] - original.channels[c][i]));
      }
    }
    EXPECT_LE(worst, entry.tolerance) << "format " << static_cast<int>(entry.format);
  }
}

TEST(WavFile, IntegerFormatsClipInsteadOfWrapping) {
  testing::TempDir dir;
  AudioData loud;
  loud.sampleRate = 8000;
  loud.channels = {{1.5, -1.5, 0.5}};
  WavFile::Write(dir.File("loud.wav"), loud, SampleFormat::kPcm16);
  const AudioData read = WavFile::Read(dir.File("loud.wav"));
  EXPECT_GT(read.channels[0][0], 0.99);
  EXPECT_LT(read.channels[0][1], -0.99);
}

TEST(WavFile, RejectsWhatItCannotRepresentOrRead) {
  testing::TempDir dir;
  EXPECT_THROW(WavFile::Read(dir.File("missing.wav")), HostError);
  {
    std::ofstream junk(dir.File("junk.wav"), std::ios::binary);
    junk << "RIFF this is not audio";
  }
  EXPECT_THROW(WavFile::Read(dir.File("junk.wav")), HostError);

  AudioData ragged = Ramp(2, 100);
  ragged.channels[1].pop_back();
  EXPECT_THROW(WavFile::Write(dir.File("ragged.wav"), ragged, SampleFormat::kFloat32), HostError);
  AudioData empty;
  empty.sampleRate = 48000;
  EXPECT_THROW(WavFile::Write(dir.File("empty.wav"), empty, SampleFormat::kFloat32), HostError);
  EXPECT_THROW(WavFile::Write(dir.File("no/such/folder.wav"), Ramp(1, 10), SampleFormat::kFloat32), HostError);
}

TEST(TestSignal, IsStereoDeterministicAndWithinFullScale) {
  const AudioData first = TestSignal::Generate(48000, 2.0);
  const AudioData second = TestSignal::Generate(48000, 2.0);
  ASSERT_EQ(first.channels.size(), 2u);
  EXPECT_EQ(first.Frames(), 96000u);
  EXPECT_EQ(first.channels, second.channels);
  for (const auto& channel : first.channels) {
    double peak = 0.0;
    double energy = 0.0;
    for (double sample : channel) {
      ASSERT_TRUE(std::isfinite(sample));
      peak = std::max(peak, std::abs(sample));
      energy += sample * sample;
    }
    EXPECT_LT(peak, 1.0);
    EXPECT_GT(energy / static_cast<double>(channel.size()), 0.01) << "the channel carries a real signal";
    EXPECT_EQ(channel.front(), 0.0) << "the signal fades in";
  }
  EXPECT_EQ(TestSignal::Generate(8000, 0.0).Frames(), 0u);
  // A long signal keeps its tones within range (no runaway pitch).
  const AudioData longer = TestSignal::Generate(8000, 120.0);
  for (double sample : longer.channels[1]) ASSERT_TRUE(std::isfinite(sample));
  EXPECT_THROW(TestSignal::Generate(100, 1.0), HostError);
  EXPECT_THROW(TestSignal::Generate(48000, -1.0), HostError);
  EXPECT_THROW(TestSignal::Generate(48000, 1e9), HostError);
}

}  // namespace
}  // namespace sorvano
