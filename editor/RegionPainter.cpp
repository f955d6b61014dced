#include "editor/RegionPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "editor/DisplayRows.h"
#include "editor/EditorColors.h"
#include "editor/KnobPainter.h"
#include "editor/SelectionLayout.h"
#include "editor/SonogramPane.h"
#include "editor/ViewMarks.h"
#include "graphics/IEditorGraphics.h"

namespace sorvano {

namespace {

using namespace editor_colors;

constexpr IColor kSelectedBlock(255, 196, 196, 196);
constexpr IColor kDarkRed(255, 192, 0, 0);
constexpr IColor kLightGrey(255, 192, 192, 192);
constexpr IColor kMarkerGreen(255, 0, 192, 0);
constexpr int kTextSize = 13;
constexpr int kTimeLabelWidth = 56;
constexpr int kFrequencyLabelWidth = 38;
constexpr int kStripHeight = 10;
constexpr int kTimeStripOffset = 12;
// Centres of two time labels at least this far apart keep their texts apart.
constexpr int kTimeLabelApart = 50;
constexpr int kStripSideRoom = 6;

ITextStyle Style(const IColor& color, int align) {
  ITextStyle style(color);
  style.size = kTextSize;
  style.align = align;
  return style;
}

// A white outline whose corner pixels are left out, so it looks rounded.
void RoundedOutline(IEditorGraphics& g, const IRect& r, const IColor& color) {
  if (r.W() < 2 || r.H() < 2) {
    g.DrawRect(color, r);
    return;
  }
  g.DrawHorizontalLine(color, r.T, r.L + 1, r.R - 1);
  g.DrawHorizontalLine(color, r.B, r.L + 1, r.R - 1);
  g.DrawVerticalLine(color, r.L, r.T + 1, r.B - 1);
  g.DrawVerticalLine(color, r.R, r.T + 1, r.B - 1);
}

// "%d:%02d.%02d" of a song position, rounded to hundredths.
void TimeText(char (&text)[32], int32_t position, int rate) {
  const double seconds = std::max(0.0, static_cast<double>(position) / std::max(rate, 1));
  const long long hundredths = std::llround(seconds * 100.0);
  std::snprintf(text, sizeof text, "%lld:%02lld.%02lld", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
}

IColor ButtonColor(bool on, bool hovered) {
  if (on) return hovered ? kRed : kDarkRed;
  return hovered ? kWhite : kLightGrey;
}

IColor KnobColor(bool dragged, bool hovered) { return dragged ? kRed : hovered ? kWhite : kLightGrey; }

ViewMarks::HandleLook HandleLookOf(const RegionPainter::Look& look, DragMode handleDrag, HoverCode handleHover) {
  if (look.drag == handleDrag || look.drag == DragMode::kMoveSelection) return ViewMarks::HandleLook::kDragged;
  if (look.hover == handleHover) return ViewMarks::HandleLook::kHovered;
  return ViewMarks::HandleLook::kNormal;
}

// The text box of a region, and its text, inside or below its rectangle.
void RegionText(IEditorGraphics& g, const IRect& box, const char* text, const IColor& color, bool boxed) {
  if (boxed) g.FillRect(kBlack, box, nullptr);
  g.DrawText(Style(color, ITextStyle::kCenter), text, box);
}

void DrawSelected(IEditorGraphics& g, const EditorMod& mod, const IRect& r, const SonogramPane& main,
                  const RegionPainter::Look& look, const IImage& leftEar, const IImage& rightEar,
                  ViewHitRects& hit) {
  const IRect& pane = main.Rect();
  const SelectionLayout s = SelectionLayout::For(r, pane);
  const bool fadeActive = look.hover == HoverCode::kFadeKnob || look.drag == DragMode::kFadeKnob;

  g.DrawRect(kWhite, r);
  g.DrawRect(kWhite, IRect(r.L + 1, r.T + 1, r.R - 1, r.B - 1));

  const bool showFade = look.showFades || fadeActive;
  if (showFade) {
    const IRect extent = RegionPainter::FadeExtent(mod, main, look.sampleRate);
    if (!extent.Empty()) g.DrawRect(kWhite, extent);
  }
  const bool textDragged = showFade ? look.drag == DragMode::kFadeKnob : look.drag == DragMode::kGainKnob;
  RegionText(g, showFade ? s.mSelectedFadeTextBox : s.mSelectedTextBox,
             showFade ? mod.mFadeText : mod.mGainText,
             textDragged ? kRed : kWhite, true);

  if (leftEar.surface) g.DrawImage(leftEar, s.mLeftEar, 0, 0, nullptr);
  if (rightEar.surface) g.DrawImage(rightEar, s.mRightEar, 0, 0, nullptr);
  const struct {
    const IRect& rect;
    const char* text;
    bool on;
    DragMode mode;
  } buttons[] = {{s.mMute, "M", mod.mMute, DragMode::kMuteButton},
                 {s.mSolo, "S", mod.mSolo, DragMode::kSoloButton},
                 {s.mBypass, "B", mod.mBypass, DragMode::kBypassButton},
                 {s.mDelete, "X", false, DragMode::kDeleteButton}};
  for (const auto& b : buttons) {
    const bool on = b.on || look.drag == b.mode;
    const bool hovered = static_cast<int>(look.hover) == static_cast<int>(b.mode);
    g.DrawText(Style(ButtonColor(on, hovered), ITextStyle::kCenter), b.text, b.rect);
  }
  KnobPainter::Draw(g, static_cast<float>(s.mGainX), static_cast<float>(s.mGainY),
                    KnobPainter::GainValue(mod.GainDb()),
                    KnobColor(look.drag == DragMode::kGainKnob, look.hover == HoverCode::kGainKnob));
  KnobPainter::Draw(g, static_cast<float>(s.mFadeX), static_cast<float>(s.mFadeY),
                    KnobPainter::FadeValue(mod.mFade),
                    KnobColor(look.drag == DragMode::kFadeKnob, look.hover == HoverCode::kFadeKnob));

  // Green markers of its times above the pane and its frequencies right of it.
  const RegionPainter::MarkerLabels labels = RegionPainter::MarkerLabelsFor(r, pane);
  const ITextStyle green = Style(kMarkerGreen, ITextStyle::kCenter);
  char text[32];
  for (const auto& [x, position, box] : {std::tuple{r.L, mod.mRegion.mStart, labels.start},
                                         std::tuple{r.R, mod.mRegion.mEnd, labels.end}}) {
    if (!labels.timesSpread) g.DrawVerticalLine(kMarkerGreen, x, box.B, pane.T);
    TimeText(text, position, look.sampleRate);
    g.DrawText(green, text, box);
  }
  for (const auto& [y, hz, box] : {std::tuple{r.B, mod.mRegion.mLowHz, labels.low},
                                   std::tuple{r.T, mod.mRegion.mHighHz, labels.high}}) {
    g.DrawHorizontalLine(kMarkerGreen, y, pane.R, box.L);
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(hz));
    g.DrawText(Style(kMarkerGreen, ITextStyle::kRight), text, box);
  }

  ViewMarks::DrawHandle(g, r.L - 2, r.T - 2,
                        HandleLookOf(look, DragMode::kSelectionTopLeft, HoverCode::kSelectionTopLeft));
  ViewMarks::DrawHandle(g, r.R - 5, r.B - 5,
                        HandleLookOf(look, DragMode::kSelectionBottomRight, HoverCode::kSelectionBottomRight));

  hit.selectionTopLeft = s.mTopLeftHandleHit;
  hit.selectionBottomRight = s.mBottomRightHandleHit;
  hit.regionButtons = s.mButtons;
  hit.gainKnob = s.mGainHit;
  hit.fadeKnob = s.mFadeHit;
}

}  // namespace

RegionPainter::MarkerLabels RegionPainter::MarkerLabelsFor(const IRect& marked, const IRect& pane) {
  const int stripTop = pane.T - kTimeStripOffset;
  // Time labels stay within 6 pixels of the pane's sides: over the black
  // area on the left, clear of the "Hz" caption on the right.
  const int stripLeft = pane.L - kStripSideRoom;
  const int stripRight = pane.R + kStripSideRoom;
  const auto time = [&](int centre) {
    const int left =
        std::clamp(centre - kTimeLabelWidth / 2, stripLeft, stripRight - kTimeLabelWidth);
    return IRect(left, stripTop, left + kTimeLabelWidth, stripTop + kStripHeight);
  };
  const auto frequency = [&pane](int y) {
    return IRect(pane.R + 2, y - kStripHeight / 2, pane.R + 2 + kFrequencyLabelWidth,
                 y + kStripHeight / 2);
  };
  MarkerLabels m{time(marked.L), time(marked.R), frequency(marked.T), frequency(marked.B)};
  // The times of a narrow region would run into each other: each moves
  // away from the middle until the texts (up to 44 pixels) stand apart.
  if (m.end.L - m.start.L < kTimeLabelApart) {
    const int middle = (marked.L + marked.R) / 2;
    m.start = time(middle - kTimeLabelApart / 2);
    m.end = time(m.start.L + kTimeLabelWidth / 2 + kTimeLabelApart);
    // Held back at the right end, the end label pushes the start one left.
    m.start = time(m.end.L + kTimeLabelWidth / 2 - kTimeLabelApart);
    m.timesSpread = true;
  }
  // Likewise the frequencies of a low region: the high one above the low one.
  if (m.low.T < m.high.B) {
    const int middle = (marked.T + marked.B) / 2;
    m.high = frequency(middle - kStripHeight / 2);
    m.low = frequency(middle + kStripHeight / 2 + 1);
  }
  return m;
}

bool RegionPainter::ShowsSelection(const RegionList& regions, const SonogramPane& main) {
  return regions.SelectedMod() != nullptr && !main.MarkedRect().Empty();
}

IRect RegionPainter::FadeExtent(const EditorMod& mod, const SonogramPane& main, int sampleRate) {
  const IRect& r = mod.mMainRect;
  if (r.Empty()) return IRect();
  const double fade = std::clamp(std::isfinite(mod.mFade) ? mod.mFade : 0.0, 0.0, 1.0);
  const int widen = static_cast<int>(fade * r.W());
  const int64_t low = mod.mRegion.mLowHz;
  const int64_t high = mod.mRegion.mHighHz;
  const int64_t m = static_cast<int64_t>(fade * static_cast<double>(high - low));
  const int lowHz = static_cast<int>(std::clamp<int64_t>(low - m, 0, sampleRate / 2));
  const int highHz = static_cast<int>(std::clamp<int64_t>(high + m, 0, sampleRate / 2));
  const PaneMapping& pane = main.Mapping();
  const ModRegion rows{pane.mViewStart, pane.mViewEnd, lowHz, highHz, DisplayRows::HzToRow(lowHz, sampleRate),
                       DisplayRows::HzToRow(highHz, sampleRate)};
  const IRect vertical = pane.MarkedRect(rows);
  if (vertical.Empty()) return IRect();
  return IRect(r.L - widen, vertical.T, r.R + widen, vertical.B).Intersect(pane.mRect);
}


ViewHitRects RegionPainter::Draw(IEditorGraphics& g, RegionList& regions, const SonogramPane& main,
                                 const SonogramPane& overview, const Look& look, const IImage& leftEar,
                                 const IImage& rightEar, ViewHitRects hit) {
  hit.selectionTopLeft = hit.selectionBottomRight = hit.regionButtons = hit.gainKnob = hit.fadeKnob = IRect();
  const int selected = regions.Selected();
  for (int i = 0; i < regions.Count(); ++i) {
    const ModRegion& region = regions.Find(i)->mRegion;
    regions.SetRects(i, main.Mapping().MarkedRect(region), overview.Mapping().MarkedRect(region));
    const EditorMod& mod = *regions.Find(i);
    if (i != selected && !mod.mMainRect.Empty()) {
      const SelectionLayout s = SelectionLayout::For(mod.mMainRect, main.Rect());
      if (look.showFades) {
        const IRect extent = FadeExtent(mod, main, look.sampleRate);
        if (!extent.Empty()) g.DrawRect(kGrey, extent);
      }
      const bool fades = look.showFades;
      RegionText(g, fades ? s.mFadeTextBox : s.mTextBox, fades ? mod.mFadeText : mod.mGainText, kWhite,
                 false);
      RoundedOutline(g, mod.mMainRect, kWhite);
    }
    if (!mod.mOverviewRect.Empty()) {
      g.FillRect(i == selected ? kSelectedBlock : kWhite, mod.mOverviewRect, nullptr);
    }
  }
  if (ShowsSelection(regions, main)) {
    DrawSelected(g, *regions.SelectedMod(), main.MarkedRect(), main, look, leftEar, rightEar, hit);
  }
  return hit;
}

}  // namespace sorvano
