#pragma once

// The colours the editor's own controls share: texts, outlines, handles and
// switches. Opaque, as IColor (alpha, red, green, blue).

#include "graphics/GraphicsTypes.h"

namespace sorvano::editor_colors {

inline constexpr IColor kWhite{255, 255, 255, 255};
inline constexpr IColor kBlack{255, 0, 0, 0};
// Texts and outlines at rest.
inline constexpr IColor kGrey{255, 127, 127, 127};
// Pressed, dragged or switched on.
inline constexpr IColor kRed{255, 255, 0, 0};
// The inside of handles and of the discard box.
inline constexpr IColor kGreen{255, 0, 255, 0};

}  // namespace sorvano::editor_colors
