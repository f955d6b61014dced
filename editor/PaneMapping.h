#pragma once

// How one sonogram pane maps song positions and display rows to its screen
// rectangle, and back. A plain value record: the pane keeps one and hands out
// copies, so region editing and the painters convert without touching the
// pane's images.
//
// The scales are pixels per sample = width / (view end - view start) and
// pixels per row = height / (high row - low row). A mapping whose scales are
// not positive and finite (an empty range, an empty rectangle) is not usable:
// every conversion then answers the empty rectangle or leaves the region as
// it was, so nothing ever divides by zero or indexes with NaN.
//
// Pure value type, any thread; the owner's lock covers the copy it reads.

#include <cstdint>

#include "editor/ModRegion.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

struct PaneMapping {
  // The corners a rectangle-to-region conversion takes from the rectangle.
  enum class Corner { kTopLeft, kBottomRight, kBoth };

  IRect mRect;
  int32_t mViewStart = 0;
  int32_t mViewEnd = 0;
  int mLowHz = 0;
  int mHighHz = 0;
  int mLowRow = 0;
  int mHighRow = 0;
  int mWidth = 0;
  int mHeight = 0;
  double mPixelsPerSample = 0.0;
  double mPixelsPerRow = 0.0;
  int mSampleRate = 44100;

  // Both scales positive and finite.
  bool Usable() const;

  // The screen rectangle of a region: left and right from its start and end,
  // bottom and top from its low and high row, then intersected with the
  // pane's rectangle. The empty rectangle when it does not overlap the pane
  // or the mapping is not usable.
  IRect MarkedRect(const ModRegion& region) const;

  // The region a screen rectangle stands for. The rectangle is first clipped
  // to the pane; the clipped rectangle is stored in *clipped (when not null).
  // The top-left corner gives the start (rounded to a multiple of 1024), the
  // high row and its Hz; the bottom-right corner the end, the low row and its
  // Hz; fields of corners not converted are taken from `from`. A rectangle
  // outside the pane, or a mapping that is not usable, answers `from`
  // unchanged with an empty clipped rectangle.
  ModRegion RegionFromRect(const IRect& rect, Corner corner, const ModRegion& from,
                           IRect* clipped = nullptr) const;

  // A song position rounded to the nearest multiple of 1024 (halves up),
  // limited to the multiples of 1024 in the int32 range.
  static int32_t RoundToColumn(int64_t position);
};

}  // namespace sorvano
