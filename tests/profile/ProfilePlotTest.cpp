#include "profile/ProfilePlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

namespace {

TEST(ProfilePlot, GeometryRoundsHalfToEvenAndSurvivesDegenerateInputs) {
  const TPlotGeometry panel(595, 272, 8, 2, 255);
  EXPECT_EQ(panel.Right(), 585);
  EXPECT_EQ(panel.BaseY(), 263);
  EXPECT_EQ(panel.X(1), 585);
  EXPECT_EQ(panel.Y(255), 8);

  const TPlotGeometry halves(7, 6, 0, 3, 2);  // xScale = yScale = 2.5
  EXPECT_EQ(halves.X(1), 2);
  EXPECT_EQ(halves.X(2), 5);
  EXPECT_EQ(halves.Y(1), 5 - 2);
  EXPECT_EQ(halves.Y(3), 5 - 8);
  EXPECT_EQ(halves.Y(-1), 5 + 2);

  EXPECT_EQ(TPlotGeometry(595, 272, 8, 1, 255).X(0), 8);  // one sample: no division by zero
  const TPlotGeometry zeroMax(595, 272, 8, 10, 0);
  EXPECT_EQ(zeroMax.Y(0), 263);
  EXPECT_LT(zeroMax.Y(1), -100000);
  EXPECT_EQ(panel.Y(std::nan("")), 263);
  EXPECT_GT(panel.Y(-std::numeric_limits<double>::infinity()), 100000);
}

TEST(ProfilePlot, ColourCurvesOnlyWhereThereAreChannels) {
  const double profile[] = {1, 2, 3};
  const TColorSample rgb[] = {{3, 6, 12}, {0, 0, 0}};
  TProfilePlotData data;
  data.Profile = profile;
  EXPECT_EQ(CurveLength(data, TCurveKind::Red), 0u);
  data.ProfileRGB = rgb;
  EXPECT_EQ(CurveLength(data, TCurveKind::Average), 2u);
  EXPECT_EQ(CurveLength(data, TCurveKind::Gray), 3u);
  EXPECT_EQ(CurveValue(data, TCurveKind::Average, 0), 7);
  EXPECT_EQ(CurveValue(data, TCurveKind::Blue, 0), 12);
}

TEST(ProfilePlot, CurvePointsCollapseEachColumnButTheLast) {
  // Values 0..9 by i mod 10, except 90 at 4 and -5 at 7. With xScale 0.1 and ties to even,
  // samples 0..5 fall on column 0, 6..14 on 1, 15..25 on 2 and 26..30 on 3.
  std::vector<double> profile;
  for (int i = 0; i < 31; ++i) profile.push_back(i % 10 == 4 ? 90 : i % 10 == 7 ? -5 : i % 10);
  TProfilePlotData data;
  data.Profile = profile;
  const TPlotGeometry geometry(5, 300, 0, profile.size(), 100);
  std::vector<TPlotPoint> points{{-1, -1}};
  CurvePoints(geometry, data, TCurveKind::Gray, points);
  const auto at = [&](int x, double value) { return TPlotPoint{x, geometry.Y(value)}; };
  const std::vector<TPlotPoint> expected = {
      at(0, 0), at(0, 90), at(0, 5),               // first, extreme, last (first is lowest)
      at(1, 6), at(1, -5), at(1, 90),              // last is the highest
      at(2, 5), at(2, -5), at(2, 90), at(2, 5),    // extremes in the order met
      at(3, 6), at(3, -5), at(3, 8), at(3, 9), at(3, 0)};  // the last column whole
  EXPECT_EQ(points, expected);

  std::vector<TPlotPoint> single;
  data.Profile = std::span<const double>(profile).first(1);
  CurvePoints(TPlotGeometry(595, 272, 8, 1, 255), data, TCurveKind::Gray, single);
  EXPECT_EQ(single, (std::vector<TPlotPoint>{TPlotPoint{8, 263}}));
  CurvePoints(geometry, data, TCurveKind::Red, single);
  EXPECT_TRUE(single.empty());
}

// The ramp as described: a move to the left edge, then for every sample a line to its
// column in its gray level; a line covers its start but not its end.
std::vector<int> RampOracle(const TPlotGeometry& geometry, size_t count, int width) {
  std::vector<int> row(width, -1);
  int x = geometry.Left();
  for (size_t i = 0; i < count; ++i) {
    const int to = geometry.X(i);
    for (int px = x; px < to; ++px) row[px] = static_cast<int>(i % 256);
    x = to;
  }
  return row;
}

TEST(ProfilePlot, RampRunsMatchTheLineByLineRamp) {
  std::mt19937 random(17);
  for (int round = 0; round < 300; ++round) {
    const int width = std::uniform_int_distribution<int>(20, 800)(random);
    const size_t count = std::uniform_int_distribution<size_t>(1, 3000)(random);
    const TPlotGeometry geometry(width, 100, 8, count, 1);
    std::vector<int> row(width, -1);
    const std::vector<TRampRun> runs = RampRuns(geometry, count);
    for (const TRampRun& run : runs)
      for (int px = run.FromX; px < run.ToX; ++px) row[px] = run.Level;
    ASSERT_EQ(row, RampOracle(geometry, count, width)) << width << " x " << count;
    ASSERT_LE(runs.size(), static_cast<size_t>(width));
  }
}

TEST(ProfilePlot, GeneralFormatWithFiveSignificantDigits) {
  EXPECT_EQ(FormatGeneral(255), "255");
  EXPECT_EQ(FormatGeneral(1), "1");
  EXPECT_EQ(FormatGeneral(-0.0), "0");
  EXPECT_EQ(FormatGeneral(123456), "1.2346E5");
  EXPECT_EQ(FormatGeneral(99999), "99999");
  EXPECT_EQ(FormatGeneral(99999.7), "1E5");
  EXPECT_EQ(FormatGeneral(1.23456), "1.2346");
  EXPECT_EQ(FormatGeneral(-2.5), "-2.5");
  EXPECT_EQ(FormatGeneral(9.99996), "10");
  EXPECT_EQ(FormatGeneral(0.0001234567), "0.00012346");
  EXPECT_EQ(FormatGeneral(0.00001), "0.00001");
  EXPECT_EQ(FormatGeneral(0.000001), "1E-6");
  EXPECT_EQ(FormatGeneral(-0.0000012345678), "-1.2346E-6");
  EXPECT_EQ(FormatGeneral(1e300), "1E300");
  EXPECT_EQ(FormatGeneral(1234.5, 5, ','), "1234,5");
  EXPECT_EQ(FormatGeneral(1.5e7, 5, ','), "1,5E7");
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FormatGeneral(std::nan("")), "NAN");
  EXPECT_EQ(FormatGeneral(123.456, 2), "1.2E2");
}

// Against every sample: the one found lies on a nearest column, for scales above and
// below one pixel per sample, and outside the frame the end samples are nearest.
TEST(ProfilePlot, NearestSampleLiesOnTheNearestColumn) {
  for (size_t count : {2u, 3u, 7u, 100u, 577u, 1000u, 2500u}) {
    const TPlotGeometry geometry(595, 272, 8, count, 255);
    for (int x = 0; x < 595; ++x) {
      const size_t found = geometry.NearestSample(x, count);
      ASSERT_LT(found, count);
      int best = 1 << 30;
      for (size_t i = 0; i < count; ++i) best = std::min(best, std::abs(geometry.X(i) - x));
      ASSERT_EQ(std::abs(geometry.X(found) - x), best) << count << " " << x;
    }
    EXPECT_EQ(geometry.NearestSample(-50, count), 0u);
    EXPECT_EQ(geometry.NearestSample(2000, count), count - 1);
  }
  EXPECT_EQ(TPlotGeometry(595, 272, 8, 1, 255).NearestSample(300, 1), 0u);
}

}  // namespace
