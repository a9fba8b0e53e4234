#include "profile/RangeStatistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "profile/Moments.h"

namespace {

// Where the curve first falls to `half` going from the peak by `step` (+1 or -1): the
// crossing's place interpolated between the last finite sample above and the first at or
// below. The differences are taken of halves, which cannot overflow, and the sample above
// lies above `half`, so the share is a number from 0 to 1.
std::optional<double> Crossing(std::span<const double> values, size_t peak, int step, double half) {
  const auto size = static_cast<ptrdiff_t>(values.size());
  ptrdiff_t above = static_cast<ptrdiff_t>(peak);
  for (ptrdiff_t j = above + step; j >= 0 && j < size; j += step) {
    const double value = values[static_cast<size_t>(j)];
    if (!std::isfinite(value)) continue;
    if (value <= half) {
      const double top = values[static_cast<size_t>(above)];
      const double share = (top / 2 - half / 2) / (top / 2 - value / 2);
      return static_cast<double>(above) + static_cast<double>(j - above) * share;
    }
    above = j;
  }
  return std::nullopt;
}

// Beside a finite neighbour on each side, the vertex of the parabola through the three
// samples; the peak is the greatest, so the vertex lies within half a sample of it.
double PeakPosition(std::span<const double> values, size_t peak) {
  if (peak == 0 || peak + 1 >= values.size()) return static_cast<double>(peak);
  const double left = values[peak - 1], top = values[peak], right = values[peak + 1];
  const double curvature = left - 2 * top + right;
  if (!std::isfinite(left) || !std::isfinite(right) || !(curvature < 0)) return static_cast<double>(peak);
  return static_cast<double>(peak) + std::clamp((left - right) / (2 * curvature), -0.5, 0.5);
}

std::optional<double> Centroid(std::span<const double> values, double minimum) {
  double weights = 0, moment = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    if (!std::isfinite(values[i])) continue;
    const double weight = values[i] / 2 - minimum / 2;
    weights += weight;
    moment += weight * static_cast<double>(i);
  }
  if (!(weights > 0) || !std::isfinite(moment / weights)) return std::nullopt;
  return moment / weights;
}

}  // namespace

TRangeStatistics RangeStatistics(std::span<const double> values) {
  TRangeStatistics figures;
  std::vector<double> finite;
  size_t peak = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    const double value = values[i];
    if (!std::isfinite(value)) continue;
    if (finite.empty() || value > figures.Maximum) peak = i;
    figures.Minimum = finite.empty() ? value : std::min(figures.Minimum, value);
    figures.Maximum = finite.empty() ? value : std::max(figures.Maximum, value);
    figures.Sum += value;
    finite.push_back(value);
  }
  figures.Count = finite.size();
  if (figures.Count == 0) return figures;
  const TMoments moments = MomentsOf(finite);
  figures.Mean = moments.Mean;
  figures.StandardDeviation = moments.Deviation;
  figures.PeakPosition = PeakPosition(values, peak);
  figures.Centroid = Centroid(values, figures.Minimum);
  // Half the height over the minimum: a flat stretch, or one whose half rounds to its
  // maximum, has no peak to measure.
  const double half = std::midpoint(figures.Minimum, figures.Maximum);
  if (!(figures.Maximum > half)) return figures;
  const std::optional<double> left = Crossing(values, peak, -1, half);
  const std::optional<double> right = Crossing(values, peak, +1, half);
  if (left && right && std::isfinite(*right - *left)) figures.HalfMaximumWidth = *right - *left;
  return figures;
}

TRangePlaces PlacesOf(const TRangeStatistics& figures, size_t first) {
  const double start = static_cast<double>(first);
  TRangePlaces places;
  if (figures.Count > 0) places.Peak = start + figures.PeakPosition;
  if (figures.Centroid) places.Centroid = start + *figures.Centroid;
  return places;
}
