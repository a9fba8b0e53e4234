#include "dialog/LineOverview_win.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "profile/ProfileSession.h"
#include "ui/Forms.h"
#include "ui/PanelFrame.h"
#include "ui/WheelNotches.h"

namespace {

// A handle's side and how near the pointer must come to take an end or the line, at 96
// pixels per inch.
constexpr int HandleSize = 7;
constexpr int Reach = 6;
constexpr COLORREF LineColor = RGB(255, 220, 0);
constexpr COLORREF OutlineColor = RGB(0, 0, 0);

}  // namespace

TLineOverview::TLineOverview(TForm& form, TDoubleBufferedPanel& panel, const TProfileSession& session, TLineSite site)
    : FForm(form), FPanel(panel), FSession(session), FSite(std::move(site)), FImage(ImageSizeOf(session.Raster)) {
  FPanel.OnMouseButton = [this](TComponent*, UINT button, int x, int y) { MouseButton(button, x, y); };
  FPanel.OnMouseMove = [this](TComponent*, int x, int y) { MouseMove(x, y); };
  FPanel.OnCaptureLost = [this](TComponent*) { EndDrag(); };
  FPanel.OnPaintOver = [this](TComponent*) { PaintOver(); };
  FPanel.OnKeyDown = [this](WORD key) { return Key(key); };
  FPanel.OnWantsKey = [this](WORD key) { return WantsKey(key); };
  // Tab comes to the first end, Shift+Tab to the last; a click chooses the end it takes.
  FPanel.OnFocusChange = [this](TComponent*) {
    if (FPanel.Focused() && GetKeyState(VK_TAB) < 0)
      FChosen = GetKeyState(VK_SHIFT) < 0 ? TLineEnd::To : TLineEnd::From;
    FPanel.Invalidate();
  };
  FPanel.OnResize = [this](TComponent*) { Paint(); };
  FPanel.SetTabStop(true);
}

TLineOverview::~TLineOverview() {
  FPanel.OnMouseButton = nullptr;
  FPanel.OnMouseMove = nullptr;
  FPanel.OnCaptureLost = nullptr;
  FPanel.OnPaintOver = nullptr;
  FPanel.OnKeyDown = nullptr;
  FPanel.OnWantsKey = nullptr;
  FPanel.OnFocusChange = nullptr;
  FPanel.OnResize = nullptr;
}

TViewSize TLineOverview::ViewSize() const noexcept { return {FPanel.Buffer().Width(), FPanel.Buffer().Height()}; }

// The picture is drawn into the panel's buffer (stored bottom up) from the session's clean
// image; the stretch of a map's values is taken once a plane.
void TLineOverview::Paint() {
  if (!FPanel.BufferCanvas()) return;
  const TViewSize size = ViewSize();
  FView = FFitted ? FitView(FImage, size) : PanView(FView, FImage, size, 0, 0);
  if (FSession.Raster.Map && FStretchPlane != FSession.Raster.Plane) {
    FStretch = StretchOf(FSession.Raster);
    FStretchPlane = FSession.Raster.Plane;
  }
  const COLORREF face = GetSysColor(COLOR_APPWORKSPACE);
  const TDIBitmap& buffer = FPanel.Buffer();
  if (size.Width > 0 && size.Height > 0)
    FSession.PaintOverview(FView, size, FStretch, RGB(GetBValue(face), GetGValue(face), GetRValue(face)),
                           {reinterpret_cast<TViewPixel*>(buffer.ScanLine(0)), -buffer.BytesPerLine() / 4});
  FPanel.Invalidate();
}

void TLineOverview::LineChanged() noexcept { FPanel.Invalidate(); }

void TLineOverview::SetView(const TOverviewView& view) {
  if (view == FView) return;
  FView = view;
  FFitted = false;
  Paint();
}

double TLineOverview::ImagePointX(int x) const noexcept { return ImageX(FView, x - FPanel.Inset() / 2 + 0.5) - 0.5; }
double TLineOverview::ImagePointY(int y) const noexcept { return ImageY(FView, y - FPanel.Inset() / 2 + 0.5) - 0.5; }

