#include "profile/ProfileSampling.h"

#include <emmintrin.h>

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include "image/FloatMap.h"
#include "profile/ProfileSums.h"
#include "profile/SavedPixels.h"
#include "resources/Texts.h"

namespace {

// The plane group's item for a complex map: "Complex" is the imaginary part, anything else
// the real part, so that no item reads beyond the element's pair.
int ComponentOf(const TProfileRaster& raster) { return raster.Plane == 1 ? 1 : 0; }

// A map without elements has no edge to clamp to.
void CheckMap(const TComplexMap& map) {
  if (map.Width() < 1 || map.Height() < 1) throw Exception(S_INVALID_BITMAP_SIZE);
}

enum class TRasterKind { Color, Gray, Complex };

TRasterKind KindOf(const TProfileRaster& raster) {
  assert((raster.Bitmap != nullptr) != (raster.Map != nullptr) && "exactly one raster");
  if (!raster.Bitmap) {
    CheckMap(*raster.Map);
    return TRasterKind::Complex;
  }
  switch (raster.Bitmap->PixelFormat()) {
    case TPixelFormat::Bgr24: return TRasterKind::Color;
    case TPixelFormat::Indexed8:
    case TPixelFormat::Gray16: return TRasterKind::Gray;
    default: throw Exception(S_UNSUPPORTED_PIXEL_FORMAT);
  }
}

// Counts are signed 32-bit like every size of the system; a selection that asks for more
// samples could not be held anyway. An allocation that fails is the system's out-of-memory
// error.
template <class TResize>
void SizeFor(int64_t count, TResize resize) {
  if (count > INT_MAX) throw EOutOfMemory(S_OUT_OF_MEMORY);
  try {
    resize(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  } catch (const std::length_error&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
}

void SizeArrays(TProfile& profile, int64_t count, bool color) {
  SizeFor(count, [&](size_t size) {
    profile.Profile.resize(size);
    profile.ProfileRGB.resize(color ? size : 0);
  });
}

// The band's arrays, as the profile's.
void SizeBand(TProfile::TBandWork& band, int64_t count, bool color) {
  SizeFor(count, [&](size_t size) {
    for (std::vector<double>* values : {&band.Profile, &band.Spread}) values->resize(size);
    band.SpreadAverage.resize(color ? size : 0);
    for (std::vector<TColorSample>* values : {&band.ProfileRGB, &band.SpreadRGB}) values->resize(color ? size : 0);
  });
}

// Positions beyond the int range lie outside every image; -1 and INT_MAX keep them outside,
// both for reads (which clamp) and for writes (which are skipped).
int Coordinate(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, -1, INT_MAX)); }

TColorSample SampleOf(TColor color) {
  return {static_cast<double>(RedOf(color)), static_cast<double>(GreenOf(color)),
          static_cast<double>(BlueOf(color))};
}

double GrayOf(const TColorSample& sample) { return (2 * sample.R + 3 * sample.G + sample.B) / 6; }

void FillGrayFromColor(TProfile& profile) {
  for (size_t j = 0; j < profile.ProfileRGB.size(); ++j) profile.Profile[j] = GrayOf(profile.ProfileRGB[j]);
}

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

// Every mark goes through here, so that the raster's record, if any, keeps each pixel's
// bytes before the mark overwrites them. A mark outside the bitmap writes and keeps nothing.
class TMarker {
 public:
  explicit TMarker(const TProfileRaster& raster) : FBitmap(*raster.Bitmap), FSaved(raster.Saved) {}

