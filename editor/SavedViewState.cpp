#include "editor/SavedViewState.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "editor/DisplayRows.h"
#include "editor/EditorMod.h"
#include "framework/DataChunk.h"

namespace sorvano {

namespace {

constexpr int kDefaultRate = 44100;

void PutRegion(DataChunk& chunk, const ModRegion& r) {
  chunk.Put(r.mStart);
  chunk.Put(r.mEnd);
  chunk.Put(r.mLowHz);
  chunk.Put(r.mHighHz);
  chunk.Put(r.mLowRow);
  chunk.Put(r.mHighRow);
}

void PutRect(DataChunk& chunk, const IRect& r) {
  chunk.Put<int32_t>(r.L);
  chunk.Put<int32_t>(r.T);
  chunk.Put<int32_t>(r.R);
  chunk.Put<int32_t>(r.B);
}

// Reads in order with sticky failure: once an item is missing, every later
// read fails too.
class Cursor {
public:
  Cursor(const DataChunk& chunk, int pos) : mChunk(chunk), mPos(pos) {}

  template <typename T>
  T Next() {
    T value{};
    if (mPos >= 0) mPos = mChunk.Get(&value, mPos);
    return value;
  }
  ModRegion NextRegion() {
    ModRegion r{};
    r.mStart = Next<int32_t>();
    r.mEnd = Next<int32_t>();
    r.mLowHz = Next<int32_t>();
    r.mHighHz = Next<int32_t>();
    r.mLowRow = Next<int32_t>();
    r.mHighRow = Next<int32_t>();
    return r;
  }
  IRect NextRect() {
    IRect r;
    r.L = Next<int32_t>();
    r.T = Next<int32_t>();
    r.R = Next<int32_t>();
    r.B = Next<int32_t>();
    return r;
  }
  bool Ok() const { return mPos >= 0; }
  int Remaining() const { return mPos >= 0 ? mChunk.Size() - mPos : 0; }

private:
  const DataChunk& mChunk;
  int mPos;
};

template <typename T>
void Order(T& low, T& high) {
  if (high < low) std::swap(low, high);
}

ModRegion SaneRegion(ModRegion r, int rate) {
  r.mStart = std::max(r.mStart, 0);
  r.mEnd = std::max(r.mEnd, 0);
  Order(r.mStart, r.mEnd);
  const int nyquist = rate / 2;
  r.mLowHz = std::clamp(r.mLowHz, 0, nyquist);
  r.mHighHz = std::clamp(r.mHighHz, 0, nyquist);
  Order(r.mLowHz, r.mHighHz);
  r.mLowRow = std::clamp(r.mLowRow, 0, DisplayRows::kTopRow);
  r.mHighRow = std::clamp(r.mHighRow, 0, DisplayRows::kTopRow);
  Order(r.mLowRow, r.mHighRow);
  return r;
}

IRect SaneRect(IRect r, int width, int height) {
  r.L = std::clamp(r.L, 0, width);
  r.R = std::clamp(r.R, 0, width);
  r.T = std::clamp(r.T, 0, height);
  r.B = std::clamp(r.B, 0, height);
  Order(r.L, r.R);
  Order(r.T, r.B);
  return r;
}

double SaneGain(double gain) {
  if (std::isnan(gain)) return 1.0;
  return std::clamp(gain, 0.0, SavedViewStateFormat::MaxGain());
}

double SaneFade(double fade) {
  if (std::isnan(fade)) return 0.1;
  return std::clamp(fade, 0.0, 1.0);
}

}  // namespace

double SavedViewStateFormat::MaxGain() { return std::pow(10.0, EditorMod::kMaxGainDb / 20.0); }

void SavedViewStateFormat::Write(const SavedViewState& state, DataChunk& chunk) {
  chunk.Put(state.mOverviewStart);
  chunk.Put(state.mOverviewEnd);
  PutRegion(chunk, state.mWindow);
  PutRect(chunk, state.mWindowRect);
  chunk.Put(static_cast<int32_t>(state.mRegions.size()));
  for (const SavedRegion& region : state.mRegions) {
    PutRegion(chunk, region.mRegion);
    chunk.Put(region.mModAmp);
    chunk.Put(region.mFade);
    PutRect(chunk, region.mMainRect);
    PutRect(chunk, region.mOverviewRect);
    chunk.Put<uint8_t>(region.mMute ? 1 : 0);
    chunk.Put<uint8_t>(region.mSolo ? 1 : 0);
    chunk.Put<uint8_t>(region.mBypass ? 1 : 0);
  }
}

SavedViewStateFormat::Result SavedViewStateFormat::Read(const DataChunk& chunk, int pos,
                                                        int sampleRate, int editorWidth,
                                                        int editorHeight, SavedViewState& out) {
  const int rate = sampleRate > 0 ? sampleRate : kDefaultRate;
  Cursor in(chunk, pos);
  SavedViewState state;
  state.mOverviewStart = in.Next<int32_t>();
  state.mOverviewEnd = in.Next<int32_t>();
  state.mWindow = in.NextRegion();
  state.mWindowRect = SaneRect(in.NextRect(), editorWidth, editorHeight);
  const int32_t count = in.Next<int32_t>();
  if (!in.Ok()) return Result::kIncomplete;

  // The count is only a claim: never reserve more blocks than bytes follow.
  const int claimed = std::max(count, 0);
  state.mRegions.reserve(static_cast<std::size_t>(std::min(claimed, in.Remaining() / kRegionBytes)));
  Result result = Result::kComplete;
  for (int i = 0; i < claimed; ++i) {
    if (in.Remaining() < kRegionBytes) {
      result = Result::kCutInRegions;
      break;
    }
    SavedRegion region;
    region.mRegion = SaneRegion(in.NextRegion(), rate);
    region.mModAmp = SaneGain(in.Next<double>());
    region.mFade = SaneFade(in.Next<double>());
    region.mMainRect = SaneRect(in.NextRect(), editorWidth, editorHeight);
    region.mOverviewRect = SaneRect(in.NextRect(), editorWidth, editorHeight);
    region.mMute = in.Next<uint8_t>() != 0;
    region.mSolo = in.Next<uint8_t>() != 0;
    region.mBypass = in.Next<uint8_t>() != 0;
    state.mRegions.push_back(region);
  }
  out = std::move(state);
  return result;
}

}  // namespace sorvano
