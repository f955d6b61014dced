// DecodePng: colour types to exact 0xAARRGGBB words, targets, and hostile
// data. The test images are written here with libpng's own writer.

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "graphics/DrawSurface.h"
#include "graphics/Surface.h"
#include "tests/graphics/SurfaceTestSupport.h"

namespace sorvano {
namespace {

using Bytes = std::vector<unsigned char>;

// What to encode: raw samples row by row as libpng expects them (16-bit
// samples big-endian, sub-byte samples packed).
struct PngImage {
  int width = 0;
  int height = 0;
  int bitDepth = 8;
  int colourType = PNG_COLOR_TYPE_RGB;
  bool interlaced = false;
  Bytes samples;
  std::vector<png_color> palette;
  Bytes paletteAlpha;        // tRNS for palette images
  bool colourKey = false;    // tRNS for grey or RGB images
  png_color_16 key{};
};

PngImage Image(int width, int height, int bitDepth, int colourType) {
  PngImage image;
  image.width = width;
  image.height = height;
  image.bitDepth = bitDepth;
  image.colourType = colourType;
  return image;
}

void AppendToBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

void FlushNothing(png_structp) {}

// Holds no object with a destructor across its setjmp.
bool WritePng(const PngImage& image, Bytes* out, png_bytepp rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendToBytes, FlushNothing);
  png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colourType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty()) {
    png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
  }
  if (!image.paletteAlpha.empty()) {
    png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()), nullptr);
  }
  if (image.colourKey) png_set_tRNS(png, info, nullptr, 0, &image.key);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

Bytes Encode(const PngImage& image) {
  const std::size_t rowBytes = image.samples.size() / image.height;
  std::vector<png_bytep> rows(image.height);
  Bytes samples = image.samples;
  for (int y = 0; y < image.height; ++y) rows[y] = samples.data() + y * rowBytes;
  Bytes out;
  EXPECT_TRUE(WritePng(image, &out, rows.data()));
  return out;
}

// Decodes into a new surface and reads back every pixel, row by row.
std::vector<std::uint32_t> DecodeWords(const Bytes& png, int expectedW, int expectedH) {
  std::unique_ptr<PixelSurface> s(DecodePng(png.data(), png.size(), nullptr));
  if (s == nullptr) {
    ADD_FAILURE() << "decode failed";
    return {};
  }
  EXPECT_EQ(s->Width(), expectedW);
  EXPECT_EQ(s->Height(), expectedH);
  std::vector<std::uint32_t> words;
  for (int y = 0; y < s->Height(); ++y) {
    for (int x = 0; x < s->Width(); ++x) words.push_back(SurfaceGetPixel(s.get(), x, y));
  }
  return words;
}

using Words = std::vector<std::uint32_t>;

TEST(PngDecoderTest, TrueColourImagesBecomeExactWords) {
  PngImage rgb = Image(2, 2, 8, PNG_COLOR_TYPE_RGB);
  rgb.samples = {1, 2, 3, 4, 5, 6, 7, 8, 9, 250, 251, 252};
  EXPECT_EQ(DecodeWords(Encode(rgb), 2, 2), (Words{0xFF010203u, 0xFF040506u, 0xFF070809u, 0xFFFAFBFCu}));

  PngImage rgba = Image(2, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA);
  rgba.samples = {0x10, 0x20, 0x30, 0x40, 0xFF, 0x00, 0x00, 0x00};
  EXPECT_EQ(DecodeWords(Encode(rgba), 2, 1), (Words{0x40102030u, 0x00FF0000u}));

  // 16-bit samples keep their high byte.
  PngImage rgb16 = Image(1, 1, 16, PNG_COLOR_TYPE_RGB);
  rgb16.samples = {0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF};
  EXPECT_EQ(DecodeWords(Encode(rgb16), 1, 1), (Words{0xFF12AB00u}));

  PngImage rgba16 = Image(1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA);
  rgba16.samples = {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x01, 0x7F, 0xFF};
  EXPECT_EQ(DecodeWords(Encode(rgba16), 1, 1), (Words{0x7FFF8000u}));

  // A colour key makes that colour fully transparent and the rest opaque.
  PngImage keyed = Image(2, 1, 8, PNG_COLOR_TYPE_RGB);
  keyed.samples = {1, 2, 3, 1, 2, 4};
  keyed.colourKey = true;
  keyed.key.red = 1;
  keyed.key.green = 2;
  keyed.key.blue = 3;
  EXPECT_EQ(DecodeWords(Encode(keyed), 2, 1), (Words{0x00010203u, 0xFF010204u}));
}

