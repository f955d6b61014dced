#pragma once

#include "graphics/IImageControl.h"

namespace sorvano {

// A button that is pressed only while the mouse button is held: frame 1
// released, frame 2 pressed. The press sends 1 to its parameter, the release
// 0; the graphics object brackets the two with a parameter gesture.
class IMomentaryButton : public IImageControl {
public:
  using IImageControl::IImageControl;

  // Editor thread. A right-button press opens the value entry instead of
  // pressing; the (unchanged) value is still sent.
  void OnMouseDown(int x, int y, const IMouseState& mouse) override;
  void OnMouseUp(int x, int y) override;
};

}  // namespace sorvano