TPixelPoint TLineOverview::PixelUnder(int x, int y) const noexcept {
  return {static_cast<int>(std::lround(ImagePointX(x))), static_cast<int>(std::lround(ImagePointY(y)))};
}

POINT TLineOverview::PanelPoint(TPixelPoint pixel) const noexcept {
  const int inset = FPanel.Inset() / 2;
  return {inset + static_cast<int>(std::floor(ViewX(FView, pixel.X + 0.5))),
          inset + static_cast<int>(std::floor(ViewY(FView, pixel.Y + 0.5)))};
}

void TLineOverview::MouseButton(UINT button, int x, int y) {
  switch (button) {
    case WM_LBUTTONDOWN:
      StartDrag(x, y);
      SetCapture(FPanel.Handle());
      break;
    case WM_MBUTTONDOWN:
      FPan.emplace(POINT{x, y}, FView);
      SetCapture(FPanel.Handle());
      break;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
      if (GetCapture() == FPanel.Handle()) ReleaseCapture();
      break;
  }
}

// An end near the pointer is held and the other anchors the drag; on the line, the whole
// line moves; anywhere else a new line starts at the pixel pressed.
void TLineOverview::StartDrag(int x, int y) {
  const TLineEnds ends = FSite.Ends();
  const double reach = FForm.ScaleDesign(Reach) / FView.Scale;
  const TLineGrip grip = GripAt(ends, ImagePointX(x), ImagePointY(y), reach, FSite.Shape());
  const TPixelPoint pressed = Clamped(PixelUnder(x, y), FImage);
  if (grip == TLineGrip::Line) {
    FDrag = TLineDrag{true, pressed, ends};
    return;
  }
  FChosen = grip == TLineGrip::From ? TLineEnd::From : TLineEnd::To;
  const TPixelPoint anchor = grip == TLineGrip::From ? ends.To : grip == TLineGrip::To ? ends.From : pressed;
  FDrag = TLineDrag{false, anchor, ends};
  if (grip == TLineGrip::None) FSite.Move(Ordered(anchor, anchor, FSite.Shape()), false);
}

void TLineOverview::MouseMove(int x, int y) {
  if (FPan) return SetView(PanView(FPan->second, FImage, ViewSize(), x - FPan->first.x, y - FPan->first.y));
  if (!FDrag) return;
  const TPixelPoint pixel = PixelUnder(x, y);
  if (FDrag->WholeLine)
    return FSite.Move(MoveLine(FDrag->Start, pixel.X - FDrag->Anchor.X, pixel.Y - FDrag->Anchor.Y, FImage), false);
  const TMovedEnds moved = DragEnd(FDrag->Anchor, pixel, FImage, FSite.Shape());
  FChosen = moved.Held;
  FSite.Move(moved.Ends, false);
}

// However the drag ends (the button let go, the capture taken away), the line settles
// where it is.
void TLineOverview::EndDrag() noexcept {
  FPan.reset();
  if (!FDrag) return;
  FDrag.reset();
  GuardEvent(&FForm, [this] { FSite.Move(FSite.Ends(), true); });
}

// A notch of the wheel zooms by 1.5 about the point under the cursor.
void TLineOverview::Wheel(const TMessage& message) {
  const std::optional<POINT> point = WheelPointOver(FPanel.Handle(), message.LParam);
  if (!point) return;
  const int notches = FWheel.Add(message.WParam);
  if (notches == 0) return;
  const int inset = FPanel.Inset() / 2;
  SetView(ZoomView(FView, FImage, ViewSize(), point->x - inset, point->y - inset, std::pow(1.5, notches)));
}

// Tab goes to the other end first, Shift+Tab back to the first; past them the dialog's
// navigation moves on.
bool TLineOverview::WantsKey(WORD key) const noexcept {
  if (key != VK_TAB) return false;
  return GetKeyState(VK_SHIFT) < 0 ? FChosen == TLineEnd::To : FChosen == TLineEnd::From;
}

