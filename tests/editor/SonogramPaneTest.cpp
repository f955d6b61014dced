#include "editor/SonogramPane.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "editor/ColumnHistory.h"
#include "tests/editor/PlainPane.h"

namespace sorvano::test {
namespace {

constexpr int kRows = 1024;

// A history whose column at p holds value(p, row) for the recorded positions.
void Record(ColumnHistory& history, int32_t p, std::uint16_t value) {
  std::uint16_t* column = history.Column(p);
  ASSERT_NE(column, nullptr);
  for (int r = 0; r < kRows; ++r) column[r] = value;
}

std::uint16_t MagnitudeAt(const SonogramPane& pane, int x, int row) {
  return pane.Magnitudes()[static_cast<std::size_t>(x * pane.Height() + row)];
}

std::uint32_t PixelAt(const SonogramPane& pane, int x, int line) {
  return pane.Pixels()[static_cast<std::size_t>(line * pane.Width() + x)];
}

TEST(SonogramPaneResampleTest, AveragesWhenZoomedOutAndRepeatsWhenZoomedIn) {
  std::array<std::uint16_t, kRows> column{};
  for (int r = 0; r < kRows; ++r)
    column[static_cast<std::size_t>(r)] = static_cast<std::uint16_t>(r);

  // 8 rows into 4: each output is the mean of two source rows.
  std::array<std::uint16_t, 4> out{};
  SonogramPane::ResampleRows(column.data(), 100, 108, 4, out.data());
  EXPECT_EQ(
      out, (std::array<std::uint16_t, 4>{100, 102, 104, 106}));  // (100+101)/2 = 100 (integer mean)

  // 3 rows into 6: e = trunc(0.5 (k + 1)) = 0,1,1,2,2,3, so rows repeat.
  std::array<std::uint16_t, 6> zoomed{};
  SonogramPane::ResampleRows(column.data(), 10, 13, 6, zoomed.data());
  EXPECT_EQ(zoomed, (std::array<std::uint16_t, 6>{10, 10, 11, 11, 12, 12}));
}

TEST(SonogramPaneTest, GapsBetweenHopsAreInterpolatedWhenZoomedIn) {
  // 10 pixels over 5 hops: 2 pixels per hop, so every other column is a gap.
  SonogramPane pane(IRect(0, 0, 10, 4), 0, 5 * 1024, 44100);
  ColumnHistory history;
  pane.SetTimeRange(0, 5 * 1024, history);
  std::array<std::uint16_t, kRows> low{}, high{};
  low.fill(100);
  high.fill(300);
  pane.PaintColumn(1024, low.data());   // column 0
  pane.PaintColumn(2048, high.data());  // column 2; column 1 halfway
  EXPECT_EQ(MagnitudeAt(pane, 0, 0), 100);
  EXPECT_EQ(MagnitudeAt(pane, 1, 0), 200);
  EXPECT_EQ(MagnitudeAt(pane, 2, 0), 300);
}

TEST(SonogramPaneTest, ZoomedOutTheLastHopOfAColumnIsTheOneColoured) {
  // 4 pixels over 64 hops: 16 hops share a column.
  SonogramPane pane(IRect(0, 0, 4, 2), 0, 64 * 1024, 44100);
  ColumnHistory history;
  pane.SetTimeRange(0, 64 * 1024, history);
  std::array<std::uint16_t, kRows> bright{}, dim{};
  bright.fill(200);
  dim.fill(10);
  pane.PaintColumn(2 * 1024, bright.data());
  pane.PaintColumn(3 * 1024, dim.data());  // same column 0
  EXPECT_EQ(MagnitudeAt(pane, 0, 0), 10);
  ColorMap colors;
  colors.Select(0);
  EXPECT_EQ(PixelAt(pane, 0, 1), colors.ColorOf(10, 12))
      << "the pixels must show what the magnitudes hold";
}

TEST(SonogramPaneTest, AStretchNeverRecordedDrawsBlack) {
  SonogramPane pane(IRect(0, 0, 20, 5), 0, 20 * 1024, 44100);
  ColumnHistory history;
  for (int32_t p = 1024; p <= 5 * 1024; p += 1024) Record(history, p, 500);
  pane.SetTimeRange(0, 20 * 1024, history);
  EXPECT_NE(PixelAt(pane, 2, 2), 0xFF000000u);
  // Positions from 64 columns on were never written: their chunk is absent.
  pane.SetTimeRange(100 * 1024, 120 * 1024, history);
  for (int x = 0; x < pane.Width(); ++x) EXPECT_EQ(PixelAt(pane, x, 2), 0xFF000000u) << x;
}

TEST(SonogramPaneTest, RefusesEmptyRangesAndKeepsAValidPicture) {
  SonogramPane pane(IRect(30, 40, 576, 353), 0, 220160, 44100);
  ColumnHistory history;
  ASSERT_TRUE(pane.SetTimeRange(0, 220160, history));
  EXPECT_FALSE(pane.SetTimeRange(5000, 5000, history));
  EXPECT_FALSE(pane.SetTimeRange(9000, 1000, history));
  EXPECT_FALSE(pane.SetTimeRange(1000, 1100, history)) << "rounds to the same column";
  EXPECT_EQ(pane.ViewStart(), 0);
  EXPECT_EQ(pane.ViewEnd(), 220160);

  ModRegion flat{0, 220160, 1000, 1000, 400, 400};
  EXPECT_FALSE(pane.SetTimeAndFrequencyRange(flat, history));
  ModRegion upsideDown{0, 220160, 5000, 1000, 700, 400};
  EXPECT_FALSE(pane.SetTimeAndFrequencyRange(upsideDown, history));
  EXPECT_TRUE(pane.Mapping().Usable());
}

TEST(SonogramPaneTest, TheEndOfTheInt32TimelineDoesNotOverflow) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  SonogramPane pane(IRect(0, 0, 50, 10), 0, 1024 * 50, 44100);
  ColumnHistory history;
  ASSERT_TRUE(pane.SetTimeRange(kMax - 60 * 1024, kMax, history));
  EXPECT_EQ(pane.ViewEnd() % 1024, 0);
  EXPECT_GT(pane.ViewEnd(), pane.ViewStart());
  std::array<std::uint16_t, kRows> column{};
  column.fill(50);
  pane.PaintColumn(pane.ViewEnd(), column.data());
  ASSERT_TRUE(pane.SetTimeRange(std::numeric_limits<int32_t>::min(), kMax, history));
  EXPECT_GT(pane.Mapping().mPixelsPerSample, 0.0);
}

// Re-rendering by pixel column gives the picture of the plain hop-by-hop
// steps, on random ranges zoomed in and out, with random frequency ranges
// and a history with recorded and missing stretches.
TEST(SonogramPaneTest, ReRenderEqualsThePlainStepsOnRandomRanges) {
  std::mt19937 random(1234);
  ColumnHistory history;
  std::uniform_int_distribution<int> value(0, 120);
  // Recorded: columns 0..3000 except holes, and a far block of chunks.
  for (int32_t c = 0; c < 3000; ++c) {
    if (c % 700 > 640) continue;
    std::uint16_t* column = history.Column(c * 1024);
    for (int r = 0; r < kRows; ++r) column[r] = static_cast<std::uint16_t>(value(random));
  }
  const int sizes[][2] = {{546, 313}, {575, 67}, {37, 11}};
  for (const auto& size : sizes) {
    for (int trial = 0; trial < 40; ++trial) {
      const bool zoomIn = trial % 2 == 0;
      std::uniform_int_distribution<int32_t> start(0, 3500);
      std::uniform_int_distribution<int32_t> span(zoomIn ? 1 : 600, zoomIn ? 400 : 4000);
      const int32_t s = start(random) * 1024;
      const int32_t e = s + span(random) * 1024;
      std::uniform_int_distribution<int> lowRow(0, 900);
      const int lo = lowRow(random);
      std::uniform_int_distribution<int> highRow(lo + 1, 1023);
      const int hi = highRow(random);

      SonogramPane pane(IRect(0, 0, size[0], size[1]), 0, 1024, 44100);
      PlainPane plain(size[0], size[1], lo, hi);
      // Earlier content must not survive into the new picture.
      pane.SetTimeRange(0, 900 * 1024, history);
      plain.SetTimeRange(0, 900 * 1024, history);
      ASSERT_TRUE(pane.SetTimeAndFrequencyRange(ModRegion{s, e, 0, 0, lo, hi}, history));
      plain.SetTimeRange(s, e, history);

      const std::size_t n = static_cast<std::size_t>(size[0] * size[1]);
      ASSERT_EQ(std::vector<std::uint16_t>(pane.Magnitudes(), pane.Magnitudes() + n),
                plain.Magnitudes())
          << size[0] << "x" << size[1] << " range " << s << ".." << e << " rows " << lo << ".."
          << hi;
      ASSERT_EQ(std::vector<std::uint32_t>(pane.Pixels(), pane.Pixels() + n), plain.Pixels())
          << size[0] << "x" << size[1] << " range " << s << ".." << e << " rows " << lo << ".."
          << hi;
    }
  }
}

TEST(SonogramPaneTest, ARateChangeMovesRowsAndKeepsTheFrequencies) {
  SonogramPane pane(IRect(0, 0, 100, 100), 0, 100 * 1024, 44100);
  EXPECT_EQ(pane.Mapping().mLowRow, 0);
  EXPECT_EQ(pane.Mapping().mHighRow, 1023);
  pane.SetSampleRate(48000);
  EXPECT_EQ(pane.Mapping().mHighHz, 22000);
  EXPECT_LT(pane.Mapping().mHighRow, 1023);
  EXPECT_DOUBLE_EQ(pane.Mapping().mPixelsPerRow, 100.0 / pane.Mapping().mHighRow);
}

}  // namespace
}  // namespace sorvano::test
