#include "graphics/IMomentaryButton.h"

namespace sorvano {

namespace {
// A value past the last frame (allowing for rounding) wraps to released.
constexpr double kWrapAbove = 1.001;
}  // namespace

void IMomentaryButton::OnMouseDown(int, int, const IMouseState& mouse) {
  if (mouse.R) {
    PromptForValue();
  } else {
    mValue.store(GetValue() + (mImage.N < 2 ? 1.0 : 1.0 / (mImage.N - 1)), std::memory_order_relaxed);
  }
  if (GetValue() > kWrapAbove) mValue.store(0.0, std::memory_order_relaxed);
  SetDirty(true);
}

void IMomentaryButton::OnMouseUp(int, int) {
  mValue.store(0.0, std::memory_order_relaxed);
  SetDirty(true);
}

}  // namespace sorvano
