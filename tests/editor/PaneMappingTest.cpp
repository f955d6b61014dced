#include "editor/PaneMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/DisplayRows.h"

namespace sorvano::test {
namespace {

// The main pane at its start: 546 x 313 pixels over 220160 samples and all
// 1023 rows.
PaneMapping MainPane() {
  PaneMapping m;
  m.mRect = IRect(30, 40, 576, 353);
  m.mViewStart = 0;
  m.mViewEnd = 220160;
  m.mLowHz = 0;
  m.mHighHz = 22000;
  m.mLowRow = 0;
  m.mHighRow = 1023;
  m.mWidth = 546;
  m.mHeight = 313;
  m.mPixelsPerSample = 546.0 / 220160.0;
  m.mPixelsPerRow = 313.0 / 1023.0;
  return m;
}

TEST(PaneMappingTest, MarkedRectangleOfARegion) {
  const PaneMapping m = MainPane();
  const ModRegion region{10240, 20480, 1000, 5000, 300, 600};
  const IRect r = m.MarkedRect(region);
  EXPECT_EQ(r.L, 30 + static_cast<int>(10240 * m.mPixelsPerSample));
  EXPECT_EQ(r.R, 30 + static_cast<int>(20480 * m.mPixelsPerSample));
  EXPECT_EQ(r.B, 353 - static_cast<int>(300 * m.mPixelsPerRow));
  EXPECT_EQ(r.T, 353 - static_cast<int>(600 * m.mPixelsPerRow));
}

TEST(PaneMappingTest, MarkedRectangleIsClippedOrEmpty) {
  const PaneMapping m = MainPane();
  EXPECT_EQ(m.MarkedRect(ModRegion{-100000, 20480, 0, 0, 0, 1023}).L, 30);
  EXPECT_TRUE(m.MarkedRect(ModRegion{500000, 600000, 0, 0, 0, 100}).Empty());
  // Far outside the int range of pixels: still no overflow, still empty.
  EXPECT_TRUE(m.MarkedRect(ModRegion{std::numeric_limits<int32_t>::max() - 1024,
                                     std::numeric_limits<int32_t>::max(), 0, 0, 0, 100})
                  .Empty());
}

TEST(PaneMappingTest, RectangleCornersBecomeRegionFields) {
  const PaneMapping m = MainPane();
  const ModRegion from{1, 2, 3, 4, 5, 6};
  IRect clipped;
  const ModRegion tl =
      m.RegionFromRect(IRect(130, 100, 142, 112), PaneMapping::Corner::kTopLeft, from, &clipped);
  EXPECT_EQ(clipped, IRect(130, 100, 142, 112));
  EXPECT_EQ(tl.mStart, PaneMapping::RoundToColumn(static_cast<int64_t>(100 / m.mPixelsPerSample)));
  EXPECT_EQ(tl.mStart % 1024, 0);
  EXPECT_EQ(tl.mHighRow, static_cast<int>((353 - 100) / m.mPixelsPerRow));
  EXPECT_EQ(tl.mHighHz, DisplayRows::RowToHz(tl.mHighRow, 44100));
  EXPECT_EQ(tl.mEnd, 2);  // bottom-right fields untouched
  EXPECT_EQ(tl.mLowRow, 5);

  const ModRegion both =
      m.RegionFromRect(IRect(130, 100, 142, 112), PaneMapping::Corner::kBoth, from);
  EXPECT_LT(both.mStart, both.mEnd);
  EXPECT_LT(both.mLowRow, both.mHighRow);
  EXPECT_EQ(both.mLowHz, DisplayRows::RowToHz(both.mLowRow, 44100));
}

TEST(PaneMappingTest, RectanglesAreClippedToThePaneFirst) {
  const PaneMapping m = MainPane();
  IRect clipped;
  const ModRegion r = m.RegionFromRect(IRect(570, 345, 582, 357), PaneMapping::Corner::kBoth,
                                       ModRegion{}, &clipped);
  EXPECT_EQ(clipped, IRect(570, 345, 576, 353));
  EXPECT_EQ(r.mLowRow, 0);
  EXPECT_EQ(r.mEnd, PaneMapping::RoundToColumn(220160));
}

TEST(PaneMappingTest, DegenerateMappingsConvertNothing) {
  PaneMapping m = MainPane();
  const ModRegion from{1024, 2048, 100, 200, 10, 20};
  for (double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    m.mPixelsPerSample = bad;
    IRect clipped(1, 1, 2, 2);
    EXPECT_EQ(
        m.RegionFromRect(IRect(100, 100, 110, 110), PaneMapping::Corner::kBoth, from, &clipped),
        from);
    EXPECT_TRUE(clipped.Empty());
    EXPECT_TRUE(m.MarkedRect(from).Empty());
  }
  m = MainPane();
  m.mPixelsPerRow = 0.0;
  EXPECT_FALSE(m.Usable());
  EXPECT_TRUE(m.MarkedRect(from).Empty());
}

TEST(PaneMappingTest, RoundToColumnRoundsHalvesUpAndStaysInsideInt32) {
  EXPECT_EQ(PaneMapping::RoundToColumn(511), 0);
  EXPECT_EQ(PaneMapping::RoundToColumn(512), 1024);
  EXPECT_EQ(PaneMapping::RoundToColumn(-512), 0);
  EXPECT_EQ(PaneMapping::RoundToColumn(-513), -1024);
  EXPECT_EQ(PaneMapping::RoundToColumn(std::numeric_limits<int64_t>::max() / 2) % 1024, 0);
  EXPECT_LE(PaneMapping::RoundToColumn(int64_t{1} << 40), std::numeric_limits<int32_t>::max());
}

}  // namespace
}  // namespace sorvano::test
