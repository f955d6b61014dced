#include "graphics/PluginLockGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "tests/graphics/GraphicsFakes.h"

namespace sorvano::test {
namespace {

// Exposes the window host's closing switch.
class ClosableGraphics : public RecordingGraphics {
public:
  using RecordingGraphics::RecordingGraphics;
  using RecordingGraphics::SetClosing;
};

// Holds the plug-in lock on a thread of its own until released, as a host
// thread in the middle of effEditClose does.
class LockHolder {
public:
  explicit LockHolder(IEffectBase& plug) {
    mThread = std::thread([&plug, this] {
      plug.Lock();
      mLocked.set_value();
      mRelease.get_future().wait();
      plug.Unlock();
    });
    mLocked.get_future().wait();
  }
  ~LockHolder() {
    mRelease.set_value();
    mThread.join();
  }

private:
  std::promise<void> mLocked;
  std::promise<void> mRelease;
  std::thread mThread;
};

TEST(PluginLockGate, HoldsTheLockUntilDestroyedAndNestsWithTheRecursiveLock) {
  FakePlug plug;
  ClosableGraphics graphics(&plug);
  {
    PluginLockGate gate(&plug, &graphics);
    ASSERT_TRUE(gate.Held());
    EXPECT_EQ(plug.LockDepth(), 1);
    PluginLockGate inner(&plug, &graphics);
    EXPECT_TRUE(inner.Held());
    EXPECT_EQ(plug.LockDepth(), 2);
  }
  EXPECT_EQ(plug.LockDepth(), 0);
}

TEST(PluginLockGate, GivesUpWhileAnotherThreadHoldsTheLockAndTheEditorCloses) {
  FakePlug plug;
  ClosableGraphics graphics(&plug);
  LockHolder host(plug);
  std::atomic<bool> waiting{false};
  auto editor = std::async(std::launch::async, [&] {
    waiting = true;
    PluginLockGate gate(&plug, &graphics);
    return gate.Held();
  });
  while (!waiting) std::this_thread::yield();
  graphics.SetClosing(true);
  EXPECT_FALSE(editor.get());
}

TEST(PluginLockGate, WaitsForALockThatIsReleasedWhileTheEditorStaysOpen) {
  FakePlug plug;
  ClosableGraphics graphics(&plug);
  std::future<bool> editor;
  {
    LockHolder host(plug);
    editor = std::async(std::launch::async, [&] {
      PluginLockGate gate(&plug, &graphics);
      return gate.Held() && plug.LockDepth() == 1;
    });
    std::this_thread::sleep_for(3 * PluginLockGate::kSlice);
  }
  EXPECT_TRUE(editor.get());
}

TEST(PluginLockGate, WithoutAPlugInThereIsNothingToLock) {
  PluginLockGate gate(nullptr, nullptr);
  EXPECT_TRUE(gate.Held());
}

}  // namespace
}  // namespace sorvano::test
