// The view across threads: what host threads hand over arrives whole, and
// the audio thread publishing while the editor draws neither deadlocks nor
// loses the order of positions.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "editor/SorvanoControl.h"
#include "engine/Sorvano.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "tests/editor/ViewTestSupport.h"
#include "tools/render/PlayingHost.h"
#include "graphics/offscreen/OffscreenGraphics.h"

namespace sorvano::test {
namespace {

TEST(ViewThreadsTest, BrightnessAndMapArriveTogether) {
  MissingImageTolerance tolerance;
  ScriptedPlugin plugin;
  OffscreenGraphics graphics(640, 540);
  SorvanoControl view(&plugin, &graphics);
  std::atomic<bool> done{false};
  // Host thread: multiplier m always comes with map m % 4.
  std::thread host([&] {
    for (int i = 0; i < 20000; ++i) {
      const int m = 1 + i % 100;
      view.SetDisplay((m + 0.5) / 12.0, m % 4);
    }
    done = true;
  });
  int draws = 0;
  while (!done || draws < 10) {
    view.Draw(graphics);
    const SorvanoControl::Snapshot s = view.Inspect();
    ASSERT_EQ(s.colorMap, s.multiplier % 4) << "a multiplier arrived without its map";
    ++draws;
  }
  host.join();
}

TEST(ViewThreadsTest, AudioPublishingWhileTheEditorDraws) {
  MissingImageTolerance tolerance;
  PlayingHost host;
  Sorvano plug(PlayingHost::Callback());
  auto* graphics = static_cast<OffscreenGraphics*>(plug.GetEditor());
  SorvanoControl* view = plug.EditorView();
  host.Open(plug, 44100.0, 256);

  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<double> left(256), right(256);
    for (int block = 0; block < 4000; ++block) {  // about 23 s
      for (int i = 0; i < 256; ++i)
        left[static_cast<std::size_t>(i)] = right[static_cast<std::size_t>(i)] =
            std::sin(0.1 * (block * 256 + i));
      host.Process(left.data(), right.data(), 256);
    }
    done = true;
  });
  int32_t last = 0;
  while (!done) {
    IRect dirty;
    if (graphics->IsDirty(dirty)) graphics->Draw(dirty);
    const int32_t position = view->Inspect().position;
    ASSERT_GE(position, last) << "continuous playback only moves forward";
    last = position;
  }
  audio.join();
  const SorvanoControl::Snapshot s = view->Inspect();
  EXPECT_EQ(s.loopStart, -1) << "no loop in continuous playback";
  host.SwitchOff();
}

}  // namespace
}  // namespace sorvano::test
