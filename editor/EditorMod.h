#pragma once

// The editor's region object: one per region drawn on the sonogram, owned by
// the view's region list (editor/RegionList.h), whose order is the engine's.
// Editor thread; the owner's lock guards it.

#include "editor/ModRegion.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

struct EditorMod {
  static constexpr double kDefaultAmp = 1.0;
  static constexpr double kDefaultFade = 0.1;
  // The gains a region can reach, in dB. The floor sits just below the
  // "-oo" threshold, so a silenced region reads "-oo" and comes back into
  // the numbers after 1 dB of knob; the ceiling keeps every sample the
  // processor multiplies by a gain finite.
  static constexpr double kMinGainDb = -145.0;
  static constexpr double kMaxGainDb = 40.0;
  // Gains below this are shown as "-oo".
  static constexpr double kSilentDb = -144.0;
  static constexpr int kTextSize = 32;

  ModRegion mRegion{};
  double mModAmp = kDefaultAmp;  // linear amplitude factor
  double mFade = kDefaultFade;   // fraction of the region's size, 0..1
  char mGainText[kTextSize] = "+0.0";
  char mFadeText[kTextSize] = "fade 0.1x";
  IRect mMainRect;      // in the main pane, recomputed at every draw
  IRect mOverviewRect;  // in the overview pane, likewise
  bool mMute = false;
  bool mSolo = false;
  bool mBypass = false;

  // Default gain and fade, all switches off.
  bool IsNeutral() const;

  // 20 log10 |mModAmp|, limited to kMinGainDb..kMaxGainDb; an amplitude of 0
  // or one that is not a number reads as the floor.
  double GainDb() const;
  // Changes the gain by dB within the floor and the ceiling (the caller
  // handles muting). A change of 0 or one that is not finite does nothing.
  // Answers whether the gain changed.
  bool AddGainDb(double dB);
  // mFade := clamp(mFade + delta, 0, 1); a fade that is not a number starts
  // again from the default. A delta of 0 or one that is not finite does
  // nothing. Answers whether the fade changed.
  bool AddFade(double delta);

  // "M" when muted, "-oo" below -144 dB, "+%.1f" from 0 dB up, else "%.1f".
  void UpdateGainText();
  // "fade %.1fx".
  void UpdateFadeText();
};

}  // namespace sorvano
