#include "profile/ProfilePlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "profile/CurveStrokes.h"
#include "profile/NumberText.h"

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
}

// Against X for every sample: dense and sparse samples, ties on the scale (0.1, 2.5), a
// frame too narrow for its margin (X runs backwards) and a single column.
TEST(ProfilePlot, ColumnEndIsTheFirstSampleOnAnotherColumn) {
  const struct {
    int Width, Margin;
    size_t Count;
  } plots[] = {{603, 8, 14143}, {603, 8, 10000}, {595, 8, 577}, {603, 8, 100}, {5, 0, 31},
               {7, 0, 3},       {10, 8, 50},     {17, 0, 2},    {3, 0, 40},   {603, 8, 1}};
  for (const auto& plot : plots) {
    const TPlotGeometry geometry(plot.Width, 272, plot.Margin, plot.Count, 255);
    size_t columns = 0;
    for (size_t i = 0; i < plot.Count; i = geometry.ColumnEnd(i, plot.Count), ++columns) {
      const size_t end = geometry.ColumnEnd(i, plot.Count);
      ASSERT_GT(end, i);
      ASSERT_LE(end, plot.Count);
      for (size_t j = i; j < end; ++j) ASSERT_EQ(geometry.X(j), geometry.X(i)) << plot.Width << " " << j;
      if (end < plot.Count) {
        ASSERT_NE(geometry.X(end), geometry.X(i)) << plot.Width << " " << end;
      }
    }
    size_t changes = 0;
    for (size_t j = 1; j < plot.Count; ++j) changes += geometry.X(j) != geometry.X(j - 1);
    EXPECT_EQ(columns, changes + 1) << plot.Width;
  }
}

// One curve, so nothing is covered: each column but the last is one run over the rows of
// all its samples, NaN (on the zero line) and infinities included, for either sign of the
// scale.
TEST(ProfilePlot, ColumnRunsSpanTheRowsOfAllTheColumnsSamples) {
  std::mt19937 random(3);
  std::vector<double> profile(997);
  for (double& value : profile) value = std::uniform_real_distribution<double>(-40, 300)(random);
  for (const size_t i : {5u, 6u, 300u, 301u, 302u, 640u}) profile[i] = std::nan("");
  profile[77] = std::numeric_limits<double>::infinity();
  profile[500] = -std::numeric_limits<double>::infinity();
  for (size_t i = 900; i < 930; ++i) profile[i] = std::nan("");
  TProfilePlotData data;
  data.Profile = profile;
  for (const double maxValue : {255.0, -120.0}) {
    const TPlotGeometry geometry(60, 200, 4, profile.size(), maxValue);
    data.MaxValue = maxValue;
    const std::vector<TCurveStrokes> strokes = CurveStrokes(geometry, data, {{TCurveKind::Gray, 0}});
    std::map<int, std::pair<int, int>> expected;
    for (size_t i = 0; i < profile.size(); ++i) {
      const int x = geometry.X(i), y = geometry.Y(profile[i]);
      if (x == geometry.X(profile.size() - 1)) break;
      const auto [at, added] = expected.try_emplace(x, y, y + 1);
      at->second = {std::min(at->second.first, y), std::max(at->second.second, y + 1)};
    }
    std::map<int, std::pair<int, int>> runs;
    for (const TCurveStrokes::TColumnRun& run : strokes.at(0).Runs) runs[run.X] = {run.Top, run.Bottom};
    EXPECT_EQ(runs, expected) << maxValue;
  }
}

// With gaps (a log scale, or NaN in a kept curve) the strokes hold only the samples on the
// scale: the column runs span their rows, and every line joins two neighbouring samples
// on the scale, so nothing is drawn to or from a gap.
TEST(ProfilePlot, GapsLeaveOutTheSamplesOffTheScale) {
  std::mt19937 random(5);
  std::vector<double> profile(700);
  for (double& value : profile) value = std::uniform_real_distribution<double>(-20, 300)(random);
  for (size_t i = 200; i < 260; ++i) profile[i] = std::nan("");
  profile[690] = 0;
  for (const bool log : {false, true}) {
    for (const int width : {60, 2000}) {
      TProfilePlotData data;
      data.Profile = profile;
      data.GapsAtNaN = !log;
      const TPlotGeometry geometry(width, 200, 4, profile.size(), 300, log ? 1 : -20, {}, log);
      const auto onScale = [&](size_t i) { return log ? profile[i] > 0 : !std::isnan(profile[i]); };
      const auto pointOf = [&](size_t i) { return TPlotPoint{geometry.X(i), geometry.Y(profile[i])}; };
      const TCurveStrokes strokes = CurveStrokes(geometry, data, {{TCurveKind::Gray, 0}}).at(0);
      std::map<int, std::pair<int, int>> expected, runs;
      for (size_t i = 0; i < profile.size() && geometry.X(i) != geometry.X(profile.size() - 1); ++i) {
        if (!onScale(i)) continue;
        const TPlotPoint point = pointOf(i);
        const auto [at, added] = expected.try_emplace(point.X, point.Y, point.Y + 1);
        at->second = {std::min(at->second.first, point.Y), std::max(at->second.second, point.Y + 1)};
      }
      for (const TCurveStrokes::TColumnRun& run : strokes.Runs) runs[run.X] = {run.Top, run.Bottom};
      EXPECT_EQ(runs, expected) << log << " " << width;
      size_t at = 0;
      for (const uint32_t count : strokes.Counts) {
        for (size_t k = at; k + 1 < at + count; ++k) {
          bool joined = false;
          for (size_t i = 0; i + 1 < profile.size() && !joined; ++i)
            joined = onScale(i) && onScale(i + 1) && pointOf(i) == strokes.Points[k] && pointOf(i + 1) == strokes.Points[k + 1];
          EXPECT_TRUE(joined || strokes.Points[k].X == strokes.Points[k + 1].X) << log << " " << width << " line " << k;
        }
        at += count;
      }
    }
  }
}

