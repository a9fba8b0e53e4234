#pragma once
// Custom-drawn panels. TPanelFrame draws its bevels and border and hands the rest of the
// painting to its owner through OnPaint; it never erases its background. TDoubleBufferedPanel
// adds a back buffer the size of its interior: the owner draws into the buffer whenever it
// likes and invalidates the panel, whose paint is one block copy of the buffer.

#include <memory>

#include "ui/Controls.h"

class TCanvas;
class TDIBitmap;

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TPanelFrame : public TWinControl {
 public:
  explicit TPanelFrame(TComponent* owner) : TWinControl(owner) {}

  TBevelCut BevelInner = bvNone;
  TBevelCut BevelOuter = bvNone;
  int BevelWidth = 1;
  int BorderWidth = 0;
  // Stays false unless the panel sits on a styled form; checked when set, not when painting.
  bool RenderThemeBackground() const noexcept { return FRenderThemeBackground; }
  void SetRenderThemeBackground(bool render) noexcept;
  // The owner's painting, on the panel's paint canvas.
  std::function<void(TComponent* sender, TCanvas& canvas)> OnPaint;

 protected:
  TCreateParams CreateParams() const override;
  void WndProc(TMessage& message) override;
  // Draws the bevels and the border and returns the interior that is left.
  RECT PaintFrame(TCanvas& canvas) const;
  virtual void Paint(TCanvas& canvas);

 private:
  void PaintMessage();
  bool FRenderThemeBackground = false;
};

class TDoubleBufferedPanel : public TPanelFrame {
 public:
  explicit TDoubleBufferedPanel(TComponent* owner);
  ~TDoubleBufferedPanel() override;

  // Where the owner draws; it has the panel's interior size from the first resize on.
  TCanvas& BufferCanvas() const noexcept;
  const TDIBitmap& Buffer() const noexcept { return *FBuffer; }
  // How many pixels the buffer is narrower and lower than the panel.
  int Inset() const noexcept { return FInset; }

 protected:
  void Created() override;
  void Resize() override;
  void Paint(TCanvas& canvas) override;

 private:
  void SizeBuffer();
  std::unique_ptr<TDIBitmap> FBuffer;
  int FInset = 0;
};
