#pragma once

namespace sorvano {

// What the plug-in class tells the side panel. The panel implements it.
class SidePanelLink {
public:
  virtual ~SidePanelLink() = default;

  // Any thread, plug-in lock held (from OnParamChange): whether the "reset"
  // parameter is held on; held for five seconds, the panel clears all regions
  // and the history. Stores the state for the editor thread.
  virtual void SetResetCountdown(bool on) = 0;
};

}  // namespace sorvano
