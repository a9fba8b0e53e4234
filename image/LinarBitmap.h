#pragma once
// TLinearBitmap: the system's in-memory raster, one block of pixel rows in one of four
// pixel formats, with a 256-entry palette for the indexed format.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "errors/Exceptions.h"
#include "errors/AssignObject.h"

OSTRAVINE_ERROR_CLASS(ELinearBitmap, Exception);

// Numbered as the window system's device-independent bitmap numbers its pixel formats,
// so a code passes to and from such a bitmap unchanged.
enum class TPixelFormat : uint8_t { Indexed8 = 3, Gray16 = 5, Bgr24 = 6, Bgrx32 = 7, NoFormat = 8 };

// Red in bits 0-7, green in 8-15, blue in 16-23: the window system's colour layout.
using TColor = uint32_t;

// 256 entries of (blue, green, red).
constexpr int PaletteEntries = 256;
using TPaletteTable = std::array<uint8_t, 3 * PaletteEntries>;

constexpr TColor PackColor(uint32_t red, uint32_t green, uint32_t blue) {
  return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}
constexpr TColor GrayLevel(uint8_t level) { return PackColor(level, level, level); }
constexpr uint8_t RedOf(TColor color) { return color & 0xFF; }
constexpr uint8_t GreenOf(TColor color) { return (color >> 8) & 0xFF; }
constexpr uint8_t BlueOf(TColor color) { return (color >> 16) & 0xFF; }

// Entry i = (i, i, i); fixed before any bitmap exists.
extern const TPaletteTable GrayPalette;

// The lowest index among the entries nearest to the colour (squared RGB distance).
uint8_t NearestPaletteIndex(TColor color, const uint8_t* palette);

// Bytes per pixel of a format; 0 for codes the bitmap does not hold.
int PixelSizeOf(TPixelFormat format);

class TLinearBitmap : public TAssignObject {
 public:
  TLinearBitmap() = default;
  ~TLinearBitmap() override;
  TLinearBitmap(const TLinearBitmap&) = delete;
  TLinearBitmap& operator=(const TLinearBitmap&) = delete;

  const char* ClassName() const noexcept override { return "TLinearBitmap"; }
  void Assign(const TObject& source) override;
  virtual uint8_t* RowAddress(int y) const;
  virtual void Dispose();
  virtual void PackLines();

  // (Re)creates the storage; lineLength 0 packs the rows. Keeps storage and pixels when
  // the bitmap already has this size and format.
  void New(int width, int height, TPixelFormat format, int lineLength = 0);

  // Reads clamp the position to the nearest edge pixel; writes outside the bitmap do nothing.
  TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);
  uint32_t GetIntensity(int x, int y) const;
  void SetIntensity(int x, int y, uint32_t value);

  int Width() const noexcept { return FWidth; }
  int Height() const noexcept { return FHeight; }
  TPixelFormat PixelFormat() const noexcept { return FPixelFormat; }
  int BytesPerLine() const noexcept { return FBytesPerLine; }
  int PixelSize() const noexcept { return FPixelSize; }
  // Bytes of pixel storage in use: BytesPerLine * Height.
  int Size() const noexcept { return FSize; }
  bool Present() const noexcept { return FPresent; }
  uint8_t* Map() const noexcept { return FMap; }
  uint8_t* Palette() const noexcept { return FPalette; }
  // The non-virtual twin of RowAddress, for loops.
  uint8_t* Row(int y) const noexcept { return FMap + static_cast<ptrdiff_t>(y) * FBytesPerLine; }

 protected:
  uint8_t* PixelAt(int x, int y) const noexcept { return Row(y) + static_cast<ptrdiff_t>(x) * FPixelSize; }
  bool Contains(int x, int y) const noexcept { return x >= 0 && x < FWidth && y >= 0 && y < FHeight; }
  void UseOwnedPalette();
  void CopyPixelsFrom(const TLinearBitmap& source);

  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = TPixelFormat::NoFormat;
  int FBytesPerLine = 0;
  int FPixelSize = 0;
  int FSize = 0;
  bool FPresent = false;
  // FMap and FPalette point either into the owned blocks below or into memory that is
  // borrowed (a host-backed bitmap). Only the owned blocks are ever released.
  uint8_t* FMap = nullptr;
  uint8_t* FPalette = nullptr;
  std::unique_ptr<uint8_t[]> FOwnedMap;
  std::unique_ptr<TPaletteTable> FOwnedPalette;
};
