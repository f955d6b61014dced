#pragma once

#include <cstdint>

namespace sorvano {

// The analysis tables every plug-in instance shares: built once per process on
// first use and read-only afterwards, so any number of audio threads may read
// them while another instance is being constructed.
struct StftTables {
  static constexpr int kFrameSize = 2048;

  // Blackman window over the period 2047 (not 2048): w[0] and w[2047] are zero
  // up to rounding and w[1023] = w[1024] is the maximum.
  double mWindow[kFrameSize];
  // 1 / (w[i] + w[i + 1024]), i = 0..1023: the overlap-add's normalisation.
  // The two window halves sum to between about 0.679 and 1.0.
  double mWindowSumInverse[kFrameSize / 2];
  // mPermutation[k] = FftPermute(2048, k): where bin k lies after a forward
  // transform.
  int32_t mPermutation[kFrameSize];

  // Any thread. The first call initialises the FFT tables and builds these;
  // concurrent first calls wait for it.
  static const StftTables& Get();
};

}  // namespace sorvano
