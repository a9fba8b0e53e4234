#include "host/HostBitmap.h"

#include <cassert>
#include <limits>
#include <new>

#include "errors/Exceptions.h"
#include "host/HostTexts.h"
#include "resources/Texts.h"

namespace {

// Rows of 4-byte multiples; the whole block must be addressable with int32 offsets, as the
// record's BytesPerLine and a plug-in's row arithmetic are.
int64_t PaddedRowBytes(int32_t width, int32_t bytesPerPixel) {
  return (int64_t{width} * bytesPerPixel + 3) / 4 * 4;
}

}  // namespace

THostBitmap::THostBitmap(int32_t width, int32_t height, THostPixelFormat format) : FFormat(format) {
  assert((format == hf8Bit || format == hf24Bit) && "the host keeps 8-bit and 24-bit images");
  if (width < 1 || height < 1) throw Exception(S_INVALID_BITMAP_SIZE);
  const int64_t rowBytes = PaddedRowBytes(width, format);
  if (rowBytes > std::numeric_limits<int32_t>::max() / height) throw EInvalidImage(S_HOST_IMAGE_TOO_LARGE);
  const int64_t total = rowBytes * height;
  try {
    FPixels.assign(static_cast<size_t>(total), 0);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
  FWidth = width;
  FHeight = height;
  FBytesPerLine = static_cast<int32_t>(rowBytes);
}

uint8_t* THostBitmap::Row(int32_t y) noexcept {
  assert(y >= 0 && y < FHeight && "row out of range");
  return FPixels.data() + static_cast<size_t>(y) * static_cast<size_t>(FBytesPerLine);
}

const uint8_t* THostBitmap::Row(int32_t y) const noexcept {
  return const_cast<THostBitmap*>(this)->Row(y);
}

void THostBitmap::SetPalette(std::vector<uint8_t> palette) {
  assert((palette.empty() || palette.size() == PaletteBytes) && "a palette has 256 entries");
  FPalette = std::move(palette);
}

THostImage THostBitmap::Record() noexcept {
  return THostImage{FWidth, FHeight, FBytesPerLine, FFormat, FPixels.data(),
                    FFormat == hf8Bit && !FPalette.empty() ? FPalette.data() : nullptr};
}
