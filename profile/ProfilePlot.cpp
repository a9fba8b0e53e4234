#include "profile/ProfilePlot.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "image/Rounding.h"

namespace {

constexpr TColor CurveGray = PackColor(128, 128, 128);
constexpr TColor CurveRed = PackColor(255, 0, 0);
constexpr TColor CurveGreen = PackColor(0, 128, 0);
constexpr TColor CurveBlue = PackColor(0, 0, 255);

// Drops trailing zeros of the fraction and a separator left alone, then puts in the
// user's separator.
std::string TrimmedFraction(std::string_view digits, char decimalSeparator) {
  std::string text(digits);
  const size_t point = text.find('.');
  if (point == std::string::npos) return text;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.')
    text.pop_back();
  else
    text[point] = decimalSeparator;
  return text;
}

std::string_view ToChars(char* buffer, size_t size, double value, std::chars_format format,
                         int decimals) {
  const auto result = std::to_chars(buffer, buffer + size, value, format, decimals);
  return std::string_view(buffer, result.ptr - buffer);
}

template <TCurveKind Kind>
double ValueOf(const TProfilePlotData& data, size_t i) noexcept {
  if constexpr (Kind == TCurveKind::Gray) {
    return data.Profile[i];
  } else if constexpr (Kind == TCurveKind::Average) {
    return AverageOf(data.ProfileRGB[i]);
  } else if constexpr (Kind == TCurveKind::Red) {
    return data.ProfileRGB[i].R;
  } else if constexpr (Kind == TCurveKind::Green) {
    return data.ProfileRGB[i].G;
  } else {
    return data.ProfileRGB[i].B;
  }
}

// Rows Low .. High of one column; empty when Low > High.
struct TRows {
  int Low = 1;
  int High = 0;
  bool Empty() const noexcept { return Low > High; }
};

// A curve's polyline taken apart: the rows its vertical lines cover in each column but the
// last (indexed from the plot's first column), the lines from each such column to the
// next, and the last column's points.
struct TCurveShape {
  std::vector<TRows> Columns;
  std::vector<std::pair<TPlotPoint, TPlotPoint>> Links;
  std::vector<TPlotPoint> Tail;
};

// The samples First .. End - 1, all on column X.
struct TColumnSpan {
  int X;
  size_t First;
  size_t End;
};

// The columns of the first `count` samples in order.
std::vector<TColumnSpan> ColumnSpans(const TPlotGeometry& geometry, size_t count) {
  std::vector<TColumnSpan> spans;
  for (size_t i = 0; i < count;) {
    const size_t end = geometry.ColumnEnd(i, count);
    spans.push_back({geometry.X(i), i, end});
    i = end;
  }
  return spans;
}

// The least and the greatest of some values, NaN left out, and whether there was NaN.
struct TValueRange {
  double Least = HUGE_VAL;
  double Greatest = -HUGE_VAL;
  bool NaN = false;
};

template <TCurveKind Kind>
TValueRange ValueRange(const TProfilePlotData& arrays, size_t first, size_t end) noexcept {
  TValueRange range;
  for (size_t i = first; i < end; ++i) {
    const double value = ValueOf<Kind>(arrays, i);
    range.Least = std::min(range.Least, value);
    range.Greatest = std::max(range.Greatest, value);
    range.NaN |= value != value;
  }
  return range;
}

// The plot rows of values, with those of the bytes 0 .. 255 at hand: a bitmap's channels
// hold nothing else, so a long colour profile looks its rows up instead of rounding each.
class TValueRows {
 public:
  explicit TValueRows(const TPlotGeometry& geometry) noexcept : FGeometry(geometry) {
    for (int value = 0; value < 256; ++value) FByteRows[value] = geometry.Y(value);
  }
  int Row(double value) const noexcept {
    if (value >= 0 && value < 256) {
      const int byte = static_cast<int>(value);
      if (byte == value) return FByteRows[byte];
    }
    return FGeometry.Y(value);
  }
  // The rows of all values of a range. A row is monotone in the value, rounding and
  // clamping keep the order, so the extremes of the values give the extremes of the rows;
  // NaN has a row of its own.
  TRows Span(const TValueRange& range) const noexcept {
    TRows span{INT_MAX, INT_MIN};
    if (range.Least <= range.Greatest) {
      const int least = Row(range.Least), greatest = Row(range.Greatest);
      span = {std::min(least, greatest), std::max(least, greatest)};
    }
    if (range.NaN) {
      const int nan = FGeometry.Y(std::numeric_limits<double>::quiet_NaN());
      span = {std::min(span.Low, nan), std::max(span.High, nan)};
    }
    return span;
  }

