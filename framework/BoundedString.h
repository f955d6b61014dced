#pragma once

#include <cstddef>

namespace sorvano {

// The one helper for every copy of text into a fixed field or a host buffer:
// copies at most capacity - 1 bytes of src, always zero-terminates, and never
// reads src past its terminator or past capacity - 1 bytes. A null src copies
// empty text; a null dst or a capacity of 0 copies nothing. Returns the number
// of bytes copied (without the terminator).
inline std::size_t CopyBounded(char* dst, std::size_t capacity, const char* src) {
  if (!dst || capacity == 0) return 0;
  std::size_t n = 0;
  if (src) {
    while (n + 1 < capacity && src[n] != '\0') {
      dst[n] = src[n];
      ++n;
    }
  }
  dst[n] = '\0';
  return n;
}

template <std::size_t N>
inline std::size_t CopyBounded(char (&dst)[N], const char* src) {
  return CopyBounded(dst, N, src);
}

}  // namespace sorvano
