// DecodePng: PNG bytes to 0xAARRGGBB pixels with libpng.
//
// libpng reports errors by a long jump back to the setjmp of the caller. A
// long jump skips C++ destructors and leaves non-volatile locals changed
// after setjmp indeterminate, so each function that calls setjmp below holds
// no object with a destructor and changes no local after it; everything that
// must survive an error lives in a PngJob owned by the caller.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "graphics/Surface.h"

namespace sorvano {

namespace {

constexpr std::size_t kSignatureBytes = 8;

// Larger images are refused before any pixel memory is allocated; the editor's
// own images are a few hundred pixels across.
constexpr png_uint_32 kMaxPngSide = 16384;

// The bytes being decoded and how far the decoder has read.
struct PngSource {
  const unsigned char* data;
  std::size_t size;
  std::size_t position;
};

// Everything the decode steps share. Plain data, safe across a long jump.
struct PngJob {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngSource source{};
  png_uint_32 width = 0;
  png_uint_32 height = 0;
};

// Never reads past the end: short data is a decoder error.
void ReadFromSource(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (count > source->size - source->position) png_error(png, "PNG data ends early");
  std::memcpy(out, source->data + source->position, count);
  source->position += count;
}

// Errors leave silently (the editor writes no log) through the long jump.
[[noreturn]] void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnoreWarning(png_structp, png_const_charp) {}

// Reads the header and sets the transformations that make every pixel arrive
// as the bytes A, R, G, B. Answers false on a decoder error or if the rows
// would not come out as 4 bytes per pixel.
bool ReadHeader(PngJob* job) {
  png_structp png = job->png;
  png_infop info = job->info;
  if (setjmp(png_jmpbuf(png))) return false;

  png_set_read_fn(png, &job->source, ReadFromSource);
  png_set_sig_bytes(png, static_cast<int>(kSignatureBytes));
  png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
  png_read_info(png, info);

  const int bitDepth = png_get_bit_depth(png, info);
  const int colourType = png_get_color_type(png, info);
  if (bitDepth == 16) png_set_strip_16(png);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (transparency) png_set_tRNS_to_alpha(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if ((colourType & PNG_COLOR_MASK_ALPHA) != 0 || transparency) {
    png_set_swap_alpha(png);
  } else {
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  job->width = png_get_image_width(png, info);
  job->height = png_get_image_height(png, info);
  return png_get_bit_depth(png, info) == 8 && png_get_channels(png, info) == 4 &&
         png_get_rowbytes(png, info) == static_cast<png_size_t>(job->width) * 4;
}

// Reads every row into the given row pointers.
bool ReadRows(PngJob* job, png_bytepp rows) {
  if (setjmp(png_jmpbuf(job->png))) return false;
  png_read_image(job->png, rows);
  return true;
}

// Turns the bytes A, R, G, B of each pixel into the word 0xAARRGGBB, whatever
// the byte order of the machine.
void RepackRow(std::uint32_t* row, png_uint_32 width) {
  auto* bytes = reinterpret_cast<const unsigned char*>(row);
  for (png_uint_32 i = 0; i < width; ++i) {
    const unsigned char* p = bytes + 4 * static_cast<std::size_t>(i);
    const std::uint32_t word = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                               (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    row[i] = word;
  }
}

// Decodes into the surface, or makes a new MemorySurface when surface is
// null (stored in *created so the caller can free it on failure).
bool Decode(PngJob& job, PixelSurface* surface, MemorySurface** created) {
  if (!ReadHeader(&job)) return false;
  if (job.width == 0 || job.height == 0 || job.width > kMaxPngSide || job.height > kMaxPngSide) return false;
  const int w = static_cast<int>(job.width);
  const int h = static_cast<int>(job.height);
  if (surface == nullptr) {
    *created = new MemorySurface(w, h);
    surface = *created;
  } else {
    surface->Resize(w, h);
  }
  if (surface->Width() != w || surface->Height() != h || surface->Bits() == nullptr || surface->RowSpan() < w) {
    return false;
  }

  std::uint32_t* bits = surface->Bits();
  const std::ptrdiff_t span = surface->RowSpan();
  std::vector<png_bytep> rows(job.height);
  for (png_uint_32 y = 0; y < job.height; ++y) rows[y] = reinterpret_cast<png_bytep>(bits + y * span);
  if (!ReadRows(&job, rows.data())) return false;
  for (png_uint_32 y = 0; y < job.height; ++y) RepackRow(bits + y * span, job.width);
  return true;
}

}  // namespace

PixelSurface* DecodePng(const unsigned char* data, std::size_t size, PixelSurface* target) {
  if (data == nullptr || size < kSignatureBytes || png_sig_cmp(data, 0, kSignatureBytes) != 0) return nullptr;

  PngJob job;
  job.source = PngSource{data, size, kSignatureBytes};
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
  if (job.png == nullptr) return nullptr;
  job.info = png_create_info_struct(job.png);
  MemorySurface* created = nullptr;
  const bool ok = job.info != nullptr && Decode(job, target, &created);
  png_destroy_read_struct(&job.png, &job.info, nullptr);
  if (!ok) {
    delete created;
    return nullptr;
  }
  return target != nullptr ? target : created;
}

}  // namespace sorvano
