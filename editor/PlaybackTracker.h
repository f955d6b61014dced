#pragma once

// Follows the host's playback through the frames the view drains: the
// view's position, the detected loop, the growth of the overview range and
// the paging of the main pane while follow is on. Pure arithmetic on song
// positions (64-bit inside, results limited to the int32 timeline), no
// pixels, so every rule is testable alone.
//
// One drain, step by step (Advance):
//   1. position := the newest frame position rounded to a multiple of 1024
//      (halves up); the first new column s0 := position - entries, rounded.
//   2. No entries: nothing else changes.
//   3. Loop: s0 below the previous position is a backward jump, the loop
//      [s0, previous position]; otherwise a known loop is forgotten once
//      position reaches its end + 16384.
//   4. Overview: starts at s0 if s0 is before it; once position reaches its
//      end, ends 441344 samples (431 columns) beyond position.
//   5. Follow: the main range moves to start at s0 if s0 is before it (same
//      span); once position reaches its end it pages so that position sits at
//      one fifth of the span, and the overview end grows to the new main end
//      if that reaches it.
//
// Editor thread, view lock held.

#include <cstdint>

namespace sorvano {

class PlaybackTracker {
public:
  static constexpr int32_t kColumn = 1024;
  static constexpr int32_t kOverviewLookAhead = 441344;
  static constexpr int32_t kLoopRelease = 16384;
  static constexpr double kFollowFraction = 0.2;

  struct Range {
    int32_t start = 0;
    int32_t end = 0;
    constexpr bool operator==(const Range&) const = default;
  };

  enum class LoopNews { kNone, kDetected, kForgotten };

  struct Step {
    int32_t firstColumn = 0;  // s0
    int columns = 0;          // new columns from s0, 1024 apart
    LoopNews loop = LoopNews::kNone;
    Range main;
    Range overview;
    bool mainMoved = false;
    bool overviewMoved = false;
  };

  // entries: the count the ring answered (a multiple of 1024); framePos: the
  // view's position field after the read (unchanged when entries is 0).
  Step Advance(int entries, int32_t framePos, const Range& main, const Range& overview,
               bool follow);

  int32_t Position() const { return mPosition; }
  int32_t LoopStart() const { return mLoopStart; }
  int32_t LoopEnd() const { return mLoopEnd; }
  // A loop is known: its start is at least 0 and below its end.
  bool HasLoop() const { return mLoopStart >= 0 && mLoopStart < mLoopEnd; }

  // The view's position field, for a host-independent jump (region editing).
  void SetPosition(int32_t position) { mPosition = position; }

  // Rounded to the nearest multiple of 1024 and limited to int32.
  static int32_t RoundToColumn(int64_t position);
  static int32_t Saturate(int64_t position);

private:
  int32_t mPosition = 0;
  int32_t mLoopStart = -1;
  int32_t mLoopEnd = -1;
};

}  // namespace sorvano
