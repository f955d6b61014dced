#pragma once

// Private to the FFT: the transform routines of one instruction set, and the
// layout of the twiddle table they share. Fft.cpp builds the table and picks
// the routines for the running CPU in FftInit; tests use FftWith to check
// every instruction set this CPU can run.

#include "engine/Fft.h"

namespace sorvano {

// Sizes below this run straight-line code with constant twiddles; sizes from
// here up run vector loops over the table.
constexpr int kFftTableMinSize = 32;

// Twiddle table: for every size n = 32 ... 32768 one block of n/2 doubles,
// starting at index n/2 - kFftTableMinSize/2, holding w^j = e^(+2 pi i j / n)
// for j = 0 ... n/4 - 1 as interleaved (re, im) pairs. A vector load takes
// two consecutive j; the routines double the parts per lane in registers.
constexpr int FftTwiddleOffset(int n) { return n / 2 - kFftTableMinSize / 2; }
constexpr int kFftTwiddleDoubles = FftTwiddleOffset(2 * kFftMaxSize);

// One instruction set's routines, indexed by log2(n) for n = 2 ... 32768
// (index 0 is null). Each transforms n complex values in place, stored as
// interleaved doubles, with the table above. Constant-initialised, so that
// selecting a set runs none of its code.
struct FftKernels {
  using Transform = void (*)(double* data, const double* twiddles);
  static constexpr int kCount = 16;
  Transform forward[kCount];
  Transform inverse[kCount];
};

// Baseline x86-64 (SSE2): runs everywhere.
extern const FftKernels kFftKernelsSse2;
// AVX2 with FMA: only where the CPU reports both.
extern const FftKernels kFftKernelsAvx2;

// True when this CPU runs kFftKernelsAvx2.
bool FftCpuHasAvx2Fma();

// Fft with the given routines instead of the ones FftInit chose: same size
// checks, same contract. Any thread; the caller makes sure this CPU runs
// them (FftCpuHasAvx2Fma).
void FftWith(const FftKernels& kernels, Complex* buffer, int n, bool inverse);

}  // namespace sorvano
