#include "dialog/PlotPicture_win.h"

#include <algorithm>
#include <cstdlib>

#include "dialog/PlotFits_win.h"
#include "dialog/ProfilePlot_win.h"
#include "errors/Exceptions.h"
#include "platform/WinApi.h"
#include "resources/Texts.h"

void PaintLegend(TCanvas& canvas, const TPlotGeometry& geometry, const TPlotPicture& picture) {
  if (picture.Legend.size() < 2) return;
  canvas.SetFont(picture.Data.FontFace, -MulDiv(8, picture.Data.PixelsPerInch, 72));
  const int textHeight = canvas.TextExtent("Ag").cy;
  int widest = 0;
  for (const TLegendEntry& entry : picture.Legend) widest = std::max(widest, static_cast<int>(canvas.TextExtent(entry.Name).cx));
  const TLegendBox box = LegendBoxOf(geometry, picture, widest, textHeight);
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(picture.Background);
  canvas.FillRect({box.Left, box.Top, box.Right, box.Bottom});
  canvas.SetBrushColor(RGB(0, 0, 0));
  canvas.FrameRect({box.Left, box.Top, box.Right, box.Bottom});
  canvas.SetBrushStyle(TBrushStyle::Clear);
  canvas.SetFontColor(picture.Text);
  const int lineWidth = 2 * picture.Data.LineWidth;
  for (size_t i = 0; i < picture.Legend.size(); ++i) {
    const TLegendEntry& entry = picture.Legend[i];
    const int top = box.Top + box.Padding + static_cast<int>(i) * box.RowHeight;
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(entry.Color);
    canvas.FillRect({box.Left + box.Padding, top + (textHeight - lineWidth) / 2, box.Left + box.Padding + box.LineLength,
                     top + (textHeight + lineWidth) / 2});
    canvas.SetBrushStyle(TBrushStyle::Clear);
    canvas.TextOut(box.Left + 2 * box.Padding + box.LineLength, top, entry.Name);
  }
}

namespace {

// The title across the top, the value axis's title turned up the left side, the sample
// axis's title under the plot.
void PaintTitles(TCanvas& canvas, int width, const TPictureLayout& layout, const TPlotPicture& picture) {
  canvas.SetBrushStyle(TBrushStyle::Clear);
  canvas.SetFontColor(picture.Text);
  canvas.TextOut((width - canvas.TextExtent(picture.Title).cx) / 2, layout.TitleTop, picture.Title);
  // A distance's title carries its unit's symbol ("µm"), in UTF-8 as the system's texts are.
  const std::string sampleTitle = AnsiText(picture.SampleTitle);
  canvas.TextOut(layout.PlotLeft + (layout.PlotWidth - canvas.TextExtent(sampleTitle).cx) / 2, layout.SampleTitleTop,
                 sampleTitle);
  LOGFONTA font{};
  font.lfHeight = canvas.FontHeight();
  font.lfEscapement = font.lfOrientation = 900;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, picture.Data.FontFace, LF_FACESIZE);
  const int length = canvas.TextExtent(picture.ValueTitle).cx;
  canvas.SetFont(font);
  canvas.TextOut(layout.ValueTitleLeft, layout.PlotTop + (layout.PlotHeight + length) / 2, picture.ValueTitle);
}

}  // namespace

// The plot draws its background over the whole canvas, so the titles come after it.
void PaintPicture(TCanvas& canvas, int width, int height, const TPlotPicture& picture) {
  canvas.SetFont(picture.Data.FontFace, -MulDiv(8, picture.Data.PixelsPerInch, 72));
  const int textHeight = canvas.TextExtent("Ag").cy;
  const TPictureLayout layout = LayoutPicture(width, height, textHeight);
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(picture.Background);
  canvas.FillRect({0, 0, width, height});
  POINT origin;
  SetViewportOrgEx(canvas.Handle(), layout.PlotLeft, layout.PlotTop, &origin);
  const TPlotGeometry geometry = PaintProfile(canvas, layout.PlotWidth, layout.PlotHeight, picture.Data);
  PaintFitCurves(canvas.Handle(), geometry, {picture.Data.FirstSample, picture.Data.Profile.size()}, 0, picture.Fits,
                 picture.Data.LineWidth);
  PaintLegend(canvas, geometry, picture);
  SetViewportOrgEx(canvas.Handle(), origin.x, origin.y, nullptr);
  PaintTitles(canvas, width, layout, picture);
}

// The frame is given in hundredths of a millimetre of the screen.
TEnhMetaFileHandle PictureMetafile(const TPlotPicture& picture, int width, int height) {
  const HDC screen = GetDC(nullptr);
  const RECT frame{0, 0, MulDiv(width, 100 * GetDeviceCaps(screen, HORZSIZE), GetDeviceCaps(screen, HORZRES)),
                   MulDiv(height, 100 * GetDeviceCaps(screen, VERTSIZE), GetDeviceCaps(screen, VERTRES))};
  const HDC recorder = CreateEnhMetaFileW(screen, nullptr, &frame, L"Ostravine\0Profile plot\0");
  ReleaseDC(nullptr, screen);
  if (!recorder) throw Exception(FormatText(S_PICTURE_ERROR, SystemErrorText(GetLastError()).c_str()));
  {
    TCanvas canvas(recorder);
    PaintPicture(canvas, width, height, picture);
  }
  TEnhMetaFileHandle metafile(CloseEnhMetaFile(recorder));
  if (!metafile) throw Exception(FormatText(S_PICTURE_ERROR, SystemErrorText(GetLastError()).c_str()));
  return metafile;
}

std::string MetafileBytes(HENHMETAFILE metafile) {
  std::string bytes(GetEnhMetaFileBits(metafile, 0, nullptr), '\0');
  if (bytes.empty() || GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data())) == 0)
    throw Exception(FormatText(S_PICTURE_ERROR, SystemErrorText(GetLastError()).c_str()));
  return bytes;
}
