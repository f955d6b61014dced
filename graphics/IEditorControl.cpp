#include "graphics/IEditorControl.h"

#include "framework/IEffectBase.h"
#include "graphics/IEditorGraphics.h"
#include "graphics/PluginLockGate.h"

namespace sorvano {

namespace {
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;  // with shift or control held
constexpr float kGrayedWeight = 0.25f;
}  // namespace

IEditorControl::IEditorControl(IEffectBase* plug, const IRect& rect, int paramIdx, int blendMethod,
                               float blendWeight)
    : mPlug(plug), mRect(rect), mTargetRect(rect), mParamIdx(paramIdx), mBlend(blendMethod, blendWeight) {}

void IEditorControl::OnMouseDown(int, int, const IMouseState& mouse) {
  if (mouse.R) PromptForValue();
}

void IEditorControl::OnMouseUp(int, int) {}

void IEditorControl::OnMouseDrag(int, int, int, int, const IMouseState&) {}

void IEditorControl::OnMouseDoubleClick(int, int, const IMouseState&) {
  const double def = mDefaultValue.load(std::memory_order_relaxed);
  if (def < 0.0) return;
  mValue.store(def, std::memory_order_relaxed);
  SetDirty(true);
}

void IEditorControl::OnMouseWheel(int, int, const IMouseState& mouse, int d) {
  const double step = (mouse.S || mouse.C) ? kFineWheelStep : kWheelStep;
  mValue.store(mValue.load(std::memory_order_relaxed) + d * step, std::memory_order_relaxed);
  SetDirty(true);
}

void IEditorControl::SpareNotification(int, int, int) {}

void IEditorControl::OnMouseOver(int, int, const IMouseState&) {}

void IEditorControl::OnMouseOut() {}

void IEditorControl::SetValueFromPlugin(double value) {
  if (mDefaultValue.load(std::memory_order_relaxed) < 0.0) {
    mDefaultValue.store(value, std::memory_order_relaxed);
  } else if (value == mValue.load(std::memory_order_relaxed)) {
    return;
  }
  mValue.store(value, std::memory_order_relaxed);
  SetDirty(false);
  // Both flags in one step: whenever a SetClean on the editor thread falls
  // between SetDirty and here, the control stays collected for the next tick.
  mRedrawFlags.fetch_or(kDirty | kRedrawPending, std::memory_order_release);
}

void IEditorControl::Hide(bool hide) {
  mHidden = hide;
  mRedrawFlags.fetch_or(kRedrawPending, std::memory_order_release);
  SetDirty(false);
}

void IEditorControl::GrayOut(bool gray) {
  mGrayed = gray;
  mBlend.weight = gray ? kGrayedWeight : 1.0f;
  SetDirty(false);
}

bool IEditorControl::IsHit(int x, int y) { return mTargetRect.Contains(x, y); }

void IEditorControl::SetDirty(bool pushToPlugin) {
  const double v = mValue.load(std::memory_order_relaxed);
  if (mClampLow > v) {
    mValue.store(mClampLow, std::memory_order_relaxed);
  } else if (v > mClampHigh) {
    mValue.store(mClampHigh, std::memory_order_relaxed);
  }
  mRedrawFlags.fetch_or(kDirty, std::memory_order_release);
  if (pushToPlugin && mPlug && mParamIdx >= 0) {
    // Through the gate: the editor closing while the host holds the lock
    // drops this change rather than waiting for the host for ever.
    const PluginLockGate gate(mPlug, mGraphics);
    if (gate.Held()) mPlug->SetParameterFromGUI(mParamIdx, mValue.load(std::memory_order_relaxed));
  }
}

void IEditorControl::SetClean() {
  unsigned flags = mRedrawFlags.load(std::memory_order_relaxed);
  while (!mRedrawFlags.compare_exchange_weak(flags, (flags & kRedrawPending) ? kDirty : 0u,
                                             std::memory_order_acq_rel, std::memory_order_relaxed)) {
  }
}

bool IEditorControl::IsDirty() { return mRedrawFlags.load(std::memory_order_acquire) & kDirty; }

void IEditorControl::SpareOperation() {}

void IEditorControl::Redraw() { mRedrawFlags.fetch_or(kRedrawPending, std::memory_order_release); }

void IEditorControl::SetValueFromUser(double value) {
  if (value == mValue.load(std::memory_order_relaxed)) return;
  mValue.store(value, std::memory_order_relaxed);
  SetDirty(true);
  Redraw();
}

void IEditorControl::PromptForValue() {
  if (mParamIdx < 0 || mPromptDisabled || !mGraphics) return;
  IEffectParam* param = mPlug ? mPlug->GetParam(mParamIdx) : nullptr;
  mGraphics->PromptParamInput(this, param);
  Redraw();
}

}  // namespace sorvano
