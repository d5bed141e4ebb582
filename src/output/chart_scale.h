// The logarithmic axes of the depth-of-field charts.
#pragma once

#include <string>

namespace velmo {

/// log10 of a positive finite `x` by IEEE double arithmetic alone: the C
/// libraries' logarithms differ in the last bit from system to system, and
/// a chart must have the same coordinates, to the byte, on every build.
double Log10(double x);

/// An axis that puts `low` at coordinate `from` and `high` at `to`, evenly
/// by logarithm; `to` may lie below `from`, as on the vertical axis, where
/// larger values are drawn higher up. Requires 0 < low < high.
struct LogAxis {
  LogAxis(double low, double high, double from, double to);

  /// The coordinate of `value`. A value beyond either end (zero and
  /// negative values below `low`) stays at that end, so no line of a chart
  /// leaves its plot.
  double Map(double value) const;

  double low;
  double high;
  double from;
  double to;

 private:
  double lowLog_;
  double scale_;  // coordinate units per decade
};

/// A value of the 1-2-5 series, mantissa x 10^exponent, at which an axis
/// is divided and labelled.
struct Tick {
  int mantissa;  // 1, 2 or 5
  int exponent;

  double Value() const;
  /// "0.05", "2", "500"; beyond a million or below 0.0001 "1E6", "5E-5".
  std::string Text() const;
  Tick Next() const;
  friend bool operator==(const Tick&, const Tick&) = default;
};

/// The greatest tick not above the positive finite `x`.
Tick TickAtOrBelow(double x);

/// The least tick not below the positive finite `x`.
Tick TickAtOrAbove(double x);

}  // namespace velmo
