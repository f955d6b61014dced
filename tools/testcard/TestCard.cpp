#include "tools/testcard/TestCard.h"

#include <cstdio>

#include "editor/ColorMap.h"
#include "resources/TestResources.h"

namespace sorvano {
namespace {

constexpr float kPi = 3.14159265358979f;

constexpr IColor kBackground(255, 32, 32, 40);
constexpr IColor kLabel(255, 200, 200, 200);
constexpr IColor kWhite(255, 255, 255, 255);
constexpr IColor kRed(255, 230, 60, 50);
constexpr IColor kGreen(255, 60, 220, 90);
constexpr IColor kBlue(255, 70, 120, 255);
constexpr IColor kYellow(255, 250, 220, 60);

const IBlend kOverwrite(IBlend::kOverwrite, 1.0f);

void Label(IEditorGraphics& g, const char* text, int x, int y, int align = ITextStyle::kLeft) {
  ITextStyle style(kLabel);
  style.size = 13;
  style.align = align;
  g.DrawText(style, text, IRect(x, y, x, y + 13));
}

void Heading(IEditorGraphics& g, const char* text, int x, int y) {
  ITextStyle style(kYellow);
  style.size = 13;
  style.align = ITextStyle::kLeft;
  g.DrawText(style, text, IRect(x, y, x + 200, y + 13));
}

// A light/dark checkerboard of 4-pixel squares, so that blending shows.
void Checker(IEditorGraphics& g, const IRect& r) {
  for (int y = r.T; y < r.B; y += 4) {
    for (int x = r.L; x < r.R; x += 4) {
      const bool light = ((x - r.L) / 4 + (y - r.T) / 4) % 2 == 0;
      g.FillRect(light ? IColor(255, 220, 220, 220) : IColor(255, 60, 60, 60),
                 IRect(x, y, std::min(x + 4, r.R), std::min(y + 4, r.B)), &kOverwrite);
    }
  }
}

void Fills(IEditorGraphics& g) {
  Heading(g, "Fills", 8, 22);
  // The fast paths (1, 0.75, 0.5, 0.25) and the general combiner (0.6).
  const float weights[] = {1.0f, 0.75f, 0.5f, 0.25f, 0.6f};
  const char* weightNames[] = {"1", "0.75", "0.5", "0.25", "0.6"};
  for (int i = 0; i < 5; ++i) {
    const IRect swatch(8 + i * 60, 40, 56 + i * 60, 80);
    Checker(g, swatch);
    const IBlend blend(IBlend::kDefault, weights[i]);
    g.FillRect(kRed, IRect(swatch.L + 6, swatch.T + 6, swatch.R - 6, swatch.B - 6), &blend);
    Label(g, weightNames[i], (swatch.L + swatch.R) / 2, 82, ITextStyle::kCenter);
  }
  // Alpha scaling the weight, the alpha byte written by overwrite, add and dodge.
  struct Variant {
    IColor color;
    IBlend blend;
    const char* name;
  };
  const Variant variants[] = {
      {IColor(128, 60, 220, 90), IBlend(IBlend::kDefault, 1.0f), "a128"},
      {IColor(128, 60, 220, 90), IBlend(IBlend::kOverwrite, 1.0f), "over"},
      {IColor(255, 90, 40, 140), IBlend(IBlend::kAdd, 1.0f), "add"},
      {IColor(255, 90, 40, 140), IBlend(IBlend::kAdd, 0.5f), "add .5"},
      {IColor(255, 160, 120, 40), IBlend(IBlend::kColorDodge, 1.0f), "dodge"},
  };
  for (int i = 0; i < 5; ++i) {
    const IRect swatch(8 + i * 60, 100, 56 + i * 60, 140);
    Checker(g, swatch);
    g.FillRect(variants[i].color, IRect(swatch.L + 6, swatch.T + 6, swatch.R - 6, swatch.B - 6), &variants[i].blend);
    Label(g, variants[i].name, (swatch.L + swatch.R) / 2, 142, ITextStyle::kCenter);
  }
}

void Blits(IEditorGraphics& g) {
  Heading(g, "Blits", 320, 22);
  const IImage image = g.LoadImage(kTestImageId, "test/test_image.png", kTestImageFrames);
  struct Variant {
    IBlend blend;
    const char* name;
  };
  const Variant variants[] = {
      {IBlend(IBlend::kDefault, 1.0f), "def"},  {IBlend(IBlend::kOverwrite, 1.0f), "over"},
      {IBlend(IBlend::kAdd, 1.0f), "add"},      {IBlend(IBlend::kColorDodge, 1.0f), "dodge"},
      {IBlend(IBlend::kDefault, 0.5f), "def .5"}, {IBlend(IBlend::kOverwrite, 0.5f), "over .5"},
  };
  for (int i = 0; i < 6; ++i) {
    const int x = 320 + i * 50;
    Checker(g, IRect(x, 40, x + 40, 80));
    // The whole image (both frames) and, beside it, the second frame alone.
    g.DrawImage(image, IRect(x + 4, 44, x + 4 + image.W, 44 + image.H), 0, 0, &variants[i].blend);
    g.DrawImageFrame(image, IRect(x + 22, 44, x + 22 + image.W, 44 + image.H / image.N), 2, &variants[i].blend);
    Label(g, variants[i].name, x + 20, 82, ITextStyle::kCenter);
  }
  // Cut by a destination rectangle smaller than the image (with a source
  // offset), and by the card's right edge.
  Checker(g, IRect(520, 100, 640, 140));
  g.DrawImage(image, IRect(524, 104, 534, 114), 3, 3, nullptr);
  g.DrawImage(image, IRect(630, 104, 660, 136), 0, 0, nullptr);
  Label(g, "cut", 516, 114, ITextStyle::kRight);
}

// End points in every octant, shallow, steep and diagonal.
constexpr int kStar[16][2] = {{50, 0},  {50, 21},   {45, 45},   {21, 50},   {0, 50},   {-21, 50},
                              {-45, 45}, {-50, 21}, {-50, 0},   {-50, -21}, {-45, -45}, {-21, -50},
                              {0, -50}, {21, -50},  {45, -45},  {50, -21}};

void Star(IEditorGraphics& g, int cx, int cy, const IColor& color, const IBlend* blend, bool antialias) {
  for (const auto& end : kStar) {
    g.DrawLine(color, static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(cx + end[0]),
               static_cast<float>(cy + end[1]), blend, antialias);
  }
}

void Lines(IEditorGraphics& g) {
  Heading(g, "Lines", 8, 166);
  Star(g, 62, 240, kWhite, nullptr, false);
  Label(g, "plain", 62, 294, ITextStyle::kCenter);
  Star(g, 182, 240, kWhite, nullptr, true);
  Label(g, "antialiased", 182, 294, ITextStyle::kCenter);
  const IBlend half(IBlend::kOverwrite, 0.5f);
  Star(g, 302, 240, kGreen, &half, false);
  const IBlend add(IBlend::kAdd, 0.75f);
  Star(g, 302, 240, kBlue, &add, true);
  Label(g, "0.5 / add .75 aa", 302, 294, ITextStyle::kCenter);
  // Shortened by the card's right and bottom edges.
  g.DrawLine(kRed, 596.0f, 500.0f, 660.0f, 560.0f, nullptr, false);
  g.DrawLine(kRed, 610.0f, 486.0f, 690.0f, 560.0f, nullptr, true);
}

void Circles(IEditorGraphics& g) {
  Heading(g, "Circles", 380, 166);
  // The stamped small radii, plain and antialiased.
  const float small[] = {2.0f, 2.5f, 3.0f, 3.5f, 4.0f};
  for (int i = 0; i < 5; ++i) {
    const float x = 392.0f + i * 20.0f;
    g.DrawCircle(kWhite, x, 196.0f, small[i], nullptr, false);
    g.DrawCircle(kWhite, x, 214.0f, small[i], nullptr, true);
  }
  Label(g, "r 2 .. 4", 500, 198);
  g.DrawCircle(kWhite, 410.0f, 258.0f, 20.0f, nullptr, false);
  g.DrawCircle(kWhite, 460.0f, 258.0f, 20.0f, nullptr, true);
  g.DrawCircle(kYellow, 460.0f, 258.0f, 12.5f, nullptr, true);
  const IBlend add(IBlend::kAdd, 0.5f);
  g.DrawCircle(kBlue, 510.0f, 258.0f, 20.0f, &add, false);
  const IBlend dodge(IBlend::kColorDodge, 1.0f);
  g.DrawCircle(kRed, 510.0f, 258.0f, 14.0f, &dodge, true);
  Label(g, "plain / aa / add, dodge", 460, 282, ITextStyle::kCenter);
  // Cut by the card's right edge.
  g.DrawCircle(kGreen, 630.0f, 240.0f, 24.0f, nullptr, true);
}

void Arcs(IEditorGraphics& g) {
  Heading(g, "Arcs", 8, 312);
  struct Arc {
    float from, to;
    bool antialias;
  };
  const Arc arcs[] = {
      {0.0f, kPi, false},   {kPi, 2.0f * kPi, false}, {0.0f, kPi / 2.0f, true},
      {-0.75f * kPi, 0.75f * kPi, true}, {0.0f, 2.0f * kPi, true},
  };
  for (int i = 0; i < 5; ++i) {
    const float cx = 40.0f + i * 60.0f;
    g.DrawCircle(IColor(255, 70, 70, 80), cx, 356.0f, 20.0f, nullptr, false);
    g.DrawArc(kYellow, cx, 356.0f, 20.0f, arcs[i].from, arcs[i].to, nullptr, arcs[i].antialias);
  }
  Label(g, "0..pi, pi..2pi, 0..pi/2, knob, full", 8, 382);
}

void DirectLines(IEditorGraphics& g) {
  Heading(g, "Direct lines, outlines, points", 330, 312);
  // Clamped, not clipped: x = -3 lands in column 0, a row below the card in
  // the last row.
  g.DrawVerticalLine(kGreen, -3, 300, 400);
  g.DrawHorizontalLine(kGreen, 600, 560, 700);
  for (int i = 0; i < 8; ++i) g.DrawVerticalLine(kWhite, 330 + i * 4, 332, 332 + i * 6);
  for (int i = 0; i < 8; ++i) g.DrawHorizontalLine(kWhite, 332 + i * 4, 370, 370 + i * 6);
  g.DrawRect(kRed, IRect(420, 332, 470, 372));
  g.DrawVerticalLineAt(kBlue, IRect(420, 332, 470, 372), 0.25f);
  g.DrawHorizontalLineAt(kBlue, IRect(420, 332, 470, 372), 0.75f);
  for (int i = 0; i < 20; ++i) g.ForcePixel(IColor(255, 255, 255 - i * 12, i * 12), 480 + (i % 10) * 3, 334 + (i / 10) * 3);
  const IBlend half(IBlend::kDefault, 0.5f);
  for (int i = 0; i < 10; ++i) g.DrawPoint(kYellow, 480.0f + i * 3.0f + 0.4f, 346.0f, &half, false);
  Label(g, "v/h lines, rect, at, pixels", 330, 382);
}

void Texts(IEditorGraphics& g) {
  Heading(g, "Text", 8, 404);
  const char* names[] = {"left\naligned", "centred\ntwo lines", "right\naligned"};
  for (int align = 0; align < 3; ++align) {
    const IRect box(8 + align * 130, 422, 128 + align * 130, 456);
    g.DrawRect(IColor(255, 90, 90, 100), box);
    ITextStyle style(kWhite);
    style.size = 13;
    style.align = align;
    g.DrawText(style, names[align], IRect(box.L + 1, box.T + 3, box.R, box.B));
  }
  // Drawn in the first font (13 pixels), whatever these styles ask for.
  ITextStyle large(kYellow);
  large.size = 24;
  large.style = ITextStyle::kBold;
  large.align = ITextStyle::kLeft;
  g.DrawText(large, "size 24 bold asked, 13 drawn", IRect(400, 422, 640, 440));
  ITextStyle colored(IColor(64, 120, 200, 255));
  colored.align = ITextStyle::kLeft;
  g.DrawText(colored, "colour alpha ignored", IRect(400, 440, 640, 456));
  // Beyond the card's right edge: cut, never wrapped.
  ITextStyle edge(kRed);
  edge.align = ITextStyle::kLeft;
  g.DrawText(edge, "cut at the edge", IRect(584, 404, 640, 420));
}

void ColorMaps(IEditorGraphics& g) {
  Heading(g, "Colour maps", 8, 462);
  ColorMap map;
  for (int m = 0; m < ColorMap::kMapCount; ++m) {
    map.Select(m);
    const int y0 = 480 + m * 14;
    Label(g, ColorMap::Name(m), 8, y0);
    // 512 columns across the whole scale 0..1024 at multiplier 1.
    for (int i = 0; i < 512; ++i) {
      const IColor c = IColor::FromPixel(map.ColorOf(static_cast<std::uint16_t>(i * 2), 1));
      g.DrawVerticalLine(c, 72 + i, y0, y0 + 11);
    }
  }
}

}  // namespace

TestCard::TestCard() : IEditorControl(nullptr, IRect(0, 0, kWidth, kHeight), -1) {}

bool TestCard::Draw(IEditorGraphics& g) {
  g.FillRect(kBackground, IRect(0, 0, kWidth, kHeight), &kOverwrite);
  // The first text fixes the font of the draw surface: 13 pixels, regular.
  Label(g, "Sorvano test card", 8, 4);
  char size[32];
  std::snprintf(size, sizeof size, "%d x %d", kWidth, kHeight);
  Label(g, size, kWidth - 8, 4, ITextStyle::kRight);
  Fills(g);
  Blits(g);
  Lines(g);
  Circles(g);
  Arcs(g);
  DirectLines(g);
  Texts(g);
  ColorMaps(g);
  return true;
}

std::unique_ptr<OffscreenGraphics> RenderTestCard() {
  auto graphics = std::make_unique<OffscreenGraphics>(TestCard::kWidth, TestCard::kHeight);
  graphics->AttachControl(new TestCard());
  graphics->Draw(IRect(0, 0, TestCard::kWidth, TestCard::kHeight));
  return graphics;
}

}  // namespace sorvano
