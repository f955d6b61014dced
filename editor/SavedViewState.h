#pragma once

// The sonogram view's part of the plug-in's saved state: the overview range,
// the main pane's window, the overview window's rectangle and every region,
// in the view's list order (which is the engine's order).
//
// Layout, appended with DataChunk's little-endian encoding, no padding:
//   overview start, overview end                         2 x int32
//   main pane window: start, end, low Hz, high Hz,
//                     low row, high row                  6 x int32
//   overview window rectangle: L, T, R, B                4 x int32
//   region count N                                       int32
//   N region blocks of 75 bytes:
//     start, end, low Hz, high Hz, low row, high row     6 x int32
//     gain (linear), fade (0..1)                         2 x double
//     main rectangle, overview rectangle                 8 x int32
//     mute, solo, bypass                                 3 x uint8
// 52 + 75 N bytes; the plug-in writes a 20-byte head (tag, two parameter
// values) before it.
//
// Reading never trusts the data: the whole fixed part must be present or
// nothing is taken; the region count is a claim bounded by the bytes really
// present; every value is brought into the range the editor and the engine
// can work with (see ReadSavedViewState). Pure functions, any thread.

#include <cstdint>
#include <vector>

#include "editor/ModRegion.h"
#include "graphics/GraphicsTypes.h"

namespace sorvano {

class DataChunk;

struct SavedRegion {
  ModRegion mRegion{};
  double mModAmp = 1.0;
  double mFade = 0.1;
  IRect mMainRect;
  IRect mOverviewRect;
  bool mMute = false;
  bool mSolo = false;
  bool mBypass = false;
};

struct SavedViewState {
  int32_t mOverviewStart = 0;
  int32_t mOverviewEnd = 0;
  ModRegion mWindow{};
  IRect mWindowRect;
  std::vector<SavedRegion> mRegions;
};

class SavedViewStateFormat {
public:
  static constexpr int kFixedBytes = 52;
  static constexpr int kRegionBytes = 75;
  // The largest linear gain a stored region may carry: the ceiling of a
  // region's gain in the editor (EditorMod::kMaxGainDb). Larger or infinite
  // claims are limited to it.
  static double MaxGain();

  // Appends the state in the layout above.
  static void Write(const SavedViewState& state, DataChunk& chunk);

  enum class Result {
    kIncomplete,     // the fixed part is cut short or absent: nothing was read
    kComplete,       // every region the count announced was read
    kCutInRegions,   // the data ended inside the region blocks; the regions
                     // before the cut were read
  };

  // Reads the state at pos into out (replacing its contents) and brings each
  // value into range for sampleRate (whole Hz; not positive means 44100):
  //   times: negative ones become 0; a region whose end is before its start
  //     has the two exchanged;
  //   frequencies: limited to 0 .. rate / 2, exchanged when reversed; rows
  //     limited to 0..1023, exchanged when reversed;
  //   rectangles: limited to the editor (0..width, 0..height), edges ordered
  //     (the view recomputes them from the regions at every draw);
  //   gain: not a number becomes 1.0, negative 0, beyond MaxGain() MaxGain();
  //   fade: not a number becomes 0.1, limited to 0..1;
  //   switches: any byte other than 0 counts as on;
  //   a count below 0 as 0 regions.
  // Pane windows are kept as stored; the view applies only windows whose end
  // lies after their start.
  static Result Read(const DataChunk& chunk, int pos, int sampleRate, int editorWidth,
                     int editorHeight, SavedViewState& out);
};

}  // namespace sorvano
