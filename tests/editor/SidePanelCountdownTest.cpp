#include "editor/SidePanelCountdown.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/editor/SidePanelFakes.h"

namespace sorvano::test {
namespace {

using std::chrono::milliseconds;
using Tick = SidePanelCountdown::Tick;

TEST(SidePanelCountdown, CountsWholeSecondsAndExpiresOnceAtFiveSeconds) {
  ManualClock clock;
  SidePanelCountdown countdown(clock.Source());
  EXPECT_EQ(countdown.Poll().state, Tick::kIdle);
  EXPECT_TRUE(countdown.Set(true));
  EXPECT_FALSE(countdown.Set(true));  // unchanged: the start stays

  clock.Advance(milliseconds(999));
  EXPECT_EQ(countdown.Poll().elapsed, 0);
  clock.Advance(milliseconds(1));
  EXPECT_EQ(countdown.Poll().elapsed, 1);
  clock.Advance(milliseconds(3999));
  const Tick last = countdown.Poll();
  EXPECT_EQ(last.state, Tick::kCounting);
  EXPECT_EQ(last.elapsed, 4);

  clock.Advance(milliseconds(1));
  EXPECT_EQ(countdown.Poll().state, Tick::kExpired);
  EXPECT_FALSE(countdown.IsOn());
  EXPECT_EQ(countdown.Poll().state, Tick::kIdle);
}

TEST(SidePanelCountdown, SwitchingOffStopsItAndSwitchingOnAgainStartsAfresh) {
  ManualClock clock;
  SidePanelCountdown countdown(clock.Source());
  countdown.Set(true);
  clock.Advance(milliseconds(4500));
  EXPECT_TRUE(countdown.Set(false));
  clock.Advance(milliseconds(10000));
  EXPECT_EQ(countdown.Poll().state, Tick::kIdle);

  countdown.Set(true);
  clock.Advance(milliseconds(4999));
  EXPECT_EQ(countdown.Poll().state, Tick::kCounting);
}

TEST(SidePanelCountdown, AClockBehindTheStartCountsAsTheStart) {
  ManualClock clock;
  SidePanelCountdown countdown(clock.Source());
  countdown.Set(true);
  clock.Advance(milliseconds(-60000));
  const Tick tick = countdown.Poll();
  EXPECT_EQ(tick.state, Tick::kCounting);
  EXPECT_EQ(tick.elapsed, 0);
}

// A restart of "reset" (off, five seconds, on) that lands between a poll's
// reading of the start and its decision: the clock the poll asks in between
// performs it. The poll must not end the new countdown.
TEST(SidePanelCountdown, APollRacingARestartNeverEndsTheNewCountdown) {
  std::int64_t nanos = 0;
  bool restartOnNextRead = false;
  SidePanelCountdown* self = nullptr;
  SidePanelCountdown countdown([&] {
    if (restartOnNextRead) {
      restartOnNextRead = false;
      self->Set(false);
      nanos += std::chrono::nanoseconds(std::chrono::seconds(5)).count();
      self->Set(true);
    }
    return SidePanelCountdown::Clock::time_point(std::chrono::nanoseconds(nanos));
  });
  self = &countdown;
  countdown.Set(true);
  restartOnNextRead = true;
  EXPECT_EQ(countdown.Poll().state, Tick::kCounting);
  EXPECT_TRUE(countdown.IsOn());
}

// The host thread switches "reset" off, lets the clock pass five seconds while
// it is off, and on again, over and over, while the editor thread polls. No
// countdown is ever five seconds old while on, so none may expire.
TEST(SidePanelCountdown, HostAndEditorThreadsNeverExpireAYoungCountdown) {
  std::atomic<std::int64_t> nanos{0};
  SidePanelCountdown countdown([&nanos] {
    return SidePanelCountdown::Clock::time_point(std::chrono::nanoseconds(nanos.load()));
  });
  countdown.Set(true);
  std::atomic<bool> done{false};
  std::thread host([&] {
    for (int i = 0; i < 200000; ++i) {
      countdown.Set(false);
      nanos.fetch_add(std::chrono::nanoseconds(std::chrono::seconds(5)).count());
      countdown.Set(true);
    }
    done.store(true);
  });
  int expired = 0;
  while (!done.load()) expired += countdown.Poll().state == Tick::kExpired;
  host.join();
  EXPECT_EQ(expired, 0);
  EXPECT_TRUE(countdown.IsOn());
}

TEST(SidePanelResetCountdown, ClearsEverythingAtTheFirstDrawAfterFiveSeconds) {
  PanelRig rig;
  rig.view.SetRegions(3, 1);
  rig.panel->SetResetCountdown(true);
  for (int i = 0; i < 49; ++i) {
    rig.clock.Advance(milliseconds(100));
    rig.Draw();
    // Stays dirty so that the count goes on.
    ASSERT_TRUE(rig.panel->IsDirty()) << i;
  }
  rig.clock.Advance(milliseconds(99));
  rig.Draw();
  EXPECT_EQ(rig.view.Count("clearAll"), 0);

  rig.clock.Advance(milliseconds(1));
  rig.Draw();
  EXPECT_EQ(rig.view.Count("clearAll"), 1);
  EXPECT_FALSE(rig.panel->CountdownOn());
  EXPECT_EQ(rig.panel->RegionCount(), 0);
  rig.clock.Advance(milliseconds(10000));
  rig.Draw();
  EXPECT_EQ(rig.view.Count("clearAll"), 1);
}

TEST(SidePanelResetCountdown, ReleasingResetSoonerClearsNothing) {
  PanelRig rig;
  rig.view.SetRegions(3, 1);
  rig.panel->SetResetCountdown(true);
  rig.clock.Advance(milliseconds(3000));
  rig.Draw();
  rig.panel->SetClean();
  ASSERT_FALSE(rig.panel->IsDirty());
  rig.panel->SetResetCountdown(false);
  EXPECT_TRUE(rig.panel->IsDirty());  // the black box must go
  rig.clock.Advance(milliseconds(3000));
  rig.Draw();
  EXPECT_EQ(rig.view.Count("clearAll"), 0);
  EXPECT_EQ(rig.panel->RegionCount(), 3);
}

TEST(SidePanelResetCountdown, NothingCountsWhileTheEditorDoesNotDraw) {
  PanelRig rig;
  rig.panel->SetResetCountdown(true);
  rig.clock.Advance(milliseconds(60000));
  EXPECT_EQ(rig.view.Count("clearAll"), 0);
  rig.Draw();
  EXPECT_EQ(rig.view.Count("clearAll"), 1);
}

}  // namespace
}  // namespace sorvano::test
