#include "editor/DisplayRows.h"

#include <algorithm>
#include <cmath>

namespace sorvano {

namespace {

constexpr int kDefaultRate = 44100;
constexpr double kBins = 1023.0;
constexpr double kTransformSize = 2048.0;

int UsableRate(int rate) { return rate > 0 ? rate : kDefaultRate; }

}  // namespace

int DisplayRows::RowToHz(int row, int rate) {
  const int r = std::clamp(row, 0, kTopRow);
  const double warped = 1.0 - std::log(static_cast<double>(kRows - r)) / std::log(static_cast<double>(kRows));
  return static_cast<int>(warped * kBins * UsableRate(rate) / kTransformSize);
}

int DisplayRows::HzToRow(int hz, int rate) {
  const double bin = std::trunc(static_cast<double>(hz) * kTransformSize / UsableRate(rate) + 0.5);
  const double row = std::trunc(kRows + 0.5 - std::pow(static_cast<double>(kRows), 1.0 - bin / kBins));
  return static_cast<int>(std::clamp(row, 0.0, static_cast<double>(kTopRow)));
}

}  // namespace sorvano
