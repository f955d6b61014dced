#include "graphics/IEditorGraphics.h"

#include <algorithm>
#include <utility>

#include "framework/IEffectBase.h"
#include "graphics/IEditorControl.h"
#include "graphics/IImageControl.h"
#include "graphics/PluginLockGate.h"

namespace sorvano {

namespace {
// f limited to 0..1; NaN counts as 0.
float ClampFraction(float f) { return f > 0.0f ? std::min(f, 1.0f) : 0.0f; }
}  // namespace

IEditorGraphics::IEditorGraphics(IEffectBase* plug, int width, int height, int fps)
    : mPlug(plug), mWidth(width), mHeight(height), mFps(fps > 0 ? fps : kDefaultFps) {}

IEditorGraphics::~IEditorGraphics() {
  // Highest index first: later controls may refer to earlier ones.
  while (!mControls.empty()) mControls.pop_back();
}

void IEditorGraphics::Resize(int w, int h) {
  EndGesture();
  mWidth.store(w, std::memory_order_relaxed);
  mHeight.store(h, std::memory_order_relaxed);
  mCapture = -1;
  mMouseX = mMouseY = -1;
  // The mouse-over index would otherwise name a control that no longer exists.
  mMouseOver = -1;
  std::vector<std::unique_ptr<IEditorControl>> old;
  {
    std::lock_guard<std::mutex> lock(mControlsLock);
    old.swap(mControls);
    mHasBackground = false;
  }
  while (!old.empty()) old.pop_back();
  if (mPlug) mPlug->RefreshEditorRect(w, h);
}

bool IEditorGraphics::WindowIsOpen() { return GetWindow() != nullptr; }

int IEditorGraphics::SpareQuery(int, int) { return 0; }

void IEditorGraphics::AttachBackground(int resourceId, const char* fileName) {
  const IImage image = LoadImage(resourceId, fileName, 1);
  auto background = std::make_unique<IImageControl>(mPlug, 0, 0, -1, image, IBlend::kOverwrite);
  background->SetGraphics(this);
  std::lock_guard<std::mutex> lock(mControlsLock);
  mControls.insert(mControls.begin(), std::move(background));
  mHasBackground = true;
}

bool IEditorGraphics::DrawVerticalLine(const IColor& color, int x, int y1, int y2) {
  const IBlend overwrite(IBlend::kOverwrite, 1.0f);
  return DrawLine(color, static_cast<float>(x), static_cast<float>(y1), static_cast<float>(x),
                  static_cast<float>(y2), &overwrite, false);
}

bool IEditorGraphics::DrawHorizontalLine(const IColor& color, int y, int x1, int x2) {
  const IBlend overwrite(IBlend::kOverwrite, 1.0f);
  return DrawLine(color, static_cast<float>(x1), static_cast<float>(y), static_cast<float>(x2),
                  static_cast<float>(y), &overwrite, false);
}

int IEditorGraphics::AttachControl(IEditorControl* control) {
  if (!control) return -1;
  control->SetGraphics(this);
  std::lock_guard<std::mutex> lock(mControlsLock);
  mControls.emplace_back(control);
  return static_cast<int>(mControls.size()) - 1;
}

IEditorControl* IEditorGraphics::GetControl(int idx) const {
  if (idx < 0 || idx >= NControls()) return nullptr;
  return mControls[static_cast<std::size_t>(idx)].get();
}

void IEditorGraphics::SetParameterFromPlugin(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    const IEffectParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->GetNormalized(value);
  }
  std::lock_guard<std::mutex> lock(mControlsLock);
  for (auto& control : mControls) {
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlugin(value);
  }
}

void IEditorGraphics::SetAllControlsDirty() {
  for (auto& control : mControls) control->SetDirty(false);
}

bool IEditorGraphics::IsDirty(IRect& rect) {
  bool dirty = false;
  for (auto& control : mControls) {
    if (control->IsDirty()) {
      rect = rect.Union(control->GetRect());
      dirty = true;
    }
  }
  return dirty;
}

IRect IEditorGraphics::CoveringRect(IRect rect) const {
  // Each widening may touch further controls; every pass that changes the
  // rectangle takes in at least one more control, so this ends.
  for (std::size_t pass = 0; pass < mControls.size(); ++pass) {
    IRect grown = rect;
    for (std::size_t i = mHasBackground ? 1 : 0; i < mControls.size(); ++i) {
      const IEditorControl& control = *mControls[i];
      if (!control.IsHidden() && rect.Intersects(control.GetRect())) grown = grown.Union(control.GetRect());
    }
    if (grown == rect) break;
    rect = grown;
  }
  return rect;
}

bool IEditorGraphics::Draw(const IRect& rect) {
  if (mControls.empty()) return true;
  mDrawRect = mStrictDrawing ? CoveringRect(rect) : rect;
  for (auto& control : mControls) {
    const bool wanted = mStrictDrawing || control->IsDirty();
    if (wanted && !control->IsHidden() && mDrawRect.Intersects(control->GetRect())) control->Draw(*this);
    control->SetClean();
  }
  return PresentRect(mDrawRect);
}

void IEditorGraphics::ReleaseCapture() {
  mCapture = -1;
  mMouseX = mMouseY = -1;
}

void IEditorGraphics::EndGesture() {
  if (mGestureParam < 0) return;
  const int param = mGestureParam;
  mGestureParam = -1;
  const PluginLockGate gate(mPlug, this);
  if (mPlug && gate.Held()) mPlug->EndParamGesture(param);
}

