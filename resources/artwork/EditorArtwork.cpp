#include "resources/artwork/EditorArtwork.h"

#include <array>
#include <cstddef>
#include <iterator>

#include "resources/artwork/ArtworkCanvas.h"
#include "resources/artwork/ArtworkLayout.h"

namespace sorvano {
namespace {

using namespace artwork;

// A graphite body with darker inset boxes: the only colours are the
// sonogram's, the controls' white, grey, red and green, and the red of the
// pressed reset button.
constexpr IColor kBodyTop(255, 40, 42, 46);
constexpr IColor kBodyBottom(255, 27, 28, 31);
constexpr IColor kBodyEdge(255, 12, 13, 14);
constexpr IColor kBodyHighlight(255, 58, 61, 66);
constexpr IColor kSonogramBlack(255, 0, 0, 0);
constexpr IColor kFrameLight(255, 116, 120, 126);
constexpr IColor kFrameShadow(255, 14, 15, 16);
constexpr IColor kBoxFill(255, 16, 17, 19);
constexpr IColor kBoxEdge(255, 62, 65, 70);
constexpr IColor kCaption(255, 150, 155, 162);
constexpr IColor kResetCaption(255, 186, 92, 82);
constexpr IColor kAxisGrey(255, 127, 127, 127);
constexpr IColor kLogo(255, 208, 212, 218);
constexpr IColor kLogoDim(255, 118, 123, 130);

constexpr int kCaptionSize = 12;
constexpr int kPanelTextSize = 13;  // the cell height of the panel's and view's texts
constexpr int kLogoSize = 26;
constexpr int kMakerSize = 13;

// Pixels to eighths, and the centre of a rectangle in eighths.
constexpr int E(int pixels) {
  return pixels * 8;
}
constexpr int CentreX8(const IRect& r) {
  return (r.L + r.R) * 4;
}
constexpr int CentreY8(const IRect& r) {
  return (r.T + r.B) * 4;
}

// A caption on the baseline of the panel's value text in `area` (the panel
// draws its values with the cell's top at the area's top).
IRect CaptionOnValueLine(ArtworkCanvas& c, const IRect& area, int left, int right) {
  const int top = area.T + c.TextAscent(kPanelTextSize, ITextStyle::kNormal) -
                  c.TextAscent(kCaptionSize, ITextStyle::kNormal);
  return IRect(left, top, right, top + kCaptionSize);
}

// A caption whose small letters stand centred on the line y, beside a knob or
// a check box drawn around that line.
IRect CaptionOnMarkLine(ArtworkCanvas& c, int y, int left, int right) {
  constexpr int kHalfXHeight = 3;  // of Liberation Sans in a 12-pixel cell
  const int top = y - c.TextAscent(kCaptionSize, ITextStyle::kNormal) + kHalfXHeight;
  return IRect(left, top, right, top + kCaptionSize);
}

// The middle line of an area, rounded down.
int MiddleY(const IRect& r) {
  return (r.T + r.B) / 2;
}

void DrawBody(ArtworkCanvas& c) {
  const IRect all(0, 0, kEditorWidth, kEditorHeight);
  c.FillVerticalGradient(all, kBodyTop, kBodyBottom);
  c.Fill(IRect(1, 1, kEditorWidth - 1, 2), kBodyHighlight);
  c.Outline(all, kBodyEdge);
}

void DrawSonogramArea(ArtworkCanvas& c) {
  const IRect& a = kSonogramArea;
  c.Outline(IRect(a.L - 2, a.T - 2, a.R + 2, a.B + 2), kFrameShadow);
  c.Outline(IRect(a.L - 1, a.T - 1, a.R + 1, a.B + 1), kFrameLight);
  c.Fill(a, kSonogramBlack);
  c.Text("Hz", kHzCaption, kPanelTextSize, ITextStyle::kNormal, ITextStyle::kRight, kAxisGrey);
}

void DrawBox(ArtworkCanvas& c, const IRect& r) {
  c.FillRoundRect(r, 4, kBoxEdge);
  c.FillRoundRect(IRect(r.L + 1, r.T + 1, r.R - 1, r.B - 1), 3, kBoxFill);
}

void Caption(ArtworkCanvas& c, const char* text, const IRect& r, int align) {
  c.Text(text, r, kCaptionSize, ITextStyle::kNormal, align, kCaption);
}

void DrawSidePanel(ArtworkCanvas& c) {
  // Selection and discard switch; the reset countdown covers this box.
  DrawBox(c, IRect(26, 453, 142, 514));
  Caption(c, "active region",
          IRect(side_panel::kPrevious.L, 458, side_panel::kNext.R, 458 + kCaptionSize),
          ITextStyle::kCenter);
  Caption(c, "discard unmodified",
          CaptionOnMarkLine(c, kDiscardCheckMiddle, side_panel::kDiscardBox.R + 3, 140),
          ITextStyle::kLeft);

  // One box for the global values: the region count and the two knobs acting
  // on all regions, then (after a divider) loop, follow switch and colour map.
  DrawBox(c, IRect(146, 453, 368, 514));
  c.Fill(IRect(213, 457, 214, 510), kBoxEdge);
  Caption(c, "regions",
          CaptionOnValueLine(c, side_panel::kRegionCount, 148, side_panel::kRegionCount.L - 5),
          ITextStyle::kRight);
  Caption(
      c, "all gain",
      CaptionOnMarkLine(c, MiddleY(side_panel::kAllGainKnob), 148, side_panel::kAllGainKnob.L - 5),
      ITextStyle::kRight);
  Caption(
      c, "all fade",
      CaptionOnMarkLine(c, MiddleY(side_panel::kAllFadeKnob), 148, side_panel::kAllFadeKnob.L - 5),
      ITextStyle::kRight);
  Caption(c, "follow host cursor :",
          CaptionOnValueLine(c, side_panel::kFollowSwitch, 215, side_panel::kFollowSwitch.L - 3),
          ITextStyle::kRight);
  Caption(c, "color map :",
          CaptionOnValueLine(c, side_panel::kColorMapName, 215, side_panel::kColorMapName.L - 3),
          ITextStyle::kRight);
}

// Directions of the eleven scale ticks around the "bright" knob, from -3/4 pi
// to +3/4 pi in steps of 0.15 pi (the knob's angle range): sine and cosine
// times 64, rounded.
struct TickDirection {
  int sin64, cos64;
};
constexpr TickDirection kKnobTicks[] = {{-45, -45}, {-61, -20}, {-63, 10}, {-52, 38},
                                        {-29, 57},  {0, 64},    {29, 57},  {52, 38},
                                        {63, 10},   {61, -20},  {45, -45}};

// The "bright" knob's cap and scale; the control draws its dark pointer line
// from radius 2 to 8 over the cap. The ends and the middle of the scale get
// longer ticks.
void DrawBrightnessKnob(ArtworkCanvas& c) {
  const int cx = CentreX8(kBrightnessKnob), cy = CentreY8(kBrightnessKnob);
  constexpr int kOuter = 14;
  for (std::size_t i = 0; i < std::size(kKnobTicks); ++i) {
    const TickDirection& d = kKnobTicks[i];
    const int inner = (i == 0 || i == 5 || i == std::size(kKnobTicks) - 1) ? 11 : 12;
    // Radius in pixels times the direction in 1/64 gives eighths of a pixel.
    c.FillSegment(cx + d.sin64 * inner / 8, cy - d.cos64 * inner / 8, cx + d.sin64 * kOuter / 8,
                  cy - d.cos64 * kOuter / 8, 8, IColor(255, 96, 100, 106));
  }
  c.FillDisc(cx, cy, E(10) + 4, IColor(255, 8, 8, 9));
  c.FillDisc(cx, cy, E(9) + 4, IColor(255, 120, 124, 130));
  c.FillDisc(cx, cy, E(9), IColor(255, 176, 180, 186));
  c.FillDisc(cx, cy - 4, E(8), IColor(255, 194, 198, 204));
  Caption(c, "brightness",
          IRect(kBrightnessKnob.L - 20, kBrightnessKnob.B + 3, kBrightnessKnob.R + 20,
                kBrightnessKnob.B + 3 + kCaptionSize),
          ITextStyle::kCenter);
  // The reset caption takes a muted red: holding the button clears all work.
  c.Text("reset",
         IRect(kResetButton.L - 10, kBrightnessKnob.B + 3, kResetButton.R + 10,
               kBrightnessKnob.B + 3 + kCaptionSize),
         kCaptionSize, ITextStyle::kNormal, ITextStyle::kCenter, kResetCaption);
}

// The logo area, which is also the link to the manual: the name, the maker
// and a help mark.
void DrawLogo(ArtworkCanvas& c) {
  const IRect& a = kLinkArea;
  c.Text("Sorvano", IRect(a.L + 10, a.T + 3, a.R - 30, a.T + 3 + kLogoSize), kLogoSize,
         ITextStyle::kBold, ITextStyle::kLeft, kLogo);
  c.Text("Orvek", IRect(a.L + 11, a.T + 31, a.R - 30, a.T + 31 + kMakerSize), kMakerSize,
         ITextStyle::kNormal, ITextStyle::kLeft, kLogoDim);
  const int cx = E(a.R - 16), cy = E(a.T + 16);
  c.StrokeRing(cx, cy, E(9), 10, kLogoDim);
  c.Text("?", IRect(a.R - 26, a.T + 9, a.R - 6, a.T + 9 + 14), 14, ITextStyle::kBold,
         ITextStyle::kCenter, kLogoDim);
  c.Text("manual", IRect(a.R - 46, a.T + 31, a.R + 14, a.T + 31 + kCaptionSize), kCaptionSize,
         ITextStyle::kNormal, ITextStyle::kCenter, kLogoDim);
}

void DrawBackground(ArtworkCanvas& c) {
  DrawBody(c);
  DrawSonogramArea(c);
  DrawSidePanel(c);
  DrawBrightnessKnob(c);
  DrawLogo(c);
}

// One frame of the reset button at vertical offset y0: a dark square key,
// raised when released; pressed, it sinks by a line and its lamp lights red.
void DrawButtonFrame(ArtworkCanvas& c, int y0, bool pressed) {
  const IRect key(1, y0 + 1, kButtonSize - 1, y0 + kButtonSize - 1);
  c.FillRoundRect(IRect(0, y0, kButtonSize, y0 + kButtonSize), 5, IColor(255, 8, 8, 9));
  const int sink = pressed ? 1 : 0;
  const IRect face(key.L + 1, key.T + 1 + sink, key.R - 1, key.B - 1);
  if (pressed) {
    c.FillRoundRectGradient(face, 4, IColor(255, 38, 40, 43), IColor(255, 52, 54, 58));
  } else {
    c.FillRoundRect(IRect(key.L, key.T, key.R, key.B), 4, IColor(255, 92, 96, 102));
    c.FillRoundRectGradient(IRect(face.L, face.T + 1, face.R, face.B), 4, IColor(255, 74, 77, 82),
                            IColor(255, 50, 52, 56));
  }
  const int cx = E(kButtonSize) / 2;
  const int cy = E(y0) + E(kButtonSize) / 2 + E(sink);
  if (pressed) {
    c.FillDisc(cx, cy, E(6), IColor(70, 255, 40, 24));
    c.FillDisc(cx, cy, E(3) + 4, IColor(255, 236, 48, 30));
    c.FillDisc(cx - 4, cy - 6, E(1) + 2, IColor(200, 255, 190, 170));
  } else {
    c.FillDisc(cx, cy, E(3) + 4, IColor(255, 20, 20, 21));
    c.FillDisc(cx, cy, E(3), IColor(255, 84, 26, 22));
  }
}

void DrawButton(ArtworkCanvas& c) {
  DrawButtonFrame(c, 0, false);
  DrawButtonFrame(c, kButtonSize, true);
}

constexpr IColor kEarFill(200, 10, 11, 12);
constexpr IColor kEarEdge(220, 150, 154, 160);
constexpr IColor kEarCell(26, 255, 255, 255);
constexpr IColor kEarDivider(60, 255, 255, 255);

// Left ear: a tab of 16 columns with rounded outer corners on the left,
// its last column open so the region's outline shows through. Four cells
// for the M, S, B and X buttons.
void DrawLeftEar(ArtworkCanvas& c) {
  const IRect tab(0, 0, kEarWidth - 1, kEarHeight);
  c.FillRoundRect(IRect(tab.L, tab.T, tab.R + 6, tab.B), 5, kEarEdge);
  c.FillRoundRect(IRect(tab.L + 1, tab.T + 1, tab.R + 6, tab.B - 1), 4, kEarFill);
  c.Clear(IRect(tab.R, 0, kEarWidth, kEarHeight));
  const std::array<IRect, 4> cells = {IRect(2, 2, 15, 15), IRect(2, 17, 15, 30),
                                      IRect(2, 32, 15, 45), IRect(2, 47, 15, 59)};
  for (const IRect& cell : cells) c.FillRoundRect(cell, 2, kEarCell);
}

// Right ear: a tab of 17 columns with rounded outer corners on the right and
// wells for the gain knob (centre row 23) and the fade knob (centre row 38).
void DrawRightEar(ArtworkCanvas& c) {
  c.FillRoundRect(IRect(-6, 0, kEarWidth, kEarHeight), 5, kEarEdge);
  c.FillRoundRect(IRect(-6, 1, kEarWidth - 1, kEarHeight - 1), 4, kEarFill);
  c.Fill(IRect(1, 31, kEarWidth - 2, 32), kEarDivider);
  c.FillDisc(E(8) + 4, E(23) + 4, E(6) + 4, kEarCell);
  c.FillDisc(E(8) + 4, E(38) + 4, E(6) + 4, kEarCell);
}

constexpr ArtworkImage kImages[] = {
    {100, "bg.png", kEditorWidth, kEditorHeight, DrawBackground},
    {101, "sm_button.png", kButtonSize, 2 * kButtonSize, DrawButton},
    {102, "ear-L.png", kEarWidth, kEarHeight, DrawLeftEar},
    {103, "ear-R.png", kEarWidth, kEarHeight, DrawRightEar},
};

}  // namespace

std::span<const ArtworkImage> EditorArtwork() {
  return kImages;
}

}  // namespace sorvano
