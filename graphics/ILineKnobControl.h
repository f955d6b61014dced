#pragma once

#include "graphics/IEditorControl.h"

namespace sorvano {

// A knob drawn as a single line from the centre outwards (the dial itself is
// part of the background picture). Dragging turns it; the wheel, double
// click and right click keep the defaults of IEditorControl.
class ILineKnobControl : public IEditorControl {
public:
  enum Direction : int { kVertical = 0, kHorizontal = 1 };

  // Constructing thread. Angles in radians, 0 straight up, growing clockwise;
  // the value 0..1 maps linearly onto minAngle..maxAngle. An outer radius of
  // 0 reaches the rectangle's half width. direction 0 turns with vertical
  // drags, anything else with horizontal ones; a gearing of g needs g
  // rectangle heights (widths) of travel for the full range. Draws with
  // overwrite blend.
  ILineKnobControl(IEffectBase* plug, const IRect& rect, int paramIdx, const IColor& color,
                   float innerRadius, float outerRadius, float minAngle, float maxAngle, int direction,
                   double gearing);

  // Editor thread. Dragging up (or right) increases the value.
  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseState& mouse) override;
  bool Draw(IEditorGraphics& graphics) override;

protected:
  int mDirection;
  double mGearing;
  IColor mColor;
  float mMinAngle;
  float mMaxAngle;
  float mInnerRadius;
  float mOuterRadius;
};

}  // namespace sorvano
