#pragma once

// One pane of the sonogram: a window onto time (view start .. view end, in
// samples) and frequency (low .. high Hz, as display rows), with its images:
//   - the magnitude image, width x height 16-bit display values, column after
//     column, row 0 of each column at the bottom (lowest frequency);
//   - the pixel image, width x height 0xAARRGGBB pixels, line after line from
//     the top, always the colours of the magnitude image under the pane's
//     colour map and brightness (never a stale colour);
// and the marked region with its screen rectangle (in the main pane the
// region being edited, in the overview the main pane's window).
//
// Painting a column at position a (a multiple of 1024) writes magnitude
// column x = trunc((a - view start - 1024) * pixels per sample) with the rows
// low row .. high row - 1 of the column resampled to the pane's height
// (averaging when zoomed out, repeating when zoomed in), fills the columns
// between the previous hop's column xp = trunc((a - view start - 2048) *
// pixels per sample) and x by linear interpolation, and colours them. When
// several hops share one column, the last one wins, and it is the one
// coloured. Clearing a column does the same with zeros (black).
//
// Setting the time range re-renders the pane from the history with exactly
// the picture that painting every hop of the range in order would give, but
// at a cost that grows with the pane's width, not with the span: for each
// pixel column only the hops that finally decide it are resampled. Columns
// past the last hop's column (and from trunc((end - start - 1024) * pixels
// per sample) on) are black.
//
// Ranges are kept valid: a time range is rounded to multiples of 1024 and
// refused when it is empty afterwards; a frequency range whose high row is
// not above its low row is refused; positions are handled in 64 bits, so the
// ends of the int32 timeline never overflow. When the images could not be
// allocated the pane draws black and paints nothing.
//
// Editor thread, view lock held.

#include <cstdint>
#include <memory>

#include "editor/AxisLabels.h"
#include "editor/ColorMap.h"
#include "editor/ModRegion.h"
#include "editor/PaneMapping.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

class ColumnHistory;

class SonogramPane {
public:
  static constexpr int kColumn = 1024;
  static constexpr int kStartHighHz = 22000;

  // A pane over rect showing [start, end) and 0 .. 22000 Hz at rate; images
  // black. The caller renders it with SetTimeRange.
  SonogramPane(const IRect& rect, int32_t start, int32_t end, int rate);
  SonogramPane(const SonogramPane&) = delete;
  SonogramPane& operator=(const SonogramPane&) = delete;

  // ---- Mapping and ranges.

  const PaneMapping& Mapping() const { return mMapping; }
  const IRect& Rect() const { return mMapping.mRect; }
  int32_t ViewStart() const { return mMapping.mViewStart; }
  int32_t ViewEnd() const { return mMapping.mViewEnd; }
  int32_t Span() const { return mMapping.mViewEnd - mMapping.mViewStart; }

  // Shows [start, end) (rounded to multiples of 1024), rebuilds the time
  // labels, re-renders from history and recomputes the marked rectangle.
  // Answers false, changing nothing, when the rounded range is empty.
  bool SetTimeRange(int32_t start, int32_t end, const ColumnHistory& history);
  // Takes the region's frequencies and rows, then its time range as above.
  // Answers false, changing nothing, when its rows or times are empty.
  bool SetTimeAndFrequencyRange(const ModRegion& region, const ColumnHistory& history);
  // A new sample rate: rows from the frequencies, pixels per row, time labels
  // and the rows of the marked region. The images are not re-rendered.
  void SetSampleRate(int rate);

  // ---- Marked region.

  const ModRegion& MarkedRegion() const { return mMarkedRegion; }
  const IRect& MarkedRect() const { return mMarkedRect; }
  // Stores region and recomputes its rectangle.
  void SetMarkedRegion(const ModRegion& region);
  // Stores region and the rectangle it was made from (a converted drag).
  void SetMarked(const ModRegion& region, const IRect& rect);
  void ClearMarkedRect() { mMarkedRect = IRect(); }

  // ---- Pixels.

  // Paints the display column at position a (kColumn rows; null clears it).
  void PaintColumn(int32_t a, const std::uint16_t* column);
  // A new map or brightness multiplier recolours the whole pane.
  void SetColoring(int map, int multiplier);
  // Zeroes both images (black).
  void ClearImages();
  // Copies the pixel image into a surface of the given size whose lines are
  // rowSpan pixels apart, at the pane's rectangle, clipped to the surface.
  // Without images the rectangle is filled black.
  void CopyInto(std::uint32_t* bits, int rowSpan, int surfaceWidth, int surfaceHeight) const;

  const AxisLabels& TimeLabels() const { return mTimeLabels; }

  // Inspection for tests and benchmarks; null without images.
  const std::uint16_t* Magnitudes() const { return mMagnitudes.get(); }
  const std::uint32_t* Pixels() const { return mPixels.get(); }
  int Width() const { return mMapping.mWidth; }
  int Height() const { return mMapping.mHeight; }

  // Resamples source rows [lo, hi) of column into h output rows: a running
  // source index j; for output row k, e = trunc((hi - lo) / h * (k + 1));
  // the integer mean of rows lo + j .. lo + e - 1 when e > j + 1, else row
  // lo + j; then j := e.
  static void ResampleRows(const std::uint16_t* column, int lo, int hi, int h, std::uint16_t* out);

private:
  std::uint16_t* MagnitudeColumn(int x) {
    return mMagnitudes.get() + static_cast<std::size_t>(x) * static_cast<std::size_t>(Height());
  }
  void ComputeRows();
  void Render(const ColumnHistory& history);
  void ColorColumns(int x0, int x1);
  int ColumnOf(int64_t offset) const;

  PaneMapping mMapping;
  ColorMap mColors;
  int mMap = 0;
  int mMultiplier = 12;
  std::unique_ptr<std::uint16_t[]> mMagnitudes;
  std::unique_ptr<std::uint32_t[]> mPixels;
  ModRegion mMarkedRegion{};
  IRect mMarkedRect;
  AxisLabels mTimeLabels;
};

}  // namespace sorvano
