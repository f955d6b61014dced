// Text drawn with the embedded font: the first-font rule, alignment, line
// breaks, placement in the rectangle, blending, and edges of the surface.

#include <gtest/gtest.h>

#include <limits>

#include "graphics/EmbeddedFont.h"
#include "graphics/TextRenderer.h"
#include "tests/graphics/SoftGraphicsProbe.h"
#include "tests/graphics/SurfaceTestSupport.h"

namespace sorvano::test {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;

struct Box {
  int left = std::numeric_limits<int>::max(), top = std::numeric_limits<int>::max();
  int right = -1, bottom = -1;  // inclusive
  bool Empty() const { return right < 0; }
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};

// Bounding box of the pixels that differ from the background within rows
// [y0, y1) of a surface.
Box Ink(const PixelSurface& s, std::uint32_t back, int y0 = 0, int y1 = -1) {
  if (y1 < 0) y1 = s.Height();
  Box box;
  for (int y = y0; y < y1; ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.Bits()[static_cast<std::size_t>(y) * s.RowSpan() + x] == back) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

ITextStyle Style(int size, int align = ITextStyle::kLeft, IColor color = IColor(255, 255, 255, 255)) {
  ITextStyle style(color);
  style.size = size;
  style.align = align;
  return style;
}

TEST(SoftGraphicsTextTest, TheFirstFontStaysWhateverLaterStylesAsk) {
  ProbeGraphics first(200, 120);
  first.Clear(kBlack);
  first.DrawText(Style(13), "Hx", IRect(0, 0, 200, 20));
  ITextStyle big = Style(30);
  big.style = ITextStyle::kBold;
  first.DrawText(big, "Hx", IRect(0, 60, 200, 100));
  const Box small = Ink(*first.GetDrawSurface(), kBlack, 0, 50);
  const Box later = Ink(*first.GetDrawSurface(), kBlack, 50, 120);
  ASSERT_FALSE(small.Empty());
  ASSERT_FALSE(later.Empty());
  EXPECT_EQ(later.Height(), small.Height());
  EXPECT_EQ(later.Width(), small.Width());
  EXPECT_EQ(later.top - 60, small.top);

  // Drawn first, the large style does make larger text.
  ProbeGraphics other(200, 120);
  other.Clear(kBlack);
  other.DrawText(big, "Hx", IRect(0, 60, 200, 100));
  EXPECT_GT(Ink(*other.GetDrawSurface(), kBlack).Height(), 2 * small.Height() - 2);
}

TEST(SoftGraphicsTextTest, SizeIsTheCellHeightAndTextStartsAtTheTop) {
  TextRenderer text;
  ASSERT_TRUE(text.SelectFont(20, ITextStyle::kNormal));
  EXPECT_EQ(text.CellHeight(), 20);
  // Liberation Sans: ascender 1854 of a 2288-unit cell.
  EXPECT_EQ(text.Ascent(), 16);
  GuardedSurface s(100, 60, kBlack);
  text.Draw(&s, "H", IRect(10, 7, 90, 27), ITextStyle::kLeft, IColor(255, 255, 255, 255));
  const Box h = Ink(s, kBlack);
  // A capital stands on the baseline (its last row is the one above it) and
  // stays within the first cell.
  EXPECT_EQ(h.bottom, 7 + 16 - 1);
  EXPECT_GE(h.top, 7);
  EXPECT_GE(h.left, 10);
  EXPECT_LE(h.left, 12);
  EXPECT_TRUE(s.GuardsIntact());
}

TEST(SoftGraphicsTextTest, LinesBreakOnlyAtNewlinesOneCellApart) {
  ProbeGraphics g(240, 80);
  g.Clear(kBlack);
  g.DrawText(Style(13), "H\nH\r\nH", IRect(0, 0, 240, 13));
  const Box one = Ink(*g.GetDrawSurface(), kBlack, 0, 13);
  const Box two = Ink(*g.GetDrawSurface(), kBlack, 13, 26);
  const Box three = Ink(*g.GetDrawSurface(), kBlack, 26, 39);
  ASSERT_FALSE(one.Empty());
  EXPECT_EQ(two.top, one.top + 13);
  EXPECT_EQ(three.top, one.top + 26);  // "\r\n" is one break; the '\r' draws nothing
  EXPECT_EQ(three.left, one.left);
  EXPECT_EQ(three.Width(), one.Width());

  // A long line is neither wrapped nor cut at the rectangle.
  ProbeGraphics wide(240, 40);
  wide.Clear(kBlack);
  wide.DrawText(Style(13), "A LINE MUCH LONGER THAN ITS BOX", IRect(0, 0, 40, 13));
  const Box line = Ink(*wide.GetDrawSurface(), kBlack);
  EXPECT_GT(line.right, 150);
  EXPECT_LT(line.bottom, 13);
}

TEST(SoftGraphicsTextTest, AlignsEachLineWithinTheRectangle) {
  TextRenderer text;
  ASSERT_TRUE(text.SelectFont(13, ITextStyle::kNormal));
  const IRect rect(20, 0, 180, 13);
  Box boxes[3];
  for (int align = 0; align < 3; ++align) {
    GuardedSurface s(200, 20, kBlack);
    text.Draw(&s, "Wide", rect, align, IColor(255, 255, 255, 255));
    boxes[align] = Ink(s, kBlack);
    ASSERT_FALSE(boxes[align].Empty());
  }
  const int width = static_cast<int>((text.LineWidth("Wide", 4) + 63) / 64);
  EXPECT_EQ(boxes[1].Width(), boxes[0].Width());
  EXPECT_EQ(boxes[2].Width(), boxes[0].Width());
  EXPECT_LE(boxes[0].left, rect.L + 1);
  // The right-aligned line ends at R (its last glyph's side bearing aside).
  EXPECT_LE(boxes[2].right, rect.R - 1);
  EXPECT_GE(boxes[2].right, rect.R - 3);
  // Centred: the same offset from the left as the advance leaves on the right.
  EXPECT_NEAR(boxes[1].left - boxes[0].left, (rect.W() - width) / 2, 1);
  EXPECT_NEAR(boxes[2].left - boxes[0].left, rect.W() - width, 1);

  // Each line of a multi-line text is aligned on its own.
  GuardedSurface s(200, 40, kBlack);
  text.Draw(&s, "Wide\nW", rect, ITextStyle::kRight, IColor(255, 255, 255, 255));
  EXPECT_NEAR(Ink(s, kBlack, 0, 13).right, Ink(s, kBlack, 13, 26).right, 1);
}

TEST(SoftGraphicsTextTest, InkIsTheOpaqueTextColourAndAlphaIsIgnored) {
  ProbeGraphics g(120, 60);
  g.Clear(0x00000000u);  // transparent black, as a fresh draw surface
  g.DrawText(Style(40, ITextStyle::kLeft, IColor(0, 40, 200, 90)), "I", IRect(4, 4, 100, 50));
  int full = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 120; ++x) {
      const std::uint32_t p = g.At(x, y);
      if (p == 0) continue;
      // Coverage moves all four channels towards (255, 40, 200, 90) alike.
      const std::uint32_t a = p >> 24;
      EXPECT_EQ((p >> 16) & 0xFF, (40 * a + 127) / 255) << x << "," << y;
      full += p == 0xFF28C85Au;
    }
  }
  EXPECT_GT(full, 20);  // the stem of a 40-pixel "I" is fully covered
}

