#include "ui/DIBitmap.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstring>

#include "resources/Texts.h"
#include "ui/BitmapExchange.h"

namespace {

struct TBitmapInfo256 {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[PaletteEntries];
};

// The colours an 8-bit section shows for a palette object (gray without one).
void ColorTableOf(HPALETTE palette, RGBQUAD* colors) {
  TPaletteTable table;
  ReadPaletteHandle(palette, PaletteEntries, table.data());
  for (int i = 0; i < PaletteEntries; ++i)
    colors[i] = RGBQUAD{table[3 * i], table[3 * i + 1], table[3 * i + 2], 0};
}

// Rows of a DIB are padded to whole 32-bit words.
int64_t StrideOf(int width, TPixelFormat format) {
  return (int64_t{width} * 8 * PixelSizeOf(format) + 31) / 32 * 4;
}

TBitmapHandle CreateSection(HDC dc, TPixelFormat format, int width, int height,
                            HPALETTE palette, uint8_t*& bits) {
  TBitmapInfo256 info{};
  info.Header.biSize = sizeof info.Header;
  info.Header.biWidth = width;
  info.Header.biHeight = height;  // positive: bottom-up
  info.Header.biPlanes = 1;
  info.Header.biBitCount = static_cast<WORD>(8 * PixelSizeOf(format));
  info.Header.biCompression = BI_RGB;
  if (format == TPixelFormat::Indexed8) {
    info.Header.biClrUsed = PaletteEntries;
    ColorTableOf(palette, info.Colors);
  }
  void* pixels = nullptr;
  TBitmapHandle section(CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!section) throw EOutOfMemory(S_OUT_OF_MEMORY);
  bits = static_cast<uint8_t*>(pixels);
  return section;
}

}  // namespace

TDIBitmap::TDIBitmap() : FDc(CreateCompatibleDC(nullptr)) {
  if (!FDc) throw EOutOfMemory(S_OUT_OF_MEMORY);
  FCanvas.SetHandle(FDc.Get());
}

TDIBitmap::~TDIBitmap() = default;

void TDIBitmap::Assign(const TObject& source) {
  if (const auto* bitmap = dynamic_cast<const TLinearBitmap*>(&source))
    CopyBitmap(*bitmap, *this);
  else
    TAssignObject::Assign(source);
}

void TDIBitmap::AssignTo(TObject& target) const {
  if (auto* bitmap = dynamic_cast<TLinearBitmap*>(&target))
    CopyBitmap(*this, *bitmap);
  else
    TAssignObject::AssignTo(target);
}

void TDIBitmap::SetPixelFormat(TPixelFormat format) {
  if (PixelSizeOf(format) == 0) throw ELinearBitmap(S_INVALID_PIXEL_FORMAT);
  if (format != FPixelFormat) Recreate(format, FWidth, FHeight);
}

void TDIBitmap::SetSize(int width, int height) {
  if (width != FWidth || height != FHeight) Recreate(FPixelFormat, width, height, true);
}

// The new section goes into the DC before the old one is deleted; an empty bitmap puts
// the DC's own bitmap back.
void TDIBitmap::Recreate(TPixelFormat format, int width, int height, bool keepPixels) {
  if (width < 0 || height < 0) throw ELinearBitmap(S_INVALID_BITMAP_SIZE);
  const int64_t stride = StrideOf(width, format);
  if (stride * height > INT_MAX) throw EOutOfMemory(S_OUT_OF_MEMORY);
  uint8_t* bits = nullptr;
  TBitmapHandle section;
  if (width > 0 && height > 0) {
    section = CreateSection(FDc.Get(), format, width, height, FPalette.Get(), bits);
    if (keepPixels && FBits) CopyOverlap(bits, static_cast<int>(stride), width, height);
    if (FSectionSelection)
      SelectObject(FDc.Get(), section.Get());
    else
      FSectionSelection.emplace(FDc.Get(), section.Get());
  } else {
    FSectionSelection.reset();
  }
  FSection = std::move(section);
  FBits = bits;
  FPixelFormat = format;
  FWidth = width;
  FHeight = height;
  FBytesPerLine = static_cast<int>(stride);
}

// The rows and columns both sizes cover, anchored at the top left corner.
void TDIBitmap::CopyOverlap(uint8_t* bits, int stride, int width, int height) const noexcept {
  GdiFlush();
  const size_t bytes = static_cast<size_t>(std::min(width, FWidth)) * PixelSizeOf(FPixelFormat);
  for (int y = 0; y < std::min(height, FHeight); ++y)
    std::memcpy(bits + static_cast<ptrdiff_t>(height - 1 - y) * stride, ScanLine(y), bytes);
}

void TDIBitmap::SetPalette(TPaletteHandle palette) {
  FPalette = std::move(palette);
  if (FSection && FPixelFormat == TPixelFormat::Indexed8) ApplyPaletteColors();
}

void TDIBitmap::ApplyPaletteColors() noexcept {
  RGBQUAD colors[PaletteEntries];
  ColorTableOf(FPalette.Get(), colors);
  SetDIBColorTable(FDc.Get(), 0, PaletteEntries, colors);
}

// GDI may still hold drawing calls in its batch; they must land before the caller reads
// or writes the bits themselves.
uint8_t* TDIBitmap::ScanLine(int y) const noexcept {
  assert(FBits && y >= 0 && y < FHeight && "row out of range");
  GdiFlush();
  return FBits + static_cast<ptrdiff_t>(FHeight - 1 - y) * FBytesPerLine;
}
