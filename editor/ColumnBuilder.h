#pragma once

// Turns one spectral frame (1024 complex bins) into one display column of
// 1024 warped rows.
//
// Magnitudes: v = trunc(|bin| * 1024 / sqrt(2048)), kept as its low 16 bits
// (a value that is not finite becomes 0).
//
// Warp: the column is resampled onto the display rows (editor/DisplayRows.h)
// in place, from row 1022 down to row 0; row 1023 keeps its value. Row i reads
// bins idx(i) and idx(i) + 1 of the table below, blended by frac(i) / 1024,
// then scaled by the display's fixed gain 7925 / 1024, both steps kept to 16
// bits. Working downwards is safe in place because idx(i) never exceeds i.
//
// The tables are built once, on first use, and shared (read-only) by every
// view: c(i) = (1 - ln(1024 - i) / ln 1024) * 1024, idx(i) = trunc(c(i)),
// frac(i) = trunc((c(i) - floor(c(i))) * 1024).
//
// Any thread (the tables are immutable once built); the view calls it on the
// editor thread with its lock held.

#include <array>
#include <complex>
#include <cstdint>

namespace sorvano {

struct WarpTables {
  static constexpr int kRows = 1024;
  std::array<int, kRows> idx{};
  std::array<int, kRows> frac{};

  // The shared tables; thread-safe first use.
  static const WarpTables& Shared();
};

class ColumnBuilder {
public:
  static constexpr int kRows = WarpTables::kRows;
  // The display's fixed gain, as a fraction of 1024.
  static constexpr int kDisplayGain = 7925;

  // One bin's display magnitude.
  static std::uint16_t Magnitude(std::complex<double> bin);
  // Warps a column of kRows magnitudes in place.
  static void Warp(std::uint16_t* column);
  // Magnitudes of kRows bins into column, then the warp.
  static void Build(const std::complex<double>* frame, std::uint16_t* column);
};

}  // namespace sorvano
