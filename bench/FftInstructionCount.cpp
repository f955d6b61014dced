// Runs a given number of 2048-point forward + inverse pairs after setup, for
// counting instructions under callgrind; bench/fft_callgrind.sh runs it with
// 0 and with 1 pair and prints the difference, the cost of exactly one pair.
//   FftInstructionCount [pairs] [sse2]
// "sse2" forces the baseline routines instead of the ones FftInit chose.

#include "engine/Fft.h"
#include "engine/FftKernels.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  constexpr int kSize = 2048;
  const int pairs = argc > 1 ? std::atoi(argv[1]) : 1;
  const bool sse2 = argc > 2 && std::strcmp(argv[2], "sse2") == 0;

  sorvano::FftInit();
  std::vector<sorvano::Complex> data(kSize);
  for (int i = 0; i < kSize; ++i) {
    data[static_cast<size_t>(i)] = sorvano::Complex((i % 7) - 3.0, (i % 5) - 2.0);
  }
  for (int pair = 0; pair < pairs; ++pair) {
    if (sse2) {
      sorvano::FftWith(sorvano::kFftKernelsSse2, data.data(), kSize, false);
      sorvano::FftWith(sorvano::kFftKernelsSse2, data.data(), kSize, true);
    } else {
      sorvano::Fft(data.data(), kSize, false);
      sorvano::Fft(data.data(), kSize, true);
    }
  }
  const char* routines = sse2 || !sorvano::FftCpuHasAvx2Fma() ? "SSE2" : "AVX2/FMA";
  std::printf("%d pairs with the %s routines, first value %g\n", pairs, routines, data[0].real());
  return 0;
}
