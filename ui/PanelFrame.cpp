#include "ui/PanelFrame.h"

#include <algorithm>

#include "ui/StyleForm.h"

namespace {

struct TBevelColors {
  COLORREF TopLeft;
  COLORREF BottomRight;
};

TBevelColors BevelColors(TBevelCut cut) noexcept {
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  return cut == bvLowered ? TBevelColors{shadow, highlight} : TBevelColors{highlight, shadow};
}

void FillStrip(TCanvas& canvas, COLORREF color, const RECT& strip) {
  canvas.SetBrushColor(color);
  canvas.FillRect(strip);
}

// Nested one-pixel outlines: the top and left sides in the first colour, the bottom and
// right sides (with the corners they end in) in the second; the rectangle shrinks by the
// width on every side.
void Frame3D(TCanvas& canvas, RECT& rect, TBevelColors colors, int width) {
  canvas.SetBrushStyle(TBrushStyle::Solid);
  for (int i = 0; i < width && rect.right > rect.left && rect.bottom > rect.top; ++i) {
    FillStrip(canvas, colors.TopLeft, {rect.left, rect.top, rect.right - 1, rect.top + 1});
    FillStrip(canvas, colors.TopLeft, {rect.left, rect.top, rect.left + 1, rect.bottom - 1});
    FillStrip(canvas, colors.BottomRight, {rect.right - 1, rect.top, rect.right, rect.bottom});
    FillStrip(canvas, colors.BottomRight, {rect.left, rect.bottom - 1, rect.right, rect.bottom});
    InflateRect(&rect, -1, -1);
  }
}

int BevelCount(const TPanelFrame& panel) noexcept {
  return (panel.BevelInner != bvNone) + (panel.BevelOuter != bvNone);
}

}  // namespace

void TPanelFrame::SetRenderThemeBackground(bool render) noexcept {
  FRenderThemeBackground = render && dynamic_cast<TStyleForm*>(Parent()) != nullptr;
}

RECT TPanelFrame::PaintFrame() {
  RECT rect{0, 0, Width(), Height()};
  if (BevelOuter != bvNone) Frame3D(Canvas(), rect, BevelColors(BevelOuter), BevelWidth);
  const COLORREF color = ColorToRGB(Color);
  Frame3D(Canvas(), rect, {color, color}, BorderWidth);
  if (BevelInner != bvNone) Frame3D(Canvas(), rect, BevelColors(BevelInner), BevelWidth);
  return rect;
}

void TPanelFrame::Paint() {
  PaintFrame();
  if (FRenderThemeBackground) {
    Canvas().SetBrushColor(ColorToRGB(static_cast<TStyleForm*>(Parent())->Color()));
    Canvas().FillRect(Canvas().ClipRect());
  }
  if (OnPaint) OnPaint(this);
}

// The system reports the mouse leaving only once asked, and only once per asking.
void TPanelFrame::MouseMove(LPARAM point) {
  if (!FTrackingLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    FTrackingLeave = TrackMouseEvent(&track) != 0;
  }
  if (OnMouseMove) OnMouseMove(this, static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point)));
}

LRESULT TPanelFrame::DialogCode(const MSG* message) const {
  if (!OnKeyDown) return 0;
  const bool wanted = message && message->message == WM_KEYDOWN && OnWantsKey && OnWantsKey(LOWORD(message->wParam));
  return DLGC_WANTARROWS | (wanted ? DLGC_WANTMESSAGE : 0);
}

// The background is never erased: the paint covers the whole panel, and erasing first
// would only make it flicker.
void TPanelFrame::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 0; return;
    case WM_MOUSEMOVE: MouseMove(message.LParam); return;
    case WM_GETDLGCODE: message.Result = DialogCode(reinterpret_cast<const MSG*>(message.LParam)); return;
    case WM_KEYDOWN:
      if (OnKeyDown && OnKeyDown(static_cast<WORD>(message.WParam))) return;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (OnFocusChange) OnFocusChange(this);
      break;
    case WM_LBUTTONDOWN:
      if (OnKeyDown) SetFocus(Handle());
      [[fallthrough]];
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (OnMouseButton)
        OnMouseButton(this, message.Msg, static_cast<short>(LOWORD(message.LParam)),
                      static_cast<short>(HIWORD(message.LParam)));
      return;
    case WM_MOUSELEAVE:
      FTrackingLeave = false;
      if (OnMouseLeave) OnMouseLeave(this);
      return;
    case WM_CAPTURECHANGED:
      if (OnCaptureLost) OnCaptureLost(this);
      return;
  }
  TCustomControl::WndProc(message);
}

// The buffer has the screen's usual format, so that copying it to the screen converts
// nothing.
TDoubleBufferedPanel::TDoubleBufferedPanel(TComponent* owner) : TPanelFrame(owner) {
  FBuffer->SetPixelFormat(TPixelFormat::Bgrx32);
}

// The buffer keeps its pixels: until the owner draws again the panel shows them.
void TDoubleBufferedPanel::Resize() {
  FInset = 2 * (BevelWidth * BevelCount(*this) + 2 * BorderWidth);
  FBuffer->SetSize(std::max(0, Width() - FInset), std::max(0, Height() - FInset));
  FBufferCanvas = &FBuffer->Canvas();
  TPanelFrame::Resize();
}

// The buffer is narrower than the interior when there is a border; the strip it leaves
// takes the panel's colour instead of whatever the screen held.
void TDoubleBufferedPanel::Paint() {
  const RECT interior = PaintFrame();
  if (OnPaint) OnPaint(this);
  const RECT source{0, 0, FBuffer->Width(), FBuffer->Height()};
  Canvas().Draw(interior.left, interior.top, FBuffer->Canvas(), source);
  if (OnPaintOver) OnPaintOver(this);
  Canvas().SetBrushColor(ColorToRGB(Color));
  Canvas().FillRect({interior.left + source.right, interior.top, interior.right, interior.bottom});
  Canvas().FillRect({interior.left, interior.top + source.bottom, interior.left + source.right, interior.bottom});
}
