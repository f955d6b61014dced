#pragma once

// The labels of one axis of a sonogram pane: grid positions (0 to 1 along the
// axis) with texts, and the texts of the two ends.
//
// Time axis (a pane's view range in samples at a sample rate): span in
// seconds; step = 10^trunc(log10(span)), a tenth of that when the span is
// shorter than one step, halved when fewer than four steps fit. Ticks from
// the first multiple of step after the start, kept strictly inside the edge
// margin (0.06 .. 0.94) and given a text only strictly inside 0.1 .. 0.9.
// Texts "%d:%02d.%02d" (minutes, seconds, hundredths) below 10 s of span,
// else "%d:%02d", after rounding to hundredths.
//
// Frequency axis of the main pane (low and high Hz and rows at a rate): the
// major frequencies 100 .. 20000 Hz inside the range and strictly inside
// 0.04 .. 0.96, then the minor ones that also keep more than 0.04 from every
// label kept; texts "%.0f".
//
// Storage is fixed (no allocation, nothing throws). Editor thread, view lock
// held.

#include <array>
#include <cstdint>

#include "graphics/GraphicsTypes.h"

namespace sorvano {

class IEditorGraphics;

class AxisLabels {
public:
  static constexpr int kTextCapacity = 32;  // up to 31 characters
  static constexpr int kMaxEntries = 48;
  static constexpr double kEdgeMargin = 0.06;

  struct Entry {
    float position = 0.0f;
    char text[kTextCapacity] = {};
  };

  // Empty ranges (end <= start, a rate that is not positive, high row <=
  // low row) give no ticks and end texts of the values as they are.
  void BuildTime(int32_t start, int32_t end, int rate);
  void BuildFrequency(int lowHz, int highHz, int lowRow, int highRow, int rate);

  int Count() const { return mCount; }
  const Entry& At(int i) const { return mEntries[static_cast<std::size_t>(i)]; }
  const char* LowText() const { return mLow; }
  const char* HighText() const { return mHigh; }

  // Room that other texts take in a label strip (the selected region's
  // markers): a label whose box meets one of these boxes is left out, its
  // grid line still drawn, so that no two texts run into each other. Empty
  // boxes meet nothing.
  struct KeepOut {
    IRect first;
    IRect second;
    bool Meets(const IRect& box) const { return box.Intersects(first) || box.Intersects(second); }
  };

  // Drawing, all texts in style's colour (alignment set per text).
  // Frequency labels right of pane: grid lines across it, texts right-aligned
  // in the strip from pane right + 2 to pane right + 38.
  void DrawFrequency(IEditorGraphics& graphics, const IRect& pane, ITextStyle style,
                     const KeepOut& keepOut = {}) const;
  // Time labels in a 10-pixel strip whose top is stripTop: grid lines across
  // the pane, end texts in the first and last 36 pixels, tick texts centred
  // in 36 pixels.
  void DrawTime(IEditorGraphics& graphics, const IRect& pane, int stripTop, ITextStyle style,
                const KeepOut& keepOut = {}) const;

  // "%d:%02d.%02d" or "%d:%02d" of seconds rounded to hundredths.
  static void FormatTime(double seconds, bool hundredths, char (&text)[kTextCapacity]);

private:
  void Add(float position, const char* text);

  std::array<Entry, kMaxEntries> mEntries{};
  int mCount = 0;
  char mLow[kTextCapacity] = {};
  char mHigh[kTextCapacity] = {};
};

}  // namespace sorvano
