#pragma once
// TCanvas: drawing on a device context that belongs to someone else (a window's paint DC,
// a bitmap's memory DC). The canvas owns only the brush, pen and font it creates; they are
// made when a drawing call first needs them, and the DC's own objects are put back when
// the canvas lets go of it.

#include <optional>
#include <string_view>

#include "platform/Handles.h"

enum class TBrushStyle : unsigned char { Solid, Clear };

class TCanvas {
 public:
  TCanvas() noexcept = default;
  explicit TCanvas(HDC dc) noexcept : FDc(dc) {}
  ~TCanvas() { Release(); }
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const noexcept { return FDc; }
  // Draws on another DC from now on; the objects selected into the old one are put back.
  void SetHandle(HDC dc) noexcept;

  void SetBrushColor(COLORREF color) noexcept;
  void SetBrushStyle(TBrushStyle style) noexcept;

  // The pen is solid and one pixel wide; a new one is made only when its colour changes.
  COLORREF PenColor() const noexcept { return FPenColor; }
  void SetPenColor(COLORREF color) noexcept;
  int PenWidth() const noexcept { return FPenWidth; }
  void SetPenWidth(int width) noexcept;

  // Without a font of its own the canvas writes in "MS Sans Serif", 8 points.
  void SetFont(const LOGFONTA& font) noexcept;
  void SetFont(std::string_view name, int height) noexcept;
  // The font's height as set (negative: character height without internal leading).
  int FontHeight() const noexcept { return FFont.lfHeight; }
  void SetFontColor(COLORREF color) noexcept { FFontColor = color; }

  // Both fill and frame in the brush colour and draw nothing with a clear brush.
  void FillRect(const RECT& rect);
  // The rectangle tinted with a colour of this opacity (0 to 255) over what is there.
  void FillBlended(const RECT& area, COLORREF color, BYTE opacity);
  void FrameRect(const RECT& rect);
  // Lines leave out their end point.
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const POINT* points, int count);
  // A closed shape filled with the brush (where it winds around a point) and outlined with
  // the pen.
  void Polygon(const POINT* points, int count);
  // Polylines of counts[0], counts[1], ... points each, in one call.
  void PolyPolyline(const POINT* points, const DWORD* counts, int polylines);
  // Text is transparent with a clear brush, otherwise on the brush colour. (windows.h
  // renames TextOut to TextOutA everywhere, consistently, so callers need not care.)
  void TextOut(int x, int y, std::string_view text);
  SIZE TextExtent(std::string_view text);
  COLORREF Pixel(int x, int y) const noexcept { return GetPixel(FDc, x, y); }
  void SetPixel(int x, int y, COLORREF color) noexcept { SetPixelV(FDc, x, y, color); }
  // Block copies from another canvas: one to one, or stretched into the target rectangle.
  void Draw(int x, int y, const TCanvas& source, const RECT& sourceRect);
  void StretchDraw(const RECT& rect, const TCanvas& source, const RECT& sourceRect);

  // The bounds of what drawing can reach (the clip box).
  RECT ClipRect() const noexcept;
  // Limits drawing to the rectangle, in logical coordinates; ResetClipRect lifts the limit.
  void SetClipRect(const RECT& rect) noexcept;
  void ResetClipRect() noexcept;

 private:
  static LOGFONTA DefaultFont() noexcept;
  void Release() noexcept;
  void RequireBrush();
  void RequirePen();
  void RequireFont();
  void RequireTextColors();

  HDC FDc = nullptr;
  COLORREF FBrushColor = RGB(255, 255, 255);
  TBrushStyle FBrushStyle = TBrushStyle::Solid;
  COLORREF FPenColor = RGB(0, 0, 0);
  int FPenWidth = 1;
  COLORREF FFontColor = RGB(0, 0, 0);
  LOGFONTA FFont = DefaultFont();
  // The brush is handed to each fill call and never selected. Each selected handle is
  // declared before its selection, so that the DC's own object is put back before the
  // canvas's object is deleted.
  TBrushHandle FBrush;
  TPenHandle FPen;
  TFontHandle FFontHandle;
  std::optional<TSelectObject> FPenSelection;
  std::optional<TSelectObject> FFontSelection;
  bool FBrushStale = true;
  bool FPenStale = true;
  bool FFontStale = true;
};

// The height in pixels of a font of the given points on the screen (negative: character
// height), as the system computes it at start-up.
int ScreenFontHeight(int points) noexcept;
