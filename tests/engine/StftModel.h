#pragma once

// A straightforward model of the processor's arithmetic for the tests: frame
// by frame, with a textbook transform in natural order (checked against a
// plain DFT), its own window and its own
// overlap-add, written without the processor's buffers, runs or bin
// permutation. Gains are computed per bin from the records as factors and
// applied in one multiplication.

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <vector>

#include "engine/ModList.h"

namespace sorvano::model {

using Cx = std::complex<double>;

constexpr int kN = 2048;
constexpr int kHop = 1024;
constexpr int kPairs = 1024;

inline double Window(int i) {
  return 0.42 - 0.5 * std::cos(2.0 * std::numbers::pi * i / 2047.0) +
         0.08 * std::cos(4.0 * std::numbers::pi * i / 2047.0);
}

// Plain DFT, natural order, no scaling: sign -1 forward, +1 inverse.
// O(N^2); used to check the reference transform below.
inline std::vector<Cx> Dft(const std::vector<Cx>& x, int sign) {
  const size_t n = x.size();
  std::vector<Cx> out(n);
  for (size_t k = 0; k < n; ++k) {
    Cx sum(0.0, 0.0);
    for (size_t j = 0; j < n; ++j) {
      sum += x[j] * std::polar(1.0, sign * 2.0 * std::numbers::pi * double((j * k) % n) / double(n));
    }
    out[k] = sum;
  }
  return out;
}

// Textbook iterative radix-2 transform, natural order in and out, no
// scaling: sign -1 forward, +1 inverse.
inline std::vector<Cx> Transform(std::vector<Cx> x, int sign) {
  const size_t n = x.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    for (size_t i = 0; i < n; i += len) {
      for (size_t k = 0; k < len / 2; ++k) {
        const Cx w = std::polar(1.0, sign * 2.0 * std::numbers::pi * double(k) / double(len));
        const Cx u = x[i + k];
        const Cx v = x[i + k + len / 2] * w;
        x[i + k] = u + v;
        x[i + k + len / 2] = u - v;
      }
    }
  }
  return x;
}

// Gain factor of every bin pair (k, 2047 - k) for the frame that ends just
// before host position p.
inline std::array<double, kPairs> Factors(const std::vector<ModRecord>& records, int64_t p) {
  std::array<double, kPairs> f;
  f.fill(1.0);
  std::array<bool, kPairs> marked{};
  bool solo = false;
  const int64_t s = std::max<int64_t>(p - kN, 0);
  const int64_t m = (s + p) / 2;
  for (const ModRecord& r : records) {
    if (r.mBypass || !(r.mFadeStart < p && r.mFadeEnd > s)) continue;
    double g = r.mMute ? 0.0 : r.mGain;
    if (m < r.mStart && r.mStart != r.mFadeStart) {
      const double b = double(m - r.mFadeStart) / (double(r.mStart) - r.mFadeStart);
      g = g * b + 1.0 - b;
    } else if (m >= r.mEnd && r.mEnd != r.mFadeEnd) {
      const double c = double(m - r.mEnd) / (double(r.mFadeEnd) - r.mEnd);
      g = c + g * (1.0 - c);
    }
    for (int k = 0; k < kPairs; ++k) {
      // The three zones are disjoint for any sane record; for crossed
      // bounds each applies wherever its own condition holds.
      if (k > r.mFadeLowBin && k < r.mLowBin) {
        const double d = double(k - r.mFadeLowBin) / (double(r.mLowBin) - r.mFadeLowBin);
        f[k] *= g * d + 1.0 - d;
      }
      if (k >= r.mHighBin && k < r.mFadeHighBin) {
        const double e = double(k - r.mHighBin) / (double(r.mFadeHighBin) - r.mHighBin);
        f[k] *= e + g * (1.0 - e);
      }
      if (k >= r.mLowBin && k < r.mHighBin) f[k] *= g;
      if (r.mSolo && k >= r.mFadeLowBin && k < r.mFadeHighBin) marked[k] = true;
    }
    solo = solo || r.mSolo;
  }
  if (solo) {
    for (int k = 0; k < kPairs; ++k) {
      if (!marked[k]) f[k] = 0.0;
    }
  }
  return f;
}

struct Result {
  std::vector<double> mLeft;
  std::vector<double> mRight;
  // Per completed frame: its host position and bins 0..1023 after the gains.
  std::vector<int64_t> mFramePos;
  std::vector<std::vector<Cx>> mSpectra;
};

// Runs the model over a stream. hostPos[t] is the host position of sample t
// (it may jump). A frame is completed before sample t whenever t is a
// positive multiple of 1024. withSpectra: keep the bins of every frame;
// otherwise only frames with a gain other than 1 are transformed.
inline Result Run(const std::vector<double>& left, const std::vector<double>& right,
                  const std::vector<int64_t>& hostPos, const std::vector<ModRecord>& records,
                  bool withSpectra) {
  const size_t total = left.size();
  Result res;
  res.mLeft.assign(total, 0.0);
  res.mRight.assign(total, 0.0);
  auto input = [&](int64_t t) {
    return t < 0 ? Cx(0.0, 0.0) : Cx(left[size_t(t)], right[size_t(t)]);
  };
  std::vector<Cx> previous(kN, Cx(0.0, 0.0));  // processed frame before the newest
  for (size_t hop = 1; hop * kHop < total; ++hop) {
    const int64_t end = int64_t(hop) * kHop;  // first sample after the frame
    std::vector<Cx> frame(kN);
    for (int i = 0; i < kN; ++i) frame[i] = Window(i) * input(end - kN + i);
    const std::array<double, kPairs> f = Factors(records, hostPos[size_t(end)]);
    const bool identity = std::all_of(f.begin(), f.end(), [](double v) { return v == 1.0; });
    std::vector<Cx> processed = frame;
    if (!identity || withSpectra) {
      std::vector<Cx> spectrum = Transform(frame, -1);
      for (int k = 0; k < kPairs; ++k) {
        spectrum[k] *= f[k];
        spectrum[kN - 1 - k] *= f[k];
      }
      if (withSpectra) {
        res.mFramePos.push_back(hostPos[size_t(end)]);
        res.mSpectra.emplace_back(spectrum.begin(), spectrum.begin() + kPairs);
      }
      if (!identity) {
        processed = Transform(spectrum, +1);
        for (Cx& v : processed) v /= double(kN);
      }
    }
    // Output of the hop after the frame: the newest frame's first half plus
    // the previous frame's second half, over the sum of their weights.
    for (int j = 0; j < kHop && size_t(end) + size_t(j) < total; ++j) {
      const Cx y = (processed[j] + previous[kHop + j]) / (Window(j) + Window(kHop + j));
      res.mLeft[size_t(end) + size_t(j)] = y.real();
      res.mRight[size_t(end) + size_t(j)] = y.imag();
    }
    previous = std::move(processed);
  }
  return res;
}

}  // namespace sorvano::model
