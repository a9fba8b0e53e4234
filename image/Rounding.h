#pragma once
// Every conversion of a real number to an integer in the system (sample positions, plot
// coordinates, pixel sums, maps exported to bitmaps) rounds to the nearest integer, ties to
// the even one.

#include <cmath>

// By arithmetic rather than through the floating-point unit's rounding mode, which belongs
// to the host process and may have been changed. NaN stays NaN.
//
// Within the int range the floor is the truncation, one less below it: one SSE2 conversion
// that ignores the rounding mode, where the 32-bit build would call the library's floor
// and fmod for every coordinate. The same operations on the same values follow, so the
// result is the one of the general path bit for bit; zeros take that path to keep their
// sign.
inline double RoundHalfEven(double value) {
  if (value > -0x1p31 && value < 0x1p31 && value != 0) {
    const int truncated = static_cast<int>(value);
    const int below = truncated - (value < truncated ? 1 : 0);
    const double fraction = value - below;
    if (fraction < 0.5) return below;
    if (fraction > 0.5) return below + 1.0;
    return (below & 1) == 0 ? below : below + 1.0;
  }
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1;
  return std::fmod(below, 2) == 0 ? below : below + 1;
}

// The same rounding as an int, for values known to lie well inside the int range
// (|value| < 2^30). Without a branch: a noisy profile's plot coordinates round up or down
// at random.
inline int RoundHalfEvenToInt(double value) noexcept {
  const int truncated = static_cast<int>(value);
  const int below = truncated - static_cast<int>(value < truncated);
  const double fraction = value - below;
  return below + static_cast<int>((fraction > 0.5) | ((fraction == 0.5) & ((below & 1) != 0)));
}