TEST(PngDecoderTest, GreyAndPaletteImagesBecomeExactWords) {
  PngImage grey = Image(2, 1, 8, PNG_COLOR_TYPE_GRAY);
  grey.samples = {0x37, 0xC8};
  EXPECT_EQ(DecodeWords(Encode(grey), 2, 1), (Words{0xFF373737u, 0xFFC8C8C8u}));

  PngImage greyAlpha = Image(1, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA);
  greyAlpha.samples = {0x37, 0x80};
  EXPECT_EQ(DecodeWords(Encode(greyAlpha), 1, 1), (Words{0x80373737u}));

  // One bit per pixel, 0b10100000: white, black, white.
  PngImage bits = Image(3, 1, 1, PNG_COLOR_TYPE_GRAY);
  bits.samples = {0xA0};
  EXPECT_EQ(DecodeWords(Encode(bits), 3, 1), (Words{0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu}));

  PngImage palette = Image(3, 1, 8, PNG_COLOR_TYPE_PALETTE);
  palette.palette = {{0x11, 0x22, 0x33}, {0x44, 0x55, 0x66}};
  palette.samples = {1, 0, 1};
  EXPECT_EQ(DecodeWords(Encode(palette), 3, 1), (Words{0xFF445566u, 0xFF112233u, 0xFF445566u}));

  // Entries without a tRNS value stay opaque.
  PngImage translucent = palette;
  translucent.paletteAlpha = {0x20};
  EXPECT_EQ(DecodeWords(Encode(translucent), 3, 1), (Words{0xFF445566u, 0x20112233u, 0xFF445566u}));
}

TEST(PngDecoderTest, InterlacedImageMatchesTheProgressiveOne) {
  PngImage image = Image(5, 5, 8, PNG_COLOR_TYPE_RGB_ALPHA);
  for (int i = 0; i < 5 * 5 * 4; ++i) image.samples.push_back(static_cast<unsigned char>(i * 7 + 3));
  const Words plain = DecodeWords(Encode(image), 5, 5);
  image.interlaced = true;
  EXPECT_EQ(DecodeWords(Encode(image), 5, 5), plain);
  ASSERT_EQ(plain.size(), 25u);
  EXPECT_EQ(plain[6], 0xC0ABB2B9u);  // samples 24..27: 171, 178, 185, 192 as R, G, B, A
}

Bytes SmallRgb() {
  PngImage rgb = Image(3, 2, 8, PNG_COLOR_TYPE_RGB);
  for (int i = 0; i < 3 * 2 * 3; ++i) rgb.samples.push_back(static_cast<unsigned char>(10 * i));
  return Encode(rgb);
}

TEST(PngDecoderTest, DecodesIntoAGivenSurfaceAtItsRowSpan) {
  const Bytes png = SmallRgb();
  DrawSurface target(8, 8);
  EXPECT_EQ(DecodePng(png.data(), png.size(), &target), &target);
  EXPECT_EQ(target.Width(), 3);
  EXPECT_EQ(target.Height(), 2);
  EXPECT_EQ(target.RowSpan(), 8);  // kept the larger buffer
  EXPECT_EQ(target.Bits()[0], 0xFF000A14u);
  EXPECT_EQ(target.Bits()[8 + 2], 0xFF96A0AAu);  // row 1, pixel 2: samples 150, 160, 170
  EXPECT_EQ(target.Bits()[3], 0u);               // beyond the width, untouched

  // A surface that cannot take the image size makes the decode fail, and the
  // surface stays the caller's, unharmed.
  test::GuardedSurface fixed(2, 2, 0x12345678u);
  EXPECT_EQ(DecodePng(png.data(), png.size(), &fixed), nullptr);
  EXPECT_TRUE(fixed.GuardsIntact());
  EXPECT_EQ(fixed.CountNot(0x12345678u), 0);
}

