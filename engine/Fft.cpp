#include "engine/Fft.h"

#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <numbers>

#include "engine/FftKernels.h"

namespace sorvano {

namespace {

// Positions of the bins for every size 2 ... 32768; size n starts at n - 2.
constexpr int kPermuteEntries = 2 * kFftMaxSize - 2;
std::array<std::int32_t, kPermuteEntries> gPermute;

// Laid out as FftKernels.h describes. Static storage: a transform that has to
// build the tables on first use (see Fft) allocates nothing.
std::array<double, kFftTwiddleDoubles> gTwiddles;

std::once_flag gInitOnce;

// The routines for this CPU; null until the tables are complete. Published
// with release order, so a thread that sees it also sees the tables.
std::atomic<const FftKernels*> gKernels{nullptr};

bool IsSupportedSize(int n) { return n >= kFftMinSize && n <= kFftMaxSize && (n & (n - 1)) == 0; }

int Log2(int n) { return std::countr_zero(static_cast<unsigned>(n)); }

// Frequency (in the e^(+) sense of the recursion) found at position p of a
// transformed buffer of size n: the first half holds the even frequencies,
// the third quarter those 1 modulo 4 and the last quarter those 3 modulo 4.
int FrequencyAt(int n, int p) {
  if (n <= 2) {
    return p;
  }
  if (p < n / 2) {
    return 2 * FrequencyAt(n / 2, p);
  }
  p -= n / 2;
  if (p < n / 4) {
    return 4 * FrequencyAt(n / 4, p) + 1;
  }
  p -= n / 4;
  return (4 * FrequencyAt(n / 4, p) - 1) & (n - 1);
}

void BuildPermutation() {
  for (int n = kFftMinSize; n <= kFftMaxSize; n *= 2) {
    std::int32_t* permute = gPermute.data() + (n - 2);
    for (int p = 0; p < n; ++p) {
      // Position p holds frequency f in the e^(+) sense, that is bin -f.
      permute[(n - FrequencyAt(n, p)) & (n - 1)] = p;
    }
  }
}

void BuildTwiddles() {
  for (int n = kFftTableMinSize; n <= kFftMaxSize; n *= 2) {
    double* block = gTwiddles.data() + (n - kFftTableMinSize);
    const double theta = 2.0 * std::numbers::pi / n;
    for (int j = 0; j < n / 4; ++j) {
      double* group = block + 8 * (j / 2) + (j % 2) * 2;
      const double re = std::cos(theta * j);
      const double im = std::sin(theta * j);
      group[0] = group[1] = re;
      group[4] = group[5] = im;
    }
  }
}

void BuildTables() {
  BuildPermutation();
  BuildTwiddles();
  gKernels.store(FftCpuHasAvx2Fma() ? &kFftKernelsAvx2 : &kFftKernelsSse2, std::memory_order_release);
}

}  // namespace

bool FftCpuHasAvx2Fma() { return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"); }

void FftInit() { std::call_once(gInitOnce, BuildTables); }

namespace {

// The routines FftInit chose, building the tables first when no FftInit has
// run yet (a caller that skipped it still gets a correct transform, and
// nothing is allocated). After that, one atomic load.
const FftKernels& ReadyKernels() {
  const FftKernels* kernels = gKernels.load(std::memory_order_acquire);
  if (kernels == nullptr) {
    FftInit();
    kernels = gKernels.load(std::memory_order_acquire);
  }
  return *kernels;
}

void Transform(const FftKernels& kernels, Complex* buffer, int n, bool inverse) {
  if (!IsSupportedSize(n) || buffer == nullptr) {
    return;
  }
  // std::complex<double> is layout-compatible with double[2].
  double* data = reinterpret_cast<double*>(buffer);
  const int log2n = Log2(n);
  (inverse ? kernels.inverse[log2n] : kernels.forward[log2n])(data, gTwiddles.data());
}

}  // namespace

void FftWith(const FftKernels& kernels, Complex* buffer, int n, bool inverse) {
  ReadyKernels();
  Transform(kernels, buffer, n, inverse);
}

void Fft(Complex* buffer, int n, bool inverse) { Transform(ReadyKernels(), buffer, n, inverse); }

int FftPermute(int n, int k) {
  if (!IsSupportedSize(n) || k < 0 || k >= n) {
    return -1;
  }
  ReadyKernels();
  return gPermute[static_cast<std::size_t>(n - 2 + k)];
}

}  // namespace sorvano
