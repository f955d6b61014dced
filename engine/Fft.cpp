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

// Position p of a transformed buffer of size n holds, in the e^(+) sense of
// the recursion, the frequency f_n(p): the first half the even frequencies
// 2 f_(n/2)(p), the third quarter 4 f_(n/4)(p') + 1 and the last quarter
// 4 f_(n/4)(p'') - 1 (modulo n), with p', p'' the offsets in those quarters.
// Bin k (e^(-) sense) is frequency -k, so solving f_n(p) = -k modulo n gives
//   perm_n[2m]     = perm_(n/2)[m]
//   perm_n[4m + 1] = 3n/4 + perm_(n/4)[m]
//   perm_n[4m + 3] = n/2 + perm_(n/4)[(m + 1) modulo n/4]
// with perm_1 = perm_2 = identity. Each size is built from the two below.
void BuildPermutation() {
  static constexpr std::int32_t kPermuteOfOne[1] = {0};
  gPermute[0] = 0;
  gPermute[1] = 1;
  for (int n = 4; n <= kFftMaxSize; n *= 2) {
    std::int32_t* permute = gPermute.data() + (n - 2);
    const std::int32_t* half = gPermute.data() + (n / 2 - 2);
    const std::int32_t* quarter = n == 4 ? kPermuteOfOne : gPermute.data() + (n / 4 - 2);
    const int quarterMask = n / 4 - 1;
    for (int m = 0; m < n / 2; ++m) {
      permute[2 * m] = half[m];
    }
    for (int m = 0; m < n / 4; ++m) {
      permute[4 * m + 1] = 3 * n / 4 + quarter[m];
      permute[4 * m + 3] = n / 2 + quarter[(m + 1) & quarterMask];
    }
  }
}

void BuildTwiddles() {
  for (int n = kFftTableMinSize; n <= kFftMaxSize; n *= 2) {
    double* block = gTwiddles.data() + FftTwiddleOffset(n);
    const double theta = 2.0 * std::numbers::pi / n;
    for (int j = 0; j < n / 4; ++j) {
      block[2 * j] = std::cos(theta * j);
      block[2 * j + 1] = std::sin(theta * j);
    }
  }
}

void BuildTables() {
  BuildPermutation();
  BuildTwiddles();
  gKernels.store(FftCpuHasAvx2Fma() ? &kFftKernelsAvx2 : &kFftKernelsSse2, std::memory_order_release);
}

}  // namespace

bool FftCpuHasAvx2Fma() {
  // Also safe before the runtime has set up its CPU data (static constructors).
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

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
