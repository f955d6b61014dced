#include "engine/Sorvano.h"

#include <algorithm>
#include <limits>

#include "editor/SavedViewState.h"
#include "editor/SidePanel.h"
#include "editor/SidePanelLink.h"
#include "editor/SorvanoControl.h"
#include "editor/ViewLink.h"
#include "engine/EditorAssembly.h"
#include "framework/DataChunk.h"
#include "framework/FourCharCode.h"

namespace sorvano {

namespace {

constexpr int kPackedVersion =
    (SORVANO_VERSION_MAJOR << 16) | (SORVANO_VERSION_MINOR << 8) | SORVANO_VERSION_PATCH;
constexpr int kColorMaps = 4;

}  // namespace

Sorvano::Sorvano(VstHostCallback hostCallback)
    : IEffectVST(hostCallback, kNumParams, "1-1 2-2", 0, "Sorvano (No SSE2)", "", "Orvek",
                 kPackedVersion, FourCharCode('5', '5', '9', '7'), FourCharCode('O', 'r', 'v', 'k'),
                 kLatency, false, true, false),
      mBlock(kBlockEntries),
      mSoloMarks(StftProcessor::kBinPairs),
      mSpectralRing(mBlock.data() + 2 * StftProcessor::kFrameSize),
      mProcessor(mBlock.data(), mSoloMarks.data(), mSpectralRing) {
  SetUpParams();
  const EditorControls editor = AssembleEditor(*this);
  mEditorView = editor.view;
  mEditorPanel = editor.panel;
  ConnectEditorViews(editor.view, editor.panel);
}

Sorvano::~Sorvano() {
  // The view and the panel reach into this object's members (ring, region
  // list, parameters), so they go before those do.
  ConnectEditorViews(nullptr, nullptr);
  DestroyEditor();
}

void Sorvano::SetUpParams() {
  GetParam(kParamReset)->SetupBool("reset", false);

  IEffectParam* bright = GetParam(kParamBright);
  bright->SetupDouble("bright", 1.0, 0.1, 10.0, 0.1, "x");
  bright->SetShapeExponent(2.0);

  IEffectParam* colorMap = GetParam(kParamColorMap);
  colorMap->SetupEnum("colormap", 0, kColorMaps);
  colorMap->AddDisplayText(1, "thermal");
  colorMap->AddDisplayText(2, "chlorine");
  colorMap->AddDisplayText(0, "pompeii");
  colorMap->AddDisplayText(3, "brrr");
}

void Sorvano::Reset() {
  mModRate.store(GetSampleRate(), std::memory_order_relaxed);
  if (mView) mView->SetSampleRate(GetSampleRate());
}

void Sorvano::OnParamChange(int paramIdx) {
  switch (paramIdx) {
    case kParamReset:
      if (mSidePanel) mSidePanel->SetResetCountdown(GetParam(kParamReset)->Value() >= 0.5);
      break;
    case kParamBright:
    case kParamColorMap: {
      // The parameter keeps its value inside 0..3; the limit only guards the
      // conversion to int.
      const double map = std::clamp(GetParam(kParamColorMap)->Value(), 0.0, kColorMaps - 1.0);
      mColorMapIndex.store(static_cast<int>(map), std::memory_order_relaxed);
      if (mView) mView->SetDisplay(GetParam(kParamBright)->Value(), static_cast<int>(map));
      break;
    }
    default:
      break;
  }
}

bool Sorvano::SerializeState(DataChunk* chunk) {
  if (!chunk) return false;
  ScopedLock lock(*this);
  chunk->Put(kStateTag);
  chunk->Put(GetParam(kParamBright)->Value());
  chunk->Put(GetParam(kParamColorMap)->Value());
  SavedViewStateFormat::Write(mView ? mView->SaveState() : SavedViewState{}, *chunk);
  return true;
}

int Sorvano::UnserializeState(const DataChunk* chunk, int pos) {
  if (!chunk) return -1;
  ScopedLock lock(*this);
  int32_t tag = 0;
  double bright = 0.0;
  double colorMap = 0.0;
  int at = chunk->Get(&tag, pos);
  if (at < 0 || tag != kStateTag) return -1;
  at = chunk->Get(&bright, at);
  at = chunk->Get(&colorMap, at);
  if (at < 0) return -1;

  // Everything is read and checked before anything changes.
  SavedViewState view;
  const auto result = SavedViewStateFormat::Read(*chunk, at, static_cast<int>(GetSampleRate()),
                                                 kEditorWidth, kEditorHeight, view);
  if (result == SavedViewStateFormat::Result::kIncomplete) return -1;

  GetParam(kParamBright)->Set(bright);
  GetParam(kParamColorMap)->Set(colorMap);
  // Both values reach the view together, so it shows the restored colours.
  OnParamChange(kParamColorMap);
  if (mView) mView->RestoreState(view);
  if (result != SavedViewStateFormat::Result::kComplete) return -1;
  return at + SavedViewStateFormat::kFixedBytes +
         static_cast<int>(view.mRegions.size()) * SavedViewStateFormat::kRegionBytes;
}

void Sorvano::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  // The framework always supplies both channels; a missing buffer is still
  // handled as an empty block rather than dereferenced.
  const bool haveBuffers =
      inputs && outputs && inputs[0] && inputs[1] && outputs[0] && outputs[1];
  const int n = haveBuffers && nFrames > 0 ? nFrames : 0;

