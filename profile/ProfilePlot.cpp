#include "profile/ProfilePlot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr TColor CurveGray = PackColor(128, 128, 128);
constexpr TColor CurveRed = PackColor(255, 0, 0);
constexpr TColor CurveGreen = PackColor(0, 128, 0);
constexpr TColor CurveBlue = PackColor(0, 0, 255);

}  // namespace

std::vector<TPlotCurve> CurvesOf(int planeIndex, bool complexMap) {
  if (complexMap) return {{TCurveKind::Gray, CurveGray}};
  std::vector<TPlotCurve> curves;
  if (planeIndex == piGrayscale) curves.push_back({TCurveKind::Gray, CurveGray});
  if (planeIndex == piAverage) curves.push_back({TCurveKind::Average, CurveGray});
  if (planeIndex == piAll || planeIndex == piRed) curves.push_back({TCurveKind::Red, CurveRed});
  if (planeIndex == piAll || planeIndex == piGreen) curves.push_back({TCurveKind::Green, CurveGreen});
  if (planeIndex == piAll || planeIndex == piBlue) curves.push_back({TCurveKind::Blue, CurveBlue});
  return curves;
}

double CurveValue(const TProfilePlotData& data, TCurveKind kind, size_t i) noexcept {
  switch (kind) {
    case TCurveKind::Gray: return CurveValueOf<TCurveKind::Gray>(data, i);
    case TCurveKind::Average: return CurveValueOf<TCurveKind::Average>(data, i);
    case TCurveKind::Red: return CurveValueOf<TCurveKind::Red>(data, i);
    case TCurveKind::Green: return CurveValueOf<TCurveKind::Green>(data, i);
    case TCurveKind::Blue: return CurveValueOf<TCurveKind::Blue>(data, i);
  }
  return 0;
}

double CurveSpread(const TProfilePlotData& data, TCurveKind kind, size_t i) noexcept {
  const auto at = [i](std::span<const double> values) { return i < values.size() ? values[i] : 0.0; };
  const TColorSample channels = i < data.SpreadRGB.size() ? data.SpreadRGB[i] : TColorSample{};
  switch (kind) {
    case TCurveKind::Gray: return at(data.Spread);
    case TCurveKind::Average: return at(data.SpreadAverage);
    case TCurveKind::Red: return channels.R;
    case TCurveKind::Green: return channels.G;
    case TCurveKind::Blue: return channels.B;
  }
  return 0;
}

size_t CurveLength(const TProfilePlotData& data, TCurveKind kind) {
  if (kind == TCurveKind::Gray) return data.Profile.size();
  return std::min(data.Profile.size(), data.ProfileRGB.size());
}

TPlotGeometry::TPlotGeometry(int width, int height, int margin, size_t count, double maxValue, double minValue,
                             TAxisRoom room)
    : FMargin(margin),
      FLeft(margin + room.Left),
      FRight(width - margin - 2),
      FBaseY(height - 1 - margin - room.Bottom),
      FXScale(count > 1 ? (width - 2.0 - 2.0 * margin - room.Left) / static_cast<double>(count - 1) : 0),
      FYScale((height - 1.0 - 2.0 * margin - room.Bottom) / (maxValue - minValue)),
      FMinValue(minValue) {}

double AxisStep(double span, int pixels, int spacing) noexcept {
  if (!(span > 0) || !std::isfinite(span) || pixels < 1) return 1;
  const double least = span * std::max(spacing, 1) / pixels;
  const double power = std::pow(10.0, std::floor(std::log10(least)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0})
    if (factor * power >= least) return factor * power;
  return 10 * power;
}

std::vector<double> ValueTicks(const TProfilePlotData& data, int pixels, int spacing) {
  std::vector<double> ticks;
  const double step = AxisStep(data.MaxValue - data.MinValue, pixels, spacing);
  const double first = std::ceil(data.MinValue / step);
  for (int k = 0; k < 200 && (first + k) * step <= data.MaxValue; ++k) ticks.push_back((first + k) * step);
  return ticks;
}

