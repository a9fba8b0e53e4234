#include "ui/CustomControl.h"

namespace {

// BeginPaint and EndPaint for one scope, also when painting raises.
class TPaintScope {
 public:
  explicit TPaintScope(HWND window) noexcept : FWindow(window) { BeginPaint(window, &FPaint); }
  ~TPaintScope() { EndPaint(FWindow, &FPaint); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  HDC Dc() const noexcept { return FPaint.hdc; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
};

}  // namespace

void TCustomControl::PaintWindow() {
  const TPaintScope paint(Handle());
  struct TRelease {
    TCanvas& Canvas;
    ~TRelease() { Canvas.SetHandle(nullptr); }
  } release{FCanvas};
  FCanvas.SetHandle(paint.Dc());
  Paint();
}

void TCustomControl::WndProc(TMessage& message) {
  if (message.Msg == WM_PAINT) return PaintWindow();
  TWinControl::WndProc(message);
}