  // Positions in 64 bits: pos + n and the tolerance band must not overflow
  // near the end of the int32 timeline.
  const int64_t pos = HostSamplePosition();
  const int64_t expected = mNextPos;
  if (pos > expected + kJumpTolerance || pos < expected - kJumpTolerance) {
    mSpectralRing.Discard();
  } else if (mSpectralRing.Publish() && mView) {
    mView->OnFramesPublished();
  }
  mNextPos = static_cast<int32_t>(
      std::min<int64_t>(pos + n, std::numeric_limits<int32_t>::max()));

  if (n > 0) mProcessor.Process(inputs[0], inputs[1], outputs[0], outputs[1], n, pos, mMods.Records());
}

int Sorvano::ReadSpectralFrames(Complex* dest, int* framePos) {
  return mSpectralRing.Read(dest, framePos);
}

int Sorvano::AddMod(const ModRegion* region, double gain, double fade) {
  if (!region) {
    ScopedLock lock(*this);
    return mMods.Count();
  }
  const double rate = mModRate.load(std::memory_order_relaxed);
  ModRecord record = BuildModRecord(*region, gain, fade, rate);
  ScopedLock lock(*this);
  if (GetSampleRate() != rate) record = BuildModRecord(*region, gain, fade, GetSampleRate());
  return mMods.Add(record);
}

int Sorvano::DeleteMod(int idx) {
  ScopedLock lock(*this);
  return mMods.Delete(idx);
}

void Sorvano::UpdateMod(int idx, const ModRegion* region, double gain, double fade) {
  if (!region) return;
  const double rate = mModRate.load(std::memory_order_relaxed);
  ModRecord record = BuildModRecord(*region, gain, fade, rate);
  ScopedLock lock(*this);
  if (GetSampleRate() != rate) record = BuildModRecord(*region, gain, fade, GetSampleRate());
  mMods.Update(idx, record);
}

void Sorvano::ClearMods() {
  ScopedLock lock(*this);
  mMods.Clear();
}

void Sorvano::ToggleModMute(int idx) {
  ScopedLock lock(*this);
  mMods.ToggleMute(idx);
}

void Sorvano::ToggleModSolo(int idx) {
  ScopedLock lock(*this);
  mMods.ToggleSolo(idx);
}

void Sorvano::ToggleModBypass(int idx) {
  ScopedLock lock(*this);
  mMods.ToggleBypass(idx);
}

void Sorvano::ReserveMods(int count) { mMods.Reserve(count); }

void Sorvano::CycleColorMap() {
  ScopedLock lock(*this);
  IEffectParam* colorMap = GetParam(kParamColorMap);
  const double current = std::clamp(colorMap->Value(), 0.0, kColorMaps - 1.0);
  colorMap->Set((static_cast<int>(current) + 1) % kColorMaps);
  OnParamChange(kParamColorMap);
}

void Sorvano::ConnectEditorViews(ViewLink* view, SidePanelLink* sidePanel) {
  ScopedLock lock(*this);
  mView = view;
  mSidePanel = sidePanel;
}

// The module's factory: the entry point calls it under its construction lock.
IEffectVST* CreatePluginInstance(VstHostCallback hostCallback) {
  return new Sorvano(hostCallback);
}

}  // namespace sorvano
