#include "graphics/ILineKnobControl.h"

#include <cmath>

#include "graphics/IEditorGraphics.h"

namespace sorvano {

ILineKnobControl::ILineKnobControl(IEffectBase* plug, const IRect& rect, int paramIdx, const IColor& color,
                                   float innerRadius, float outerRadius, float minAngle, float maxAngle,
                                   int direction, double gearing)
    : IEditorControl(plug, rect, paramIdx, IBlend::kDefault, 1.0f),
      mDirection(direction),
      mGearing(gearing),
      mColor(color),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle),
      mInnerRadius(innerRadius),
      mOuterRadius(outerRadius == 0.0f ? 0.5f * static_cast<float>(rect.W()) : outerRadius) {
  mBlend = IBlend(IBlend::kOverwrite, 1.0f);
}

void ILineKnobControl::OnMouseDrag(int, int, int dX, int dY, const IMouseState&) {
  // A flat rectangle or a zero gearing would turn the value into infinity or NaN.
  const int extent = mDirection == kVertical ? mRect.T - mRect.B : mRect.R - mRect.L;
  if (extent == 0 || mGearing == 0.0) return;
  const int delta = mDirection == kVertical ? dY : dX;
  mValue.store(GetValue() + static_cast<double>(delta) / extent / mGearing, std::memory_order_relaxed);
  SetDirty(true);
}

bool ILineKnobControl::Draw(IEditorGraphics& graphics) {
  const float cx = static_cast<float>(mRect.L + mRect.R) * 0.5f;
  const float cy = static_cast<float>(mRect.T + mRect.B) * 0.5f;
  const double a = mMinAngle + (mMaxAngle - mMinAngle) * GetValue();
  const float s = static_cast<float>(std::sin(a));
  const float c = static_cast<float>(std::cos(a));
  return graphics.DrawLine(mColor, cx + s * mInnerRadius, cy - c * mInnerRadius, cx + s * mOuterRadius,
                           cy - c * mOuterRadius, &mBlend, true);
}

}  // namespace sorvano
