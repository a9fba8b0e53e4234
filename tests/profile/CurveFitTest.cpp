#include "profile/CurveFit.h"
#include "profile/Exponential.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

struct TTrueCurve {
  TFitShape Shape;
  double Baseline, Height, Centre, Sigma;
};

std::vector<double> Samples(const TTrueCurve& curve, size_t first, size_t count) {
  TCurveFit model;
  model.Shape = curve.Shape;
  model.Baseline.Value = curve.Baseline;
  model.Height.Value = curve.Height;
  model.Centre.Value = curve.Centre;
  model.Sigma.Value = curve.Sigma;
  std::vector<double> values;
  for (size_t i = 0; i < count; ++i) values.push_back(model.At(static_cast<double>(first + i)));
  return values;
}

// Noise-free curves come back to a part in 10^9, wherever the stretch starts: peaks, a dip,
// a peak cut off at the stretch's end, rising and falling edges.
TEST(CurveFit, NoiseFreeCurvesComeBackExactly) {
  const TTrueCurve cases[] = {
      {TFitShape::Peak, 10, 200, 1100, 40},   {TFitShape::Peak, -3, 0.5, 1050.25, 3.5},
      {TFitShape::Peak, 250, -180, 1120, 12}, {TFitShape::Peak, 5, 90, 1185, 20},
      {TFitShape::Edge, 20, 150, 1090, 6},    {TFitShape::Edge, 170, -150, 1111.5, 15},
  };
  for (const TTrueCurve& curve : cases) {
    const TCurveFit fit = FitCurve(curve.Shape, Samples(curve, 1000, 200), 1000);
    ASSERT_TRUE(fit.Fitted()) << curve.Centre;
    EXPECT_NEAR(fit.Centre.Value, curve.Centre, 1e-9 * curve.Centre);
    EXPECT_NEAR(fit.Sigma.Value, curve.Sigma, 1e-9 * curve.Sigma);
    EXPECT_NEAR(fit.Height.Value, curve.Height, 1e-9 * std::fabs(curve.Height));
    EXPECT_NEAR(fit.Baseline.Value, curve.Baseline, 1e-9 * (std::fabs(curve.Baseline) + std::fabs(curve.Height)));
    EXPECT_NEAR(fit.RSquared, 1, 1e-12);
    EXPECT_EQ(fit.First, 1000u);
    EXPECT_EQ(fit.Last, 1199u);
  }
  const TCurveFit peak = FitCurve(TFitShape::Peak, Samples(cases[0], 1000, 200), 1000);
  EXPECT_NEAR(peak.Width().Value, 2 * std::sqrt(2 * std::log(2.0)) * 40, 1e-7);
  const TCurveFit edge = FitCurve(TFitShape::Edge, Samples(cases[4], 1000, 200), 1000);
  EXPECT_NEAR(edge.Width().Value, 2.5631031310892 * 6, 1e-7);
  // A peak on a slope has its mean above the middle of its values, as a dip has; it is still
  // a peak.
  std::vector<double> sloped = Samples({TFitShape::Peak, 100, 120, 1048, 20}, 1000, 96);
  for (size_t i = 0; i < sloped.size(); ++i) sloped[i] += 0.5 * static_cast<double>(i);
  const TCurveFit onSlope = FitCurve(TFitShape::Peak, sloped, 1000);
  ASSERT_TRUE(onSlope.Fitted());
  EXPECT_GT(onSlope.Height.Value, 100);
  EXPECT_NEAR(onSlope.Centre.Value, 1048, 5);
}

