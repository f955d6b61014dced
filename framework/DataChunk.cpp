#include "framework/DataChunk.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace sorvano {

int DataChunk::Resize(int n) {
  const int old = Size();
  if (n < 0) return old;
  const std::size_t wanted = static_cast<std::size_t>(n);
  if (wanted > mBytes.capacity()) mBytes.reserve(wanted + kGrowStep);
  mBytes.resize(wanted, 0);
  return old;
}

std::uint8_t* DataChunk::Append(int n) {
  const int old = Size();
  // Sizes are int32 in every chunk format; like a failed allocation, a chunk
  // that would outgrow them is not a condition the callers can handle.
  if (n > std::numeric_limits<int>::max() - old) throw std::length_error("DataChunk too large");
  Resize(old + n);
  return mBytes.data() + old;
}

int DataChunk::PutBytes(const void* data, int n) {
  if (!data || n <= 0) return Size();
  std::memcpy(Append(n), data, static_cast<std::size_t>(n));
  return Size();
}

int DataChunk::PutStr(const char* text) {
  const std::size_t length = text ? std::strlen(text) : 0;
  // Sizes are int: a text that cannot be counted in an int32 is not stored.
  if (length > static_cast<std::size_t>(std::numeric_limits<int>::max() - Size() - 4)) return Size();
  const int n = static_cast<int>(length);
  Put<std::int32_t>(n);
  return PutBytes(text, n);
}

int DataChunk::GetStr(char* text, std::size_t capacity, int pos) const {
  std::int32_t length = 0;
  pos = Get(&length, pos);
  if (pos < 0 || length < 0 || length > Size() - pos) return -1;
  if (length > 0 && text && capacity > 0) {
    const std::size_t n = std::min(static_cast<std::size_t>(length), capacity - 1);
    std::memcpy(text, mBytes.data() + pos, n);
    text[n] = '\0';
  }
  return pos + length;
}

}  // namespace sorvano
