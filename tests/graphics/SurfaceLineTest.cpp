// SurfaceLine: shapes, weights and clipping.

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <utility>

#include "graphics/Surface.h"
#include "tests/graphics/SurfaceTestSupport.h"

namespace sorvano {
namespace {

using test::GuardedSurface;
using test::Grey;
using Pixels = std::map<std::pair<int, int>, std::uint32_t>;

// Every pixel that differs from background, by (x, y).
Pixels Changed(const GuardedSurface& s, std::uint32_t background = 0) {
  Pixels out;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.At(x, y) != background) out[{x, y}] = s.At(x, y);
    }
  }
  return out;
}

Pixels Plain(std::initializer_list<std::pair<int, int>> points, std::uint32_t colour) {
  Pixels out;
  for (const auto& p : points) out[p] = colour;
  return out;
}

TEST(SurfaceLineTest, GeneralLineStepsWhereTheAccumulatedSlopeExceedsAHalf) {
  // Slope 0.3: the accumulator after pixels 0..9 is .3 .6 -.1 .2 .5 .8 .1 .4 .7 0; it steps
  // after pixels 1, 5 and 8 (at 0.5 exactly it does not).
  GuardedSurface s(12, 12);
  SurfaceLine(&s, 0, 0, 10, 3, 0xFF00FF00u, 1.0f, SurfaceMode::kCopyAlpha, false);
  EXPECT_TRUE(s.GuardsIntact());
  EXPECT_EQ(Changed(s), Plain({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 2}, {7, 2}, {8, 2}, {9, 3}, {10, 3}},
                              0xFF00FF00u));

  GuardedSurface steep(12, 12);
  SurfaceLine(&steep, 0, 0, 3, 10, 0xFF00FF00u, 1.0f, SurfaceMode::kCopy, false);
  EXPECT_EQ(Changed(steep), Plain({{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 6}, {2, 7}, {2, 8}, {3, 9}, {3, 10}},
                                  0xFF00FF00u));

  // Towards the upper left, the steps mirror.
  GuardedSurface back(12, 12);
  SurfaceLine(&back, 10, 3, 0, 0, 0xFF00FF00u, 1.0f, SurfaceMode::kCopy, false);
  EXPECT_EQ(Changed(back), Plain({{10, 3}, {9, 3}, {8, 2}, {7, 2}, {6, 2}, {5, 2}, {4, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}},
                                 0xFF00FF00u));
}

TEST(SurfaceLineTest, AntialiasedGeneralLineWeights) {
  // u = 0.3; at step k the fraction v is .3 .6 .9 .2 .5 .8 .1 .4 .7 (stepping down after k = 3
  // and 6), A = round(256 v) = 77 154 230 51 128 205 26 102 179. With e = 256, white onto
  // black: the pixel on the line gets 255 (256 - A) / 256, the one below 255 A / 256.
  GuardedSurface s(12, 12);
  SurfaceLine(&s, 0, 0, 10, 3, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, true);
  EXPECT_TRUE(s.GuardsIntact());
  const Pixels expected = {
      {{0, 0}, Grey(255)},                           // first pixel at full weight
      {{1, 0}, Grey(178)}, {{1, 1}, Grey(76)},       // A = 77
      {{2, 0}, Grey(101)}, {{2, 1}, Grey(153)},      // A = 154
      {{3, 0}, Grey(25)},  {{3, 1}, Grey(229)},      // A = 230
      {{4, 1}, Grey(204)}, {{4, 2}, Grey(50)},       // A = 51
      {{5, 1}, Grey(127)}, {{5, 2}, Grey(127)},      // A = 128
      {{6, 1}, Grey(50)},  {{6, 2}, Grey(204)},      // A = 205
      {{7, 2}, Grey(229)}, {{7, 3}, Grey(25)},       // A = 26
      {{8, 2}, Grey(153)}, {{8, 3}, Grey(101)},      // A = 102
      {{9, 2}, Grey(76)},  {{9, 3}, Grey(178)},      // A = 179
      {{10, 3}, Grey(255)},                          // the end point at full weight
  };
  EXPECT_EQ(Changed(s), expected);
}

TEST(SurfaceLineTest, Diagonals) {
  GuardedSurface plain(8, 8);
  SurfaceLine(&plain, 6, 1, 2, 5, 0xFF0000FFu, 1.0f, SurfaceMode::kCopy, false);
  EXPECT_EQ(Changed(plain), Plain({{6, 1}, {5, 2}, {4, 3}, {3, 4}, {2, 5}}, 0xFF0000FFu));

  // Antialiased, e = 256: on the line 3/4 (e 192: 255*192/256 = 191), beside it 1/4 (e 64: 63),
  // one column towards the end and one row towards the end; the last pixel at 3/4 too.
  GuardedSurface aa(8, 8);
  SurfaceLine(&aa, 1, 1, 4, 4, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopyAlpha, true);
  EXPECT_TRUE(aa.GuardsIntact());
  const Pixels expected = {
      {{1, 1}, Grey(191)}, {{2, 2}, Grey(191)}, {{3, 3}, Grey(191)}, {{4, 4}, Grey(191)},
      {{2, 1}, Grey(63)},  {{3, 2}, Grey(63)},  {{4, 3}, Grey(63)},  {{1, 2}, Grey(63)},
      {{2, 3}, Grey(63)},  {{3, 4}, Grey(63)},
  };
  EXPECT_EQ(Changed(aa), expected);
}

