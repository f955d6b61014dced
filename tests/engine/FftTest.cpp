#include "engine/Fft.h"

#include "engine/FftKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace sorvano {
namespace {

using LongComplex = std::complex<long double>;

std::vector<int> SupportedSizes() {
  std::vector<int> sizes;
  for (int n = kFftMinSize; n <= kFftMaxSize; n *= 2) {
    sizes.push_back(n);
  }
  return sizes;
}

std::vector<Complex> RandomData(int n, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::vector<Complex> data(static_cast<std::size_t>(n));
  for (Complex& z : data) {
    z = Complex(value(generator), value(generator));
  }
  return data;
}

// e^(sign 2 pi i k / n) for k = 0 ... n - 1, in long double.
std::vector<LongComplex> LongRoots(int n, int sign) {
  std::vector<LongComplex> roots(static_cast<std::size_t>(n));
  const long double theta = sign * 2.0L * std::numbers::pi_v<long double> / n;
  for (int k = 0; k < n; ++k) {
    roots[static_cast<std::size_t>(k)] = LongComplex(std::cos(theta * k), std::sin(theta * k));
  }
  return roots;
}

// X[k] = sum_n x[n] e^(-2 pi i n k / N) by the definition, natural order.
std::vector<LongComplex> DirectDft(const std::vector<Complex>& x) {
  const int n = static_cast<int>(x.size());
  const std::vector<LongComplex> roots = LongRoots(n, -1);
  std::vector<LongComplex> spectrum(x.size());
  for (int k = 0; k < n; ++k) {
    LongComplex sum = 0;
    for (int t = 0; t < n; ++t) {
      sum += LongComplex(x[static_cast<std::size_t>(t)]) *
             roots[static_cast<std::size_t>((static_cast<std::int64_t>(t) * k) % n)];
    }
    spectrum[static_cast<std::size_t>(k)] = sum;
  }
  return spectrum;
}

// The same transform by a plain iterative radix-2 FFT (bit-reversed input,
// natural-order output), for the sizes where the definition is too slow.
std::vector<LongComplex> Radix2Dft(const std::vector<Complex>& x) {
  const std::size_t n = x.size();
  std::vector<LongComplex> a(n);
  for (std::size_t i = 0, reversed = 0; i < n; ++i) {
    a[reversed] = LongComplex(x[i]);
    std::size_t bit = n >> 1;
    for (; bit != 0 && (reversed & bit) != 0; bit >>= 1) {
      reversed ^= bit;
    }
    reversed |= bit;
  }
  const std::vector<LongComplex> roots = LongRoots(static_cast<int>(n), -1);
  for (std::size_t length = 2; length <= n; length *= 2) {
    const std::size_t stride = n / length;
    for (std::size_t start = 0; start < n; start += length) {
      for (std::size_t j = 0; j < length / 2; ++j) {
        const LongComplex even = a[start + j];
        const LongComplex odd = a[start + j + length / 2] * roots[j * stride];
        a[start + j] = even + odd;
        a[start + j + length / 2] = even - odd;
      }
    }
  }
  return a;
}

std::vector<LongComplex> ReferenceDft(const std::vector<Complex>& x) {
  return x.size() <= 512 ? DirectDft(x) : Radix2Dft(x);
}

// The forward output read back into natural bin order through FftPermute.
std::vector<Complex> InBinOrder(const std::vector<Complex>& transformed) {
  const int n = static_cast<int>(transformed.size());
  std::vector<Complex> bins(transformed.size());
  for (int k = 0; k < n; ++k) {
    bins[static_cast<std::size_t>(k)] = transformed[static_cast<std::size_t>(FftPermute(n, k))];
  }
  return bins;
}

// ||actual - expected|| / ||expected|| in the 2-norm.
double RelativeError(const std::vector<Complex>& actual, const std::vector<LongComplex>& expected) {
  long double error = 0;
  long double norm = 0;
  for (std::size_t i = 0; i < actual.size(); ++i) {
    error += std::norm(LongComplex(actual[i]) - expected[i]);
    norm += std::norm(expected[i]);
  }
  return static_cast<double>(std::sqrt(error / norm));
}

// Tolerance of a transform against the long double reference, relative to
// the norm of the spectrum. A split-radix FFT in doubles with correctly
// rounded twiddles has a relative 2-norm error of about c * eps * log2(N),
// eps = 2^-53 = 1.1e-16 and c a small constant; at N = 32768 that is below
// 1e-14. The reference in long double adds less than a thousandth of that.
// 1e-9 leaves five orders of magnitude of headroom for rounding, while any
// real fault (a wrong twiddle, sign or position) moves whole bins and gives an
// error of order 1.
constexpr double kRelativeTolerance = 1e-9;

// The routines a test runs: the ones Fft chose for this CPU, or one
// instruction set's directly, so that every set this CPU can run is checked.
struct KernelChoice {
  const char* name;
  const FftKernels* kernels;  // null: the public Fft
  bool needsAvx2;
};

const KernelChoice kChosen{"Chosen", nullptr, false};
const KernelChoice kSse2{"Sse2", &kFftKernelsSse2, false};
const KernelChoice kAvx2{"Avx2", &kFftKernelsAvx2, true};

class FftSizes : public ::testing::TestWithParam<std::tuple<KernelChoice, int>> {
 protected:
  void SetUp() override {
    if (Choice().needsAvx2 && !FftCpuHasAvx2Fma()) {
      GTEST_SKIP() << "this CPU has no AVX2 with FMA";
    }
    FftInit();
  }
  const KernelChoice& Choice() const { return std::get<0>(GetParam()); }
  int Size() const { return std::get<1>(GetParam()); }
  void Transform(Complex* buffer, bool inverse) const {
    if (Choice().kernels == nullptr) {
      Fft(buffer, Size(), inverse);
    } else {
      FftWith(*Choice().kernels, buffer, Size(), inverse);
    }
  }
};

TEST_P(FftSizes, ImpulseGivesAFlatSpectrum) {
  const int n = Size();
  std::vector<Complex> data(static_cast<std::size_t>(n), Complex(0.0, 0.0));
  data[0] = Complex(1.0, 0.0);
  Transform(data.data(), false);
  for (int p = 0; p < n; ++p) {
    // Only additions of 1 and 0 and products with twiddles of modulus 1.
    EXPECT_NEAR(data[static_cast<std::size_t>(p)].real(), 1.0, 1e-13) << "position " << p;
    EXPECT_NEAR(data[static_cast<std::size_t>(p)].imag(), 0.0, 1e-13) << "position " << p;
  }
}

TEST_P(FftSizes, ToneLandsOnItsPermutedBin) {
  const int n = Size();
  const std::vector<LongComplex> roots = LongRoots(n, +1);
  for (int k : {0, 1, 2, n / 4 + 1, n / 2, n / 2 + 1, 3 * n / 4, n - 1, (n * 5) / 7}) {
    k %= n;
    std::vector<Complex> data(static_cast<std::size_t>(n));
    for (int t = 0; t < n; ++t) {
      const LongComplex z = roots[static_cast<std::size_t>((static_cast<std::int64_t>(t) * k) % n)];
      data[static_cast<std::size_t>(t)] = Complex(static_cast<double>(z.real()), static_cast<double>(z.imag()));
    }
    Transform(data.data(), false);
    const int peak = FftPermute(n, k);
    double worst = 0.0;
    int worstPosition = 0;
    for (int p = 0; p < n; ++p) {
      const Complex expected = p == peak ? Complex(n, 0.0) : Complex(0.0, 0.0);
      const double error = std::abs(data[static_cast<std::size_t>(p)] - expected);
      if (error > worst) {
        worst = error;
        worstPosition = p;
      }
    }
    EXPECT_LE(worst, kRelativeTolerance * n) << "k = " << k << ", worst at position " << worstPosition;
  }
}

TEST_P(FftSizes, ForwardMatchesTheReferenceTransform) {
  const int n = Size();
  const std::vector<Complex> input = RandomData(n, 1000u + static_cast<unsigned>(n));
  std::vector<Complex> data = input;
  Transform(data.data(), false);
  EXPECT_LT(RelativeError(InBinOrder(data), ReferenceDft(input)), kRelativeTolerance);
}

// With the forward transform checked against the reference, the round trip
// pins the inverse down as well: it must be N times the inverse of forward.
TEST_P(FftSizes, InverseUndoesForwardTimesN) {
  const int n = Size();
  const std::vector<Complex> input = RandomData(n, 2000u + static_cast<unsigned>(n));
  std::vector<Complex> data = input;
  Transform(data.data(), false);
  Transform(data.data(), true);
  std::vector<LongComplex> expected(input.size());
  for (std::size_t i = 0; i < input.size(); ++i) {
    expected[i] = LongComplex(input[i]) * static_cast<long double>(n);
  }
  EXPECT_LT(RelativeError(data, expected), kRelativeTolerance);
}

TEST_P(FftSizes, UnalignedBufferTransformsInPlaceAndLeavesGuardsAlone) {
  const int n = Size();
  constexpr int kGuard = 4;
  constexpr double kGuardValue = -12345.678;
  // Room for the guards and the buffer, started 8 bytes past a 16-byte
  // boundary so that no complex value is 16-byte aligned.
  const std::size_t doubles = 2 * static_cast<std::size_t>(n + 2 * kGuard) + 2;
  std::vector<double> storage(doubles + 2, kGuardValue);
  double* start = storage.data();
  if (reinterpret_cast<std::uintptr_t>(start) % 16 == 0) {
    ++start;
  }
  Complex* guarded = reinterpret_cast<Complex*>(start);
  Complex* buffer = guarded + kGuard;
  ASSERT_EQ(reinterpret_cast<std::uintptr_t>(buffer) % 16, 8u);

  const std::vector<Complex> input = RandomData(n, 3000u + static_cast<unsigned>(n));
  std::copy(input.begin(), input.end(), buffer);
  Transform(buffer, false);
  EXPECT_LT(RelativeError(InBinOrder(std::vector<Complex>(buffer, buffer + n)), ReferenceDft(input)),
            kRelativeTolerance);
  Transform(buffer, true);
  for (int i = 0; i < n; ++i) {
    ASSERT_LE(std::abs(buffer[i] - input[static_cast<std::size_t>(i)] * static_cast<double>(n)),
              kRelativeTolerance * n)
        << "position " << i;
  }
  for (int i = 0; i < kGuard; ++i) {
    EXPECT_EQ(guarded[i], Complex(kGuardValue, kGuardValue));
    EXPECT_EQ(buffer[n + i], Complex(kGuardValue, kGuardValue));
  }
}

INSTANTIATE_TEST_SUITE_P(AllSizes, FftSizes,
                         ::testing::Combine(::testing::Values(kChosen, kSse2, kAvx2),
                                            ::testing::ValuesIn(SupportedSizes())),
                         [](const ::testing::TestParamInfo<FftSizes::ParamType>& info) {
                           return std::string(std::get<0>(info.param).name) + "N" +
                                  std::to_string(std::get<1>(info.param));
                         });

TEST(FftPermutation, IsABijectionFixingBinZeroAtEverySize) {
  FftInit();
  for (int n : SupportedSizes()) {
    std::vector<bool> seen(static_cast<std::size_t>(n), false);
    for (int k = 0; k < n; ++k) {
      const int position = FftPermute(n, k);
      ASSERT_GE(position, 0) << "n = " << n << ", k = " << k;
      ASSERT_LT(position, n) << "n = " << n << ", k = " << k;
      ASSERT_FALSE(seen[static_cast<std::size_t>(position)]) << "n = " << n << ", k = " << k;
      seen[static_cast<std::size_t>(position)] = true;
    }
    EXPECT_EQ(FftPermute(n, 0), 0) << "n = " << n;
  }
}

// The frequency (e^(+) sense) at position p, straight from the recursion:
// even frequencies in the first half, 1 modulo 4 in the third quarter,
// 3 modulo 4 in the last.
int FrequencyAt(int n, int p) {
  if (n <= 2) {
    return p;
  }
  if (p < n / 2) {
    return 2 * FrequencyAt(n / 2, p);
  }
  if (p < 3 * n / 4) {
    return 4 * FrequencyAt(n / 4, p - n / 2) + 1;
  }
  return (4 * FrequencyAt(n / 4, p - 3 * n / 4) - 1) & (n - 1);
}

TEST(FftPermutation, EveryPositionHoldsTheBinOfItsFrequency) {
  FftInit();
  for (int n : SupportedSizes()) {
    for (int p = 0; p < n; ++p) {
      const int bin = (n - FrequencyAt(n, p)) & (n - 1);
      ASSERT_EQ(FftPermute(n, bin), p) << "n = " << n << ", position " << p;
    }
  }
}

TEST(FftPermutation, SmallSizesHaveTheirKnownOrder) {
  FftInit();
  EXPECT_EQ(FftPermute(2, 0), 0);
  EXPECT_EQ(FftPermute(2, 1), 1);
  const int expected4[] = {0, 3, 1, 2};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(FftPermute(4, k), expected4[k]) << "k = " << k;
  }
  // Positions 0..3 hold the even frequencies 0, 4, 2, 6, positions 4 and 5
  // the frequencies 1 and 5, positions 6 and 7 the frequencies 7 and 3, all
  // in the e^(+) sense; bin k sits where frequency -k does.
  const int expected8[] = {0, 6, 3, 5, 1, 7, 2, 4};
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(FftPermute(8, k), expected8[k]) << "k = " << k;
  }
}

