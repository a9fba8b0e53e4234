#include "image/LinarBitmap.h"

#include <algorithm>
#include <climits>

#include "image/HostBytes.h"
#include "resources/Texts.h"

namespace {

constexpr TPaletteTable MakeGrayPalette() {
  TPaletteTable table{};
  for (int i = 0; i < PaletteEntries; ++i)
    table[3 * i] = table[3 * i + 1] = table[3 * i + 2] = static_cast<uint8_t>(i);
  return table;
}

[[noreturn]] void RaiseUnsupportedFormat() { throw Exception(S_UNSUPPORTED_PIXEL_FORMAT); }

TColor ColorOfBgr(const uint8_t* bgr) { return PackColor(bgr[2], bgr[1], bgr[0]); }

}  // namespace

const TPaletteTable GrayPalette = MakeGrayPalette();

uint8_t NearestPaletteIndex(TColor color, const uint8_t* palette) {
  const int red = RedOf(color), green = GreenOf(color), blue = BlueOf(color);
  int best = INT_MAX;
  uint8_t bestIndex = 0;
  for (int i = 0; i < PaletteEntries; ++i) {
    const uint8_t* entry = palette + 3 * i;
    const int dr = entry[2] - red, dg = entry[1] - green, db = entry[0] - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best) {
      best = distance;
      bestIndex = static_cast<uint8_t>(i);
      if (distance == 0) break;
    }
  }
  return bestIndex;
}

int PixelSizeOf(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::Indexed8: return 1;
    case TPixelFormat::Gray16: return 2;
    case TPixelFormat::Bgr24: return 3;
    case TPixelFormat::Bgrx32: return 4;
    default: return 0;
  }
}

TLinearBitmap::~TLinearBitmap() {
  if (FPresent) TLinearBitmap::Dispose();
}

uint8_t* TLinearBitmap::RowAddress(int y) const { return Row(y); }

void TLinearBitmap::Dispose() {
  FOwnedMap.reset();
  FOwnedPalette.reset();
  FMap = nullptr;
  FPalette = nullptr;
  FPresent = false;
  FWidth = FHeight = FSize = 0;
  FPixelFormat = TPixelFormat::NoFormat;
  FPixelSize = 0;
}

// An indexed bitmap always has a palette. One borrowed from elsewhere is copied, so that
// storage created by this bitmap never writes into a palette it does not own.
void TLinearBitmap::UseOwnedPalette() {
  if (FOwnedPalette) return;
  auto table = std::make_unique<TPaletteTable>();
  if (FPalette) CopyHostBytes(table->data(), FPalette, table->size());
  FOwnedPalette = std::move(table);
  FPalette = FOwnedPalette->data();
}

void TLinearBitmap::New(int width, int height, TPixelFormat format, int lineLength) {
  if (FPresent && width == FWidth && height == FHeight && format == FPixelFormat) return;
  const int pixelSize = PixelSizeOf(format);
  if (pixelSize == 0) throw ELinearBitmap(S_UNSUPPORTED_PIXEL_FORMAT);
  if (width < 1 || height < 1) throw ELinearBitmap(S_INVALID_BITMAP_SIZE);

  FOwnedMap.reset();
  FMap = nullptr;
  try {
    if (format == TPixelFormat::Indexed8) {
      UseOwnedPalette();
    } else {
      FOwnedPalette.reset();
      FPalette = nullptr;
    }
    const int64_t packedLine = int64_t{width} * pixelSize;
    if (packedLine * height > INT_MAX) throw ELinearBitmap(S_OUT_OF_MEMORY);
    int64_t bytesPerLine = packedLine;
    if (lineLength != 0) {
      if (lineLength < packedLine) throw ELinearBitmap(S_INVALID_BITMAP_SIZE);
      bytesPerLine = lineLength;
    }
    // Padded rows can make the block larger than the pixels alone; one spare byte follows,
    // which the signed 32-bit size does not count.
    const int64_t size = bytesPerLine * height;
    if (size > INT_MAX) throw ELinearBitmap(S_OUT_OF_MEMORY);
    FOwnedMap = AllocateBytes(static_cast<size_t>(size) + 1);
    FMap = FOwnedMap.get();
    FWidth = width;
    FHeight = height;
    FPixelSize = pixelSize;
    FBytesPerLine = static_cast<int>(bytesPerLine);
    FPixelFormat = format;
    FSize = static_cast<int>(size);
    FPresent = true;
  } catch (...) {
    Dispose();
    throw;
  }
}

