#pragma once
// The fits asked for on the plot's range: which shapes, the fits made for the plane last
// asked about (made again only for another plane), and their dashed curves over the range.

#include <windows.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "profile/FigureTable.h"
#include "profile/PlotPicture.h"
#include "profile/PlotView.h"
#include "profile/ProfilePlot.h"
#include "profile/ProfileValues.h"

// Fitted curves dashed in their colours over the samples in view, a point a column, lines
// `lineWidth` wide, clipped to the frame of a plot drawn `inset` pixels in from the DC's
// origin.
void PaintFitCurves(HDC dc, const TPlotGeometry& geometry, const TPlotView& view, int inset,
                    const std::vector<TFitStroke>& fits, int lineWidth);

class TPlotFits {
 public:
  void Ask(TFitShape shape) noexcept;
  // No fits asked for; false when there were none.
  bool Clear() noexcept;
  bool Any() const noexcept { return FPeak || FEdge; }
  // The fits of the plane's curves over samples range.first .. range.second.
  const TRangeFits& Of(const TProfileValues& values, const std::pair<size_t, size_t>& range, int plane);
  // Each fitted curve dashed in its curve's colour (curves in the fits' order), as
  // PaintFitCurves draws them; `inset` is the panel's border.
  void Paint(HDC dc, const TPlotGeometry& geometry, const TPlotView& view, int inset,
             const std::vector<TPlotCurve>& curves, const TRangeFits& fits) const;

 private:
  bool FPeak = false;
  bool FEdge = false;
  TRangeFits FFits;
  // The plane the fits were made for; -1 while they are to be made.
  int FPlane = -1;
};
