// The golden image of the whole view: a known signal played through the
// plug-in with the view attached (as sorvano-render does), drawn every 55 ms,
// must equal tests/editor/golden/sonogram_view.png pixel for pixel. A
// difference leaves the actual picture in the build folder
// (sonogram_view-actual.png); README.md says how to regenerate the golden
// image after a deliberate change.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "editor/SorvanoControl.h"
#include "graphics/DrawSurface.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "tests/editor/GoldenImage.h"
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

TEST(SonogramGoldenTest, KnownSignalMatchesTheGoldenImage) {
  MissingImageTolerance tolerance;
  SonogramRender render(kRate, 512);
  render.Play(KnownSignal());
  const DrawSurface* actual = render.Surface();
  ASSERT_NE(actual, nullptr);

  ExpectMatchesGolden(*actual, "sonogram_view");
}

// The view redrawn alone at every tick leaves the same picture as a redraw
// of the whole editor: nothing the view draws outside its mouse rectangle
// (the overview's time labels reach below it) is blended again, tick after
// tick, over its own ink.
TEST(SonogramGoldenTest, TheViewRedrawnAloneLooksAsTheWholeEditorRedrawn) {
  MissingImageTolerance tolerance;
  SonogramRender render(kRate, 512);
  render.Play(KnownSignal());
  const DrawSurface* surface = render.Surface();
  ASSERT_NE(surface, nullptr);
  const std::size_t pixels = static_cast<std::size_t>(surface->RowSpan()) * surface->Height();
  const std::vector<std::uint32_t> ticked(surface->Bits(), surface->Bits() + pixels);
  render.Graphics().SetAllControlsDirty();
  render.Tick();
  int differing = 0;
  for (std::size_t i = 0; i < pixels; ++i) differing += surface->Bits()[i] != ticked[i];
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace sorvano::test
