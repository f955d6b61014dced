#include "editor/ColorMap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sorvano {
namespace {

constexpr std::uint32_t Pixel(int r, int g, int b) {
  return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b);
}

struct Key {
  int r, g, b;
};
struct MapKeys {
  Key a, b, c;
};
const MapKeys kKeys[4] = {
    {{255, 94, 0}, {255, 231, 10}, {255, 255, 255}},
    {{0, 0, 255}, {255, 0, 0}, {255, 255, 0}},
    {{0, 0, 128}, {0, 255, 0}, {255, 255, 255}},
    {{95, 0, 255}, {18, 227, 255}, {255, 255, 255}},
};

// The colour of n computed channel by channel, independently of the table.
std::uint32_t Reference(const MapKeys& k, int n) {
  auto ch = [&](int a, int b, int c) {
    if (n < 256) return a * n / 256;
    if (n < 768) {
      const int m = n - 256;
      return (a * (512 - m) + b * m) / 512;
    }
    const int m = (n > 1024 ? 1024 : n) - 768;
    return (b * (256 - m) + c * m) / 256;
  };
  return Pixel(ch(k.a.r, k.b.r, k.c.r), ch(k.a.g, k.b.g, k.c.g), ch(k.a.b, k.b.b, k.c.b));
}

TEST(ColorMap, NamesAndMultiplier) {
  EXPECT_STREQ(ColorMap::Name(0), "pompeii");
  EXPECT_STREQ(ColorMap::Name(1), "thermal");
  EXPECT_STREQ(ColorMap::Name(2), "chlorine");
  EXPECT_STREQ(ColorMap::Name(3), "brrr");
  EXPECT_EQ(ColorMap::Name(4), nullptr);
  EXPECT_EQ(ColorMap::Name(-1), nullptr);

  EXPECT_EQ(ColorMap::BrightnessMultiplier(0.1), 1);  // 1.2000000000000002
  EXPECT_EQ(ColorMap::BrightnessMultiplier(1.0), 12);
  EXPECT_EQ(ColorMap::BrightnessMultiplier(10.0), 120);
  EXPECT_EQ(ColorMap::BrightnessMultiplier(0.58), 6);  // 6.96 truncates
  EXPECT_EQ(ColorMap::BrightnessMultiplier(0.0), 0);
  EXPECT_EQ(ColorMap::BrightnessMultiplier(-3.0), 0);
}

TEST(ColorMap, KeyColoursAtRampBoundaries) {
  for (int map = 0; map < 4; ++map) {
    SCOPED_TRACE(map);
    const MapKeys& k = kKeys[map];
    ColorMap cm;
    cm.Select(map);
    // With k = 1 the value is n itself.
    EXPECT_EQ(cm.ColorOf(0, 1), 0xFF000000u);
    EXPECT_EQ(cm.ColorOf(255, 1), Pixel(k.a.r * 255 / 256, k.a.g * 255 / 256, k.a.b * 255 / 256));
    EXPECT_EQ(cm.ColorOf(256, 1), Pixel(k.a.r, k.a.g, k.a.b));
    EXPECT_EQ(cm.ColorOf(767, 1), Reference(k, 767));
    EXPECT_EQ(cm.ColorOf(768, 1), Pixel(k.b.r, k.b.g, k.b.b));
    EXPECT_EQ(cm.ColorOf(1023, 1), Reference(k, 1023));
    EXPECT_EQ(cm.ColorOf(1024, 1), Pixel(k.c.r, k.c.g, k.c.b));
    EXPECT_EQ(cm.ColorOf(1025, 1), Pixel(k.c.r, k.c.g, k.c.b));
    EXPECT_EQ(cm.ColorOf(65535, 1), Pixel(k.c.r, k.c.g, k.c.b));
    // Zero stays black at any brightness.
    EXPECT_EQ(cm.ColorOf(0, 12), 0xFF000000u);
    EXPECT_EQ(cm.ColorOf(0, 120), 0xFF000000u);
  }
}

