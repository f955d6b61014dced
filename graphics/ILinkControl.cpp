#include "graphics/ILinkControl.h"

#include "framework/BoundedString.h"
#include "graphics/IEditorGraphics.h"

namespace sorvano {

ILinkControl::ILinkControl(IEffectBase* plug, const IRect& rect, const char* address,
                           const char* fallbackAddress, const char* title)
    : IEditorControl(plug, rect, -1, IBlend::kDefault, 1.0f) {
  CopyBounded(mAddress, address);
  CopyBounded(mFallbackAddress, fallbackAddress);
  CopyBounded(mTitle, title);
}

void ILinkControl::OnMouseDown(int, int, const IMouseState&) {
  IEditorGraphics* graphics = GetGraphics();
  if (!graphics) return;
  if (mAddress[0] && graphics->OpenLink(mAddress, mTitle, nullptr, nullptr)) return;
  if (mFallbackAddress[0]) graphics->OpenLink(mFallbackAddress, mTitle, nullptr, nullptr);
}

bool ILinkControl::Draw(IEditorGraphics&) { return true; }

}  // namespace sorvano
