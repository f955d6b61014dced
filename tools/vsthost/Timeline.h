#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace sorvano {

// A loop of the host timeline: whenever the position reaches `end`, playback
// continues at `start` (start < end).
struct TimelineLoop {
  std::int64_t start = 0;
  std::int64_t end = 0;
};

// A transport move: once `atFrame` frames have been processed, the position
// continues at `to`. Each jump happens once.
struct TimelineJump {
  std::int64_t atFrame = 0;
  std::int64_t to = 0;
};

// The song position the host reports to the plug-in while it renders a file.
// The position advances by each block's length; loop wraps and jumps land
// exactly on a block boundary, because the renderer asks how many frames it
// may process before the next one and splits its blocks there, as real hosts
// split their cycles at loop points. Main thread.
class Timeline {
 public:
  // Throws HostError for a loop whose start is not before its end.
  Timeline(std::int64_t startPosition, std::optional<TimelineLoop> loop, std::vector<TimelineJump> jumps);

  // Position of the next frame to be processed.
  std::int64_t Position() const { return mPosition; }
  // Frames processed so far.
  std::int64_t Elapsed() const { return mElapsed; }
  // True before the first block and after every wrap or jump, until the next
  // block has been processed.
  bool Changed() const { return mChanged; }
  const std::optional<TimelineLoop>& Loop() const { return mLoop; }

  // The number of frames, at most `wanted`, that can be processed from the
  // current position before the next wrap or jump. At least 1 when wanted > 0.
  std::int32_t FramesBeforeDiscontinuity(std::int32_t wanted) const;

  // Records that `frames` frames (no more than FramesBeforeDiscontinuity
  // allowed) were processed, then applies the wraps and jumps that fall due.
  void Advance(std::int32_t frames);

 private:
  void ApplyDueMoves();

  std::int64_t mPosition;
  std::int64_t mElapsed = 0;
  bool mChanged = true;
  std::optional<TimelineLoop> mLoop;
  std::vector<TimelineJump> mJumps;  // sorted by atFrame, the ones still to come
  std::size_t mNextJump = 0;
};

}  // namespace sorvano