// Standard CRC-32 of a chunk's type and data, to forge valid chunks.
std::uint32_t Crc32(const unsigned char* p, std::size_t n) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

// The PNG with IHDR width and height replaced (and its CRC fixed up).
Bytes WithSize(Bytes png, std::uint32_t w, std::uint32_t h) {
  // Signature 8, length 4, "IHDR" 4, then width and height; the CRC follows 13 data bytes.
  PutBigEndian(&png[16], w);
  PutBigEndian(&png[20], h);
  PutBigEndian(&png[33], Crc32(&png[12], 4 + 13));
  return png;
}

// A surface that records whether anyone asked it to resize.
class ResizeProbe : public MemorySurface {
public:
  bool Resize(int w, int h) override {
    asked = true;
    return MemorySurface::Resize(w, h);
  }
  bool asked = false;
};

// Decodes from a heap copy of exactly n bytes, so that any read beyond them is
// caught by AddressSanitizer; frees whatever comes back.
bool DecodesFromExactCopy(const Bytes& png, std::size_t n) {
  std::unique_ptr<unsigned char[]> copy(new unsigned char[n == 0 ? 1 : n]);
  std::memcpy(copy.get(), png.data(), n);
  std::unique_ptr<PixelSurface> s(DecodePng(copy.get(), n, nullptr));
  return s != nullptr;
}

TEST(PngDecoderTest, TruncatedDataFailsCleanly) {
  const Bytes png = SmallRgb();
  // Where the image data ends: after the last IDAT chunk's CRC.
  std::size_t idatEnd = 0;
  for (std::size_t at = 8; at + 8 <= png.size();) {
    const std::uint32_t length = (std::uint32_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
    const std::size_t next = at + 12 + length;
    if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) idatEnd = next;
    at = next;
  }
  ASSERT_GT(idatEnd, 0u);
  for (std::size_t n = 0; n < idatEnd; ++n) EXPECT_FALSE(DecodesFromExactCopy(png, n)) << n;
  for (std::size_t n = idatEnd; n < png.size(); ++n) DecodesFromExactCopy(png, n);
  EXPECT_TRUE(DecodesFromExactCopy(png, png.size()));
  EXPECT_EQ(DecodePng(nullptr, 100, nullptr), nullptr);
}

TEST(PngDecoderTest, GarbledDataFailsCleanly) {
  const Bytes png = SmallRgb();
  Bytes badSignature = png;
  badSignature[1] ^= 0x20;
  EXPECT_EQ(DecodePng(badSignature.data(), badSignature.size(), nullptr), nullptr);

  // Absurd or empty sizes are refused before the target is touched.
  for (const auto& [w, h] : {std::pair{20000u, 2u}, std::pair{3u, 20000u}, std::pair{0x7FFFFFFFu, 0x7FFFFFFFu},
                             std::pair{0u, 2u}}) {
    const Bytes forged = WithSize(png, w, h);
    ResizeProbe probe;
    EXPECT_EQ(DecodePng(forged.data(), forged.size(), &probe), nullptr) << w << " x " << h;
    EXPECT_FALSE(probe.asked) << w << " x " << h;
  }
  // A size that passes the header but does not match the data.
  const Bytes taller = WithSize(png, 3, 50);
  EXPECT_EQ(DecodePng(taller.data(), taller.size(), nullptr), nullptr);

  // Corrupt bytes anywhere: a clean failure or a surface of the header's size.
  std::mt19937 random(20240611);
  for (int round = 0; round < 400; ++round) {
    Bytes mutated = png;
    const int flips = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < flips; ++i) mutated[8 + random() % (mutated.size() - 8)] = static_cast<unsigned char>(random());
    std::unique_ptr<PixelSurface> s(DecodePng(mutated.data(), mutated.size(), nullptr));
    if (s != nullptr) {
      EXPECT_GT(s->Width(), 0);
      EXPECT_NE(s->Bits(), nullptr);
    }
  }
}

}  // namespace
}  // namespace sorvano
