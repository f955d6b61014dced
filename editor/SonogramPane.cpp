#include "editor/SonogramPane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>

#include "editor/ColumnHistory.h"
#include "editor/DisplayRows.h"

namespace sorvano {

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;
// Interpolation weights between two hop columns are in 1024ths.
constexpr int kColumnWeight = 1024;

// A gap column's magnitude at weight u (of kColumnWeight) towards `to`.
inline std::uint16_t Interpolate(std::uint16_t from, std::uint16_t to, int u) {
  return static_cast<std::uint16_t>(
      (u * static_cast<int>(to) + (kColumnWeight - u) * static_cast<int>(from)) / kColumnWeight);
}

}  // namespace

SonogramPane::SonogramPane(const IRect& rect, int32_t start, int32_t end, int rate) {
  mMapping.mRect = rect;
  mMapping.mWidth = std::max(rect.W(), 0);
  mMapping.mHeight = std::max(rect.H(), 0);
  mMapping.mViewStart = start;
  mMapping.mViewEnd = end;
  mMapping.mLowHz = 0;
  mMapping.mHighHz = kStartHighHz;
  mMapping.mSampleRate = rate > 0 ? rate : 44100;
  if (end > start)
    mMapping.mPixelsPerSample = mMapping.mWidth / static_cast<double>(int64_t{end} - start);
  ComputeRows();

  const std::size_t size = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
  if (size > 0) {
    mMagnitudes.reset(new (std::nothrow) std::uint16_t[size]());
    mPixels.reset(new (std::nothrow) std::uint32_t[size]);
    if (!mMagnitudes || !mPixels) {
      mMagnitudes.reset();
      mPixels.reset();
    } else {
      std::fill_n(mPixels.get(), size, kBlack);
    }
  }
  mTimeLabels.BuildTime(start, end, mMapping.mSampleRate);
}

void SonogramPane::ComputeRows() {
  PaneMapping& m = mMapping;
  const int low = DisplayRows::HzToRow(m.mLowHz, m.mSampleRate);
  const int high = DisplayRows::HzToRow(m.mHighHz, m.mSampleRate);
  // A rate change can squeeze a narrow band onto one row; keep the previous
  // rows rather than a scale that divides by zero.
  if (high <= low) return;
  m.mLowRow = low;
  m.mHighRow = high;
  m.mPixelsPerRow = m.mHeight / static_cast<double>(high - low);
}

bool SonogramPane::SetTimeRange(int32_t start, int32_t end, const ColumnHistory& history) {
  const int32_t s = PaneMapping::RoundToColumn(start);
  const int32_t e = PaneMapping::RoundToColumn(end);
  if (e <= s) return false;
  mMapping.mViewStart = s;
  mMapping.mViewEnd = e;
  mMapping.mPixelsPerSample = mMapping.mWidth / static_cast<double>(int64_t{e} - s);
  mTimeLabels.BuildTime(s, e, mMapping.mSampleRate);
  Render(history);
  mMarkedRect = mMapping.MarkedRect(mMarkedRegion);
  return true;
}

bool SonogramPane::SetTimeAndFrequencyRange(const ModRegion& region, const ColumnHistory& history) {
  const int low = std::clamp(region.mLowRow, 0, DisplayRows::kTopRow);
  const int high = std::clamp(region.mHighRow, 0, DisplayRows::kTopRow);
  if (high <= low) return false;
  if (PaneMapping::RoundToColumn(region.mEnd) <= PaneMapping::RoundToColumn(region.mStart))
    return false;
  mMapping.mLowHz = region.mLowHz;
  mMapping.mHighHz = region.mHighHz;
  mMapping.mLowRow = low;
  mMapping.mHighRow = high;
  mMapping.mPixelsPerRow = mMapping.mHeight / static_cast<double>(high - low);
  return SetTimeRange(region.mStart, region.mEnd, history);
}

