#pragma once
// A peak or an edge fitted to a stretch of one curve by least squares (Levenberg–Marquardt
// on four parameters), with each parameter's standard error from the fit's covariance:
//   peak: baseline + height * exp(-(x - centre)^2 / (2 sigma^2)), a dip with a negative height;
//   edge: baseline + height * (1 + erf((x - centre) / (sigma sqrt 2))) / 2, a falling edge
//         with a negative height.
// x is the sample's index in the whole profile.

#include <cstddef>
#include <optional>
#include <span>

enum class TFitShape { Peak, Edge };

// Why a fit has no numbers.
enum class TFitFailure { None, TooFewSamples, Flat, NoConvergence };

struct TFitValue {
  double Value = 0;
  double Error = 0;
};

struct TCurveFit {
  TFitShape Shape = TFitShape::Peak;
  TFitFailure Failure = TFitFailure::None;
  TFitValue Baseline, Height, Centre, Sigma;
  double RSquared = 0;
  // The samples fitted: first and last index in the whole profile.
  size_t First = 0;
  size_t Last = 0;

  bool Fitted() const noexcept { return Failure == TFitFailure::None; }
  // A peak's full width at half maximum (2 sqrt(2 ln 2) sigma), an edge's 10–90 % width
  // (2.563 sigma), with its standard error.
  TFitValue Width() const noexcept;
  // The fitted curve at x.
  double At(double x) const noexcept;
};

// The fit of values[i] at x = first + i; NaN and the infinities are left out. A fit needs
// five finite samples (one more than it has parameters) that are not all equal.
TCurveFit FitCurve(TFitShape shape, std::span<const double> values, size_t first);

// The 10–90 % rise of an edge measured on the samples themselves, in samples: between the
// levels a tenth and nine tenths of the way from the stretch's least to its greatest value,
// from the first sample at the upper level (going from the low end of the edge) back to the
// last one at the lower level, each crossing interpolated between two samples. The low end
// is the end whose first tenth of samples has the lower mean. None for fewer than two
// finite samples or a flat stretch.
std::optional<double> SampleRise(std::span<const double> values);
