#include "editor/KnobPainter.h"

#include <cmath>
#include <numbers>

#include "graphics/IEditorGraphics.h"

namespace sorvano {

double KnobPainter::PointerAngle(double value) {
  if (!std::isfinite(value)) value = 0.0;
  // Reducing the turn first keeps the angle exact for values far from 0.
  double turns = std::fmod(value + 0.5, 1.0);
  if (turns < 0.0) turns += 1.0;
  return turns * 2.0 * std::numbers::pi;
}

bool KnobPainter::Draw(IEditorGraphics& graphics, float cx, float cy, double value,
                       const IColor& color) {
  const double angle = PointerAngle(value);
  const float tipX = cx + static_cast<float>(std::sin(angle)) * kRadius;
  const float tipY = cy - static_cast<float>(std::cos(angle)) * kRadius;
  const bool circle = graphics.DrawCircle(color, cx, cy, kRadius, nullptr, true);
  const bool pointer = graphics.DrawLine(color, cx, cy, tipX, tipY, nullptr, true);
  return circle && pointer;
}

}  // namespace sorvano
