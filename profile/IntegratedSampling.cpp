#include "profile/IntegratedSampling.h"

#include <emmintrin.h>

#include <algorithm>
#include <cassert>
#include <climits>

#include "image/Rounding.h"
#include "profile/PixelMarker.h"
#include "profile/ProfileArrays.h"
#include "profile/RasterKind.h"

namespace {

// Saturates where the double has no 64-bit integer; NaN shows as the lowest value.
long long RoundToInt64(double value) {
  const double rounded = RoundHalfEven(value);
  if (rounded >= 0x1p63) return LLONG_MAX;
  if (!(rounded >= -0x1p63)) return LLONG_MIN;
  return static_cast<long long>(rounded);
}

std::string SumLabel(const std::vector<double>& profile) {
  double sum = 0;
  for (double value : profile) sum += value;
  return FormatText(S_PIXEL_SUM, RoundToInt64(sum));
}

// The lines of integrate mode in selection coordinates, and the span each one covers.
struct TLines {
  bool ByRows;
  int64_t First;
  int64_t Last;
  int64_t AlongFirst;
  int64_t AlongLast;
  int64_t Count() const { return Last - First + 1; }
};

TLines LinesOf(const TRect& selection, bool byRows) {
  if (byRows) return {true, selection.Top, selection.Bottom, selection.Left, selection.Right};
  return {false, selection.Left, selection.Right, selection.Top, selection.Bottom};
}

int ClampLine(int64_t line, int size) { return static_cast<int>(std::clamp<int64_t>(line, 0, size - 1)); }

// The lines that read the image in [FirstLine, LastLine]: a line outside reads the edge.
TLineSpan SpanOf(const TLines& lines, int size) {
  return {lines.ByRows, ClampLine(lines.First, size), ClampLine(lines.Last, size), lines.AlongFirst,
          lines.AlongLast};
}

// A line's sum stays below 2^52 (at most 65535 times 2^32 positions), so setting it into
// the mantissa of 2^52 and subtracting 2^52 gives it exactly: three SSE2 operations on the
// sum where it lies, where the 32-bit build converts a 64-bit integer through the x87 unit,
// or joins two 32-bit halves through memory.
double SumToDouble(const uint64_t& sum) {
  assert(sum < (uint64_t{1} << 52) && "a line's sum fits the mantissa");
  const __m128i bits = _mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&sum)),
                                    _mm_set_epi32(0, 0, 0x43300000, 0));
  return _mm_cvtsd_f64(_mm_sub_sd(_mm_castsi128_pd(bits), _mm_set_sd(0x1p52)));
}

void StoreSums(const TChannelSums& sums, size_t i, bool color, TProfile& profile) {
  if (!color) {
    profile.Profile[i] = SumToDouble(sums.Channel[0]);
    return;
  }
  profile.ProfileRGB[i] = {SumToDouble(sums.Channel[2]), SumToDouble(sums.Channel[1]),
                           SumToDouble(sums.Channel[0])};
  profile.Profile[i] = GrayOf(profile.ProfileRGB[i]);
}

// Lines [begin, end) of the selection that lie inside the image, four marks each at both
// ends, written after the lines have been summed.
void MarkLines(TPixelMarker& marker, const TLines& lines, int64_t begin, int64_t end) {
  const int64_t first = std::max<int64_t>(begin, -lines.First);
  if (first >= end) return;
  const int64_t ends[4] = {lines.AlongFirst, lines.AlongFirst + 1, lines.AlongLast, lines.AlongLast - 1};
  marker.MarkAlongLines(lines.ByRows, ends, static_cast<int>(lines.First + first),
                        static_cast<int>(lines.First + end - 1), static_cast<uint8_t>(first % 256));
}

// The lines past the image's far edge read its edge line as it is after the marks.
void StoreFarLines(const TLinearBitmap& bitmap, const TLines& lines, int size, int64_t first, bool color,
                   TProfile& profile) {
  SumBitmapLines(bitmap, {lines.ByRows, size - 1, size - 1, lines.AlongFirst, lines.AlongLast}, profile.Work);
  const TChannelSums edge = profile.Work.Lines[0];
  for (int64_t i = first; i < lines.Count(); ++i) StoreSums(edge, static_cast<size_t>(i), color, profile);
}

