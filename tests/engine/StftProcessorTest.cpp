#include "engine/StftProcessor.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "engine/SpectralRing.h"
#include "support/Noise.h"
#include "tests/engine/StftModel.h"

namespace sorvano {
namespace {

constexpr double kRate = 44100.0;
// Full-scale noise through a 2048-point transform pair: bins reach ~1e3 and
// carry ~1e-13 of rounding; after scaling and division by window sums of at
// least 0.679 the error per sample stays many orders below this.
constexpr double kTolerance = 1e-9;

using test::Noise;

// A processor with its own buffers and ring, driven in blocks on a timeline.
class ProcessorRig {
public:
  ProcessorRig()
      : mFrames(2 * StftProcessor::kFrameSize),
        mRingStorage(SpectralRing::kEntries),
        mMarks(StftProcessor::kBinPairs),
        mRing(mRingStorage.data()),
        mProcessor(mFrames.data(), mMarks.data(), mRing) {}

  // Processes the whole stream in blocks of the given sizes (cycled), the
  // first sample at host position start; returns left and right.
  std::pair<std::vector<double>, std::vector<double>> Run(const std::vector<double>& left,
                                                          const std::vector<double>& right,
                                                          int64_t start,
                                                          const std::vector<ModRecord>& records,
                                                          const std::vector<int>& blocks) {
    std::vector<double> outL(left.size()), outR(right.size());
    size_t done = 0;
    for (size_t b = 0; done < left.size(); ++b) {
      const int n = static_cast<int>(std::min<size_t>(size_t(blocks[b % blocks.size()]), left.size() - done));
      mProcessor.Process(left.data() + done, right.data() + done, outL.data() + done,
                         outR.data() + done, n, start + int64_t(done), records);
      done += size_t(n);
      mRing.Publish();
    }
    return {outL, outR};
  }

