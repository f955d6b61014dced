#include "editor/DisplayRows.h"

#include <gtest/gtest.h>

namespace sorvano {
namespace {

TEST(DisplayRows, TheFullBandCoversEveryRowAt44100) {
  EXPECT_EQ(DisplayRows::HzToRow(0, 44100), 0);
  EXPECT_EQ(DisplayRows::HzToRow(22000, 44100), 1023);
  EXPECT_EQ(DisplayRows::RowToHz(0, 44100), 0);
  // Row 1023: (1 - 0) * 1023 * 44100 / 2048 = 22028.6.
  EXPECT_EQ(DisplayRows::RowToHz(1023, 44100), 22028);
  EXPECT_EQ(DisplayRows::RowToHz(1023, 48000), 23976);
}

TEST(DisplayRows, RowsAreWarpedTowardsTheLowFrequencies) {
  // Row 512: (1 - ln 512 / ln 1024) * 1023 * 44100 / 2048 = 0.1 * 22028.6.
  EXPECT_EQ(DisplayRows::RowToHz(512, 44100), 2202);
  EXPECT_EQ(DisplayRows::RowToHz(512, 48000), 2397);
  // 1 kHz is bin 46 at 44100: trunc(1024.5 - 1024^(1 - 46/1023)) = 274.
  EXPECT_EQ(DisplayRows::HzToRow(1000, 44100), 274);
}

TEST(DisplayRows, RowToHzAndBackStaysNearTheRowAndNeverGoesBackwards) {
  // Above row 877 a transform bin spans less than one row, so a row's
  // frequency maps back to a neighbouring row (the nearest bin); below, one
  // bin spans several rows and the way back lands on the bin's row.
  for (int rate : {44100, 48000}) {
    int previous = 0;
    for (int row = 0; row < 1024; ++row) {
      const int back = DisplayRows::HzToRow(DisplayRows::RowToHz(row, rate), rate);
      EXPECT_GE(back, previous) << row << " at " << rate;
      if (row >= 880) {
        EXPECT_NEAR(back, row, 1) << row << " at " << rate;
      }
      previous = back;
    }
  }
}

TEST(DisplayRows, OutOfRangeInputGivesTheNearestRowAndNeverFails) {
  EXPECT_EQ(DisplayRows::HzToRow(-5000, 44100), 0);
  EXPECT_EQ(DisplayRows::HzToRow(1000000, 44100), 1023);
  EXPECT_EQ(DisplayRows::HzToRow(30000, 44100), 1023);
  EXPECT_EQ(DisplayRows::RowToHz(-1, 44100), 0);
  EXPECT_EQ(DisplayRows::RowToHz(5000, 44100), DisplayRows::RowToHz(1023, 44100));
  EXPECT_EQ(DisplayRows::RowToHz(512, 0), DisplayRows::RowToHz(512, 44100));
  EXPECT_EQ(DisplayRows::HzToRow(1000, -1), DisplayRows::HzToRow(1000, 44100));
}

}  // namespace
}  // namespace sorvano