// Rows are summed and marked RowGroup at a time: a row's ends are still in the cache right
// after its sum, where a pass of marks after all the sums would miss twice for every row.
// Every column's sum reads the rows that hold the marks of all columns: columns are summed
// in one group.
constexpr int RowGroup = 16;

// Lines are summed in order and each one's marks follow its sum. The marks of a line lie
// on that line, so they reach a later sum only through clamped reads: the lines before the
// image read its first line unmarked, the lines past its far edge read the last line with
// its marks. So the lines up to the far edge are summed, in groups, before their marks.
void IntegrateBitmap(const TProfileRaster& raster, const TLines& lines, bool color, TProfile& profile) {
  const TLinearBitmap& bitmap = *raster.Bitmap;
  const int size = lines.ByRows ? bitmap.Height() : bitmap.Width();
  const TLineSpan span = SpanOf(lines, size);
  // The lines before the far edge, inside the image or before it.
  const int64_t nearLines = std::clamp<int64_t>(size - lines.First, 0, lines.Count());
  TPixelMarker marker(raster);
  marker.Reserve(4 * std::max<int64_t>(0, nearLines - std::max<int64_t>(0, -lines.First)));
  const int group = lines.ByRows ? RowGroup : span.LastLine - span.FirstLine + 1;
  PrepareRowSums(bitmap, span);
  const std::vector<TChannelSums>& sums = profile.Work.Lines;
  int64_t stored = 0;
  for (int first = span.FirstLine; first <= span.LastLine; first += group) {
    const int last = std::min(span.LastLine, first + group - 1);
    SumBitmapLines(bitmap, {span.ByRows, first, last, span.AlongFirst, span.AlongLast}, profile.Work);
    const int64_t begin = stored, end = std::min<int64_t>(nearLines, last - lines.First + 1);
    for (; stored < end; ++stored)
      StoreSums(sums[ClampLine(lines.First + stored, size) - first], static_cast<size_t>(stored), color, profile);
    MarkLines(marker, lines, begin, end);
  }
  if (nearLines < lines.Count()) StoreFarLines(bitmap, lines, size, nearLines, color, profile);
}

void IntegrateMap(const TComplexMap& map, int component, const TLines& lines, TProfile& profile) {
  const int size = lines.ByRows ? map.Height() : map.Width();
  const TLineSpan span = SpanOf(lines, size);
  SumComplexLines({map.Map(), map.Width(), map.Height()}, component, span, profile.Work);
  const std::vector<double>& sums = profile.Work.Values;
  for (int64_t i = 0; i < lines.Count(); ++i)
    profile.Profile[static_cast<size_t>(i)] = sums[ClampLine(lines.First + i, size) - span.FirstLine];
}

// The largest value of a channel or the sum, or 1 when none is larger (a scale needs a
// height).
double LargestFromOne(const TProfile& profile, bool color) {
  double largest = 1;
  if (!color) {
    for (double value : profile.Profile)
      if (value > largest) largest = value;
    return largest;
  }
  for (const TColorSample& sample : profile.ProfileRGB)
    for (double value : {sample.R, sample.G, sample.B})
      if (value > largest) largest = value;
  return largest;
}

}  // namespace

void SampleIntegrated(const TProfileRaster& raster, const TRect& selection, bool direction, TProfile& profile) {
  const TRasterKind kind = KindOf(raster);
  const bool color = kind == TRasterKind::Color;
  const TLines lines = LinesOf(selection, direction);
  // A rectangle turned inside out in either direction holds no pixel: no lines, no marks.
  const bool empty = selection.Right < selection.Left || selection.Bottom < selection.Top;
  SizeArrays(profile, empty ? 0 : lines.Count(), color);
  profile.PlaneGroupDisabled = kind == TRasterKind::Gray;
  if (!empty) {
    if (kind == TRasterKind::Complex) {
      IntegrateMap(*raster.Map, ComponentOf(raster), lines, profile);
    } else {
      IntegrateBitmap(raster, lines, color, profile);
    }
  }
  profile.MaxValue = LargestFromOne(profile, color);
  profile.LengthLabel = SumLabel(profile.Profile);
  profile.Points = {};
}
