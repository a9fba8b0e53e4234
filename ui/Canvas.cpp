#include "ui/Canvas.h"

#include <algorithm>
#include <cstring>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "ui/ScalableFont.h"

namespace {

// GDI refuses new objects only when the process runs out of them.
template <class THandle>
THandle Checked(THandle handle) {
  if (!handle) throw EOutOfMemory(S_OUT_OF_MEMORY);
  return handle;
}

int TextLength(std::string_view text) {
  return static_cast<int>(std::min<size_t>(text.size(), INT32_MAX));
}

}  // namespace

int ScreenFontHeight(int points) noexcept {
  static const int pixelsPerInch = [] {
    TWindowDc screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
  }();
  return MulDiv(points, pixelsPerInch, 72);
}

LOGFONTA TCanvas::DefaultFont() noexcept {
  LOGFONTA font{};
  font.lfHeight = -ScreenFontHeight(8);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
  return font;
}

void TCanvas::Release() noexcept {
  FPenSelection.reset();
  FFontSelection.reset();
  FPenStale = FFontStale = true;
}

void TCanvas::SetHandle(HDC dc) noexcept {
  if (dc == FDc) return;
  Release();
  FDc = dc;
}

void TCanvas::SetBrushColor(COLORREF color) noexcept {
  if (color == FBrushColor) return;
  FBrushColor = color;
  FBrushStale = true;
}

void TCanvas::SetBrushStyle(TBrushStyle style) noexcept { FBrushStyle = style; }

void TCanvas::SetPenWidth(int width) noexcept {
  if (width == FPenWidth) return;
  FPenWidth = width;
  FPenStale = true;
}

void TCanvas::SetPenColor(COLORREF color) noexcept {
  if (color == FPenColor) return;
  FPenColor = color;
  FPenStale = true;
}

// The plot sets its font on every paint: the same font keeps the one made, which spares
// making it (and its scalable stand-in) again.
void TCanvas::SetFont(const LOGFONTA& font) noexcept {
  if (std::memcmp(&font, &FFont, sizeof font) == 0) return;
  FFont = font;
  FFontStale = true;
}

void TCanvas::SetFont(std::string_view name, int height) noexcept {
  LOGFONTA font = DefaultFont();
  font.lfHeight = height;
  const size_t length = std::min<size_t>(name.size(), LF_FACESIZE - 1);
  std::copy_n(name.data(), length, font.lfFaceName);
  font.lfFaceName[length] = '\0';
  SetFont(font);
}

void TCanvas::RequireBrush() {
  if (!FBrushStale) return;
  FBrush.Reset(Checked(CreateSolidBrush(FBrushColor)));
  FBrushStale = false;
}

// The new pen goes into the DC before the old one is deleted: GDI does not delete an
// object that is still selected.
void TCanvas::RequirePen() {
  if (!FPenStale) return;
  TPenHandle pen(Checked(CreatePen(PS_SOLID, FPenWidth, FPenColor)));
  if (FPenSelection)
    SelectObject(FDc, pen.Get());
  else
    FPenSelection.emplace(FDc, pen.Get());
  FPen = std::move(pen);
  FPenStale = false;
}

void TCanvas::RequireFont() {
  if (!FFontStale) return;
  const LOGFONTA scalable = ScalableFont(FFont);
  TFontHandle font(Checked(CreateFontIndirectA(&scalable)));
  if (FFontSelection)
    SelectObject(FDc, font.Get());
  else
    FFontSelection.emplace(FDc, font.Get());
  FFontHandle = std::move(font);
  FFontStale = false;
}

void TCanvas::RequireTextColors() {
  RequireFont();
  SetTextColor(FDc, FFontColor);
  if (FBrushStyle == TBrushStyle::Clear) {
    SetBkMode(FDc, TRANSPARENT);
  } else {
    SetBkMode(FDc, OPAQUE);
    SetBkColor(FDc, FBrushColor);
  }
}

void TCanvas::FillRect(const RECT& rect) {
  if (FBrushStyle == TBrushStyle::Clear) return;
  RequireBrush();
  ::FillRect(FDc, &rect, FBrush.Get());
}