 private:
  const TPlotGeometry FGeometry;
  int FByteRows[256];
};

// The polyline through every sample of a curve, taken apart. A column's vertical lines
// cover the rows from its lowest to its highest sample; the line to the next column starts
// on its last sample, ends on the next column's first and so covers the last sample's
// pixel, which the column's own lines leave out when it is their end. Nothing starts in
// the last column, which keeps its points. `arrays` is the caller's copy of the spans, so
// that the values are read inline.
template <TCurveKind Kind>
TCurveShape ShapeOf(const std::vector<TColumnSpan>& spans, const TValueRows& rows, const TProfilePlotData arrays,
                    size_t length, int firstX, size_t columns) {
  TCurveShape shape;
  shape.Columns.resize(columns);
  const auto rowOf = [&rows, &arrays](size_t i) { return rows.Row(ValueOf<Kind>(arrays, i)); };
  TPlotPoint leaving{};
  for (const TColumnSpan& span : spans) {
    if (span.First >= length) break;
    const TPlotPoint entering{span.X, rowOf(span.First)};
    if (span.First > 0) shape.Links.push_back({leaving, entering});
    if (span.End >= length) {
      shape.Tail.push_back(entering);
      for (size_t i = span.First + 1; i < length; ++i) {
        const TPlotPoint point{span.X, rowOf(i)};
        if (!(point == shape.Tail.back())) shape.Tail.push_back(point);
      }
      break;
    }
    shape.Columns[static_cast<size_t>(span.X - firstX)] =
        rows.Span(ValueRange<Kind>(arrays, span.First, span.End));
    leaving = {span.X, rowOf(span.End - 1)};
  }
  return shape;
}

TCurveShape CurveShape(const std::vector<TColumnSpan>& spans, const TPlotGeometry& geometry,
                       const TProfilePlotData& data, TCurveKind kind, int firstX, size_t columns) {
  const TValueRows rows(geometry);
  const size_t length = CurveLength(data, kind);
  switch (kind) {
    case TCurveKind::Gray: return ShapeOf<TCurveKind::Gray>(spans, rows, data, length, firstX, columns);
    case TCurveKind::Average: return ShapeOf<TCurveKind::Average>(spans, rows, data, length, firstX, columns);
    case TCurveKind::Red: return ShapeOf<TCurveKind::Red>(spans, rows, data, length, firstX, columns);
    case TCurveKind::Green: return ShapeOf<TCurveKind::Green>(spans, rows, data, length, firstX, columns);
    case TCurveKind::Blue: return ShapeOf<TCurveKind::Blue>(spans, rows, data, length, firstX, columns);
  }
  return {};
}

// The rows of one column that the column lines of the curves from `first` on cover,
// merged into runs in order. A plot has at most three curves.
class TCover {
 public:
  TCover(const std::vector<TCurveShape>& shapes, size_t first, size_t column) noexcept {
    assert(shapes.size() <= FRuns.size() + first && "a plot has few curves");
    for (size_t later = first; later < shapes.size(); ++later) {
      const TRows rows = shapes[later].Columns[column];
      if (!rows.Empty()) FRuns[FCount++] = rows;
    }
    // A few runs at most: sorted by insertion.
    for (size_t i = 1; i < FCount; ++i)
      for (size_t j = i; j > 0 && FRuns[j].Low < FRuns[j - 1].Low; --j) std::swap(FRuns[j], FRuns[j - 1]);
    size_t merged = 0;
    for (size_t i = 0; i < FCount; ++i) {
      const TRows rows = FRuns[i];
      if (merged > 0 && rows.Low <= FRuns[merged - 1].High + 1)
        FRuns[merged - 1].High = std::max(FRuns[merged - 1].High, rows.High);
      else
        FRuns[merged++] = rows;
    }
    FCount = merged;
  }
  bool Covers(TRows rows) const noexcept {
    return std::any_of(FRuns.begin(), FRuns.begin() + static_cast<ptrdiff_t>(FCount),
                       [rows](TRows run) { return run.Low <= rows.Low && run.High >= rows.High; });
  }
  // The stretches of `rows` that no run covers.
  void AppendUncovered(int x, TRows rows, TCurveStrokes& strokes) const {
    for (size_t i = 0; i < FCount; ++i) {
      const TRows run = FRuns[i];
      if (run.High < rows.Low || run.Low > rows.High) continue;
      if (run.Low > rows.Low) strokes.Runs.push_back({x, rows.Low, run.Low});
      rows.Low = run.High + 1;
    }
    if (!rows.Empty()) strokes.Runs.push_back({x, rows.Low, rows.High + 1});
  }
  static void AppendLine(TCurveStrokes& strokes, TPlotPoint from, TPlotPoint to) {
    strokes.Points.push_back(from);
    strokes.Points.push_back(to);
    strokes.Counts.push_back(2);
  }

