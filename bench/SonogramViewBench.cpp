// The sonogram view's costs, in one run:
//   - constructing the view (tables, panes, labels, images): target <= 5 ms;
//   - one Draw with 15 new columns (both panes, labels, playhead), following
//     playback so that the main pane pages every 14 ticks: target <= 2 ms;
//   - re-rendering both panes (the overview over the whole history, the main
//     pane over its last 5 s) at 1 minute, 1 hour and 13 hours of history:
//     target <= 16 ms at each, so the cost must not grow with the span;
//   - the same re-render by the plain hop-by-hop steps (the tests' reference)
//     at 1 minute and 1 hour, whose cost does grow with the span.
// Times are per iteration; compare the rows of one run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <complex>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "editor/ColumnHistory.h"
#include "editor/PluginLink.h"
#include "editor/SonogramPane.h"
#include "editor/SorvanoControl.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "tests/editor/PlainPane.h"

namespace {

using sorvano::ColumnHistory;
using sorvano::SonogramPane;
using sorvano::SorvanoControl;

constexpr int kRate = 44100;
constexpr int kColumn = 1024;
constexpr int kColumnsPerTick = 15;

// An endless ring: every read answers 15 frames of noise-like spectra at
// the next 15 hop positions.
class EndlessPlugin : public sorvano::PluginLink {
public:
  EndlessPlugin() : mFrames(static_cast<std::size_t>(kColumnsPerTick * kColumn)) {
    std::mt19937 rng(3);
    std::exponential_distribution<double> dist(1.0 / 20.0);
    for (auto& bin : mFrames) bin = {dist(rng), dist(rng)};
  }
  int ReadSpectralFrames(std::complex<double>* dest, int* framePos) override {
    std::copy(mFrames.begin(), mFrames.end(), dest);
    mPos += kColumnsPerTick * kColumn;
    *framePos = mPos;
    return static_cast<int>(mFrames.size());
  }
  sorvano::IEffectBase* Effect() override { return nullptr; }
  int AddMod(const sorvano::ModRegion*, double, double) override { return 0; }
  int DeleteMod(int) override { return 0; }
  void UpdateMod(int, const sorvano::ModRegion*, double, double) override {}
  void ClearMods() override {}
  void ToggleModMute(int) override {}
  void ToggleModSolo(int) override {}
  void ToggleModBypass(int) override {}
  void CycleColorMap() override {}
  int ColorMapIndex() const override { return 0; }

private:
  std::vector<std::complex<double>> mFrames;
  int mPos = 0;
};

void BM_ViewConstruction(benchmark::State& state) {
  EndlessPlugin plugin;
  for (auto _ : state) {
    auto view = std::make_unique<SorvanoControl>(&plugin, nullptr);
    benchmark::DoNotOptimize(view.get());
  }
}
BENCHMARK(BM_ViewConstruction)->Unit(benchmark::kMillisecond);

void BM_DrawTick15Columns(benchmark::State& state) {
  EndlessPlugin plugin;
  sorvano::OffscreenGraphics graphics(640, 540);
  SorvanoControl view(&plugin, nullptr);
  for (auto _ : state) view.Draw(graphics);
}
BENCHMARK(BM_DrawTick15Columns)->Unit(benchmark::kMillisecond);

// A history of `minutes` of playback, every column recorded.
ColumnHistory& HistoryOf(int minutes) {
  static std::unique_ptr<ColumnHistory> history;
  static int built = -1;
  if (built != minutes) {
    history = std::make_unique<ColumnHistory>();
    const int64_t columns = int64_t{minutes} * 60 * kRate / kColumn;
    std::mt19937 rng(5);
    for (int64_t c = 0; c < columns; ++c) {
      std::uint16_t* column = history->Column(static_cast<int32_t>(c * kColumn));
      // One distinct value per column: the content does not change the cost.
      if (column) std::fill_n(column, kColumn, static_cast<std::uint16_t>(rng() & 0x3FF));
    }
    built = minutes;
  }
  return *history;
}

struct Ranges {
  int32_t end;
  int32_t overviewEnd;
  int32_t mainStart;
};

Ranges RangesOf(int minutes) {
  const int32_t end = static_cast<int32_t>(int64_t{minutes} * 60 * kRate / kColumn * kColumn);
  return {end, end + 441344, end - SorvanoControl::kMainSpan};
}

void BM_ReRenderBothPanes(benchmark::State& state) {
  const int minutes = static_cast<int>(state.range(0));
  ColumnHistory& history = HistoryOf(minutes);
  const Ranges r = RangesOf(minutes);
  SonogramPane main(SorvanoControl::kMainRect, 0, SorvanoControl::kMainSpan, kRate);
  SonogramPane overview(SorvanoControl::kOverviewRect, 0, SorvanoControl::kOverviewSpan, kRate);
  for (auto _ : state) {
    overview.SetTimeRange(0, r.overviewEnd, history);
    main.SetTimeRange(r.mainStart, r.end, history);
    benchmark::DoNotOptimize(overview.Pixels());
    benchmark::DoNotOptimize(main.Pixels());
  }
}
BENCHMARK(BM_ReRenderBothPanes)->Arg(1)->Arg(60)->Arg(780)->Unit(benchmark::kMillisecond);

void BM_ReRenderBothPanesPlainSteps(benchmark::State& state) {
  const int minutes = static_cast<int>(state.range(0));
  ColumnHistory& history = HistoryOf(minutes);
  const Ranges r = RangesOf(minutes);
  const sorvano::IRect m = SorvanoControl::kMainRect;
  const sorvano::IRect o = SorvanoControl::kOverviewRect;
  sorvano::test::PlainPane main(m.W(), m.H(), 0, 1023);
  sorvano::test::PlainPane overview(o.W(), o.H(), 0, 1023);
  for (auto _ : state) {
    overview.SetTimeRange(0, r.overviewEnd, history);
    main.SetTimeRange(r.mainStart, r.end, history);
    benchmark::DoNotOptimize(overview.Pixels().data());
    benchmark::DoNotOptimize(main.Pixels().data());
  }
}
BENCHMARK(BM_ReRenderBothPanesPlainSteps)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
