#include "dialog/PlotPanel_win.h"

#include "dialog/PlotPicture_win.h"
#include "ui/PanelFrame.h"

// What the panel gives out besides its plot: the fits asked for on the range, the figures
// window's table and the plot as a picture for a file or the clipboard.

// A new range has no fits; what the figures window shows follows it.
void TPlotPanel::RangeChanged() {
  FFits.Clear();
  FSite.FiguresChanged();
}

void TPlotPanel::Fit(TFitShape shape) {
  if (!FRange || !FValues) return;
  FFits.Ask(shape);
  FPanel.Invalidate();
  FSite.FiguresChanged();
}

// The readout and a range's figures name the old distances until shown again.
void TPlotPanel::PixelSizeChanged() {
  HideReadout();
  if (FValues) FValues->MeasureIn(SavedPixelSize);
  Paint();
}

void TPlotPanel::ClearFits() {
  if (!FFits.Clear()) return;
  FPanel.Invalidate();
  FSite.FiguresChanged();
}

std::optional<TFigureTable> TPlotPanel::Figures() {
  if (!FValues || FValues->Count() == 0) return std::nullopt;
  const size_t first = FRange ? FRange->first : 0, last = FRange ? FRange->second : FValues->Count() - 1;
  const TRangeFits none;
  return TFigureTable(FValues->RangeSeries(first, last, FSite.Plane()), first, FValues->Scale(),
                      FRange ? FFits.Of(*FValues, *FRange, FSite.Plane()) : none);
}

// In the order of the values' series: a colour image's curves for the plane, else its one.
std::vector<TPlotCurve> TPlotPanel::CurvesDrawn() const {
  const TValueKind kind = ValueKindOf(FSession.Raster);
  if (kind == TValueKind::Color) return CurvesOf(FSite.Plane(), false);
  return CurvesOf(0, kind == TValueKind::Real || kind == TValueKind::Imaginary);
}

// On the screen only, like the range.
void TPlotPanel::PaintFits() {
  if (!FFits.Any() || !FRange || !FValues || FView.Count == 0) return;
  FFits.Paint(FPanel.Canvas().Handle(), Geometry(), FView, FPanel.Inset() / 2, CurvesDrawn(),
              FFits.Of(*FValues, *FRange, FSite.Plane()));
}

TPlotPicture TPlotPanel::Picture(int pixelsPerInch) {
  TPictureSource source;
  source.Data = PlotData();
  source.Data.PixelsPerInch = pixelsPerInch;
  source.Data.LineWidth = MulDiv(1, pixelsPerInch, 96);
  source.Data.Margin = MulDiv(FSite.Margin(), pixelsPerInch, FForm.PixelsPerInch());
  source.Curves = Legend();
  source.Range = FRange;
  if (FRange && FValues && FFits.Any()) source.Fits = &FFits.Of(*FValues, *FRange, FSite.Plane());
  source.Selection = FSession.Selection;
  source.Mode = FMode;
  if (FValues) source.Scale = FValues->Scale();
  source.Background = GetSysColor(COLOR_BTNFACE);
  source.Text = GetSysColor(COLOR_WINDOWTEXT);
  source.Highlight = GetSysColor(COLOR_HIGHLIGHT);
  TPlotPicture picture = MakePicture(source);
  if (SavedLegend == TLegendChoice::Hidden) picture.Legend.clear();
  return picture;
}

// The curves drawn, named as the values' series name them.
std::vector<TLegendEntry> TPlotPanel::Legend() const {
  std::vector<TLegendEntry> legend;
  if (!FValues) return legend;
  const std::vector<TPlotCurve> curves = CurvesDrawn();
  const auto series = FValues->PlaneSeries(0, 0, FSite.Plane());
  for (size_t i = 0; i < curves.size() && i < series.size(); ++i) legend.push_back({series[i].first, curves[i].Color});
  return legend;
}

bool TPlotPanel::LegendShown() const noexcept {
  return SavedLegend == TLegendChoice::Shown || (SavedLegend == TLegendChoice::Default && !SavedKeptCurves.Empty());
}

void TPlotPanel::PaintLegend() {
  if (!LegendShown() || FView.Count == 0) return;
  TPlotPicture picture;
  picture.Data = PlotLook();
  picture.Legend = Legend();
  for (TLegendEntry& kept : KeptLegend(picture.Data, GetSysColor(COLOR_BTNFACE))) picture.Legend.push_back(std::move(kept));
  picture.Background = GetSysColor(COLOR_BTNFACE);
  picture.Text = GetSysColor(COLOR_WINDOWTEXT);
  TCanvas& canvas = FPanel.Canvas();
  const int inset = FPanel.Inset() / 2;
  POINT origin;
  SetViewportOrgEx(canvas.Handle(), inset, inset, &origin);
  ::PaintLegend(canvas, Geometry(), picture);
  SetViewportOrgEx(canvas.Handle(), origin.x, origin.y, nullptr);
}

// Each curve under its name in the values' series, the image's size and the line.
void TPlotPanel::KeepCurves() {
  if (!FValues || FValues->Count() == 0) return;
  const std::vector<TPlotCurve> curves = CurvesDrawn();
  const auto series = FValues->PlaneSeries(0, FValues->Count() - 1, FSite.Plane());
  const auto [width, height] = FSession.ImageSize();
  for (size_t i = 0; i < curves.size() && i < series.size(); ++i)
    SavedKeptCurves.Keep({KeptCurveName(series[i].first, width, height, FSession.Selection, FMode), curves[i].Color,
                          series[i].second});
  KeptCurvesChanged();
}

// A range's figures list the kept curves too: the figures window follows.
void TPlotPanel::KeptCurvesChanged() {
  FSession.AlignKeptCurves();
  if (FValues) FValues->BesideKept(FSession.KeptCurves());
  Paint();
  FSite.FiguresChanged();
}
