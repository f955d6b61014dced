// The texts beside and inside the selected region stay legible: the green
// marker labels keep the axis labels out of their boxes and stand apart from
// each other, the fade text stays inside its black box, clear of the corner
// handle, and the text box moves off the widget columns that would cover it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/AxisLabels.h"
#include "editor/RegionPainter.h"
#include "editor/SelectionLayout.h"
#include "editor/SorvanoControl.h"
#include "graphics/DrawSurface.h"
#include "graphics/IEditorControl.h"
#include "graphics/Surface.h"
#include "graphics/offscreen/OffscreenGraphics.h"
#include "tests/editor/ViewTestSupport.h"
#include "tools/render/GestureScript.h"
#include "tools/render/SonogramRender.h"
#include "tools/vsthost/AudioData.h"

namespace sorvano::test {
namespace {

constexpr IRect kPane = SorvanoControl::kMainRect;

bool Inked(std::uint32_t pixel) {
  return ((pixel >> 16) & 0xFF) > 96 || ((pixel >> 8) & 0xFF) > 96 || (pixel & 0xFF) > 96;
}

int InkIn(const PixelSurface& s, const IRect& r) {
  int n = 0;
  for (int y = r.T; y < r.B; ++y) {
    for (int x = r.L; x < r.R; ++x) n += Inked(SurfaceGetPixel(&s, x, y));
  }
  return n;
}

// Draws the time and frequency labels of the main pane at the start, black
// behind, with the given keep-out boxes.
class LabelsControl : public IEditorControl {
public:
  LabelsControl(AxisLabels::KeepOut time, AxisLabels::KeepOut frequency)
      : IEditorControl(nullptr, IRect(0, 0, 640, 540), -1), mTime(time), mFrequency(frequency) {
    mTimeLabels.BuildTime(0, SorvanoControl::kMainSpan, 44100);
    mFrequencyLabels.BuildFrequency(0, 22000, 0, 1023, 44100);
  }
  bool Draw(IEditorGraphics& g) override {
    g.FillRect(IColor(255, 0, 0, 0), GetRect(), nullptr);
    ITextStyle style(IColor(255, 255, 255, 255));
    style.size = 13;
    mTimeLabels.DrawTime(g, kPane, kPane.T - 12, style, mTime);
    mFrequencyLabels.DrawFrequency(g, kPane, style, mFrequency);
    return true;
  }

private:
  AxisLabels mTimeLabels, mFrequencyLabels;
  AxisLabels::KeepOut mTime, mFrequency;
};

int LabelInk(const AxisLabels::KeepOut& time, const AxisLabels::KeepOut& frequency,
             const IRect& where) {
  OffscreenGraphics graphics(640, 540);
  graphics.AttachControl(new LabelsControl(time, frequency));
  graphics.Draw(IRect(0, 0, 640, 540));
  return InkIn(*graphics.GetDrawSurface(), where);
}

// Pixels of the grid lines' grey (64, 64, 64) in where.
int GridIn(const AxisLabels::KeepOut& time, const AxisLabels::KeepOut& frequency,
           const IRect& where) {
  OffscreenGraphics graphics(640, 540);
  graphics.AttachControl(new LabelsControl(time, frequency));
  graphics.Draw(IRect(0, 0, 640, 540));
  int n = 0;
  for (int y = where.T; y < where.B; ++y) {
    for (int x = where.L; x < where.R; ++x)
      n += (SurfaceGetPixel(graphics.GetDrawSurface(), x, y) & 0xFFFFFF) == 0x404040;
  }
  return n;
}

TEST(MarkerLabels, AxisLabelsUnderAMarkersBoxAreLeftOutAndTheOthersStay) {
  // A selection from 2.02 s to 3.34 s, 1498 Hz down to 445 Hz: its marker
  // boxes meet the "0:02.00", "0:03.00", "1500" and "500" labels.
  const IRect marked(250, 236, 395, 313);
  const RegionPainter::MarkerLabels m = RegionPainter::MarkerLabelsFor(marked, kPane);
  EXPECT_EQ(m.start, IRect(222, 28, 278, 38));
  EXPECT_EQ(m.end, IRect(367, 28, 423, 38));
  EXPECT_EQ(m.high, IRect(578, 231, 616, 241));
  EXPECT_EQ(m.low, IRect(578, 308, 616, 318));

  const AxisLabels::KeepOut time{m.start, m.end};
  const AxisLabels::KeepOut frequency{m.high, m.low};
  // The strip above the pane under the start marker: the grey label is
  // there without keep-out and gone with it; the "0:01.00" label stays.
  const IRect startStrip(m.start.L, 26, m.start.R, kPane.T - 1);
  EXPECT_GT(LabelInk({}, {}, startStrip), 0);
  EXPECT_EQ(LabelInk(time, frequency, startStrip), 0);
  const IRect oneSecond(kPane.L + 100, 26, kPane.L + 120, kPane.T - 1);
  EXPECT_GT(LabelInk(time, frequency, oneSecond), 0);
  // Right of the pane: nothing under the high marker's box, the grid lines
  // across the pane still drawn.
  EXPECT_GT(LabelInk({}, {}, m.high), 0);
  EXPECT_EQ(LabelInk(time, frequency, m.high), 0);
  EXPECT_GT(GridIn(time, frequency, IRect(kPane.L + 1, m.high.T, kPane.R - 1, m.high.B)), 0);
}

TEST(MarkerLabels, TheLabelsOfANarrowOrLowRegionStandApartAndNearThePane) {
  // 20 pixels wide at the pane's left side: the start label held 6 pixels
  // left of the pane at most, the end label 50 pixels further on.
  const RegionPainter::MarkerLabels left =
      RegionPainter::MarkerLabelsFor(IRect(32, 61, 52, 83), kPane);
  EXPECT_EQ(left.start, IRect(kPane.L - 6, 28, kPane.L + 50, 38));
  EXPECT_EQ(left.end.L - left.start.L, 50);
  EXPECT_TRUE(left.timesSpread);
  // At the right side the end label stops 6 pixels right of the pane, clear
  // of the "Hz" caption, and pushes the start label left.
  const RegionPainter::MarkerLabels right =
      RegionPainter::MarkerLabelsFor(IRect(545, 201, 576, 204), kPane);
  EXPECT_EQ(right.end.R, kPane.R + 6);
  EXPECT_EQ(right.end.L - right.start.L, 50);
  // 3 pixels high: the high frequency's box above the low one's.
  EXPECT_LE(right.high.B, right.low.T);
  EXPECT_LE(right.high.T, 201);
  EXPECT_GE(right.low.B, 204);
  // Wide and tall regions keep their labels centred on the edges.
  const RegionPainter::MarkerLabels wide =
      RegionPainter::MarkerLabelsFor(IRect(250, 236, 395, 313), kPane);
  EXPECT_EQ(wide.start.L + 28, 250);
  EXPECT_EQ(wide.end.L + 28, 395);
  EXPECT_FALSE(wide.timesSpread);
}

TEST(SelectionLayout, TheSelectedRegionsTextsMoveOffTheWidgetColumnsThatWouldCoverThem) {
  // A new 12 x 12 region: its text box below it stands between the lifted
  // columns, which cover it; it moves 3 pixels below them.
  const SelectionLayout fresh = SelectionLayout::For(IRect(300, 200, 312, 212), kPane);
  EXPECT_EQ(fresh.mTextBox, IRect(284, 217, 328, 229));
  for (const IRect& box : {fresh.mSelectedTextBox, fresh.mSelectedFadeTextBox}) {
    EXPECT_FALSE(box.Intersects(fresh.mLeftEar));
    EXPECT_FALSE(box.Intersects(fresh.mRightEar));
  }
  EXPECT_EQ(fresh.mSelectedTextBox, IRect(284, 256, 328, 268));
  // Near the pane's bottom it goes above the columns instead.
  const SelectionLayout bottom = SelectionLayout::For(IRect(300, 320, 312, 332), kPane);
  EXPECT_EQ(bottom.mSelectedTextBox.B, bottom.mLeftEar.T - 3);
  // A box the columns leave free stays where it is.
  const SelectionLayout tall = SelectionLayout::For(IRect(200, 100, 300, 250), kPane);
  EXPECT_EQ(tall.mSelectedTextBox, tall.mTextBox);
  EXPECT_EQ(tall.mSelectedFadeTextBox, tall.mFadeTextBox);
}

TEST(SelectionLayout, TheFadeTextBoxIsWideEnoughAndMovesBelowNarrowRegions) {
  const SelectionLayout wide = SelectionLayout::For(IRect(200, 100, 300, 250), kPane);
  EXPECT_EQ(wide.mFadeTextBox, IRect(239, 235, 295, 247));
  EXPECT_EQ(wide.mFadeTextBox.R, wide.mTextBox.R);
  // 60 pixels wide: the gain box fits inside, the fade box goes below.
  const SelectionLayout middle = SelectionLayout::For(IRect(200, 100, 260, 250), kPane);
  EXPECT_EQ(middle.mTextBox, IRect(212, 235, 255, 247));
  EXPECT_EQ(middle.mFadeTextBox, IRect(202, 255, 258, 267));
  // At the pane's left side it stays as far in as the narrow gain box.
  const SelectionLayout low = SelectionLayout::For(IRect(30, 100, 42, 112), kPane);
  EXPECT_EQ(low.mFadeTextBox, IRect(28, 117, 84, 129));
}

// A region drawn over silence and selected, its fade shown with the pointer
// on the panel's all-fade knob, and then its fade raised to 1.0.
TEST(SelectionLayout, TheFadeTextStaysInsideItsBoxClearOfTheCornerHandle) {
  MissingImageTolerance tolerance;
  AudioData silence;
  silence.sampleRate = 44100;
  silence.channels = {std::vector<double>(44100, 0.0)};
  SonogramRender render(44100.0, 512);
  std::vector<Gesture> gestures;
  std::string error;
  ASSERT_TRUE(ParseGestures(
      "play 0.2\npress 200 100\ndrag 300 200\nrelease 300 200\nmove 202 501\n", gestures, error))
      << error;
  ASSERT_TRUE(RunGestures(gestures, render, silence, error)) << error;
  const IRect r = render.View().InspectRegions().marked;
  const SelectionLayout s = SelectionLayout::For(r, kPane);
  const PixelSurface& picture = *render.Surface();
  // "fade 0.1x": ink inside the box, none in the rows of the box between the
  // region's left outline and the box, nor between the box and the handle.
  EXPECT_GT(InkIn(picture, s.mFadeTextBox), 0);
  EXPECT_EQ(InkIn(picture, IRect(r.L + 2, s.mFadeTextBox.T, s.mFadeTextBox.L, s.mFadeTextBox.B)),
            0);
  EXPECT_EQ(InkIn(picture, IRect(s.mFadeTextBox.R - 1, s.mFadeTextBox.T, r.R - 5, r.B - 5)), 0);
}

}  // namespace
}  // namespace sorvano::test