void SonogramPane::SetSampleRate(int rate) {
  if (rate <= 0) return;
  mMapping.mSampleRate = rate;
  ComputeRows();
  mTimeLabels.BuildTime(ViewStart(), ViewEnd(), rate);
  mMarkedRegion.mLowRow = DisplayRows::HzToRow(mMarkedRegion.mLowHz, rate);
  mMarkedRegion.mHighRow = DisplayRows::HzToRow(mMarkedRegion.mHighHz, rate);
  const IRect marked = mMapping.MarkedRect(mMarkedRegion);
  if (!mMarkedRect.Empty() && !marked.Empty()) {
    mMarkedRect.T = marked.T;
    mMarkedRect.B = marked.B;
  } else {
    mMarkedRect = marked;
  }
}

void SonogramPane::SetMarkedRegion(const ModRegion& region) {
  mMarkedRegion = region;
  mMarkedRect = mMapping.MarkedRect(region);
}

void SonogramPane::SetMarked(const ModRegion& region, const IRect& rect) {
  mMarkedRegion = region;
  mMarkedRect = rect;
}

void SonogramPane::ResampleRows(const std::uint16_t* column, int lo, int hi, int h,
                                std::uint16_t* out) {
  if (h <= 0) return;
  lo = std::clamp(lo, 0, DisplayRows::kTopRow);
  hi = std::clamp(hi, lo + 1, DisplayRows::kRows);
  const int rows = hi - lo;
  const double perOutput = static_cast<double>(rows) / h;
  int j = 0;
  for (int k = 0; k < h; ++k) {
    const int e = std::min(static_cast<int>(perOutput * (k + 1)), rows);
    if (e > j + 1) {
      std::uint32_t sum = 0;
      for (int i = j; i < e; ++i) sum += column[lo + i];
      out[k] = static_cast<std::uint16_t>(sum / static_cast<std::uint32_t>(e - j));
    } else {
      out[k] = column[lo + std::min(j, rows - 1)];
    }
    j = e;
  }
}

int SonogramPane::ColumnOf(int64_t offset) const {
  // Truncated toward zero like every pixel position of the view; offsets are bounded by the
  // span, so the product is far inside the int range for any pane width.
  return static_cast<int>(static_cast<double>(offset) * mMapping.mPixelsPerSample);
}

void SonogramPane::ColorColumns(int x0, int x1) {
  const MagnitudeImage magnitudes{mMagnitudes.get(), Width(), Height(), Height()};
  const PixelImage pixels{mPixels.get(), Width(), Height(), Width()};
  mColors.ColorRect(magnitudes, pixels, x0, x1, 0, Height(), mMap, mMultiplier);
}

void SonogramPane::PaintColumn(int32_t a, const std::uint16_t* column) {
  if (!mMagnitudes || !mMapping.Usable()) return;
  const int64_t offset = int64_t{a} - mMapping.mViewStart;
  if (offset - kColumn < 0 || a > mMapping.mViewEnd) return;
  const int x = ColumnOf(offset - kColumn);
  if (x < 0 || x >= Width()) return;

  std::uint16_t* target = MagnitudeColumn(x);
  if (column) {
    ResampleRows(column, mMapping.mLowRow, mMapping.mHighRow, Height(), target);
  } else {
    std::fill_n(target, Height(), std::uint16_t{0});
  }

  const int xp = ColumnOf(offset - 2 * kColumn);
  if (xp < 0) {
    ColorColumns(x, x + 1);
    return;
  }
  const std::uint16_t* previous = MagnitudeColumn(xp);
  for (int c = xp + 1; c < x; ++c) {
    std::uint16_t* gap = MagnitudeColumn(c);
    if (!column) {
      std::fill_n(gap, Height(), std::uint16_t{0});
      continue;
    }
    const int u = (c - xp) * kColumnWeight / (x - xp);
    for (int r = 0; r < Height(); ++r) gap[r] = Interpolate(previous[r], target[r], u);
  }
  // Column x is coloured even when the previous hop shares it: it now holds
  // this hop's magnitudes.
  ColorColumns(std::min(xp + 1, x), x + 1);
}

