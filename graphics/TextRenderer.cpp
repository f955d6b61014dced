#include "graphics/TextRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H

#include <algorithm>

#include "graphics/EmbeddedFont.h"
#include "graphics/Surface.h"

namespace sorvano {
namespace {

// Unhinted outlines, never the embedded bitmaps: the glyph shapes depend only
// on the font bytes and the size, not on a hinting engine or its settings.
constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

// Code points of the Windows-1252 bytes 0x80..0x9F; 0 marks the five
// undefined ones, which draw the font's missing-glyph box.
constexpr std::uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

FT_ULong CodePoint(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kWindows1252High[c - 0x80];
  return c;
}

// Floor division for 26.6 values that may be negative.
std::int64_t FloorPixels(std::int64_t v26) { return v26 >= 0 ? v26 / 64 : -((-v26 + 63) / 64); }

// Rounded 16.16 to 26.6.
std::int64_t To26Dot6(FT_Fixed v16) { return (static_cast<std::int64_t>(v16) + 512) >> 10; }

// One channel moved towards the ink by coverage/255, rounded.
std::uint32_t BlendChannel(std::uint32_t d, std::uint32_t s, std::uint32_t coverage) {
  return (s * coverage + d * (255 - coverage) + 127) / 255;
}

std::uint32_t BlendInk(std::uint32_t d, std::uint32_t ink, std::uint32_t coverage) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    out |= BlendChannel((d >> shift) & 0xFF, (ink >> shift) & 0xFF, coverage) << shift;
  }
  return out;
}

}  // namespace

TextRenderer::~TextRenderer() {
  if (mFace) FT_Done_Face(mFace);
  if (mLibrary) FT_Done_FreeType(mLibrary);
}

bool TextRenderer::SelectFont(int size, int style) {
  if (mFace) return true;
  if (!mLibrary && FT_Init_FreeType(&mLibrary) != 0) {
    mLibrary = nullptr;
    return false;
  }
  const EmbeddedFont font = FindEmbeddedFont(style);
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(mLibrary, font.data, static_cast<FT_Long>(font.size), 0, &face) != 0) return false;

  // The cell in font units; the size request below scales it to whole pixels.
  const long ascender = face->ascender;
  const long cellUnits = face->ascender - face->descender;
  if (cellUnits <= 0 || ascender < 0 || face->units_per_EM == 0) {
    FT_Done_Face(face);
    return false;
  }
  long cell = size;
  if (size == 0) {
    cell = kDefaultCellHeight;
  } else if (size < 0) {
    const long em = std::min<long>(-static_cast<long>(size), kMaxCellHeight);
    cell = (em * cellUnits + face->units_per_EM / 2) / face->units_per_EM;
  }
  cell = std::clamp<long>(cell, 1, kMaxCellHeight);

  FT_Size_RequestRec request{};
  request.type = FT_SIZE_REQUEST_TYPE_REAL_DIM;  // height = ascender - descender
  request.height = cell * 64;
  if (FT_Request_Size(face, &request) != 0) {
    FT_Done_Face(face);
    return false;
  }
  mFace = face;
  mCellHeight = static_cast<int>(cell);
  mAscent = static_cast<int>((2 * ascender * cell + cellUnits) / (2 * cellUnits));
  return true;
}

std::int64_t TextRenderer::LineWidth(const char* text, std::size_t length) {
  if (!mFace || !text) return 0;
  std::int64_t width = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsControl(c)) continue;
    FT_Fixed advance = 0;
    if (FT_Get_Advance(mFace, FT_Get_Char_Index(mFace, CodePoint(c)), kLoadFlags, &advance) == 0) {
      width += To26Dot6(advance);
    }
  }
  return width;
}

