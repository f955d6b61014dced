#pragma once

// The view's regions, mirrored one for one into the engine's region list: the
// same order, so the same index names the same region on both sides. Every
// operation changes the view's list and the engine's together (through
// PluginLink), keeps the selected index pointing at the same region, and
// tells the side panel the selection and count.
//
// Editor thread (and a host thread during a state restore). The caller holds
// the plug-in lock, taken through the PluginLockGate, and then the view's
// lock, for the whole operation; the engine's operations take the plug-in
// lock again, which is re-entrant.
//
// The count checks after AddMod and DeleteMod report a mismatch through the
// assertion handler and then rebuild the engine's list from the view's, so
// the two agree again whatever went wrong.

#include <functional>
#include <span>
#include <vector>

#include "editor/EditorMod.h"

namespace sorvano {

class PanelLink;
class PluginLink;

class RegionList {
public:
  // What the assertion handler receives when a count check fails.
  static constexpr const char* kAddCheck =
      "mSorvano->AddMod(&pMod->mRegion, pMod->mModAmp, pMod->mFade) == n + 1";
  static constexpr const char* kDeleteCheck = "mSorvano->DeleteMod(idx) == n";
  static constexpr const char* kCheckSource = ".\\SorvanoControl";
  static constexpr int kAddCheckLine = 1012;
  static constexpr int kDeleteCheckLine = 1064;

  explicit RegionList(PluginLink* plugin) : mPlugin(plugin) {}

  // The panel that shows the selection and count; null shows nothing.
  void SetPanel(PanelLink* panel) { mPanel = panel; }
  // Called whenever the selection is cleared by a delete, so that the view
  // drops the selection's marked rectangle and hit rectangles.
  void OnSelectionCleared(std::function<void()> handler) { mSelectionCleared = std::move(handler); }

  int Count() const { return static_cast<int>(mMods.size()); }
  bool Valid(int i) const { return i >= 0 && i < Count(); }
  std::span<const EditorMod> Mods() const { return mMods; }
  // Null for an invalid index.
  const EditorMod* Find(int i) const { return Valid(i) ? &mMods[static_cast<size_t>(i)] : nullptr; }
  // The rectangles are the view's to recompute while drawing.
  void SetRects(int i, const IRect& mainRect, const IRect& overviewRect);

  int Selected() const { return mSelected; }
  const EditorMod* SelectedMod() const { return Find(mSelected); }
  bool DropNeutral() const { return mDropNeutral; }

  // Makes room for count regions without allocating during the next adds.
  // Call it before taking the locks.
  void Reserve(int count);

  // Appends a new region with the default gain, fade and switches, and adds
  // it to the engine. Returns its index.
  int Add(const ModRegion& region, const IRect& mainRect);
  // Appends a region as stored (gain, fade, rectangles and switches) and
  // adds it to the engine with its switches, without the count check.
  void Restore(const EditorMod& mod);
  // Removes region i; a selection at i is cleared, one after i moves down.
  void Delete(int i);
  // Deletes the selected region if it is neutral and dropping is on.
  // Answers whether it did.
  bool DropSelectedIfNeutral();
  // Selects region i, first dropping the selected region if it is another,
  // neutral one and dropping is on. Returns the index region i has
  // afterwards, or -1 when i was invalid (then nothing changes).
  int Select(int i);
  void ClearSelection() { mSelected = -1; }

  // Duplicate's copy of a region's settings into the new region dst, as a
  // user would make it: the gain changed by the source's gain in dB, the fade
  // by the source's fade minus the default, mute and solo toggled on when the
  // source has them; bypass stays off. The source is a copy, since selecting
  // the new region may have dropped it.
  void CopySettings(const EditorMod& source, int dst);

  // A region's new place in time and frequency and in the main pane (a drag
  // step).
  void Move(int i, const ModRegion& region, const IRect& mainRect);
  // Unmutes a muted region first; a change of 0 does nothing.
  void ChangeGain(int i, double dB);
  void ChangeFade(int i, double delta);
  // The same for every region; the gains stay muted where they were.
  void ChangeAllGains(double dB);
  void ChangeAllFades(double delta);
  // Back to the default gain or fade (double click on a knob).
  void ResetGain(int i);
  void ResetFade(int i);

  // Muting a solo region turns solo off, and the other way round.
  void ToggleMute(int i);
  void ToggleSolo(int i);
  void ToggleBypass(int i);

  // On deletes every neutral region at once.
  void SetDropNeutral(bool drop);
  // Deletes every region here and in the engine.
  void Clear();

private:
  EditorMod& At(int i) { return mMods[static_cast<size_t>(i)]; }
  void Update(int i);
  void ShowSelection();
  // Rebuilds the engine's list from the view's after a failed count check;
  // regions the engine cannot take are dropped from the view too.
  void Resynchronise();

  PluginLink* mPlugin;
  PanelLink* mPanel = nullptr;
  std::function<void()> mSelectionCleared;
  std::vector<EditorMod> mMods;
  int mSelected = -1;
  bool mDropNeutral = true;
};

}  // namespace sorvano