TEST(SoftGraphicsTextTest, NullTextDrawsNothingAndAnswersTrue) {
  ProbeGraphics g(40, 20);
  g.Clear(kBlack);
  EXPECT_TRUE(g.DrawText(Style(13), nullptr, IRect(0, 0, 40, 20)));
  EXPECT_TRUE(g.DrawText(Style(13), "", IRect(0, 0, 40, 20)));
  EXPECT_EQ(g.CountNot(kBlack), 0);
}

TEST(SoftGraphicsTextTest, TextAcrossEveryEdgeWritesOnlyInsideTheSurface) {
  TextRenderer text;
  ASSERT_TRUE(text.SelectFont(13, ITextStyle::kNormal));
  GuardedSurface s(30, 20, kBlack);
  const IColor white(255, 255, 255, 255);
  const char* sample = "Wgjy|\xC4\xE9\x80\nWgjy|";
  text.Draw(&s, sample, IRect(-6, -7, 40, 0), ITextStyle::kLeft, white);
  text.Draw(&s, sample, IRect(22, 12, 60, 30), ITextStyle::kLeft, white);
  text.Draw(&s, sample, IRect(-40, 5, 8, 20), ITextStyle::kRight, white);
  EXPECT_TRUE(s.GuardsIntact());
  EXPECT_GT(s.CountNot(kBlack), 0);
  const int inked = s.CountNot(kBlack);
  // Far-off and extreme rectangles draw nothing and overflow nothing.
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  for (int align = 0; align < 3; ++align) {
    text.Draw(&s, sample, IRect(small, small, big, big), align, white);
    text.Draw(&s, sample, IRect(big, big, big, big), align, white);
    text.Draw(&s, sample, IRect(small, 0, small, 10), align, white);
    text.Draw(&s, sample, IRect(0, big - 5, 30, big), align, white);
  }
  EXPECT_TRUE(s.GuardsIntact());
  EXPECT_EQ(s.CountNot(kBlack), inked);
}