TEST(SurfaceLineTest, WeightsAndModes) {
  // Straight lines ignore antialias; weight 0.5 halves by shift and mask, both end points included.
  GuardedSurface s(6, 3, 0xFFFFFFFFu);
  SurfaceLine(&s, 4, 1, 1, 1, 0x01020304u, 0.5f, SurfaceMode::kCopy, true);
  EXPECT_EQ(Changed(s, 0xFFFFFFFFu), Plain({{1, 1}, {2, 1}, {3, 1}, {4, 1}}, 0x7F808081u));
  // Lines ignore the honour-alpha flag: a translucent colour is written as its word.
  SurfaceLine(&s, 0, 0, 0, 2, 0x40102030u, 1.0f, SurfaceMode::kCopyAlpha, false);
  EXPECT_EQ(s.At(0, 2), 0x40102030u);
  // Add at weight 1: 0xFF + 0x01 saturates, 0x10 + 0x20.
  GuardedSurface add(3, 3, 0x10101010u);
  SurfaceLine(&add, 0, 0, 2, 2, 0x01FFFF20u, 1.0f, SurfaceMode::kAddAlpha, false);
  EXPECT_EQ(Changed(add, 0x10101010u), Plain({{0, 0}, {1, 1}, {2, 2}}, 0x11FFFF30u));
  // Weight 0 draws nothing.
  GuardedSurface none(3, 3);
  SurfaceLine(&none, 0, 0, 2, 1, 0xFFFFFFFFu, 0.0f, SurfaceMode::kCopy, true);
  EXPECT_EQ(none.CountNot(0u), 0);
}

TEST(SurfaceLineTest, ClipsToTheSurface) {
  GuardedSurface s(8, 8);
  // An end point outside is moved to the border; the line through the corner region is
  // re-clipped after its first move lands one column outside (x = 8 at y = 7).
  SurfaceLine(&s, -10, -10, 20, 20, 0xFFu, 1.0f, SurfaceMode::kCopy, false);
  EXPECT_TRUE(s.GuardsIntact());
  EXPECT_EQ(Changed(s), Plain({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}}, 0xFFu));

  GuardedSurface row(8, 8);
  SurfaceLine(&row, -5, 2, 5, 2, 0xFFu, 1.0f, SurfaceMode::kCopy, true);
  EXPECT_EQ(Changed(row), Plain({{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}, 0xFFu));

  // Entirely above, left of, or beyond the surface: nothing.
  GuardedSurface none(8, 8);
  SurfaceLine(&none, 0, -1, 7, -10, 0xFFu, 1.0f, SurfaceMode::kCopy, false);
  SurfaceLine(&none, -3, 0, -1, 7, 0xFFu, 1.0f, SurfaceMode::kCopy, true);
  SurfaceLine(&none, 8, 0, 12, 7, 0xFFu, 1.0f, SurfaceMode::kCopy, false);
  SurfaceLine(&none, -20, 5, 5, 30, 0xFFu, 1.0f, SurfaceMode::kCopy, true);  // passes below the corner
  EXPECT_EQ(none.CountNot(0u), 0);
  EXPECT_TRUE(none.GuardsIntact());
}

TEST(SurfaceLineTest, ExtremeEndPointsStayInside) {
  const int lines[][4] = {
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MIN, 5, INT_MAX, 5},      {INT_MIN, INT_MAX, INT_MAX, INT_MIN},
      {3, INT_MIN, 4, INT_MAX},             {INT_MAX, 3, INT_MIN + 1, 4},  {-1, INT_MIN, 1, INT_MAX},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, {INT_MIN, 0, 0, INT_MIN},      {0, 9, 9, 0},
  };
  for (const bool antialias : {false, true}) {
    for (const auto& l : lines) {
      GuardedSurface s(9, 9);
      SurfaceLine(&s, l[0], l[1], l[2], l[3], 0xFFFFFFFFu, 0.7f, SurfaceMode::kCopy, antialias);
      EXPECT_TRUE(s.GuardsIntact()) << l[0] << " " << l[1] << " " << l[2] << " " << l[3];
    }
  }
  GuardedSurface row(9, 9);
  SurfaceLine(&row, INT_MIN, 5, INT_MAX, 5, 0xFFu, 1.0f, SurfaceMode::kCopy, false);
  EXPECT_EQ(row.CountNot(0u), 9);

  MemorySurface empty;
  SurfaceLine(&empty, 0, 0, 5, 5, 0xFFu, 1.0f, SurfaceMode::kCopy, true);
  SurfaceLine(nullptr, 0, 0, 5, 5, 0xFFu, 1.0f, SurfaceMode::kCopy, true);
}

}  // namespace
}  // namespace sorvano
