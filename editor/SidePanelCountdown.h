#pragma once

// The countdown that precedes clearing every region and the whole history
// while the "reset" parameter is held on. It counts on a monotonic clock, so
// setting the system clock back or forward neither stalls nor shortens it.
//
// Threads: Set is called on a host thread with the plug-in lock held (from
// the plug-in's OnParamChange), Poll on the editor thread while the panel
// draws. The whole state is one atomic word, the start time or kOff, so a
// countdown switched off and on again between two polls is a new countdown
// that the older poll cannot end.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

namespace sorvano {

class SidePanelCountdown {
public:
  using Clock = std::chrono::steady_clock;
  // Where the time comes from; tests hand in a clock of their own.
  using Now = std::function<Clock::time_point()>;

  // Seconds from the start to the clearing.
  static constexpr int kSeconds = 5;

  explicit SidePanelCountdown(Now now = &Clock::now);

  // Host thread: on starts the count at the current time, off stops it. A
  // call that does not change the state is ignored. Answers whether it did.
  bool Set(bool on);
  // Any thread.
  bool IsOn() const { return mStart.load(std::memory_order_acquire) != kOff; }

  struct Tick {
    enum State { kIdle, kCounting, kExpired };
    State state = kIdle;
    // Whole seconds since the start, 0 .. kSeconds - 1 while counting.
    int elapsed = 0;
  };

  // Editor thread: where the count stands now. The first poll at or after
  // kSeconds answers kExpired and switches the countdown off, so exactly one
  // poll sees it expire.
  Tick Poll();

private:
  static constexpr std::int64_t kOff = INT64_MIN;
  static constexpr std::uint64_t kNanosPerSecond = 1000000000u;

  std::int64_t NowTicks() const;

  Now mNow;
  // Start time in nanoseconds of the clock, or kOff.
  std::atomic<std::int64_t> mStart{kOff};
};

}  // namespace sorvano