  std::vector<Complex> mFrames;
  std::vector<Complex> mRingStorage;
  std::vector<int32_t> mMarks;
  SpectralRing mRing;
  StftProcessor mProcessor;
};

std::vector<int64_t> Timeline(size_t n, int64_t start) {
  std::vector<int64_t> pos(n);
  for (size_t t = 0; t < n; ++t) pos[t] = start + int64_t(t);
  return pos;
}

double MaxError(const std::vector<double>& a, const std::vector<double>& b) {
  double e = 0.0;
  for (size_t i = 0; i < a.size(); ++i) e = std::max(e, std::abs(a[i] - b[i]));
  return e;
}

ModRecord Record(int start, int end, int lowHz, int highHz, double gain, double fade = 0.0) {
  return BuildModRecord(ModRegion{start, end, lowHz, highHz, 0, 0}, gain, fade, kRate);
}

// Runs processor and model over 16 hops of noise and compares both channels.
void ExpectMatchesModel(const std::vector<ModRecord>& records, int64_t start = 0,
                        const std::vector<int>& blocks = {512}) {
  const size_t n = 16 * 1024 + 300;
  const std::vector<double> left = Noise(n, 1), right = Noise(n, 2);
  ProcessorRig rig;
  const auto [outL, outR] = rig.Run(left, right, start, records, blocks);
  const model::Result expected = model::Run(left, right, Timeline(n, start), records, false);
  EXPECT_LT(MaxError(outL, expected.mLeft), kTolerance);
  EXPECT_LT(MaxError(outR, expected.mRight), kTolerance);
}

TEST(StftModel, ReferenceTransformAgreesWithThePlainDft) {
  std::vector<model::Cx> x(2048);
  const std::vector<double> re = Noise(2048, 20), im = Noise(2048, 21);
  for (size_t i = 0; i < x.size(); ++i) x[i] = model::Cx(re[i], im[i]);
  for (int sign : {-1, +1}) {
    const std::vector<model::Cx> fast = model::Transform(x, sign), plain = model::Dft(x, sign);
    double err = 0.0;
    for (size_t k = 0; k < x.size(); ++k) err = std::max(err, std::abs(fast[k] - plain[k]));
    EXPECT_LT(err, 1e-9);
  }
}

TEST(StftProcessor, EmptyListDelaysBothChannelsBy2048Exactly) {
  const size_t n = 12000;
  const std::vector<double> left = Noise(n, 3), right = Noise(n, 4);
  ProcessorRig rig;
  const auto [outL, outR] = rig.Run(left, right, 0, {}, {700, 1, 1500, 3});
  double err = 0.0;
  for (size_t t = 0; t < n; ++t) {
    const double l = t < 2048 ? 0.0 : left[t - 2048];
    const double r = t < 2048 ? 0.0 : right[t - 2048];
    err = std::max({err, std::abs(outL[t] - l), std::abs(outR[t] - r)});
  }
  EXPECT_LT(err, kTolerance);
}

TEST(StftProcessor, GainsMuteAndBypassMatchTheModel) {
  ExpectMatchesModel({Record(2048, 9216, 1000, 6000, 0.25)});
  ExpectMatchesModel({Record(3000, 7000, 0, 22050, 3.0)});

  ModRecord muted = Record(4096, 8192, 500, 4000, 0.7);
  muted.mMute = 1;
  ExpectMatchesModel({muted});

  // A bypassed record does nothing, not even through its solo mark.
  ModRecord bypassed = Record(0, 20000, 500, 4000, 0.0);
  bypassed.mSolo = 1;
  bypassed.mBypass = 1;
  ExpectMatchesModel({bypassed});
}

TEST(StftProcessor, BypassedRecordLeavesTheSignalUntouched) {
  // Independent of the model: the delayed input comes back.
  ModRecord bypassed = Record(0, 20000, 0, 22050, 0.0);
  bypassed.mSolo = 1;
  bypassed.mBypass = 1;
  const size_t n = 8192;
  const std::vector<double> left = Noise(n, 5), right = Noise(n, 6);
  ProcessorRig rig;
  const auto [outL, outR] = rig.Run(left, right, 0, {bypassed}, {512});
  for (size_t t = 2048; t < n; ++t) ASSERT_NEAR(outL[t], left[t - 2048], kTolerance) << t;
}

TEST(StftProcessor, MutedCoreBandIsSilentInEveryOverlappingFrame) {
  // Mute all bins over a long stretch: samples whose both frames overlap it
  // come out silent.
  ModRecord muted = Record(4096, 12288, 0, 22050, 1.0);
  muted.mMute = 1;
  const size_t n = 20000;
  const std::vector<double> left = Noise(n, 7), right = Noise(n, 8);
  ProcessorRig rig;
  const auto [outL, outR] = rig.Run(left, right, 0, {muted}, {256});
  // Frames completed at positions 5120 .. 14336 overlap [4096, 12288); the
  // output hops after positions 6144 .. 14336 use two such frames.
  for (size_t t = 6144; t < 14336; ++t) {
    ASSERT_EQ(outL[t], 0.0) << t;
    ASSERT_EQ(outR[t], 0.0) << t;
  }
  EXPECT_GT(std::abs(outL[16000]), 0.0);
}

TEST(StftProcessor, SoloSilencesOtherBinsOnlyWhileASoloedRecordIsActive) {
  ModRecord soloed = Record(4096, 8192, 2000, 5000, 1.0, 0.2);
  soloed.mSolo = 1;
  ExpectMatchesModel({soloed, Record(0, 16384, 100, 3000, 0.5)});
  // Two soloed records: the union of their bands survives.
  ModRecord other = Record(6144, 12288, 8000, 9000, 2.0);
  other.mSolo = 1;
  ExpectMatchesModel({soloed, other});
  // A soloed record with an empty band silences the whole frame.
  ModRecord empty = Record(4096, 8192, 3000, 3000, 1.0);
  empty.mSolo = 1;
  ExpectMatchesModel({empty});
}

TEST(StftProcessor, OverlappingRecordsMultiplyAndFadesAreLinear) {
  ExpectMatchesModel({Record(2048, 10240, 1000, 8000, 0.5), Record(5120, 14336, 4000, 12000, 0.1)});
  // Fades in time and frequency, including a fade-in clipped at position 0
  // and an upper fade reaching half the rate.
  ExpectMatchesModel({Record(5000, 9000, 3000, 6000, 0.0, 0.5)});
  ExpectMatchesModel({Record(1000, 7000, 15000, 21000, 4.0, 1.0)});
  ExpectMatchesModel({Record(3072, 4096, 200, 400, 0.0, 3.0)});
  // Regions starting and ending between hops, on a timeline that does not
  // start at 0, in odd block sizes.
  ExpectMatchesModel({Record(100700, 104321, 700, 1500, 0.3, 0.7)}, 98765, {1, 1000, 77});
}

TEST(StftProcessor, GainsPairBinKWith2047MinusK) {
  // Narrow bands at both ends of the bin range: bin 0 pairs with 2047 and
  // bin 1023 with 1024. Bin k is k * 44100 / 2048 Hz.
  ExpectMatchesModel({Record(0, 20000, 0, 22, 0.0)});           // bin 0
  ExpectMatchesModel({Record(0, 20000, 22040, 22050, 0.0)});    // bin 1023
  ExpectMatchesModel({Record(0, 20000, 1077, 1120, 5.0)});      // bins 50..51
}

TEST(StftProcessor, RecordBoundsOutsideTheFrameAreClamped) {
  // Records built for bins that do not exist (a region above half the rate,
  // or bounds from hostile data) touch only bins 0..1023 and their partners.
  ModRecord high = Record(0, 20000, 20000, 40000, 0.5, 0.5);
  ModRecord hostile = Record(0, 20000, 100, 200, 0.25);
  hostile.mLowBin = -5000;
  hostile.mHighBin = 1'000'000;
  hostile.mFadeLowBin = INT_MIN;
  hostile.mFadeHighBin = INT_MAX;
  hostile.mSolo = 1;
  ExpectMatchesModel({high});
  ExpectMatchesModel({hostile});
  // Crossed bounds: the two fades overlap and the core band is empty.
  ModRecord crossed = Record(0, 20000, 100, 200, 0.25);
  crossed.mLowBin = 300;
  crossed.mHighBin = 200;
  crossed.mFadeLowBin = 100;
  crossed.mFadeHighBin = 400;
  ExpectMatchesModel({crossed});
}

TEST(StftProcessor, PositionsNearTheEndOfInt32DoNotOverflow) {
  // The timeline crosses INT_MAX during the run; frames keep their 64-bit
  // positions for the gains and report saturated positions to the ring.
  const int64_t start = int64_t(INT_MAX) - 6000;
  ExpectMatchesModel({Record(INT_MAX - 4000, INT_MAX, 500, 3000, 0.2, 1.0)}, start);

  ProcessorRig rig;
  const std::vector<double> left = Noise(10240, 9), right = Noise(10240, 10);
  rig.Run(left, right, start, {}, {4096});
  std::vector<Complex> dest(SpectralRing::kMaxRead);
  int framePos = 0;
  EXPECT_EQ(rig.mRing.Read(dest.data(), &framePos), 9 * 1024);
  EXPECT_EQ(framePos, INT_MAX);
}

TEST(StftProcessor, RingCarriesBinsAfterTheGainsAtTheFramePositions) {
  const std::vector<ModRecord> records = {Record(3000, 6000, 1000, 5000, 0.1, 0.5)};
  const size_t n = 6 * 1024 + 10;
  const int64_t start = 50000;
  const std::vector<double> left = Noise(n, 11), right = Noise(n, 12);
  ProcessorRig rig;
  rig.Run(left, right, start, records, {int(n)});  // one block: published by Run
  const model::Result expected = model::Run(left, right, Timeline(n, start), records, true);

  std::vector<Complex> dest(SpectralRing::kMaxRead);
  int framePos = 0;
  const int got = rig.mRing.Read(dest.data(), &framePos);
  ASSERT_EQ(got, int(expected.mSpectra.size()) * 1024);
  EXPECT_EQ(framePos, expected.mFramePos.back());
  EXPECT_EQ(framePos, start + 6 * 1024);
  double err = 0.0;
  for (size_t f = 0; f < expected.mSpectra.size(); ++f) {
    for (size_t k = 0; k < 1024; ++k) {
      err = std::max(err, std::abs(dest[f * 1024 + k] - expected.mSpectra[f][k]));
    }
  }
  // Bins of full-scale noise reach ~1e3; rounding of both transforms ~1e-12.
  EXPECT_LT(err, 1e-8);
}

}  // namespace
}  // namespace sorvano
