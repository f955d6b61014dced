// The processing callbacks must not allocate: this program counts every
// allocation made through operator new on the calling thread.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "framework/vst/VstAbi.h"
#include "tests/framework/VstBindingFixture.h"

namespace {
thread_local long gAllocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace sorvano {
namespace {

using test::VstBinding;

TEST_F(VstBinding, ProcessingCallbacksDoNotAllocate) {
  mHost.Dispatch(vst::effSetBlockSize, 0, 256);
  std::vector<float> fl(1000, 0.25f);
  std::vector<float> fr(1000, -0.25f);
  std::vector<double> dl(1000, 0.5);
  std::vector<double> dr(1000, -0.5);
  float* fio[2] = {fl.data(), fr.data()};
  double* dio[2] = {dl.data(), dr.data()};
  float* fhalf[2] = {fl.data(), nullptr};
  std::int32_t mono[2] = {vst::kSpeakerArrMono, 1};

  // The counter sees allocations at all.
  const long probe = gAllocations;
  int* volatile escaped = new int(1);  // volatile: the pair cannot be elided
  delete escaped;
  ASSERT_EQ(gAllocations, probe + 1);

  const long before = gAllocations;
  E()->processReplacing(E(), fio, fio, 1000);  // runs in slices of 256
  E()->process(E(), fio, fio, 1000);
  E()->processDoubleReplacing(E(), dio, dio, 1000);
  E()->processReplacing(E(), nullptr, fhalf, 100);
  E()->processReplacing(E(), fio, fio, -1);
  const long during = gAllocations - before;
  EXPECT_EQ(during, 0);

  // Switching channels (a host thread's call) does not allocate either, so
  // a host may do it between blocks.
  const long beforeSwitch = gAllocations;
  mHost.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(mono), mono);
  E()->processReplacing(E(), fio, fio, 256);
  EXPECT_EQ(gAllocations - beforeSwitch, 0);
}

}  // namespace
}  // namespace sorvano
