#include "profile/ProfilePlot_win.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

char UserDecimalSeparator() noexcept {
  char separator[4] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) < 2)
    return '.';
  return separator[0];
}

namespace {

void PaintBackground(TCanvas& canvas) {
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(GetSysColor(COLOR_BTNFACE));
  canvas.FillRect(canvas.ClipRect());
}

// Right and bottom are exclusive: the frame's lines lie on Right() and BaseY().
void PaintFrame(TCanvas& canvas, const TPlotGeometry& geometry) {
  canvas.SetBrushColor(RGB(0, 0, 0));
  canvas.FrameRect(RECT{geometry.Left(), geometry.Top(), geometry.Right() + 1, geometry.BaseY() + 1});
}

void PaintLabels(TCanvas& canvas, const TPlotGeometry& geometry, double maxValue) {
  canvas.SetBrushStyle(TBrushStyle::Clear);
  canvas.SetFontColor(GetSysColor(COLOR_WINDOWTEXT));
  const int left = geometry.Left() + 2;
  canvas.TextOut(left, geometry.BaseY() - std::abs(canvas.FontHeight()) - 1, "0");
  canvas.TextOut(left, geometry.Top() + 1, FormatGeneral(maxValue, 5, UserDecimalSeparator()));
}

// One PolyPolyline per curve, its strokes a few lines per column: a long profile costs no
// GDI object and no line per sample, and the pixels that later curves paint over are not
// painted first.
void PaintCurves(TCanvas& canvas, const TPlotGeometry& geometry, const TProfilePlotData& data) {
  const std::vector<TPlotCurve> curves = CurvesOf(data.PlaneIndex, data.ComplexMap);
  const std::vector<TCurveStrokes> strokes = CurveStrokes(geometry, data, curves);
  std::vector<POINT> points;
  for (size_t curve = 0; curve < curves.size(); ++curve) {
    const TCurveStrokes& curveStrokes = strokes[curve];
    points.resize(curveStrokes.Points.size());
    std::transform(curveStrokes.Points.begin(), curveStrokes.Points.end(), points.begin(),
                   [](TPlotPoint point) { return POINT{point.X, point.Y}; });
    const std::vector<DWORD> counts(curveStrokes.Counts.begin(), curveStrokes.Counts.end());
    canvas.SetPenColor(curves[curve].Color);
    canvas.PolyPolyline(points.data(), counts.data(), static_cast<int>(counts.size()));
  }
}

// Both ramp rows in one block of pixels: a pen per gray level would cost a GDI object per
// run, some hundreds for a long profile. The runs are the lines from sample to sample
// (a line never covers its end point) and the last sample's pixel ends the row, so the
// block covers the frame's width without a gap.
void PaintRamp(TCanvas& canvas, const TPlotGeometry& geometry, size_t count) {
  const int left = geometry.Left();
  const int width = geometry.X(count - 1) - left + 1;
  if (width < 1) return;
  std::vector<uint32_t> pixels(2 * static_cast<size_t>(width));
  for (const TRampRun& run : RampRuns(geometry, count))
    for (int x = std::max(run.FromX, left); x < std::min(run.ToX, left + width); ++x)
      pixels[x - left] = GrayLevel(run.Level);
  pixels[width - 1] = GrayLevel(static_cast<uint8_t>((count - 1) % 256));
  std::copy_n(pixels.begin(), width, pixels.begin() + width);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -2;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(canvas.Handle(), left, geometry.BaseY() + 2, width, 2, 0, 0, 0, 2, pixels.data(), &info,
                    DIB_RGB_COLORS);
}

}  // namespace

void PaintProfile(TCanvas& canvas, int width, int height, const TProfilePlotData& data) {
  const size_t count = data.Profile.size();
  const TPlotGeometry geometry(width, height, data.Margin, count, data.MaxValue);
  PaintBackground(canvas);
  PaintFrame(canvas, geometry);
  PaintLabels(canvas, geometry, data.MaxValue);
  PaintCurves(canvas, geometry, data);
  if (count > 0) PaintRamp(canvas, geometry, count);
}