TEST(FftPermutation, RejectsSizesAndBinsOutOfRange) {
  FftInit();
  for (int n : {0, 1, 3, 6, 12, -2, -16, 65536, std::numeric_limits<int>::min(),
                std::numeric_limits<int>::max()}) {
    EXPECT_EQ(FftPermute(n, 0), -1) << "n = " << n;
  }
  EXPECT_EQ(FftPermute(16, -1), -1);
  EXPECT_EQ(FftPermute(16, 16), -1);
  EXPECT_EQ(FftPermute(32768, 32768), -1);
  EXPECT_EQ(FftPermute(32768, std::numeric_limits<int>::min()), -1);
}

TEST(FftUnsupportedSizes, LeaveTheBufferUnchanged) {
  FftInit();
  const std::vector<Complex> input = RandomData(2 * kFftMaxSize, 4000u);
  for (int n : {0, 1, 3, 6, 12, 1000, -1, -2048, 65536, std::numeric_limits<int>::min()}) {
    for (bool inverse : {false, true}) {
      std::vector<Complex> data = input;
      Fft(data.data(), n, inverse);
      EXPECT_EQ(std::memcmp(data.data(), input.data(), input.size() * sizeof(Complex)), 0)
          << "n = " << n << (inverse ? " inverse" : " forward");
    }
  }
}

