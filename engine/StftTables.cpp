#include "engine/StftTables.h"

#include <cmath>
#include <numbers>

#include "engine/Fft.h"

namespace sorvano {

namespace {

StftTables BuildTables() {
  FftInit();
  StftTables t{};
  constexpr double period = StftTables::kFrameSize - 1;
  for (int i = 0; i < StftTables::kFrameSize; ++i) {
    const double x = 2.0 * std::numbers::pi * i / period;
    t.mWindow[i] = 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0 * x);
    t.mPermutation[i] = FftPermute(StftTables::kFrameSize, i);
  }
  for (int i = 0; i < StftTables::kFrameSize / 2; ++i) {
    t.mWindowSumInverse[i] = 1.0 / (t.mWindow[i] + t.mWindow[i + StftTables::kFrameSize / 2]);
  }
  return t;
}

}  // namespace

const StftTables& StftTables::Get() {
  // A function-local static: built exactly once, with the initialisation
  // finished before any thread sees it. Rebuilding shared tables per instance
  // would write memory that other instances' audio threads are reading.
  static const StftTables tables = BuildTables();
  return tables;
}

}  // namespace sorvano
