#include "profile/RangeStatistics.h"

#include <algorithm>
#include <cmath>

namespace {

// Where the curve first falls to `half` going from the peak by `step` (+1 or -1): the
// crossing's place interpolated between the last finite sample above and the first at or
// below.
std::optional<double> Crossing(std::span<const double> values, size_t peak, int step, double half) {
  const auto size = static_cast<ptrdiff_t>(values.size());
  ptrdiff_t above = static_cast<ptrdiff_t>(peak);
  for (ptrdiff_t j = above + step; j >= 0 && j < size; j += step) {
    const double value = values[static_cast<size_t>(j)];
    if (!std::isfinite(value)) continue;
    if (value <= half) {
      const double top = values[static_cast<size_t>(above)];
      return static_cast<double>(above) + static_cast<double>(j - above) * (top - half) / (top - value);
    }
    above = j;
  }
  return std::nullopt;
}

}  // namespace

TRangeStatistics RangeStatistics(std::span<const double> values) {
  TRangeStatistics figures;
  size_t peak = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    const double value = values[i];
    if (!std::isfinite(value)) continue;
    if (figures.Count == 0 || value > figures.Maximum) peak = i;
    figures.Minimum = figures.Count == 0 ? value : std::min(figures.Minimum, value);
    figures.Maximum = figures.Count == 0 ? value : std::max(figures.Maximum, value);
    figures.Sum += value;
    ++figures.Count;
  }
  if (figures.Count == 0) return figures;
  figures.Mean = figures.Sum / static_cast<double>(figures.Count);
  double squares = 0;
  for (const double value : values)
    if (std::isfinite(value)) squares += (value - figures.Mean) * (value - figures.Mean);
  figures.StandardDeviation = std::sqrt(squares / static_cast<double>(figures.Count));
  const double half = figures.Minimum + (figures.Maximum - figures.Minimum) / 2;
  const std::optional<double> left = Crossing(values, peak, -1, half);
  const std::optional<double> right = Crossing(values, peak, +1, half);
  if (left && right && figures.Maximum > figures.Minimum) figures.HalfMaximumWidth = *right - *left;
  return figures;
}
