#pragma once

#include "editor/SavedViewState.h"

namespace sorvano {

// What the plug-in class tells the sonogram view. The view implements it;
// every call only stores a value or raises a flag that the editor thread picks
// up at its next tick, so none of them blocks or allocates.
class ViewLink {
public:
  virtual ~ViewLink() = default;

  // Audio thread, plug-in lock held: frames were published to the spectral
  // ring; the view marks itself dirty so that it drains the ring and redraws.
  // Must not wait for anything the editor thread holds.
  virtual void OnFramesPublished() = 0;

  // Host thread, plug-in lock held (from Reset): the plug-in's sample rate.
  // The view converts it to whole Hz and rebuilds its frequency mapping only
  // when that changed.
  virtual void SetSampleRate(double rate) = 0;

  // Any thread, plug-in lock held (from OnParamChange): the values of the
  // "bright" and "colormap" parameters, always both together.
  virtual void SetDisplay(double brightness, int colorMap) = 0;

  // Host thread, plug-in lock held; takes the view's lock. The view's part of
  // the saved state: its overview range, windows and every region.
  virtual SavedViewState SaveState() = 0;

  // Host thread, plug-in lock held; takes the view's lock. Replaces the
  // view's data with a state read from a chunk: clears history, regions and
  // the engine's list, applies the windows that are valid, and adds every
  // region to both lists (the engine's through AddMod and the toggles, at the
  // current sample rate); the selection is cleared and the panel told.
  virtual void RestoreState(const SavedViewState& state) = 0;
};

}  // namespace sorvano
