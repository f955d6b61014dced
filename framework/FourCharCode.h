#pragma once

#include <cstdint>

namespace sorvano {

// A four-character code such as a plug-in or vendor id: the first character
// in the top byte, as hosts display it.
constexpr std::int32_t FourCharCode(char a, char b, char c, char d) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                    (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                    (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                    static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

}  // namespace sorvano
