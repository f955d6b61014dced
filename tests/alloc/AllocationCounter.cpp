#include "tests/alloc/AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define SORVANO_COUNT_MALLOC 0
#else
#define SORVANO_COUNT_MALLOC 1
#endif

namespace {

std::atomic<bool> gCounting{false};
std::atomic<std::size_t> gAllocations{0};
std::atomic<std::size_t> gReleases{0};

void NoteAllocation() {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
}

void NoteRelease(const void* p) {
  if (p && gCounting.load(std::memory_order_relaxed)) gReleases.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

#if SORVANO_COUNT_MALLOC
// glibc's own entry points, which the replacements below forward to.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t n, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* p);

void* malloc(std::size_t size) {
  NoteAllocation();
  return __libc_malloc(size);
}

void* calloc(std::size_t n, std::size_t size) {
  NoteAllocation();
  return __libc_calloc(n, size);
}

void* realloc(void* p, std::size_t size) {
  NoteAllocation();
  return __libc_realloc(p, size);
}

void free(void* p) {
  NoteRelease(p);
  __libc_free(p);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
  NoteAllocation();
  return __libc_memalign(alignment, size);
}

void* memalign(std::size_t alignment, std::size_t size) {
  NoteAllocation();
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  NoteAllocation();
  void* p = __libc_memalign(alignment, size);
  if (!p) return ENOMEM;
  *out = p;
  return 0;
}
}
#endif

namespace {

void* Allocate(std::size_t size) {
  NoteAllocation();
  // The C functions are reached below the counter: std::malloc here would
  // count twice in builds that replace it.
#if SORVANO_COUNT_MALLOC
  return __libc_malloc(size ? size : 1);
#else
  return std::malloc(size ? size : 1);
#endif
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  NoteAllocation();
  const std::size_t a = static_cast<std::size_t>(alignment);
#if SORVANO_COUNT_MALLOC
  return __libc_memalign(a, size ? size : 1);
#else
  return std::aligned_alloc(a, (size + a - 1) / a * a);
#endif
}

void Release(void* p) {
  NoteRelease(p);
#if SORVANO_COUNT_MALLOC
  __libc_free(p);
#else
  std::free(p);
#endif
}

void* OrThrow(void* p) {
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t size) { return OrThrow(Allocate(size)); }
void* operator new[](std::size_t size) { return OrThrow(Allocate(size)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t a) { return OrThrow(AllocateAligned(size, a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return OrThrow(AllocateAligned(size, a)); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, a);
}

void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }

namespace sorvano::test {

bool CountsMalloc() { return SORVANO_COUNT_MALLOC != 0; }

AllocationCounter::AllocationCounter() {
  gAllocations.store(0);
  gReleases.store(0);
  gCounting.store(true);
}

AllocationCounter::~AllocationCounter() { Stop(); }

void AllocationCounter::Stop() { gCounting.store(false); }

std::size_t AllocationCounter::Allocations() const { return gAllocations.load(); }

std::size_t AllocationCounter::Releases() const { return gReleases.load(); }

}  // namespace sorvano::test
