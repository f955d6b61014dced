#pragma once

// Counts heap allocations and releases while counting is switched on. The
// program replaces the global operator new and delete in every form and,
// outside AddressSanitizer builds, malloc, calloc, realloc, free and the
// aligned variants. AddressSanitizer owns malloc and cannot be replaced;
// there only the operators are counted (every allocation of our C++ code
// goes through them; the audio path calls no C allocation function).

#include <cstddef>

namespace sorvano::test {

// Whether the C allocation functions are counted in this build.
bool CountsMalloc();

class AllocationCounter {
public:
  // Starts counting from zero on construction, stops on Stop or destruction.
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  void Stop();
  std::size_t Allocations() const;
  std::size_t Releases() const;
};

}  // namespace sorvano::test
