#include "engine/Fft.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <numbers>

namespace sorvano {

namespace {

// Positions of the bins for every size 2 ... 32768; size n starts at n - 2.
constexpr int kPermuteEntries = 2 * kFftMaxSize - 2;
std::array<std::int32_t, kPermuteEntries> gPermute;

// Twiddles w^j = e^(+2 pi i j / n), j = 0 ... n/4 - 1, for every size 8 ...
// 32768; size n starts at n/4 - 2.
constexpr int kTwiddleEntries = kFftMaxSize / 2 - 2;
std::array<Complex, kTwiddleEntries> gTwiddle;

std::once_flag gInitOnce;

bool IsSupportedSize(int n) {
  return n >= kFftMinSize && n <= kFftMaxSize && (n & (n - 1)) == 0;
}

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

void BuildTables() {
  for (int n = kFftMinSize; n <= kFftMaxSize; n *= 2) {
    std::int32_t* permute = gPermute.data() + (n - 2);
    for (int p = 0; p < n; ++p) {
      // Position p holds frequency f in the e^(+) sense, that is bin -f.
      permute[(n - FrequencyAt(n, p)) & (n - 1)] = p;
    }
  }
  for (int n = 8; n <= kFftMaxSize; n *= 2) {
    Complex* twiddle = gTwiddle.data() + (n / 4 - 2);
    const double theta = 2.0 * std::numbers::pi / n;
    for (int j = 0; j < n / 4; ++j) {
      twiddle[j] = Complex(std::cos(theta * j), std::sin(theta * j));
    }
  }
}

const Complex* TwiddlesOf(int n) { return gTwiddle.data() + (n / 4 - 2); }

Complex TimesI(Complex z) { return Complex(-z.imag(), z.real()); }

void Forward(Complex* x, int n) {
  if (n == 1) {
    return;
  }
  if (n == 2) {
    const Complex a = x[0];
    x[0] = a + x[1];
    x[1] = a - x[1];
    return;
  }
  const int quarter = n / 4;
  if (n == 4) {
    const Complex even = x[0] + x[2];
    const Complex odd = x[1] + x[3];
    const Complex u = x[0] - x[2];
    const Complex v = x[1] - x[3];
    x[0] = even + odd;
    x[1] = even - odd;
    x[2] = u + TimesI(v);
    x[3] = u - TimesI(v);
    return;
  }
  const Complex* w = TwiddlesOf(n);
  Complex* q0 = x;
  Complex* q1 = x + quarter;
  Complex* q2 = x + 2 * quarter;
  Complex* q3 = x + 3 * quarter;
  for (int j = 0; j < quarter; ++j) {
    const Complex u = q0[j] - q2[j];
    const Complex v = q1[j] - q3[j];
    q0[j] += q2[j];
    q1[j] += q3[j];
    q2[j] = (u + TimesI(v)) * w[j];
    q3[j] = (u - TimesI(v)) * std::conj(w[j]);
  }
  Forward(x, n / 2);
  Forward(q2, quarter);
  Forward(q3, quarter);
}

void Inverse(Complex* x, int n) {
  if (n == 1) {
    return;
  }
  if (n == 2) {
    const Complex a = x[0];
    x[0] = a + x[1];
    x[1] = a - x[1];
    return;
  }
  const int quarter = n / 4;
  if (n == 4) {
    const Complex sum01 = x[0] + x[1];
    const Complex diff01 = x[0] - x[1];
    const Complex sum23 = x[2] + x[3];
    const Complex diff23 = x[2] - x[3];
    x[0] = sum01 + sum23;
    x[1] = diff01 - TimesI(diff23);
    x[2] = sum01 - sum23;
    x[3] = diff01 + TimesI(diff23);
    return;
  }
  const Complex* w = TwiddlesOf(n);
  Complex* q0 = x;
  Complex* q1 = x + quarter;
  Complex* q2 = x + 2 * quarter;
  Complex* q3 = x + 3 * quarter;
  Inverse(x, n / 2);
  Inverse(q2, quarter);
  Inverse(q3, quarter);
  for (int j = 0; j < quarter; ++j) {
    const Complex a = q2[j] * std::conj(w[j]);
    const Complex b = q3[j] * w[j];
    const Complex s = a + b;
    const Complex d = a - b;
    const Complex y0 = q0[j];
    const Complex y1 = q1[j];
    q0[j] = y0 + s;
    q2[j] = y0 - s;
    q1[j] = y1 - TimesI(d);
    q3[j] = y1 + TimesI(d);
  }
}

}  // namespace

void FftInit() { std::call_once(gInitOnce, BuildTables); }

void Fft(Complex* buffer, int n, bool inverse) {
  if (!IsSupportedSize(n) || buffer == nullptr) {
    return;
  }
  FftInit();
  if (inverse) {
    Inverse(buffer, n);
  } else {
    Forward(buffer, n);
  }
}

int FftPermute(int n, int k) {
  if (!IsSupportedSize(n) || k < 0 || k >= n) {
    return -1;
  }
  FftInit();
  return gPermute[static_cast<std::size_t>(n - 2 + k)];
}

}  // namespace sorvano
