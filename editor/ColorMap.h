#pragma once

// Turns the sonogram's 16-bit display magnitudes into opaque pixel colours.
//
// Each of the four maps runs from black (value 0) through its key colours A
// and B to C. With the brightness multiplier k, a magnitude v gives n = k * v:
//   n <  256: black to A over 256 steps,
//   n <  768: A to B over 512 steps,
//   n >= 768: B to C over 256 steps, n limited to 1024.
// The scale is linear in amplitude; the multiplier is a plain gain.
//
// One ColorMap holds the colouring state of one sonogram pane: the key colours
// of the loaded map and that map's index. Editor thread only.

#include <array>
#include <cstdint>

namespace sorvano {

// A pane's magnitudes: column after column, row 0 of each column is the lowest
// frequency. columnSpan is the number of values from one column to the next.
struct MagnitudeImage {
  const std::uint16_t* data = nullptr;
  int width = 0;
  int height = 0;
  int columnSpan = 0;
};

// A pane's pixels: line after line from the top, 0xAARRGGBB. rowSpan is the
// number of pixels from one line to the next.
struct PixelImage {
  std::uint32_t* data = nullptr;
  int width = 0;
  int height = 0;
  int rowSpan = 0;
};

class ColorMap {
public:
  static constexpr int kMapCount = 4;
  // n at and above which every map shows its last key colour.
  static constexpr int kFullScale = 1024;

  // The map's display name, or null for an index outside 0..3.
  static const char* Name(int map);
  // trunc(bright * 12); 0 for a brightness that is not positive.
  static int BrightnessMultiplier(double bright);

  // Loads the key colours of map unless it is the loaded one. An index outside
  // 0..3 loads nothing but is recorded, so the previous colours stay in use.
  void Select(int map);
  // -1 until the first Select.
  int LoadedMap() const { return mLoaded; }

  // The pixel for magnitude v at multiplier k with the loaded key colours.
  std::uint32_t ColorOf(std::uint16_t v, int k) const {
    std::int64_t n = static_cast<std::int64_t>(k) * v;
    if (n < 0) n = 0;
    if (n > kFullScale) n = kFullScale;
    return mTable[static_cast<std::size_t>(n)];
  }

  // Colours columns [x0, x1) and magnitude rows [r0, r1) of a pane with map
  // and multiplier k: row r goes to pixel line (pixels.height - 1 - r), so
  // low frequencies are at the bottom. The rectangle is clipped to both
  // images; nothing is written outside them.
  void ColorRect(const MagnitudeImage& magnitudes, const PixelImage& pixels, int x0, int x1, int r0,
                 int r1, int map, int k);

private:
  struct Rgb {
    int r = 0, g = 0, b = 0;
  };

  void BuildTable();

  std::array<Rgb, 3> mKeys{};  // A, B, C
  int mLoaded = -1;
  // The colour of every n from 0 to kFullScale for the loaded key colours.
  std::array<std::uint32_t, kFullScale + 1> mTable = MakeBlackTable();

  static constexpr std::array<std::uint32_t, kFullScale + 1> MakeBlackTable() {
    std::array<std::uint32_t, kFullScale + 1> t{};
    for (auto& p : t) p = 0xFF000000u;
    return t;
  }
};

}  // namespace sorvano
