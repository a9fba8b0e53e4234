#include "tests/profile/ProfileOracle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "image/FloatMap.h"
#include "image/PluginLinearBitmap.h"

namespace {

bool IsColor(const TProfileRaster& raster) {
  return raster.Bitmap && raster.Bitmap->PixelFormat() == TPixelFormat::Bgr24;
}

double ElementPart(const TProfileRaster& raster, long long x, long long y) {
  const TComplexMap& map = *raster.Map;
  const int cx = static_cast<int>(std::clamp<long long>(x, 0, map.Width() - 1));
  const int cy = static_cast<int>(std::clamp<long long>(y, 0, map.Height() - 1));
  return map.Element(cx, cy)[raster.Plane == 1 ? 1 : 0];
}

// One sample at (x, y): read, store and mark as line mode does.
void ReadPoint(const TProfileRaster& raster, int i, long long x, long long y, TProfile& out) {
  if (raster.Map) {
    out.Profile[i] = ElementPart(raster, x, y);
  } else if (IsColor(raster)) {
    const TColor color = raster.Bitmap->GetPixel(int(x), int(y));
    out.ProfileRGB[i] = {double(color & 0xFF), double((color >> 8) & 0xFF), double((color >> 16) & 0xFF)};
    raster.Bitmap->SetPixel(int(x), int(y), (i % 256) * 0x010101u);
  } else {
    out.Profile[i] = raster.Bitmap->GetIntensity(int(x), int(y));
    raster.Bitmap->SetIntensity(int(x), int(y), i);
  }
}

}  // namespace

std::vector<TSamplePoint> OracleLinePoints(const TRect& selection, bool direction) {
  const long long sx = selection.Left, sy = direction ? selection.Bottom : selection.Top;
  const long long ex = selection.Right, ey = direction ? selection.Top : selection.Bottom;
  const double length = std::sqrt(double((sx - ex) * (sx - ex) + (sy - ey) * (sy - ey)));
  const double dx = (ex - sx) / length, dy = (ey - sy) / length;
  const long long capacity = std::llabs(sx - ex) + std::llabs(sy - ey) + 1;
  std::vector<TSamplePoint> points;
  double px = sx, py = sy;
  while (true) {
    const long long x = (long long)std::nearbyint(px), y = (long long)std::nearbyint(py);
    points.push_back({int32_t(x), int32_t(y)});
    px = px + dx;
    py = py + dy;
    if ((x == ex && y == ey) || (long long)points.size() == capacity) return points;
  }
}

TProfile OracleSampleLine(const TProfileRaster& raster, const TRect& selection, bool direction) {
  TProfile out;
  const long long sx = selection.Left, sy = direction ? selection.Bottom : selection.Top;
  const long long ex = selection.Right, ey = direction ? selection.Top : selection.Bottom;
  const long long d2 = (sx - ex) * (sx - ex) + (sy - ey) * (sy - ey);
  const double length = std::sqrt(double(d2));
  const double dx = (ex - sx) / length, dy = (ey - sy) / length;
  const long long capacity = std::llabs(sx - ex) + std::llabs(sy - ey) + 1;
  out.Profile.resize(capacity);
  out.ProfileRGB.resize(capacity);
  double px = sx, py = sy;
  long long previousX = 0, previousY = 0;
  int i = 0;
  while (true) {
    const long long x = (long long)std::nearbyint(px), y = (long long)std::nearbyint(py);
    if (i > 0 && x == previousX && y == previousY) {
      out.Profile[i] = out.Profile[i - 1];
      out.ProfileRGB[i] = out.ProfileRGB[i - 1];
    } else {
      ReadPoint(raster, i, x, y, out);
    }
    previousX = x;
    previousY = y;
    px = px + dx;
    py = py + dy;
    i = i + 1;
    if ((x == ex && y == ey) || i == capacity) break;
  }
  out.Profile.resize(i);
  out.ProfileRGB.resize(IsColor(raster) ? i : 0);
  for (int j = 0; j < int(out.ProfileRGB.size()); ++j) {
    const TColorSample& c = out.ProfileRGB[j];
    out.Profile[j] = (2 * c.R + 3 * c.G + c.B) / 6;
  }
  if (raster.Map) {
    out.MaxValue = out.Profile[0];
    for (double v : out.Profile) if (v > out.MaxValue) out.MaxValue = v;
    if (out.MaxValue == 0) out.MaxValue = 1;
  } else {
    out.MaxValue = 255;
  }
  out.PlaneGroupDisabled = raster.Bitmap && !IsColor(raster);
  out.LengthLabel = "Length: " + std::to_string(i) + " pixels";
  return out;
}