// Labels are multiples of the step, counted as such: a sum of steps would drift off round
// numbers. The tolerance keeps an end that is a round distance within rounding a tick.
std::vector<TAxisTick> SampleTicks(const TProfilePlotData& data, int pixels, int spacing) {
  std::vector<TAxisTick> ticks;
  const size_t count = data.Profile.size();
  if (count == 0) return ticks;
  const bool distances = data.AxisScale > 0 && std::isfinite(data.AxisScale);
  const double scale = distances ? data.AxisScale : 1;
  const double origin = ((distances ? 0 : data.AxisOrigin) + static_cast<double>(data.FirstSample)) * scale;
  const double span = static_cast<double>(count - 1) * scale;
  const double step = std::max(distances ? 0.0 : 1.0, AxisStep(span, pixels, spacing));
  if (!(step > 0)) return ticks;
  constexpr double Tolerance = 1e-9;
  const double first = std::ceil(origin / step - Tolerance), last = std::floor((origin + span) / step + Tolerance);
  for (double k = first; k <= last && ticks.size() < 1000; ++k)
    ticks.push_back({(k * step - origin) / scale, k * step});
  return ticks;
}

std::vector<double> ValueTicks(const TProfilePlotData& data, const TPlotGeometry& frame) {
  return ValueTicks(data, frame.BaseY() - frame.Top(), TAxisSizes(data).ValueTickSpacing);
}

std::vector<TAxisTick> SampleTicks(const TProfilePlotData& data, const TPlotGeometry& frame) {
  return SampleTicks(data, frame.Right() - frame.Left(), TAxisSizes(data).SampleTickSpacing);
}

TValueSpan CurveValueSpan(const TProfilePlotData& data) {
  double least = HUGE_VAL, greatest = -HUGE_VAL;
  const auto take = [&](double value) {
    if (!std::isfinite(value)) return;
    least = std::min(least, value);
    greatest = std::max(greatest, value);
  };
  for (const TPlotCurve& curve : CurvesOf(data.PlaneIndex, data.ComplexMap)) {
    const size_t length = CurveLength(data, curve.Kind);
    for (size_t i = 0; i < length; ++i) take(CurveValue(data, curve.Kind, i));
  }
  if (least > greatest) return {0, 1};
  // Half the span, taken of halves so that it cannot overflow; a flat curve gets half a unit,
  // or a billionth of its value where half a unit is below the value's precision.
  const double halfSpan = least < greatest ? greatest / 2 - least / 2 : std::max(0.5, std::fabs(least) * 1e-9);
  const double margin = least < greatest ? FittedMargin * 2 * halfSpan : halfSpan;
  // Near the largest doubles the margin stays on the side where it fits.
  const double low = least - margin, high = greatest + margin;
  if (!std::isfinite(low)) return {least, std::isfinite(high) ? high : greatest};
  if (!std::isfinite(high)) return {low, greatest};
  return {low, high};
}

// The index on the scale, rounded, lies on the nearest column or next to it: the columns
// are the scaled indices rounded. Its neighbour on the other side of the scale's value
// settles it.
size_t TPlotGeometry::NearestSample(int x, size_t count) const noexcept {
  if (count < 2 || !(FXScale > 0)) return 0;
  const double scaled = std::clamp((x - FLeft) / FXScale, 0.0, static_cast<double>(count - 1));
  const size_t nearest = static_cast<size_t>(scaled + 0.5);
  const double offset = static_cast<double>(nearest) - scaled;
  const size_t other = offset < 0 ? std::min(nearest + 1, count - 1) : (nearest > 0 ? nearest - 1 : 0);
  return std::abs(X(other) - x) < std::abs(X(nearest) - x) ? other : nearest;
}

// X rounds the scaled index, so column x holds the indices whose scaled value lies below
// x - margin + 1/2: an estimate from that, corrected against X itself, costs a few
// evaluations a column however many samples share it.
size_t TPlotGeometry::ColumnEnd(size_t i, size_t count) const noexcept {
  const int x = X(i);
  size_t end = i + 1;
  if (FXScale > 0 && FXScale < 1) {
    const double estimate = (x - FLeft + 0.5) / FXScale;
    end = estimate < static_cast<double>(count) ? std::max(end, static_cast<size_t>(estimate)) : count;
    while (end > i + 1 && X(end - 1) != x) --end;
  }
  while (end < count && X(end) == x) ++end;
  return end;
}

std::vector<TRampRun> RampRuns(const TPlotGeometry& geometry, size_t count, size_t first) {
  std::vector<TRampRun> runs;
  int x = geometry.Left();
  for (size_t i = 0; i < count; i = geometry.ColumnEnd(i, count)) {
    const int to = geometry.X(i);
    if (to != x) runs.push_back({x, to, static_cast<uint8_t>((first + i) % 256)});
    x = to;
  }
  return runs;
}

