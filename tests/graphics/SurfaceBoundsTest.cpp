// No drawing operation writes outside its surface, whatever the coordinates,
// sizes, weights and modes: random operations on guarded surfaces (and on
// heap surfaces, for AddressSanitizer).

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <sstream>
#include <string>

#include "graphics/Surface.h"
#include "tests/graphics/SurfaceTestSupport.h"

namespace sorvano {
namespace {

using test::GuardedSurface;

class RandomDrawing {
public:
  explicit RandomDrawing(unsigned seed) : mRandom(seed) {}

  int Coordinate(int extent) {
    constexpr int kFar[] = {INT_MIN, INT_MIN + 1, -1000000000, -65536, 65536, 1000000000, INT_MAX - 1, INT_MAX};
    if (Below(8) == 0) return kFar[Below(8)];
    return static_cast<int>(Below(static_cast<unsigned>(extent) + 41)) - 20;
  }

  float Position(int extent) {
    if (Below(16) == 0) return Below(2) ? 1e9f : -3e7f;
    return static_cast<float>(Coordinate(extent) % 100000) + static_cast<float>(Below(4)) * 0.25f;
  }

  float Radius() {
    constexpr float kStamped[] = {2.0f, 2.5f, 3.0f, 3.5f, 4.0f};
    if (Below(4) == 0) return kStamped[Below(5)];
    return static_cast<float>(Below(160)) * 0.25f;
  }

  float Angle() { return static_cast<float>(static_cast<int>(Below(4001)) - 2000) * 0.005f; }

  float Weight() {
    constexpr float kWeights[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.3f, 0.0f, -0.5f, 2.0f, 100.0f};
    return kWeights[Below(9)];
  }

  SurfaceMode Mode() { return static_cast<SurfaceMode>(Below(6)); }
  bool Flag() { return Below(2) == 1; }
  std::uint32_t Colour() { return static_cast<std::uint32_t>(mRandom()); }

  // Draws one random primitive on dest and describes it.
  std::string DrawOne(PixelSurface* dest, const PixelSurface* source) {
    const int w = std::max(dest->Width(), 1), h = std::max(dest->Height(), 1);
    std::ostringstream what;
    switch (Below(6)) {
      case 0: {
        const int x = Coordinate(w), y = Coordinate(h), rw = Coordinate(w), rh = Coordinate(h);
        what << "fill " << x << " " << y << " " << rw << " " << rh;
        SurfaceFillRect(dest, x, y, rw, rh, Colour(), Weight(), Mode());
        break;
      }
      case 1: {
        const int x = Coordinate(w), y = Coordinate(h);
        const IRect part(Coordinate(8), Coordinate(8), Coordinate(8), Coordinate(8));
        const bool whole = Flag();
        what << "blit " << x << " " << y << (whole ? " whole" : " part");
        SurfaceBlit(dest, source, x, y, whole ? nullptr : &part, Weight(), Mode());
        break;
      }
      case 2: {
        const int x1 = Coordinate(w), y1 = Coordinate(h), x2 = Coordinate(w), y2 = Coordinate(h);
        what << "line " << x1 << " " << y1 << " " << x2 << " " << y2;
        SurfaceLine(dest, x1, y1, x2, y2, Colour(), Weight(), Mode(), Flag());
        break;
      }
      case 3: {
        const float cx = Position(w), cy = Position(h), r = Radius();
        what << "circle " << cx << " " << cy << " " << r;
        SurfaceCircle(dest, cx, cy, r, Colour(), Weight(), Mode(), Flag());
        break;
      }
      case 4: {
        const float cx = Position(w), cy = Position(h), r = Radius(), a1 = Angle(), a2 = Angle();
        what << "arc " << cx << " " << cy << " " << r << " " << a1 << " " << a2;
        SurfaceArc(dest, cx, cy, r, a1, a2, Colour(), Weight(), Mode(), Flag());
        break;
      }
      default: {
        const int x = Coordinate(w), y = Coordinate(h);
        what << "pixel " << x << " " << y;
        SurfacePutPixel(dest, x, y, Colour(), Weight(), Mode());
        break;
      }
    }
    return what.str();
  }

private:
  unsigned Below(unsigned n) { return static_cast<unsigned>(mRandom() % n); }

  std::mt19937 mRandom;
};

TEST(SurfaceBoundsTest, RandomOperationsNeverTouchTheGuards) {
  RandomDrawing random(12345);
  GuardedSurface source(6, 5, 0x80FF8040u);
  const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {7, 5}, {16, 16}, {33, 20}};
  for (const auto& size : sizes) {
    GuardedSurface s(size[0], size[1], 0x10203040u);
    for (int i = 0; i < 1500; ++i) {
      const std::string what = random.DrawOne(&s, &source);
      ASSERT_TRUE(s.GuardsIntact()) << size[0] << " x " << size[1] << ": " << what;
    }
  }
}

TEST(SurfaceBoundsTest, CirclesAroundTheEdgeOfTheUntestedRangeStayInside) {
  // Points are plotted without tests once the circle keeps one pixel clear of
  // every edge. Sweep the clearance of the centre from each edge across that
  // limit (r + 1), plain and antialiased.
  constexpr int kSize = 24;
  for (const bool antialias : {false, true}) {
    for (const float r : {0.0f, 0.5f, 1.0f, 1.75f, 5.0f, 6.5f, 10.25f}) {
      for (const float clearance : {0.0f, 0.25f, 0.5f, 0.75f, 0.999f, 1.0f, 1.001f, 1.5f}) {
        GuardedSurface s(kSize, kSize);
        const float lo = r + clearance;
        const float hi = static_cast<float>(kSize) - r - clearance;
        for (const float cx : {lo, hi}) {
          for (const float cy : {lo, hi}) {
            SurfaceCircle(&s, cx, cy, r, 0xFFFFFFFFu, 1.0f, SurfaceMode::kAdd, antialias);
            ASSERT_TRUE(s.GuardsIntact()) << cx << " " << cy << " " << r << " " << antialias;
          }
        }
        EXPECT_GT(s.CountNot(0u), 0);
      }
    }
  }
}

TEST(SurfaceBoundsTest, EmptySurfacesAreNeverWritten) {
  RandomDrawing random(777);
  GuardedSurface source(3, 3, 0xFFFFFFFFu);
  GuardedSurface zeroWide(0, 4);
  GuardedSurface zeroHigh(4, 0);
  MemorySurface empty;
  MemorySurface failed(-5, 3);
  for (int i = 0; i < 500; ++i) {
    random.DrawOne(&zeroWide, &source);
    random.DrawOne(&zeroHigh, &source);
    random.DrawOne(&empty, &source);
    random.DrawOne(&failed, &zeroWide);
  }
  EXPECT_TRUE(zeroWide.GuardsIntact());
  EXPECT_TRUE(zeroHigh.GuardsIntact());
}

TEST(SurfaceBoundsTest, HeapSurfacesOfEverySmallSize) {
  // MemorySurface rows are packed, so AddressSanitizer sees any write past the block.
  RandomDrawing random(4242);
  MemorySurface source(5, 4);
  SurfaceFillRect(&source, 0, 0, 5, 4, 0xC0804020u, 1.0f, SurfaceMode::kCopy);
  for (int w = 1; w <= 6; ++w) {
    for (int h = 1; h <= 6; ++h) {
      MemorySurface s(w, h);
      ASSERT_NE(s.Bits(), nullptr);
      for (int i = 0; i < 150; ++i) random.DrawOne(&s, &source);
    }
  }
}

}  // namespace
}  // namespace sorvano
