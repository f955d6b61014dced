#include "editor/EditorMod.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sorvano {

bool EditorMod::IsNeutral() const {
  return mModAmp == kDefaultAmp && mFade == kDefaultFade && !mMute && !mSolo && !mBypass;
}

double EditorMod::GainDb() const {
  const double amp = std::fabs(mModAmp);
  if (!(amp > 0.0)) return kMinGainDb;  // 0 and not-a-number
  return std::clamp(20.0 * std::log10(amp), kMinGainDb, kMaxGainDb);
}

bool EditorMod::AddGainDb(double dB) {
  if (dB == 0.0 || !std::isfinite(dB)) return false;
  const double target = std::clamp(GainDb() + dB, kMinGainDb, kMaxGainDb);
  const double amp = std::pow(10.0, target / 20.0);
  if (amp == mModAmp) return false;
  mModAmp = amp;
  return true;
}

bool EditorMod::AddFade(double delta) {
  if (delta == 0.0 || !std::isfinite(delta)) return false;
  const double from = std::isnan(mFade) ? kDefaultFade : mFade;
  const double fade = std::clamp(from + delta, 0.0, 1.0);
  if (fade == mFade) return false;
  mFade = fade;
  return true;
}

void EditorMod::UpdateGainText() {
  if (mMute) {
    std::snprintf(mGainText, sizeof mGainText, "M");
    return;
  }
  const double amp = std::fabs(mModAmp);
  const double dB = amp > 0.0 ? 20.0 * std::log10(amp) : -HUGE_VAL;
  if (std::isnan(dB) || dB < kSilentDb) {
    std::snprintf(mGainText, sizeof mGainText, "-oo");
  } else if (dB >= 0.0) {
    std::snprintf(mGainText, sizeof mGainText, "+%.1f", dB);
  } else {
    std::snprintf(mGainText, sizeof mGainText, "%.1f", dB);
  }
}

void EditorMod::UpdateFadeText() {
  std::snprintf(mFadeText, sizeof mFadeText, "fade %.1fx", mFade);
}

}  // namespace sorvano
