#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "editor/SorvanoControl.h"
#include "graphics/DrawSurface.h"
#include "tools/render/GestureScript.h"
#include "tools/render/SonogramRender.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano {
namespace {

AudioData Tone(double hz, double seconds) {
  AudioData audio;
  audio.sampleRate = 44100;
  audio.channels.resize(1);
  const int n = int(seconds * 44100);
  for (int i = 0; i < n; ++i) audio.channels[0].push_back(0.4 * std::sin(2 * 3.141592653589793 * hz * i / 44100));
  return audio;
}

int Brightest(const DrawSurface& s, int x, int y0, int y1) {
  int best = 0;
  for (int y = y0; y < y1; ++y) {
    const std::uint32_t p = s.Bits()[size_t(y) * size_t(s.RowSpan()) + size_t(x)];
    best = std::max(best, int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF));
  }
  return best;
}

// A user draws a region over a 1 kHz tone ahead of the playhead, mutes it and
// lets playback run through it: the region is listed muted, the engine holds
// one record, and the sonogram (the processed signal) shows the tone gone
// inside the region but not before it.
TEST(RenderEvents, AMutedRegionAheadOfThePlayheadSilencesTheToneInIt) {
  const AudioData audio = Tone(1000.0, 6.0);
  SonogramRender render(44100.0, 512);
  std::vector<Gesture> gestures;
  std::string error;
  ASSERT_TRUE(ParseGestures("play 0.5\npress 200 255\ndrag 230 270\ndrag 260 285\nrelease 260 285\n"
                            "# the mute button, left of the region\nmove 183 250\npress 183 250\n"
                            "release 183 250\nplay 3\n",
                            gestures, error))
      << error;
  ASSERT_TRUE(RunGestures(gestures, render, audio, error)) << error;

  const std::string listing = RegionListing(render);
  EXPECT_EQ(listing, "68608 97280 625 1190 183 320 1 0.1 1 0 0\n1\n");
  const IRect r = render.View().InspectRegions().regions.at(0).mMainRect;
  const DrawSurface& surface = *render.Surface();
  EXPECT_GT(Brightest(surface, r.L - 30, r.T, r.B), 300);  // the tone before the region, left of its ears
  // Inside, away from the outline and the widgets: dark.
  EXPECT_LT(Brightest(surface, r.L + 10, r.T + 3, r.B - 3), 200);  // the grid lines are (64, 64, 64)
  EXPECT_LT(Brightest(surface, (r.L + r.R) / 2, r.T + 3, r.B - 3), 200);  // the grid lines are (64, 64, 64)
}

TEST(RenderEvents, ScriptsWithUnknownGesturesOrMissingValuesAreRefused) {
  std::vector<Gesture> gestures;
  std::string error;
  EXPECT_FALSE(ParseGestures("press 1\n", gestures, error));
  EXPECT_EQ(error, "line 1: press needs X Y");
  EXPECT_FALSE(ParseGestures("\n# ok\nfly 1 2\n", gestures, error));
  EXPECT_EQ(error, "line 3: unknown gesture fly");
  EXPECT_FALSE(ParseGestures("play -1\n", gestures, error));
  EXPECT_FALSE(ParseGestures("press 1 2 middle\n", gestures, error));
  gestures.clear();
  EXPECT_TRUE(ParseGestures("press 1 2 right ctrl\nwheel 3 4 -2\n", gestures, error));
  ASSERT_EQ(gestures.size(), 2u);
  EXPECT_TRUE(gestures[0].right && gestures[0].control);
  EXPECT_EQ(gestures[1].notches, -2);
}

}  // namespace
}  // namespace sorvano
