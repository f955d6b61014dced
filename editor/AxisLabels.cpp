#include "editor/AxisLabels.h"

#include <cmath>
#include <cstdio>

#include "editor/DisplayRows.h"
#include "framework/BoundedString.h"
#include "graphics/IEditorGraphics.h"

namespace sorvano {

namespace {

constexpr double kTextMargin = 0.1;
constexpr double kFrequencyMargin = 0.04;
constexpr int kTextWidth = 36;
constexpr int kStripHeight = 10;
constexpr int kFrequencyStripLeft = 2;
constexpr int kFrequencyStripRight = 38;
constexpr int kHalfTextHeight = 5;
constexpr double kHundredthsBelowSeconds = 10.0;
constexpr IColor kGrid(255, 64, 64, 64);

constexpr int kMajorHz[] = {100, 500, 1000, 5000, 7500, 10000, 15000, 20000};
constexpr int kMinorHz[] = {10,   20,   30,   40,   50,   60,   70,   80,   90,    150,  200,  250,
                            300,  400,  600,  700,  800,  900,  1200, 1500, 2000,  2500, 3000, 3500,
                            4000, 4500, 6000, 6500, 7000, 7500, 8000, 9000, 12500, 17500};

void FormatHz(double hz, char (&text)[AxisLabels::kTextCapacity]) {
  std::snprintf(text, sizeof text, "%.0f", hz);
}

}  // namespace

void AxisLabels::FormatTime(double seconds, bool hundredths, char (&text)[kTextCapacity]) {
  // Rounded to hundredths first, so 59.996 s reads 1:00.00 and not 0:60.00.
  const long long total = std::isfinite(seconds) ? std::llround(std::fabs(seconds) * 100.0) : 0;
  const long long minutes = total / 6000;
  const int secs = static_cast<int>(total / 100 % 60);
  const int cents = static_cast<int>(total % 100);
  if (hundredths) {
    std::snprintf(text, sizeof text, "%lld:%02d.%02d", minutes, secs, cents);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02d", minutes, secs);
  }
}

void AxisLabels::Add(float position, const char* text) {
  if (mCount >= kMaxEntries) return;
  Entry& entry = mEntries[static_cast<std::size_t>(mCount++)];
  entry.position = position;
  CopyBounded(entry.text, text);
}

void AxisLabels::BuildTime(int32_t start, int32_t end, int rate) {
  mCount = 0;
  const double r = rate > 0 ? rate : 44100.0;
  const double startTime = start / r;
  const double endTime = end / r;
  const double span = endTime - startTime;
  const bool hundredths = span < kHundredthsBelowSeconds;
  FormatTime(startTime, hundredths, mLow);
  FormatTime(endTime, hundredths, mHigh);
  if (!(span > 0.0)) return;

  double step = std::pow(10.0, std::trunc(std::log10(span)));
  if (std::trunc(span / step) < 1.0) step *= 0.1;
  if (span / step < 4.0) step *= 0.5;

  char text[kTextCapacity];
  // The tick count is bounded (fewer than 21 steps fit), but far along the
  // timeline a step can vanish in the rounding of value + step; the counter
  // keeps that from looping.
  int ticks = 0;
  for (double value = (std::floor(startTime / step) + 1.0) * step;
       value < endTime && ticks < 2 * kMaxEntries; value += step, ++ticks) {
    const double w = (value - startTime) / span;
    if (!(w > kEdgeMargin && w < 1.0 - kEdgeMargin)) continue;
    text[0] = '\0';
    if (w > kTextMargin && w < 1.0 - kTextMargin) FormatTime(value, hundredths, text);
    Add(static_cast<float>(w), text);
  }
}

void AxisLabels::BuildFrequency(int lowHz, int highHz, int lowRow, int highRow, int rate) {
  mCount = 0;
  FormatHz(lowHz, mLow);
  FormatHz(highHz, mHigh);
  if (highRow <= lowRow) return;

  char text[kTextCapacity];
  const auto position = [&](int hz) {
    return (DisplayRows::HzToRow(hz, rate) - lowRow + 0.5) / (highRow - lowRow);
  };
  const auto inside = [](double w) { return w > kFrequencyMargin && w < 1.0 - kFrequencyMargin; };

  for (int hz : kMajorHz) {
    if (hz <= lowHz || hz >= highHz) continue;
    const double w = position(hz);
    if (!inside(w)) continue;
    FormatHz(hz, text);
    Add(static_cast<float>(w), text);
  }
  for (int hz : kMinorHz) {
    if (hz <= lowHz || hz >= highHz) continue;
    const double w = position(hz);
    if (!inside(w)) continue;
    bool clear = true;
    for (int i = 0; i < mCount && clear; ++i)
      clear = std::fabs(w - mEntries[static_cast<std::size_t>(i)].position) > kFrequencyMargin;
    if (!clear) continue;
    FormatHz(hz, text);
    Add(static_cast<float>(w), text);
  }
}

void AxisLabels::DrawFrequency(IEditorGraphics& graphics, const IRect& pane, ITextStyle style,
                               const KeepOut& keepOut) const {
  const int left = pane.R + kFrequencyStripLeft;
  const int right = pane.R + kFrequencyStripRight;
  const auto label = [&](const char* text, const IRect& box) {
    if (!keepOut.Meets(box)) graphics.DrawText(style, text, box);
  };
  style.align = ITextStyle::kRight;
  label(mHigh, IRect(left, pane.T, right, pane.T + kStripHeight));
  label(mLow, IRect(left, pane.B - kStripHeight, right, pane.B));
  for (int i = 0; i < mCount; ++i) {
    const Entry& entry = At(i);
    graphics.DrawHorizontalLineAt(kGrid, pane, entry.position);
    if (entry.text[0] == '\0') continue;
    const int y = pane.B - static_cast<int>(entry.position * static_cast<float>(pane.H()));
    label(entry.text, IRect(left, y - kHalfTextHeight, right, y + kHalfTextHeight));
  }
}

void AxisLabels::DrawTime(IEditorGraphics& graphics, const IRect& pane, int stripTop,
                          ITextStyle style, const KeepOut& keepOut) const {
  const int bottom = stripTop + kStripHeight;
  const auto label = [&](const char* text, const IRect& box) {
    if (!keepOut.Meets(box)) graphics.DrawText(style, text, box);
  };
  style.align = ITextStyle::kLeft;
  label(mLow, IRect(pane.L, stripTop, pane.L + kTextWidth, bottom));
  style.align = ITextStyle::kRight;
  label(mHigh, IRect(pane.R - kTextWidth, stripTop, pane.R, bottom));
  style.align = ITextStyle::kCenter;
  for (int i = 0; i < mCount; ++i) {
    const Entry& entry = At(i);
    graphics.DrawVerticalLineAt(kGrid, pane, entry.position);
    if (entry.text[0] == '\0') continue;
    const int x = pane.L + static_cast<int>(entry.position * static_cast<float>(pane.W()));
    label(entry.text, IRect(x - kTextWidth / 2, stripTop, x + kTextWidth / 2, bottom));
  }
}

}  // namespace sorvano
