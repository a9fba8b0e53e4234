#include "dialog/PlotExport_win.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "dialog/NumberDialog_win.h"
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

// Twice the screen's pixels in each direction, at first: sharp in a document printed or
// shown at twice the size it had on the screen.
constexpr int PngScale = 2;
// A picture's sides and resolution as far as a 32-bit process makes a bitmap of them.
constexpr double LeastSide = 16, GreatestSide = 8000, LeastResolution = 24, GreatestResolution = 2400;

struct TPngSize {
  int Width;
  int Height;
  int PixelsPerInch;
};

// Kept while the library is loaded, once the user has chosen.
std::optional<TPngSize> SavedPngSize;

std::optional<TPngSize> AskPngSize(TForm& owner, SIZE panel) {
  const TPngSize offered = SavedPngSize.value_or(
      TPngSize{PngScale * static_cast<int>(panel.cx), PngScale * static_cast<int>(panel.cy), PngScale * owner.PixelsPerInch()});
  const TNumberQuestion question{
      S_PNG_SIZE_CAPTION,
      {{S_PNG_SIZE_WIDTH, double(offered.Width)}, {S_PNG_SIZE_HEIGHT, double(offered.Height)},
       {S_PNG_SIZE_RESOLUTION, double(offered.PixelsPerInch)}},
      S_PNG_SIZE_BAD,
      [](const std::vector<double>& size) {
        const auto whole = [](double value, double least, double greatest) {
          return value == std::floor(value) && value >= least && value <= greatest;
        };
        return whole(size[0], LeastSide, GreatestSide) && whole(size[1], LeastSide, GreatestSide) &&
               whole(size[2], LeastResolution, GreatestResolution);
      }};
  const std::optional<std::vector<double>> size = AskNumbers(owner, question);
  if (!size) return std::nullopt;
  SavedPngSize = TPngSize{static_cast<int>((*size)[0]), static_cast<int>((*size)[1]), static_cast<int>((*size)[2])};
  return SavedPngSize;
}

std::string PngFileBytes(TPlotPanel& plot, const TPngSize& size) {
  TDIBitmap bitmap;
  bitmap.SetSize(size.Width, size.Height);
  PaintPicture(bitmap.Canvas(), size.Width, size.Height, plot.Picture(size.PixelsPerInch));
  return PngBytes(bitmap, size.PixelsPerInch);
}

}  // namespace

void SavePlot(TForm& owner, TPlotPanel& plot, SIZE panel) {
  std::string fileName;
  size_t type = pfPng;
  if (!PromptForSaveFileName(owner.Handle(), PlotFile, fileName, &type)) return;
  const int pixelsPerInch = owner.PixelsPerInch();
  switch (type) {
    case pfSvg: return SaveFileReplacing(fileName, SvgPlot(plot.Picture(pixelsPerInch), panel.cx, panel.cy));
    case pfEmf:
      return SaveFileReplacing(fileName,
                               MetafileBytes(PictureMetafile(plot.Picture(pixelsPerInch), panel.cx, panel.cy).Get()));
    default:
      if (const std::optional<TPngSize> size = AskPngSize(owner, panel)) SaveFileReplacing(fileName, PngFileBytes(plot, *size));
  }
}

void CopyPlot(HWND owner, TPlotPanel& plot, const TDIBitmap& shown, int pixelsPerInch) {
  const TEnhMetaFileHandle drawing = PictureMetafile(plot.Picture(pixelsPerInch), shown.Width(), shown.Height());
  CopyBitmapToClipboard(owner, shown, drawing.Get());
}
