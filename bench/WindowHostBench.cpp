// The window host's costs under a real X server (DISPLAY; start Xvfb first):
//   - the editor thread's CPU while the whole 640 x 540 editor is redrawn at
//     every tick (18 a second), as a share of one core and per tick;
//   - the time from OpenWindow to the first complete picture presented.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "framework/IEffectParam.h"
#include "graphics/IEditorControl.h"
#include "graphics/platform/HostFrameWindow.h"
#include "graphics/platform/IEditorWindow.h"

namespace sorvano {
namespace {

using Clock = std::chrono::steady_clock;

// Fills the editor and asks for the next redraw at once, so every tick
// redraws and presents the whole window.
class BusyControl : public IEditorControl {
public:
  BusyControl(const IRect& rect) : IEditorControl(nullptr, rect, -1) {}
  bool Draw(IEditorGraphics& graphics) override {
    shade = (shade + 1) & 0xff;
    Redraw();
    return graphics.FillRect(IColor(255, shade, 64, 255 - shade), GetRect(), nullptr);
  }
  int shade = 0;
};

// Tells when a picture was presented.
class TimedWindow : public IEditorWindow {
public:
  TimedWindow() : IEditorWindow(nullptr, 640, 540, 18) {}
  bool PresentRect(const IRect& rect) override {
    const bool shown = IEditorWindow::PresentRect(rect);
    presents.fetch_add(1, std::memory_order_release);
    return shown;
  }
  std::atomic<int> presents{0};
};

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// A host frame mapped on the X server in DISPLAY and an editor for it,
// prepared to draw; the busy one redraws everything at every tick.
struct FramedEditor {
  explicit FramedEditor(bool busy) : frame(640, 540, "bench") {
    if (frame.Ok()) frame.Map();
    if (busy) editor.AttachControl(new BusyControl(IRect(0, 0, 640, 540)));
    editor.PrepareDraw();
  }
  // Reports the benchmark as skipped when there is no X server.
  bool Ready(benchmark::State& state) {
    if (frame.Ok()) return true;
    state.SkipWithError("no X server in DISPLAY");
    return false;
  }
  void Open() { editor.OpenWindow(reinterpret_cast<void*>(static_cast<std::uintptr_t>(frame.Window()))); }

  x11::HostFrameWindow frame;
  TimedWindow editor;
};

void BM_EditorThreadFullRedrawEveryTick(benchmark::State& state) {
  FramedEditor framed(true);
  if (!framed.Ready(state)) return;
  TimedWindow& editor = framed.editor;
  for (auto _ : state) {
    framed.Open();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int ticks0 = editor.presents.load();
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const double cpu = ProcessCpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const int ticks = editor.presents.load() - ticks0;
    editor.CloseWindow();
    state.counters["redraws_per_s"] = ticks / wall;
    state.counters["cpu_pct_of_core"] = 100.0 * cpu / wall;
    state.counters["ms_per_tick"] = ticks > 0 ? 1000.0 * cpu / ticks : 0.0;
  }
}
BENCHMARK(BM_EditorThreadFullRedrawEveryTick)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_EditorThreadIdleNothingDirty(benchmark::State& state) {
  FramedEditor framed(false);
  if (!framed.Ready(state)) return;
  TimedWindow& editor = framed.editor;
  for (auto _ : state) {
    framed.Open();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int presents0 = editor.presents.load();
    const double cpu0 = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double cpu = ProcessCpuSeconds() - cpu0;
    state.counters["presents"] = editor.presents.load() - presents0;
    state.counters["cpu_pct_of_core"] = 100.0 * cpu / 2.0;
    editor.CloseWindow();
  }
}
BENCHMARK(BM_EditorThreadIdleNothingDirty)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OpenToFirstPicture(benchmark::State& state) {
  FramedEditor framed(true);
  if (!framed.Ready(state)) return;
  TimedWindow& editor = framed.editor;
  for (auto _ : state) {
    const int before = editor.presents.load(std::memory_order_acquire);
    const auto t0 = Clock::now();
    framed.Open();
    while (editor.presents.load(std::memory_order_acquire) == before) std::this_thread::yield();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    editor.CloseWindow();
  }
}
BENCHMARK(BM_OpenToFirstPicture)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorvano

BENCHMARK_MAIN();