 private:
  std::array<TRows, 4> FRuns{};
  size_t FCount = 0;
};

// A line between columns lies inside the box of its end points. It adds nothing when the
// column lines of its own curve and the later ones cover that box in every column it
// crosses, as they mostly do for a dense profile.
bool LinkHidden(const std::vector<TCurveShape>& shapes, size_t curve, int firstX,
                const std::pair<TPlotPoint, TPlotPoint>& link) {
  const TRows rows{std::min(link.first.Y, link.second.Y), std::max(link.first.Y, link.second.Y)};
  const int from = std::min(link.first.X, link.second.X), to = std::max(link.first.X, link.second.X);
  for (int x = from; x <= to; ++x)
    if (!TCover(shapes, curve, static_cast<size_t>(x - firstX)).Covers(rows)) return false;
  return true;
}

TCurveStrokes StrokesOf(const std::vector<TCurveShape>& shapes, size_t curve, int firstX) {
  const TCurveShape& shape = shapes[curve];
  TCurveStrokes strokes;
  strokes.Runs.reserve(shape.Links.size());
  for (size_t column = 0; column < shape.Columns.size(); ++column) {
    const TRows rows = shape.Columns[column];
    const int x = firstX + static_cast<int>(column);
    if (!rows.Empty()) TCover(shapes, curve + 1, column).AppendUncovered(x, rows, strokes);
  }
  for (const auto& link : shape.Links)
    if (!LinkHidden(shapes, curve, firstX, link)) TCover::AppendLine(strokes, link.first, link.second);
  if (shape.Tail.size() >= 2) {
    strokes.Points.insert(strokes.Points.end(), shape.Tail.begin(), shape.Tail.end());
    strokes.Counts.push_back(static_cast<uint32_t>(shape.Tail.size()));
  } else if (shape.Tail.size() == 1 && shape.Links.empty()) {
    // A lone point, which a line of no length would leave out: the line to the next pixel
    // covers just it.
    const TPlotPoint point = shape.Tail[0];
    TCover::AppendLine(strokes, point, {point.X + 1, point.Y});
  }
  return strokes;
}

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
    case TCurveKind::Gray: return ValueOf<TCurveKind::Gray>(data, i);
    case TCurveKind::Average: return ValueOf<TCurveKind::Average>(data, i);
    case TCurveKind::Red: return ValueOf<TCurveKind::Red>(data, i);
    case TCurveKind::Green: return ValueOf<TCurveKind::Green>(data, i);
    case TCurveKind::Blue: return ValueOf<TCurveKind::Blue>(data, i);
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
  if (least == greatest) return {least - 0.5, greatest + 0.5};
  return {least, greatest};
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

// A later curve covers an earlier one: the columns are counted across all curves.
std::vector<TCurveStrokes> CurveStrokes(const TPlotGeometry& geometry, const TProfilePlotData& data,
                                        const std::vector<TPlotCurve>& curves) {
  size_t length = 0;
  for (const TPlotCurve& curve : curves) length = std::max(length, CurveLength(data, curve.Kind));
  const std::vector<TColumnSpan> spans = ColumnSpans(geometry, length);
  int firstX = INT_MAX, lastX = INT_MIN;
  for (const TColumnSpan& span : spans) {
    firstX = std::min(firstX, span.X);
    lastX = std::max(lastX, span.X);
  }
  const size_t columns = lastX < firstX ? 0 : static_cast<size_t>(lastX - firstX + 1);
  std::vector<TCurveShape> shapes;
  for (const TPlotCurve& curve : curves)
    shapes.push_back(CurveShape(spans, geometry, data, curve.Kind, firstX, columns));
  std::vector<TCurveStrokes> strokes;
  for (size_t curve = 0; curve < curves.size(); ++curve) strokes.push_back(StrokesOf(shapes, curve, firstX));
  return strokes;
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

std::string FormatGeneral(double value, int precision, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  precision = std::clamp(precision, 1, 17);
  char buffer[400];
  // The exponent of the value rounded to `precision` digits decides the notation:
  // 99999.7 rounds to 1.0000E5 and needs six integer digits.
  const std::string_view scientific =
      ToChars(buffer, sizeof buffer, value, std::chars_format::scientific, precision - 1);
  const size_t e = scientific.find('e');
  int exponent = 0;
  std::from_chars(scientific.data() + e + (scientific[e + 1] == '+' ? 2 : 1),
                  scientific.data() + scientific.size(), exponent);
  if (exponent >= precision || std::fabs(value) < 1E-5)
    return TrimmedFraction(scientific.substr(0, e), decimalSeparator) + "E" +
           std::to_string(exponent);
  const int decimals = std::max(0, precision - 1 - exponent);
  return TrimmedFraction(ToChars(buffer, sizeof buffer, value, std::chars_format::fixed, decimals),
                         decimalSeparator);
}
