#include "editor/AxisLabels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "editor/DisplayRows.h"

namespace sorvano::test {
namespace {

std::vector<std::string> Texts(const AxisLabels& labels) {
  std::vector<std::string> texts;
  for (int i = 0; i < labels.Count(); ++i) texts.emplace_back(labels.At(i).text);
  return texts;
}

TEST(AxisLabelsTimeTest, UnderTenSecondsShowsHundredths) {
  AxisLabels labels;
  labels.BuildTime(0, 220160, 44100);  // 4.99 s: step 1 s
  EXPECT_STREQ(labels.LowText(), "0:00.00");
  EXPECT_STREQ(labels.HighText(), "0:04.99");
  EXPECT_EQ(Texts(labels), (std::vector<std::string>{"0:01.00", "0:02.00", "0:03.00", "0:04.00"}));
  EXPECT_NEAR(labels.At(0).position, 44100.0 / 220160.0, 1e-6);
}

TEST(AxisLabelsTimeTest, OverTenSecondsShowsWholeSeconds) {
  AxisLabels labels;
  labels.BuildTime(0, 1323008, 44100);  // 30 s: step 10, fewer than 4 fit, so 5
  EXPECT_STREQ(labels.LowText(), "0:00");
  EXPECT_STREQ(labels.HighText(), "0:30");
  EXPECT_EQ(Texts(labels), (std::vector<std::string>{"0:05", "0:10", "0:15", "0:20", "0:25"}));
}

TEST(AxisLabelsTimeTest, TicksNearTheEdgesLoseTextThenThemselves) {
  AxisLabels labels;
  labels.BuildTime(26460, 26460 + 220500, 44100);  // 0.6 .. 5.6 s
  // 1 s sits at 0.08: a grid line without text; 5 s at 0.88 keeps its text.
  ASSERT_EQ(labels.Count(), 5);
  EXPECT_STREQ(labels.At(0).text, "");
  EXPECT_NEAR(labels.At(0).position, 0.08, 1e-6);
  EXPECT_STREQ(labels.At(4).text, "0:05.00");
  // Long spans in minutes, and a tick at 0.02 is dropped altogether.
  labels.BuildTime(0, 44100 * 600, 44100);
  EXPECT_STREQ(labels.HighText(), "10:00");
}

TEST(AxisLabelsTimeTest, RoundsToHundredthsBeforeSplitting) {
  char text[AxisLabels::kTextCapacity];
  AxisLabels::FormatTime(59.996, true, text);
  EXPECT_STREQ(text, "1:00.00");
  AxisLabels::FormatTime(125.4, false, text);
  EXPECT_STREQ(text, "2:05");
}

TEST(AxisLabelsTimeTest, EmptyRangesGiveNoTicks) {
  AxisLabels labels;
  labels.BuildTime(5000, 5000, 44100);
  EXPECT_EQ(labels.Count(), 0);
  labels.BuildTime(9000, 1000, 44100);
  EXPECT_EQ(labels.Count(), 0);
  labels.BuildTime(2147000000, 2147482624, 44100);  // far along the timeline
  EXPECT_LE(labels.Count(), AxisLabels::kMaxEntries);
}

TEST(AxisLabelsFrequencyTest, FullRangeAtTheStart) {
  AxisLabels labels;
  labels.BuildFrequency(0, 22000, 0, 1023, 44100);
  EXPECT_STREQ(labels.LowText(), "0");
  EXPECT_STREQ(labels.HighText(), "22000");
  const std::vector<std::string> texts = Texts(labels);
  // The middle majors fit; 100 Hz (row 34) and 15000 and 20000 Hz (the top
  // rows) fall inside the margins. 1000 Hz sits on its row.
  for (const char* major : {"500", "1000", "5000", "7500", "10000"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), major), texts.end()) << major;
  }
  for (const char* outside : {"100", "15000", "20000"}) {
    EXPECT_EQ(std::find(texts.begin(), texts.end(), outside), texts.end()) << outside;
  }
  const auto at1000 = std::find(texts.begin(), texts.end(), "1000") - texts.begin();
  EXPECT_NEAR(labels.At(static_cast<int>(at1000)).position,
              (DisplayRows::HzToRow(1000, 44100) + 0.5) / 1023.0, 1e-6);
  // Minor labels keep clear of every label kept before them.
  for (int i = 0; i < labels.Count(); ++i) {
    const float w = labels.At(i).position;
    EXPECT_GT(w, 0.04f);
    EXPECT_LT(w, 0.96f);
    for (int j = 0; j < i && i >= 8; ++j)
      EXPECT_GT(std::fabs(w - labels.At(j).position), 0.04f) << texts[static_cast<std::size_t>(i)];
  }
}

TEST(AxisLabelsFrequencyTest, ZoomedInShowsOnlyFrequenciesInside) {
  AxisLabels labels;
  const int high = DisplayRows::HzToRow(2000, 44100);
  labels.BuildFrequency(0, 2000, 0, high, 44100);
  EXPECT_STREQ(labels.HighText(), "2000");
  const std::vector<std::string> texts = Texts(labels);
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "5000"), texts.end());
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "2000"), texts.end())
      << "the end itself is not a label";
  EXPECT_NE(std::find(texts.begin(), texts.end(), "1000"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "1500"), texts.end());

  labels.BuildFrequency(1000, 1000, 400, 400, 44100);
  EXPECT_EQ(labels.Count(), 0) << "an empty row range divides by nothing";
}

}  // namespace
}  // namespace sorvano::test
