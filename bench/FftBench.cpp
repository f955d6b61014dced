// Our FFT against FFTW in the same run: one forward plus one inverse
// transform, in place, double complex, at 256, 2048 and 16384 points. FFTW is
// planned with FFTW_MEASURE. "Ours" runs the routines FftInit chose for this
// CPU, "OursSse2" the baseline routines every x86-64 runs. After the
// benchmarks the program prints, per size, the ratio of our time to FFTW's
// (CPU time per pair, minimum and median over the repetitions). Other processes share the machine, so run it with
// repetitions and interleaving, for example
//   FftBench --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true

#include "engine/Fft.h"
#include "engine/FftKernels.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kSizes[] = {256, 2048, 16384};

// A forward plus inverse pair multiplies the data by N; the buffer is reset
// from the input every kPairsPerReset pairs, long before it could overflow
// (16384^32 is about 1e135), and the reset costs both sides the same.
constexpr int kPairsPerReset = 32;

// Input data in a buffer from fftw_malloc, for both sides alike.
class Signal {
 public:
  explicit Signal(int n) : mSize(n) {
    mInput = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * static_cast<size_t>(n)));
    mWork = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * static_cast<size_t>(n)));
    unsigned state = 12345u;
    for (int i = 0; i < n; ++i) {
      for (double& part : mInput[i]) {
        state = state * 1664525u + 1013904223u;
        part = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
      }
    }
    Reset();
  }
  ~Signal() {
    fftw_free(mInput);
    fftw_free(mWork);
  }
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;

  void Reset() { std::memcpy(mWork, mInput, sizeof(fftw_complex) * static_cast<size_t>(mSize)); }
  fftw_complex* Work() { return mWork; }

 private:
  int mSize;
  fftw_complex* mInput;
  fftw_complex* mWork;
};

void RunOurs(benchmark::State& state, const sorvano::FftKernels* kernels) {
  const int n = static_cast<int>(state.range(0));
  sorvano::FftInit();
  Signal signal(n);
  auto* buffer = reinterpret_cast<sorvano::Complex*>(signal.Work());
  int pairs = 0;
  for (auto _ : state) {
    if (kernels == nullptr) {
      sorvano::Fft(buffer, n, false);
      sorvano::Fft(buffer, n, true);
    } else {
      sorvano::FftWith(*kernels, buffer, n, false);
      sorvano::FftWith(*kernels, buffer, n, true);
    }
    benchmark::DoNotOptimize(buffer);
    benchmark::ClobberMemory();
    if (++pairs == kPairsPerReset) {
      signal.Reset();
      pairs = 0;
    }
  }
}

void BM_Ours(benchmark::State& state) { RunOurs(state, nullptr); }
void BM_OursSse2(benchmark::State& state) { RunOurs(state, &sorvano::kFftKernelsSse2); }

void BM_Fftw(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Signal signal(n);
  fftw_complex* buffer = signal.Work();
  // FFTW_MEASURE overwrites the buffer while planning.
  fftw_plan forward = fftw_plan_dft_1d(n, buffer, buffer, FFTW_FORWARD, FFTW_MEASURE);
  fftw_plan inverse = fftw_plan_dft_1d(n, buffer, buffer, FFTW_BACKWARD, FFTW_MEASURE);
  signal.Reset();
  int pairs = 0;
  for (auto _ : state) {
    fftw_execute(forward);
    fftw_execute(inverse);
    benchmark::DoNotOptimize(buffer);
    benchmark::ClobberMemory();
    if (++pairs == kPairsPerReset) {
      signal.Reset();
      pairs = 0;
    }
  }
  fftw_destroy_plan(forward);
  fftw_destroy_plan(inverse);
}

// Passes every run on to the console and keeps the CPU time per pair of each
// repetition, by implementation and size.
class RatioCollector : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that saved output stays plain text.
  RatioCollector() : ConsoleReporter(isatty(fileno(stdout)) != 0 ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) {
        continue;
      }
      mTimes[{run.run_name.function_name, std::stoi(run.run_name.args)}].push_back(
          run.cpu_accumulated_time / static_cast<double>(run.iterations));
    }
  }

  void PrintRatios() const {
    for (const char* ours : {"Ours", "OursSse2"}) {
      for (int n : kSizes) {
        const auto oursTimes = mTimes.find({ours, n});
        const auto fftwTimes = mTimes.find({"Fftw", n});
        if (oursTimes == mTimes.end() || fftwTimes == mTimes.end()) {
          continue;
        }
        std::printf("ratio %s/FFTW at N = %5d: %.3f (minimum), %.3f (median) over %zu/%zu runs\n", ours, n,
                    Minimum(oursTimes->second) / Minimum(fftwTimes->second),
                    Median(oursTimes->second) / Median(fftwTimes->second), oursTimes->second.size(),
                    fftwTimes->second.size());
      }
    }
  }

 private:
  static double Minimum(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }
  static double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    return times.size() % 2 != 0 ? times[middle] : 0.5 * (times[middle - 1] + times[middle]);
  }

  std::map<std::pair<std::string, int>, std::vector<double>> mTimes;
};

}  // namespace

int main(int argc, char** argv) {
  for (int n : kSizes) {
    benchmark::RegisterBenchmark("Ours", BM_Ours)->Arg(n)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Fftw", BM_Fftw)->Arg(n)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("OursSse2", BM_OursSse2)->Arg(n)->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  RatioCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  fftw_cleanup();
  return 0;
}
