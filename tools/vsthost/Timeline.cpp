#include "tools/vsthost/Timeline.h"

#include <algorithm>

#include "tools/vsthost/HostError.h"

namespace sorvano {

Timeline::Timeline(std::int64_t startPosition, std::optional<TimelineLoop> loop, std::vector<TimelineJump> jumps)
    : mPosition(startPosition), mLoop(loop), mJumps(std::move(jumps)) {
  if (mLoop && mLoop->start >= mLoop->end) {
    throw HostError("a loop needs START < END");
  }
  // Jumps at the same frame happen in the order given, so the last one wins.
  std::stable_sort(mJumps.begin(), mJumps.end(),
                   [](const TimelineJump& a, const TimelineJump& b) { return a.atFrame < b.atFrame; });
  ApplyDueMoves();
  mChanged = true;
}

std::int32_t Timeline::FramesBeforeDiscontinuity(std::int32_t wanted) const {
  std::int64_t limit = wanted;
  if (mLoop && mPosition < mLoop->end) limit = std::min(limit, mLoop->end - mPosition);
  if (mNextJump < mJumps.size()) limit = std::min(limit, mJumps[mNextJump].atFrame - mElapsed);
  return static_cast<std::int32_t>(std::max<std::int64_t>(limit, wanted > 0 ? 1 : 0));
}

void Timeline::Advance(std::int32_t frames) {
  mChanged = false;
  mPosition += frames;
  mElapsed += frames;
  ApplyDueMoves();
}

void Timeline::ApplyDueMoves() {
  while (mNextJump < mJumps.size() && mJumps[mNextJump].atFrame <= mElapsed) {
    mPosition = mJumps[mNextJump].to;
    mChanged = true;
    ++mNextJump;
  }
  if (mLoop && mPosition == mLoop->end) {
    mPosition = mLoop->start;
    mChanged = true;
  }
}

}  // namespace sorvano
