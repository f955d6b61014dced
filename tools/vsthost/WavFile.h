#pragma once

#include <string>

#include "tools/vsthost/AudioData.h"

namespace sorvano {

// Sample encodings the host writes.
enum class SampleFormat { kFloat32, kFloat64, kPcm16, kPcm24 };

// Reads and writes WAV files through libsndfile. Integer samples are scaled to
// -1..1 on reading; floating-point samples are passed through unchanged.
// Main thread.
class WavFile {
 public:
  static constexpr int kMaxChannels = 64;
  // 2^28 frames: more than an hour and a half at 48 kHz.
  static constexpr long long kMaxFrames = 1LL << 28;

  // Any file libsndfile reads. Throws HostError when the file cannot be read,
  // has no channels or too many, a rate that is not positive, or too many frames.
  static AudioData Read(const std::string& path);
  // Throws HostError when the data is inconsistent or the file cannot be written.
  static void Write(const std::string& path, const AudioData& audio, SampleFormat format);
};

}  // namespace sorvano
