#pragma once

// The font faces compiled into the graphics library: Liberation Sans, the
// metric twin of "Arial", in its regular, bold and italic cuts. The text
// renderer draws every font name with these faces.

#include <cstddef>

namespace sorvano {

struct EmbeddedFont {
  const unsigned char* data;
  std::size_t size;
};

// Any thread; the bytes are constant for the life of the process.
// style: ITextStyle::kBold (1) gives the bold cut, ITextStyle::kItalic (2)
// the italic cut, anything else the regular one.
EmbeddedFont FindEmbeddedFont(int style);

}  // namespace sorvano
