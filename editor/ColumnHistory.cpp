#include "editor/ColumnHistory.h"

#include <algorithm>
#include <new>

namespace sorvano {

std::uint16_t* ColumnHistory::Column(int32_t position) {
  if (!ValidPosition(position)) return nullptr;
  const std::size_t chunk = static_cast<std::size_t>(position / kChunkValues);
  const std::size_t offset = static_cast<std::size_t>(position % kChunkValues);
  if (chunk >= mChunks.size()) {
    try {
      mChunks.resize(chunk + 1);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  if (!mChunks[chunk]) {
    mChunks[chunk].reset(new (std::nothrow) std::uint16_t[kChunkValues]());
    if (!mChunks[chunk]) return nullptr;
  }
  return mChunks[chunk].get() + offset;
}

const std::uint16_t* ColumnHistory::FindColumn(int32_t position) const {
  if (!ValidPosition(position)) return nullptr;
  const std::size_t chunk = static_cast<std::size_t>(position / kChunkValues);
  if (chunk >= mChunks.size() || !mChunks[chunk]) return nullptr;
  return mChunks[chunk].get() + position % kChunkValues;
}

void ColumnHistory::Clear() {
  std::vector<std::unique_ptr<std::uint16_t[]>>().swap(mChunks);
}

int ColumnHistory::ChunkCount() const {
  return static_cast<int>(std::count_if(mChunks.begin(), mChunks.end(),
                                        [](const auto& chunk) { return chunk != nullptr; }));
}

}  // namespace sorvano
