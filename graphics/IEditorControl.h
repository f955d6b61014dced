#pragma once

// Base class of every element of the editor: a rectangle that draws itself
// and reacts to the mouse, optionally bound to a plug-in parameter through a
// normalised value 0..1.
//
// Threads: everything runs on the editor thread except
//   - SetValueFromPlugin, called on host threads (plug-in lock held) through
//     IEditorGraphics::SetParameterFromPlugin, and
//   - SetDirty(false) / Redraw, which any thread may call to ask for a redraw
//     (the audio thread marks the sonogram view this way).
// The value and the default value are therefore atomics, and the two redraw
// flags (dirty, redraw pending) share one atomic word, so that SetClean can
// move pending into dirty in one step without losing a request that another
// thread makes meanwhile. The flags are set with release order after the
// value, so that the editor thread, which reads them with acquire order when
// collecting dirty controls, draws the new value.

#include <atomic>

#include "graphics/GraphicsTypes.h"

namespace sorvano {

class IEffectBase;
class IEditorGraphics;

class IEditorControl {
public:
  // Constructing thread. paramIdx -1 binds no parameter.
  IEditorControl(IEffectBase* plug, const IRect& rect, int paramIdx, int blendMethod = IBlend::kDefault,
                 float blendWeight = 1.0f);
  virtual ~IEditorControl() = default;

  IEditorControl(const IEditorControl&) = delete;
  IEditorControl& operator=(const IEditorControl&) = delete;

  // ---- Virtual operations, editor thread unless stated.

  // A right-button press opens the value entry; nothing else.
  virtual void OnMouseDown(int x, int y, const IMouseState& mouse);
  virtual void OnMouseUp(int x, int y);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, const IMouseState& mouse);
  // Restores the default value once one has come from the plug-in.
  virtual void OnMouseDoubleClick(int x, int y, const IMouseState& mouse);
  // Steps the value by 0.01 per notch, 0.001 with shift or control held.
  virtual void OnMouseWheel(int x, int y, const IMouseState& mouse, int d);
  // A notification slot the framework never sends.
  virtual void SpareNotification(int a, int b, int c);
  virtual void OnMouseOver(int x, int y, const IMouseState& mouse);
  virtual void OnMouseOut();
  // Redraw cycle: draws the control through the graphics object.
  virtual bool Draw(IEditorGraphics& graphics) = 0;
  // Host thread, plug-in lock and the graphics object's control-list lock
  // held, so an override must only store values and flags. The first value
  // received also becomes the default value; a value equal to the current one
  // changes nothing.
  virtual void SetValueFromPlugin(double value);
  // Hidden controls are neither drawn nor hit.
  virtual void Hide(bool hide);
  // Grayed controls are drawn at a quarter weight and never hit.
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y);
  // Any thread: clamps the value into the clamp range and marks the control
  // dirty; with pushToPlugin (editor thread only) a bound control also sends
  // its value to the plug-in (SetParameterFromGUI, through PluginLockGate:
  // the value is dropped when the editor closes while it waits for the lock).
  virtual void SetDirty(bool pushToPlugin = true);
  // Redraw cycle: the redraw pending flag becomes the dirty flag.
  virtual void SetClean();
  virtual bool IsDirty();
  // An operation slot the framework never calls.
  virtual void SpareOperation();

  // ---- Non-virtual operations.

  // Any thread: one more redraw after the current one, value unchanged.
  void Redraw();
  // Editor thread: a value typed or picked by the user; a changed value is
  // sent to the plug-in.
  void SetValueFromUser(double value);
  // Editor thread: opens the value entry for the bound parameter, unless there
  // is none or prompting is disabled.
  void PromptForValue();

  // ---- Accessors.

  IEffectBase* GetPlug() const { return mPlug; }
  // The graphics object that owns the control; null until attached.
  IEditorGraphics* GetGraphics() const { return mGraphics; }
  // Called by IEditorGraphics::AttachControl.
  void SetGraphics(IEditorGraphics* graphics) { mGraphics = graphics; }
  const IRect& GetRect() const { return mRect; }
  const IRect& GetTargetRect() const { return mTargetRect; }
  void SetTargetRect(const IRect& rect) { mTargetRect = rect; }
  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue.load(std::memory_order_relaxed); }
  double GetDefaultValue() const { return mDefaultValue.load(std::memory_order_relaxed); }
  void SetClamp(double low, double high) {
    mClampLow = low;
    mClampHigh = high;
  }
  bool IsHidden() const { return mHidden; }
  bool IsGrayed() const { return mGrayed; }
  bool IsRedrawPending() const { return mRedrawFlags.load(std::memory_order_acquire) & kRedrawPending; }
  void DisablePrompt(bool disable) { mPromptDisabled = disable; }
  bool PromptDisabled() const { return mPromptDisabled; }
  void SetDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
  bool DblAsSingleClick() const { return mDblAsSingleClick; }
  const IBlend& GetBlend() const { return mBlend; }

protected:
  // Bits of mRedrawFlags.
  static constexpr unsigned kDirty = 1u;          // needs drawing at the next redraw
  static constexpr unsigned kRedrawPending = 2u;  // becomes kDirty at the next SetClean

  IEffectBase* mPlug;
  IRect mRect;
  IRect mTargetRect;
  int mParamIdx;
  std::atomic<double> mValue{0.0};
  // Negative until the first value from the plug-in arrives.
  std::atomic<double> mDefaultValue{-1.0};
  double mClampLow = 0.0;
  double mClampHigh = 1.0;
  // Dirty from construction, so the first redraw draws the control.
  std::atomic<unsigned> mRedrawFlags{kDirty};
  bool mHidden = false;
  bool mGrayed = false;
  bool mPromptDisabled = false;
  bool mDblAsSingleClick = false;
  IBlend mBlend;
  IEditorGraphics* mGraphics = nullptr;
};

}  // namespace sorvano
