// SurfaceCircle and SurfaceArc: outlines, stamp masks, arc boxes.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <utility>
#include <vector>

#include "graphics/Surface.h"
#include "graphics/SurfaceCircleMasks.h"
#include "tests/graphics/SurfaceTestSupport.h"

namespace sorvano {
namespace {

using test::GuardedSurface;
using test::Grey;
using Pixels = std::map<std::pair<int, int>, std::uint32_t>;

constexpr float kPi = std::numbers::pi_v<float>;

Pixels Changed(const GuardedSurface& s) {
  Pixels out;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.At(x, y) != 0) out[{x, y}] = s.At(x, y);
    }
  }
  return out;
}

struct Offset {
  int a, b;
  std::uint32_t value;
};

// The eight mirror images (+-a, +-b) and (+-b, +-a) of one octant's offsets around (cx, cy).
Pixels Symmetric(int cx, int cy, std::initializer_list<Offset> octant) {
  Pixels out;
  for (const Offset& o : octant) {
    for (const int sa : {1, -1}) {
      for (const int sb : {1, -1}) {
        out[{cx + sa * o.a, cy + sb * o.b}] = o.value;
        out[{cx + sb * o.b, cy + sa * o.a}] = o.value;
      }
    }
  }
  return out;
}

TEST(SurfaceCircleTest, PlainOutlineWritesTheColourWordOnTheMidpointCircle) {
  // Midpoint steps for r = 6: u starts at -4.75; t = 1: -1.75 (row 6); t = 2: 3.25 (row 6);
  // t = 3: 0.25, r -> 5; t = 4: 1.25, r -> 4. Octant offsets (0,6) (1,6) (2,6) (3,5) (4,4).
  GuardedSurface s(40, 40);
  SurfaceCircle(&s, 20, 20, 6, 0x80123456u, 1.0f, SurfaceMode::kCopyAlpha, false);
  EXPECT_TRUE(s.GuardsIntact());
  const std::uint32_t c = 0x80123456u;
  EXPECT_EQ(Changed(s), Symmetric(20, 20, {{0, 6, c}, {1, 6, c}, {2, 6, c}, {3, 5, c}, {4, 4, c}}));
}

TEST(SurfaceCircleTest, AntialiasedOutlineBlendsEvenOnCurvePixelsAtE255) {
  // White onto black in copy mode: a pixel at weight e becomes 255 e / 256.
  // u = 1: t = r = 6, on the curve: e = 255 -> 254.
  // u = 2: t = 5.657: inner (2,5) e = trunc(.343 * 255) = 87 -> 86, outer (2,6) e = 167 -> 166.
  // u = 3: t = 5.196: inner (3,5) e = 204 -> 203, outer (3,6) e = 50 -> 49.
  // u = 4: t = 4.472: inner (4,4) e = 134 -> 133 (blended once), outer (4,5) e = 120 -> 119.
  // u = 5 stops: 5 >= sqrt(11) + 1.
  GuardedSurface s(40, 40);
  SurfaceCircle(&s, 20, 20, 6, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopyAlpha, true);
  EXPECT_TRUE(s.GuardsIntact());
  EXPECT_EQ(Changed(s), Symmetric(20, 20,
                                  {{0, 6, Grey(254)},
                                   {1, 6, Grey(254)},
                                   {2, 5, Grey(86)},
                                   {2, 6, Grey(166)},
                                   {3, 5, Grey(203)},
                                   {3, 6, Grey(49)},
                                   {4, 4, Grey(133)},
                                   {4, 5, Grey(119)}}));
}

TEST(SurfaceCircleTest, SmallRadiiAreStampedFromMasks) {
  // Radius 2, plain: the covered cells of the 5 x 5 mask, top-left at (8, 8).
  GuardedSurface plain(20, 20);
  SurfaceCircle(&plain, 10, 10, 2, 0xFF0000FFu, 1.0f, SurfaceMode::kCopy, false);
  EXPECT_EQ(Changed(plain), Symmetric(10, 10, {{0, 2, 0xFF0000FFu}, {1, 2, 0xFF0000FFu}}));

  // Antialiased: each cell at e = coverage x weight; the corner cell (8, 8) has coverage 36
  // -> 255 * 36 / 256 = 35, the cell (10, 8) coverage 251 -> 250.
  GuardedSurface aa(20, 20);
  SurfaceCircle(&aa, 10, 10, 2, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, true);
  EXPECT_EQ(aa.At(8, 8), Grey(35));
  EXPECT_EQ(aa.At(10, 8), Grey(250));
  EXPECT_EQ(aa.At(10, 10), 0u);

  // Stamps clip: a mask hanging over the top-left corner writes only inside.
  GuardedSurface corner(6, 6);
  for (const float r : {2.0f, 2.5f, 3.0f, 3.5f, 4.0f}) {
    SurfaceCircle(&corner, 0.5f, 0.5f, r, 0xFFFFFFFFu, 1.0f, SurfaceMode::kAdd, true);
    SurfaceCircle(&corner, 5.5f, 5.5f, r, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, false);
  }
  EXPECT_TRUE(corner.GuardsIntact());
  EXPECT_GT(corner.CountNot(0u), 0);
}

