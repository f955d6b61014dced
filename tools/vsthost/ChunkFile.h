#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvano {

// A plug-in state chunk stored as a file: the chunk's bytes exactly as the
// plug-in handed them out, nothing added. Main thread.
class ChunkFile {
 public:
  // Throws HostError when the file cannot be read, is empty, or is larger than
  // PluginInstance::kMaxChunkBytes.
  static std::vector<std::uint8_t> Read(const std::string& path);
  // Throws HostError when the file cannot be written completely.
  static void Write(const std::string& path, const std::vector<std::uint8_t>& bytes);
};

}  // namespace sorvano
