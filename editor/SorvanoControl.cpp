#include "editor/SorvanoControl.h"

#include <algorithm>
#include <limits>
#include <new>

#include "editor/ColorMap.h"
#include "editor/ColumnBuilder.h"
#include "editor/EditorColors.h"
#include "editor/PanelLink.h"
#include "editor/PluginLink.h"
#include "editor/RegionPainter.h"
#include "editor/ViewMarks.h"
#include "graphics/DrawSurface.h"
#include "graphics/ISoftGraphics.h"
#include "graphics/PluginLockGate.h"

namespace sorvano {

namespace {

using namespace editor_colors;

constexpr int kTextSize = 13;
// Time label strips: above the main pane, below the overview pane.
constexpr int kMainTimeStripOffset = 12;
constexpr int kOverviewTimeStripOffset = 8;

constexpr std::uint64_t PackDisplay(int multiplier, int map) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(multiplier)) << 32 |
         static_cast<std::uint32_t>(map);
}

ViewMarks::HandleLook WindowHandleLook(DragMode drag, HoverCode hover, DragMode handleDrag,
                                       HoverCode handleHover) {
  if (drag == handleDrag || drag == DragMode::kMoveOverviewWindow)
    return ViewMarks::HandleLook::kDragged;
  if (hover == handleHover) return ViewMarks::HandleLook::kHovered;
  return ViewMarks::HandleLook::kNormal;
}

}  // namespace

SorvanoControl::SorvanoControl(PluginLink* plugin, IEditorGraphics* graphics)
    : IEditorControl(plugin ? plugin->Effect() : nullptr, kDrawnRect, -1),
      mPlugin(plugin),
      mFrames(new (std::nothrow) std::complex<double>[kFrameEntries]()),
      mMain(kMainRect, 0, kMainSpan, kStartRate),
      mOverview(kOverviewRect, 0, kOverviewSpan, kStartRate),
      mPendingDisplay(PackDisplay(kStartMultiplier, 0)),
      mTextStyle(kGrey),
      mRegions(plugin) {
  mTextStyle.size = kTextSize;
  SetTargetRect(kRect);
  mRegions.OnSelectionCleared([this] { ClearSelectionState(); });
  mMain.SetTimeRange(0, kMainSpan, mHistory);
  mOverview.SetTimeRange(0, kOverviewSpan, mHistory);
  RebuildFrequencyLabels();
  UpdateOverviewWindow();
  if (graphics) {
    SetGraphics(graphics);
    mLeftEar = graphics->LoadImage(kLeftEarId, "img/ear-L.png", 1);
    mRightEar = graphics->LoadImage(kRightEarId, "img/ear-R.png", 1);
  }
}

SorvanoControl::~SorvanoControl() = default;

// ---- ViewLink

// Dirty and one redraw more: a mark that lands while a draw is running (after
// its drain) would otherwise be cleared by that draw's SetClean and the new
// frames left unshown until the next mark.
void SorvanoControl::MarkDirtyFromAnyThread() {
  SetDirty(false);
  Redraw();
}

void SorvanoControl::OnFramesPublished() {
  MarkDirtyFromAnyThread();
}

void SorvanoControl::SetSampleRate(double rate) {
  // Whole Hz; rates that are not positive or beyond any audio rate are not
  // taken (the conversion to int would be undefined).
  if (!(rate >= 1.0 && rate < 1.0e7)) return;
  mPendingRate.store(static_cast<int>(rate), std::memory_order_relaxed);
  MarkDirtyFromAnyThread();
}

void SorvanoControl::SetDisplay(double brightness, int colorMap) {
  mPendingDisplay.store(PackDisplay(ColorMap::BrightnessMultiplier(brightness), colorMap),
                        std::memory_order_relaxed);
  MarkDirtyFromAnyThread();
}

