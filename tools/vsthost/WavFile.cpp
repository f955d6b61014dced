#include "tools/vsthost/WavFile.h"

#include <sndfile.h>

#include <algorithm>
#include <memory>

#include "tools/vsthost/HostError.h"

namespace sorvano {

namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

// Frames moved per libsndfile call, to keep the interleaved buffer small.
constexpr sf_count_t kChunkFrames = 8192;

int SndfileSubtype(SampleFormat format) {
  switch (format) {
    case SampleFormat::kFloat64:
      return SF_FORMAT_DOUBLE;
    case SampleFormat::kPcm16:
      return SF_FORMAT_PCM_16;
    case SampleFormat::kPcm24:
      return SF_FORMAT_PCM_24;
    case SampleFormat::kFloat32:
      break;
  }
  return SF_FORMAT_FLOAT;
}

}  // namespace

AudioData WavFile::Read(const std::string& path) {
  SF_INFO info{};
  SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) throw HostError("cannot read " + path + ": " + sf_strerror(nullptr));
  if (info.channels < 1 || info.channels > kMaxChannels) {
    throw HostError(path + " has " + std::to_string(info.channels) + " channels; this host reads 1.." +
                    std::to_string(kMaxChannels));
  }
  if (info.samplerate <= 0) throw HostError(path + " has no valid sample rate");
  if (info.frames < 0 || info.frames > kMaxFrames) throw HostError(path + " is too long for this host");

  AudioData audio;
  audio.sampleRate = info.samplerate;
  const auto channels = static_cast<std::size_t>(info.channels);
  audio.channels.assign(channels, std::vector<double>());
  for (auto& channel : audio.channels) channel.reserve(static_cast<std::size_t>(info.frames));

  std::vector<double> interleaved(static_cast<std::size_t>(kChunkFrames) * channels);
  for (;;) {
    const sf_count_t got = sf_readf_double(file.get(), interleaved.data(), kChunkFrames);
    if (got <= 0) break;
    for (sf_count_t frame = 0; frame < got; ++frame) {
      for (std::size_t c = 0; c < channels; ++c) {
        audio.channels[c].push_back(interleaved[static_cast<std::size_t>(frame) * channels + c]);
      }
    }
    if (static_cast<long long>(audio.Frames()) > kMaxFrames) throw HostError(path + " is too long for this host");
  }
  return audio;
}

void WavFile::Write(const std::string& path, const AudioData& audio, SampleFormat format) {
  const std::size_t channels = audio.channels.size();
  if (channels < 1 || channels > static_cast<std::size_t>(kMaxChannels)) {
    throw HostError("cannot write " + path + ": " + std::to_string(channels) + " channels");
  }
  if (audio.sampleRate <= 0) throw HostError("cannot write " + path + ": no valid sample rate");
  const std::size_t frames = audio.Frames();
  for (const auto& channel : audio.channels) {
    if (channel.size() != frames) throw HostError("cannot write " + path + ": channels of different lengths");
  }

  SF_INFO info{};
  info.samplerate = audio.sampleRate;
  info.channels = static_cast<int>(channels);
  info.format = SF_FORMAT_WAV | SndfileSubtype(format);
  SndfileHandle file(sf_open(path.c_str(), SFM_WRITE, &info));
  if (!file) throw HostError("cannot write " + path + ": " + sf_strerror(nullptr));
  // Integer formats clip instead of wrapping around on overload.
  sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
  // Without the peak chunk and its time stamp, equal audio gives equal files.
  sf_command(file.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);

  std::vector<double> interleaved(static_cast<std::size_t>(kChunkFrames) * channels);
  for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(kChunkFrames)) {
    const std::size_t count = std::min(frames - start, static_cast<std::size_t>(kChunkFrames));
    for (std::size_t frame = 0; frame < count; ++frame) {
      for (std::size_t c = 0; c < channels; ++c) interleaved[frame * channels + c] = audio.channels[c][start + frame];
    }
    const auto wanted = static_cast<sf_count_t>(count);
    if (sf_writef_double(file.get(), interleaved.data(), wanted) != wanted) {
      throw HostError("cannot write " + path + ": " + sf_strerror(file.get()));
    }
  }
  if (sf_close(file.release()) != 0) throw HostError("cannot finish writing " + path);
}

}  // namespace sorvano
