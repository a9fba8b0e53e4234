#include "profile/RangeStatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "profile/Moments.h"

namespace {

// A triangle peak of height 100 over a floor of 10, 40 samples wide at its foot: half its
// height (60) is crossed 20 samples apart. The figures of the plain numbers beside it, and
// a stretch without the second crossing.
TEST(RangeStatistics, TheFiguresOfAStretchAndTheWidthOfItsHighestPeak) {
  std::vector<double> values(101, 10);
  for (int i = 30; i <= 70; ++i) values[i] = 110 - 100 * std::abs(i - 50) / 20.0;  // the top at 50
  values[60] = NAN;
  const TRangeStatistics peak = RangeStatistics(values);
  EXPECT_EQ(peak.Count, 100u);
  EXPECT_EQ(peak.Minimum, 10);
  EXPECT_EQ(peak.Maximum, 110);
  ASSERT_TRUE(peak.HalfMaximumWidth);
  EXPECT_DOUBLE_EQ(*peak.HalfMaximumWidth, 20);

  const std::vector<double> plain{1, 2, 3, 4};
  const TRangeStatistics figures = RangeStatistics(plain);
  EXPECT_EQ(figures.Sum, 10);
  EXPECT_EQ(figures.Mean, 2.5);
  EXPECT_DOUBLE_EQ(figures.StandardDeviation, std::sqrt(1.25));
  EXPECT_FALSE(figures.HalfMaximumWidth) << "a rising curve has no second half";

  EXPECT_EQ(peak.PeakPosition, 50) << "the parabola of a symmetric top";
  // The weights over the floor add up to 2000 around 50, less the missing 50 at 60.
  EXPECT_DOUBLE_EQ(*peak.Centroid, (50 * 2000 - 60 * 50) / 1950.0);

  const std::vector<double> shifted{0, 4, 8, 4, 0};  // crossings at 1 and 3, interpolated
  EXPECT_DOUBLE_EQ(*RangeStatistics(shifted).HalfMaximumWidth, 2);
  // A parabola's samples 9 - (i - 2.3)^2: the vertex comes back; the centroid of a one-sided
  // ramp over its minimum lies at the weights' mean place.
  std::vector<double> parabola;
  for (int i = 0; i < 6; ++i) parabola.push_back(9 - (i - 2.3) * (i - 2.3));
  EXPECT_DOUBLE_EQ(RangeStatistics(parabola).PeakPosition, 2.3);
  EXPECT_DOUBLE_EQ(*RangeStatistics(std::vector<double>{1, 2, 3}).Centroid, (1 * 1 + 2 * 2) / 3.0);
  EXPECT_EQ(RangeStatistics(std::vector<double>{1, 5}).PeakPosition, 1) << "at the end, no parabola";
  EXPECT_EQ(RangeStatistics(std::vector<double>{NAN, HUGE_VAL}).Count, 0u);
  EXPECT_FALSE(RangeStatistics(std::vector<double>{5, 5, 5}).HalfMaximumWidth);
  EXPECT_FALSE(RangeStatistics(std::vector<double>{5, 5, 5}).Centroid);
}

// Figures that hold for every double: no cancellation far from zero, no overflow near the
// largest doubles, a flat stretch exactly flat, and a width or none, never NaN. The
// reference spreads are taken in long double by two passes, themselves good to about 1e-8.
TEST(RangeStatistics, FiguresHoldForEveryDouble) {
  const auto reference = [](const std::vector<double>& values) {
    long double mean = 0, squares = 0;
    for (double value : values) mean += value;
    mean /= values.size();
    for (double value : values) squares += (value - mean) * (value - mean);
    return static_cast<double>(std::sqrt(squares / values.size()));
  };
  for (const double base : {0.0, 1e8, 2.2e15, -7e300}) {
    const std::vector<double> band{base, base + 0.1, base + 0.2, base + 0.3, base + 0.4};
    const double expected = reference(band);
    EXPECT_NEAR(MomentsOf(band).Deviation, expected, expected * 1e-6 + 1e-300) << base;
    EXPECT_NEAR(RangeStatistics(band).StandardDeviation, expected, expected * 1e-6 + 1e-300) << base;
  }
  const TRangeStatistics opposite = RangeStatistics(std::vector<double>{1e200, -1e200});
  EXPECT_EQ(opposite.StandardDeviation, 1e200);
  EXPECT_EQ(opposite.Mean, 0);
  EXPECT_EQ(opposite.Sum, 0);
  const TRangeStatistics flat = RangeStatistics(std::vector<double>{0.1, 0.1, 0.1});
  EXPECT_EQ(flat.StandardDeviation, 0);
  EXPECT_EQ(flat.Mean, 0.1);
  EXPECT_FALSE(flat.HalfMaximumWidth);
  // Rounding can put the mean of values just outside them; it is kept inside.
  const std::vector<double> close{0.1, 0.1 + 1.4e-17, 0.1 + 2.8e-17};
  const TMoments moments = MomentsOf(close);
  EXPECT_TRUE(moments.Mean >= close.front() && moments.Mean <= close.back());
  EXPECT_FALSE(RangeStatistics(std::vector<double>{0.99999999999999989, 1, 1}).HalfMaximumWidth);
  const TRangeStatistics huge = RangeStatistics(std::vector<double>{-1e308, 1e308, -1e308});
  ASSERT_TRUE(huge.HalfMaximumWidth);
  EXPECT_EQ(*huge.HalfMaximumWidth, 1);
  EXPECT_TRUE(std::isnan(MomentsOf(std::vector<double>{1, NAN}).Deviation));
}

}  // namespace
