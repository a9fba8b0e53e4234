#include "ui/PanelFrame.h"

#include "ui/Canvas.h"
#include "ui/DIBitmap.h"
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

// `width` nested outlines, top and left in one colour, bottom and right in the other; the
// rectangle shrinks by `width` on every side.
void Frame3D(TCanvas& canvas, RECT& rect, TBevelColors colors, int width) {
  for (int i = 0; i < width; ++i) {
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(colors.TopLeft);
    canvas.FillRect({rect.left, rect.top, rect.right - 1, rect.top + 1});
    canvas.FillRect({rect.left, rect.top, rect.left + 1, rect.bottom - 1});
    canvas.SetBrushColor(colors.BottomRight);
    canvas.FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom});
    canvas.FillRect({rect.right - 1, rect.top, rect.right, rect.bottom});
    InflateRect(&rect, -1, -1);
  }
}

}  // namespace

void TPanelFrame::SetRenderThemeBackground(bool render) noexcept {
  FRenderThemeBackground = render && dynamic_cast<TStyleForm*>(Parent()) != nullptr;
}

TWinControl::TCreateParams TPanelFrame::CreateParams() const { return {ControlClassName(), 0, 0}; }

RECT TPanelFrame::PaintFrame(TCanvas& canvas) const {
  RECT rect;
  GetClientRect(Handle(), &rect);
  if (BevelOuter != bvNone) Frame3D(canvas, rect, BevelColors(BevelOuter), BevelWidth);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  Frame3D(canvas, rect, {face, face}, BorderWidth);
  if (BevelInner != bvNone) Frame3D(canvas, rect, BevelColors(BevelInner), BevelWidth);
  return rect;
}

void TPanelFrame::Paint(TCanvas& canvas) {
  PaintFrame(canvas);
  if (FRenderThemeBackground) {
    canvas.SetBrushStyle(TBrushStyle::Solid);
    canvas.SetBrushColor(ColorToRGB(static_cast<TForm*>(Parent())->Color()));
    canvas.FillRect(canvas.ClipRect());
  }
  if (OnPaint) OnPaint(this, canvas);
}

void TPanelFrame::PaintMessage() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(Handle(), &paint);
  struct TEndPaint {
    HWND Window;
    PAINTSTRUCT& Paint;
    ~TEndPaint() { EndPaint(Window, &Paint); }
  } end{Handle(), paint};
  TCanvas canvas(dc);
  Paint(canvas);
}

// The background is never erased: the paint covers it, and erasing first would flicker.
void TPanelFrame::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 0; break;
    case WM_PAINT: PaintMessage(); break;
    default: TWinControl::WndProc(message);
  }
}

TDoubleBufferedPanel::TDoubleBufferedPanel(TComponent* owner)
    : TPanelFrame(owner), FBuffer(std::make_unique<TDIBitmap>()) {}

TDoubleBufferedPanel::~TDoubleBufferedPanel() = default;

TCanvas& TDoubleBufferedPanel::BufferCanvas() const noexcept { return FBuffer->Canvas(); }

void TDoubleBufferedPanel::SizeBuffer() {
  const int bevels = (BevelInner != bvNone) + (BevelOuter != bvNone);
  FInset = 2 * (BevelWidth * bevels + 2 * BorderWidth);
  const SIZE client = ClientSize();
  FBuffer->SetSize(std::max(0, int(client.cx) - FInset), std::max(0, int(client.cy) - FInset));
}

void TDoubleBufferedPanel::Created() { SizeBuffer(); }

// The buffer has the new size before the owner hears of it, so that it can draw at once.
void TDoubleBufferedPanel::Resize() {
  SizeBuffer();
  TPanelFrame::Resize();
}

void TDoubleBufferedPanel::Paint(TCanvas& canvas) {
  const RECT interior = PaintFrame(canvas);
  if (OnPaint) OnPaint(this, canvas);
  canvas.Draw(interior.left, interior.top, FBuffer->Canvas(), {0, 0, FBuffer->Width(), FBuffer->Height()});
}