SavedViewState SorvanoControl::SaveState() {
  std::lock_guard lock(mLock);
  SavedViewState state;
  state.mOverviewStart = mOverview.ViewStart();
  state.mOverviewEnd = mOverview.ViewEnd();
  state.mWindow = MainWindow();
  state.mWindowRect = mOverview.MarkedRect();
  state.mRegions.reserve(static_cast<std::size_t>(mRegions.Count()));
  for (const EditorMod& mod : mRegions.Mods()) {
    SavedRegion saved;
    saved.mRegion = mod.mRegion;
    saved.mModAmp = mod.mModAmp;
    saved.mFade = mod.mFade;
    saved.mMainRect = mod.mMainRect;
    saved.mOverviewRect = mod.mOverviewRect;
    saved.mMute = mod.mMute;
    saved.mSolo = mod.mSolo;
    saved.mBypass = mod.mBypass;
    state.mRegions.push_back(saved);
  }
  return state;
}

void SorvanoControl::RestoreState(const SavedViewState& state) {
  mRegions.Reserve(static_cast<int>(state.mRegions.size()));
  std::lock_guard lock(mLock);
  ClearSelectionState();
  mRegions.Clear();
  ClearPictures();
  // The panes refuse windows that are empty, so a damaged state leaves them
  // where they were.
  mOverview.SetTimeRange(state.mOverviewStart, state.mOverviewEnd, mHistory);
  if (!mMain.SetTimeAndFrequencyRange(state.mWindow, mHistory)) {
    mMain.SetTimeRange(state.mWindow.mStart, state.mWindow.mEnd, mHistory);
  }
  RebuildFrequencyLabels();
  UpdateOverviewWindow();
  // Both lists get the stored regions in their order; the engine applies
  // them from the next frame on.
  for (const SavedRegion& saved : state.mRegions) {
    EditorMod mod;
    mod.mRegion = saved.mRegion;
    mod.mModAmp = saved.mModAmp;
    mod.mFade = saved.mFade;
    mod.mMainRect = saved.mMainRect;
    mod.mOverviewRect = saved.mOverviewRect;
    mod.mMute = saved.mMute;
    mod.mSolo = saved.mSolo;
    mod.mBypass = saved.mBypass;
    mRegions.Restore(mod);
  }
  if (mPanel) mPanel->ShowSelection(-1, mRegions.Count());
  SetDirty(false);
}

// ---- ViewCommands

void SorvanoControl::FitLoop() {
  std::lock_guard lock(mLock);
  if (!mTracker.HasLoop()) return;
  const int64_t start =
      std::max<int64_t>(0, int64_t{mTracker.LoopStart()} - PlaybackTracker::kLoopRelease);
  const int64_t end = int64_t{mTracker.LoopEnd()} + PlaybackTracker::kLoopRelease;
  SetTimeRange(PlaybackTracker::Saturate(start), PlaybackTracker::Saturate(end));
  SetDirty(false);
}

void SorvanoControl::SetFollow(bool follow) {
  std::lock_guard lock(mLock);
  mFollow = follow;
}

void SorvanoControl::SetShowFades(bool show) {
  std::lock_guard lock(mLock);
  if (show == mShowFades) return;
  mShowFades = show;
  SetDirty(false);
}

void SorvanoControl::ClearAll() {
  const PluginLockGate gate(GetPlug(), GetGraphics());
  if (!gate.Held()) return;
  std::lock_guard lock(mLock);
  mRegions.Clear();
  ClearPictures();
  if (mPanel) mPanel->ShowSelection(-1, 0);
  SetDirty(false);
}

void SorvanoControl::SetPanel(PanelLink* panel) {
  std::lock_guard lock(mLock);
  mPanel = panel;
  mRegions.SetPanel(panel);
}

SorvanoControl::Snapshot SorvanoControl::Inspect() {
  std::lock_guard lock(mLock);
  return Snapshot{mTracker.Position(),
                  mTracker.LoopStart(),
                  mTracker.LoopEnd(),
                  mMain.Mapping(),
                  mOverview.Mapping(),
                  mOverview.MarkedRect(),
                  mFollow,
                  mShowFades,
                  mSampleRate,
                  mMultiplier,
                  mColorMap,
                  mHistory.ChunkCount()};
}