// With normal noise of 5 % of the height on 200 samples, the centre and sigma lie within three
// standard errors of the truth in at least 95 of 100 seeded trials: the errors are right.
TEST(CurveFit, StandardErrorsCoverTheTruthUnderNoise) {
  for (TFitShape shape : {TFitShape::Peak, TFitShape::Edge}) {
    const TTrueCurve truth{shape, 30, 100, 100, shape == TFitShape::Peak ? 15.0 : 8.0};
    std::mt19937 random(shape == TFitShape::Peak ? 7 : 11);
    std::normal_distribution<double> noise(0, 5);
    int covered = 0;
    for (int trial = 0; trial < 100; ++trial) {
      std::vector<double> values = Samples(truth, 0, 200);
      for (double& value : values) value += noise(random);
      const TCurveFit fit = FitCurve(shape, values, 0);
      ASSERT_TRUE(fit.Fitted()) << trial;
      covered += std::fabs(fit.Centre.Value - truth.Centre) <= 3 * fit.Centre.Error &&
                 std::fabs(fit.Sigma.Value - truth.Sigma) <= 3 * fit.Sigma.Error;
    }
    EXPECT_GE(covered, 95) << (shape == TFitShape::Peak ? "peak" : "edge");
  }
}

// What cannot be fitted says why; NaN and the infinities are left out of a fit that works.
TEST(CurveFit, BadStretchesSayWhy) {
  EXPECT_EQ(FitCurve(TFitShape::Peak, std::vector<double>{7}, 3).Failure, TFitFailure::TooFewSamples);
  EXPECT_EQ(FitCurve(TFitShape::Edge, std::vector<double>{1, NAN, 3, HUGE_VAL, 5, 6}, 0).Failure,
            TFitFailure::TooFewSamples);
  EXPECT_EQ(FitCurve(TFitShape::Peak, std::vector<double>(50, 4.5), 0).Failure, TFitFailure::Flat);
  std::vector<double> slope;
  for (int i = 0; i < 50; ++i) slope.push_back(i);
  EXPECT_FALSE(FitCurve(TFitShape::Peak, slope, 0).Fitted()) << "a straight slope has no peak";

  std::vector<double> gappy = Samples({TFitShape::Peak, 10, 100, 60, 9}, 0, 120);
  gappy[60] = NAN;
  gappy[10] = -HUGE_VAL;
  const TCurveFit fit = FitCurve(TFitShape::Peak, gappy, 0);
  ASSERT_TRUE(fit.Fitted());
  EXPECT_NEAR(fit.Centre.Value, 60, 1e-9);
  EXPECT_NEAR(fit.Sigma.Value, 9, 1e-9);
}

// The rise of the samples themselves: a linear ramp from 0 to 100 over samples 10..20
// crosses 10 and 90 at 11 and 19; falling the same; too little or flat data has none.
TEST(CurveFit, SampleRiseIsInterpolatedBetweenSamples) {
  std::vector<double> ramp(31);
  for (int i = 0; i < 31; ++i) ramp[i] = std::clamp((i - 10) * 10.0, 0.0, 100.0);
  EXPECT_DOUBLE_EQ(*SampleRise(ramp), 8);
  std::vector<double> falling(ramp.rbegin(), ramp.rend());
  falling[3] = NAN;
  EXPECT_DOUBLE_EQ(*SampleRise(falling), 8);
  EXPECT_FALSE(SampleRise(std::vector<double>{3}));
  EXPECT_FALSE(SampleRise(std::vector<double>{2, 2, 2, 2}));
}

// The models' exponential against the runtime's, across its whole range in steps that hit
// every table entry, and at its ends.
TEST(CurveFit, ExponentialIsWithinTwoUnitsInTheLastPlace) {
  double worst = 0;
  for (double x = -707.9; x < 709; x += 0.0137) worst = std::max(worst, std::fabs(Exponential(x) / std::exp(x) - 1));
  EXPECT_LE(worst, 3 * std::numeric_limits<double>::epsilon());
  EXPECT_EQ(Exponential(0), 1);
  EXPECT_EQ(Exponential(-800), 0);
  EXPECT_EQ(Exponential(-std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(Exponential(710), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(Exponential(std::nan(""))));
}

}  // namespace
