#include "tools/vsthost/TestSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/vsthost/HostError.h"

namespace sorvano {

namespace {

constexpr std::int32_t kMinRate = 8000;
constexpr std::int32_t kMaxRate = 384000;
constexpr double kSweepStartHz = 40.0;
constexpr double kSweepEndHz = 16000.0;
constexpr double kSweepLevel = 0.5;
constexpr double kToneLevel = 0.3;
constexpr double kNoiseLevel = 0.05;
constexpr double kToneSeconds = 0.25;
constexpr double kFirstToneHz = 220.0;
// Each tone a fifth above the last, folded back into the range from the first
// tone up to the sweep's end.
constexpr double kToneStep = 1.5;
// Short fades at both ends and at each tone change keep the signal free of clicks.
constexpr double kFadeSeconds = 0.01;

// A small deterministic noise source (xorshift), uniform in -1..1.
class NoiseSource {
 public:
  double Next() {
    mState ^= mState << 13;
    mState ^= mState >> 7;
    mState ^= mState << 17;
    return static_cast<double>(mState >> 11) / static_cast<double>(1ULL << 52) - 1.0;
  }

 private:
  std::uint64_t mState = 0x5EED5EED5EED5EEDULL;
};

// Gain of a linear fade in and out over `fade` samples at the ends of [0, length).
double EdgeGain(double position, double length, double fade) {
  if (fade <= 0.0) return 1.0;
  return std::clamp(std::min(position, length - 1.0 - position) / fade, 0.0, 1.0);
}

}  // namespace

AudioData TestSignal::Generate(std::int32_t sampleRate, double seconds) {
  if (sampleRate < kMinRate || sampleRate > kMaxRate) {
    throw HostError("the test signal's rate must be " + std::to_string(kMinRate) + ".." + std::to_string(kMaxRate) +
                    " Hz");
  }
  if (!(seconds >= 0.0 && seconds <= kMaxSeconds)) {
    throw HostError("the test signal's length must be 0.." + std::to_string(static_cast<int>(kMaxSeconds)) +
                    " seconds");
  }
  const auto frames = static_cast<std::size_t>(std::llround(seconds * sampleRate));
  const double rate = sampleRate;
  const double endHz = std::min(kSweepEndHz, 0.45 * rate);
  const double duration = static_cast<double>(frames) / rate;
  const double fade = kFadeSeconds * rate;
  const double toneLength = kToneSeconds * rate;
  const double toneOctaves = std::log2(endHz / kFirstToneHz);

  AudioData audio;
  audio.sampleRate = sampleRate;
  audio.channels.assign(2, std::vector<double>(frames));
  auto& left = audio.channels[0];
  auto& right = audio.channels[1];

  // Exponential sweep: phase(t) = 2 pi f0 T / ln(f1/f0) * (exp(t ln(f1/f0) / T) - 1).
  const double logRatio = std::log(endHz / kSweepStartHz);
  NoiseSource noise;
  double tonePhase = 0.0;
  for (std::size_t i = 0; i < frames; ++i) {
    const double position = static_cast<double>(i);
    const double t = position / rate;
    const double gain = EdgeGain(position, static_cast<double>(frames), fade);

    const double sweepPhase =
        duration > 0.0 ? 2.0 * std::numbers::pi * kSweepStartHz * duration / logRatio *
                             (std::exp(t * logRatio / duration) - 1.0)
                       : 0.0;
    left[i] = kSweepLevel * gain * std::sin(sweepPhase);

    const auto toneNumber = static_cast<int>(position / toneLength);
    const double toneHz = kFirstToneHz * std::exp2(std::fmod(toneNumber * std::log2(kToneStep), toneOctaves));
    tonePhase += 2.0 * std::numbers::pi * toneHz / rate;
    if (tonePhase > 2.0 * std::numbers::pi) tonePhase -= 2.0 * std::numbers::pi;
    const double toneGain = EdgeGain(position - toneNumber * toneLength, toneLength, fade);
    right[i] = gain * (kToneLevel * toneGain * std::sin(tonePhase) + kNoiseLevel * noise.Next());
  }
  return audio;
}

}  // namespace sorvano
