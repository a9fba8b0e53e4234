#include "profile/CurveFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "profile/Exponential.h"

namespace {

constexpr int Parameters = 4;
using TVector = std::array<double, Parameters>;
using TMatrix = std::array<TVector, Parameters>;
enum { Base, Height, Centre, Sigma };

// 2 sqrt(2 ln 2): a Gaussian's FWHM in sigmas; 2 sqrt(2) erfinv(0.8): an edge's 10–90 % width.
constexpr double FwhmPerSigma = 2.3548200450309493;
constexpr double RisePerSigma = 2.5631031310892007;

struct TPoint {
  double X;
  double Y;
};

bool LowerValue(const TPoint& a, const TPoint& b) { return a.Y < b.Y; }

// The model at one set of parameters: its value and its derivatives by the four parameters
// at any x. What every x shares is worked out once, so that a point costs no division.
class TModel {
 public:
  TModel(TFitShape shape, const TVector& p) noexcept : FShape(shape), FP(p), FInverseSigma(1 / p[Sigma]) {}

  double At(double x, TVector* gradient) const noexcept {
    const double u = (x - FP[Centre]) * FInverseSigma;  // in sigmas from the centre
    const double bell = Exponential(-u * u / 2);
    if (FShape == TFitShape::Peak) {
      if (gradient) {
        const double slope = FP[Height] * bell * u * FInverseSigma;
        *gradient = {1, bell, slope, slope * u};
      }
      return FP[Base] + FP[Height] * bell;
    }
    const double step = (1 + std::erf(u * (1 / std::numbers::sqrt2))) / 2;
    if (gradient) {
      const double slope = FP[Height] * bell * FInverseSigma * (std::numbers::inv_sqrtpi / std::numbers::sqrt2);
      *gradient = {1, step, -slope, -slope * u};
    }
    return FP[Base] + FP[Height] * step;
  }

