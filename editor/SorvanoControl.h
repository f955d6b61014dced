#pragma once

// The sonogram view: the large control of the editor. It turns the spectral
// frames the audio thread publishes into a scrolling, colour-mapped sonogram,
// keeps every column heard since it was created so that any stretch can be
// shown again at any zoom, and shows it in two panes: the main pane, a
// zoomable window onto time and frequency, and the overview pane below it,
// which spans the whole history and marks the main pane's window.
//
// The control owns the view lock and its parts, each with one job: the
// column history, the two panes, the frequency labels and the playback
// tracker. Region editing has parts of its own beside them: the region list
// mirrored into the engine (RegionList), the geometry of the gestures
// (RegionGestures), the selected region's widgets (SelectionLayout) and the
// painter (RegionPainter); the mouse handlers that drive them are in
// SorvanoControlMouse.cpp.
//
// Draw, under the view lock from the first step to the last:
//   1. Pick up what host threads handed over (sample rate, brightness and
//      colour map): rows, labels and colours are rebuilt here, never on the
//      host thread.
//   2. Drain the ring (the ring lock is taken inside, for the copy only) and
//      let the tracker move the position, detect or forget the loop, grow the
//      overview and page the main pane; the panes re-render for new ranges.
//   3. Each new frame becomes a history column (magnitudes, warp) and is
//      painted into both panes; a column whose memory could not be had is
//      painted black.
//   4. Copy both panes' pixels into the surface, draw the frequency labels,
//      the outlines and time labels, the regions, the playheads, the overview
//      window with its handles (storing their hit rectangles), the loop marks.
//
// Threads:
//   - Editor thread: Draw, the commands of ViewCommands, SetPanel and the
//     range operations. Commands take the view lock; ClearAll first takes the
//     plug-in lock through the gate (lock order: plug-in, view, ring).
//   - Audio thread: OnFramesPublished only marks the control dirty.
//   - Host threads: SetSampleRate and SetDisplay only store atomics. A state
//     restore is the exception: with the plug-in lock held it takes the view
//     lock and replaces history, windows and regions at once.

#include <atomic>
#include <complex>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "editor/AxisLabels.h"
#include "editor/ColumnHistory.h"
#include "editor/PlaybackTracker.h"
#include "editor/RegionList.h"
#include "editor/SonogramPane.h"
#include "editor/ViewCommands.h"
#include "editor/ViewLink.h"
#include "editor/ViewModes.h"
#include "graphics/IEditorControl.h"

namespace sorvano {

class IEditorGraphics;
class PanelLink;
class PluginLink;

class SorvanoControl : public IEditorControl, public ViewLink, public ViewCommands {
public:
  // Where the view takes the mouse.
  static constexpr IRect kRect{24, 24, 616, 445};
  // Where it draws: the overview's time labels reach four lines below kRect.
  // A redraw of the view repaints the background there too, so the labels
  // are not blended again over their own ink at every tick.
  static constexpr IRect kDrawnRect{24, 24, 616, 449};
  static constexpr IRect kMainRect{30, 40, 576, 353};
  static constexpr IRect kOverviewRect{30, 362, 605, 429};
  static constexpr int32_t kMainSpan = 220160;
  static constexpr int32_t kOverviewSpan = 1323008;
  static constexpr int kStartRate = 44100;
  static constexpr int kStartMultiplier = 12;
  static constexpr int kFrameEntries = 16384;
  static constexpr int kLeftEarId = 102;
  static constexpr int kRightEarId = 103;

  // Constructing thread (the plug-in's editor assembly, or a test). plugin
  // must outlive the control; graphics may be null (no ear images).
  SorvanoControl(PluginLink* plugin, IEditorGraphics* graphics);
  ~SorvanoControl() override;

  // Editor thread: the redraw cycle. Always answers true.
  bool Draw(IEditorGraphics& graphics) override;

  // ---- Mouse (editor thread, no lock held; editor/SorvanoControlMouse.cpp).
  // A gesture that changes regions takes the plug-in lock through the gate,
  // then the view's lock, for the change only; the panes re-render for new
  // ranges afterwards, under the view's lock alone. A gesture whose gate
  // gives up is dropped.
  void OnMouseDown(int x, int y, const IMouseState& mouse) override;
  void OnMouseUp(int x, int y) override;
  void OnMouseDrag(int x, int y, int dX, int dY, const IMouseState& mouse) override;
  void OnMouseDoubleClick(int x, int y, const IMouseState& mouse) override;
  void OnMouseWheel(int x, int y, const IMouseState& mouse, int d) override;
  void OnMouseOver(int x, int y, const IMouseState& mouse) override;
  void OnMouseOut() override;

  // ---- ViewLink (audio and host threads: values and flags only).
  void OnFramesPublished() override;
  void SetSampleRate(double rate) override;
  void SetDisplay(double brightness, int colorMap) override;
  // Host thread, plug-in lock held; take the view lock.
  SavedViewState SaveState() override;
  void RestoreState(const SavedViewState& state) override;

