#include "profile/BandSampling.h"

#include <algorithm>
#include <cmath>

#include "profile/LineSampling.h"
#include "image/Rounding.h"
#include "profile/LineWalk.h"
#include "profile/Moments.h"
#include "profile/PixelMarker.h"
#include "profile/ProfileArrays.h"
#include "profile/RasterKind.h"

namespace {

// A complex map's band of one sample, read through the clamping accessor into `values`
// (one per offset): the mean goes into the sample, the deviation into the spread.
void SampleMapAcross(const TComplexMap& map, int component, TPoint64 point, const std::vector<TPoint64>& offsets,
                     std::vector<double>& values, size_t i, TProfile::TBandWork& band) {
  for (size_t k = 0; k < offsets.size(); ++k)
    values[k] = ComponentAt(map, component, point.X + offsets[k].X, point.Y + offsets[k].Y);
  const TMoments moments = MomentsOf(values);
  band.Profile[i] = moments.Mean;
  band.Spread[i] = moments.Deviation;
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
  if (kind == TRasterKind::Complex) {
    std::vector<double> values(offsets.size());
    return WalkBand(
        walk, band,
        [&](TPoint64 point, size_t i) {
          SampleMapAcross(*raster.Map, ComponentOf(raster), point, offsets, values, i, band);
        },
        [](double, double) {});
  }
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
  TPixelMarker marker(raster);
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
