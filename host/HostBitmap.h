#pragma once
// An image the host owns: the pixel rows and the palette that plug-ins borrow through a
// THostImage record. Rows are padded to 4 bytes, as device-independent bitmaps need them,
// so the view draws straight from the memory a plug-in writes in.

#include <cstdint>
#include <vector>

#include "errors/Exceptions.h"
#include "hostabi/HostInterface.h"

// A file that is not an image this host reads, a damaged one, or an image too large for it.
OSTRAVINE_ERROR_CLASS(EInvalidImage, Exception);

constexpr int32_t PaletteBytes = 3 * 256;

class THostBitmap {
 public:
  THostBitmap() = default;
  // Zero-filled; the format is hf8Bit or hf24Bit.
  THostBitmap(int32_t width, int32_t height, THostPixelFormat format);

  int32_t Width() const noexcept { return FWidth; }
  int32_t Height() const noexcept { return FHeight; }
  int32_t BytesPerLine() const noexcept { return FBytesPerLine; }
  THostPixelFormat PixelFormat() const noexcept { return FFormat; }
  bool Empty() const noexcept { return FPixels.empty(); }

  uint8_t* Row(int32_t y) noexcept;
  const uint8_t* Row(int32_t y) const noexcept;

  // 256 entries of (blue, green, red) for an 8-bit image; empty means gray.
  const std::vector<uint8_t>& Palette() const noexcept { return FPalette; }
  void SetPalette(std::vector<uint8_t> palette);

  // The record a plug-in gets; its pointers stay valid while this bitmap lives, moves included.
  THostImage Record() noexcept;

 private:
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  int32_t FBytesPerLine = 0;
  THostPixelFormat FFormat = hf24Bit;
  std::vector<uint8_t> FPixels;
  std::vector<uint8_t> FPalette;
};
