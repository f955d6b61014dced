#pragma once

// Reproducible full-scale white noise for audio tests.

#include <cstddef>
#include <random>
#include <vector>

namespace sorvano::test {

// n samples uniform in [-1, 1), the same for the same seed.
inline std::vector<double> Noise(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> v(n);
  for (double& x : v) x = u(rng);
  return v;
}

}  // namespace sorvano::test