TEST(SoftGraphicsTextTest, FontSizesOutsideTheUsualRangeStaySane) {
  TextRenderer zero;
  ASSERT_TRUE(zero.SelectFont(0, ITextStyle::kNormal));
  EXPECT_EQ(zero.CellHeight(), TextRenderer::kDefaultCellHeight);
  TextRenderer em;
  ASSERT_TRUE(em.SelectFont(-2048, ITextStyle::kNormal));
  EXPECT_EQ(em.CellHeight(), TextRenderer::kMaxCellHeight);
  TextRenderer huge;
  ASSERT_TRUE(huge.SelectFont(std::numeric_limits<int>::max(), ITextStyle::kItalic));
  EXPECT_EQ(huge.CellHeight(), TextRenderer::kMaxCellHeight);
  GuardedSurface s(16, 16, kBlack);
  huge.Draw(&s, "W", IRect(-500, -500, 16, 16), ITextStyle::kCenter, IColor(255, 255, 255, 255));
  EXPECT_TRUE(s.GuardsIntact());
  // Once chosen, the font stays.
  ASSERT_TRUE(zero.SelectFont(40, ITextStyle::kBold));
  EXPECT_EQ(zero.CellHeight(), TextRenderer::kDefaultCellHeight);
}

TEST(SoftGraphicsTextTest, EmbeddedFontCutsAreTrueTypeFaces) {
  const EmbeddedFont regular = FindEmbeddedFont(ITextStyle::kNormal);
  const EmbeddedFont bold = FindEmbeddedFont(ITextStyle::kBold);
  const EmbeddedFont italic = FindEmbeddedFont(ITextStyle::kItalic);
  for (const EmbeddedFont& font : {regular, bold, italic}) {
    ASSERT_GT(font.size, 100000u);
    EXPECT_EQ(font.data[0], 0);  // sfnt version 1.0
    EXPECT_EQ(font.data[1], 1);
    EXPECT_EQ(font.data[2], 0);
    EXPECT_EQ(font.data[3], 0);
  }
  EXPECT_NE(regular.data, bold.data);
  EXPECT_NE(regular.data, italic.data);
  EXPECT_EQ(FindEmbeddedFont(7).data, regular.data);
}

}  // namespace
}  // namespace sorvano::test