TEST(ColorMap, MultiplierScalesMagnitudes) {
  ColorMap cm;
  cm.Select(2);
  const MapKeys& k = kKeys[2];
  const std::uint32_t c = Pixel(k.c.r, k.c.g, k.c.b);
  // Bright 0.1 (k = 1): only 1024 and above reach C.
  EXPECT_NE(cm.ColorOf(1023, 1), c);
  EXPECT_EQ(cm.ColorOf(1024, 1), c);
  // Bright 10 (k = 120): 9 * 120 = 1080 reaches C, 8 * 120 = 960 does not.
  EXPECT_EQ(cm.ColorOf(9, 120), c);
  EXPECT_EQ(cm.ColorOf(8, 120), Reference(k, 960));
  // k = 12: 64 * 12 = 768 is exactly B, 21 * 12 = 252 just below A.
  EXPECT_EQ(cm.ColorOf(64, 12), Pixel(k.b.r, k.b.g, k.b.b));
  EXPECT_EQ(cm.ColorOf(21, 12), Reference(k, 252));
  // Large products neither overflow nor wrap.
  EXPECT_EQ(cm.ColorOf(65535, 120), c);
  EXPECT_EQ(cm.ColorOf(65535, 1 << 30), c);
  EXPECT_EQ(cm.ColorOf(100, -5), 0xFF000000u);
}

TEST(ColorMap, EveryValueMatchesTheChannelFormula) {
  for (int map = 0; map < 4; ++map) {
    ColorMap cm;
    cm.Select(map);
    for (int n = 0; n <= 1100; ++n) {
      ASSERT_EQ(cm.ColorOf(static_cast<std::uint16_t>(n), 1), Reference(kKeys[map], n))
          << "map " << map << " n " << n;
    }
  }
}

TEST(ColorMap, LoadedMapRule) {
  ColorMap cm;
  EXPECT_EQ(cm.LoadedMap(), -1);
  EXPECT_EQ(cm.ColorOf(1024, 1), 0xFF000000u);  // nothing loaded: black

  cm.Select(1);
  EXPECT_EQ(cm.LoadedMap(), 1);
  const std::uint32_t thermalA = Pixel(0, 0, 255);
  EXPECT_EQ(cm.ColorOf(256, 1), thermalA);

  // An index outside 0..3 is recorded but keeps the thermal colours.
  cm.Select(7);
  EXPECT_EQ(cm.LoadedMap(), 7);
  EXPECT_EQ(cm.ColorOf(256, 1), thermalA);
  cm.Select(-2);
  EXPECT_EQ(cm.LoadedMap(), -2);
  EXPECT_EQ(cm.ColorOf(256, 1), thermalA);

  cm.Select(3);
  EXPECT_EQ(cm.ColorOf(256, 1), Pixel(95, 0, 255));
  cm.Select(3);  // already loaded: same colours
  EXPECT_EQ(cm.ColorOf(256, 1), Pixel(95, 0, 255));
}

// A pane of W x H magnitudes (column-major, row 0 at the bottom) and a pixel
// image with guard pixels around it, to catch writes outside the image.
struct Pane {
  static constexpr std::uint32_t kGuard = 0x12345678u;
  static constexpr int kPad = 8;
  int w, h, span;
  std::vector<std::uint16_t> mags;
  std::vector<std::uint32_t> store;

  Pane(int width, int height, int rowSpan)
      : w(width), h(height), span(rowSpan), mags(static_cast<std::size_t>(width * height)),
        store(static_cast<std::size_t>(rowSpan * height + 2 * kPad), kGuard) {}

  MagnitudeImage Mags() const { return MagnitudeImage{mags.data(), w, h, h}; }
  PixelImage Pixels() { return PixelImage{store.data() + kPad, w, h, span}; }
  std::uint16_t& Mag(int x, int r) { return mags[static_cast<std::size_t>(x * h + r)]; }
  std::uint32_t At(int x, int line) const { return store[static_cast<std::size_t>(kPad + line * span + x)]; }
  bool GuardsIntact() const {
    for (int i = 0; i < kPad; ++i) {
      if (store[static_cast<std::size_t>(i)] != kGuard || store[store.size() - 1 - i] != kGuard) return false;
    }
    for (int line = 0; line < h; ++line) {
      for (int x = w; x < span; ++x) {
        if (At(x, line) != kGuard) return false;
      }
    }
    return true;
  }
};

