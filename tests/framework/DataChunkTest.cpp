#include "framework/DataChunk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace sorvano {
namespace {

std::vector<std::uint8_t> Bytes(const DataChunk& chunk) {
  return std::vector<std::uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

TEST(DataChunk, ValuesAreStoredLittleEndian) {
  DataChunk chunk;
  EXPECT_EQ(chunk.Put<std::int32_t>(0x70666674), 4);
  EXPECT_EQ(chunk.Put<std::int32_t>(-2), 8);
  EXPECT_EQ(chunk.Put(1.0), 16);
  EXPECT_EQ(chunk.Put(true), 17);
  EXPECT_EQ(chunk.Put<std::uint8_t>(0xAB), 18);
  const std::vector<std::uint8_t> expected = {0x74, 0x66, 0x66, 0x70, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0,
                                              0,    0,    0,    0xF0, 0x3F, 0x01, 0xAB};
  EXPECT_EQ(Bytes(chunk), expected);
}

TEST(DataChunk, ChainedReadsRoundTripAndFailStickily) {
  DataChunk chunk;
  chunk.Put<std::int32_t>(1014);
  chunk.Put(-2.5);
  chunk.Put(false);
  chunk.PutStr("bright");

  std::int32_t tag = 0;
  double v = 0.0;
  bool flag = true;
  char text[16] = "old";
  int pos = chunk.Get(&tag, 0);
  pos = chunk.Get(&v, pos);
  pos = chunk.Get(&flag, pos);
  pos = chunk.GetStr(text, sizeof text, pos);
  EXPECT_EQ(pos, chunk.Size());
  EXPECT_EQ(tag, 1014);
  EXPECT_EQ(v, -2.5);
  EXPECT_FALSE(flag);
  EXPECT_STREQ(text, "bright");

  // Past the end: -1, value untouched, and every later read fails too.
  tag = 7;
  pos = chunk.Get(&tag, pos);
  EXPECT_EQ(pos, -1);
  EXPECT_EQ(tag, 7);
  EXPECT_EQ(chunk.Get(&v, pos), -1);
  EXPECT_EQ(chunk.GetStr(text, sizeof text, pos), -1);
  EXPECT_STREQ(text, "bright");
}

TEST(DataChunk, ShortDataFailsWithoutReadingOutside) {
  DataChunk chunk;
  chunk.Put<std::uint8_t>(1);
  chunk.Put<std::uint8_t>(2);
  chunk.Put<std::uint8_t>(3);
  std::int32_t i = 5;
  EXPECT_EQ(chunk.Get(&i, 0), -1);
  EXPECT_EQ(i, 5);
  double d = 0.0;
  EXPECT_EQ(chunk.Get(&d, 0), -1);
  std::uint8_t b = 0;
  EXPECT_EQ(chunk.Get(&b, 2), 3);
  EXPECT_EQ(b, 3);
  EXPECT_EQ(chunk.Get(&b, 3), -1);
  EXPECT_EQ(chunk.Get(&b, std::numeric_limits<int>::max()), -1);
  EXPECT_EQ(chunk.Get(&b, std::numeric_limits<int>::min()), -1);
  EXPECT_EQ(chunk.Get<std::uint8_t>(nullptr, 0), -1);

  // Any non-zero byte reads as true.
  bool flag = false;
  EXPECT_EQ(chunk.Get(&flag, 1), 2);
  EXPECT_TRUE(flag);
}

TEST(DataChunk, GarbledStringLengthsFailCleanly) {
  char text[8] = "keep";

  DataChunk negative;
  negative.Put<std::int32_t>(-1);
  negative.PutBytes("abcdefgh", 8);
  EXPECT_EQ(negative.GetStr(text, sizeof text, 0), -1);

  DataChunk oversized;
  oversized.Put<std::int32_t>(5);
  oversized.PutBytes("abcd", 4);
  EXPECT_EQ(oversized.GetStr(text, sizeof text, 0), -1);

  DataChunk huge;
  huge.Put<std::int32_t>(std::numeric_limits<std::int32_t>::max());
  huge.PutBytes("abcd", 4);
  EXPECT_EQ(huge.GetStr(text, sizeof text, 0), -1);

  DataChunk noLength;
  noLength.Put<std::uint8_t>(3);
  EXPECT_EQ(noLength.GetStr(text, sizeof text, 0), -1);
  EXPECT_STREQ(text, "keep");
}

TEST(DataChunk, GetStrCutsToTheDestinationAndKeepsTextForEmptyStrings) {
  DataChunk chunk;
  chunk.PutStr("a rather long preset name");
  chunk.PutStr("");
  chunk.PutStr(nullptr);

  char text[8];
  std::memset(text, '#', sizeof text);
  int pos = chunk.GetStr(text, 5, 0);
  EXPECT_EQ(pos, 4 + 25);
  EXPECT_STREQ(text, "a ra");
  EXPECT_EQ(text[5], '#');

  // An empty stored text leaves the destination as it was.
  pos = chunk.GetStr(text, 5, pos);
  EXPECT_STREQ(text, "a ra");
  pos = chunk.GetStr(text, 5, pos);
  EXPECT_EQ(pos, chunk.Size());

  // Without a destination the position still advances.
  EXPECT_EQ(chunk.GetStr(nullptr, 0, 0), 29);
}

TEST(DataChunk, ResizeZeroFillsAndReportsTheOldSize) {
  DataChunk chunk;
  chunk.Put<std::int32_t>(-1);
  EXPECT_EQ(chunk.Resize(2), 4);
  EXPECT_EQ(chunk.Resize(6), 2);
  EXPECT_EQ(Bytes(chunk), (std::vector<std::uint8_t>{0xFF, 0xFF, 0, 0, 0, 0}));
  EXPECT_EQ(chunk.Resize(-3), 6);
  EXPECT_EQ(chunk.Size(), 6);
  chunk.Clear();
  EXPECT_EQ(chunk.Size(), 0);
}

TEST(DataChunk, PutBytesIgnoresMissingData) {
  DataChunk chunk;
  EXPECT_EQ(chunk.PutBytes(nullptr, 4), 0);
  EXPECT_EQ(chunk.PutBytes("ab", -1), 0);
  EXPECT_EQ(chunk.PutBytes("ab", 2), 2);
}

}  // namespace
}  // namespace sorvano
