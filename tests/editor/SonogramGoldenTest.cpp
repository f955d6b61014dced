// The golden image of the whole view: a known signal played through the
// plug-in with the view attached (as sorvano-render does), drawn every 55 ms,
// must equal tests/editor/golden/sonogram_view.png pixel for pixel. A
// difference leaves the actual picture in the build folder
// (sonogram_view-actual.png); README.md says how to regenerate the golden
// image after a deliberate change.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <vector>

#include "graphics/DrawSurface.h"
#include "graphics/PngWriter.h"
#include "graphics/Surface.h"
#include "tests/editor/ViewTestSupport.h"
#include "tools/render/SonogramRender.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano::test {
namespace {

constexpr int kRate = 44100;

// 0-1.5 s a logarithmic sweep from 100 Hz to 20 kHz; 1.5-3 s steady tones
// of 1000 Hz and 5000 Hz; 3-3.6 s silence; 3.6-4.6 s 1000 Hz alone. Left
// and right the same. It ends before the main pane's first page (4.99 s).
AudioData KnownSignal() {
  AudioData audio;
  audio.sampleRate = kRate;
  std::vector<double> samples(static_cast<std::size_t>(4.6 * kRate));
  const double twoPi = 2.0 * std::numbers::pi;
  const double ratio = 200.0;
  const double sweepSeconds = 1.5;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    double v = 0.0;
    if (t < sweepSeconds) {
      const double k = std::log(ratio) / sweepSeconds;
      v = 0.5 * std::sin(twoPi * 100.0 * (std::exp(k * t) - 1.0) / k);
    } else if (t < 3.0) {
      v = 0.3 * std::sin(twoPi * 1000.0 * t) + 0.2 * std::sin(twoPi * 5000.0 * t);
    } else if (t >= 3.6) {
      v = 0.3 * std::sin(twoPi * 1000.0 * t);
    }
    samples[i] = v;
  }
  audio.channels = {samples, samples};
  return audio;
}

std::vector<unsigned char> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
}

TEST(SonogramGoldenTest, KnownSignalMatchesTheGoldenImage) {
  MissingImageTolerance tolerance;
  SonogramRender render(kRate, 512);
  render.Play(KnownSignal());
  const DrawSurface* actual = render.Surface();
  ASSERT_NE(actual, nullptr);

  const char* actualPath = SORVANO_BINARY_DIR "/sonogram_view-actual.png";
  const std::vector<unsigned char> bytes =
      ReadFile(SORVANO_SOURCE_DIR "/tests/editor/golden/sonogram_view.png");
  if (bytes.empty()) {
    WritePng(*actual, actualPath);
    FAIL() << "tests/editor/golden/sonogram_view.png is missing; the actual picture is "
           << actualPath;
  }
  const std::unique_ptr<PixelSurface> golden(DecodePng(bytes.data(), bytes.size(), nullptr));
  ASSERT_NE(golden, nullptr);
  ASSERT_EQ(golden->Width(), actual->Width());
  ASSERT_EQ(golden->Height(), actual->Height());

  int differing = 0;
  int firstX = -1, firstY = -1;
  for (int y = 0; y < actual->Height(); ++y) {
    for (int x = 0; x < actual->Width(); ++x) {
      if (SurfaceGetPixel(actual, x, y) == SurfaceGetPixel(golden.get(), x, y)) continue;
      if (differing++ == 0) {
        firstX = x;
        firstY = y;
      }
    }
  }
  if (differing == 0) return;
  const bool written = WritePng(*actual, actualPath);
  ADD_FAILURE() << differing << " pixels differ from the golden image, the first at (" << firstX
                << ", " << firstY << "); the actual picture is "
                << (written ? actualPath : "(could not be written)");
}

}  // namespace
}  // namespace sorvano::test
