#include "tools/vsthost/ChunkFile.h"

#include <fstream>

#include "tools/vsthost/HostError.h"
#include "tools/vsthost/PluginInstance.h"

namespace sorvano {

std::vector<std::uint8_t> ChunkFile::Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) throw HostError("cannot read " + path);
  const std::streamoff size = file.tellg();
  if (size <= 0) throw HostError(path + " is empty: no chunk to load");
  if (static_cast<std::uintmax_t>(size) > PluginInstance::kMaxChunkBytes) {
    throw HostError(path + " is larger than any chunk this host hands to a plug-in");
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) throw HostError("cannot read " + path);
  return bytes;
}

void ChunkFile::Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw HostError("cannot write " + path);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw HostError("cannot write " + path);
}

}  // namespace sorvano
