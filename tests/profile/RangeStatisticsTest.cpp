#include "profile/RangeStatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

  const std::vector<double> shifted{0, 4, 8, 4, 0};  // crossings at 1 and 3, interpolated
  EXPECT_DOUBLE_EQ(*RangeStatistics(shifted).HalfMaximumWidth, 2);
  EXPECT_EQ(RangeStatistics(std::vector<double>{NAN, HUGE_VAL}).Count, 0u);
  EXPECT_FALSE(RangeStatistics(std::vector<double>{5, 5, 5}).HalfMaximumWidth);
}

}  // namespace
