#include "graphics/EmbeddedFont.h"

#include "graphics/EmbeddedBytes.h"
#include "graphics/GraphicsTypes.h"

// SORVANO_FONT_DIR comes from the build (the folder of fonts-liberation2).
SORVANO_EMBED_FILE(sorvano_font_sans_regular, SORVANO_FONT_DIR "/LiberationSans-Regular.ttf");
SORVANO_EMBED_FILE(sorvano_font_sans_bold, SORVANO_FONT_DIR "/LiberationSans-Bold.ttf");
SORVANO_EMBED_FILE(sorvano_font_sans_italic, SORVANO_FONT_DIR "/LiberationSans-Italic.ttf");

namespace sorvano {

EmbeddedFont FindEmbeddedFont(int style) {
  switch (style) {
    case ITextStyle::kBold:
      return {sorvano_font_sans_bold_data, static_cast<std::size_t>(sorvano_font_sans_bold_size)};
    case ITextStyle::kItalic:
      return {sorvano_font_sans_italic_data, static_cast<std::size_t>(sorvano_font_sans_italic_size)};
    default:
      return {sorvano_font_sans_regular_data, static_cast<std::size_t>(sorvano_font_sans_regular_size)};
  }
}

}  // namespace sorvano