void TLinearBitmap::PackLines() {
  const int packedLine = FWidth * FPixelSize;
  if (!FPresent || FBytesPerLine == packedLine) return;
  auto packed = AllocateBytes(static_cast<size_t>(packedLine) * FHeight + 1);
  for (int y = 0; y < FHeight; ++y)
    CopyHostBytes(packed.get() + static_cast<size_t>(y) * packedLine, Row(y), packedLine);
  FOwnedMap = std::move(packed);
  FMap = FOwnedMap.get();
  FBytesPerLine = packedLine;
  FSize = packedLine * FHeight;
}

TColor TLinearBitmap::GetPixel(int x, int y) const {
  if (FPixelFormat != TPixelFormat::Indexed8 && FPixelFormat != TPixelFormat::Bgr24 &&
      FPixelFormat != TPixelFormat::Bgrx32)
    RaiseUnsupportedFormat();
  const uint8_t* pixel = PixelAt(std::clamp(x, 0, FWidth - 1), std::clamp(y, 0, FHeight - 1));
  if (FPixelFormat == TPixelFormat::Indexed8) return ColorOfBgr(FPalette + 3 * pixel[0]);
  return ColorOfBgr(pixel);
}

void TLinearBitmap::SetPixel(int x, int y, TColor color) {
  if (!Contains(x, y)) return;
  uint8_t* pixel = PixelAt(x, y);
  switch (FPixelFormat) {
    case TPixelFormat::Indexed8:
      pixel[0] = NearestPaletteIndex(color, FPalette);
      break;
    case TPixelFormat::Bgr24:
    case TPixelFormat::Bgrx32:
      pixel[2] = RedOf(color);
      pixel[1] = GreenOf(color);
      pixel[0] = BlueOf(color);
      break;
    default:
      RaiseUnsupportedFormat();
  }
}

uint32_t TLinearBitmap::GetIntensity(int x, int y) const {
  if (FPixelFormat != TPixelFormat::Indexed8 && FPixelFormat != TPixelFormat::Gray16 &&
      FPixelFormat != TPixelFormat::Bgr24)
    RaiseUnsupportedFormat();
  const uint8_t* pixel = PixelAt(std::clamp(x, 0, FWidth - 1), std::clamp(y, 0, FHeight - 1));
  switch (FPixelFormat) {
    case TPixelFormat::Indexed8: return pixel[0];
    case TPixelFormat::Gray16: return pixel[0] | uint32_t{pixel[1]} << 8;
    default: return (2u * pixel[2] + 3u * pixel[1] + pixel[0] + 3) / 6;
  }
}

void TLinearBitmap::SetIntensity(int x, int y, uint32_t value) {
  if (!Contains(x, y)) return;
  uint8_t* pixel = PixelAt(x, y);
  switch (FPixelFormat) {
    case TPixelFormat::Indexed8:
      pixel[0] = static_cast<uint8_t>(value);
      break;
    case TPixelFormat::Gray16:
      pixel[0] = static_cast<uint8_t>(value);
      pixel[1] = static_cast<uint8_t>(value >> 8);
      break;
    case TPixelFormat::Bgr24:
      // The gray palette's entry for the value: three equal bytes.
      pixel[0] = pixel[1] = pixel[2] = static_cast<uint8_t>(value);
      break;
    default:
      RaiseUnsupportedFormat();
  }
}

void TLinearBitmap::CopyPixelsFrom(const TLinearBitmap& source) {
  if (FBytesPerLine == source.FBytesPerLine) {
    CopyHostBytes(FMap, source.FMap, FSize);
  } else {
    // Only the pixel bytes of each row: either side's padding may be the shorter one, and
    // the source's last row ends at its block's end.
    const size_t pixelBytes = static_cast<size_t>(FWidth) * FPixelSize;
    for (int y = 0; y < FHeight; ++y) CopyHostBytes(Row(y), source.Row(y), pixelBytes);
  }
  // The host's palette is never written: a borrowed one gives way to a copy of our own.
  if (FPixelFormat == TPixelFormat::Indexed8) {
    UseOwnedPalette();
    CopyHostBytes(FPalette, source.FPalette, sizeof(TPaletteTable));
  }
}

void TLinearBitmap::Assign(const TObject& source) {
  if (const auto* bitmap = dynamic_cast<const TLinearBitmap*>(&source)) {
    if (bitmap == this) return;
    if (!bitmap->FPresent) {
      Dispose();
      return;
    }
    New(bitmap->FWidth, bitmap->FHeight, bitmap->FPixelFormat);
    CopyPixelsFrom(*bitmap);
    return;
  }
  TAssignObject::Assign(source);
}
