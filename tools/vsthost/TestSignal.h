#pragma once

#include <cstdint>

#include "tools/vsthost/AudioData.h"

namespace sorvano {

// The built-in stereo test signal: on the left a logarithmic sine sweep from
// 40 Hz up to 16 kHz (or 0.45 of the rate when that is lower), on the right a
// rising sequence of tones over a little white noise. Deterministic: the same
// arguments always give the same samples, so demo and test runs repeat.
class TestSignal {
 public:
  static constexpr double kDefaultSeconds = 4.0;
  static constexpr std::int32_t kDefaultSampleRate = 48000;
  static constexpr double kMaxSeconds = 600.0;

  // Throws HostError for a rate outside 8000..384000 Hz or a length outside
  // 0..kMaxSeconds.
  static AudioData Generate(std::int32_t sampleRate, double seconds);
};

}  // namespace sorvano
