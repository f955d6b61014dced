#pragma once

// The small knob of the editor: a circle of radius 5 with a pointer from its
// centre to the rim. The selected region's gain and fade knobs and the side
// panel's all-gain and all-fade knobs all look like this.
//
// Editor thread, inside a control's Draw; holds no lock.

#include "graphics/GraphicsTypes.h"

namespace sorvano {

class IEditorGraphics;

class KnobPainter {
public:
  static constexpr float kRadius = 5.0f;

  // Knob values: a gain knob shows dB * -0.1, a fade knob (0.5 - fade) * 0.75.
  static double GainValue(double dB) { return dB * -0.1; }
  static double FadeValue(double fade) { return (0.5 - fade) * 0.75; }

  // The pointer's angle for a knob value, in the drawing API's terms (radians,
  // 0 pointing up, growing clockwise): (value + 0.5) * 2 pi, reduced to one
  // turn. A value that is not finite points as value 0 does.
  static double PointerAngle(double value);

  // Draws the knob centred at (cx, cy) in colour, its pointer at the angle of
  // value. Answers whether both parts were drawn.
  static bool Draw(IEditorGraphics& graphics, float cx, float cy, double value,
                   const IColor& color);
};

}  // namespace sorvano