// On a log scale each decade takes the same height; the ticks are powers of ten, every
// few of them over many decades, with 2 and 5 times them where a decade has room, and
// round values within less than a decade. Values at or below zero lie far below.
TEST(ProfilePlot, ALogScaleHasDecades) {
  const TPlotGeometry geometry(100, 309, 4, 10, 1e4, 1, {}, true);
  EXPECT_EQ(geometry.Y(1), 304);
  EXPECT_EQ(geometry.Y(10), 229);
  EXPECT_EQ(geometry.Y(1e4), 4);
  EXPECT_GT(geometry.Y(0), 1 << 19);
  EXPECT_GT(geometry.Y(-5), 1 << 19);
  EXPECT_FALSE(geometry.OnScale(0) || geometry.OnScale(std::nan("")) || !geometry.OnScale(1e-300));
  struct TCase {
    double Least, Greatest;
    int Pixels;
    std::vector<double> Ticks;
  };
  const TCase cases[] = {
      {1, 1000, 300, {1, 10, 100, 1000}},
      {1, 100, 600, {1, 2, 5, 10, 20, 50, 100}},
      {0.5, 1e6, 140, {1, 100, 1e4, 1e6}},
      {3e-9, 2e-3, 200, {1e-8, 1e-6, 1e-4}},
      {20, 180, 250, {100}},
      {1e-300, 1e300, 300, {1e-300, 1e-200, 1e-100, 1, 1e100, 1e200, 1e300}},
  };
  for (const TCase& c : cases) {
    TProfilePlotData data;
    data.LogScale = true;
    data.MinValue = c.Least;
    data.MaxValue = c.Greatest;
    const std::vector<double> ticks = ValueTicks(data, c.Pixels, 40);
    ASSERT_EQ(ticks.size(), c.Ticks.size()) << c.Least << " .. " << c.Greatest;
    for (size_t i = 0; i < ticks.size(); ++i) EXPECT_DOUBLE_EQ(ticks[i], c.Ticks[i]) << c.Least << " .. " << c.Greatest;
  }
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
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity()), "Inf");
  EXPECT_EQ(FormatGeneral(std::nan("")), "NaN");
  EXPECT_EQ(FormatGeneral(123.456, 2), "1.2E2");
  // An integrated selection's sums on the axes: whole numbers in full, grouped.
  EXPECT_EQ(FormatGrouped(523330, ","), "523,330");
  EXPECT_EQ(FormatGrouped(-1234567, "\xC2\xA0"), "-1\xC2\xA0" "234\xC2\xA0" "567");
  EXPECT_EQ(FormatGrouped(999, ","), "999");
  EXPECT_EQ(FormatGrouped(12345678, ",", 4), "1234,5678");
  EXPECT_EQ(FormatGrouped(2.5, ",", 3, ','), "2,5");
  EXPECT_EQ(FormatGrouped(1e15, ","), "1E15");
}