// ---- Draw

bool SorvanoControl::Draw(IEditorGraphics& graphics) {
  std::lock_guard lock(mLock);
  ApplyHostValues();
  DrainFrames();
  Paint(graphics);
  return true;
}

void SorvanoControl::ApplyHostValues() {
  const int rate = mPendingRate.load(std::memory_order_relaxed);
  if (rate != mSampleRate) ApplySampleRate(rate);

  const std::uint64_t display = mPendingDisplay.load(std::memory_order_relaxed);
  mMultiplier = static_cast<int>(display >> 32);
  mColorMap = static_cast<int>(static_cast<std::uint32_t>(display));
  mMain.SetColoring(mColorMap, mMultiplier);
  mOverview.SetColoring(mColorMap, mMultiplier);
}

void SorvanoControl::ApplySampleRate(int rate) {
  mSampleRate = rate;
  mMain.SetSampleRate(rate);
  mOverview.SetSampleRate(rate);
  RebuildFrequencyLabels();
}

void SorvanoControl::DrainFrames() {
  int32_t framePos = mTracker.Position();
  int entries = mFrames && mPlugin ? mPlugin->ReadSpectralFrames(mFrames.get(), &framePos) : 0;
  // The count comes from another module: keep it to whole frames that fit.
  entries = std::clamp(entries, 0, kFrameEntries);
  entries -= entries % ColumnHistory::kColumnValues;

  const PlaybackTracker::Step step =
      mTracker.Advance(entries, framePos, {mMain.ViewStart(), mMain.ViewEnd()},
                       {mOverview.ViewStart(), mOverview.ViewEnd()}, mFollow);
  if (step.loop != PlaybackTracker::LoopNews::kNone && mPanel) {
    mPanel->ShowLoop(step.loop == PlaybackTracker::LoopNews::kDetected);
  }
  if (step.overviewMoved) mOverview.SetTimeRange(step.overview.start, step.overview.end, mHistory);
  if (step.mainMoved) mMain.SetTimeRange(step.main.start, step.main.end, mHistory);
  if (step.overviewMoved || step.mainMoved) UpdateOverviewWindow();
  PaintColumns(step.firstColumn, std::min(step.columns, entries / ColumnHistory::kColumnValues));
}

void SorvanoControl::PaintColumns(int32_t first, int columns) {
  for (int i = 0; i < columns; ++i) {
    const int64_t s = int64_t{first} + int64_t{i} * ColumnHistory::kColumnValues;
    if (s > std::numeric_limits<int32_t>::max()) break;
    const auto position = static_cast<int32_t>(s);
    std::uint16_t* column = mHistory.Column(position);
    if (column)
      ColumnBuilder::Build(
          mFrames.get() + static_cast<std::ptrdiff_t>(i) * ColumnHistory::kColumnValues, column);
    mMain.PaintColumn(position, column);
    mOverview.PaintColumn(position, column);
  }
}

