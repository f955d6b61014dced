#include "editor/PaneMapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "editor/DisplayRows.h"

namespace sorvano {

namespace {

constexpr int64_t kColumn = 1024;

// A screen offset computed in floating point, truncated toward zero and
// limited far outside any editor, so that a region far from the view never
// overflows the int conversion.
int ScreenOffset(double pixels) {
  constexpr double kLimit = 1.0e6;
  return static_cast<int>(std::clamp(pixels, -kLimit, kLimit));
}

}  // namespace

bool PaneMapping::Usable() const {
  return std::isfinite(mPixelsPerSample) && mPixelsPerSample > 0.0 &&
         std::isfinite(mPixelsPerRow) && mPixelsPerRow > 0.0 && mWidth > 0 && mHeight > 0;
}

int32_t PaneMapping::RoundToColumn(int64_t position) {
  const int64_t shifted = position + kColumn / 2;
  // Floor division, so that negative positions round the same way.
  int64_t q = shifted / kColumn;
  if (shifted % kColumn < 0) --q;
  // Limited to the multiples of 1024 that int32 holds.
  constexpr int64_t kHighest = std::numeric_limits<int32_t>::max() / kColumn * kColumn;
  return static_cast<int32_t>(
      std::clamp<int64_t>(q * kColumn, std::numeric_limits<int32_t>::min(), kHighest));
}

IRect PaneMapping::MarkedRect(const ModRegion& region) const {
  if (!Usable()) return IRect();
  const auto x = [&](int32_t pos) {
    return mRect.L +
           ScreenOffset(static_cast<double>(int64_t{pos} - mViewStart) * mPixelsPerSample);
  };
  const auto y = [&](int row) {
    return mRect.B - ScreenOffset(static_cast<double>(int64_t{row} - mLowRow) * mPixelsPerRow);
  };
  const IRect marked(x(region.mStart), y(region.mHighRow), x(region.mEnd), y(region.mLowRow));
  return marked.Intersect(mRect);
}

ModRegion PaneMapping::RegionFromRect(const IRect& rect, Corner corner, const ModRegion& from,
                                      IRect* clipped) const {
  const IRect inside = Usable() ? rect.Intersect(mRect) : IRect();
  if (clipped) *clipped = inside;
  if (inside.Empty()) return from;

  const auto position = [&](int x) {
    const int64_t offset = static_cast<int64_t>((x - mRect.L) / mPixelsPerSample);
    return RoundToColumn(offset + mViewStart);
  };
  const auto row = [&](int y) {
    const int rows = static_cast<int>((mRect.B - y) / mPixelsPerRow);
    return std::clamp(rows + mLowRow, 0, DisplayRows::kTopRow);
  };

  ModRegion region = from;
  if (corner != Corner::kBottomRight) {
    region.mStart = position(inside.L);
    region.mHighRow = row(inside.T);
    region.mHighHz = DisplayRows::RowToHz(region.mHighRow, mSampleRate);
  }
  if (corner != Corner::kTopLeft) {
    region.mEnd = position(inside.R);
    region.mLowRow = row(inside.B);
    region.mLowHz = DisplayRows::RowToHz(region.mLowRow, mSampleRate);
  }
  return region;
}

}  // namespace sorvano