void IEditorGraphics::OnMouseDown(int x, int y, const IMouseState& mouse) {
  // A press while a gesture is still open means its release never arrived.
  EndGesture();
  ReleaseCapture();
  const int i = FindControlAt(x, y);
  if (i < 0) return;
  mCapture = i;
  mMouseX = x;
  mMouseY = y;
  IEditorControl* control = mControls[static_cast<std::size_t>(i)].get();
  // The gesture begins before the control acts on the press, so that a value
  // the press sends (a momentary button's 1) lies inside the gesture and a
  // host recording touch automation keeps it.
  const int param = control->ParamIdx();
  if (param >= 0 && mPlug) {
    // The host may answer the gesture by calling the plug-in back, so it is
    // sent holding the plug-in lock, taken through the gate.
    const PluginLockGate gate(mPlug, this);
    if (gate.Held()) {
      mPlug->BeginParamGesture(param);
      mGestureParam = param;
    }
  }
  control->OnMouseDown(x, y, mouse);
}

void IEditorGraphics::OnMouseUp(int x, int y) {
  const int i = FindControlAt(x, y);
  ReleaseCapture();
  if (i >= 0) mControls[static_cast<std::size_t>(i)]->OnMouseUp(x, y);
  // Only a gesture that a press began is ended, so the host always sees
  // begin and end in pairs (a release without a press, e.g. the second one
  // of a double click, ends nothing).
  EndGesture();
}

bool IEditorGraphics::OnMouseOver(int x, int y, const IMouseState& mouse) {
  if (!mHandleMouseOver) return false;
  const int i = FindControlAt(x, y);
  if (i < 0) return true;
  mMouseX = x;
  mMouseY = y;
  mControls[static_cast<std::size_t>(i)]->OnMouseOver(x, y, mouse);
  if (mMouseOver >= 0 && mMouseOver != i) mControls[static_cast<std::size_t>(mMouseOver)]->OnMouseOut();
  mMouseOver = i;
  return true;
}

void IEditorGraphics::OnMouseDrag(int x, int y, const IMouseState& mouse) {
  if (mCapture < 0 || (x == mMouseX && y == mMouseY)) return;
  const int dX = x - mMouseX;
  const int dY = y - mMouseY;
  mMouseX = x;
  mMouseY = y;
  mControls[static_cast<std::size_t>(mCapture)]->OnMouseDrag(x, y, dX, dY, mouse);
}

bool IEditorGraphics::OnMouseDoubleClick(int x, int y, const IMouseState& mouse) {
  EndGesture();
  ReleaseCapture();
  const int i = FindControlAt(x, y);
  if (i < 0) return false;
  IEditorControl* control = mControls[static_cast<std::size_t>(i)].get();
  if (!control->DblAsSingleClick()) {
    control->OnMouseDoubleClick(x, y, mouse);
    return false;
  }
  mCapture = i;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDown(x, y, mouse);
  return true;
}

void IEditorGraphics::OnMouseWheel(int x, int y, const IMouseState& mouse, int d) {
  const int i = FindControlAt(x, y);
  if (i >= 0) mControls[static_cast<std::size_t>(i)]->OnMouseWheel(x, y, mouse, d);
}

void IEditorGraphics::OnMouseOut() {
  for (auto& control : mControls) control->OnMouseOut();
  mMouseOver = -1;
}

int IEditorGraphics::FindControlAt(int x, int y) const {
  if (mCapture >= 0) return mCapture;
  for (int i = NControls() - 1; i >= 0; --i) {
    IEditorControl* control = mControls[static_cast<std::size_t>(i)].get();
    if (!control->IsHidden() && !control->IsGrayed() && control->IsHit(x, y)) return i;
  }
  return -1;
}

bool IEditorGraphics::DrawImageFrame(const IImage& image, const IRect& rect, int frame, const IBlend* blend) {
  int srcY = 0;
  if (image.N > 1 && frame > 1) {
    // Every frame past the last reads from below the image and draws
    // nothing; limiting it keeps the arithmetic inside int.
    frame = std::min(frame, image.N + 1);
    srcY = static_cast<int>(static_cast<double>(image.H) * (frame - 1) / image.N + 0.5);
  }
  return DrawImage(image, rect, 0, srcY, blend);
}

bool IEditorGraphics::DrawRect(const IColor& color, const IRect& rect) {
  // All four are drawn even when one fails.
  const bool top = DrawHorizontalLine(color, rect.T, rect.L, rect.R);
  const bool bottom = DrawHorizontalLine(color, rect.B, rect.L, rect.R);
  const bool left = DrawVerticalLine(color, rect.L, rect.T, rect.B);
  const bool right = DrawVerticalLine(color, rect.R, rect.T, rect.B);
  return top && bottom && left && right;
}

bool IEditorGraphics::DrawVerticalLineAt(const IColor& color, const IRect& rect, float f) {
  f = ClampFraction(f);
  const int x = rect.L + static_cast<int>(f * static_cast<float>(rect.R - rect.L));
  return DrawVerticalLine(color, x, rect.T, rect.B);
}

bool IEditorGraphics::DrawHorizontalLineAt(const IColor& color, const IRect& rect, float f) {
  f = ClampFraction(f);
  const int y = rect.B - static_cast<int>(f * static_cast<float>(rect.B - rect.T));
  return DrawHorizontalLine(color, y, rect.L, rect.R);
}

}  // namespace sorvano
