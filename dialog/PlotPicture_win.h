#pragma once
// The plot picture drawn through the system's graphics: on a bitmap for a PNG file, or
// recorded as an enhanced metafile for an EMF file and the clipboard.

#include <string>

#include "platform/Handles.h"
#include "profile/PlotPicture.h"
#include "ui/Canvas.h"

// The picture's legend in the frame's top right corner, with more than one entry: for a
// picture, or over the dialog's plot.
void PaintLegend(TCanvas& canvas, const TPlotGeometry& geometry, const TPlotPicture& picture);

// Draws the picture on a canvas of width x height pixels.
void PaintPicture(TCanvas& canvas, int width, int height, const TPlotPicture& picture);

// The picture recorded at width x height pixels of the screen, which sets its size in
// millimetres; raises when the system cannot make it.
TEnhMetaFileHandle PictureMetafile(const TPlotPicture& picture, int width, int height);
// The metafile's bytes, as an EMF file holds them.
std::string MetafileBytes(HENHMETAFILE metafile);
