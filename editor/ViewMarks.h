#pragma once

// The marks the sonogram view draws over its panes: the playhead, the
// overview window with its corner handles, and the loop marks. Stateless
// painters; editor thread, inside the view's draw (view lock held).

#include <cstdint>

#include "editor/PaneMapping.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

class IEditorGraphics;

class ViewMarks {
public:
  enum class HandleLook { kNormal, kHovered, kDragged };

  // A red line at the fraction (position - view start) / span of the pane's
  // width; nothing when the position is outside the view (a line pinned to
  // the pane's edge would show a playhead where there is none).
  static void DrawPlayhead(IEditorGraphics& graphics, const PaneMapping& pane, int32_t position);

  // A 7 x 7 corner handle whose top-left pixel is (x, y): white outline,
  // black inner outline, green centre; hovered, a larger green centre;
  // dragged, a larger red one.
  static void DrawHandle(IEditorGraphics& graphics, int x, int y, HandleLook look);

  // The overview window: its rectangle outlined in white with a handle at
  // each of its top-left and bottom-right corners. Nothing for an empty
  // rectangle.
  static void DrawWindow(IEditorGraphics& graphics, const IRect& window, HandleLook topLeft,
                         HandleLook bottomRight);
  // The hit rectangles of the window's two handles.
  static IRect TopLeftHandleHit(const IRect& window);
  static IRect BottomRightHandleHit(const IRect& window);

  // The loop [start, end) on the overview pane: white lines 5 pixels above
  // and below it, their end pixels grey to round them. Nothing when no part
  // of the loop is in view.
  static void DrawLoop(IEditorGraphics& graphics, const PaneMapping& pane, int32_t start,
                       int32_t end);
};

}  // namespace sorvano
