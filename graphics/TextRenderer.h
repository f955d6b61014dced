#pragma once

// Text drawn into a pixel surface with FreeType and the embedded Liberation
// Sans faces (graphics/EmbeddedFont.h), the way the editor's text operation
// wants it:
// - The first SelectFont fixes the face and size for the renderer's life;
//   later calls change nothing (only the colour of each Draw varies).
// - The size is the font's cell height in pixels, ascent plus descent, which
//   is also the distance between lines.
// - Lines break only at '\n'; other control characters (so also the '\r' of
//   "\r\n") draw nothing and take no room. Bytes are Windows-1252 text.
// - Each line is aligned left, centred or right within the rectangle; the
//   first line's cell starts at the rectangle's top. Nothing is clipped to
//   the rectangle, only to the surface: no pixel outside it is ever written.
// - Coverage blends the text colour into the pixel, all four channels alike,
//   with the colour taken as opaque: its alpha byte is ignored, so ink pixels
//   move towards alpha 255 as their colour moves towards the text colour and
//   a surface that is opaque stays opaque.
//
// Output is the same on every run and in every build type: outlines are
// loaded unhinted (so no hinting engine or FREETYPE_PROPERTIES setting takes
// part), positioned in 26.6 fixed point, rasterised by FreeType's integer
// rasteriser and blended with integer arithmetic.
//
// One renderer per draw surface, used on the editor thread only (FreeType
// objects are not shared between threads).

#include <cstddef>
#include <cstdint>

#include "graphics/GraphicsTypes.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace sorvano {

class PixelSurface;

class TextRenderer {
public:
  // Cell height for a size of 0, and the largest cell height drawn.
  static constexpr int kDefaultCellHeight = 16;
  static constexpr int kMaxCellHeight = 1024;

  TextRenderer() = default;
  ~TextRenderer();
  TextRenderer(const TextRenderer&) = delete;
  TextRenderer& operator=(const TextRenderer&) = delete;

  // Editor thread. The first call creates the font: the cut from the style
  // (ITextStyle::kBold, kItalic, else regular) and the cell height from the
  // size (positive: cell height; negative: em height; 0: the default),
  // limited to kMaxCellHeight. Once a font exists, later calls keep it.
  // Answers whether a font is in use.
  bool SelectFont(int size, int style);
  bool HasFont() const { return mFace != nullptr; }
  // Pixels from one line to the next, and from a line's top to its baseline;
  // 0 without a font.
  int CellHeight() const { return mCellHeight; }
  int Ascent() const { return mAscent; }

  // Editor thread. Width in 1/64 pixels of the first `length` bytes of text
  // as one line (alignment uses it); 0 without a font.
  std::int64_t LineWidth(const char* text, std::size_t length);

  // Editor thread. Draws text (null-terminated) into dest, aligned per line
  // by ITextStyle::kLeft, kCenter or kRight (anything else is left). Answers
  // false when there is no font; a null text or surface draws nothing.
  bool Draw(PixelSurface* dest, const char* text, const IRect& rect, int align, const IColor& color);

private:
  void DrawLine(PixelSurface* dest, const char* text, std::size_t length, const IRect& rect, int align,
                std::int64_t baseline, std::uint32_t ink);
  void DrawGlyph(PixelSurface* dest, std::int64_t left, std::int64_t top, std::uint32_t ink);

  FT_LibraryRec_* mLibrary = nullptr;
  FT_FaceRec_* mFace = nullptr;
  int mCellHeight = 0;
  int mAscent = 0;
};

}  // namespace sorvano