TEST(SurfaceCircleTest, MasksAreSymmetricRings) {
  for (const float r : {2.0f, 2.5f, 3.0f, 3.5f, 4.0f}) {
    const surface_ops::CircleMask* mask = surface_ops::FindCircleMask(r);
    ASSERT_NE(mask, nullptr) << r;
    const int n = mask->size;
    EXPECT_EQ(n, static_cast<int>(2 * r) + 1);
    auto at = [&](int x, int y) { return mask->coverage[y * n + x]; };
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        EXPECT_EQ(at(x, y), at(n - 1 - x, y)) << r;
        EXPECT_EQ(at(x, y), at(x, n - 1 - y)) << r;
        EXPECT_EQ(at(x, y), at(y, x)) << r;
        // The ring touches the mask's edges on the axes and leaves the centre empty.
        const double dx = x - (n - 1) / 2.0, dy = y - (n - 1) / 2.0;
        if (std::hypot(dx, dy) < r - 1.2) {
          EXPECT_EQ(at(x, y), 0) << r << " " << x << "," << y;
        }
      }
    }
    EXPECT_GE(at(n / 2, 0), surface_ops::kPlainCoverage) << r;
  }
  EXPECT_EQ(surface_ops::FindCircleMask(4.5f), nullptr);
}

TEST(SurfaceCircleTest, NothingForZeroWeightNegativeOrUnusableRadius) {
  GuardedSurface s(20, 20);
  SurfaceCircle(&s, 10, 10, 5, 0xFFFFFFFFu, 0.0f, SurfaceMode::kAdd, true);
  SurfaceCircle(&s, 10, 10, 5, 0xFFFFFFFFu, -1.0f, SurfaceMode::kCopy, false);
  SurfaceCircle(&s, 10, 10, -5, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, false);
  SurfaceCircle(&s, 10, 10, std::nanf(""), 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, true);
  SurfaceCircle(&s, INFINITY, 10, 5, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, true);
  SurfaceCircle(&s, 1e30f, -1e30f, 1e30f, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, true);
  SurfaceArc(&s, 10, 10, 5, std::nanf(""), 1.0f, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, true);
  EXPECT_EQ(s.CountNot(0u), 0);
  EXPECT_TRUE(s.GuardsIntact());
}

// The pixels of a full outline at (100, 50), radius 6, that satisfy keep.
template <class Keep>
Pixels CirclePart(bool antialias, Keep keep) {
  GuardedSurface full(200, 100);
  SurfaceCircle(&full, 100, 50, 6, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, antialias);
  Pixels out;
  for (const auto& [p, v] : Changed(full)) {
    if (keep(p.first, p.second)) out[p] = v;
  }
  return out;
}

Pixels Arc(float a1, float a2, bool antialias) {
  GuardedSurface s(200, 100);
  SurfaceArc(&s, 100, 50, 6, a1, a2, 0xFFFFFFFFu, 1.0f, SurfaceMode::kCopy, antialias);
  EXPECT_TRUE(s.GuardsIntact());
  return Changed(s);
}

TEST(SurfaceArcTest, HalvesSplitAtTheCentreColumn) {
  for (const bool antialias : {false, true}) {
    const Pixels left = CirclePart(antialias, [](int x, int) { return x < 100; });
    const Pixels right = CirclePart(antialias, [](int x, int) { return x >= 100; });
    ASSERT_FALSE(left.empty());
    EXPECT_EQ(Arc(kPi, 2 * kPi, antialias), left) << antialias;
    EXPECT_EQ(Arc(0, kPi, antialias), right) << antialias;
    // The same halves one turn on or back.
    EXPECT_EQ(Arc(3 * kPi, 4 * kPi, antialias), left) << antialias;
    EXPECT_EQ(Arc(-2 * kPi, -kPi, antialias), right) << antialias;
  }
}

TEST(SurfaceArcTest, LongArcsAreDrawnInHalfTurnPieces) {
  // From pi to 2.5 pi: the left half, then the top right quarter (above the centre row).
  const Pixels expected = CirclePart(false, [](int x, int y) { return x < 100 || y < 50; });
  EXPECT_EQ(Arc(kPi, 2.5f * kPi, false), expected);
  // A start beyond pi with more than half a turn to go also finishes.
  const Pixels threeQuarters = CirclePart(false, [](int x, int y) { return x < 100 || y < 50; });
  EXPECT_EQ(Arc(-kPi, 0.5f * kPi, false), threeQuarters);
  // A whole turn or more is the full circle.
  EXPECT_EQ(Arc(1.0f, 1.0f + 2 * kPi, true), CirclePart(true, [](int, int) { return true; }));
}

TEST(SurfaceArcTest, QuartersTakeTheirOwnQuadrant) {
  // Each boundary row or column belongs to one quarter. The top-left quarter ends at a whole
  // turn, which bounds it on the right at the centre column.
  for (const bool antialias : {false, true}) {
    EXPECT_EQ(Arc(0, kPi / 2, antialias), CirclePart(antialias, [](int x, int y) { return x >= 100 && y < 50; }));
    EXPECT_EQ(Arc(kPi / 2, kPi, antialias), CirclePart(antialias, [](int x, int y) { return x >= 100 && y >= 50; }));
    EXPECT_EQ(Arc(kPi, 1.5f * kPi, antialias), CirclePart(antialias, [](int x, int y) { return x < 100 && y >= 50; }));
    EXPECT_EQ(Arc(1.5f * kPi, 2 * kPi, antialias), CirclePart(antialias, [](int x, int y) { return x < 100 && y < 50; }));
    EXPECT_EQ(Arc(-kPi / 2, 0, antialias), CirclePart(antialias, [](int x, int y) { return x < 100 && y < 50; }));
    // Top and bottom halves.
    EXPECT_EQ(Arc(1.5f * kPi, 2.5f * kPi, antialias), CirclePart(antialias, [](int, int y) { return y < 50; }));
    EXPECT_EQ(Arc(kPi / 2, 1.5f * kPi, antialias), CirclePart(antialias, [](int, int y) { return y >= 50; }));
  }
}

}  // namespace
}  // namespace sorvano
