#pragma once

namespace sorvano {

// What the sonogram view tells the side panel. The panel implements it; each
// call only stores the value and marks the panel dirty.
//
// Threads: the editor thread, and the host thread during a state restore
// (plug-in lock and view lock held), so the panel keeps these values in
// atomics.
class PanelLink {
public:
  virtual ~PanelLink() = default;

  virtual void ShowFollow(bool follow) = 0;
  virtual void ShowLoop(bool loop) = 0;
  // The selected index (-1 for none) and the number of regions.
  virtual void ShowSelection(int selected, int count) = 0;
};

}  // namespace sorvano
