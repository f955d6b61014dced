// Colouring a whole main pane (546 x 313) with ColorMap against a reference
// loop that evaluates the three-ramp channel formula for every pixel. Compare
// the two times of one run; the ratio is what counts.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "editor/ColorMap.h"

namespace {

constexpr int kW = 546;
constexpr int kH = 313;
constexpr int kMultiplier = 12;

struct PaneData {
  std::vector<std::uint16_t> mags = std::vector<std::uint16_t>(kW * kH);
  std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(kW * kH);
  PaneData() {
    std::mt19937 rng(7);
    // Mostly quiet with some loud bins, like a real spectrum.
    std::exponential_distribution<double> dist(1.0 / 40.0);
    for (auto& m : mags) m = static_cast<std::uint16_t>(std::min(dist(rng), 65535.0));
  }
};

void BM_ColorMapPane(benchmark::State& state) {
  PaneData pane;
  sorvano::ColorMap map;
  const sorvano::MagnitudeImage mags{pane.mags.data(), kW, kH, kH};
  const sorvano::PixelImage pixels{pane.pixels.data(), kW, kH, kW};
  for (auto _ : state) {
    map.ColorRect(mags, pixels, 0, kW, 0, kH, 0, kMultiplier);
    benchmark::DoNotOptimize(pane.pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_ColorMapPane);

// The formula evaluated per pixel, with the "pompeii" key colours.
void BM_ReferenceFormulaPane(benchmark::State& state) {
  PaneData pane;
  const int key[3][3] = {{255, 94, 0}, {255, 231, 10}, {255, 255, 255}};
  for (auto _ : state) {
    for (int r = 0; r < kH; ++r) {
      std::uint32_t* line = pane.pixels.data() + (kH - 1 - r) * kW;
      for (int x = 0; x < kW; ++x) {
        int n = kMultiplier * pane.mags[static_cast<std::size_t>(x * kH + r)];
        int ch[3];
        for (int c = 0; c < 3; ++c) {
          if (n < 256) {
            ch[c] = key[0][c] * n / 256;
          } else if (n < 768) {
            const int m = n - 256;
            ch[c] = (key[0][c] * (512 - m) + key[1][c] * m) / 512;
          } else {
            const int m = (n > 1024 ? 1024 : n) - 768;
            ch[c] = (key[1][c] * (256 - m) + key[2][c] * m) / 256;
          }
        }
        line[x] = 0xFF000000u | static_cast<std::uint32_t>(ch[0]) << 16 | static_cast<std::uint32_t>(ch[1]) << 8 |
                  static_cast<std::uint32_t>(ch[2]);
      }
    }
    benchmark::DoNotOptimize(pane.pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_ReferenceFormulaPane);

}  // namespace

BENCHMARK_MAIN();
