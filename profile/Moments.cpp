#include "profile/Moments.h"

#include <algorithm>
#include <cmath>
#include <limits>

TMoments MomentsOf(std::span<const double> values) noexcept {
  if (values.empty()) return {};
  const double count = static_cast<double>(values.size());
  double least = values[0], greatest = values[0];
  bool finite = true;
  for (const double value : values) {
    finite = finite && std::isfinite(value);
    least = std::min(least, value);
    greatest = std::max(greatest, value);
  }
  if (!finite) {
    double sum = 0;
    for (const double value : values) sum += value;
    return {sum / count, std::numeric_limits<double>::quiet_NaN()};
  }
  if (least == greatest) return {least, 0};
  // Dividing by a power of two is exact: the scaled values are the values. Their differences
  // from the first are exact where they lie within a factor of two of it (values far from
  // zero and close together, whose digits a plain sum would lose), and the mean is the
  // first plus the mean of those differences.
  const int exponent = std::ilogb(std::max(std::fabs(least), std::fabs(greatest)));
  const double pivot = std::scalbn(values[0], -exponent);
  double shift = 0;
  for (const double value : values) shift += std::scalbn(value, -exponent) - pivot;
  shift /= count;
  double squares = 0;
  for (const double value : values) {
    const double deviation = (std::scalbn(value, -exponent) - pivot) - shift;
    squares += deviation * deviation;
  }
  const double mean = std::scalbn(pivot + shift, exponent);
  return {std::clamp(mean, least, greatest), std::scalbn(std::sqrt(squares / count), exponent)};
}
