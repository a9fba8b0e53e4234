#pragma once
// The figures of a stretch of one curve: how many samples, their least and greatest value,
// mean, standard deviation and sum, the full width at half maximum of its highest peak, where
// that peak lies and the curve's centroid.

#include <cstddef>
#include <optional>
#include <span>

struct TRangeStatistics {
  size_t Count = 0;
  double Minimum = 0;
  double Maximum = 0;
  double Mean = 0;
  // Of the samples themselves (divided by the count), 0 for a single sample.
  double StandardDeviation = 0;
  double Sum = 0;
  // In samples, between the points on either side of the highest sample where the curve
  // crosses half its height over the stretch's minimum, each interpolated between two
  // samples; none when the curve does not fall to half on both sides within the stretch.
  std::optional<double> HalfMaximumWidth;
  // The greatest sample's place, moved by the parabola through it and its neighbours to
  // where the parabola peaks (by at most half a sample), counted from the stretch's first
  // sample.
  double PeakPosition = 0;
  // The mean place weighted by each sample's height over the stretch's minimum; none for a
  // flat stretch.
  std::optional<double> Centroid;
};

// The figures of the values; NaN and the infinities are left out of every figure.
TRangeStatistics RangeStatistics(std::span<const double> values);

// Where a stretch's peak and centroid lie among the whole profile's samples, for a stretch
// that starts at sample `first`; none where the stretch has no such place.
struct TRangePlaces {
  std::optional<double> Peak;
  std::optional<double> Centroid;
};
TRangePlaces PlacesOf(const TRangeStatistics& figures, size_t first);