  // ---- ViewCommands (editor thread, no lock held).
  void SelectRegion(int idx) override;
  void ChangeAllGains(double dB) override;
  void ChangeAllFades(double delta) override;
  void SetDropNeutral(bool drop) override;
  void FitLoop() override;
  void SetFollow(bool follow) override;
  void SetShowFades(bool show) override;
  void ClearAll() override;

  // Constructing thread, before the window opens: the side panel (may be null).
  void SetPanel(PanelLink* panel);

  // ---- Inspection, editor thread (tests and tools); takes the view lock.
  struct Snapshot {
    int32_t position;
    int32_t loopStart;
    int32_t loopEnd;
    PaneMapping main;
    PaneMapping overview;
    IRect overviewWindow;
    bool follow;
    bool showFades;
    int sampleRate;
    int multiplier;
    int colorMap;
    int historyChunks;
  };
  Snapshot Inspect();
  // The regions in list order, the selected index, the drag mode and the
  // hover code.
  struct RegionSnapshot {
    std::vector<EditorMod> regions;
    int selected;
    DragMode drag;
    HoverCode hover;
    IRect marked;
    ViewHitRects hitRects;
  };
  RegionSnapshot InspectRegions();
  // The two panes' images, for tests; editor thread, nothing else running.
  const SonogramPane& MainPane() const { return mMain; }
  const SonogramPane& OverviewPane() const { return mOverview; }

private:
  // Any thread, no lock: marks the view for the next tick.
  void MarkDirtyFromAnyThread();

  // ---- Everything below: editor thread, view lock held.

  // Step 1 of Draw.
  void ApplyHostValues();
  void ApplySampleRate(int rate);
  // Steps 2 and 3.
  void DrainFrames();
  void PaintColumns(int32_t first, int columns);
  // Step 4.
  void Paint(IEditorGraphics& graphics);
  void CopyPanes(IEditorGraphics& graphics) const;
  // Region editing draws its regions and the selected region's widgets here.
  void DrawRegions(IEditorGraphics& graphics);
  void DrawOverviewWindow(IEditorGraphics& graphics);

  // Range operations: the main pane shows [start, end) / the region's times
  // and frequencies; the overview window follows.
  void SetTimeRange(int32_t start, int32_t end);
  void SetTimeAndFrequencyRange(const ModRegion& region);
  // The overview's marked region := the main pane's window.
  void UpdateOverviewWindow();
  ModRegion MainWindow() const;
  // History and both images back to empty (black).
  void ClearPictures();
  void RebuildFrequencyLabels();

  // ---- Region editing (editor/SorvanoControlMouse.cpp), view lock held; the
  // ones that change regions also need the gate held.

  // A main pane range that a gesture asks for once the gate is released.
  struct PendingRange {
    bool set = false;
    ModRegion window{};
    bool frequencies = false;  // the region's rows too, not only its times
  };
  void ApplyPending(const PendingRange& pending);
  bool EditsRegions(int x, int y, const IMouseState& mouse) const;
  void Press(int x, int y, const IMouseState& mouse, PendingRange& pending);
  void SelectAndShow(int i, PendingRange& pending);
  void Duplicate(int i, PendingRange& pending);
  void ClearSelectionState();
  void DragSelection(DragMode mode, int dx, int dy);
  void DragOverviewWindow(DragMode mode, int dx, int dy, PendingRange& pending);
  void Scroll(int dx, PendingRange& pending);
  void ZoomFrequencies(int dy, PendingRange& pending);
  HoverCode HoverAt(int x, int y) const;
  void SwitchFollowOff();

  PluginLink* mPlugin;
  std::unique_ptr<std::complex<double>[]> mFrames;
  int mSampleRate = kStartRate;
  std::atomic<int> mPendingRate{kStartRate};
  ColumnHistory mHistory;
  PlaybackTracker mTracker;
  SonogramPane mMain;
  SonogramPane mOverview;
  AxisLabels mFrequencyLabels;
  int mMultiplier = kStartMultiplier;
  int mColorMap = 0;
  // Brightness multiplier (high 32 bits) and map (low 32 bits) from the host,
  // in one word so the editor never sees one without the other.
  std::atomic<std::uint64_t> mPendingDisplay;
  ITextStyle mTextStyle;
  PanelLink* mPanel = nullptr;
  bool mFollow = true;
  bool mShowFades = false;
  ViewHitRects mHitRects;
  RegionList mRegions;
  // The gain knob's step for a press, +0.1 dB in its upper half.
  double mGainPressStep = 0.0;
  IImage mLeftEar;
  IImage mRightEar;
  std::mutex mLock;
  DragMode mDragMode = DragMode::kNone;
  HoverCode mHover = HoverCode::kNone;
};

}  // namespace sorvano
