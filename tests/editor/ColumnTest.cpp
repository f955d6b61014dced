// The column history and the column builder (magnitudes and warp).

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>

#include "editor/ColumnBuilder.h"
#include "editor/ColumnHistory.h"

namespace sorvano::test {
namespace {

TEST(ColumnHistoryTest, ChunksAreCreatedZeroFilledOnFirstWriteOnly) {
  ColumnHistory history;
  EXPECT_EQ(history.FindColumn(0), nullptr);
  EXPECT_EQ(history.ChunkCount(), 0);

  std::uint16_t* column = history.Column(63 * 1024);  // last column of chunk 0
  ASSERT_NE(column, nullptr);
  EXPECT_EQ(history.ChunkCount(), 1);
  for (int r = 0; r < 1024; ++r) EXPECT_EQ(column[r], 0);
  column[5] = 77;
  EXPECT_EQ(history.FindColumn(63 * 1024)[5], 77);
  EXPECT_NE(history.FindColumn(0), nullptr) << "same chunk";
  EXPECT_EQ(history.FindColumn(64 * 1024), nullptr) << "next chunk never written";

  ASSERT_NE(history.Column(1000 * 1024), nullptr);
  EXPECT_EQ(history.ChunkCount(), 2) << "chunks in between stay unallocated";
}

TEST(ColumnHistoryTest, ClearFreesEverything) {
  ColumnHistory history;
  history.Column(0)[0] = 9;
  history.Column(500 * 1024);
  history.Clear();
  EXPECT_EQ(history.ChunkCount(), 0);
  EXPECT_EQ(history.FindColumn(0), nullptr);
  EXPECT_EQ(history.Column(0)[0], 0) << "a new chunk after clearing is zero again";
}

TEST(ColumnHistoryTest, InvalidPositionsGiveNoColumn) {
  ColumnHistory history;
  EXPECT_EQ(history.Column(-1024), nullptr);
  EXPECT_EQ(history.Column(1000), nullptr);
  EXPECT_EQ(history.FindColumn(-1024), nullptr);
  // The last column of the int32 timeline is reachable without overflow.
  const int32_t last = std::numeric_limits<int32_t>::max() / 1024 * 1024;
  ASSERT_NE(history.Column(last), nullptr);
  EXPECT_NE(history.FindColumn(last), nullptr);
}

TEST(WarpTablesTest, MatchTheRowScale) {
  const WarpTables& t = WarpTables::Shared();
  EXPECT_EQ(t.idx[0], 0);
  EXPECT_EQ(t.frac[0], 0);
  // c(1022) = (1 - ln 2 / ln 1024) * 1024 = 921.6
  EXPECT_EQ(t.idx[1022], 921);
  EXPECT_EQ(t.frac[1022], 614);
  EXPECT_EQ(t.idx[1023], 1024);
  for (int i = 0; i < 1023; ++i) {
    EXPECT_LE(t.idx[static_cast<std::size_t>(i)], i) << "in-place warp must never read ahead";
    EXPECT_LE(t.idx[static_cast<std::size_t>(i)], t.idx[static_cast<std::size_t>(i + 1)]);
    const double c = (1.0 - std::log(1024.0 - i) / std::log(1024.0)) * 1024.0;
    EXPECT_EQ(t.frac[static_cast<std::size_t>(i)], static_cast<int>((c - std::floor(c)) * 1024.0))
        << i;
  }
}

TEST(ColumnBuilderTest, MagnitudesAreScaledAndKeptToSixteenBits) {
  const double scale = 1024.0 / std::sqrt(2048.0);
  EXPECT_EQ(ColumnBuilder::Magnitude({3.0, 4.0}), static_cast<std::uint16_t>(5.0 * scale));
  EXPECT_EQ(ColumnBuilder::Magnitude({0.0, 0.0}), 0);
  // 65536 / scale + a bit wraps round to a small value.
  EXPECT_EQ(ColumnBuilder::Magnitude({65537.0 / scale, 0.0}), 1);
  EXPECT_EQ(ColumnBuilder::Magnitude({std::nan(""), 1.0}), 0);
  EXPECT_EQ(ColumnBuilder::Magnitude({std::numeric_limits<double>::infinity(), 0.0}), 0);
}

TEST(ColumnBuilderTest, WarpBlendsAndAppliesTheDisplayGain) {
  std::array<std::uint16_t, 1024> column{};
  column.fill(1024);
  column[1023] = 5;
  ColumnBuilder::Warp(column.data());
  EXPECT_EQ(column[1023], 5) << "the top row keeps its value";
  EXPECT_EQ(column[0], 1024 * 7925 / 1024);
  EXPECT_EQ(column[500], 1024 * 7925 / 1024);

  // A ramp: row i reads bins idx(i) and idx(i) + 1 blended by frac(i).
  std::array<std::uint16_t, 1024> ramp{};
  for (int i = 0; i < 1024; ++i)
    ramp[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i * 8);
  const std::array<std::uint16_t, 1024> before = ramp;
  ColumnBuilder::Warp(ramp.data());
  const WarpTables& t = WarpTables::Shared();
  for (int i : {1022, 900, 512, 100}) {
    const auto k = static_cast<std::size_t>(i);
    const std::uint32_t a = before[static_cast<std::size_t>(t.idx[k])];
    const std::uint32_t b = before[static_cast<std::size_t>(t.idx[k] + 1)];
    const std::uint32_t blended = (a * (1024u - static_cast<std::uint32_t>(t.frac[k])) +
                                   b * static_cast<std::uint32_t>(t.frac[k])) /
                                  1024u;
    EXPECT_EQ(ramp[k], static_cast<std::uint16_t>((blended & 0xFFFFu) * 7925u / 1024u)) << i;
  }
}

}  // namespace
}  // namespace sorvano::test
