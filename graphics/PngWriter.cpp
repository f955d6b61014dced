#include "graphics/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "graphics/Surface.h"

namespace sorvano {
namespace {

// Writes the image through an open file; libpng reports errors by a long
// jump back here. Nothing with a destructor is created after the setjmp.
bool WriteRows(std::FILE* file, const PixelSurface& surface, std::vector<png_byte>& row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  const int width = surface.Width();
  const int height = surface.Height();
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const std::uint32_t* bits = surface.Bits();
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* pixels = bits + static_cast<std::size_t>(y) * surface.RowSpan();
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[x];
      png_byte* out = &row[static_cast<std::size_t>(x) * 4];
      out[0] = static_cast<png_byte>(p >> 16);
      out[1] = static_cast<png_byte>(p >> 8);
      out[2] = static_cast<png_byte>(p);
      out[3] = static_cast<png_byte>(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const PixelSurface& surface, const char* path) {
  if (!path || !surface.Bits() || surface.Width() <= 0 || surface.Height() <= 0) return false;
  std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 4);
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool written = WriteRows(file, surface, row);
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace sorvano
