#pragma once

// A stand-in for the engine's region list behind PluginLink: it keeps what
// it was given, so that tests can compare it with the view's list index by
// index. It can be told to refuse adds, as an engine whose storage cannot
// grow would.

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <span>
#include <vector>

#include "editor/EditorMod.h"
#include "editor/PanelLink.h"
#include "editor/PluginLink.h"

namespace sorvano::test {

struct FakeRecord {
  ModRegion region{};
  double gain = 0.0;
  double fade = 0.0;
  bool mute = false, solo = false, bypass = false;
};

class FakeEngine : public PluginLink {
public:
  IEffectBase* Effect() override { return nullptr; }
  // One silent frame ending at mFramePos, once, when that is set.
  int ReadSpectralFrames(std::complex<double>* dest, int* framePos) override {
    if (mFramePos < 0) return 0;
    std::fill(dest, dest + 1024, std::complex<double>());
    *framePos = mFramePos;
    mFramePos = -1;
    return 1024;
  }
  int AddMod(const ModRegion* region, double gain, double fade) override {
    ++mAdds;
    if (region && (mAcceptLimit < 0 || Count() < mAcceptLimit)) {
      mRecords.push_back({*region, gain, fade});
    }
    return Count();
  }
  int DeleteMod(int idx) override {
    const int before = Count();
    if (idx >= 0 && idx < before) mRecords.erase(mRecords.begin() + idx);
    return before - 1;
  }
  void UpdateMod(int idx, const ModRegion* region, double gain, double fade) override {
    ++mUpdates;
    if (!region || !Valid(idx)) return;
    FakeRecord& r = mRecords[size_t(idx)];
    r.region = *region;
    r.gain = gain;
    r.fade = fade;
  }
  void ClearMods() override { mRecords.clear(); }
  void ToggleModMute(int idx) override {
    if (Valid(idx)) mRecords[size_t(idx)].mute ^= true;
  }
  void ToggleModSolo(int idx) override {
    if (Valid(idx)) mRecords[size_t(idx)].solo ^= true;
  }
  void ToggleModBypass(int idx) override {
    if (Valid(idx)) mRecords[size_t(idx)].bypass ^= true;
  }
  void ReserveMods(int count) override { mReserved = count; }
  void CycleColorMap() override {}
  int ColorMapIndex() const override { return 0; }

  int Count() const { return int(mRecords.size()); }
  bool Valid(int idx) const { return idx >= 0 && idx < Count(); }

  std::vector<FakeRecord> mRecords;
  int mAcceptLimit = -1;  // -1: no limit
  int mAdds = 0;
  int mUpdates = 0;
  int mReserved = 0;
  int mFramePos = -1;
};

class FakePanel : public PanelLink {
public:
  void ShowFollow(bool follow) override { mFollow = follow; }
  void ShowLoop(bool loop) override { mLoop = loop; }
  void ShowSelection(int selected, int count) override {
    mSelected = selected;
    mCount = count;
    ++mShown;
  }
  bool mFollow = true;
  bool mLoop = false;
  int mSelected = -2;
  int mCount = -1;
  int mShown = 0;
};

// The view's list and the engine's agree index by index: the same region,
// gain, fade and switches.
inline ::testing::AssertionResult ListsAgree(std::span<const EditorMod> view,
                                             const std::vector<FakeRecord>& engine) {
  if (view.size() != engine.size()) {
    return ::testing::AssertionFailure()
           << "view has " << view.size() << " regions, engine " << engine.size();
  }
  for (size_t i = 0; i < view.size(); ++i) {
    const EditorMod& m = view[i];
    const FakeRecord& r = engine[i];
    if (!(m.mRegion == r.region) || m.mModAmp != r.gain || m.mFade != r.fade ||
        m.mMute != r.mute || m.mSolo != r.solo || m.mBypass != r.bypass) {
      return ::testing::AssertionFailure() << "region " << i << " differs";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace sorvano::test
