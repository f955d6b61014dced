#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sorvano {

// A stretch of audio held in memory: one vector of samples per channel, all of
// the same length.
struct AudioData {
  std::int32_t sampleRate = 0;
  std::vector<std::vector<double>> channels;

  std::size_t Frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

}  // namespace sorvano