  // Room in the record for up to `marks` marks, the ones outside the bitmap not counted.
  void Reserve(int64_t marks) {
    const int64_t pixels = int64_t{FBitmap.Width()} * FBitmap.Height();
    if (FSaved) FSaved->Reserve(static_cast<size_t>(std::clamp<int64_t>(marks, 0, pixels)));
  }
  void SetIntensity(int x, int y, uint32_t value) {
    const bool kept = Keep(x, y);
    try {
      FBitmap.SetIntensity(x, y, value);
    } catch (...) {
      if (kept) FSaved->Forget();
      throw;
    }
  }
  // Starts fetching the pixel at about (x, y), clamped into the image; a fetch never faults.
  void FetchPixel(double x, double y) {
    if (FBitmap.Width() < 1 || FBitmap.Height() < 1) return;
    const int column = static_cast<int>(std::clamp(x, 0.0, FBitmap.Width() - 1.0));
    const uint8_t* row = FBitmap.Row(static_cast<int>(std::clamp(y, 0.0, FBitmap.Height() - 1.0)));
    __builtin_prefetch(row + static_cast<ptrdiff_t>(column) * FBitmap.PixelSize(), 1);
  }
  // Line mode's sample and mark of a 24-bit pixel through one pointer: the channels are
  // read, the bytes kept and the level written. Outside the bitmap the nearest edge pixel is
  // read, as the bitmap's accessor reads, and nothing is marked.
  TColorSample SampleAndMarkBgr(int x, int y, uint8_t level) {
    uint8_t* pixel = PixelInside(x, y);
    if (!pixel) return SampleOf(FBitmap.GetPixel(x, y));
    const TColorSample sample{static_cast<double>(pixel[2]), static_cast<double>(pixel[1]),
                              static_cast<double>(pixel[0])};
    MarkPixel(pixel, level);
    return sample;
  }
  void MarkLevel(int64_t x, int64_t y, uint8_t level) {
    if (uint8_t* pixel = PixelInside(x, y)) MarkPixel(pixel, level);
  }
  // Integrate mode's marks of the image's lines `first` to `last`: on each line, the pixels
  // at the four positions `along` it that lie inside the image, in that order, each line's
  // level one above the level of the line before. The positions are the same on every
  // line, so each is checked once.
  void MarkAlongLines(bool byRows, const int64_t (&along)[4], int first, int last, uint8_t level) {
    const ptrdiff_t lineStep = byRows ? FBitmap.BytesPerLine() : FBitmap.PixelSize();
    const ptrdiff_t alongStep = byRows ? FBitmap.PixelSize() : FBitmap.BytesPerLine();
    const int64_t size = byRows ? FBitmap.Width() : FBitmap.Height();
    ptrdiff_t offsets[4];
    int count = 0;
    for (const int64_t position : along)
      if (position >= 0 && position < size) offsets[count++] = static_cast<ptrdiff_t>(position) * alongStep;
    uint8_t* line = FBitmap.Map() + static_cast<ptrdiff_t>(first) * lineStep;
    for (int i = first; i <= last; ++i, line += lineStep, ++level)
      for (int k = 0; k < count; ++k) MarkPixel(line + offsets[k], level);
  }

 private:
  // Keeps the pixel's bytes, then writes a gray level below 256 in the bytes SetIntensity
  // and the bitmap's SetPixel write for it. A mark that cannot be written (a read-only
  // image) keeps nothing: its bytes never changed.
  void MarkPixel(uint8_t* pixel, uint8_t level) {
    if (FSaved) FSaved->Keep(pixel, FBitmap.PixelSize());
    try {
      switch (FBitmap.PixelFormat()) {
        case TPixelFormat::Bgr24: pixel[2] = pixel[1] = level; break;
        case TPixelFormat::Gray16: pixel[1] = 0; break;
        default: break;
      }
      pixel[0] = level;
    } catch (...) {
      if (FSaved) FSaved->Forget();
      throw;
    }
  }
  // The pixel at (x, y), or null outside the bitmap.
  uint8_t* PixelInside(int64_t x, int64_t y) const noexcept {
    if (x < 0 || y < 0 || x >= FBitmap.Width() || y >= FBitmap.Height()) return nullptr;
    return FBitmap.Row(static_cast<int>(y)) + static_cast<ptrdiff_t>(x) * FBitmap.PixelSize();
  }
  // True when the pixel's bytes were kept.
  bool Keep(int x, int y) {
    uint8_t* pixel = PixelInside(x, y);
    if (!FSaved || !pixel) return false;
    FSaved->Keep(pixel, FBitmap.PixelSize());
    return true;
  }

