#include "editor/ColorMap.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace sorvano {

namespace {

struct MapDef {
  const char* name;
  int keys[3][3];  // A, B, C as red, green, blue
};

constexpr MapDef kMaps[ColorMap::kMapCount] = {
    {"pompeii", {{255, 94, 0}, {255, 231, 10}, {255, 255, 255}}},
    {"thermal", {{0, 0, 255}, {255, 0, 0}, {255, 255, 0}}},
    {"chlorine", {{0, 0, 128}, {0, 255, 0}, {255, 255, 255}}},
    {"brrr", {{95, 0, 255}, {18, 227, 255}, {255, 255, 255}}},
};

constexpr int kEndOfFirstRamp = 256;   // black to A
constexpr int kEndOfSecondRamp = 768;  // A to B over 512 steps; B to C after

}  // namespace

const char* ColorMap::Name(int map) {
  if (map < 0 || map >= kMapCount) return nullptr;
  return kMaps[map].name;
}

int ColorMap::BrightnessMultiplier(double bright) {
  const double k = bright * 12.0;
  if (!(k > 0.0)) return 0;  // also NaN
  if (k >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(k);
}

void ColorMap::Select(int map) {
  if (map == mLoaded) return;
  mLoaded = map;
  if (map < 0 || map >= kMapCount) return;
  for (int i = 0; i < 3; ++i) {
    mKeys[i] = Rgb{kMaps[map].keys[i][0], kMaps[map].keys[i][1], kMaps[map].keys[i][2]};
  }
  BuildTable();
}

void ColorMap::BuildTable() {
  const Rgb& a = mKeys[0];
  const Rgb& b = mKeys[1];
  const Rgb& c = mKeys[2];
  for (int n = 0; n <= kFullScale; ++n) {
    Rgb p;
    if (n < kEndOfFirstRamp) {
      p = Rgb{a.r * n / 256, a.g * n / 256, a.b * n / 256};
    } else if (n < kEndOfSecondRamp) {
      const int m = n - kEndOfFirstRamp;
      p = Rgb{(a.r * (512 - m) + b.r * m) / 512, (a.g * (512 - m) + b.g * m) / 512,
              (a.b * (512 - m) + b.b * m) / 512};
    } else {
      const int m = n - kEndOfSecondRamp;
      p = Rgb{(b.r * (256 - m) + c.r * m) / 256, (b.g * (256 - m) + c.g * m) / 256,
              (b.b * (256 - m) + c.b * m) / 256};
    }
    mTable[static_cast<std::size_t>(n)] = 0xFF000000u | static_cast<std::uint32_t>(p.r) << 16 |
                                          static_cast<std::uint32_t>(p.g) << 8 |
                                          static_cast<std::uint32_t>(p.b);
  }
}

void ColorMap::ColorRect(const MagnitudeImage& magnitudes, const PixelImage& pixels, int x0, int x1,
                         int r0, int r1, int map, int k) {
  Select(map);
  if (!magnitudes.data || !pixels.data) return;
  if (magnitudes.columnSpan < magnitudes.height || pixels.rowSpan < pixels.width) return;
  x0 = std::max(x0, 0);
  x1 = std::min({x1, magnitudes.width, pixels.width});
  r0 = std::max(r0, 0);
  r1 = std::min({r1, magnitudes.height, pixels.height});
  if (x0 >= x1 || r0 >= r1) return;

  // Column by column: the magnitudes of a column are contiguous, which makes
  // this order faster than line by line.
  for (int x = x0; x < x1; ++x) {
    const std::uint16_t* column = magnitudes.data + static_cast<std::ptrdiff_t>(x) * magnitudes.columnSpan;
    std::ptrdiff_t at = static_cast<std::ptrdiff_t>(pixels.height - 1 - r0) * pixels.rowSpan + x;
    for (int r = r0; r < r1; ++r, at -= pixels.rowSpan) pixels.data[at] = ColorOf(column[r], k);
  }
}

}  // namespace sorvano
