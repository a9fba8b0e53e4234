// Integrate mode as the plug-in runs it (marks kept in an undo record), over a whole
// 8192 x 8192 24-bit and 8-bit bitmap and a 4096 x 4096 complex map, rows and columns,
// against one memcpy of the same bytes into a block already touched and one read pass
// that sums them.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "bench/Bench32.h"
#include "bench/BenchReport.h"
#include "bench/ReadPass.h"
#include "image/FloatMap.h"
#include "image/LinarBitmap.h"
#include "profile/ProfileSampling.h"
#include "profile/SavedPixels.h"

namespace {

constexpr int BitmapSide = 8192;
constexpr int MapSide = 4096;

void FillBytes(uint8_t* bytes, size_t count) {
  uint32_t state = 12345;
  for (size_t i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<uint8_t>(state >> 24);
  }
}

struct TRasterCase {
  const char* Name;
  TProfileRaster Raster;
  int Side;
  const uint8_t* Bytes;
  size_t Size;
};

double IntegrateTime(int repetitions, TProfileRaster raster, int side, bool byRows) {
  TProfile profile;
  TSavedPixels saved;
  raster.Saved = raster.Bitmap ? &saved : nullptr;
  return MedianTime(repetitions, [&] {
    if (raster.Saved) saved.Start();
    SampleIntegrated(raster, {0, 0, side - 1, side - 1}, byRows, profile);
    saved.Restore();
  });
}

double ReadTime(int repetitions, const TRasterCase& raster) {
  volatile double sink = 0;
  return MedianTime(repetitions, [&] {
    if (raster.Raster.Map)
      sink = ReadDoubles(reinterpret_cast<const double*>(raster.Bytes), raster.Size / sizeof(double));
    else
      sink = static_cast<double>(ReadBytes(raster.Bytes, raster.Size));
  });
}

void Measure(int repetitions, const TRasterCase& raster, uint8_t* target) {
  const double copy = MedianTime(repetitions, [&] { std::memcpy(target, raster.Bytes, raster.Size); });
  const double read = ReadTime(repetitions, raster);
  std::printf("# integrate mode, %s, %d x %d, %zu MiB\n", raster.Name, raster.Side, raster.Side, raster.Size >> 20);
  ReportTime("memcpy", copy);
  ReportTime("read pass", read);
  for (bool byRows : {true, false}) {
    const double time = IntegrateTime(repetitions, raster.Raster, raster.Side, byRows);
    const std::string name = std::string("integrate_") + raster.Name + (byRows ? "_rows" : "_columns");
    ReportTime(name.c_str(), time);
    ReportRatio((name + "_vs_memcpy").c_str(), time / copy);
    ReportRatio((name + "_vs_read").c_str(), time / read);
  }
}

}  // namespace

void RunIntegrateBench(int repetitions) {
  const size_t largest = size_t{MapSide} * MapSide * 2 * sizeof(double);
  std::unique_ptr<uint8_t[]> target(new uint8_t[largest]);
  std::memset(target.get(), 1, largest);
  for (TPixelFormat format : {TPixelFormat::Bgr24, TPixelFormat::Indexed8}) {
    TLinearBitmap bitmap;
    bitmap.New(BitmapSide, BitmapSide, format);
    FillBytes(bitmap.Map(), static_cast<size_t>(bitmap.Size()));
    const char* name = format == TPixelFormat::Bgr24 ? "24bit" : "8bit";
    Measure(repetitions, {name, {&bitmap, nullptr, 0}, BitmapSide, bitmap.Map(), static_cast<size_t>(bitmap.Size())},
            target.get());
  }
  TComplexMap map;
  map.New(MapSide, MapSide);
  for (int i = 0; i < 2 * map.Count(); ++i) map.Map()[i] = (i % 1000) * 0.37 - 100;
  Measure(repetitions, {"complex", {nullptr, &map, 0}, MapSide, reinterpret_cast<const uint8_t*>(map.Map()),
                        static_cast<size_t>(map.Size())},
          target.get());
}