// The sample axis's ticks: whole samples counted from the axis's origin, or distances from
// the first sample once a pixel size is set, on round labels that reach the profile's end
// even where the scale is inexact in binary.
TEST(ProfilePlot, SampleTicksSitOnRoundLabels) {
  struct TCase {
    size_t Count;
    double Origin;
    size_t First;
    double Scale;
    int Pixels;
    std::vector<double> Labels;
    std::vector<double> Samples;
  };
  const TCase cases[] = {
      {101, 0, 0, 0, 400, {0, 20, 40, 60, 80, 100}, {0, 20, 40, 60, 80, 100}},
      {30, 7, 0, 0, 300, {10, 20, 30}, {3, 13, 23}},
      {3, 0, 0, 0, 1000, {0, 1, 2}, {0, 1, 2}},
      {11, 0, 0, 0.25, 400, {0, 0.5, 1, 1.5, 2, 2.5}, {0, 2, 4, 6, 8, 10}},
      {31, 0, 0, 0.1, 300, {0, 1, 2, 3}, {0, 10, 20, 30}},
      {11, 40, 5, 2, 200, {10, 20, 30}, {0, 5, 10}},
  };
  for (const TCase& c : cases) {
    const std::vector<double> profile(c.Count);
    TProfilePlotData data;
    data.Profile = profile;
    data.AxisOrigin = c.Origin;
    data.FirstSample = c.First;
    data.AxisScale = c.Scale;
    const std::vector<TAxisTick> ticks = SampleTicks(data, c.Pixels, 80);
    ASSERT_EQ(ticks.size(), c.Labels.size()) << c.Count << " samples at " << c.Scale;
    for (size_t i = 0; i < ticks.size(); ++i) {
      EXPECT_NEAR(ticks[i].Label, c.Labels[i], 1e-12) << c.Count << " samples, tick " << i;
      EXPECT_NEAR(ticks[i].Sample, c.Samples[i], 1e-9) << c.Count << " samples, tick " << i;
    }
  }
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

namespace {

// A fitted scale spans the finite values of the curves the plane draws, nothing else, with a
// margin of 4 % of their span beyond each end; a flat or empty profile gets a range of 1 (a
// relative one where 1 is below the value's precision), so that the scale never divides by
// zero and a flat curve lies at mid-height whatever its magnitude.
TEST(ProfilePlot, AFittedScaleSpansTheDrawnCurvesFiniteValues) {
  const auto withMargin = [](double least, double greatest) {
    const double margin = (greatest - least) * FittedMargin;
    return std::pair{least - margin, greatest + margin};
  };
  const std::vector<double> gray{40, NAN, 60, HUGE_VAL};
  const std::vector<TColorSample> rgb{{10, 200, 30}, {20, 100, 30}, {-5, 90, 30}, {0, 0, 300}};
  TProfilePlotData data;
  data.Profile = gray;
  data.ProfileRGB = rgb;
  const auto span = [&](int plane) {
    data.PlaneIndex = plane;
    const TValueSpan s = CurveValueSpan(data);
    return std::pair{s.Least, s.Greatest};
  };
  EXPECT_EQ(span(piGrayscale), withMargin(40, 60));
  EXPECT_EQ(span(piAverage), withMargin((-5 + 90 + 30) / 3.0, 100));
  EXPECT_EQ(span(piAll), withMargin(-5, 300));
  EXPECT_EQ(span(piBlue), withMargin(30, 300));
  data.ComplexMap = true;
  EXPECT_EQ(span(piBlue), withMargin(40, 60));
  const std::vector<double> flat{7, 7};
  data.Profile = flat;
  EXPECT_EQ(span(0), (std::pair{6.5, 7.5}));
  for (const double value : {1e17, -3e250, 1.7976931348623157e308}) {
    const std::vector<double> far{value, value, value};
    data.Profile = far;
    const auto [least, greatest] = span(0);
    ASSERT_LT(least, greatest) << value;
    // The largest double has no room above it: it lies at the top instead.
    if (value < 1e300) {
      EXPECT_EQ(TPlotGeometry(100, 61, 8, 3, greatest, least).Y(value), 30) << value;
    }
  }
  const std::vector<double> extremes{-1e308, 1e308};
  data.Profile = extremes;
  EXPECT_TRUE(std::isfinite(span(0).first) && std::isfinite(span(0).second));
  data.Profile = {};
  EXPECT_EQ(span(0), (std::pair{0.0, 1.0}));
  // Kept curves count beside the view's samples; a log scale takes the values above zero.
  const std::vector<double> live{5, -3, 0, 40}, kept{0, 1, 2, 400, 4, 5};
  const std::vector<TKeptSeries> series{{kept, 0, "kept"}};
  data.Profile = live;
  data.FirstSample = 2;
  data.Kept = series;
  EXPECT_EQ(span(0), withMargin(-3, 400));
  const double decades = std::log10(400.0 / 2) * FittedMargin;
  EXPECT_DOUBLE_EQ(CurveLogSpan(data).Least, 2 / std::pow(10, decades));
  EXPECT_DOUBLE_EQ(CurveLogSpan(data).Greatest, 400 * std::pow(10, decades));
  EXPECT_EQ(LeftOffLogScale(data), 2u);
  UseLogScale(data, TValueSpan{-10, 1000});
  EXPECT_EQ(std::pair(data.MinValue, data.MaxValue), std::pair(CurveLogSpan(data).Least, 1000.0));
  UseLogScale(data, TValueSpan{0.1, 10});
  EXPECT_EQ(std::pair(data.MinValue, data.MaxValue), std::pair(0.1, 10.0));
  data.Kept = {};
  data.Profile = {};
  EXPECT_EQ(CurveLogSpan(data).Least, 1);
  // With the scale from zero the points stay where they always were.
  const TPlotGeometry fromZero(100, 60, 8, 5, 255), fitted(100, 60, 8, 5, 255, 0);
  for (double value : {0.0, 1.5, 127.5, 255.0}) EXPECT_EQ(fromZero.Y(value), fitted.Y(value));
  EXPECT_EQ(TPlotGeometry(100, 60, 8, 5, 60, 40).Y(40), 51);
  EXPECT_EQ(TPlotGeometry(100, 60, 8, 5, 60, 40).Y(60), 8);
}

}  // namespace
