#include "profile/LineSampling.h"

#include <cassert>

#include "profile/LineWalk.h"
#include "profile/PixelMarker.h"
#include "profile/ProfileArrays.h"
#include "profile/RasterKind.h"

namespace {

// A bitmap's line: each new pixel is sampled and then marked by `sampleAndMark`, a repeated
// one copies the sample before it; pixels are fetched some samples ahead.
template <class TSample, class TSampleAndMark>
int WalkBitmap(const TProfileRaster& raster, const TLineWalk& walk, std::vector<TSample>& samples,
               TSampleAndMark sampleAndMark) {
  const TLinearBitmap& bitmap = *raster.Bitmap;
  TPixelMarker marker(raster);
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
  return WalkBitmap(raster, walk, samples, [](const TLinearBitmap&, TPixelMarker& marker, int x, int y, int i) {
    return marker.SampleAndMarkBgr(x, y, static_cast<uint8_t>(i % 256));
  });
}

int WalkGray(const TProfileRaster& raster, const TLineWalk& walk, std::vector<double>& samples) {
  return WalkBitmap(raster, walk, samples, [](const TLinearBitmap& bitmap, TPixelMarker& marker, int x, int y, int i) {
    const double sample = bitmap.GetIntensity(x, y);
    marker.SetIntensity(x, y, static_cast<uint32_t>(i));
    return sample;
  });
}

int WalkMap(const TComplexMap& map, int component, const TLineWalk& walk, std::vector<double>& samples) {
  return Walk(walk, [&](int i, TPoint64 point, bool copy) {
    samples[i] = copy ? samples[i - 1] : ComponentAt(map, component, point.X, point.Y);
  });
}

int WalkRaster(const TProfileRaster& raster, TRasterKind kind, const TLineWalk& walk, TProfile& profile) {
  switch (kind) {
    case TRasterKind::Color: return WalkColor(raster, walk, profile.ProfileRGB);
    case TRasterKind::Gray: return WalkGray(raster, walk, profile.Profile);
    default: return WalkMap(*raster.Map, ComponentOf(raster), walk, profile.Profile);
  }
}

// The largest sample, or 1 when that is 0 (a scale needs a height).
double LargestOrOne(const std::vector<double>& samples) {
  double largest = samples[0];
  for (double value : samples)
    if (value > largest) largest = value;
  return largest == 0 ? 1 : largest;
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
  profile.Points = TLinePoints(selection, direction);
}
