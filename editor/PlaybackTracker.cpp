#include "editor/PlaybackTracker.h"

#include <algorithm>
#include <limits>

#include "editor/PaneMapping.h"

namespace sorvano {

int32_t PlaybackTracker::RoundToColumn(int64_t position) {
  return PaneMapping::RoundToColumn(position);
}

int32_t PlaybackTracker::Saturate(int64_t position) {
  return static_cast<int32_t>(std::clamp<int64_t>(position, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

PlaybackTracker::Step PlaybackTracker::Advance(int entries, int32_t framePos, const Range& main,
                                               const Range& overview, bool follow) {
  Step step;
  step.main = main;
  step.overview = overview;

  const int32_t previous = mPosition;
  mPosition = RoundToColumn(framePos);
  if (entries <= 0) return step;

  const int32_t s0 = RoundToColumn(int64_t{mPosition} - entries);
  step.firstColumn = s0;
  step.columns = static_cast<int>(std::max<int64_t>(0, (int64_t{mPosition} - s0) / kColumn));

  if (s0 < previous) {
    mLoopStart = s0;
    mLoopEnd = previous;
    step.loop = LoopNews::kDetected;
  } else if (mLoopEnd >= 0 && int64_t{mPosition} >= int64_t{mLoopEnd} + kLoopRelease) {
    mLoopStart = -1;
    mLoopEnd = -1;
    step.loop = LoopNews::kForgotten;
  }

  Range& ov = step.overview;
  if (s0 < ov.start) ov.start = s0;
  if (mPosition >= ov.end) ov.end = Saturate(int64_t{mPosition} + kOverviewLookAhead);

  if (follow) {
    Range& m = step.main;
    const int64_t span = int64_t{m.end} - m.start;
    if (s0 < m.start) {
      m.start = s0;
      m.end = Saturate(s0 + span);
    }
    if (mPosition >= m.end) {
      const auto lead = static_cast<int64_t>(static_cast<double>(span) * kFollowFraction);
      m.start = RoundToColumn(int64_t{mPosition} - lead);
      m.end = Saturate(m.start + span);
      if (m.end >= ov.end) ov.end = m.end;
    }
  }
  step.mainMoved = !(step.main == main);
  step.overviewMoved = !(step.overview == overview);
  return step;
}

}  // namespace sorvano