// The pixels under the rectangle are read, mixed with the colour and written back: a plain
// copy each way, whatever the device (the system's own blending stretches a pixel
// unreliably under some drivers). Only what the paint may change is read, blended and written
// back: a paint of a few columns blends a few columns.
void TCanvas::FillBlended(const RECT& area, COLORREF color, BYTE opacity) {
  RECT rect;
  const RECT clip = ClipRect();
  if (!IntersectRect(&rect, &area, &clip)) return;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const TMemoryDc copy(CreateCompatibleDC(FDc));
  const TBitmapHandle section(CreateDIBSection(FDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!copy || !section) return;
  const TSelectObject selected(copy.Get(), section.Get());
  BitBlt(copy.Get(), 0, 0, width, height, FDc, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const uint32_t tint[3] = {uint32_t{GetBValue(color)} * opacity, uint32_t{GetGValue(color)} * opacity,
                            uint32_t{GetRValue(color)} * opacity};
  auto* pixel = static_cast<uint8_t*>(bits);
  for (size_t i = 0, count = size_t{4} * width * height; i < count; i += 4)
    for (int channel = 0; channel < 3; ++channel)
      pixel[i + channel] = static_cast<uint8_t>((pixel[i + channel] * (255u - opacity) + tint[channel] + 127) / 255);
  BitBlt(FDc, rect.left, rect.top, width, height, copy.Get(), 0, 0, SRCCOPY);
}

void TCanvas::FrameRect(const RECT& rect) {
  if (FBrushStyle == TBrushStyle::Clear) return;
  RequireBrush();
  ::FrameRect(FDc, &rect, FBrush.Get());
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(FDc, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  RequirePen();
  ::LineTo(FDc, x, y);
}

void TCanvas::Polyline(const POINT* points, int count) {
  if (count < 2) return;
  RequirePen();
  ::Polyline(FDc, points, count);
}

void TCanvas::Polygon(const POINT* points, int count) {
  if (count < 2) return;
  RequirePen();
  RequireBrush();
  // The brush is the fill rectangles' own, never left selected: it goes in for the shape.
  const HGDIOBJ brush = SelectObject(FDc, FBrush.Get());
  const int mode = SetPolyFillMode(FDc, WINDING);
  ::Polygon(FDc, points, count);
  SetPolyFillMode(FDc, mode);
  SelectObject(FDc, brush);
}

void TCanvas::PolyPolyline(const POINT* points, const DWORD* counts, int polylines) {
  if (polylines < 1) return;
  RequirePen();
  ::PolyPolyline(FDc, points, counts, static_cast<DWORD>(polylines));
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  RequireTextColors();
  ::TextOutA(FDc, x, y, text.data(), TextLength(text));
}

SIZE TCanvas::TextExtent(std::string_view text) {
  RequireFont();
  SIZE size{};
  GetTextExtentPoint32A(FDc, text.data(), TextLength(text), &size);
  return size;
}

void TCanvas::Draw(int x, int y, const TCanvas& source, const RECT& sourceRect) {
  BitBlt(FDc, x, y, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top,
         source.FDc, sourceRect.left, sourceRect.top, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& rect, const TCanvas& source, const RECT& sourceRect) {
  // Shrinking otherwise merges rows by AND, which turns a light picture dark.
  SetStretchBltMode(FDc, COLORONCOLOR);
  StretchBlt(FDc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
             source.FDc, sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
             sourceRect.bottom - sourceRect.top, SRCCOPY);
}

RECT TCanvas::ClipRect() const noexcept {
  RECT rect{};
  GetClipBox(FDc, &rect);
  return rect;
}

// In the DC's own coordinates, which a picture drawn beside its titles moves: a region is
// selected in the device's.
void TCanvas::SetClipRect(const RECT& rect) noexcept {
  SelectClipRgn(FDc, nullptr);
  IntersectClipRect(FDc, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::ResetClipRect() noexcept { SelectClipRgn(FDc, nullptr); }
