#pragma once
// TDIBitmap: the window system's device-independent bitmap, a DIB section selected into a
// memory DC of its own, with a canvas on that DC. Its pixel-format codes are those of
// TLinearBitmap (3, 5, 6, 7: 8, 16, 24 and 32 bits per pixel), so that the two exchange
// pixels directly. Rows are stored bottom-up, as the window system keeps them by default:
// row y + 1 lies below row y in memory.

#include <cstdint>
#include <optional>

#include "errors/AssignObject.h"
#include "image/LinarBitmap.h"
#include "ui/Canvas.h"
#include "platform/Handles.h"

class TDIBitmap : public TAssignObject {
 public:
  // An empty (0 x 0) 24-bit bitmap.
  TDIBitmap();
  ~TDIBitmap() override;
  TDIBitmap(const TDIBitmap&) = delete;
  TDIBitmap& operator=(const TDIBitmap&) = delete;

  const char* ClassName() const noexcept override { return "TDIBitmap"; }
  // A linear bitmap is exchanged in both directions (BitmapExchange); other kinds go the
  // protocol's way.
  void Assign(const TObject& source) override;
  void AssignTo(TObject& target) const override;

  TPixelFormat PixelFormat() const noexcept { return FPixelFormat; }
  int Width() const noexcept { return FWidth; }
  int Height() const noexcept { return FHeight; }
  bool Empty() const noexcept { return !FSection; }
  // A change of format or size makes new storage. A new size keeps the pixels that both
  // sizes cover, from the top left corner, and the rest starts black; a new format starts
  // all black. Setting the current size again costs nothing.
  void SetPixelFormat(TPixelFormat format);
  void SetWidth(int width) { SetSize(width, FHeight); }
  void SetHeight(int height) { SetSize(FWidth, height); }
  void SetSize(int width, int height);

  // The palette object, null when there is none; an 8-bit bitmap without one shows the
  // gray palette. Setting it takes ownership and gives 8-bit pixels its colours.
  HPALETTE Palette() const noexcept { return FPalette.Get(); }
  void SetPalette(TPaletteHandle palette);

  // Row y from the top; rows step downwards in memory by BytesPerLine.
  uint8_t* ScanLine(int y) const noexcept;
  int BytesPerLine() const noexcept { return FBytesPerLine; }

  // The canvas on the bitmap's memory DC; also a source for block copies from a const
  // bitmap, hence reachable through const.
  TCanvas& Canvas() const noexcept { return FCanvas; }

 private:
  void Recreate(TPixelFormat format, int width, int height, bool keepPixels = false);
  void CopyOverlap(uint8_t* bits, int stride, int width, int height) const noexcept;
  void ApplyPaletteColors() noexcept;

  TPixelFormat FPixelFormat = TPixelFormat::Bgr24;
  int FWidth = 0;
  int FHeight = 0;
  int FBytesPerLine = 0;
  uint8_t* FBits = nullptr;
  // Destroyed in reverse order: the canvas lets go of the DC, the DC's own bitmap goes
  // back in, then the section and the DC are deleted.
  TMemoryDc FDc;
  TPaletteHandle FPalette;
  TBitmapHandle FSection;
  std::optional<TSelectObject> FSectionSelection;
  mutable TCanvas FCanvas;
};
