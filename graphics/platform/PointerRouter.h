#pragma once

// Turns the window system's pointer events into the editor's mouse routing
// (IEditorGraphics::OnMouseDown and its siblings), the way the editor
// expects them:
//   - a press of the left or right button is a press at (x, y) with the
//     button and modifier state; the window system keeps sending motion and
//     the release to the window that saw the press (its implicit grab), so a
//     drag reaches the pressed control also outside the window;
//   - X has no double click: a second left press within kDoubleClickMs and
//     kDoubleClickDistance pixels of the first is delivered as a double
//     click instead of a press (a third press starts over);
//   - motion with a button held is a drag of the pressed control, motion
//     without one is hovering; the pointer leaving the window after hovering
//     that asked for it ends the hover (OnMouseOut);
//   - wheel buttons are notches: up (away from the user) +1, down -1.
//
// X-free (plain numbers in, calls out), so it is tested without a display.
// Editor thread.

#include <cstdint>

#include "graphics/GraphicsTypes.h"

namespace sorvano {

class IEditorGraphics;

namespace x11 {

// Buttons as the X protocol numbers them.
enum class PointerButton : int { kLeft = 1, kMiddle = 2, kRight = 3, kWheelUp = 4, kWheelDown = 5 };

// Modifier and button state of an event, as the window host reads it.
struct PointerModifiers {
  bool left = false;
  bool right = false;
  bool shift = false;
  bool control = false;
  bool alt = false;
};

// Two presses form a double click when they are of the left button, at most
// kDoubleClickMs apart and at most kDoubleClickDistance pixels apart in x and in y.
class DoubleClickDetector {
public:
  static constexpr std::uint32_t kDoubleClickMs = 400;
  static constexpr int kDoubleClickDistance = 4;

  // Any press; answers whether it completes a double click. Times are the
  // server's milliseconds, which wrap around.
  bool Press(PointerButton button, int x, int y, std::uint32_t timeMs);

private:
  bool mPending = false;
  int mX = 0;
  int mY = 0;
  std::uint32_t mTime = 0;
};

class PointerRouter {
public:
  explicit PointerRouter(IEditorGraphics& editor) : mEditor(editor) {}

  // State of the buttons and modifiers *before* this event, as X reports it;
  // the pressed button itself is added for a press.
  void Press(PointerButton button, int x, int y, PointerModifiers mods, std::uint32_t timeMs);
  void Release(PointerButton button, int x, int y, PointerModifiers mods);
  void Motion(int x, int y, PointerModifiers mods);
  // The pointer left the window.
  void Leave(PointerModifiers mods);

  // Whether a left or right press is being held (its release not seen yet).
  bool Pressed() const { return mPressedButtons != 0; }

private:
  static IMouseState MouseState(PointerModifiers mods);

  IEditorGraphics& mEditor;
  DoubleClickDetector mDoubleClick;
  unsigned mPressedButtons = 0;
  bool mLeaveWanted = false;
};

}  // namespace x11
}  // namespace sorvano