  TLinearBitmap& FBitmap;
  TSavedPixels* const FSaved;
};

// ---- Line mode ----

struct TPoint64 {
  int64_t X;
  int64_t Y;
  friend bool operator==(const TPoint64&, const TPoint64&) = default;
};

struct TLineWalk {
  TPoint64 Start;
  TPoint64 End;
  double Dx;
  double Dy;
  // |dx| + |dy| + 1: never fewer than the samples of a walk that meets its end point.
  int64_t Capacity;
};

TLineWalk MakeWalk(const TRect& selection, bool direction) {
  TLineWalk walk;
  walk.Start = {selection.Left, direction ? selection.Bottom : selection.Top};
  walk.End = {selection.Right, direction ? selection.Top : selection.Bottom};
  const int64_t dx = walk.End.X - walk.Start.X, dy = walk.End.Y - walk.Start.Y;
  walk.Capacity = std::llabs(dx) + std::llabs(dy) + 1;
  if (walk.Capacity > INT_MAX) throw EOutOfMemory(S_OUT_OF_MEMORY);
  const double length = std::sqrt(static_cast<double>(dx * dx + dy * dy));
  // A single pixel has no direction; its walk ends with the first sample.
  walk.Dx = length > 0 ? static_cast<double>(dx) / length : 0;
  walk.Dy = length > 0 ? static_cast<double>(dy) / length : 0;
  return walk;
}

// A position beyond the int range: the 32-bit build converts to 64 bits through the x87 unit.
int64_t RoundedFarPosition(double position) { return static_cast<int64_t>(RoundHalfEven(position)); }

// A walk's position rounded, inline: a long walk rounds two positions a sample.
inline int64_t RoundedPosition(double position) {
  if (position > -0x1p30 && position < 0x1p30) return RoundHalfEvenToInt(position);
  return RoundedFarPosition(position);
}

// Calls visit(i, point, copy) for every sample and returns their number; copy says that the
// rounded point repeats the previous one, which the first sample never does, wherever the
// line starts. The position is accumulated step by step, never recomputed from i, so the
// rounded points are the ones the walk really meets. It stops at the end point, or at the
// capacity should rounding ever step past the end point. Each sample of a steep line lies
// on a row of its own, far from the one before: fetch(x, y) is told roughly where the walk
// will be some samples ahead, so that the misses overlap.
constexpr int FetchAhead = 16;

template <class TVisit, class TFetch>
int Walk(const TLineWalk& walk, TVisit&& visit, TFetch&& fetch) {
  double px = static_cast<double>(walk.Start.X), py = static_cast<double>(walk.Start.Y);
  const double aheadX = FetchAhead * walk.Dx, aheadY = FetchAhead * walk.Dy;
  TPoint64 previous{};
  for (int i = 0;;) {
    fetch(px + aheadX, py + aheadY);
    const TPoint64 point{RoundedPosition(px), RoundedPosition(py)};
    visit(i, point, i > 0 && point == previous);
    previous = point;
    px += walk.Dx;
    py += walk.Dy;
    ++i;
    if (point == walk.End || i == walk.Capacity) return i;
  }
}

template <class TVisit>
int Walk(const TLineWalk& walk, TVisit&& visit) {
  return Walk(walk, visit, [](double, double) {});
}

// A bitmap's line: each new pixel is sampled and then marked by `sampleAndMark`, a repeated
// one copies the sample before it; pixels are fetched some samples ahead.
template <class TSample, class TSampleAndMark>
int WalkBitmap(const TProfileRaster& raster, const TLineWalk& walk, std::vector<TSample>& samples,
               TSampleAndMark sampleAndMark) {
  const TLinearBitmap& bitmap = *raster.Bitmap;
  TMarker marker(raster);
  marker.Reserve(walk.Capacity);
  return Walk(
      walk,
      [&](int i, TPoint64 point, bool copy) {
        if (copy) {
          samples[i] = samples[i - 1];
          return;
        }
        samples[i] = sampleAndMark(bitmap, marker, Coordinate(point.X), Coordinate(point.Y), i);
      },
      [&](double x, double y) { marker.FetchPixel(x, y); });
}

int WalkColor(const TProfileRaster& raster, const TLineWalk& walk, std::vector<TColorSample>& samples) {
  assert(raster.Bitmap->PixelFormat() == TPixelFormat::Bgr24 && "colour samples come from 24-bit pixels");
  return WalkBitmap(raster, walk, samples, [](const TLinearBitmap&, TMarker& marker, int x, int y, int i) {
    return marker.SampleAndMarkBgr(x, y, static_cast<uint8_t>(i % 256));
  });
}

int WalkGray(const TProfileRaster& raster, const TLineWalk& walk, std::vector<double>& samples) {
  return WalkBitmap(raster, walk, samples, [](const TLinearBitmap& bitmap, TMarker& marker, int x, int y, int i) {
    const double sample = bitmap.GetIntensity(x, y);
    marker.SetIntensity(x, y, static_cast<uint32_t>(i));
    return sample;
  });
}

// Reads outside the map clamp to the nearest edge element, as the bitmap's reads do: the
// map is a private copy with nothing around it.
double ComponentAt(const TComplexMap& map, int component, TPoint64 point) {
  const int x = static_cast<int>(std::clamp<int64_t>(point.X, 0, map.Width() - 1));
  const int y = static_cast<int>(std::clamp<int64_t>(point.Y, 0, map.Height() - 1));
  return map.Element(x, y)[component];
}

int WalkMap(const TComplexMap& map, int component, const TLineWalk& walk, std::vector<double>& samples) {
  return Walk(walk, [&](int i, TPoint64 point, bool copy) {
    samples[i] = copy ? samples[i - 1] : ComponentAt(map, component, point);
  });
}

int WalkRaster(const TProfileRaster& raster, TRasterKind kind, const TLineWalk& walk, TProfile& profile) {
  switch (kind) {
    case TRasterKind::Color: return WalkColor(raster, walk, profile.ProfileRGB);
    case TRasterKind::Gray: return WalkGray(raster, walk, profile.Profile);
    default: return WalkMap(*raster.Map, ComponentOf(raster), walk, profile.Profile);
  }
}

// ---- Integrate mode ----

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
void MarkLines(TMarker& marker, const TLines& lines, int64_t begin, int64_t end) {
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
  TMarker marker(raster);
  marker.Reserve(4 * std::max<int64_t>(0, nearLines - std::max<int64_t>(0, -lines.First)));
  const int group = lines.ByRows ? RowGroup : span.LastLine - span.FirstLine + 1;
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

// The largest sample, or 1 when that is 0 (a scale needs a height).
double LargestOrOne(const std::vector<double>& samples) {
  double largest = samples[0];
  for (double value : samples)
    if (value > largest) largest = value;
  return largest == 0 ? 1 : largest;
}

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


void SampleLine(const TProfileRaster& raster, const TRect& selection, bool direction, TProfile& profile) {
  const TRasterKind kind = KindOf(raster);
  const TLineWalk walk = MakeWalk(selection, direction);
  const bool color = kind == TRasterKind::Color;
  SizeArrays(profile, walk.Capacity, color);
  profile.PlaneGroupDisabled = kind == TRasterKind::Gray;
  const int count = WalkRaster(raster, kind, walk, profile);
  profile.Profile.resize(count);
  profile.ProfileRGB.resize(color ? count : 0);
  if (color) FillGrayFromColor(profile);
  profile.MaxValue = kind == TRasterKind::Complex ? LargestOrOne(profile.Profile) : 255;
  profile.LengthLabel = FormatText(S_LENGTH, count);
}

// The same walk as the sampling's, so the points and the samples always pair up.
std::vector<TSamplePoint> SampleLinePoints(const TRect& selection, bool direction) {
  const TLineWalk walk = MakeWalk(selection, direction);
  std::vector<TSamplePoint> points;
  try {
    points.reserve(static_cast<size_t>(walk.Capacity));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
  Walk(walk, [&](int, TPoint64 point, bool) {
    points.push_back({static_cast<int32_t>(point.X), static_cast<int32_t>(point.Y)});
  });
  return points;
}

namespace {

void ClearSpread(TProfile& profile) {
  profile.Spread.clear();
  profile.SpreadRGB.clear();
  profile.SpreadAverage.clear();
}

// The mean and the standard deviation of values gathered one after the other.
class TMoments {
 public:
  void Add(double value) noexcept {
    FSum += value;
    FSquares += value * value;
    ++FCount;
  }
  double Mean() const noexcept { return FSum / FCount; }
  // Of the values themselves; never below 0, whatever the rounding.
  double Deviation() const noexcept {
    const double mean = Mean();
    return std::sqrt(std::max(0.0, FSquares / FCount - mean * mean));
  }

 private:
  double FSum = 0;
  double FSquares = 0;
  int FCount = 0;
};

// A complex map's band of one sample, read through the clamping accessor: the mean goes
// into the sample, the deviation into the spread.
void SampleMapAcross(const TComplexMap& map, int component, TPoint64 point, const std::vector<TPoint64>& offsets,
                     size_t i, TProfile::TBandWork& band) {
  TMoments value;
  for (const TPoint64 offset : offsets) value.Add(ComponentAt(map, component, {point.X + offset.X, point.Y + offset.Y}));
  band.Profile[i] = value.Mean();
  band.Spread[i] = value.Deviation();
}

// The deviation of integers from their exact sum and sum of squares: one rounding, and
// never below 0, since count * squares >= sum * sum.
double DeviationOf(uint64_t sum, uint64_t squares, uint32_t count) {
  return std::sqrt(static_cast<double>(count * squares - sum * sum)) / count;
}

// The band of a 24-bit pixel's sample in integers: each channel, six times the gray value
// (2R + 3G + B) and three times the average (R + G + B), with their squares. A band of up
// to 63 pixels keeps every sum below 2^32.
struct TColorSums {
  uint32_t Red = 0, Green = 0, Blue = 0, Gray = 0, Average = 0;
  uint32_t RedSquares = 0, GreenSquares = 0, BlueSquares = 0, GraySquares = 0, AverageSquares = 0;

  void Add(const uint8_t* pixel) {
    const uint32_t blue = pixel[0], green = pixel[1], red = pixel[2];
    const uint32_t gray = 2 * red + 3 * green + blue, average = red + green + blue;
    Red += red, Green += green, Blue += blue, Gray += gray, Average += average;
    RedSquares += red * red, GreenSquares += green * green, BlueSquares += blue * blue;
    GraySquares += gray * gray, AverageSquares += average * average;
  }
  void Store(uint32_t count, size_t i, TProfile::TBandWork& band) const {
    band.ProfileRGB[i] = {static_cast<double>(Red) / count, static_cast<double>(Green) / count,
                          static_cast<double>(Blue) / count};
    band.SpreadRGB[i] = {DeviationOf(Red, RedSquares, count), DeviationOf(Green, GreenSquares, count),
                         DeviationOf(Blue, BlueSquares, count)};
    band.Profile[i] = Gray / (6.0 * count);
    band.Spread[i] = DeviationOf(Gray, GraySquares, count) / 6;
    band.SpreadAverage[i] = DeviationOf(Average, AverageSquares, count) / 3;
  }
};

// The band of an 8-bit or 16-bit gray pixel's sample: the values and their squares.
template <bool Words>
struct TGraySums {
  uint64_t Value = 0, Squares = 0;

  void Add(const uint8_t* pixel) {
    const uint32_t value = Words ? pixel[0] | uint32_t{pixel[1]} << 8 : pixel[0];
    Value += value;
    Squares += uint64_t{value} * value;
  }
  void Store(uint32_t count, size_t i, TProfile::TBandWork& band) const {
    band.Profile[i] = static_cast<double>(Value) / count;
    band.Spread[i] = DeviationOf(Value, Squares, count);
  }
};

// A bitmap's band, read from clean pixels. Where a sample's whole band lies inside the
// image, its pixels are reached by their byte offsets from the sample's pixel; elsewhere
// each offset pixel is clamped into the image, as the accessors read.
class TBandReader {
 public:
  TBandReader(const TLinearBitmap& bitmap, const std::vector<TPoint64>& offsets)
      : FBitmap(bitmap), FOffsets(offsets), FFirst(offsets.front()), FLast(offsets.back()) {
    for (const TPoint64 offset : offsets)
      FBytes.push_back(static_cast<ptrdiff_t>(offset.Y) * bitmap.BytesPerLine() +
                       static_cast<ptrdiff_t>(offset.X) * bitmap.PixelSize());
  }

  // The band of sample i in the format's sums.
  template <class TSums>
  void Sample(TPoint64 point, size_t i, TProfile::TBandWork& band) const {
    TSums sums;
    if (Inside(point)) {
      const uint8_t* pixel = PixelOf(point.X, point.Y);
      for (const ptrdiff_t offset : FBytes) sums.Add(pixel + offset);
    } else {
      for (const TPoint64 offset : FOffsets) sums.Add(ClampedPixel(point.X + offset.X, point.Y + offset.Y));
    }
    sums.Store(static_cast<uint32_t>(FBytes.size()), i, band);
  }
  // Starts fetching both ends of the band around about (x, y): the pixels a band meets
  // first, some samples ahead; a fetch never faults.
  void Fetch(double x, double y) const {
    if (FBitmap.Width() < 1 || FBitmap.Height() < 1) return;
    for (const TPoint64 end : {FFirst, FLast})
      __builtin_prefetch(ClampedPixel(static_cast<int64_t>(x) + end.X, static_cast<int64_t>(y) + end.Y));
  }

 private:
  // The offsets run along a straight line, so the band's ends bound all its pixels.
  bool Inside(TPoint64 point) const noexcept {
    return Contains(point.X + FFirst.X, point.Y + FFirst.Y) && Contains(point.X + FLast.X, point.Y + FLast.Y);
  }
  bool Contains(int64_t x, int64_t y) const noexcept {
    return x >= 0 && y >= 0 && x < FBitmap.Width() && y < FBitmap.Height();
  }
  const uint8_t* PixelOf(int64_t x, int64_t y) const noexcept {
    return FBitmap.Row(static_cast<int>(y)) + static_cast<ptrdiff_t>(x) * FBitmap.PixelSize();
  }
  const uint8_t* ClampedPixel(int64_t x, int64_t y) const noexcept {
    return PixelOf(std::clamp<int64_t>(x, 0, FBitmap.Width() - 1), std::clamp<int64_t>(y, 0, FBitmap.Height() - 1));
  }

  const TLinearBitmap& FBitmap;
  const std::vector<TPoint64>& FOffsets;
  const TPoint64 FFirst, FLast;
  std::vector<ptrdiff_t> FBytes;
};

// Every sample's band, walked as the line is: a repeated pixel copies the sample before.
template <class TSampleAt, class TFetch>
size_t WalkBand(const TLineWalk& walk, TProfile::TBandWork& band, TSampleAt sampleAt, TFetch fetch) {
  const auto visit = [&](int i, TPoint64 point, bool copy) {
    if (!copy) return sampleAt(point, static_cast<size_t>(i));
    for (std::vector<double>* values : {&band.Profile, &band.Spread, &band.SpreadAverage})
      if (!values->empty()) (*values)[i] = (*values)[i - 1];
    for (std::vector<TColorSample>* values : {&band.ProfileRGB, &band.SpreadRGB})
      if (!values->empty()) (*values)[i] = (*values)[i - 1];
  };
  return static_cast<size_t>(Walk(walk, visit, fetch));
}

size_t SampleBandOf(const TProfileRaster& raster, TRasterKind kind, const TLineWalk& walk,
                    const std::vector<TPoint64>& offsets, TProfile::TBandWork& band) {
  if (kind == TRasterKind::Complex)
    return WalkBand(
        walk, band,
        [&](TPoint64 point, size_t i) { SampleMapAcross(*raster.Map, ComponentOf(raster), point, offsets, i, band); },
        [](double, double) {});
  const TBandReader reader(*raster.Bitmap, offsets);
  const auto walkIn = [&](auto sums) {
    using TSums = decltype(sums);
    return WalkBand(
        walk, band, [&](TPoint64 point, size_t i) { reader.Sample<TSums>(point, i, band); },
        [&](double x, double y) { reader.Fetch(x, y); });
  };
  switch (raster.Bitmap->PixelFormat()) {
    case TPixelFormat::Bgr24: return walkIn(TColorSums{});
    case TPixelFormat::Gray16: return walkIn(TGraySums<true>{});
    default: return walkIn(TGraySums<false>{});
  }
}

// Steps along the normal (-dy, dx) of the line, rounded ties to even: the same for every
// sample, since each starts on a whole pixel.
std::vector<TPoint64> BandOffsets(const TLineWalk& walk, int width) {
  std::vector<TPoint64> offsets;
  for (int k = -(width - 1) / 2; k <= (width - 1) / 2; ++k)
    offsets.push_back({static_cast<int64_t>(RoundHalfEven(-k * walk.Dy)), static_cast<int64_t>(RoundHalfEven(k * walk.Dx))});
  return offsets;
}

// The edge lines' marks, in the levels of the centre line's.
void MarkEdges(const TProfileRaster& raster, const TLineWalk& walk, const std::vector<TPoint64>& offsets) {
  TMarker marker(raster);
  marker.Reserve(2 * walk.Capacity);
  Walk(walk, [&](int i, TPoint64 point, bool copy) {
    if (copy) return;
    for (const TPoint64 edge : {offsets.front(), offsets.back()})
      marker.MarkLevel(point.X + edge.X, point.Y + edge.Y, static_cast<uint8_t>(i % 256));
  });
}

}  // namespace

void SampleBand(const TProfileRaster& raster, const TRect& selection, bool direction, int width, TProfile& profile) {
  if (width <= 1) {
    ClearSpread(profile);
    SampleLine(raster, selection, direction, profile);
    return;
  }
  const TRasterKind kind = KindOf(raster);
  const TLineWalk walk = MakeWalk(selection, direction);
  const bool color = kind == TRasterKind::Color;
  const std::vector<TPoint64> offsets = BandOffsets(walk, width);
  // The band is read before any mark is written, the centre line then as a line of one
  // pixel is sampled and marked, and its samples give way to the band's.
  TProfile::TBandWork& band = profile.Band;
  SizeBand(band, walk.Capacity, color);
  const size_t count = SampleBandOf(raster, kind, walk, offsets, band);
  SampleLine(raster, selection, direction, profile);
  // The same walk gives the same count; the band's arrays take the line's place.
  for (std::vector<double>* values : {&band.Profile, &band.Spread, &band.SpreadAverage})
    values->resize(std::min(values->size(), count));
  for (std::vector<TColorSample>* values : {&band.ProfileRGB, &band.SpreadRGB})
    values->resize(std::min(values->size(), count));
  profile.Profile.swap(band.Profile);
  profile.ProfileRGB.swap(band.ProfileRGB);
  profile.Spread.swap(band.Spread);
  profile.SpreadRGB.swap(band.SpreadRGB);
  profile.SpreadAverage.swap(band.SpreadAverage);
  if (raster.Bitmap) MarkEdges(raster, walk, offsets);
}

void MarkHighlight(const TProfileRaster& raster, const TRect& selection, TProfileMode mode, TSamplePoint point,
                   size_t sample) {
  if (!raster.Bitmap) return;
  constexpr int Arm = 3;
  std::vector<TPoint64> middles;
  if (!mode.Integrate) {
    middles.push_back({point.X, point.Y});
  } else if (mode.Direction) {
    const int64_t y = int64_t{selection.Top} + static_cast<int64_t>(sample);
    middles = {{selection.Left, y}, {selection.Right, y}};
  } else {
    const int64_t x = int64_t{selection.Left} + static_cast<int64_t>(sample);
    middles = {{x, selection.Top}, {x, selection.Bottom}};
  }
  TMarker marker(raster);
  marker.Reserve(static_cast<int64_t>(middles.size()) * (4 * Arm + 1));
  for (const TPoint64 middle : middles)
    for (int d = -Arm; d <= Arm; ++d) {
      const uint8_t level = d % 2 == 0 ? 255 : 0;
      marker.MarkLevel(middle.X + d, middle.Y, level);
      if (d != 0) marker.MarkLevel(middle.X, middle.Y + d, level);
    }
}

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
}

void SampleProfile(const TProfileRaster& raster, const TRect& selection, TProfileMode mode, TProfile& profile) {
  ClearSpread(profile);
  if (mode.Integrate) {
    SampleIntegrated(raster, selection, mode.Direction, profile);
  } else if (mode.Width > 1) {
    SampleBand(raster, selection, mode.Direction, mode.Width, profile);
  } else {
    SampleLine(raster, selection, mode.Direction, profile);
  }
}
