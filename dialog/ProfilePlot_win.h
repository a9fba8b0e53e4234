#pragma once
// The Win32 half of the profile plot: drawing it on a canvas.

#include "profile/ProfilePlot.h"
#include "ui/Canvas.h"

// The user's decimal separator, as the plot's numbers show it.
char UserDecimalSeparator() noexcept;

// Draws the whole plot on a canvas of width x height pixels (the panel's back buffer):
// background, frame, the value scale's labels, the curves of the chosen plane and the
// two ramp rows under the frame. The caller then has the panel repaint. Returns the
// geometry it drew with.
TPlotGeometry PaintProfile(TCanvas& canvas, int width, int height, const TProfilePlotData& data);

// The geometry PaintProfile draws with: with axes, the frame shrinks for their labels in
// the canvas's font.
TPlotGeometry PlotGeometryOf(TCanvas& canvas, int width, int height, const TProfilePlotData& data);
