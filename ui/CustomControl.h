#pragma once
// A control of the system's own window class that paints itself: a canvas on the paint
// device context and a virtual paint method.

#include "ui/Canvas.h"
#include "ui/Controls.h"

class TCustomControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  // Valid while Paint runs.
  TCanvas& Canvas() noexcept { return FCanvas; }

 protected:
  TCreateParams CreateParams() const override { return {ControlClassName(), 0, 0}; }
  virtual void Paint() {}
  void WndProc(TMessage& message) override;

 private:
  void PaintWindow();

  TCanvas FCanvas;
};
