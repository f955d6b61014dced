#include "graphics/platform/PointerRouter.h"

#include <cstdlib>

#include "graphics/IEditorGraphics.h"

namespace sorvano::x11 {

namespace {
unsigned Bit(PointerButton button) { return 1u << static_cast<int>(button); }
bool IsClickButton(PointerButton button) { return button == PointerButton::kLeft || button == PointerButton::kRight; }
}  // namespace

bool DoubleClickDetector::Press(PointerButton button, int x, int y, std::uint32_t timeMs) {
  const bool isDouble = mPending && button == PointerButton::kLeft && timeMs - mTime <= kDoubleClickMs &&
                        std::abs(x - mX) <= kDoubleClickDistance && std::abs(y - mY) <= kDoubleClickDistance;
  // A completed double click is not the first press of the next one.
  mPending = !isDouble && button == PointerButton::kLeft;
  mX = x;
  mY = y;
  mTime = timeMs;
  return isDouble;
}

IMouseState PointerRouter::MouseState(PointerModifiers mods) {
  IMouseState state;
  state.L = mods.left ? 1 : 0;
  state.R = mods.right ? 1 : 0;
  state.S = mods.shift ? 1 : 0;
  state.C = mods.control ? 1 : 0;
  state.A = mods.alt ? 1 : 0;
  return state;
}

void PointerRouter::Press(PointerButton button, int x, int y, PointerModifiers mods, std::uint32_t timeMs) {
  if (button == PointerButton::kWheelUp || button == PointerButton::kWheelDown) {
    mEditor.OnMouseWheel(x, y, MouseState(mods), button == PointerButton::kWheelUp ? 1 : -1);
    return;
  }
  if (!IsClickButton(button)) return;
  if (button == PointerButton::kLeft) mods.left = true;
  if (button == PointerButton::kRight) mods.right = true;
  mPressedButtons |= Bit(button);
  if (mDoubleClick.Press(button, x, y, timeMs)) {
    mEditor.OnMouseDoubleClick(x, y, MouseState(mods));
    return;
  }
  mEditor.OnMouseDown(x, y, MouseState(mods));
}

void PointerRouter::Release(PointerButton button, int x, int y, PointerModifiers) {
  if (!IsClickButton(button)) return;
  mPressedButtons &= ~Bit(button);
  mEditor.OnMouseUp(x, y);
}

void PointerRouter::Motion(int x, int y, PointerModifiers mods) {
  if (mods.left || mods.right) {
    // The routing itself ignores a drag when no control holds the capture.
    mEditor.OnMouseDrag(x, y, MouseState(mods));
    return;
  }
  if (mEditor.OnMouseOver(x, y, MouseState(mods))) mLeaveWanted = true;
}

void PointerRouter::Leave(PointerModifiers mods) {
  // While a button is held the pressed control keeps the pointer.
  if (!mLeaveWanted || mods.left || mods.right) return;
  mLeaveWanted = false;
  mEditor.OnMouseOut();
}

}  // namespace sorvano::x11
