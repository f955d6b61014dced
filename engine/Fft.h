#pragma once

// In-place complex FFT on doubles, for the power-of-two sizes 2 ... 32768.
//
// Contract
// - Sizes: N in {2, 4, 8, ..., 32768}. Any other N leaves the buffer unchanged.
// - Scaling: neither direction scales; forward followed by inverse multiplies
//   the data by N.
// - Forward (inverse = false): the input is in natural order. Afterwards the
//   position FftPermute(N, k) holds X[k] = sum_n x[n] e^(-2 pi i n k / N).
//   The output order is scrambled on purpose so that forward, bin-wise gains
//   and inverse need no reordering pass.
// - Inverse (inverse = true): expects X[k] at position FftPermute(N, k) and
//   leaves sum_k X[k] e^(+2 pi i n k / N) at position n, in natural order.
// - N = 2 has no permutation: both directions map (a, b) to (a + b, a - b).
// - The buffer holds N complex values, each two doubles (real, imaginary),
//   contiguous. Any alignment is accepted.
// - No allocation, no locks: Fft may run on the audio thread, and on any
//   number of threads at once on distinct buffers, once FftInit has returned.
// - FftInit builds the process-wide tables and picks the routines for this
//   CPU (SSE2, or AVX2 with FMA where present) on its first call; later calls
//   return at once. Safe to call from several threads at once. Fft and
//   FftPermute build the tables themselves if no FftInit has run (without
//   allocating, but it takes a few milliseconds), so the plug-in calls
//   FftInit in its constructor to keep that off the audio thread.

#include <complex>

namespace sorvano {

using Complex = std::complex<double>;

constexpr int kFftMinSize = 2;
constexpr int kFftMaxSize = 32768;

// Plug-in constructor, under the process-wide construction lock (any thread
// may call it, though).
void FftInit();

// Audio thread (the STFT processor), or any thread on its own buffer.
void Fft(Complex* buffer, int n, bool inverse);

// Position of frequency bin k in a forward-transformed buffer of size n, for
// every supported n (2, 4 and 8 included) and 0 <= k < n. Answers -1 for any
// other n or k. Any thread.
int FftPermute(int n, int k);

}  // namespace sorvano