TEST(ColorMap, RectIsPlacedBottomUp) {
  Pane pane(4, 3, 6);
  for (int x = 0; x < 4; ++x) {
    for (int r = 0; r < 3; ++r) pane.Mag(x, r) = static_cast<std::uint16_t>(100 * r + 10 * x);
  }
  ColorMap cm;
  cm.ColorRect(pane.Mags(), pane.Pixels(), 0, 4, 0, 3, 0, 1);
  EXPECT_EQ(cm.LoadedMap(), 0);
  for (int x = 0; x < 4; ++x) {
    for (int r = 0; r < 3; ++r) {
      EXPECT_EQ(pane.At(x, 2 - r), cm.ColorOf(pane.Mag(x, r), 1)) << x << "," << r;
    }
  }
  EXPECT_TRUE(pane.GuardsIntact());
}

TEST(ColorMap, RectTouchesOnlyItsCellsAndIsClipped) {
  Pane pane(5, 4, 5);
  for (auto& m : pane.mags) m = 1024;
  ColorMap cm;
  const std::uint32_t white = Pixel(255, 255, 255);

  // Columns 1..2, rows 2..3: lines 1 and 0.
  cm.ColorRect(pane.Mags(), pane.Pixels(), 1, 3, 2, 4, 0, 1);
  for (int x = 0; x < 5; ++x) {
    for (int line = 0; line < 4; ++line) {
      const bool inside = x >= 1 && x < 3 && line <= 1;
      EXPECT_EQ(pane.At(x, line), inside ? white : Pane::kGuard) << x << "," << line;
    }
  }

  // A rectangle far larger than the pane colours exactly the pane.
  cm.ColorRect(pane.Mags(), pane.Pixels(), -10, 100, -10, 100, 0, 1);
  for (int x = 0; x < 5; ++x) {
    for (int line = 0; line < 4; ++line) EXPECT_EQ(pane.At(x, line), white);
  }
  EXPECT_TRUE(pane.GuardsIntact());
}

TEST(ColorMap, RectClipsToTheSmallerImage) {
  // Magnitudes narrower and lower than the pixel image.
  Pane pane(6, 6, 6);
  std::vector<std::uint16_t> mags(3 * 4, 1024);
  const MagnitudeImage small{mags.data(), 3, 4, 4};
  ColorMap cm;
  cm.ColorRect(small, pane.Pixels(), 0, 6, 0, 6, 0, 1);
  for (int x = 0; x < 6; ++x) {
    for (int line = 0; line < 6; ++line) {
      const bool inside = x < 3 && line >= 2;  // rows 0..3 are lines 5..2
      EXPECT_EQ(pane.At(x, line) != Pane::kGuard, inside) << x << "," << line;
    }
  }
  EXPECT_TRUE(pane.GuardsIntact());
}

TEST(ColorMap, RectRejectsInconsistentImages) {
  Pane pane(4, 4, 4);
  ColorMap cm;
  // Empty and inverted ranges write nothing, but still select the map.
  cm.ColorRect(pane.Mags(), pane.Pixels(), 3, 1, 0, 4, 2, 1);
  EXPECT_EQ(cm.LoadedMap(), 2);
  cm.ColorRect(pane.Mags(), pane.Pixels(), 0, 4, 4, 4, 2, 1);
  // Spans shorter than the extent, and null images.
  MagnitudeImage badMags = pane.Mags();
  badMags.columnSpan = 2;
  cm.ColorRect(badMags, pane.Pixels(), 0, 4, 0, 4, 2, 1);
  PixelImage badPixels = pane.Pixels();
  badPixels.rowSpan = 3;
  cm.ColorRect(pane.Mags(), badPixels, 0, 4, 0, 4, 2, 1);
  cm.ColorRect(MagnitudeImage{}, pane.Pixels(), 0, 4, 0, 4, 2, 1);
  cm.ColorRect(pane.Mags(), PixelImage{}, 0, 4, 0, 4, 2, 1);
  for (int x = 0; x < 4; ++x) {
    for (int line = 0; line < 4; ++line) EXPECT_EQ(pane.At(x, line), Pane::kGuard);
  }
  EXPECT_TRUE(pane.GuardsIntact());
}

}  // namespace
}  // namespace sorvano
