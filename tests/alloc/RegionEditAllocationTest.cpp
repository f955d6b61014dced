#include <gtest/gtest.h>

#include <memory>

#include "engine/Sorvano.h"
#include "tests/alloc/AllocationCounter.h"
#include "tests/engine/TimelineHost.h"

namespace sorvano {
namespace {

// The audio thread may wait for the plug-in lock while the editor edits a
// region, so once the editor has reserved room, the edits themselves (what
// runs under the lock) allocate and free nothing.
TEST(RegionEdits, AfterAReserveAddingUpdatingAndDeletingAllocateNothing) {
  test::TimelineHost host;
  auto plug = std::make_unique<Sorvano>(test::TimelineHost::Callback());
  host.Attach(*plug);
  std::size_t allocations = 0;
  std::size_t releases = 0;
  for (int n = 0; n < 300; ++n) {
    plug->ReserveMods(n + 1);  // outside the lock, may allocate and free
    test::AllocationCounter counter;
    const ModRegion region{1024 * n, 1024 * n + 4096, 100, 5000, 10, 500};
    EXPECT_EQ(plug->AddMod(&region, 0.5, 0.1), n + 1);
    plug->UpdateMod(n / 2, &region, 2.0, 0.3);
    plug->ToggleModMute(n / 3);
    counter.Stop();
    allocations += counter.Allocations();
    releases += counter.Releases();
  }
  test::AllocationCounter counter;
  for (int n = 300; n > 0; --n) EXPECT_EQ(plug->DeleteMod(n / 2), n - 1);
  counter.Stop();
  EXPECT_EQ(allocations + counter.Allocations(), 0u);
  EXPECT_EQ(releases + counter.Releases(), 0u);
}

}  // namespace
}  // namespace sorvano
