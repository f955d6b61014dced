// The headless renderer's command line, and a render at 48 kHz in stereo.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "editor/DisplayRows.h"
#include "editor/SorvanoControl.h"
#include "tests/editor/ViewTestSupport.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SonogramRender.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano::test {
namespace {

bool Parse(std::vector<const char*> args, RenderOptions& options, std::string& error) {
  return ParseRenderOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(RenderOptionsTest, FilesAndOptions) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(Parse(
      {"in.wav", "--block", "256", "out.png", "--bright", "2.5", "--colormap", "brrr"}, o, error))
      << error;
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_EQ(o.output, "out.png");
  EXPECT_EQ(o.blockSize, 256);
  EXPECT_DOUBLE_EQ(o.bright, 2.5);
  EXPECT_EQ(o.colorMap, "brrr");

  RenderOptions defaults;
  ASSERT_TRUE(Parse({"a.wav", "b.png"}, defaults, error));
  EXPECT_EQ(defaults.blockSize, 512);
  EXPECT_EQ(defaults.colorMap, "pompeii");
}

TEST(RenderOptionsTest, RefusesWhatItCannotUse) {
  std::string error;
  for (const std::vector<const char*>& args :
       std::vector<std::vector<const char*>>{{"in.wav"},
                                             {"in.wav", "out.png", "extra"},
                                             {"in.wav", "out.png", "--block"},
                                             {"in.wav", "out.png", "--block", "0"},
                                             {"in.wav", "out.png", "--block", "12x"},
                                             {"in.wav", "out.png", "--bright", "nan"},
                                             {"in.wav", "out.png", "--bright", "11"},
                                             {"in.wav", "out.png", "--loud", "1"}}) {
    RenderOptions o;
    EXPECT_FALSE(Parse(args, o, error)) << args.size();
    EXPECT_FALSE(error.empty());
  }
}

TEST(SonogramRenderTest, StereoAt48kHzDrawsTheToneOnItsRow) {
  MissingImageTolerance tolerance;
  constexpr int kRate = 48000;
  AudioData audio;
  audio.sampleRate = kRate;
  std::vector<double> left(static_cast<std::size_t>(kRate * 2)), right(left.size());
  for (std::size_t i = 0; i < left.size(); ++i) {
    left[i] = 0.3 * std::sin(2.0 * std::numbers::pi * 1000.0 * static_cast<double>(i) / kRate);
  }
  audio.channels = {left, right};  // right silent

  SonogramRender render(kRate, 480);
  ASSERT_TRUE(render.SetDisplay(1.0, "thermal"));
  EXPECT_FALSE(render.SetDisplay(1.0, "sepia"));
  render.Play(audio);
  const SorvanoControl::Snapshot s = render.View().Inspect();
  EXPECT_EQ(s.sampleRate, kRate);
  EXPECT_EQ(s.colorMap, 1);
  EXPECT_GT(s.position, kRate);

  const SonogramPane& main = render.View().MainPane();
  const int row = DisplayRows::HzToRow(1000, kRate);
  const int y = main.Height() - 1 - static_cast<int>((row + 0.5) * main.Mapping().mPixelsPerRow);
  const int x = static_cast<int>(kRate * main.Mapping().mPixelsPerSample);  // 1 s in
  const std::uint32_t onTone = main.Pixels()[static_cast<std::size_t>(y * main.Width() + x)];
  const std::uint32_t above = main.Pixels()[static_cast<std::size_t>(20 * main.Width() + x)];
  EXPECT_NE(onTone, 0xFF000000u);
  EXPECT_EQ(above, 0xFF000000u);
}

}  // namespace
}  // namespace sorvano::test
