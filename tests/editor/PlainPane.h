#pragma once

// A straightforward pane: painting and re-rendering exactly as the steps are
// written, hop after hop over the whole span, with no shortcut. The tests
// compare SonogramPane, which re-renders by pixel column, against it.

#include <cstdint>
#include <vector>

#include "editor/ColorMap.h"
#include "editor/ColumnHistory.h"

namespace sorvano::test {

class PlainPane {
public:
  PlainPane(int width, int height, int lowRow, int highRow)
      : mWidth(width),
        mHeight(height),
        mLowRow(lowRow),
        mHighRow(highRow),
        mMagnitudes(static_cast<std::size_t>(width * height)),
        mPixels(static_cast<std::size_t>(width * height), 0xFF000000u) {
    mColors.Select(0);
  }

  void SetTimeRange(int32_t s, int32_t e, const ColumnHistory& history) {
    mStart = s;
    mEnd = e;
    mPixelsPerSample = mWidth / static_cast<double>(int64_t{e} - s);
    int lastX = -1;
    for (int64_t q = int64_t{s} + 1024; q <= e; q += 1024) {
      const auto a = static_cast<int32_t>(q);
      Paint(a, history.FindColumn(a));
      lastX = static_cast<int>((q - s - 1024) * mPixelsPerSample);
    }
    const int w = static_cast<int>((int64_t{e} - s - 1024) * mPixelsPerSample);
    int from = w < lastX + 1 ? w : lastX + 1;
    if (from < 0) from = 0;
    for (int x = from; x < mWidth; ++x) {
      for (int r = 0; r < mHeight; ++r) Mag(x, r) = 0;
      for (int line = 0; line < mHeight; ++line)
        mPixels[static_cast<std::size_t>(line * mWidth + x)] = 0xFF000000u;
    }
  }

  // column null: clear.
  void Paint(int32_t a, const std::uint16_t* column) {
    if (int64_t{a} - 1024 < mStart || a > mEnd) return;
    const int x = static_cast<int>((int64_t{a} - mStart - 1024) * mPixelsPerSample);
    for (int k = 0; k < mHeight; ++k) Mag(x, k) = 0;
    if (column) Resample(column, x);
    const int xp = static_cast<int>((int64_t{a} - mStart - 2048) * mPixelsPerSample);
    if (xp < 0) {
      Color(x);
      return;
    }
    for (int t = 1; xp + t < x; ++t) {
      const int u = t * 1024 / (x - xp);
      for (int r = 0; r < mHeight; ++r) {
        Mag(xp + t, r) =
            column ? static_cast<std::uint16_t>((u * Mag(x, r) + (1024 - u) * Mag(xp, r)) / 1024)
                   : 0;
      }
    }
    for (int c = xp + 1; c <= x; ++c) Color(c);
    if (xp == x) Color(x);
  }

  std::uint16_t& Mag(int x, int r) {
    return mMagnitudes[static_cast<std::size_t>(x * mHeight + r)];
  }
  const std::vector<std::uint16_t>& Magnitudes() const { return mMagnitudes; }
  const std::vector<std::uint32_t>& Pixels() const { return mPixels; }

private:
  void Resample(const std::uint16_t* column, int x) {
    const int lo = mLowRow;
    const int hi = mHighRow;
    int j = 0;
    for (int k = 0; k < mHeight; ++k) {
      const int e = static_cast<int>(static_cast<double>(hi - lo) / mHeight * (k + 1));
      if (e > j + 1) {
        unsigned sum = 0;
        for (int i = lo + j; i <= lo + e - 1; ++i) sum += column[i];
        Mag(x, k) = static_cast<std::uint16_t>(sum / static_cast<unsigned>(e - j));
      } else {
        Mag(x, k) = column[lo + j];
      }
      j = e;
    }
  }

  void Color(int x) {
    for (int r = 0; r < mHeight; ++r) {
      mPixels[static_cast<std::size_t>((mHeight - 1 - r) * mWidth + x)] =
          mColors.ColorOf(Mag(x, r), 12);
    }
  }

  int mWidth, mHeight, mLowRow, mHighRow;
  int32_t mStart = 0, mEnd = 0;
  double mPixelsPerSample = 0.0;
  ColorMap mColors;
  std::vector<std::uint16_t> mMagnitudes;
  std::vector<std::uint32_t> mPixels;
};

}  // namespace sorvano::test
