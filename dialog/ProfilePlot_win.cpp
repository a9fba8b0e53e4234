#include "dialog/ProfilePlot_win.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "errors/Exceptions.h"
#include "platform/WinApi.h"
#include "profile/CurveStrokes.h"
#include "profile/NumberText.h"
#include "resources/Texts.h"

char UserDecimalSeparator() noexcept {
  char separator[4] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) < 2)
    return '.';
  return separator[0];
}

namespace {

// The user's thousands separator (in the ANSI code page the plot's text is drawn in) and the
// size of the groups it parts ("3;0", "3;2;0": the first group's).
struct TDigitGrouping {
  char Separator[8] = ",";
  int Size = 3;
};

TDigitGrouping UserDigitGrouping() noexcept {
  TDigitGrouping grouping;
  char sizes[16] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, grouping.Separator, sizeof grouping.Separator) < 1)
    lstrcpynA(grouping.Separator, ",", sizeof grouping.Separator);
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, sizes, sizeof sizes) > 1 && sizes[0] > '0' &&
      sizes[0] <= '9')
    grouping.Size = sizes[0] - '0';
  return grouping;
}

void PaintBackground(TCanvas& canvas) {
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(GetSysColor(COLOR_BTNFACE));
  canvas.FillRect(canvas.ClipRect());
}

// An exported plot's range, under everything drawn inside the frame.
void PaintBand(TCanvas& canvas, const TPlotGeometry& geometry, const TProfilePlotData& data) {
  if (!data.Band || data.Profile.empty()) return;
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(data.BandColor);
  canvas.FillRect({geometry.X(data.Band->first), geometry.Top(), geometry.X(data.Band->second) + 1, geometry.BaseY() + 1});
}

// Right and bottom are exclusive: the frame's lines lie on Right() and BaseY(). Wider lines
// grow inwards.
void PaintFrame(TCanvas& canvas, const TPlotGeometry& geometry, int lineWidth) {
  canvas.SetBrushColor(RGB(0, 0, 0));
  for (int inset = 0; inset < lineWidth; ++inset)
    canvas.FrameRect(RECT{geometry.Left() + inset, geometry.Top() + inset, geometry.Right() + 1 - inset,
                          geometry.BaseY() + 1 - inset});
}

// The bottom label is the scale's minimum: "0" unless the scale is fitted to the values.
void PaintLabels(TCanvas& canvas, const TPlotGeometry& geometry, double minValue, double maxValue) {
  canvas.SetBrushStyle(TBrushStyle::Clear);
  canvas.SetFontColor(GetSysColor(COLOR_WINDOWTEXT));
  const int left = geometry.Left() + 2;
  const char separator = UserDecimalSeparator();
  canvas.TextOut(left, geometry.BaseY() - std::abs(canvas.FontHeight()) - 1, FormatGeneral(minValue, 5, separator));
  canvas.TextOut(left, geometry.Top() + 1, FormatGeneral(maxValue, 5, separator));
}

// Where the plot is not the whole profile of one pixel's line, it says so inside the
// frame's right corners, opposite the scale's labels: the band's width at the top, the
// samples in view at the bottom. A log scale that leaves samples out says so at the top
// left.
void PaintOrientation(TCanvas& canvas, const TPlotGeometry& geometry, const TProfilePlotData& data) {
  canvas.SetBrushStyle(TBrushStyle::Clear);
  canvas.SetFontColor(GetSysColor(COLOR_WINDOWTEXT));
  const int right = geometry.Right() - 2;
  if (data.BandWidth > 1) {
    const std::string width = FormatText(S_PLOT_WIDTH, data.BandWidth);
    canvas.TextOut(right - canvas.TextExtent(width).cx, geometry.Top() + 1, width);
  }
  if (data.LogScale) {
    // Below the top label, which the axes replace.
    const int top = geometry.Top() + 1 + (data.Axes ? 0 : std::abs(canvas.FontHeight()));
    if (const size_t leftOut = LeftOffLogScale(data))
      canvas.TextOut(geometry.Left() + 2, top, FormatText(S_LOG_LEFT_OUT, static_cast<int>(leftOut)));
  }
  const size_t count = data.Profile.size();
  if (count == 0 || count >= data.TotalSamples) return;
  const std::string view = FormatText(S_PLOT_IN_VIEW, static_cast<int>(data.FirstSample),
                                      static_cast<int>(data.FirstSample + count - 1), static_cast<int>(data.TotalSamples));
  canvas.TextOut(right - canvas.TextExtent(view).cx, geometry.BaseY() - std::abs(canvas.FontHeight()) - 1, view);
}

