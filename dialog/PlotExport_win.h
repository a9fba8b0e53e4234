#pragma once
// The plot leaving the dialog: saved as a PNG picture, an SVG drawing or an enhanced
// metafile, and copied to the clipboard as a bitmap and a metafile.

#include "dialog/PlotPanel_win.h"
#include "platform/WinApi.h"

class TDIBitmap;
class TForm;

// Asks for a file and its type and writes the plot there whole, replacing the file only
// once it is written: a PNG at the size and resolution asked for next (at first twice the
// panel's and the screen's), an SVG drawing and a metafile at the panel's.
void SavePlot(TForm& owner, TPlotPanel& plot, SIZE panel);
// The panel's picture as it shows, and the plot drawn afresh as a metafile of its size.
void CopyPlot(HWND owner, TPlotPanel& plot, const TDIBitmap& shown, int pixelsPerInch);
