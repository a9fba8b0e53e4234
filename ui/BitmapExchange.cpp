#include "ui/BitmapExchange.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "image/HostBytes.h"
#include "image/LinarBitmap.h"
#include "resources/Texts.h"
#include "ui/DIBitmap.h"

namespace {

// A DIB's rows from the addresses of rows 0 and 1 alone: the step between them holds for
// every row, whether the rows run downwards in memory (bottom-up) or upwards.
class TRowWalk {
 public:
  explicit TRowWalk(const TDIBitmap& bitmap)
      : FRow0(bitmap.ScanLine(0)), FStep(bitmap.Height() > 1 ? bitmap.ScanLine(1) - FRow0 : 0) {}
  uint8_t* Row(int y) const noexcept { return FRow0 + y * FStep; }

 private:
  uint8_t* FRow0;
  ptrdiff_t FStep;
};

// A logical palette as CreatePalette reads it: version, count, then the entries.
struct TLogPalette256 {
  WORD Version;
  WORD Count;
  PALETTEENTRY Entries[PaletteEntries];
};
static_assert(offsetof(TLogPalette256, Entries) == offsetof(LOGPALETTE, palPalEntry));

bool CopiesDirectly(TPixelFormat format) {
  return format == TPixelFormat::Indexed8 || format == TPixelFormat::Bgr24 ||
         format == TPixelFormat::Bgrx32;
}

// Pixels of other depths are drawn onto a 24-bit bitmap: the window system converts them.
void DrawAsBgr24(const TDIBitmap& source, TDIBitmap& target) {
  target.SetPixelFormat(TPixelFormat::Bgr24);
  target.SetSize(source.Width(), source.Height());
  target.Canvas().Draw(0, 0, source.Canvas(), RECT{0, 0, source.Width(), source.Height()});
}

// A target of the same shape keeps its storage, whose rows may be wider than the DIB's: only
// the pixel bytes of each row travel.
void CopyDirectly(const TDIBitmap& source, TLinearBitmap& target) {
  target.New(source.Width(), source.Height(), source.PixelFormat());
  const TRowWalk rows(source);
  const size_t pixelBytes = static_cast<size_t>(target.Width()) * target.PixelSize();
  for (int y = 0; y < target.Height(); ++y) CopyHostBytes(target.Row(y), rows.Row(y), pixelBytes);
  if (source.PixelFormat() == TPixelFormat::Indexed8)
    ReadPaletteHandle(source.Palette(), PaletteEntries, target.Palette());
}

void ExpandIndexed(const TLinearBitmap& source, const TRowWalk& rows) {
  const uint8_t* palette = source.Palette();
  for (int y = 0; y < source.Height(); ++y) {
    const uint8_t* index = source.Row(y);
    uint8_t* bgr = rows.Row(y);
    for (int x = 0; x < source.Width(); ++x, bgr += 3) {
      const uint8_t* entry = palette + 3 * index[x];
      bgr[0] = entry[0];
      bgr[1] = entry[1];
      bgr[2] = entry[2];
    }
  }
}

// A 16-bit sample is stored low byte first; its high byte is the 8-bit gray level.
void HighBytes(const TLinearBitmap& source, const TRowWalk& rows) {
  for (int y = 0; y < source.Height(); ++y) {
    const uint8_t* sample = source.Row(y) + 1;
    uint8_t* gray = rows.Row(y);
    for (int x = 0; x < source.Width(); ++x, sample += 2) gray[x] = *sample;
  }
}

}  // namespace

TPaletteHandle MakePaletteHandle(const uint8_t* table, int count) {
  assert(count >= 1 && count <= PaletteEntries && "palette entry count out of range");
  TLogPalette256 logical{0x300, static_cast<WORD>(count), {}};
  for (int i = 0; i < count; ++i) {
    const uint8_t* bgr = table + 3 * i;
    logical.Entries[i] = PALETTEENTRY{bgr[2], bgr[1], bgr[0], PC_RESERVED};
  }
  TPaletteHandle palette(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical)));
  if (!palette) throw EOutOfMemory(S_OUT_OF_MEMORY);
  return palette;
}

void ReadPaletteHandle(HPALETTE palette, int count, uint8_t* table) noexcept {
  if (!palette) {
    std::memcpy(table, GrayPalette.data(), GrayPalette.size());
    return;
  }
  PALETTEENTRY entries[PaletteEntries];
  const UINT asked = static_cast<UINT>(std::clamp(count, 0, PaletteEntries));
  const UINT read = GetPaletteEntries(palette, 0, asked, entries);
  for (UINT i = 0; i < read; ++i) {
    table[3 * i] = entries[i].peBlue;
    table[3 * i + 1] = entries[i].peGreen;
    table[3 * i + 2] = entries[i].peRed;
  }
  std::fill(table + 3 * read, table + 3 * PaletteEntries, uint8_t{0});
}

void CopyBitmap(const TDIBitmap& source, TLinearBitmap& target) {
  if (source.Empty()) {
    target.Dispose();
  } else if (CopiesDirectly(source.PixelFormat())) {
    CopyDirectly(source, target);
  } else {
    TDIBitmap converted;
    DrawAsBgr24(source, converted);
    CopyDirectly(converted, target);
  }
}

// A 16-bit gray bitmap becomes an 8-bit one with the gray palette: the window system
// shows no 16-bit gray.
void CopyBitmap(const TLinearBitmap& source, TDIBitmap& target) {
  if (!source.Present()) return;
  const TPixelFormat format = source.PixelFormat();
  const bool gray16 = format == TPixelFormat::Gray16;
  target.SetPixelFormat(gray16 ? TPixelFormat::Indexed8 : format);
  if (format == TPixelFormat::Indexed8)
    target.SetPalette(MakePaletteHandle(source.Palette(), PaletteEntries));
  else if (gray16)
    target.SetPalette(MakePaletteHandle(GrayPalette.data(), PaletteEntries));
  target.SetSize(source.Width(), source.Height());
  CopyPixelsTo(source, target);
}

// Only the pixel bytes of each row travel: a host-backed bitmap's rows may be padded
// further than the DIB's, and copying the padding would run past the DIB's last row.
void CopyPixelsTo(const TLinearBitmap& source, TDIBitmap& bitmap) {
  const int width = source.Width();
  const int height = source.Height();
  if (!source.Present() || height < 1) return;
  if (bitmap.Width() != width || bitmap.Height() != height) throw ELinearBitmap(S_INVALID_BITMAP_SIZE);
  const TRowWalk rows(bitmap);
  const TPixelFormat from = source.PixelFormat();
  const TPixelFormat to = bitmap.PixelFormat();
  if (to == from) {
    const size_t pixelBytes = static_cast<size_t>(width) * source.PixelSize();
    for (int y = 0; y < height; ++y) CopyHostBytes(rows.Row(y), source.Row(y), pixelBytes);
  } else if (from == TPixelFormat::Indexed8 && to == TPixelFormat::Bgr24) {
    ExpandIndexed(source, rows);
  } else if (from == TPixelFormat::Gray16 && to == TPixelFormat::Indexed8) {
    HighBytes(source, rows);
  } else {
    throw ELinearBitmap(S_UNSUPPORTED_PIXEL_FORMAT);
  }
}
