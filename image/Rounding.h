#pragma once
// Every conversion of a real number to an integer in the system (sample positions, plot
// coordinates, pixel sums, maps exported to bitmaps) rounds to the nearest integer, ties to
// the even one.

#include <cmath>

// By arithmetic rather than through the floating-point unit's rounding mode, which belongs
// to the host process and may have been changed. NaN stays NaN.
inline double RoundHalfEven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1;
  return std::fmod(below, 2) == 0 ? below : below + 1;
}