 private:
  TFitShape FShape;
  TVector FP;
  double FInverseSigma;
};

// Solves a x = b by Gauss–Jordan elimination with partial pivoting; false when a is singular.
bool Solve(TMatrix a, TVector b, TVector& x) {
  for (int c = 0; c < Parameters; ++c) {
    int pivot = c;
    for (int r = c + 1; r < Parameters; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    if (!(std::fabs(a[pivot][c]) > 0)) return false;
    std::swap(a[c], a[pivot]);
    std::swap(b[c], b[pivot]);
    for (int r = 0; r < Parameters; ++r) {
      if (r == c) continue;
      const double factor = a[r][c] / a[c][c];
      for (int k = c; k < Parameters; ++k) a[r][k] -= factor * a[c][k];
      b[r] -= factor * b[c];
    }
  }
  for (int c = 0; c < Parameters; ++c) x[c] = b[c] / a[c][c];
  return std::all_of(x.begin(), x.end(), [](double v) { return std::isfinite(v); });
}

// The sum of squared residuals at p, with the normal equations' matrix (J^T J) and gradient
// (J^T r) there: one pass over the points, whose model values cost the most.
struct TEvaluation {
  double Ssr = HUGE_VAL;
  TMatrix Jtj{};
  TVector Jtr{};
};

TEvaluation Evaluate(TFitShape shape, const TVector& p, const std::vector<TPoint>& points) {
  TEvaluation at;
  at.Ssr = 0;
  const TModel model(shape, p);
  for (const TPoint& point : points) {
    TVector g;
    const double r = point.Y - model.At(point.X, &g);
    at.Ssr += r * r;
    for (int i = 0; i < Parameters; ++i) {
      at.Jtr[i] += g[i] * r;
      for (int k = 0; k <= i; ++k) at.Jtj[i][k] += g[i] * g[k];
    }
  }
  for (int i = 0; i < Parameters; ++i)
    for (int k = i + 1; k < Parameters; ++k) at.Jtj[i][k] = at.Jtj[k][i];
  return at;
}

// Whether a step changes no parameter by more than a part in 10^9 of its size: the sum of
// squares is then flat to within its rounding (a noise-free curve's parameters are exact
// to well below that, the last steps shrinking quadratically).
bool Negligible(const TVector& step, const TVector& p, double scale) {
  constexpr double Tolerance = 1e-9;
  for (int i = 0; i < Parameters; ++i)
    if (!(std::fabs(step[i]) <= Tolerance * (std::fabs(p[i]) + 1e-3 * scale))) return false;
  return true;
}

// Levenberg–Marquardt with Marquardt's scaling by the diagonal, from p and `at`, the
// evaluation there. Each trial is evaluated with its normal equations, which the next step
// needs when the trial is taken. It stops after a negligible step, taken or not, after a
// trial that does no better than p within the sum's rounding, or when the sum of squares
// reaches the data's rounding, leaving `at` the evaluation at p; false when it does not get
// there.
bool Minimise(TFitShape shape, TVector& p, const std::vector<TPoint>& points, double scale, TEvaluation& at) {
  constexpr int MaxIterations = 500;
  double lambda = 1e-3;
  const double floor = 1e-28 * scale * scale * static_cast<double>(points.size());
  for (int iteration = 0; iteration < MaxIterations; ++iteration) {
    if (at.Ssr <= floor) return true;
    for (;;) {
      TMatrix damped = at.Jtj;
      for (int i = 0; i < Parameters; ++i) damped[i][i] += lambda * std::max(at.Jtj[i][i], 1e-300);
      TVector step;
      if (!Solve(damped, at.Jtr, step)) return false;
      const bool negligible = Negligible(step, p, scale);
      TVector trial = p;
      for (int i = 0; i < Parameters; ++i) trial[i] += step[i];
      TEvaluation next = trial[Sigma] != 0 ? Evaluate(shape, trial, points) : TEvaluation{};
      if (next.Ssr <= at.Ssr) {
        p = trial;
        at = next;
        lambda = std::max(lambda / 10, 1e-12);
        if (negligible) return true;
        break;
      }
      // A trial the sum of squares tells from p only by its rounding: p is the minimum.
      if (negligible || next.Ssr - at.Ssr <= 1e-12 * at.Ssr) return true;
      lambda *= 10;
      if (lambda > 1e16) return true;
    }
  }
  return false;
}

std::vector<TPoint> FinitePoints(std::span<const double> values, size_t first) {
  std::vector<TPoint> points;
  for (size_t i = 0; i < values.size(); ++i)
    if (std::isfinite(values[i])) points.push_back({static_cast<double>(first + i), values[i]});
  return points;
}

// The mean of the first or the last tenth of the points (at least one).
double EndMean(const std::vector<TPoint>& points, bool last) {
  const size_t n = std::max<size_t>(1, points.size() / 10);
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += points[last ? points.size() - 1 - i : i].Y;
  return sum / static_cast<double>(n);
}

// Peak (or dip): the baseline at the least (greatest) value, the centre at the extreme,
// sigma from the half-height width of the samples (at least half a sample).
TVector PeakStart(const std::vector<TPoint>& points, double least, double greatest, bool dip) {
  const double base = dip ? greatest : least, extreme = dip ? least : greatest;
  const auto at = std::find_if(points.begin(), points.end(), [&](const TPoint& point) { return point.Y == extreme; });
  const double half = (base + extreme) / 2;
  size_t inside = 0;
  for (const TPoint& point : points) inside += dip ? point.Y < half : point.Y > half;
  const double span = points.back().X - points.front().X;
  const double width = std::max(1.0, span * static_cast<double>(inside) / static_cast<double>(points.size()));
  return {base, extreme - base, at->X, std::max(width / FwhmPerSigma, 0.5)};
}

// Edge: the plateaus from the ends' means, the centre where the samples pass halfway, sigma
// from the samples' own rise (or a tenth of the stretch).
TVector EdgeStart(const std::vector<TPoint>& points, std::span<const double> values) {
  const double low = EndMean(points, false), high = EndMean(points, true);
  const double half = (low + high) / 2;
  double centre = (points.front().X + points.back().X) / 2;
  for (size_t i = 1; i < points.size(); ++i)
    if ((points[i - 1].Y - half) * (points[i].Y - half) <= 0 && points[i].Y != points[i - 1].Y) {
      centre = points[i - 1].X + (half - points[i - 1].Y) / (points[i].Y - points[i - 1].Y) * (points[i].X - points[i - 1].X);
      break;
    }
  const double span = points.back().X - points.front().X;
  const double rise = SampleRise(values).value_or(span / 4);
  return {low, high - low, centre, std::max(rise / RisePerSigma, 0.5)};
}

// The covariance's diagonal, s^2 (J^T J)^-1, and one off-diagonal term (baseline, height).
bool Errors(const TEvaluation& at, size_t count, TVector& errors, double& baseHeight) {
  const double variance = at.Ssr / static_cast<double>(count - Parameters);
  TMatrix inverse;
  for (int c = 0; c < Parameters; ++c) {
    TVector unit{}, column;
    unit[c] = 1;
    if (!Solve(at.Jtj, unit, column)) return false;
    for (int r = 0; r < Parameters; ++r) inverse[r][c] = column[r];
  }
  for (int i = 0; i < Parameters; ++i) errors[i] = std::sqrt(std::max(0.0, variance * inverse[i][i]));
  baseHeight = variance * inverse[Base][Height];
  return true;
}

// A minimum with its centre far outside the stretch, or a width far beyond it, fits the noise
// or a slope, not a peak or an edge.
bool Plausible(const TVector& p, const std::vector<TPoint>& points) {
  const double span = std::max(1.0, points.back().X - points.front().X);
  return std::all_of(p.begin(), p.end(), [](double v) { return std::isfinite(v); }) && p[Sigma] != 0 &&
         std::fabs(p[Sigma]) <= 10 * span && p[Centre] >= points.front().X - span && p[Centre] <= points.back().X + span;
}

}  // namespace

TFitValue TCurveFit::Width() const noexcept {
  const double factor = Shape == TFitShape::Peak ? FwhmPerSigma : RisePerSigma;
  return {factor * Sigma.Value, factor * Sigma.Error};
}

double TCurveFit::At(double x) const noexcept {
  return TModel(Shape, {Baseline.Value, Height.Value, Centre.Value, Sigma.Value}).At(x, nullptr);
}

TCurveFit FitCurve(TFitShape shape, std::span<const double> values, size_t first) {
  TCurveFit fit;
  fit.Shape = shape;
  fit.First = first;
  fit.Last = values.empty() ? first : first + values.size() - 1;
  const std::vector<TPoint> points = FinitePoints(values, first);
  if (points.size() <= Parameters) {
    fit.Failure = TFitFailure::TooFewSamples;
    return fit;
  }
  const auto [least, greatest] = std::minmax_element(points.begin(), points.end(), LowerValue);
  if (!(greatest->Y > least->Y)) {
    fit.Failure = TFitFailure::Flat;
    return fit;
  }
  const double scale = std::max(std::fabs(least->Y), std::fabs(greatest->Y));
  // Whether the samples hold a peak or a dip no simple figure tells (a peak on a slope has
  // its mean above the middle of its values, like a dip): a peak is fitted from whichever
  // start lies closer to the samples.
  std::vector<TVector> starts;
  if (shape == TFitShape::Peak) {
    for (bool dip : {false, true}) starts.push_back(PeakStart(points, least->Y, greatest->Y, dip));
  } else {
    starts.push_back(EdgeStart(points, values));
  }
  TVector p = starts.front();
  TEvaluation at = Evaluate(shape, p, points);
  for (size_t i = 1; i < starts.size(); ++i)
    if (TEvaluation other = Evaluate(shape, starts[i], points); other.Ssr < at.Ssr) {
      p = starts[i];
      at = other;
    }
  TVector errors;
  double baseHeight = 0;
  if (!Minimise(shape, p, points, scale, at) || !Plausible(p, points) ||
      !Errors(at, points.size(), errors, baseHeight)) {
    fit.Failure = TFitFailure::NoConvergence;
    return fit;
  }
  // A negative sigma is the same peak; for an edge it turns the step over: b + h Phi(-u)
  // is (b + h) - h Phi(u).
  if (p[Sigma] < 0) {
    p[Sigma] = -p[Sigma];
    if (shape == TFitShape::Edge) {
      errors[Base] = std::sqrt(std::max(0.0, errors[Base] * errors[Base] + errors[Height] * errors[Height] + 2 * baseHeight));
      p[Base] += p[Height];
      p[Height] = -p[Height];
    }
  }
  fit.Baseline = {p[Base], errors[Base]};
  fit.Height = {p[Height], errors[Height]};
  fit.Centre = {p[Centre], errors[Centre]};
  fit.Sigma = {p[Sigma], errors[Sigma]};
  double mean = 0, total = 0;
  for (const TPoint& point : points) mean += point.Y;
  mean /= static_cast<double>(points.size());
  for (const TPoint& point : points) total += (point.Y - mean) * (point.Y - mean);
  fit.RSquared = 1 - at.Ssr / total;
  return fit;
}

std::optional<double> SampleRise(std::span<const double> values) {
  std::vector<TPoint> points = FinitePoints(values, 0);
  if (points.size() < 2) return std::nullopt;
  if (EndMean(points, false) > EndMean(points, true)) std::reverse(points.begin(), points.end());
  const auto [least, greatest] = std::minmax_element(points.begin(), points.end(), LowerValue);
  if (!(greatest->Y > least->Y)) return std::nullopt;
  const double lower = least->Y + (greatest->Y - least->Y) / 10, upper = greatest->Y - (greatest->Y - least->Y) / 10;
  const auto crossing = [&](size_t below, size_t above, double level) {
    const TPoint &a = points[below], &b = points[above];
    return a.X + (level - a.Y) / (b.Y - a.Y) * (b.X - a.X);
  };
  size_t top = 0;
  while (points[top].Y < upper) ++top;
  if (top == 0) return std::nullopt;
  size_t bottom = top - 1;
  while (bottom > 0 && points[bottom].Y > lower) --bottom;
  if (points[bottom].Y > lower) return std::nullopt;
  const double x90 = crossing(top - 1, top, upper);
  const double x10 = crossing(bottom, bottom + 1, lower);
  return std::fabs(x90 - x10);
}
