#include "editor/ColumnBuilder.h"

#include <cmath>

namespace sorvano {

namespace {

WarpTables BuildTables() {
  WarpTables t;
  const double logRows = std::log(static_cast<double>(WarpTables::kRows));
  for (int i = 0; i < WarpTables::kRows; ++i) {
    const double c =
        (1.0 - std::log(static_cast<double>(WarpTables::kRows - i)) / logRows) * WarpTables::kRows;
    t.idx[static_cast<std::size_t>(i)] = static_cast<int>(c);
    t.frac[static_cast<std::size_t>(i)] = static_cast<int>((c - std::floor(c)) * 1024.0);
  }
  return t;
}

constexpr std::uint16_t Low16(std::uint32_t v) {
  return static_cast<std::uint16_t>(v & 0xFFFFu);
}

}  // namespace

const WarpTables& WarpTables::Shared() {
  static const WarpTables tables = BuildTables();
  return tables;
}

std::uint16_t ColumnBuilder::Magnitude(std::complex<double> bin) {
  static const double kScale = 1024.0 / std::sqrt(2048.0);
  const double v = std::sqrt(bin.real() * bin.real() + bin.imag() * bin.imag()) * kScale;
  // The low 16 bits of the truncated value; out of int64 range (or NaN) the
  // conversion would be undefined, and such a bin shows nothing.
  if (!(v >= 0.0 && v < 9.0e18)) return 0;
  return Low16(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) & 0xFFFFu));
}

void ColumnBuilder::Warp(std::uint16_t* column) {
  const WarpTables& t = WarpTables::Shared();
  for (int i = kRows - 2; i >= 0; --i) {
    const auto k = static_cast<std::size_t>(i);
    const std::uint32_t at = column[t.idx[k]];
    const std::uint32_t next = column[t.idx[k] + 1];
    const std::uint32_t frac = static_cast<std::uint32_t>(t.frac[k]);
    const std::uint16_t blended = Low16((at * (1024u - frac) + next * frac) / 1024u);
    column[k] = Low16(static_cast<std::uint32_t>(blended) * kDisplayGain / 1024u);
  }
}

void ColumnBuilder::Build(const std::complex<double>* frame, std::uint16_t* column) {
  for (int i = 0; i < kRows; ++i) column[i] = Magnitude(frame[i]);
  Warp(column);
}

}  // namespace sorvano
