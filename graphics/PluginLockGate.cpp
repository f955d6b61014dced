#include "graphics/PluginLockGate.h"

#include "framework/IEffectBase.h"
#include "graphics/IEditorGraphics.h"

namespace sorvano {

PluginLockGate::PluginLockGate(IEffectBase* plug, const IEditorGraphics* graphics) : mPlug(plug) {
  if (!mPlug) {
    mHeld = true;
    return;
  }
  while (!(graphics && graphics->IsClosing())) {
    if (mPlug->TryLockFor(kSlice)) {
      mLocked = mHeld = true;
      return;
    }
  }
}

PluginLockGate::~PluginLockGate() {
  if (mLocked) mPlug->Unlock();
}

}  // namespace sorvano
