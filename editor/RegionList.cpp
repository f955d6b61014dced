#include "editor/RegionList.h"

#include "editor/PanelLink.h"
#include "editor/PluginLink.h"
#include "framework/Assert.h"

namespace sorvano {

void RegionList::SetRects(int i, const IRect& mainRect, const IRect& overviewRect) {
  if (!Valid(i)) return;
  At(i).mMainRect = mainRect;
  At(i).mOverviewRect = overviewRect;
}

void RegionList::Reserve(int count) {
  if (count > 0) mMods.reserve(static_cast<size_t>(count));
  mPlugin->ReserveMods(count);
}

int RegionList::Add(const ModRegion& region, const IRect& mainRect) {
  EditorMod mod;
  mod.mRegion = region;
  mod.mMainRect = mainRect;
  mod.UpdateGainText();
  mod.UpdateFadeText();
  const int n = Count();
  mMods.push_back(mod);
  const EditorMod* pMod = &mMods.back();
  if (mPlugin->AddMod(&pMod->mRegion, pMod->mModAmp, pMod->mFade) != n + 1) {
    AssertionFailed(kAddCheck, kCheckSource, kAddCheckLine);
    Resynchronise();
  }
  const int index = Valid(n) ? n : -1;
  if (mPanel) mPanel->ShowSelection(index, Count());
  return index;
}

void RegionList::Restore(const EditorMod& stored) {
  EditorMod mod = stored;
  mod.UpdateGainText();
  mod.UpdateFadeText();
  const int n = Count();
  mMods.push_back(mod);
  if (mPlugin->AddMod(&mod.mRegion, mod.mModAmp, mod.mFade) != n + 1) {
    Resynchronise();
    return;
  }
  if (mod.mMute) mPlugin->ToggleModMute(n);
  if (mod.mSolo) mPlugin->ToggleModSolo(n);
  if (mod.mBypass) mPlugin->ToggleModBypass(n);
}

void RegionList::Delete(int idx) {
  if (!Valid(idx)) return;
  mMods.erase(mMods.begin() + idx);
  if (mSelected == idx) {
    mSelected = -1;
    if (mSelectionCleared) mSelectionCleared();
  } else if (idx < mSelected) {
    --mSelected;
  }
  const int n = Count();
  if (mPlugin->DeleteMod(idx) != n) {
    AssertionFailed(kDeleteCheck, kCheckSource, kDeleteCheckLine);
    Resynchronise();
  }
  ShowSelection();
}

bool RegionList::DropSelectedIfNeutral() {
  const EditorMod* selected = SelectedMod();
  if (!selected || !mDropNeutral || !selected->IsNeutral()) return false;
  Delete(mSelected);
  return true;
}

int RegionList::Select(int i) {
  if (!Valid(i)) return -1;
  if (mSelected >= 0 && mSelected != i) {
    const int previous = mSelected;
    if (DropSelectedIfNeutral() && previous < i) --i;
  }
  mSelected = i;
  ShowSelection();
  return i;
}

void RegionList::CopySettings(const EditorMod& source, int dst) {
  if (!Valid(dst)) return;
  ChangeGain(dst, source.GainDb());
  ChangeFade(dst, source.mFade - EditorMod::kDefaultFade);
  if (source.mMute) ToggleMute(dst);
  if (source.mSolo) ToggleSolo(dst);
}

void RegionList::Move(int i, const ModRegion& region, const IRect& mainRect) {
  if (!Valid(i)) return;
  At(i).mRegion = region;
  At(i).mMainRect = mainRect;
  Update(i);
}

void RegionList::ChangeGain(int i, double dB) {
  if (!Valid(i) || dB == 0.0) return;
  if (At(i).mMute) ToggleMute(i);
  At(i).AddGainDb(dB);
  At(i).UpdateGainText();
  Update(i);
}

void RegionList::ChangeFade(int i, double delta) {
  if (!Valid(i) || delta == 0.0) return;
  At(i).AddFade(delta);
  At(i).UpdateFadeText();
  Update(i);
}

void RegionList::ChangeAllGains(double dB) {
  if (dB == 0.0) return;
  for (int i = 0; i < Count(); ++i) {
    At(i).AddGainDb(dB);
    At(i).UpdateGainText();
    Update(i);
  }
}

void RegionList::ChangeAllFades(double delta) {
  if (delta == 0.0) return;
  for (int i = 0; i < Count(); ++i) {
    At(i).AddFade(delta);
    At(i).UpdateFadeText();
    Update(i);
  }
}

void RegionList::ResetGain(int i) {
  if (!Valid(i)) return;
  At(i).mModAmp = EditorMod::kDefaultAmp;
  At(i).UpdateGainText();
  Update(i);
}

void RegionList::ResetFade(int i) {
  if (!Valid(i)) return;
  At(i).mFade = EditorMod::kDefaultFade;
  At(i).UpdateFadeText();
  Update(i);
}

void RegionList::ToggleMute(int i) {
  if (!Valid(i)) return;
  EditorMod& mod = At(i);
  mod.mMute = !mod.mMute;
  mPlugin->ToggleModMute(i);
  if (mod.mMute && mod.mSolo) {
    mod.mSolo = false;
    mPlugin->ToggleModSolo(i);
  }
  mod.UpdateGainText();
}

void RegionList::ToggleSolo(int i) {
  if (!Valid(i)) return;
  EditorMod& mod = At(i);
  mod.mSolo = !mod.mSolo;
  mPlugin->ToggleModSolo(i);
  if (mod.mSolo && mod.mMute) {
    mod.mMute = false;
    mPlugin->ToggleModMute(i);
    mod.UpdateGainText();
  }
}

void RegionList::ToggleBypass(int i) {
  if (!Valid(i)) return;
  At(i).mBypass = !At(i).mBypass;
  mPlugin->ToggleModBypass(i);
}

void RegionList::SetDropNeutral(bool drop) {
  mDropNeutral = drop;
  if (!drop) return;
  for (int i = 0; i < Count();) {
    if (At(i).IsNeutral()) {
      Delete(i);
    } else {
      ++i;
    }
  }
}

void RegionList::Clear() {
  mMods.clear();
  if (mSelected >= 0) {
    mSelected = -1;
    if (mSelectionCleared) mSelectionCleared();
  }
  mPlugin->ClearMods();
  ShowSelection();
}

void RegionList::Update(int i) {
  const EditorMod& mod = At(i);
  mPlugin->UpdateMod(i, &mod.mRegion, mod.mModAmp, mod.mFade);
}

void RegionList::ShowSelection() {
  if (mPanel) mPanel->ShowSelection(mSelected, Count());
}

void RegionList::Resynchronise() {
  mPlugin->ClearMods();
  for (int i = 0; i < Count(); ++i) {
    const EditorMod& mod = At(i);
    if (mPlugin->AddMod(&mod.mRegion, mod.mModAmp, mod.mFade) != i + 1) {
      // The engine takes no more: the view keeps what the engine holds.
      mMods.resize(static_cast<size_t>(i));
      if (mSelected >= i) {
        mSelected = -1;
        if (mSelectionCleared) mSelectionCleared();
      }
      return;
    }
    if (mod.mMute) mPlugin->ToggleModMute(i);
    if (mod.mSolo) mPlugin->ToggleModSolo(i);
    if (mod.mBypass) mPlugin->ToggleModBypass(i);
  }
}

}  // namespace sorvano
