#include "editor/ViewMarks.h"

#include <algorithm>

#include "editor/EditorColors.h"
#include "graphics/IEditorGraphics.h"

namespace sorvano {

namespace {

using namespace editor_colors;

constexpr IColor kEndGrey(255, 128, 128, 128);
constexpr int kHandleSize = 7;
constexpr int kLoopMarkDistance = 5;

}  // namespace

void ViewMarks::DrawPlayhead(IEditorGraphics& graphics, const PaneMapping& pane, int32_t position) {
  if (!pane.Usable()) return;
  const double span = static_cast<double>(int64_t{pane.mViewEnd} - pane.mViewStart);
  const double f = static_cast<double>(int64_t{position} - pane.mViewStart) / span;
  if (!(f >= 0.0 && f <= 1.0)) return;
  graphics.DrawVerticalLineAt(kRed, pane.mRect, static_cast<float>(f));
}

void ViewMarks::DrawHandle(IEditorGraphics& graphics, int x, int y, HandleLook look) {
  const int last = kHandleSize - 1;
  graphics.DrawRect(kWhite, IRect(x, y, x + last, y + last));
  graphics.DrawRect(kBlack, IRect(x + 1, y + 1, x + last - 1, y + last - 1));
  if (look == HandleLook::kNormal) {
    graphics.FillRect(kGreen, IRect(x + 2, y + 2, x + last - 1, y + last - 1), nullptr);
  } else {
    graphics.FillRect(look == HandleLook::kDragged ? kRed : kGreen,
                      IRect(x + 1, y + 1, x + last, y + last), nullptr);
  }
}

void ViewMarks::DrawWindow(IEditorGraphics& graphics, const IRect& window, HandleLook topLeft,
                           HandleLook bottomRight) {
  if (window.Empty()) return;
  graphics.DrawRect(kWhite, window);
  DrawHandle(graphics, window.L - 2, window.T - 2, topLeft);
  DrawHandle(graphics, window.R - 5, window.B - 5, bottomRight);
}

IRect ViewMarks::TopLeftHandleHit(const IRect& window) {
  if (window.Empty()) return IRect();
  return IRect(window.L - 8, window.T - 8, window.L + 15, window.T + 11);
}

IRect ViewMarks::BottomRightHandleHit(const IRect& window) {
  if (window.Empty()) return IRect();
  return IRect(window.R - 8, window.B - 8, window.R + 15, window.B + 11);
}

void ViewMarks::DrawLoop(IEditorGraphics& graphics, const PaneMapping& pane, int32_t start,
                         int32_t end) {
  const IRect span = pane.MarkedRect(ModRegion{start, end, 0, 0, pane.mLowRow, pane.mHighRow});
  if (span.Empty() || span.R <= span.L) return;
  const int x0 = span.L;
  const int x1 = std::max(span.R - 1, x0);
  for (const int y : {pane.mRect.T - kLoopMarkDistance, pane.mRect.B - 1 + kLoopMarkDistance}) {
    graphics.DrawHorizontalLine(kWhite, y, x0, x1);
    graphics.ForcePixel(kEndGrey, x0, y);
    graphics.ForcePixel(kEndGrey, x1, y);
  }
}

}  // namespace sorvano
