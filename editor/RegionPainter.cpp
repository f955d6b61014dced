#include "editor/RegionPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/DisplayRows.h"
#include "editor/KnobPainter.h"
#include "editor/SelectionLayout.h"
#include "editor/SonogramPane.h"
#include "editor/ViewMarks.h"
#include "graphics/IEditorGraphics.h"

namespace sorvano {

namespace {

constexpr IColor kWhite(255, 255, 255, 255);
constexpr IColor kBlack(255, 0, 0, 0);
constexpr IColor kGrey(255, 127, 127, 127);
constexpr IColor kSelectedBlock(255, 196, 196, 196);
constexpr IColor kRed(255, 255, 0, 0);
constexpr IColor kDarkRed(255, 192, 0, 0);
constexpr IColor kLightGrey(255, 192, 192, 192);
constexpr IColor kMarkerGreen(255, 0, 192, 0);
constexpr int kTextSize = 13;
constexpr int kTimeLabelWidth = 56;
constexpr int kFrequencyLabelWidth = 38;
constexpr int kStripHeight = 10;
constexpr int kTimeStripOffset = 12;

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
  RegionText(g, s.mTextBox, showFade ? mod.mFadeText : mod.mGainText, textDragged ? kRed : kWhite, true);

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
  const ITextStyle green = Style(kMarkerGreen, ITextStyle::kCenter);
  const int stripTop = pane.T - kTimeStripOffset;
  char text[32];
  for (const auto& [x, position] : {std::pair{r.L, mod.mRegion.mStart}, std::pair{r.R, mod.mRegion.mEnd}}) {
    g.DrawVerticalLine(kMarkerGreen, x, stripTop + kStripHeight, pane.T);
    TimeText(text, position, look.sampleRate);
    g.DrawText(green, text, IRect(x - kTimeLabelWidth / 2, stripTop, x + kTimeLabelWidth / 2, stripTop + kStripHeight));
  }
  for (const auto& [y, hz] : {std::pair{r.B, mod.mRegion.mLowHz}, std::pair{r.T, mod.mRegion.mHighHz}}) {
    g.DrawHorizontalLine(kMarkerGreen, y, pane.R, pane.R + 2);
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(hz));
    g.DrawText(Style(kMarkerGreen, ITextStyle::kRight), text,
               IRect(pane.R + 2, y - 5, pane.R + 2 + kFrequencyLabelWidth, y + 5));
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
      RegionText(g, s.mTextBox, look.showFades ? mod.mFadeText : mod.mGainText, kWhite, false);
      RoundedOutline(g, mod.mMainRect, kWhite);
    }
    if (!mod.mOverviewRect.Empty()) {
      g.FillRect(i == selected ? kSelectedBlock : kWhite, mod.mOverviewRect, nullptr);
    }
  }
  const EditorMod* mod = regions.SelectedMod();
  const IRect& marked = main.MarkedRect();
  if (mod && !marked.Empty()) DrawSelected(g, *mod, marked, main, look, leftEar, rightEar, hit);
  return hit;
}

}  // namespace sorvano