TEST(FftUnsupportedSizes, NullBufferIsIgnored) {
  Fft(nullptr, 2048, false);
  Fft(nullptr, 2048, true);
}

TEST(FftTwoPoints, BothDirectionsAreSumAndDifference) {
  for (bool inverse : {false, true}) {
    Complex data[2] = {Complex(3.0, -1.0), Complex(0.5, 2.0)};
    Fft(data, 2, inverse);
    EXPECT_EQ(data[0], Complex(3.5, 1.0));
    EXPECT_EQ(data[1], Complex(2.5, -3.0));
  }
}

// Fft keeps no state between calls: threads transforming their own buffers
// at the same time get exactly the single-threaded result.
TEST(FftThreads, ConcurrentTransformsOfDistinctBuffersAgree) {
  constexpr int kSize = 2048;
  constexpr int kThreads = 4;
  constexpr int kRounds = 20;
  FftInit();
  const std::vector<Complex> input = RandomData(kSize, 5000u);
  std::vector<Complex> expected = input;
  Fft(expected.data(), kSize, false);

  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<Complex> data(input.size());
      for (int round = 0; round < kRounds; ++round) {
        data = input;
        Fft(data.data(), kSize, false);
        if (std::memcmp(data.data(), expected.data(), data.size() * sizeof(Complex)) != 0) {
          ++mismatches[static_cast<std::size_t>(t)];
        }
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(mismatches[static_cast<std::size_t>(t)], 0) << "thread " << t;
  }
}

}  // namespace
}  // namespace sorvano