// The pixels of the 24-bit or 32-bit DIB section that a DC draws on, when what stands
// between the DC's coordinates and them is at most a shift (a picture drawn beside its
// titles) and a clip rectangle (a value range the user set): the plain mapping and copy
// mode. A run down one column is no line to rasterise: its pixels are written directly,
// which under Wine costs a fraction of a GDI line each.
class TSectionPixels {
 public:
  explicit TSectionPixels(HDC dc) noexcept {
    DIBSECTION section{};
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (GetObjectA(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return;
    const WORD bitCount = section.dsBmih.biBitCount;
    if ((bitCount != 24 && bitCount != 32) || section.dsBmih.biCompression != BI_RGB) return;
    if (GetMapMode(dc) != MM_TEXT || GetROP2(dc) != R2_COPYPEN) return;
    FClip = {0, 0, section.dsBm.bmWidth, section.dsBm.bmHeight};
    if (!ClipToRegion(dc)) return;
    POINT viewport{}, window{};
    GetViewportOrgEx(dc, &viewport);
    GetWindowOrgEx(dc, &window);
    FShift = {viewport.x - window.x, viewport.y - window.y};
    FBits = static_cast<uint8_t*>(section.dsBm.bmBits);
    FHeight = section.dsBm.bmHeight;
    FStride = section.dsBm.bmWidthBytes;
    FPixelSize = bitCount / 8;
    FBottomUp = section.dsBmih.biHeight > 0;
  }
  bool Usable() const noexcept { return FBits != nullptr; }
  // The run and the `columns` - 1 columns right of it, in the pen's colour in the section's
  // layout: blue, green, red (and a zero byte). A plot of a noisy profile fills most of its
  // frame this way, so the pixels of a column are reached by stepping one row at a time, and
  // a 32-bit pixel is written whole.
  void Fill(const TCurveStrokes::TColumnRun& run, int columns, COLORREF color) const noexcept {
    const long left = std::max(run.X + FShift.x, FClip.left), right = std::min(run.X + FShift.x + columns, FClip.right);
    const long top = std::max(run.Top + FShift.y, FClip.top), bottom = std::min(run.Bottom + FShift.y, FClip.bottom);
    if (top >= bottom) return;
    for (long x = left; x < right; ++x) FillColumn(x, top, bottom, color);
  }

 private:
  // The pointer never steps past the column's last row, which lies inside the section.
  void FillColumn(long x, long top, long bottom, COLORREF color) const noexcept {
    const ptrdiff_t step = FBottomUp ? -static_cast<ptrdiff_t>(FStride) : FStride;
    uint8_t* pixel = FBits + static_cast<ptrdiff_t>(FBottomUp ? FHeight - 1 - top : top) * FStride +
                     static_cast<ptrdiff_t>(x) * FPixelSize;
    const uint32_t value = GetBValue(color) | uint32_t{GetGValue(color)} << 8 | uint32_t{GetRValue(color)} << 16;
    for (long y = top;; pixel += step) {
      if (FPixelSize == 4) {
        std::memcpy(pixel, &value, sizeof value);
      } else {
        pixel[0] = GetBValue(color);
        pixel[1] = GetGValue(color);
        pixel[2] = GetRValue(color);
      }
      if (++y == bottom) return;
    }
  }

  // The clip region, in the device's pixels, narrows FClip when it is one rectangle; false
  // for any other shape, or when the region cannot be read.
  bool ClipToRegion(HDC dc) noexcept {
    const TRegionHandle clip(CreateRectRgn(0, 0, 0, 0));
    if (!clip) return false;
    const int kept = GetClipRgn(dc, clip.Get());
    if (kept == 0) return true;
    RECT box;
    if (kept != 1 || GetRgnBox(clip.Get(), &box) != SIMPLEREGION) return false;
    // Empty where the two do not meet: then no run is drawn.
    IntersectRect(&FClip, &FClip, &box);
    return true;
  }

  uint8_t* FBits = nullptr;
  RECT FClip{};
  POINT FShift{};
  int FHeight = 0;
  int FStride = 0;
  int FPixelSize = 0;
  bool FBottomUp = true;
};

// A curve's runs down its columns, then one PolyPolyline for its other lines: a long
// profile costs no GDI object and no line per sample. Lines wider than a pixel are these
// strokes again, shifted across a square of the width: a wide pen's polyline through every
// sample costs a polygon a segment, seconds for a long profile on a large picture. The runs
// go straight into the section's pixels, once GDI has finished what it was asked before (the
// curve underneath), each shifted across the square at once: a run the width's columns
// wide and the width less one rows longer. Anywhere else they are GDI lines too.
void PaintStrokes(TCanvas& canvas, const TSectionPixels& pixels, const TCurveStrokes& strokes, COLORREF color,
                  int lineWidth) {
  const int width = std::max(1, lineWidth), from = -(width - 1) / 2;
  if (pixels.Usable()) {
    GdiFlush();
    for (const TCurveStrokes::TColumnRun& run : strokes.Runs)
      pixels.Fill({run.X + from, run.Top + from, run.Bottom + from + width - 1}, width, color);
  }
  std::vector<POINT> points;
  std::vector<DWORD> counts;
  canvas.SetPenColor(color);
  for (int dy = from; dy < from + width; ++dy)
    for (int dx = from; dx < from + width; ++dx) {
      points.clear();
      counts.clear();
      if (!pixels.Usable())
        for (const TCurveStrokes::TColumnRun& run : strokes.Runs) {
          points.push_back({run.X + dx, run.Top + dy});
          points.push_back({run.X + dx, run.Bottom + dy});
          counts.push_back(2);
        }
      for (const TPlotPoint point : strokes.Points) points.push_back({point.X + dx, point.Y + dy});
      counts.insert(counts.end(), strokes.Counts.begin(), strokes.Counts.end());
      canvas.PolyPolyline(points.data(), counts.data(), static_cast<int>(counts.size()));
    }
}

// The pixels that later curves paint over are not painted first.
void PaintCurves(TCanvas& canvas, const TSectionPixels& pixels, const TPlotGeometry& geometry,
                 const TProfilePlotData& data) {
  const std::vector<TPlotCurve> curves = CurvesOf(data.PlaneIndex, data.ComplexMap);
  const std::vector<TCurveStrokes> strokes = CurveStrokes(geometry, data, curves);
  for (size_t curve = 0; curve < curves.size(); ++curve)
    PaintStrokes(canvas, pixels, strokes[curve], curves[curve].Color, data.LineWidth);
}

// Kept curves behind the live ones, lighter, each its samples beside the view's.
void PaintKeptCurves(TCanvas& canvas, const TSectionPixels& pixels, const TPlotGeometry& geometry,
                     const TProfilePlotData& data) {
  for (size_t k = 0; k < data.Kept.size(); ++k) {
    const TKeptSeries& series = data.Kept[k];
    TProfilePlotData kept = data;
    kept.Profile = KeptInView(data, series);
    if (kept.Profile.empty()) continue;
    kept.ProfileRGB = {};
    kept.GapsAtNaN = true;
    const TColor shade = KeptShade(series.Color, GetSysColor(COLOR_BTNFACE), k);
    const std::vector<TCurveStrokes> strokes = CurveStrokes(geometry, kept, {{TCurveKind::Gray, shade}});
    PaintStrokes(canvas, pixels, strokes[0], shade, data.LineWidth);
  }
}

// Both ramp rows in one block of pixels: a pen per gray level would cost a GDI object per
// run, some hundreds for a long profile. The runs are the lines from sample to sample
// (a line never covers its end point) and the last sample's pixel ends the row, so the
// block covers the frame's width without a gap.
void PaintRamp(TCanvas& canvas, const TPlotGeometry& geometry, size_t count, size_t first) {
  const int left = geometry.Left();
  const int width = geometry.X(count - 1) - left + 1;
  if (width < 1) return;
  std::vector<uint32_t> pixels(2 * static_cast<size_t>(width));
  for (const TRampRun& run : RampRuns(geometry, count, first))
    for (int x = std::max(run.FromX, left); x < std::min(run.ToX, left + width); ++x)
      pixels[x - left] = GrayLevel(run.Level);
  pixels[width - 1] = GrayLevel(static_cast<uint8_t>((first + count - 1) % 256));
  std::copy_n(pixels.begin(), width, pixels.begin() + width);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -2;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(canvas.Handle(), left, geometry.BaseY() + 2, width, 2, 0, 0, 0, 2, pixels.data(), &info,
                    DIB_RGB_COLORS);
}

// The grid inside the frame, at the ticks the axes have or would have.
void PaintGrid(TCanvas& canvas, const TPlotGeometry& geometry, const TProfilePlotData& data) {
  if (!data.Grid) return;
  std::vector<POINT> points;
  for (double value : ValueTicks(data, geometry)) {
    points.push_back({geometry.Left(), geometry.Y(value)});
    points.push_back({geometry.Right(), geometry.Y(value)});
  }
  for (const TAxisTick& tick : SampleTicks(data, geometry)) {
    points.push_back({geometry.XAt(tick.Sample), geometry.Top()});
    points.push_back({geometry.XAt(tick.Sample), geometry.BaseY()});
  }
  const std::vector<DWORD> counts(points.size() / 2, 2);
  canvas.SetPenColor(GridShade(GetSysColor(COLOR_BTNFACE)));
  canvas.PolyPolyline(points.data(), counts.data(), static_cast<int>(counts.size()));
}

TAxisRoom AxisRoom(TCanvas& canvas, int height, const TProfilePlotData& data) {
  if (!data.Axes) return {};
  const TAxisSizes sizes(data);
  TAxisRoom room;
  room.Bottom = sizes.RampRoom + sizes.TickLength + 1 + std::abs(canvas.FontHeight());
  int widest = 0;
  const char separator = UserDecimalSeparator();
  const TDigitGrouping grouping = UserDigitGrouping();
  for (double value : ValueTicks(data, height - 1 - 2 * data.Margin - room.Bottom, sizes.ValueTickSpacing))
    widest = std::max(widest, static_cast<int>(canvas.TextExtent(FormatGrouped(value, grouping.Separator, grouping.Size, separator)).cx));
  room.Left = widest + sizes.TickLength + 2;
  return room;
}

void PaintAxes(TCanvas& canvas, int width, const TPlotGeometry& geometry, const TProfilePlotData& data) {
  const int tickLength = TAxisSizes(data).TickLength;
  canvas.SetPenColor(RGB(0, 0, 0));
  canvas.SetBrushStyle(TBrushStyle::Clear);
  canvas.SetFontColor(GetSysColor(COLOR_WINDOWTEXT));
  const char separator = UserDecimalSeparator();
  const TDigitGrouping grouping = UserDigitGrouping();
  const int textHeight = std::abs(canvas.FontHeight());
  for (double value : ValueTicks(data, geometry)) {
    const int y = geometry.Y(value);
    canvas.MoveTo(geometry.Left() - tickLength, y);
    canvas.LineTo(geometry.Left(), y);
    // Round sums of an integrated selection read in full ("523,330").
    const std::string label = FormatGrouped(value, grouping.Separator, grouping.Size, separator);
    canvas.TextOut(geometry.Left() - tickLength - 1 - canvas.TextExtent(label).cx, y - textHeight / 2, label);
  }
  const int tickTop = geometry.BaseY() + TAxisSizes(data).RampRoom;
  const std::vector<TAxisTick> ticks = SampleTicks(data, geometry);
  for (const TAxisTick& tick : ticks) {
    const int x = geometry.XAt(tick.Sample);
    canvas.MoveTo(x, tickTop);
    canvas.LineTo(x, tickTop + tickLength);
    // Centred under its tick, but never past the canvas's right end.
    std::string label = FormatGeneral(tick.Label, 10, separator);
    if (&tick == &ticks.back() && *data.AxisUnit) label.append(" ").append(AnsiText(data.AxisUnit));
    const int labelWidth = canvas.TextExtent(label).cx;
    canvas.TextOut(std::min(x - labelWidth / 2, width - labelWidth), tickTop + tickLength + 1, label);
  }
}

// A lone curve's spread across a band: the band from mean plus to mean minus spread, filled
// from sample to sample and clipped to the frame's inside, in the curve's colour brought
// three quarters of the way to the background.
void PaintEnvelope(TCanvas& canvas, const TPlotGeometry& geometry, const TProfilePlotData& data) {
  const std::vector<TPlotCurve> curves = CurvesOf(data.PlaneIndex, data.ComplexMap);
  if (curves.size() != 1 || data.Spread.empty()) return;
  const TCurveKind kind = curves[0].Kind;
  const COLORREF shade = EnvelopeShade(curves[0].Color, GetSysColor(COLOR_BTNFACE));
  const size_t length = CurveLength(data, kind);
  std::vector<POINT> outline(2 * length);
  for (size_t i = 0; i < length; ++i) {
    const double value = CurveValue(data, kind, i), spread = CurveSpread(data, kind, i);
    const int x = geometry.X(i);
    outline[i] = {x, geometry.Y(value + spread)};
    outline[2 * length - 1 - i] = {x, geometry.Y(value - spread)};
  }
  const int inset = data.LineWidth;
  canvas.SetClipRect({geometry.Left() + inset, geometry.Top() + inset, geometry.Right() + 1 - inset,
                      geometry.BaseY() + 1 - inset});
  canvas.SetPenColor(shade);
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(shade);
  canvas.Polygon(outline.data(), static_cast<int>(outline.size()));
  canvas.ResetClipRect();
}

}  // namespace

TPlotGeometry PlotGeometryOf(TCanvas& canvas, int width, int height, const TProfilePlotData& data) {
  return TPlotGeometry(width, height, data.Margin, data.Profile.size(), data.MaxValue, data.MinValue,
                       AxisRoom(canvas, height, data), data.LogScale);
}

// The labels in the designed face and size, 8 points, at the plot's resolution.
TPlotGeometry PaintProfile(TCanvas& canvas, int width, int height, const TProfilePlotData& data) {
  const size_t count = data.Profile.size();
  canvas.SetFont(data.FontFace, -MulDiv(8, data.PixelsPerInch, 72));
  const TPlotGeometry geometry = PlotGeometryOf(canvas, width, height, data);
  PaintBackground(canvas);
  PaintBand(canvas, geometry, data);
  PaintGrid(canvas, geometry, data);
  PaintFrame(canvas, geometry, data.LineWidth);
  PaintEnvelope(canvas, geometry, data);
  if (data.Axes)
    PaintAxes(canvas, width, geometry, data);
  else
    PaintLabels(canvas, geometry, data.MinValue, data.MaxValue);
  PaintOrientation(canvas, geometry, data);
  if (data.ClipCurves) {
    const int inset = data.LineWidth;
    canvas.SetClipRect({geometry.Left() + inset, geometry.Top() + inset, geometry.Right() + 1 - inset,
                        geometry.BaseY() + 1 - inset});
  }
  // The section is looked at once the clip is set, which it takes into account.
  const TSectionPixels pixels(canvas.Handle());
  PaintKeptCurves(canvas, pixels, geometry, data);
  PaintCurves(canvas, pixels, geometry, data);
  canvas.ResetClipRect();
  if (count > 0) PaintRamp(canvas, geometry, count, data.FirstSample);
  return geometry;
}
