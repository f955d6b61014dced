#pragma once

// The sonogram's frequency scale: 1024 display rows, row 0 at 0 Hz, spaced on
// a warped scale that gives low frequencies many rows per transform bin and
// high frequencies few. At 44100 Hz, 22000 Hz is row 1023 and row 512 is about
// 2.2 kHz. Pure functions, any thread.

namespace sorvano {

class DisplayRows {
public:
  static constexpr int kRows = 1024;
  static constexpr int kTopRow = kRows - 1;

  // trunc((1 - ln(1024 - row) / ln 1024) * 1023 * rate / 2048) Hz. Rows
  // outside 0..1023 are taken as the nearest row, and a rate that is not
  // positive as 44100 Hz.
  static int RowToHz(int row, int rate);

  // The row of the transform bin nearest to hz: b = trunc(hz * 2048 / rate +
  // 0.5), row = trunc(1024.5 - 1024^(1 - b / 1023)), limited to 0..1023 (a
  // frequency beyond half the rate, or below 0, gives the top or bottom row).
  static int HzToRow(int hz, int rate);
};

}  // namespace sorvano
