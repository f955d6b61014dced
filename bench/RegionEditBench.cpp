// Costs of region editing: one draw of the view with 100 regions while 15
// new columns arrive, beside the same draw without regions; one drag step of
// the selected region from the mouse event to the engine's record; and how
// long the audio thread waits for the plug-in lock per block while the
// editor thread edits a region every millisecond, beside the same without
// edits (counters: max and 99.9th percentile, in microseconds).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <complex>
#include <memory>
#include <thread>
#include <vector>

#include "editor/PluginLink.h"
#include "editor/SorvanoControl.h"
#include "engine/Sorvano.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "graphics/PluginLockGate.h"

namespace sorvano {
namespace {

// Delivers 15 frames of noise-like spectra per read and counts records.
class FrameSource : public PluginLink {
public:
  IEffectBase* Effect() override { return nullptr; }
  int ReadSpectralFrames(std::complex<double>* dest, int* framePos) override {
    for (int i = 0; i < 15 * 1024; ++i) dest[i] = std::complex<double>((i * 7919 % 1000) * 0.01, 0.0);
    mPos += 15 * 1024;
    *framePos = mPos;
    return 15 * 1024;
  }
  int AddMod(const ModRegion*, double, double) override { return ++mCount; }
  int DeleteMod(int) override { return --mCount; }
  void UpdateMod(int, const ModRegion*, double, double) override {}
  void ClearMods() override { mCount = 0; }
  void ToggleModMute(int) override {}
  void ToggleModSolo(int) override {}
  void ToggleModBypass(int) override {}
  void CycleColorMap() override {}
  int ColorMapIndex() const override { return 0; }
  int mPos = 0;
  int mCount = 0;
};

void Click(OffscreenGraphics& g, int x, int y) {
  IMouseState m;
  m.L = 1;
  g.OnMouseDown(x, y, m);
  g.OnMouseUp(x, y);
}

void DrawWithRegions(benchmark::State& state, int regions) {
  FrameSource source;
  OffscreenGraphics graphics(640, 540);
  auto* view = new SorvanoControl(&source, nullptr);
  graphics.AttachControl(view);
  view->SetDropNeutral(false);
  for (int i = 0; i < regions; ++i) Click(graphics, 40 + (i % 20) * 26, 60 + (i / 20) * 55);
  const IRect all(0, 0, 640, 540);
  for (auto _ : state) graphics.Draw(all);
  state.counters["regions"] = double(view->InspectRegions().regions.size());
}

void BM_DrawNoRegions(benchmark::State& state) { DrawWithRegions(state, 0); }
void BM_Draw100Regions(benchmark::State& state) { DrawWithRegions(state, 100); }
BENCHMARK(BM_DrawNoRegions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw100Regions)->Unit(benchmark::kMillisecond);

// One drag step on the selected region, through the graphics object's mouse
// routing to the plug-in's record.
void BM_DragStepToEngine(benchmark::State& state) {
  Sorvano plug(nullptr);
  OffscreenGraphics graphics(640, 540);
  auto* view = new SorvanoControl(&plug, nullptr);
  graphics.AttachControl(view);
  Click(graphics, 200, 200);
  graphics.Draw(IRect(0, 0, 640, 540));
  IMouseState m;
  m.L = 1;
  graphics.OnMouseDown(205, 205, m);  // inside the selection: move it
  int x = 205;
  for (auto _ : state) {
    x = x == 205 ? 206 : 205;
    graphics.OnMouseDrag(x, 205, m);
  }
  benchmark::DoNotOptimize(plug.Mods().Records()[0].mStart);
}
BENCHMARK(BM_DragStepToEngine)->Unit(benchmark::kMicrosecond);

// The audio thread's wait for the plug-in lock per block (512 frames of
// processing under the lock), over 20,000 blocks.
void LockWait(benchmark::State& state, bool edits) {
  for (auto _ : state) {
    Sorvano plug(nullptr);
    plug.SetSampleRate(44100.0);
    constexpr int kBlocks = 20000;
    constexpr int kFrames = 512;
    std::vector<double> l(kFrames, 0.1), r(kFrames, 0.1);
    double* io[2] = {l.data(), r.data()};
    std::atomic<bool> done{false};
    std::thread editor([&] {
      if (!edits) return;
      int n = 0;
      while (!done.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const ModRegion region{1024 * (n % 50), 1024 * (n % 50) + 8192, 200, 4000, 10, 300};
        plug.ReserveMods(plug.Mods().Count() + 1);
        const PluginLockGate gate(&plug, nullptr);
        if (n % 4 == 0 && plug.Mods().Count() < 200) {
          plug.AddMod(&region, 0.5, 0.1);
        } else {
          plug.UpdateMod(n % std::max(plug.Mods().Count(), 1), &region, 0.5 + (n % 10) * 0.01, 0.2);
        }
        ++n;
      }
    });
    std::vector<double> waits;
    waits.reserve(kBlocks);
    for (int b = 0; b < kBlocks; ++b) {
      const auto t0 = std::chrono::steady_clock::now();
      plug.Lock();
      const auto t1 = std::chrono::steady_clock::now();
      plug.ProcessDoubleReplacing(io, io, kFrames);
      plug.Unlock();
      waits.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    done = true;
    editor.join();
    std::sort(waits.begin(), waits.end());
    state.counters["max_us"] = waits.back();
    state.counters["p999_us"] = waits[size_t(kBlocks * 0.999)];
    state.counters["blocks"] = kBlocks;
  }
}
void BM_LockWaitNoEdits(benchmark::State& state) { LockWait(state, false); }
void BM_LockWaitEditEveryMs(benchmark::State& state) { LockWait(state, true); }
BENCHMARK(BM_LockWaitNoEdits)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LockWaitEditEveryMs)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorvano

BENCHMARK_MAIN();
