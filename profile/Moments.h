#pragma once
// The mean and the standard deviation of a few values, right for every double: two passes
// (the mean, then the squared deviations from it) over the values' differences from the
// first, so that values far from zero cancel no digit, and over values scaled by a power of
// two near the largest magnitude, so that values near the largest doubles square without
// overflow. The mean lies inside [least, greatest],
// and equal values have a deviation of exactly 0.

#include <span>

struct TMoments {
  double Mean = 0;
  // Of the values themselves (divided by their count).
  double Deviation = 0;
};

// NaN or an infinity among the values gives their plain mean and a NaN deviation: the data
// have no spread to give. No values give zeros.
TMoments MomentsOf(std::span<const double> values) noexcept;