void SorvanoControl::Paint(IEditorGraphics& graphics) {
  CopyPanes(graphics);
  // The selected region's green markers stand in the label strips; the axis
  // labels they would run into are left out.
  AxisLabels::KeepOut timeKeepOut;
  AxisLabels::KeepOut frequencyKeepOut;
  if (RegionPainter::ShowsSelection(mRegions, mMain)) {
    const RegionPainter::MarkerLabels markers =
        RegionPainter::MarkerLabelsFor(mMain.MarkedRect(), mMain.Rect());
    timeKeepOut = {markers.start, markers.end};
    frequencyKeepOut = {markers.high, markers.low};
  }
  mFrequencyLabels.DrawFrequency(graphics, mMain.Rect(), mTextStyle, frequencyKeepOut);
  graphics.DrawRect(kGrey, mMain.Rect());
  mMain.TimeLabels().DrawTime(graphics, mMain.Rect(), mMain.Rect().T - kMainTimeStripOffset,
                              mTextStyle, timeKeepOut);
  graphics.DrawRect(kGrey, mOverview.Rect());
  mOverview.TimeLabels().DrawTime(graphics, mOverview.Rect(),
                                  mOverview.Rect().B + kOverviewTimeStripOffset, mTextStyle);
  DrawRegions(graphics);
  ViewMarks::DrawPlayhead(graphics, mMain.Mapping(), mTracker.Position());
  ViewMarks::DrawPlayhead(graphics, mOverview.Mapping(), mTracker.Position());
  DrawOverviewWindow(graphics);
  if (mTracker.HasLoop()) {
    ViewMarks::DrawLoop(graphics, mOverview.Mapping(), mTracker.LoopStart(), mTracker.LoopEnd());
  }
}

void SorvanoControl::CopyPanes(IEditorGraphics& graphics) const {
  std::uint32_t* bits = graphics.GetBits();
  if (!bits) return;
  int rowSpan = graphics.Width();
  int width = graphics.Width();
  int height = graphics.Height();
  // The software surface may be wider in memory than the editor (or smaller,
  // after the window host shrank it): walk it by its own geometry.
  if (auto* soft = dynamic_cast<ISoftGraphics*>(&graphics); soft && soft->GetDrawSurface()) {
    const DrawSurface& surface = *soft->GetDrawSurface();
    rowSpan = surface.RowSpan();
    width = surface.Width();
    height = surface.Height();
  }
  mMain.CopyInto(bits, rowSpan, width, height);
  mOverview.CopyInto(bits, rowSpan, width, height);
}

void SorvanoControl::DrawRegions(IEditorGraphics& graphics) {
  const RegionPainter::Look look{mDragMode, mHover, mShowFades, mSampleRate};
  mHitRects = RegionPainter::Draw(graphics, mRegions, mMain, mOverview, look, mLeftEar, mRightEar, mHitRects);
}

void SorvanoControl::DrawOverviewWindow(IEditorGraphics& graphics) {
  const IRect& window = mOverview.MarkedRect();
  ViewMarks::DrawWindow(
      graphics, window,
      WindowHandleLook(mDragMode, mHover, DragMode::kOverviewTopLeft, HoverCode::kOverviewTopLeft),
      WindowHandleLook(mDragMode, mHover, DragMode::kOverviewBottomRight,
                       HoverCode::kOverviewBottomRight));
  mHitRects.overviewTopLeft = ViewMarks::TopLeftHandleHit(window);
  mHitRects.overviewBottomRight = ViewMarks::BottomRightHandleHit(window);
}

// ---- Ranges

void SorvanoControl::SetTimeRange(int32_t start, int32_t end) {
  if (mMain.SetTimeRange(start, end, mHistory)) UpdateOverviewWindow();
}

void SorvanoControl::SetTimeAndFrequencyRange(const ModRegion& region) {
  if (!mMain.SetTimeAndFrequencyRange(region, mHistory)) return;
  RebuildFrequencyLabels();
  UpdateOverviewWindow();
}

ModRegion SorvanoControl::MainWindow() const {
  const PaneMapping& m = mMain.Mapping();
  return ModRegion{m.mViewStart, m.mViewEnd, m.mLowHz, m.mHighHz, m.mLowRow, m.mHighRow};
}

void SorvanoControl::UpdateOverviewWindow() {
  mOverview.SetMarkedRegion(MainWindow());
}

void SorvanoControl::ClearPictures() {
  mHistory.Clear();
  mMain.ClearImages();
  mOverview.ClearImages();
}

void SorvanoControl::RebuildFrequencyLabels() {
  const PaneMapping& m = mMain.Mapping();
  mFrequencyLabels.BuildFrequency(m.mLowHz, m.mHighHz, m.mLowRow, m.mHighRow, mSampleRate);
}

}  // namespace sorvano