bool TLineOverview::Key(WORD key) {
  if (key == VK_TAB) {
    FChosen = FChosen == TLineEnd::From ? TLineEnd::To : TLineEnd::From;
    FPanel.Invalidate();
    return true;
  }
  const int step = GetKeyState(VK_SHIFT) < 0 ? 10 : 1;
  int dx = 0, dy = 0;
  switch (key) {
    case VK_LEFT: dx = -step; break;
    case VK_RIGHT: dx = step; break;
    case VK_UP: dy = -step; break;
    case VK_DOWN: dy = step; break;
    default: return false;
  }
  const TLineEnds ends = FSite.Ends();
  const TPixelPoint end = FChosen == TLineEnd::From ? ends.From : ends.To;
  const TMovedEnds moved = MoveEnd(ends, FChosen, {end.X + dx, end.Y + dy}, FImage, FSite.Shape());
  FChosen = moved.Held;
  FSite.Move(moved.Ends, true);
  return true;
}

void TLineOverview::PaintOver() {
  const TLineEnds ends = FSite.Ends();
  PaintLine(ends);
  const bool focused = FPanel.Focused();
  PaintHandle(ends.From, focused && FChosen == TLineEnd::From);
  PaintHandle(ends.To, focused && FChosen == TLineEnd::To);
}

// The line from pixel centre to pixel centre, outlined so that it shows on any image; a
// band's edges as thin lines beside it; a rectangle by its pixels' outer edges.
void TLineOverview::PaintLine(TLineEnds ends) {
  TCanvas& canvas = FPanel.Canvas();
  const int width = FForm.ScaleDesign(1);
  const auto stroke = [&](const POINT* points, int count) {
    canvas.SetPenColor(OutlineColor);
    canvas.SetPenWidth(3 * width);
    canvas.Polyline(points, count);
    canvas.SetPenColor(LineColor);
    canvas.SetPenWidth(width);
    canvas.Polyline(points, count);
  };
  const POINT from = PanelPoint(ends.From), to = PanelPoint(ends.To);
  if (FSite.Shape() == TLineShape::Rectangle) {
    const int half = std::max(1, static_cast<int>(FView.Scale / 2));
    const POINT corners[] = {{from.x - half, from.y - half}, {to.x + half, from.y - half}, {to.x + half, to.y + half},
                             {from.x - half, to.y + half}, {from.x - half, from.y - half}};
    return stroke(corners, 5);
  }
  const int band = FSite.BandWidth();
  const double length = std::hypot(double(ends.To.X - ends.From.X), double(ends.To.Y - ends.From.Y));
  if (band > 1 && length > 0) {
    const double reach = (band - 1) / 2.0 * FView.Scale;
    const double nx = -(ends.To.Y - ends.From.Y) / length * reach, ny = (ends.To.X - ends.From.X) / length * reach;
    for (int side : {-1, 1}) {
      const int dx = static_cast<int>(std::lround(side * nx)), dy = static_cast<int>(std::lround(side * ny));
      const POINT edge[] = {{from.x + dx, from.y + dy}, {to.x + dx, to.y + dy}};
      canvas.SetPenColor(LineColor);
      canvas.SetPenWidth(width);
      canvas.Polyline(edge, 2);
    }
  }
  const POINT line[] = {from, to};
  stroke(line, 2);
}

// A square over the end's pixel centre; the chosen end of a focused overview is filled
// with the line's colour.
void TLineOverview::PaintHandle(TPixelPoint end, bool chosen) {
  TCanvas& canvas = FPanel.Canvas();
  const POINT centre = PanelPoint(end);
  const int half = FForm.ScaleDesign(HandleSize) / 2;
  const RECT box{centre.x - half, centre.y - half, centre.x + half + 1, centre.y + half + 1};
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(chosen ? LineColor : RGB(255, 255, 255));
  canvas.FillRect(box);
  canvas.SetBrushColor(OutlineColor);
  canvas.FrameRect(box);
}
