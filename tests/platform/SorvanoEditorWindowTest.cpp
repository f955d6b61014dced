// Sorvano's own editor through the window host under a real X server
// (Xvfb), opened and read back through the VST interface: a drag made of
// real pointer events reaches the saved state, and the window shows exactly
// what the editor drew in memory.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "WindowTestEditor.h"
#include "engine/Sorvano.h"
#include "engine/ModList.h"
#include "tests/engine/TimelineHost.h"

namespace sorvano::test {
namespace {

using namespace std::chrono_literals;
using Button = x11::HostFrameWindow::Button;

// The program chunk: a header, the fixed part, one record per region.
constexpr std::size_t kChunkHeader = 8;
constexpr std::size_t kChunkFixed = 72;
constexpr std::size_t kChunkPerRegion = 75;

class SorvanoEditorWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(frame.Ok());
    ASSERT_TRUE(frame.CanFakeInput());
    frame.Map();
    effect = host.Attach(*plug);
    host.Dispatch(vst::effOpen);
  }

  void TearDown() override {
    host.Dispatch(vst::effEditClose);
    host.Dispatch(vst::effClose);
  }

  void Open() {
    ASSERT_NE(host.Dispatch(vst::effEditOpen, 0, 0,
                            reinterpret_cast<void*>(static_cast<std::uintptr_t>(frame.Window()))),
              0);
  }

  IEditorWindow& Editor() { return *static_cast<IEditorWindow*>(plug->GetEditor()); }

  std::vector<std::uint8_t> ProgramChunk() {
    void* data = nullptr;
    const auto size = host.Dispatch(vst::effGetChunk, 1, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
  }

  // Waits until two screenshots a tick apart agree and show something.
  std::vector<std::uint32_t> SettledScreenshot() {
    std::vector<std::uint32_t> last;
    for (int i = 0; i < 60; ++i) {
      std::vector<std::uint32_t> now = frame.Capture(0, 0, Sorvano::kEditorWidth, Sorvano::kEditorHeight);
      if (!now.empty() && now == last && now[0] != 0) return now;
      last = std::move(now);
      std::this_thread::sleep_for(60ms);
    }
    return last;
  }

  x11::HostFrameWindow frame{Sorvano::kEditorWidth, Sorvano::kEditorHeight, "frame"};
  TimelineHost host;
  // effClose deletes the instance.
  Sorvano* plug = new Sorvano(TimelineHost::Callback());
  vst::AEffect* effect = nullptr;
};

TEST_F(SorvanoEditorWindowTest, DragInTheMainPaneCreatesARegionThatTheProgramChunkHolds) {
  ASSERT_EQ(ProgramChunk().size(), kChunkHeader + kChunkFixed);
  Open();
  SettledScreenshot();

  // A diagonal drag inside the main pane, in small steps as a hand makes it.
  frame.MovePointer(120, 120);
  frame.PressButton(Button::kLeft);
  for (int step = 1; step <= 10; ++step) {
    frame.MovePointer(120 + 20 * step, 120 + 12 * step);
    std::this_thread::sleep_for(10ms);
  }
  frame.ReleaseButton(Button::kLeft);
  frame.Sync();

  ASSERT_TRUE(WaitFor([&] { return plug->Mods().Count() == 1; })) << plug->Mods().Count() << " regions";
  EXPECT_EQ(ProgramChunk().size(), kChunkHeader + kChunkFixed + kChunkPerRegion);

  // The saved region comes back in another instance.
  const std::vector<std::uint8_t> chunk = ProgramChunk();
  TimelineHost otherHost;
  auto* other = new Sorvano(TimelineHost::Callback());
  otherHost.Attach(*other);
  otherHost.Dispatch(vst::effOpen);
  ASSERT_EQ(otherHost.Dispatch(vst::effSetChunk, 1, static_cast<std::intptr_t>(chunk.size()),
                               const_cast<std::uint8_t*>(chunk.data())),
            1);
  EXPECT_EQ(other->Mods().Count(), 1);
  otherHost.Dispatch(vst::effClose);
}

TEST_F(SorvanoEditorWindowTest, ScreenshotEqualsTheEditorsPictureInMemory) {
  Open();
  const std::vector<std::uint32_t> shot = SettledScreenshot();
  host.Dispatch(vst::effEditClose);
  ASSERT_EQ(shot.size(), static_cast<std::size_t>(Sorvano::kEditorWidth * Sorvano::kEditorHeight));
  const std::vector<std::uint32_t> picture = SurfacePixels(Editor());
  ASSERT_EQ(picture.size(), shot.size());
  std::size_t first = 0;
  while (first < shot.size() && shot[first] == picture[first]) ++first;
  EXPECT_EQ(first, shot.size()) << "first differing pixel at (" << first % Sorvano::kEditorWidth << ", "
                                << first / Sorvano::kEditorWidth << ")";
}

}  // namespace
}  // namespace sorvano::test
