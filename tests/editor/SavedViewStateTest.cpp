#include "editor/SavedViewState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/DataChunk.h"

namespace sorvano {
namespace {

using Format = SavedViewStateFormat;

SavedViewState TwoRegions() {
  SavedViewState state;
  state.mOverviewStart = 0;
  state.mOverviewEnd = 1323008;
  state.mWindow = {1024, 221184, 0, 22000, 0, 1023};
  state.mWindowRect = {30, 362, 126, 429};
  SavedRegion a;
  a.mRegion = {40960, 81920, 900, 1100, 260, 290};
  a.mModAmp = 0.5;
  a.mFade = 0.25;
  a.mMainRect = {100, 200, 140, 230};
  a.mOverviewRect = {40, 400, 42, 404};
  a.mMute = true;
  SavedRegion b = a;
  b.mRegion.mStart = 90112;
  b.mRegion.mEnd = 131072;
  b.mSolo = true;
  b.mMute = false;
  b.mBypass = true;
  state.mRegions = {a, b};
  return state;
}

void ExpectSameRegion(const SavedRegion& a, const SavedRegion& b) {
  EXPECT_EQ(a.mRegion, b.mRegion);
  EXPECT_EQ(a.mModAmp, b.mModAmp);
  EXPECT_EQ(a.mFade, b.mFade);
  EXPECT_EQ(a.mMainRect, b.mMainRect);
  EXPECT_EQ(a.mOverviewRect, b.mOverviewRect);
  EXPECT_EQ(a.mMute, b.mMute);
  EXPECT_EQ(a.mSolo, b.mSolo);
  EXPECT_EQ(a.mBypass, b.mBypass);
}

TEST(SavedViewState, WritesFiftyTwoBytesPlusSeventyFivePerRegionAndReadsThemBack) {
  DataChunk empty;
  Format::Write(SavedViewState{}, empty);
  EXPECT_EQ(empty.Size(), 52);

  const SavedViewState saved = TwoRegions();
  DataChunk chunk;
  chunk.Put<int32_t>(1014);  // whatever comes before is skipped by the position
  Format::Write(saved, chunk);
  ASSERT_EQ(chunk.Size(), 4 + 52 + 2 * 75);

  SavedViewState read;
  ASSERT_EQ(Format::Read(chunk, 4, 44100, 640, 540, read), Format::Result::kComplete);
  EXPECT_EQ(read.mOverviewEnd, saved.mOverviewEnd);
  EXPECT_EQ(read.mWindow, saved.mWindow);
  EXPECT_EQ(read.mWindowRect, saved.mWindowRect);
  ASSERT_EQ(read.mRegions.size(), 2u);
  ExpectSameRegion(read.mRegions[0], saved.mRegions[0]);
  ExpectSameRegion(read.mRegions[1], saved.mRegions[1]);

  DataChunk again;
  again.Put<int32_t>(1014);
  Format::Write(read, again);
  ASSERT_EQ(again.Size(), chunk.Size());
  EXPECT_TRUE(std::equal(chunk.Data(), chunk.Data() + chunk.Size(), again.Data()));
}

TEST(SavedViewState, DataCutAtEveryOffsetKeepsOnlyWholeRegionsAndNeverReadsTheFixedPartHalfway) {
  DataChunk full;
  Format::Write(TwoRegions(), full);
  for (int size = 0; size < full.Size(); ++size) {
    DataChunk cut;
    cut.PutBytes(full.Data(), size);
    SavedViewState read;
    read.mOverviewEnd = 77;
    const Format::Result result = Format::Read(cut, 0, 44100, 640, 540, read);
    if (size < Format::kFixedBytes) {
      EXPECT_EQ(result, Format::Result::kIncomplete) << size;
      EXPECT_EQ(read.mOverviewEnd, 77) << "an incomplete read changes nothing, size " << size;
    } else {
      EXPECT_EQ(result, Format::Result::kCutInRegions) << size;
      EXPECT_EQ(static_cast<int>(read.mRegions.size()), (size - Format::kFixedBytes) / Format::kRegionBytes)
          << size;
    }
  }
}

TEST(SavedViewState, ValuesFromTheDataAreBroughtIntoRange) {
  SavedViewState hostile;
  hostile.mWindowRect = {-5000, 9000, -20, 100000};
  SavedRegion r;
  r.mRegion = {-4096, -1 - 8192, 30000, -7, 5000, -3};
  r.mModAmp = std::numeric_limits<double>::quiet_NaN();
  r.mFade = std::numeric_limits<double>::infinity();
  r.mMainRect = {700, 600, -1, -2};
  SavedRegion huge = r;
  huge.mRegion = {81920, 40960, 5000, 1000, 900, 100};
  huge.mModAmp = std::numeric_limits<double>::infinity();
  huge.mFade = std::numeric_limits<double>::quiet_NaN();
  SavedRegion negative = r;
  negative.mModAmp = -3.0;
  negative.mFade = -0.5;
  hostile.mRegions = {r, huge, negative};
  DataChunk chunk;
  Format::Write(hostile, chunk);
  // Switch bytes other than 0 and 1: the last three bytes of the first block.
  chunk.Data()[Format::kFixedBytes + 72] = 7;
  chunk.Data()[Format::kFixedBytes + 73] = 255;

  SavedViewState read;
  ASSERT_EQ(Format::Read(chunk, 0, 44100, 640, 540, read), Format::Result::kComplete);
  EXPECT_EQ(read.mWindowRect, IRect(0, 540, 0, 540));
  const SavedRegion& a = read.mRegions[0];
  EXPECT_EQ(a.mRegion, (ModRegion{0, 0, 0, 22050, 0, 1023}));
  EXPECT_EQ(a.mModAmp, 1.0);
  EXPECT_EQ(a.mFade, 1.0);
  EXPECT_EQ(a.mMainRect, IRect(0, 0, 640, 540));
  EXPECT_TRUE(a.mMute);
  EXPECT_TRUE(a.mSolo);
  EXPECT_FALSE(a.mBypass);
  const SavedRegion& b = read.mRegions[1];
  EXPECT_EQ(b.mRegion, (ModRegion{40960, 81920, 1000, 5000, 100, 900}));
  EXPECT_DOUBLE_EQ(b.mModAmp, 100.0);
  EXPECT_EQ(b.mFade, 0.1);
  EXPECT_EQ(read.mRegions[2].mModAmp, 0.0);
  EXPECT_EQ(read.mRegions[2].mFade, 0.0);
}

TEST(SavedViewState, ARegionCountIsAClaimBoundedByTheBytesPresent) {
  for (int32_t claim : {std::numeric_limits<int32_t>::max(), 1000000, 3, -5}) {
    SavedViewState one = TwoRegions();
    one.mRegions.resize(1);
    DataChunk chunk;
    Format::Write(one, chunk);
    DataChunk forged;
    forged.PutBytes(chunk.Data(), 48);
    forged.Put(claim);
    forged.PutBytes(chunk.Data() + 52, chunk.Size() - 52);
    SavedViewState read;
    const Format::Result result = Format::Read(forged, 0, 44100, 640, 540, read);
    if (claim < 0) {
      EXPECT_EQ(result, Format::Result::kComplete);
      EXPECT_TRUE(read.mRegions.empty());
    } else {
      EXPECT_EQ(result, Format::Result::kCutInRegions) << claim;
      EXPECT_EQ(read.mRegions.size(), 1u) << claim;
      EXPECT_LE(read.mRegions.capacity(), 1u) << claim;
    }
  }
}

}  // namespace
}  // namespace sorvano
