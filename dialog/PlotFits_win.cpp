#include "dialog/PlotFits_win.h"

#include <algorithm>

#include "platform/Handles.h"

void TPlotFits::Ask(TFitShape shape) noexcept {
  (shape == TFitShape::Peak ? FPeak : FEdge) = true;
  FPlane = -1;
}

bool TPlotFits::Clear() noexcept {
  const bool any = Any();
  FPeak = FEdge = false;
  FPlane = -1;
  return any;
}

const TRangeFits& TPlotFits::Of(const TProfileValues& values, const std::pair<size_t, size_t>& range, int plane) {
  if (FPlane == plane) return FFits;
  FFits = {};
  const TCurveSeries series = values.PlaneSeries(range.first, range.second, plane);
  if (FPeak) FFits.Peaks = FitSeries(TFitShape::Peak, series, range.first);
  if (FEdge) FFits.Edges = FitSeries(TFitShape::Edge, series, range.first);
  FPlane = plane;
  return FFits;
}

void TPlotFits::Paint(HDC dc, const TPlotGeometry& geometry, const TPlotView& view, int inset,
                      const std::vector<TPlotCurve>& curves, const TRangeFits& fits) const {
  std::vector<TFitStroke> strokes;
  for (const std::vector<TCurveFit>* list : {&fits.Peaks, &fits.Edges})
    for (size_t i = 0; i < list->size() && i < curves.size(); ++i) strokes.push_back({curves[i].Color, (*list)[i]});
  PaintFitCurves(dc, geometry, view, inset, strokes, 1);
}

// A dashed pen wider than a pixel must be a geometric one; a cosmetic one draws it solid.
void PaintFitCurves(HDC dc, const TPlotGeometry& geometry, const TPlotView& view, int inset,
                    const std::vector<TFitStroke>& fits, int lineWidth) {
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, inset + geometry.Left(), inset + geometry.Top(), inset + geometry.Right() + 1,
                    inset + geometry.BaseY() + 1);
  SetBkMode(dc, TRANSPARENT);
  for (const TFitStroke& fit : fits) {
    std::vector<POINT> points;
    for (const auto& [sample, value] : FitPoints(fit.Fit, geometry, view.First, view.Count))
      points.push_back({inset + geometry.XAt(sample), inset + geometry.Y(value)});
    if (points.empty()) continue;
    const LOGBRUSH brush{BS_SOLID, fit.Color, 0};
    const TPenHandle pen(lineWidth > 1 ? ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, lineWidth, &brush, 0, nullptr)
                                       : CreatePen(PS_DASH, 1, fit.Color));
    const TSelectObject selected(dc, pen.Get());
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
  RestoreDC(dc, saved);
}
