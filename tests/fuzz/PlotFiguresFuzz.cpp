// Fuzz entries for the plot's arithmetic, each against a plain reference: the figures of a
// range against sums in long double, a zoom of the view against what it promises, the
// tooltip's place against the four places beside the cursor.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "profile/PlotView.h"
#include "profile/RangeStatistics.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/FuzzInput.h"
#include "ui/TipPlacement.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

// A value of any magnitude: a whole double from the bytes, or a base near a chosen power
// of ten plus a small step, where cancellation shows.
double Value(TFuzzInput& input, double base) {
  if (input.Flag()) {
    uint64_t bits = uint64_t{input.Word()} | uint64_t{input.Word()} << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  return base + static_cast<double>(input.Range(-1000, 1000)) * 0.1;
}

// Within a billionth of the values' magnitude, or a few of the smallest subnormals, which
// is all the precision a double there has.
bool Near(long double reference, double value, long double scale) {
  return std::fabs(reference - static_cast<long double>(value)) <= 1e-9L * scale + 1e-320L;
}

}  // namespace

int FuzzRangeStatistics(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const double bases[] = {0, 1, 1e8, 2.2e15, 1e17, -1e200, 1e300, 1.7e308};
  const double base = bases[input.Byte() % 8];
  std::vector<double> values(static_cast<size_t>(input.Range(1, 64)));
  for (double& value : values) value = Value(input, base);

  std::vector<long double> finite;
  for (double value : values)
    if (std::isfinite(value)) finite.push_back(value);
  const TRangeStatistics figures = RangeStatistics(values);
  Check(figures.Count == finite.size());
  if (finite.empty()) return 0;
  long double sum = 0, least = finite[0], greatest = finite[0], scale = 0;
  for (long double value : finite) {
    sum += value;
    least = std::min(least, value);
    greatest = std::max(greatest, value);
    scale = std::max(scale, std::fabs(value));
  }
  const long double mean = sum / finite.size();
  long double squares = 0;
  for (long double value : finite) squares += (value - mean) * (value - mean);
  const long double deviation = std::sqrt(squares / finite.size());

  Check(figures.Minimum == least && figures.Maximum == greatest);
  Check(figures.Mean >= figures.Minimum && figures.Mean <= figures.Maximum && Near(mean, figures.Mean, scale));
  Check(Near(deviation, figures.StandardDeviation, scale));
  if (least == greatest) Check(figures.StandardDeviation == 0);
  if (std::fabs(sum) < DBL_MAX / 2) Check(Near(sum, figures.Sum, scale * finite.size()));
  if (figures.HalfMaximumWidth)
    Check(std::isfinite(*figures.HalfMaximumWidth) && *figures.HalfMaximumWidth > 0 &&
          *figures.HalfMaximumWidth <= static_cast<double>(values.size()));
  return 0;
}

// After a zoom the view lies in the profile, holds the anchor and as many samples as asked
// within the limits, and the anchor keeps its place in the frame to within half a sample
// where the profile's ends leave room.
int FuzzPlotView(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const size_t total = static_cast<size_t>(input.Range(1, 100000));
  const size_t count = static_cast<size_t>(input.Range(1, static_cast<int>(total)));
  const TPlotView view{static_cast<size_t>(input.Range(0, static_cast<int>(total - count))), count};
  const size_t anchor = view.First + static_cast<size_t>(input.Range(0, static_cast<int>(count - 1)));
  const double factor = std::pow(1.5, input.Range(-6, 6)) * (1 + input.Range(0, 99) / 100.0);
  const size_t minCount = static_cast<size_t>(input.Range(0, 200));

  const TPlotView zoomed = ZoomView(view, total, anchor, factor, minCount);
  Check(zoomed.Count >= std::min(total, std::max<size_t>(minCount, 2)) && zoomed.Count <= total);
  Check(zoomed.First + zoomed.Count <= total);
  Check(anchor >= zoomed.First && anchor < zoomed.First + zoomed.Count);
  if (view.Count < 2 || zoomed.Count < 2) return 0;
  const double before = double(anchor - view.First) / double(view.Count - 1);
  const double after = double(anchor - zoomed.First) / double(zoomed.Count - 1);
  const double ideal = double(anchor) - before * double(zoomed.Count - 1);
  const bool pinned = ideal < 0.5 || ideal + double(zoomed.Count - 1) > double(total - 1) - 0.5;
  if (!pinned) Check(std::fabs(after - before) * double(zoomed.Count - 1) <= 0.5 + 1e-9);
  return 0;
}

// The tip never covers the cursor's hot spot; when it fits the work area on some side of
// the cursor, or the cursor is outside the area, it lies inside the area.
int FuzzTipPlacement(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const TTipRect area{input.Range(-2000, 2000), input.Range(-2000, 2000), 0, 0};
  const TTipRect work{area.Left, area.Top, area.Left + input.Range(1, 4000), area.Top + input.Range(1, 3000)};
  const TTipPoint cursor{input.Range(work.Left - 300, work.Right + 300), input.Range(work.Top - 300, work.Bottom + 300)};
  const int width = input.Range(1, 1500), height = input.Range(1, 800);
  const int gapX = input.Range(1, 64), gapY = input.Range(1, 64);
  const TTipPoint place = PlaceTip(cursor, width, height, work, gapX, gapY);

  const auto inside = [&](int x, int y) {
    return x >= work.Left && y >= work.Top && x + width <= work.Right && y + height <= work.Bottom;
  };
  Check(!(cursor.X >= place.X && cursor.X < place.X + width && cursor.Y >= place.Y && cursor.Y < place.Y + height));
  bool fitsBeside = false;
  for (int x : {cursor.X + gapX, cursor.X - gapX - width})
    for (int y : {cursor.Y + gapY, cursor.Y - gapY - height}) fitsBeside |= inside(x, y);
  const bool cursorOutside =
      cursor.X < work.Left || cursor.X >= work.Right || cursor.Y < work.Top || cursor.Y >= work.Bottom;
  const bool fitsArea = width <= work.Right - work.Left && height <= work.Bottom - work.Top;
  if (fitsBeside || (cursorOutside && fitsArea)) Check(inside(place.X, place.Y));
  return 0;
}
