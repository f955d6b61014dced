#pragma once

#include <complex>

#include "editor/ModRegion.h"

namespace sorvano {

class IEffectBase;

// What the sonogram view and the side panel need of the plug-in. The plug-in
// class implements it, so the editor library never depends on the engine.
//
// Threads and locks: the region operations take the plug-in lock (it is
// re-entrant). Editor-thread callers reach it only through a PluginLockGate
// taken before the view's lock, and skip the operation when the gate gives
// up. ReadSpectralFrames takes only the ring lock.
class PluginLink {
public:
  virtual ~PluginLink() = default;

  // The plug-in as the framework sees it: for the gate, the parameters and
  // the host services.
  virtual IEffectBase* Effect() = 0;

  // Editor thread, inside the view's lock; takes the ring lock. Copies every
  // published, unread spectral frame (1024 complex bins each) to dest,
  // oldest first (dest holds at least 15 frames) and returns the number of
  // entries, a multiple of 1024. On a non-zero return *framePos receives the
  // song position just after the last frame copied; on 0 it is left alone.
  virtual int ReadSpectralFrames(std::complex<double>* dest, int* framePos) = 0;

  // The engine's region list, index for index the view's. AddMod and
  // DeleteMod answer the new count; invalid indices change nothing; a null
  // region adds or changes nothing.
  virtual int AddMod(const ModRegion* region, double gain, double fade) = 0;
  virtual int DeleteMod(int idx) = 0;
  virtual void UpdateMod(int idx, const ModRegion* region, double gain, double fade) = 0;
  virtual void ClearMods() = 0;
  virtual void ToggleModMute(int idx) = 0;
  virtual void ToggleModSolo(int idx) = 0;
  virtual void ToggleModBypass(int idx) = 0;
  // Editor thread, before the gate: makes room for count records, so that
  // the AddMod calls up to that count, made with the plug-in lock held,
  // allocate nothing while the audio thread may be waiting for the lock.
  virtual void ReserveMods(int count) { (void)count; }

  // Steps "colormap" to its next value (wrapping) and shows it; the host is
  // not told. Takes the plug-in lock.
  virtual void CycleColorMap() = 0;
  // Any thread, no lock: the current "colormap" value as a map index 0..3.
  virtual int ColorMapIndex() const = 0;
};

}  // namespace sorvano
