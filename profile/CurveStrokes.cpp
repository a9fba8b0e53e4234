#include "profile/CurveStrokes.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <climits>
#include <cmath>
#include <limits>
#include <utility>

namespace {

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
  // Whether a line from the column before reaches the last column's points.
  bool TailLinked = false;
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

// Which samples a curve draws: all, or (with gaps) those on the scale.
template <bool Gapped>
struct TDrawnSamples {
  const TPlotGeometry& Geometry;
  bool operator()(double value) const noexcept { return !Gapped || Geometry.OnScale(value); }
};

template <TCurveKind Kind, bool Gapped>
TValueRange ValueRange(const TProfilePlotData& arrays, size_t first, size_t end, TDrawnSamples<Gapped> drawn) noexcept {
  TValueRange range;
  for (size_t i = first; i < end; ++i) {
    const double value = CurveValueOf<Kind>(arrays, i);
    if (!drawn(value)) continue;
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
// the last column, which keeps its points. With gaps, samples off the scale are left out
// and so is every line to or from them. `arrays` is the caller's copy of the spans, so
// that the values are read inline.
template <TCurveKind Kind, bool Gapped>
TCurveShape ShapeOf(const std::vector<TColumnSpan>& spans, const TValueRows& rows, const TProfilePlotData arrays,
                    size_t length, int firstX, size_t columns, TDrawnSamples<Gapped> drawn) {
  TCurveShape shape;
  shape.Columns.resize(columns);
  const auto valueOf = [&arrays](size_t i) { return CurveValueOf<Kind>(arrays, i); };
  TPlotPoint leaving{};
  bool leavingDrawn = false;
  for (const TColumnSpan& span : spans) {
    if (span.First >= length) break;
    const size_t end = std::min(span.End, length);
    size_t first = span.First;
    while (first < end && !drawn(valueOf(first))) ++first;
    const bool linked = leavingDrawn && first == span.First;
    leavingDrawn = false;
    if (first == end) {
      if (span.End >= length) break;
      continue;
    }
    const TPlotPoint entering{span.X, rows.Row(valueOf(first))};
    if (linked) shape.Links.push_back({leaving, entering});
    if (span.End >= length) {
      shape.Tail.push_back(entering);
      shape.TailLinked = linked;
      for (size_t i = first + 1; i < length; ++i) {
        if (!drawn(valueOf(i))) continue;
        const TPlotPoint point{span.X, rows.Row(valueOf(i))};
        if (!(point == shape.Tail.back())) shape.Tail.push_back(point);
      }
      break;
    }
    shape.Columns[static_cast<size_t>(span.X - firstX)] = rows.Span(ValueRange<Kind>(arrays, first, end, drawn));
    leaving = {span.X, rows.Row(valueOf(end - 1))};
    leavingDrawn = drawn(valueOf(end - 1));
  }
  return shape;
}

template <bool Gapped>
TCurveShape CurveShapeOf(const std::vector<TColumnSpan>& spans, const TPlotGeometry& geometry,
                         const TProfilePlotData& data, TCurveKind kind, int firstX, size_t columns) {
  const TValueRows rows(geometry);
  const size_t length = CurveLength(data, kind);
  const TDrawnSamples<Gapped> drawn{geometry};
  switch (kind) {
    case TCurveKind::Gray: return ShapeOf<TCurveKind::Gray>(spans, rows, data, length, firstX, columns, drawn);
    case TCurveKind::Average: return ShapeOf<TCurveKind::Average>(spans, rows, data, length, firstX, columns, drawn);
    case TCurveKind::Red: return ShapeOf<TCurveKind::Red>(spans, rows, data, length, firstX, columns, drawn);
    case TCurveKind::Green: return ShapeOf<TCurveKind::Green>(spans, rows, data, length, firstX, columns, drawn);
    case TCurveKind::Blue: return ShapeOf<TCurveKind::Blue>(spans, rows, data, length, firstX, columns, drawn);
  }
  return {};
}

// A curve has gaps on a log scale and where its data leaves them at NaN; elsewhere NaN sits
// on the zero line.
TCurveShape CurveShape(const std::vector<TColumnSpan>& spans, const TPlotGeometry& geometry,
                       const TProfilePlotData& data, TCurveKind kind, int firstX, size_t columns) {
  if (geometry.LogScale() || data.GapsAtNaN) return CurveShapeOf<true>(spans, geometry, data, kind, firstX, columns);
  return CurveShapeOf<false>(spans, geometry, data, kind, firstX, columns);
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
  } else if (shape.Tail.size() == 1 && !shape.TailLinked) {
    // A lone point, which a line of no length would leave out: the line to the next pixel
    // covers just it.
    const TPlotPoint point = shape.Tail[0];
    TCover::AppendLine(strokes, point, {point.X + 1, point.Y});
  }
  return strokes;
}

}  // namespace

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
