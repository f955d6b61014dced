#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace sorvano {

// Growable little-endian byte container with typed appends and positional
// reads. It carries program chunks, bank chunks, preset data and the plug-in
// state.
//
// Encoding: integers as their bytes in two's complement, least significant
// byte first; double as IEEE 754 binary64, float as binary32 (same byte
// order); bool as one byte 0 or 1. Records are written field by field by
// their owners, never as raw structs (padding would leak into the data).
//
// Reading: Get and GetStr take a position and return the position after the
// item, or -1 when the item does not lie wholly inside the data; a read at
// -1 fails again, so a chain of reads stops at the first failure. The bytes
// may come from a host: every length read from them is checked against the
// bytes that really exist.
//
// Capacity: when a size beyond the capacity is requested, the new capacity is
// the requested size plus kGrowStep bytes.
//
// Not thread-safe; the owner serialises access (the plug-in lock).
class DataChunk {
public:
  static constexpr int kGrowStep = 4096;

  DataChunk() = default;

  int Size() const { return static_cast<int>(mBytes.size()); }
  // The bytes, owned by the chunk, valid until the chunk changes.
  const std::uint8_t* Data() const { return mBytes.data(); }
  std::uint8_t* Data() { return mBytes.data(); }

  // Used size becomes 0; the capacity stays.
  void Clear() { mBytes.clear(); }
  // Used size becomes n; bytes beyond the old size are zero. Returns the old
  // size. A negative n changes nothing.
  int Resize(int n);

  // Appends the value's bytes; returns the new size.
  template <typename T>
  int Put(T value);
  // Appends n raw bytes (nothing for a null pointer or n <= 0); returns the
  // new size.
  int PutBytes(const void* data, int n);
  // Appends an int32 length L (bytes, without terminator) and the L bytes of
  // the text; no terminator is written. A null text is stored as empty text.
  // Returns the new size.
  int PutStr(const char* text);

  // If pos >= 0 and the value's bytes lie inside the data: copies them into
  // *value and returns the position after them; otherwise returns -1 and
  // leaves *value unchanged. A bool reads one byte; any non-zero byte is true.
  template <typename T>
  int Get(T* value, int pos) const;
  // Reads the int32 length L at pos, then L bytes. Returns -1 when the length
  // cannot be read, is negative, or the L bytes run past the data. For L > 0
  // the text becomes those bytes, cut to capacity - 1 characters and always
  // zero-terminated; for L = 0 the text is left as it was. Returns
  // pos + 4 + L.
  int GetStr(char* text, std::size_t capacity, int pos) const;

private:
  // Makes room for n more bytes and returns where they start.
  std::uint8_t* Append(int n);

  template <typename T>
  static constexpr bool kEncodable = std::is_arithmetic_v<T>;

  std::vector<std::uint8_t> mBytes;
};

template <typename T>
int DataChunk::Put(T value) {
  static_assert(kEncodable<T>, "DataChunk stores numbers and bools; write records field by field");
  if constexpr (std::is_same_v<T, bool>) {
    *Append(1) = value ? 1 : 0;
  } else {
    using Bits = std::conditional_t<sizeof(T) == 1, std::uint8_t,
                 std::conditional_t<sizeof(T) == 2, std::uint16_t,
                 std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
    static_assert(sizeof(Bits) == sizeof(T));
    const Bits bits = std::bit_cast<Bits>(value);
    std::uint8_t* out = Append(static_cast<int>(sizeof(T)));
    for (std::size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
  }
  return Size();
}

template <typename T>
int DataChunk::Get(T* value, int pos) const {
  static_assert(kEncodable<T>, "DataChunk stores numbers and bools; read records field by field");
  constexpr int kWidth = std::is_same_v<T, bool> ? 1 : static_cast<int>(sizeof(T));
  if (!value || pos < 0 || pos > Size() - kWidth) return -1;
  const std::uint8_t* in = mBytes.data() + pos;
  if constexpr (std::is_same_v<T, bool>) {
    *value = in[0] != 0;
  } else {
    using Bits = std::conditional_t<sizeof(T) == 1, std::uint8_t,
                 std::conditional_t<sizeof(T) == 2, std::uint16_t,
                 std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
    Bits bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) bits |= static_cast<Bits>(static_cast<Bits>(in[i]) << (8 * i));
    *value = std::bit_cast<T>(bits);
  }
  return pos + kWidth;
}

}  // namespace sorvano
