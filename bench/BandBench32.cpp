// Line mode across a band, as the plug-in runs it (marks kept in an undo record and put
// back after each run), on the whole diagonal of a 10,000 x 10,000 24-bit image: widths 15
// and 63 against 15 and 63 times the line of one pixel, measured in the same repetitions.
// A band of w pixels reads w pixels a sample where the line reads one, so w times the line
// is what reading them one by one at the line's pace would cost.

#include <cstdio>
#include <string>
#include <vector>

#include "bench/Bench32.h"
#include "bench/BenchData.h"
#include "bench/BenchReport.h"
#include "image/LinarBitmap.h"
#include "profile/ProfileSampling.h"
#include "profile/SavedPixels.h"

namespace {

constexpr int Side = 10'000;
constexpr int Widths[] = {1, 15, 63};

double SampleOnce(const TProfileRaster& raster, int width, TProfile& profile) {
  const double started = Seconds();
  raster.Saved->Start();
  SampleProfile(raster, {0, 0, Side - 1, Side - 1}, {false, false, width}, profile);
  raster.Saved->Restore();
  return Seconds() - started;
}

}  // namespace

void RunBandBench(int repetitions) {
  TLinearBitmap bitmap;
  bitmap.New(Side, Side, TPixelFormat::Bgr24);
  FillBytes(bitmap.Map(), static_cast<size_t>(bitmap.Size()));
  TSavedPixels saved;
  const TProfileRaster raster{&bitmap, nullptr, 0, &saved};
  TProfile profile;
  std::vector<double> times[std::size(Widths)];
  for (int i = 0; i < repetitions; ++i)
    for (size_t w = 0; w < std::size(Widths); ++w) times[w].push_back(SampleOnce(raster, Widths[w], profile));
  std::printf("# line mode across a band, the whole diagonal of 10000 x 10000, 24-bit, marks included\n");
  const double line = Median(times[0]);
  ReportTime("width 1", line);
  for (size_t w = 1; w < std::size(Widths); ++w) {
    const std::string name = "band_width_" + std::to_string(Widths[w]);
    ReportTime(name.c_str(), Median(times[w]));
    ReportRatio((name + "_vs_width_1_times_width").c_str(), Median(times[w]) / (Widths[w] * line));
  }
}
