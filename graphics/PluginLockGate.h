#pragma once

// The editor thread's only way to the plug-in lock.
//
// The host calls effEditClose with the plug-in lock held and waits there
// until the editor thread has stopped. An editor thread that blocked on the
// plug-in lock at that moment would wait for the host for ever, and the host
// for it. The gate instead tries the lock in short slices and gives up as
// soon as the editor is closing, so the editor thread always gets back to
// its loop and sees that it must stop. A gesture that could not get the lock
// is dropped.
//
// Editor thread only. Lock order: the gate (plug-in lock) before the view's
// lock and the ring lock, never inside them. The plug-in lock is re-entrant,
// so a caller inside the gate may call operations that take it again.

#include <chrono>

namespace sorvano {

class IEditorGraphics;
class IEffectBase;

class PluginLockGate {
public:
  // How long one attempt waits before the closing flag is looked at again.
  static constexpr std::chrono::milliseconds kSlice{5};

  // Takes the plug-in lock, trying slice after slice until it has it or
  // graphics says it is closing. Without a plug-in there is nothing to lock
  // and the gate counts as held; without a graphics object it never gives up.
  PluginLockGate(IEffectBase* plug, const IEditorGraphics* graphics);
  ~PluginLockGate();

  PluginLockGate(const PluginLockGate&) = delete;
  PluginLockGate& operator=(const PluginLockGate&) = delete;

  // Whether the caller may go on: the lock is held (or there is no plug-in).
  bool Held() const { return mHeld; }

private:
  IEffectBase* mPlug;
  bool mLocked = false;
  bool mHeld = false;
};

}  // namespace sorvano