namespace {

// The pixel at position k of line i, and the line's four marks.
void LinePixel(const TRect& s, bool byRows, long long i, long long k, long long& x, long long& y) {
  x = byRows ? s.Left + k : s.Left + i;
  y = byRows ? s.Top + i : s.Top + k;
}

void MarkLine(const TProfileRaster& raster, const TRect& s, bool byRows, long long i) {
  const unsigned value = unsigned(i % 256);
  TLinearBitmap& b = *raster.Bitmap;
  if (byRows) {
    const int y = int(s.Top + i);
    b.SetIntensity(s.Left, y, value);
    b.SetIntensity(s.Left + 1, y, value);
    b.SetIntensity(s.Right, y, value);
    b.SetIntensity(s.Right - 1, y, value);
  } else {
    const int x = int(s.Left + i);
    b.SetIntensity(x, s.Top, value);
    b.SetIntensity(x, s.Top + 1, value);
    b.SetIntensity(x, s.Bottom, value);
    b.SetIntensity(x, s.Bottom - 1, value);
  }
}

// A line of a map: the positions before and after the map read its edge element, which is
// added once, times their count; the positions inside are added one by one.
double MapLineSum(const TProfileRaster& raster, const TRect& s, bool byRows, long long i, long long pixels) {
  const long long first = byRows ? s.Left : s.Top;
  const long long size = byRows ? raster.Map->Width() : raster.Map->Height();
  const long long before = std::clamp(-first, 0LL, pixels);
  const long long after = std::clamp(first + pixels - std::max(first, size), 0LL, pixels);
  long long x, y;
  double sum = 0;
  LinePixel(s, byRows, i, 0, x, y);
  if (before > 0) sum = sum + ElementPart(raster, x, y) * double(before);
  for (long long k = before; k < pixels - after; ++k) {
    LinePixel(s, byRows, i, k, x, y);
    sum = sum + ElementPart(raster, x, y);
  }
  LinePixel(s, byRows, i, pixels - 1, x, y);
  if (after > 0) sum = sum + ElementPart(raster, x, y) * double(after);
  return sum;
}

}  // namespace

TProfile OracleSampleIntegrated(const TProfileRaster& raster, const TRect& s, bool byRows) {
  TProfile out;
  out.MaxValue = 1;
  out.PlaneGroupDisabled = raster.Bitmap && !IsColor(raster);
  const bool empty = s.Right < s.Left || s.Bottom < s.Top;
  const long long lines = empty ? 0 : byRows ? s.Bottom - s.Top + 1 : s.Right - s.Left + 1;
  const long long pixels = byRows ? s.Right - s.Left + 1 : s.Bottom - s.Top + 1;
  out.Profile.resize(lines);
  if (IsColor(raster)) out.ProfileRGB.resize(lines);
  for (long long i = 0; i < lines; ++i) {
    double sum = 0, r = 0, g = 0, b = 0;
    if (raster.Map) sum = MapLineSum(raster, s, byRows, i, pixels);
    for (long long k = 0; k < pixels && raster.Bitmap; ++k) {
      long long x, y;
      LinePixel(s, byRows, i, k, x, y);
      if (IsColor(raster)) {
        const TColor c = raster.Bitmap->GetPixel(int(x), int(y));
        r = r + (c & 0xFF);
        g = g + ((c >> 8) & 0xFF);
        b = b + ((c >> 16) & 0xFF);
      } else {
        sum = sum + raster.Bitmap->GetIntensity(int(x), int(y));
      }
    }
    if (IsColor(raster)) {
      out.ProfileRGB[i] = {r, g, b};
      out.Profile[i] = (2 * r + 3 * g + b) / 6;
      for (double v : {r, g, b}) if (v > out.MaxValue) out.MaxValue = v;
    } else {
      out.Profile[i] = sum;
      if (sum > out.MaxValue) out.MaxValue = sum;
    }
    if (raster.Bitmap) MarkLine(raster, s, byRows, i);
  }
  double total = 0;
  for (double v : out.Profile) total = total + v;
  out.LengthLabel = "Grayscale pixel sum: " + std::to_string((long long)std::nearbyint(total));
  return out;
}

std::vector<uint8_t> OracleMarkedBytes(const THostImageBuffer& clean, TProfileMode mode, const TRect& selection) {
  THostImageBuffer copy = THostImageBuffer::CopyOf(clean);
  TPluginLinearBitmap bitmap(copy.Record());
  const TProfileRaster raster{&bitmap, nullptr, 0};
  if (mode.Integrate)
    OracleSampleIntegrated(raster, selection, mode.Direction);
  else
    OracleSampleLine(raster, selection, mode.Direction);
  return copy.Snapshot();
}
