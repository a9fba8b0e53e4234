#pragma once
// A plot picture as an SVG document: the same parts as the dialog draws, as shapes and text
// that stay sharp at any size. Each curve is one polyline through all its samples in view
// (split where a sample is not a number), so that a script can read the values back.

#include <string>

#include "profile/PlotPicture.h"

// UTF-8 text of a picture width x height pixels (at the data's PixelsPerInch); its
// numbers have "." as their decimal point whatever the locale.
std::string SvgPlot(const TPlotPicture& picture, int width, int height);
