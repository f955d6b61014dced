#pragma once

// Writes a pixel surface as an 8-bit RGBA PNG (the straight alpha of the
// pixels becomes the PNG's alpha), for the test card and for the pictures a
// failing golden-image test leaves behind.

namespace sorvano {

class PixelSurface;

// Answers false when the surface has no pixels or the file cannot be written.
bool WritePng(const PixelSurface& surface, const char* path);

}  // namespace sorvano
