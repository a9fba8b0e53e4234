#include "dialog/PlotExport_win.h"

#include "dialog/PlotPicture_win.h"
#include "profile/SvgPlot.h"
#include "resources/Texts.h"
#include "streams/StreamUtils.h"
#include "ui/Clipboard.h"
#include "ui/DIBitmap.h"
#include "ui/FileDialogs.h"
#include "ui/PngEncoder_win.h"

namespace {

// The request's types, in the order of TPlotFileType.
enum TPlotFileType : size_t { pfPng, pfSvg, pfEmf };
const TSaveFileRequest PlotFile{S_SAVE_PLOT_NAME,
                                {{S_FILTER_PNG, "*.png", "png"}, {S_FILTER_SVG, "*.svg", "svg"}, {S_FILTER_EMF, "*.emf", "emf"}}};

// Twice the screen's pixels in each direction: sharp in a document printed or shown at
// twice the size it had on the screen.
constexpr int PngScale = 2;

std::string PlotFileBytes(size_t type, TPlotPanel& plot, SIZE panel, int pixelsPerInch) {
  switch (type) {
    case pfSvg: return SvgPlot(plot.Picture(pixelsPerInch), panel.cx, panel.cy);
    case pfEmf: return MetafileBytes(PictureMetafile(plot.Picture(pixelsPerInch), panel.cx, panel.cy).Get());
    default: {
      TDIBitmap bitmap;
      bitmap.SetSize(PngScale * panel.cx, PngScale * panel.cy);
      PaintPicture(bitmap.Canvas(), bitmap.Width(), bitmap.Height(), plot.Picture(PngScale * pixelsPerInch));
      return PngBytes(bitmap, PngScale * pixelsPerInch);
    }
  }
}

}  // namespace

void SavePlot(HWND owner, TPlotPanel& plot, SIZE panel, int pixelsPerInch) {
  std::string fileName;
  size_t type = pfPng;
  if (!PromptForSaveFileName(owner, PlotFile, fileName, &type)) return;
  SaveFileReplacing(fileName, PlotFileBytes(type, plot, panel, pixelsPerInch));
}

void CopyPlot(HWND owner, TPlotPanel& plot, const TDIBitmap& shown, int pixelsPerInch) {
  const TEnhMetaFileHandle drawing = PictureMetafile(plot.Picture(pixelsPerInch), shown.Width(), shown.Height());
  CopyBitmapToClipboard(owner, shown, drawing.Get());
}