bool TextRenderer::Draw(PixelSurface* dest, const char* text, const IRect& rect, int align,
                        const IColor& color) {
  if (!mFace) return false;
  if (!dest || !text || !dest->Bits() || dest->Width() <= 0 || dest->Height() <= 0) return true;
  const std::uint32_t ink = IColor(255, color.R, color.G, color.B).ToPixel();
  std::int64_t lineTop = rect.T;
  const char* line = text;
  for (;;) {
    const char* end = line;
    while (*end != '\0' && *end != '\n') ++end;
    // Glyphs stay within their cell; one cell of margin keeps accents that
    // reach above it safe. Lines entirely off the surface are skipped.
    if (lineTop + 2 * mCellHeight > 0 && lineTop - mCellHeight < dest->Height()) {
      DrawLine(dest, line, static_cast<std::size_t>(end - line), rect, align, lineTop + mAscent, ink);
    }
    if (*end == '\0') break;
    line = end + 1;
    lineTop += mCellHeight;
  }
  return true;
}

void TextRenderer::DrawLine(PixelSurface* dest, const char* text, std::size_t length, const IRect& rect,
                            int align, std::int64_t baseline, std::uint32_t ink) {
  // The line starts on a whole pixel; glyphs after the first keep their
  // fractional pen positions, so spacing follows the font's advances.
  std::int64_t start = rect.L;
  if (align == ITextStyle::kCenter || align == ITextStyle::kRight) {
    const std::int64_t room = (static_cast<std::int64_t>(rect.R) - rect.L) * 64 - LineWidth(text, length);
    const std::int64_t offset = align == ITextStyle::kCenter ? room / 2 : room;
    start = FloorPixels(static_cast<std::int64_t>(rect.L) * 64 + offset + 32);
  }
  std::int64_t pen = start * 64;
  const std::int64_t surfaceWidth = dest->Width();
  for (std::size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsControl(c)) continue;
    // A glyph never reaches further left than one cell before its pen.
    if (FloorPixels(pen) - mCellHeight >= surfaceWidth) break;
    const FT_UInt glyph = FT_Get_Char_Index(mFace, CodePoint(c));
    if (FT_Load_Glyph(mFace, glyph, kLoadFlags) != 0) continue;
    FT_GlyphSlot slot = mFace->glyph;
    const std::int64_t originX = FloorPixels(pen);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline_Translate(&slot->outline, static_cast<FT_Pos>(pen - originX * 64), 0);
    }
    if (originX + mCellHeight >= 0 && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
      DrawGlyph(dest, originX + slot->bitmap_left, baseline - slot->bitmap_top, ink);
    }
    pen += To26Dot6(slot->linearHoriAdvance);
  }
}

void TextRenderer::DrawGlyph(PixelSurface* dest, std::int64_t left, std::int64_t top, std::uint32_t ink) {
  const FT_Bitmap& bitmap = mFace->glyph->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || !bitmap.buffer) return;
  const std::int64_t rows = bitmap.rows;
  const std::int64_t cols = bitmap.width;
  const std::int64_t pitch = bitmap.pitch < 0 ? -static_cast<std::int64_t>(bitmap.pitch) : bitmap.pitch;
  const std::int64_t levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 1;
  // The part of the glyph box that lies on the surface.
  const std::int64_t r0 = std::max<std::int64_t>(0, -top);
  const std::int64_t r1 = std::min<std::int64_t>(rows, dest->Height() - top);
  const std::int64_t c0 = std::max<std::int64_t>(0, -left);
  const std::int64_t c1 = std::min<std::int64_t>(cols, dest->Width() - left);
  std::uint32_t* bits = dest->Bits();
  const std::int64_t span = dest->RowSpan();
  for (std::int64_t r = r0; r < r1; ++r) {
    // A negative pitch stores the bottom row first.
    const unsigned char* src = bitmap.buffer + (bitmap.pitch < 0 ? rows - 1 - r : r) * pitch;
    // Indexes, not a row pointer: left may lie before the row's start.
    const std::int64_t rowStart = (top + r) * span + left;
    for (std::int64_t c = c0; c < c1; ++c) {
      const std::uint32_t coverage = static_cast<std::uint32_t>(src[c] * 255 / levels);
      if (coverage != 0) bits[rowStart + c] = BlendInk(bits[rowStart + c], ink, coverage);
    }
  }
}

}  // namespace sorvano
