#include "image/PluginLinearBitmap.h"

#include <climits>

#include "resources/Texts.h"

namespace {

// The host's integer codes are bytes per pixel.
TPixelFormat BitmapFormatOf(int32_t hostFormat) {
  switch (hostFormat) {
    case hf8Bit: return TPixelFormat::Indexed8;
    case hf24Bit: return TPixelFormat::Bgr24;
    case hf32Bit: return TPixelFormat::Bgrx32;
    default: throw ELinearBitmap(S_UNSUPPORTED_PIXEL_FORMAT);
  }
}

// Rows shorter than their pixels, or a block beyond the 32-bit sizes, would make pixel
// access or the saved copy reach outside the host's memory.
void CheckRowLayout(const THostImage& image, int pixelSize) {
  const int64_t pixelBytes = int64_t{image.Width} * pixelSize;
  const int64_t blockBytes = int64_t{image.BytesPerLine} * image.Height;
  if (image.BytesPerLine < pixelBytes || blockBytes > INT_MAX)
    throw ELinearBitmap(S_INVALID_BITMAP_SIZE);
}

}  // namespace

TPluginLinearBitmap::TPluginLinearBitmap(const THostImage& image) { Attach(image); }

void TPluginLinearBitmap::Dispose() {
  FHostPalette = nullptr;
  TLinearBitmap::Dispose();
}

void TPluginLinearBitmap::Attach(const THostImage& image) {
  Dispose();
  if (image.Width < 1 || image.Height < 1 || !image.Pixels) throw ELinearBitmap(S_INVALID_BITMAP_SIZE);
  const TPixelFormat format = BitmapFormatOf(image.PixelFormat);
  const int pixelSize = PixelSizeOf(format);
  CheckRowLayout(image, pixelSize);

  FHostPalette = static_cast<const uint8_t*>(image.Palette);
  if (format == TPixelFormat::Indexed8) {
    if (image.Palette) {
      FPalette = static_cast<uint8_t*>(image.Palette);
    } else {
      FOwnedPalette = std::make_unique<TPaletteTable>(GrayPalette);
      FPalette = FOwnedPalette->data();
    }
  }
  FPixelFormat = format;
  FPixelSize = pixelSize;
  FMap = static_cast<uint8_t*>(image.Pixels);
  FWidth = image.Width;
  FHeight = image.Height;
  FBytesPerLine = image.BytesPerLine;
  FSize = image.BytesPerLine * image.Height;
  FPresent = true;
}
