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
                             TAxisRoom room, bool logScale)
    : FMargin(margin),
      FLeft(margin + room.Left),
      FRight(width - margin - 2),
      FBaseY(height - 1 - margin - room.Bottom),
      FXScale(count > 1 ? (width - 2.0 - 2.0 * margin - room.Left) / static_cast<double>(count - 1) : 0),
      FYScale((height - 1.0 - 2.0 * margin - room.Bottom) /
              (logScale ? LogOf(maxValue) - LogOf(minValue) : maxValue - minValue)),
      FMinValue(logScale ? LogOf(minValue) : minValue),
      FLogScale(logScale) {}

double AxisStep(double span, int pixels, int spacing) noexcept {
  if (!(span > 0) || !std::isfinite(span) || pixels < 1) return 1;
  const double least = span * std::max(spacing, 1) / pixels;
  const double power = std::pow(10.0, std::floor(std::log10(least)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0})
    if (factor * power >= least) return factor * power;
  return 10 * power;
}

namespace {

// The multiples of the step from least to greatest, counted as such.
std::vector<double> RoundTicks(double least, double greatest, double step) {
  std::vector<double> ticks;
  const double first = std::ceil(least / step);
  for (int k = 0; k < 200 && (first + k) * step <= greatest; ++k) ticks.push_back((first + k) * step);
  return ticks;
}

// Within less than a decade the values' pixels are densest at the top, where a value's
// height grows by 1 / (ln 10 * value) decades: the step is chosen for that density.
std::vector<double> LinearTicksOnLogScale(const TProfilePlotData& data, int pixels, int spacing) {
  const double least = data.MinValue, greatest = data.MaxValue;
  const double topPixels = pixels * (greatest - least) / (greatest * std::log(greatest / least));
  return RoundTicks(least, greatest, AxisStep(greatest - least, static_cast<int>(topPixels), spacing));
}

std::vector<double> LogTicks(const TProfilePlotData& data, int pixels, int spacing) {
  std::vector<double> ticks;
  if (!(data.MinValue > 0) || !(data.MaxValue > data.MinValue) || pixels < 1) return ticks;
  const double low = std::log10(data.MinValue), high = std::log10(data.MaxValue);
  if (high - low < 1) return LinearTicksOnLogScale(data, pixels, spacing);
  const double decadePixels = pixels / (high - low);
  // Doubles span some 630 decades.
  int stride = 1;
  for (int candidate : {1, 2, 5, 10, 20, 50, 100, 200, 500})
    if ((stride = candidate) * decadePixels >= spacing) break;
  // log10(2) and log10(5 / 2): the narrower gap between 1, 2, 5 and 10 is 0.30 decades.
  const bool between = stride == 1 && 0.30103 * decadePixels >= spacing;
  constexpr double Tolerance = 1e-9;
  for (int decade = static_cast<int>(std::floor(low)); decade <= static_cast<int>(std::floor(high)); ++decade) {
    if (decade % stride != 0 && !between) continue;
    const double power = std::pow(10.0, decade);
    for (double multiple : {1.0, 2.0, 5.0}) {
      if (multiple > 1 && !between) break;
      const double value = multiple * power, place = std::log10(value);
      if (place >= low - Tolerance && place <= high + Tolerance) ticks.push_back(value);
    }
  }
  return ticks;
}

}  // namespace

std::vector<double> ValueTicks(const TProfilePlotData& data, int pixels, int spacing) {
  if (data.LogScale) return LogTicks(data, pixels, spacing);
  return RoundTicks(data.MinValue, data.MaxValue, AxisStep(data.MaxValue - data.MinValue, pixels, spacing));
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

namespace {

// Calls visit(value) for every sample of the curves drawn, the live ones and the kept ones
// beside the view.
template <typename Visit>
void ForEachDrawnValue(const TProfilePlotData& data, Visit visit) {
  for (const TPlotCurve& curve : CurvesOf(data.PlaneIndex, data.ComplexMap)) {
    const size_t length = CurveLength(data, curve.Kind);
    for (size_t i = 0; i < length; ++i) visit(CurveValue(data, curve.Kind, i));
  }
  for (const TKeptSeries& kept : data.Kept)
    for (double value : KeptInView(data, kept)) visit(value);
}

// The least and the greatest finite value for which `take` holds; least > greatest for
// none.
template <typename Take>
TValueSpan DrawnValueExtremes(const TProfilePlotData& data, Take take) {
  TValueSpan span{HUGE_VAL, -HUGE_VAL};
  ForEachDrawnValue(data, [&](double value) {
    if (!std::isfinite(value) || !take(value)) return;
    span.Least = std::min(span.Least, value);
    span.Greatest = std::max(span.Greatest, value);
  });
  return span;
}

}  // namespace

TValueSpan CurveLogSpan(const TProfilePlotData& data) {
  const TValueSpan values = DrawnValueExtremes(data, [](double value) { return value > 0; });
  if (values.Least > values.Greatest) return {1, 10};
  const double low = std::log10(values.Least), high = std::log10(values.Greatest);
  const double margin = low < high ? FittedMargin * (high - low) : 0.5;
  return {std::pow(10.0, low - margin), std::pow(10.0, high + margin)};
}

void UseLogScale(TProfilePlotData& data, const std::optional<TValueSpan>& rangeSet) {
  data.LogScale = true;
  TValueSpan span = CurveLogSpan(data);
  if (rangeSet && rangeSet->Greatest > 0) {
    span.Greatest = rangeSet->Greatest;
    if (rangeSet->Least > 0) span.Least = rangeSet->Least;
    else if (span.Least >= span.Greatest) span.Least = span.Greatest / 10;
  }
  data.MinValue = span.Least;
  data.MaxValue = span.Greatest;
}

size_t LeftOffLogScale(const TProfilePlotData& data) {
  size_t count = 0;
  for (const TPlotCurve& curve : CurvesOf(data.PlaneIndex, data.ComplexMap)) {
    const size_t length = CurveLength(data, curve.Kind);
    for (size_t i = 0; i < length; ++i) count += CurveValue(data, curve.Kind, i) <= 0;
  }
  return count;
}

TValueSpan CurveValueSpan(const TProfilePlotData& data) {
  const auto [least, greatest] = DrawnValueExtremes(data, [](double) { return true; });
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

