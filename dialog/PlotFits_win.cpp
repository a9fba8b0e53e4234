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
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, inset + geometry.Left(), inset + geometry.Top(), inset + geometry.Right() + 1,
                    inset + geometry.BaseY() + 1);
  SetBkMode(dc, TRANSPARENT);
  for (const std::vector<TCurveFit>* list : {&fits.Peaks, &fits.Edges})
    for (size_t i = 0; i < list->size() && i < curves.size(); ++i) {
      const TCurveFit& fit = (*list)[i];
      const size_t first = std::max(fit.First, view.First), last = std::min(fit.Last, view.First + view.Count - 1);
      if (!fit.Fitted() || first > last) continue;
      const int columns = std::max(2, geometry.X(last - view.First) - geometry.X(first - view.First) + 1);
      std::vector<POINT> points;
      for (int k = 0; k < columns; ++k) {
        const double sample = first + static_cast<double>(last - first) * k / (columns - 1);
        points.push_back({inset + geometry.XAt(sample - static_cast<double>(view.First)), inset + geometry.Y(fit.At(sample))});
      }
      const TPenHandle pen(CreatePen(PS_DASH, 1, curves[i].Color));
      const TSelectObject selected(dc, pen.Get());
      Polyline(dc, points.data(), columns);
    }
  RestoreDC(dc, saved);
}
