#pragma once

namespace sorvano {

// The sonogram view's operations that the side panel calls. The view
// implements it.
//
// Editor thread only, with no lock held: each operation that changes regions
// takes the plug-in lock through the gate and then the view's lock itself,
// and does nothing when the gate gives up.
class ViewCommands {
public:
  virtual ~ViewCommands() = default;

  // Selects region idx (an invalid index does nothing).
  virtual void SelectRegion(int idx) = 0;
  // Changes every region's gain by dB, every region's fade by delta.
  virtual void ChangeAllGains(double dB) = 0;
  virtual void ChangeAllFades(double delta) = 0;
  // The "discard unmodified" switch: on deletes every neutral region at once.
  virtual void SetDropNeutral(bool drop) = 0;
  // Shows the detected loop in the main pane (nothing when none is known).
  virtual void FitLoop() = 0;
  virtual void SetFollow(bool follow) = 0;
  // Every region shows its fade extent while on.
  virtual void SetShowFades(bool show) = 0;
  // Deletes every region and the whole history (the "reset" countdown).
  virtual void ClearAll() = 0;
};

}  // namespace sorvano
