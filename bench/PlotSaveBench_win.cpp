#include "bench/PlotSaveBench_win.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/BenchReport.h"
#include "dialog/PlotPicture_win.h"
#include "profile/PlotPicture.h"
#include "ui/DIBitmap.h"
#include "ui/PngEncoder_win.h"

namespace {

// The 10000 x 10000 image's diagonal: 14,142 samples of three noisy channels, all drawn.
constexpr size_t Samples = 14142;

struct TNoisyProfile {
  TNoisyProfile() {
    uint32_t state = 2024;
    const auto next = [&state] {
      state = state * 1664525u + 1013904223u;
      return static_cast<double>(state >> 24);
    };
    for (size_t i = 0; i < Samples; ++i) {
      Channels.push_back({next(), next(), next()});
      Gray.push_back(GrayOf(Channels.back()));
    }
  }
  std::vector<double> Gray;
  std::vector<TColorSample> Channels;
};

TPlotPicture PictureOf(const TNoisyProfile& profile, int pixelsPerInch) {
  TPictureSource source;
  source.Data.Profile = profile.Gray;
  source.Data.ProfileRGB = profile.Channels;
  source.Data.PlaneIndex = piAll;
  source.Data.MaxValue = 255;
  source.Data.TotalSamples = Samples;
  source.Data.PixelsPerInch = pixelsPerInch;
  source.Data.LineWidth = pixelsPerInch / 96;
  source.Data.Margin = 8 * pixelsPerInch / 96;
  source.Curves = {{"Red", PackColor(255, 0, 0)}, {"Green", PackColor(0, 128, 0)}, {"Blue", PackColor(0, 0, 255)}};
  source.Selection = {0, 0, 9999, 9999};
  return MakePicture(source);
}

}  // namespace

void MeasurePlotSave(int repetitions, double fullRepaint, double exportSizedRepaint) {
  const TNoisyProfile profile;
  std::vector<double> paints, encodings;
  size_t pngSize = 0;
  for (int i = 0; i < repetitions; ++i) {
    const double started = Seconds();
    TDIBitmap bitmap;
    bitmap.SetSize(ExportWidth, ExportHeight);
    PaintPicture(bitmap.Canvas(), ExportWidth, ExportHeight, PictureOf(profile, 192));
    const double painted = Seconds();
    pngSize = PngBytes(bitmap, 192).size();
    paints.push_back(painted - started);
    encodings.push_back(Seconds() - painted);
  }
  std::vector<double> totals;
  for (size_t i = 0; i < paints.size(); ++i) totals.push_back(paints[i] + encodings[i]);
  const size_t emfSize = MetafileBytes(PictureMetafile(PictureOf(profile, 96), 1000, 600).Get()).size();
  ReportTime("PNG of 2000 x 1200, 14,142 samples: drawn", Median(paints));
  ReportTime("PNG of 2000 x 1200, 14,142 samples: encoded", Median(encodings));
  std::printf("# PNG file %u bytes; EMF of 1000 x 600 pixels %u bytes\n", static_cast<unsigned>(pngSize),
              static_cast<unsigned>(emfSize));
  ReportRatio("save_png_2000x1200_vs_full_repaint", Median(totals) / fullRepaint);
  if (exportSizedRepaint > 0) {
    ReportTime("full repaint of a 2000 x 1200 panel", exportSizedRepaint);
    ReportRatio("save_png_2000x1200_vs_repaint_2000x1200", Median(totals) / exportSizedRepaint);
  }
  ReportRatio("emf_14142_samples_vs_2mb", static_cast<double>(emfSize) / (2 << 20));
}
