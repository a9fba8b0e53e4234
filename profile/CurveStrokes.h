#pragma once
// The curves' pixels in few strokes: a long profile puts many samples on one column of the
// plot, and drawing each of its lines would cost a line per sample.

#include <cstdint>
#include <vector>

#include "profile/ProfilePlot.h"

struct TPlotPoint {
  int X;
  int Y;
  friend bool operator==(const TPlotPoint&, const TPlotPoint&) = default;
};

// A curve's pixels for curves drawn one over the other: runs of pixels down one column,
// and pieces of one polyline call each (every line of a piece leaves out its end point, as
// the pen always does).
struct TCurveStrokes {
  // Pixels Top .. Bottom - 1 of column X.
  struct TColumnRun {
    int X, Top, Bottom;
  };
  std::vector<TColumnRun> Runs;
  std::vector<TPlotPoint> Points;
  // How many of Points each piece takes, in order; every piece has two points or more.
  std::vector<uint32_t> Counts;
};

// The pixels of each curve's polyline through all its samples, in fewer pixels: the
// vertical lines of a column become one run from its highest to its lowest point (the line
// to the next column starts on the column's last point), the lines between columns stay,
// and the last column keeps its points. A later curve covers an earlier one, so what the
// column runs of later curves cover is left out of a column's run, and a line between
// columns is left out when the column runs of its curve and the later ones cover its
// bounding box. Painted in order, the strokes give the polylines' pixels.
std::vector<TCurveStrokes> CurveStrokes(const TPlotGeometry& geometry, const TProfilePlotData& data,
                                        const std::vector<TPlotCurve>& curves);
