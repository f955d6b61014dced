#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "editor/PluginLink.h"
#include "engine/Fft.h"
#include "engine/ModList.h"
#include "engine/SpectralRing.h"
#include "engine/StftProcessor.h"
#include "framework/vst/IEffectVST.h"

namespace sorvano {

class ViewLink;
class SidePanelLink;
class SidePanel;
class SorvanoControl;

// The effect: a stereo STFT processor that applies the gains of user-drawn
// time-frequency regions and hands the processed spectra to the sonogram view.
//
// Threads and locks:
// - The audio thread runs ProcessDoubleReplacing with the plug-in lock held
//   (taken by the binding). It takes the ring lock only to publish or discard
//   frames at the start of a block and around each frame's copy into the ring.
// - The editor calls the region operations (AddMod ... ToggleModBypass) and
//   CycleColorMap; each takes the plug-in lock, so the list never changes
//   during a block. Editor-thread callers take the plug-in lock first, with a
//   timeout, so that a closing editor cannot deadlock with the host.
// - The view calls ReadSpectralFrames, which takes only the ring lock.
// Lock order: plug-in lock, then ring lock; never the other way round.
class Sorvano : public IEffectVST, public PluginLink {
public:
  enum ParamId : int { kParamReset = 0, kParamBright = 1, kParamColorMap = 2, kNumParams = 3 };

  static constexpr int kLatency = StftProcessor::kFrameSize;
  // Host position differences up to this many samples are not transport jumps.
  static constexpr int kJumpTolerance = 8;
  // Both frame buffers and the ring in one allocation: 327,680 bytes.
  static constexpr int kBlockEntries = 2 * StftProcessor::kFrameSize + SpectralRing::kEntries;
  // The editor's size in pixels.
  static constexpr int kEditorWidth = 640;
  static constexpr int kEditorHeight = 540;
  // First item of the saved state.
  static constexpr int32_t kStateTag = 1014;

  // Entry point, under the process-wide construction lock. The last step
  // assembles the editor (engine/EditorAssembly.h).
  explicit Sorvano(VstHostCallback hostCallback);
  ~Sorvano() override;

  // Host thread, plug-in lock held: hands the current sample rate to the view.
  // The processor's frames, ring and counters are left as they are.
  void Reset() override;
  // Any thread, plug-in lock held: "reset" goes to the side panel's
  // countdown, "bright" and "colormap" (always both) to the view.
  void OnParamChange(int paramIdx) override;
  // Host thread, plug-in lock held (the binding's chunk calls). The state:
  // tag 1014, the values of "bright" and "colormap" as doubles, then the
  // view's part (editor/SavedViewState.h): 72 + 75 N bytes for N regions.
  bool SerializeState(DataChunk* chunk) override;
  // Restoring, in this order:
  //   1. the tag and both values must be present and the view's fixed part
  //      complete; otherwise nothing changes and the result is -1;
  //   2. "bright" and "colormap" take the stored values (limited to their
  //      ranges) and the view shows them;
  //   3. the view replaces its windows and regions, the engine's list is
  //      rebuilt from them at this instance's sample rate.
  // Answers the position after the data, or -1 when the region blocks were
  // cut short (the regions before the cut are restored) or the data is not
  // recognised, so that the host learns the restore was not complete.
  int UnserializeState(const DataChunk* chunk, int pos) override;
  // The bank chunk carries the regions too.
  bool BankChunkCarriesState() const override { return true; }

  // Audio thread, plug-in lock held. inputs[0], inputs[1] are left and right
  // (outputs likewise); input and output may be the same buffers. A block
  // without buffers or frames only runs the block-start bookkeeping.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // Editor thread (the sonogram view); takes the ring lock. Copies every
  // published, unread spectral frame to dest, oldest first (dest holds at
  // least SpectralRing::kMaxRead entries) and returns the number of entries,
  // a multiple of 1024. The frames of one read are consecutive hops; on a
  // non-zero return *framePos is the position of the last one.
  int ReadSpectralFrames(Complex* dest, int* framePos) override;

  // Region list operations; each takes the plug-in lock. Records are built
  // at the current sample rate, before the lock is taken (they are rebuilt
  // under it only if the rate changed meanwhile), so that the lock is held
  // for a copy. See ModList for indices and results; a null region adds or
  // changes nothing.
  int AddMod(const ModRegion* region, double gain, double fade) override;
  int DeleteMod(int idx) override;
  void UpdateMod(int idx, const ModRegion* region, double gain, double fade) override;
  void ClearMods() override;
  void ToggleModMute(int idx) override;
  void ToggleModSolo(int idx) override;
  void ToggleModBypass(int idx) override;
  // Any thread, without the plug-in lock: see ModList::Reserve.
  void ReserveMods(int count) override;

  // Editor thread (the side panel); takes the plug-in lock. Steps "colormap"
  // to the next of its four values, wrapping, and passes it on to the view.
  // The host is not told.
  void CycleColorMap() override;
  // Any thread: the "colormap" value last applied, as a map index.
  int ColorMapIndex() const override { return mColorMapIndex.load(std::memory_order_relaxed); }
  IEffectBase* Effect() override { return this; }

  // Editor assembly, plug-in lock taken: the view and the side panel that
  // OnParamChange, Reset and the publishing of frames talk to. Until then
  // (or with null) those messages are skipped.
  void ConnectEditorViews(ViewLink* view, SidePanelLink* sidePanel);

  // The editor's own controls, for the headless tools and tests; owned by
  // the editor, valid for the plug-in's life.
  SorvanoControl* EditorView() const { return mEditorView; }
  SidePanel* EditorPanel() const { return mEditorPanel; }

  // Inspection, for tests; the plug-in lock held by the caller.
  const StftProcessor& Processor() const { return mProcessor; }
  const ModList& Mods() const { return mMods; }
  std::span<const Complex> BlockBuffer() const { return mBlock; }
  int32_t NextPos() const { return mNextPos; }
  // Any thread; takes the ring lock.
  SpectralRing::Counters RingCounters() { return mSpectralRing.Snapshot(); }

private:
  void SetUpParams();

  int32_t mNextPos = 0;
  // Frame buffer A (entries 0..2047), frame buffer B (2048..4095) and the
  // ring (4096..20479); sized at construction, never resized.
  std::vector<Complex> mBlock;
  std::vector<int32_t> mSoloMarks;
  ModList mMods;
  SpectralRing mSpectralRing;
  StftProcessor mProcessor;
  std::atomic<int> mColorMapIndex{0};
  // The sample rate as of the last Reset, for building records before the
  // plug-in lock is taken; under the lock the real rate is checked.
  std::atomic<double> mModRate{44100.0};
  ViewLink* mView = nullptr;
  SidePanelLink* mSidePanel = nullptr;
  SorvanoControl* mEditorView = nullptr;
  SidePanel* mEditorPanel = nullptr;
};

}  // namespace sorvano
