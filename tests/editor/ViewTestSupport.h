#pragma once

// Shared helpers of the view tests: a plug-in link that hands out scripted
// frames, and a guard that lets the view load ear images that are not among
// the resources yet.

#include <complex>
#include <cstring>
#include <deque>
#include <vector>

#include "editor/PanelLink.h"
#include "editor/PluginLink.h"
#include "framework/Assert.h"

namespace sorvano::test {

// Ignores exactly the missing-image assertion while it lives; any other
// assertion fails the test.
class MissingImageTolerance {
public:
  MissingImageTolerance() : mPrevious(SetAssertionHandler(&Handle)) {}
  ~MissingImageTolerance() { SetAssertionHandler(mPrevious); }

private:
  static void Handle(const char* expression, const char* file, int line) {
    if (std::strcmp(expression, "imgResourceFound") == 0) return;
    ADD_FAILURE_AT(file, line) << "assertion failed: " << expression;
  }
  AssertionHandler mPrevious;
};

// Frames as the ring would give them: each read returns what was queued
// since the last one, with the position after its last frame.
class ScriptedPlugin : public PluginLink {
public:
  struct Read {
    std::vector<std::complex<double>> entries;
    int framePos;
  };

  // Queues one read of `frames` frames ending at framePos, each frame with
  // bin `bin` at magnitude `level` (and nothing else).
  void Queue(int frames, int framePos, int bin = -1, double level = 0.0) {
    Read read{std::vector<std::complex<double>>(static_cast<std::size_t>(frames) * 1024), framePos};
    if (bin >= 0) {
      for (int f = 0; f < frames; ++f)
        read.entries[static_cast<std::size_t>(f * 1024 + bin)] = level;
    }
    mReads.push_back(std::move(read));
  }

  IEffectBase* Effect() override { return nullptr; }
  int ReadSpectralFrames(std::complex<double>* dest, int* framePos) override {
    ++mReadCalls;
    if (mReads.empty()) return 0;
    const Read read = std::move(mReads.front());
    mReads.pop_front();
    std::copy(read.entries.begin(), read.entries.end(), dest);
    if (!read.entries.empty()) *framePos = read.framePos;
    return static_cast<int>(read.entries.size());
  }
  int AddMod(const ModRegion*, double, double) override { return 0; }
  int DeleteMod(int) override { return 0; }
  void UpdateMod(int, const ModRegion*, double, double) override {}
  void ClearMods() override { ++mClearMods; }
  void ToggleModMute(int) override {}
  void ToggleModSolo(int) override {}
  void ToggleModBypass(int) override {}
  void CycleColorMap() override {}
  int ColorMapIndex() const override { return 0; }

  int mReadCalls = 0;
  int mClearMods = 0;

private:
  std::deque<Read> mReads;
};

// Records what the view tells the panel.
class RecordingPanel : public PanelLink {
public:
  void ShowFollow(bool follow) override { mFollow.push_back(follow); }
  void ShowLoop(bool loop) override { mLoop.push_back(loop); }
  void ShowSelection(int selected, int count) override { mSelection.push_back({selected, count}); }

  std::vector<bool> mFollow;
  std::vector<bool> mLoop;
  std::vector<std::pair<int, int>> mSelection;
};

}  // namespace sorvano::test