void SonogramPane::Render(const ColumnHistory& history) {
  if (!mMagnitudes || !mMapping.Usable()) return;
  const int h = Height();
  const int64_t span = int64_t{mMapping.mViewEnd} - mMapping.mViewStart;
  const int64_t hops = span / kColumn;  // hop k paints position start + 1024 (k + 1)
  const auto hopColumn = [&](int64_t k) { return ColumnOf(k * kColumn); };

  const int lastHop = hops > 0 ? hopColumn(hops - 1) : -1;
  const int tail = ColumnOf(span - kColumn);
  const int blackFrom = std::clamp(std::min(tail, lastHop + 1), 0, Width());

  // The magnitudes of up to two hops, as the resampled column or all zero
  // when the history has nothing there; zoomed in, neighbouring pixel
  // columns ask for the same two hops.
  struct Hop {
    int64_t k = -1;
    bool recorded = false;
    std::array<std::uint16_t, DisplayRows::kRows> rows{};
  };
  std::array<Hop, 2> cache;
  const auto hop = [&](int64_t k) -> const Hop& {
    for (const Hop& c : cache) {
      if (c.k == k) return c;
    }
    Hop& slot = cache[static_cast<std::size_t>(k & 1)];
    slot.k = k;
    const std::uint16_t* column =
        history.FindColumn(static_cast<int32_t>(mMapping.mViewStart + (k + 1) * kColumn));
    slot.recorded = column != nullptr;
    if (column)
      ResampleRows(column, mMapping.mLowRow, mMapping.mHighRow, h, slot.rows.data());
    else
      std::fill_n(slot.rows.begin(), h, std::uint16_t{0});
    return slot;
  };

  // Per pixel column: the last hop whose column is at or before it.
  const double hopsPerPixel = 1.0 / (kColumn * mMapping.mPixelsPerSample);
  for (int c = 0; c < blackFrom; ++c) {
    int64_t k = std::clamp<int64_t>(static_cast<int64_t>((c + 1) * hopsPerPixel), 0, hops - 1);
    while (k > 0 && hopColumn(k) > c) --k;
    while (k + 1 < hops && hopColumn(k + 1) <= c) ++k;

    std::uint16_t* target = MagnitudeColumn(c);
    const int x = hopColumn(k);
    if (x == c) {
      std::copy_n(hop(k).rows.begin(), h, target);
      continue;
    }
    // A gap column, last written by hop k + 1 (interpolating from hop k's
    // column, or zero when k + 1 has nothing recorded).
    const int next = hopColumn(k + 1);
    const Hop& to = hop(k + 1);
    if (!to.recorded) {
      std::fill_n(target, h, std::uint16_t{0});
      continue;
    }
    const Hop& from = hop(k);
    const int u = (c - x) * kColumnWeight / (next - x);
    for (int r = 0; r < h; ++r)
      target[r] = Interpolate(from.rows[static_cast<std::size_t>(r)],
                              to.rows[static_cast<std::size_t>(r)], u);
  }
  for (int c = blackFrom; c < Width(); ++c) std::fill_n(MagnitudeColumn(c), h, std::uint16_t{0});
  ColorColumns(0, Width());
}

void SonogramPane::SetColoring(int map, int multiplier) {
  if (map == mMap && multiplier == mMultiplier) return;
  mMap = map;
  mMultiplier = multiplier;
  ColorColumns(0, Width());
}

void SonogramPane::ClearImages() {
  if (!mMagnitudes) return;
  const std::size_t size = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
  std::fill_n(mMagnitudes.get(), size, std::uint16_t{0});
  std::fill_n(mPixels.get(), size, kBlack);
}

void SonogramPane::CopyInto(std::uint32_t* bits, int rowSpan, int surfaceWidth,
                            int surfaceHeight) const {
  if (!bits || rowSpan < surfaceWidth) return;
  const IRect& r = Rect();
  const int x0 = std::max(r.L, 0);
  const int x1 = std::min(r.L + Width(), surfaceWidth);
  const int y0 = std::max(r.T, 0);
  const int y1 = std::min(r.T + Height(), surfaceHeight);
  if (x0 >= x1) return;
  for (int y = y0; y < y1; ++y) {
    std::uint32_t* dest = bits + static_cast<std::ptrdiff_t>(y) * rowSpan + x0;
    if (mPixels) {
      const std::uint32_t* src =
          mPixels.get() + static_cast<std::ptrdiff_t>(y - r.T) * Width() + (x0 - r.L);
      std::memcpy(dest, src, static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t));
    } else {
      std::fill_n(dest, x1 - x0, kBlack);
    }
  }
}

}  // namespace sorvano
