#include "editor/SidePanelCountdown.h"

#include <utility>

namespace sorvano {

SidePanelCountdown::SidePanelCountdown(Now now) : mNow(std::move(now)) {}

std::int64_t SidePanelCountdown::NowTicks() const {
  const auto sinceEpoch = mNow().time_since_epoch();
  const std::int64_t ticks =
      std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
  // kOff marks "off"; a clock that answers exactly that instant counts one later.
  return ticks == kOff ? kOff + 1 : ticks;
}

bool SidePanelCountdown::Set(bool on) {
  if (on == IsOn()) return false;
  mStart.store(on ? NowTicks() : kOff, std::memory_order_release);
  return true;
}

SidePanelCountdown::Tick SidePanelCountdown::Poll() {
  std::int64_t start = mStart.load(std::memory_order_acquire);
  while (start != kOff) {
    const std::int64_t now = NowTicks();
    // A clock behind the start (only an injected one can be) counts as 0 s.
    // The difference is taken unsigned: it fits, the signed subtraction might not.
    const std::uint64_t ns =
        now > start ? static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(start) : 0u;
    const std::uint64_t seconds = ns / kNanosPerSecond;
    if (seconds < kSeconds) return {Tick::kCounting, static_cast<int>(seconds)};
    // Only the countdown read above ends here. One stopped in the meantime
    // leaves start at kOff; one stopped and started again is looked at anew.
    if (mStart.compare_exchange_strong(start, kOff, std::memory_order_acq_rel)) {
      return {Tick::kExpired, kSeconds};
    }
  }
  return {};
}

}  // namespace sorvano
