#pragma once
// Framed panels. TPanelFrame draws its bevels and border and leaves the rest to its
// owner's OnPaint; it never erases its background. TDoubleBufferedPanel keeps a back
// buffer the size of its interior, which the owner draws into whenever it likes; its paint
// is one block copy of the buffer.

#include <functional>
#include <memory>

#include "ui/CustomControl.h"
#include "ui/DIBitmap.h"

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TPanelFrame : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

  TBevelCut BevelInner = bvNone;
  TBevelCut BevelOuter = bvNone;
  int BevelWidth = 1;
  int BorderWidth = 0;
  TColor Color = clBtnFace;
  TNotifyEvent OnPaint;
  // The mouse moving over the panel, at a point of its client area, and leaving it.
  std::function<void(TComponent* sender, int x, int y)> OnMouseMove;
  TNotifyEvent OnMouseLeave;
  // The left button going down, up or double-clicked, and the middle button going down or
  // up (the message's code), at a point of the client area.
  std::function<void(TComponent* sender, UINT button, int x, int y)> OnMouseButton;
  // The mouse capture taken away from the panel (by the panel's own release too): a drag
  // that held it is over.
  TNotifyEvent OnCaptureLost;

  // A panel with a key handler takes the focus from a click, and gets the arrow keys, and
  // the other keys `OnWantsKey` asks for, before the dialog's navigation does; made a tab
  // stop, the keyboard gives it the focus too. OnKeyDown says whether it used the key.
  void SetTabStop(bool tabStop) noexcept { SetStyleBits(WS_TABSTOP, tabStop); }
  std::function<bool(WORD key)> OnKeyDown;
  std::function<bool(WORD key)> OnWantsKey;
  // The focus came or went: a panel that shows it repaints.
  TNotifyEvent OnFocusChange;
  bool Focused() const noexcept { return Handle() && GetFocus() == Handle(); }

  bool RenderThemeBackground() const noexcept { return FRenderThemeBackground; }
  // Only a panel placed on a styled form shows that form's colour under its content.
  void SetRenderThemeBackground(bool render) noexcept;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  // Draws the bevels and the border and returns the rectangle inside them.
  RECT PaintFrame();

 private:
  void MouseMove(LPARAM point);
  LRESULT DialogCode(const MSG* message) const;

  bool FRenderThemeBackground = false;
  bool FTrackingLeave = false;
};

class TDoubleBufferedPanel : public TPanelFrame {
 public:
  explicit TDoubleBufferedPanel(TComponent* owner);

  TDIBitmap& Buffer() noexcept { return *FBuffer; }
  // Where the owner draws; null until the panel first gets its size.
  TCanvas* BufferCanvas() const noexcept { return FBufferCanvas; }
  // How much narrower and lower the buffer is than the panel.
  int Inset() const noexcept { return FInset; }
  // Draws on the screen over the buffer's copy, on the panel's canvas, while the buffer
  // keeps what the owner drew: a mark that follows the mouse leaves the drawing intact.
  TNotifyEvent OnPaintOver;

 protected:
  void Paint() override;
  void Resize() override;

 private:
  std::unique_ptr<TDIBitmap> FBuffer = std::make_unique<TDIBitmap>();
  TCanvas* FBufferCanvas = nullptr;
  int FInset = 0;
};
