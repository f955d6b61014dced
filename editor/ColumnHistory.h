#pragma once

// Everything the view has heard since it was created, as display columns by
// song position: one unsigned 16-bit display value per sample of analysed
// time (two bytes per sample, about 317 MB an hour at 44.1 kHz). The column
// for position p (a multiple of 1024) is the 1024 values from index p.
//
// The values live in chunks of 65536 (64 columns, 128 KiB), allocated
// zero-filled when a column inside them is first written, so a long history
// never moves data that exists. An allocation that fails (chunk or chunk
// table) answers no column: the caller draws that column black, and nothing
// throws.
//
// Editor thread, view lock held.

#include <cstdint>
#include <memory>
#include <vector>

namespace sorvano {

class ColumnHistory {
public:
  static constexpr int kColumnValues = 1024;
  static constexpr int kChunkValues = 65536;

  ColumnHistory() = default;
  ColumnHistory(const ColumnHistory&) = delete;
  ColumnHistory& operator=(const ColumnHistory&) = delete;

  // The column at position, creating its chunk if needed; null for a
  // position that is negative or not a multiple of 1024, or when memory is
  // short.
  std::uint16_t* Column(int32_t position);
  // The column at position if its chunk exists, else null. Never allocates.
  const std::uint16_t* FindColumn(int32_t position) const;
  // Frees every chunk.
  void Clear();

  // Chunks allocated, for tests and benchmarks.
  int ChunkCount() const;

private:
  static bool ValidPosition(int32_t position) {
    return position >= 0 && position % kColumnValues == 0;
  }

  std::vector<std::unique_ptr<std::uint16_t[]>> mChunks;
};

}  // namespace sorvano
