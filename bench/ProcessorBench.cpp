// The STFT processor through ProcessDoubleReplacing, against the bare lower
// bound of the same work done with FFTW, in one run.
//
// - Processor/N: stereo noise at 44.1 kHz in blocks of 512 frames on an
//   advancing host timeline, with N regions active in every frame (half of
//   them with fades in time and frequency, one soloed).
// - LowerBound: per 1024-sample hop, windowing of a 2048-point frame, one
//   forward and one inverse FFTW transform of 2048 complex points (planned
//   with FFTW_MEASURE) and the overlap-add of 1024 output samples.
//
// Every benchmark's CPU time is converted to a real-time factor (seconds of
// audio per second of CPU) and printed, after all of them ran, as ratios to
// the lower bound; the regions' cost is given per region as a share of the
// cost of one frame without regions.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "engine/Sorvano.h"
#include "tests/engine/TimelineHost.h"
#include "tests/support/Noise.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kFrame = 2048;
constexpr int kHop = 1024;
// Noise buffers long enough that the blocks do not repeat within a frame.
constexpr int kNoiseLength = 1 << 16;

using sorvano::test::Noise;

// Regions spanning the whole timeline, so that every frame applies them; a
// spread of bands, every second one with a fade, the first one soloed.
void AddRegions(sorvano::Sorvano& plug, int count) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> low(0, 16000);
  std::uniform_int_distribution<int> width(200, 4000);
  std::uniform_real_distribution<double> gain(0.0, 2.0);
  for (int i = 0; i < count; ++i) {
    const int lo = low(rng);
    const sorvano::ModRegion region{0, 1 << 30, lo, lo + width(rng), 0, 0};
    plug.AddMod(&region, gain(rng), i % 2 == 0 ? 0.0 : 0.3);
  }
  if (count > 0) plug.ToggleModSolo(0);
}

void Processor(benchmark::State& state) {
  sorvano::test::TimelineHost host;
  sorvano::Sorvano plug(sorvano::test::TimelineHost::Callback());
  host.Attach(plug);
  host.Dispatch(vst::effOpen);
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
  host.Dispatch(vst::effSetBlockSize, 0, kBlock);
  host.Dispatch(vst::effMainsChanged, 0, 1);
  AddRegions(plug, static_cast<int>(state.range(0)));

  std::vector<double> left = Noise(kNoiseLength, 1), right = Noise(kNoiseLength, 2);
  std::vector<double> outL(kBlock), outR(kBlock);
  int64_t pos = 0;
  for (auto _ : state) {
    const size_t offset = static_cast<size_t>(pos % kNoiseLength);
    double* in[2] = {left.data() + offset, right.data() + offset};
    double* out[2] = {outL.data(), outR.data()};
    host.SetPosition(static_cast<double>(pos));
    plug.ProcessDoubleReplacing(in, out, kBlock);
    benchmark::DoNotOptimize(outL.data());
    pos += kBlock;
    // Stay on the int32 timeline; a jump back only resets the ring.
    if (pos > (1 << 30)) pos = 0;
  }
  state.counters["samples"] = kBlock;
}

// The least any 2048/1024 STFT of a stereo (packed complex) signal must do
// per hop: window, transform forward and back, overlap-add.
void LowerBound(benchmark::State& state) {
  fftw_complex* frame = fftw_alloc_complex(kFrame);
  fftw_plan forward = fftw_plan_dft_1d(kFrame, frame, frame, FFTW_FORWARD, FFTW_MEASURE);
  fftw_plan backward = fftw_plan_dft_1d(kFrame, frame, frame, FFTW_BACKWARD, FFTW_MEASURE);
  std::vector<double> window(kFrame);
  for (int i = 0; i < kFrame; ++i) {
    window[static_cast<size_t>(i)] = 0.42 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (kFrame - 1)) +
                                     0.08 * std::cos(4.0 * std::numbers::pi * i / (kFrame - 1));
  }
  std::vector<double> norm(kHop);
  for (int i = 0; i < kHop; ++i) norm[static_cast<size_t>(i)] = 1.0 / (window[static_cast<size_t>(i)] + window[static_cast<size_t>(i + kHop)]);
  std::vector<double> left = Noise(kNoiseLength, 1), right = Noise(kNoiseLength, 2);
  std::vector<double> tail(2 * kHop, 0.0);  // second half of the previous frame
  std::vector<double> outL(kHop), outR(kHop);
  const double scale = 1.0 / kFrame;
  size_t offset = 0;
  for (auto _ : state) {
    const double* l = left.data() + offset;
    const double* r = right.data() + offset;
    for (int i = 0; i < kFrame; ++i) {
      frame[i][0] = window[static_cast<size_t>(i)] * l[i];
      frame[i][1] = window[static_cast<size_t>(i)] * r[i];
    }
    fftw_execute(forward);
    fftw_execute(backward);
    for (int i = 0; i < kHop; ++i) {
      const double n = norm[static_cast<size_t>(i)] * scale;
      outL[static_cast<size_t>(i)] = (frame[i][0] + tail[2 * static_cast<size_t>(i)]) * n;
      outR[static_cast<size_t>(i)] = (frame[i][1] + tail[2 * static_cast<size_t>(i) + 1]) * n;
      tail[2 * static_cast<size_t>(i)] = frame[i + kHop][0];
      tail[2 * static_cast<size_t>(i) + 1] = frame[i + kHop][1];
    }
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    offset += kHop;
    if (offset + kFrame > left.size()) offset = 0;
  }
  state.counters["samples"] = kHop;
  fftw_destroy_plan(forward);
  fftw_destroy_plan(backward);
  fftw_free(frame);
}

BENCHMARK(LowerBound)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Processor)->Arg(0)->Arg(10)->Arg(100)->Repetitions(9)->ReportAggregatesOnly(true);

// Keeps the median CPU time per sample of every benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.aggregate_name != "median") continue;
      const auto samples = run.counters.find("samples");
      if (samples == run.counters.end()) continue;
      // CPU seconds per iteration over samples per iteration.
      const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      mSecondsPerSample[name] = seconds / samples->second.value;
    }
  }

  void PrintSummary() const {
    const auto bound = mSecondsPerSample.find("LowerBound");
    if (bound == mSecondsPerSample.end()) return;
    std::printf("\nReal-time factor (seconds of audio per CPU second) and cost relative to the lower bound:\n");
    for (const auto& [name, secondsPerSample] : mSecondsPerSample) {
      std::printf("  %-16s RTF %8.1f   cost %.2f x lower bound\n", name.c_str(), 1.0 / (secondsPerSample * kRate),
                  secondsPerSample / bound->second);
    }
    const auto none = mSecondsPerSample.find("Processor/0");
    if (none == mSecondsPerSample.end()) return;
    for (const char* name : {"Processor/10", "Processor/100"}) {
      const auto with = mSecondsPerSample.find(name);
      if (with == mSecondsPerSample.end()) continue;
      const int count = std::stoi(std::string(name).substr(10));
      const double perRegion = (with->second - none->second) / count;
      std::printf("  %-16s per region: %.2f %% of a frame without regions (%.0f ns per frame)\n", name,
                  100.0 * perRegion / none->second, perRegion * kHop * 1e9);
    }
  }

private:
  std::map<std::string, double> mSecondsPerSample;
};

}  // namespace

int main(int argc, char** argv) {
  // Repetitions of the benchmarks are interleaved in random order unless the
  // command line says otherwise, so that a machine whose load drifts during
  // the run biases no benchmark against another.
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
