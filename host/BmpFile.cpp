#include "host/BmpFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "host/HostTexts.h"

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;
constexpr uint32_t BiRgb = 0;
constexpr uint32_t BiRle8 = 1;
constexpr uint32_t BiRle4 = 2;
constexpr uint32_t BiBitfields = 3;

uint32_t ReadU32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

void WriteU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
void WriteU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

[[noreturn]] void Damaged() { throw EInvalidImage(S_HOST_DAMAGED_IMAGE); }
[[noreturn]] void Unsupported() { throw EInvalidImage(S_HOST_UNSUPPORTED_IMAGE); }

// What the headers say, checked against the file's size before any pixel is read.
struct TBmpLayout {
  int32_t Width;
  int32_t Height;
  bool TopDown;
  int BitCount;
  uint32_t Compression;
  size_t PaletteOffset;
  uint32_t PaletteEntries;
  size_t PixelOffset;
  size_t SourceStride;
};

// 32-bit files may name their channels; only the plain blue, green, red order is read. The
// masks follow a plain header and lie inside a longer one, at the same place; a header too
// short to hold them all still has them read from the file's next bytes, which must exist.
void CheckBitfields(const uint8_t* data, size_t size) {
  const size_t masks = FileHeaderSize + InfoHeaderSize;
  if (size < masks + 12) Damaged();
  if (ReadU32(data + masks) != 0xFF0000 || ReadU32(data + masks + 4) != 0xFF00 ||
      ReadU32(data + masks + 8) != 0xFF)
    Unsupported();
}

// Compressions other than run lengths are named, so that the user knows what to convert.
[[noreturn]] void UnsupportedCompression(uint32_t compression) {
  const std::string name = compression == 4 ? "JPEG" : compression == 5 ? "PNG" : std::to_string(compression);
  throw EInvalidImage(FormatText(S_HOST_UNSUPPORTED_COMPRESSION, name.c_str()));
}

// Run lengths come with their own depth, and rows from the bottom up only.
void CheckRunLengths(const TBmpLayout& layout) {
  if (layout.BitCount != (layout.Compression == BiRle8 ? 8 : 4) || layout.TopDown) Damaged();
}

void ReadDimensions(const uint8_t* info, TBmpLayout& layout) {
  layout.Width = ReadI32(info + 4);
  const int32_t height = ReadI32(info + 8);
  if (layout.Width < 1 || height == 0 || height == std::numeric_limits<int32_t>::min()) Damaged();
  layout.TopDown = height < 0;
  layout.Height = height < 0 ? -height : height;
  layout.BitCount = ReadU16(info + 14);
  if (layout.BitCount != 4 && layout.BitCount != 8 && layout.BitCount != 24 && layout.BitCount != 32) Unsupported();
}

// Where the palette lies: behind the header, and behind the channel masks that follow a
// plain 40-byte header.
void ReadEncoding(const uint8_t* data, size_t size, size_t headerSize, TBmpLayout& layout) {
  const uint8_t* info = data + FileHeaderSize;
  const uint32_t compression = ReadU32(info + 16);
  layout.Compression = compression;
  if (compression == BiBitfields && layout.BitCount == 32) CheckBitfields(data, size);
  else if (compression == BiRle8 || compression == BiRle4) CheckRunLengths(layout);
  else if (compression != BiRgb) UnsupportedCompression(compression);
  const size_t masksSize = compression == BiBitfields && headerSize == InfoHeaderSize ? 12 : 0;
  layout.PaletteOffset = FileHeaderSize + headerSize + masksSize;
  layout.PaletteEntries = layout.BitCount <= 8 ? ReadU32(info + 32) : 0;
  if (layout.BitCount <= 8 && layout.PaletteEntries == 0) layout.PaletteEntries = 1u << layout.BitCount;
  if (layout.PaletteEntries > 256) Damaged();
}

TBmpLayout ReadLayout(const uint8_t* data, size_t size) {
  if (size < FileHeaderSize + InfoHeaderSize) Damaged();
  const uint32_t headerSize = ReadU32(data + FileHeaderSize);
  if (headerSize < InfoHeaderSize || headerSize > size - FileHeaderSize) Unsupported();
  TBmpLayout layout{};
  ReadDimensions(data + FileHeaderSize, layout);
  ReadEncoding(data, size, headerSize, layout);
  layout.PixelOffset = ReadU32(data + 10);
  return layout;
}

// The rows must lie inside the file; a short file is refused, never read past its end. The
// rows' bytes are compared by a division: a crafted header's product of stride and height
// can overflow even 64 bits.
void CheckPixelsFit(TBmpLayout& layout, size_t size) {
  const uint64_t stride = (uint64_t{static_cast<uint32_t>(layout.Width)} * layout.BitCount + 31) / 32 * 4;
  const uint64_t paletteEnd = uint64_t{layout.PaletteOffset} + 4 * uint64_t{layout.PaletteEntries};
  if (paletteEnd > size || layout.PixelOffset > size) Damaged();
  // Run lengths are read piece by piece, each piece checked against the file's end.
  if (layout.Compression == BiRle8 || layout.Compression == BiRle4) return;
  if (stride > (size - layout.PixelOffset) / static_cast<uint32_t>(layout.Height)) Damaged();
  layout.SourceStride = static_cast<size_t>(stride);
}

std::vector<uint8_t> ReadPalette(const uint8_t* data, const TBmpLayout& layout) {
  std::vector<uint8_t> palette(PaletteBytes, 0);
  const uint8_t* entry = data + layout.PaletteOffset;
  for (uint32_t i = 0; i < layout.PaletteEntries; ++i, entry += 4) std::memcpy(&palette[3 * i], entry, 3);
  return palette;
}

void DropFourthBytes(const uint8_t* source, uint8_t* target, int32_t width) {
  for (const uint8_t* end = source + 4 * static_cast<size_t>(width); source != end; source += 4, target += 3) {
    target[0] = source[0];
    target[1] = source[1];
    target[2] = source[2];
  }
}

// Two 4-bit indices a byte, the high half first.
void SplitNibbles(const uint8_t* source, uint8_t* target, int32_t width) {
  for (int32_t x = 0; x < width; ++x) target[x] = x % 2 ? source[x / 2] & 0x0F : source[x / 2] >> 4;
}

void CopyRows(const uint8_t* data, const TBmpLayout& layout, THostBitmap& bitmap) {
  const size_t rowBytes = static_cast<size_t>(layout.Width) * bitmap.PixelFormat();
  for (int32_t y = 0; y < layout.Height; ++y) {
    const int32_t fileRow = layout.TopDown ? y : layout.Height - 1 - y;
    const uint8_t* source = data + layout.PixelOffset + fileRow * layout.SourceStride;
    if (layout.BitCount == 32) DropFourthBytes(source, bitmap.Row(y), layout.Width);
    else if (layout.BitCount == 4) SplitNibbles(source, bitmap.Row(y), layout.Width);
    else std::memcpy(bitmap.Row(y), source, rowBytes);
  }
}

// Run-length coded pixels: pairs of a count and a value, where a zero count is an escape:
// 0 ends the row, 1 the image, 2 moves by the next two bytes, more is that many literal
// pixels padded to a 16-bit word. With 4 bits a value byte holds two pixels that alternate.
// The file's rows run from the bottom; pixels no code reaches stay index 0, and pixels
// beyond the image's edges are dropped. Codes that run past the file's end are damage.
class TRunLengthReader {
 public:
  TRunLengthReader(const uint8_t* data, size_t size, const TBmpLayout& layout, THostBitmap& bitmap)
      : FData(data), FSize(size), FFourBits(layout.Compression == BiRle4), FBitmap(bitmap) {}

  void Read() {
    while (FRow < FBitmap.Height()) {
      const uint8_t count = Next(), value = Next();
      if (count > 0) {
        for (int i = 0; i < count; ++i) Put(FFourBits ? (i % 2 ? value & 0x0F : value >> 4) : value);
      } else if (value == 0) {
        FColumn = 0;
        ++FRow;
      } else if (value == 1) {
        return;
      } else if (value == 2) {
        FColumn += Next();
        FRow += Next();
      } else {
        Literal(value);
      }
    }
  }

 private:
  uint8_t Next() {
    if (FAt >= FSize) Damaged();
    return FData[FAt++];
  }
  void Put(uint8_t index) {
    if (FColumn < FBitmap.Width() && FRow < FBitmap.Height())
      FBitmap.Row(FBitmap.Height() - 1 - FRow)[FColumn] = index;
    ++FColumn;
  }
  void Literal(int pixels) {
    const int bytes = FFourBits ? (pixels + 1) / 2 : pixels;
    for (int i = 0, byte = 0; i < pixels; ++i) {
      if (!FFourBits || i % 2 == 0) byte = Next();
      Put(FFourBits ? (i % 2 ? byte & 0x0F : byte >> 4) : byte);
    }
    if (bytes % 2) Next();
  }

  const uint8_t* FData;
  size_t FSize;
  size_t FAt = 0;
  bool FFourBits;
  THostBitmap& FBitmap;
  int64_t FColumn = 0;
  int64_t FRow = 0;
};

}  // namespace

bool IsBmpData(const uint8_t* data, size_t size) noexcept {
  return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

THostBitmap DecodeBmp(const uint8_t* data, size_t size) {
  if (!IsBmpData(data, size)) Unsupported();
  TBmpLayout layout = ReadLayout(data, size);
  CheckPixelsFit(layout, size);
  THostBitmap bitmap(layout.Width, layout.Height, layout.BitCount <= 8 ? hf8Bit : hf24Bit);
  if (layout.BitCount <= 8) bitmap.SetPalette(ReadPalette(data, layout));
  if (layout.Compression == BiRle8 || layout.Compression == BiRle4)
    TRunLengthReader(data + layout.PixelOffset, size - layout.PixelOffset, layout, bitmap).Read();
  else
    CopyRows(data, layout, bitmap);
  return bitmap;
}

namespace {

void WritePalette(std::vector<uint8_t>& out, const std::vector<uint8_t>& palette) {
  for (int i = 0; i < 256; ++i) {
    for (int c = 0; c < 3; ++c) out.push_back(palette.empty() ? static_cast<uint8_t>(i) : palette[3 * i + c]);
    out.push_back(0);
  }
}

void WriteHeaders(std::vector<uint8_t>& out, const THostBitmap& bitmap, uint32_t pixelOffset, uint32_t pixelBytes) {
  out.push_back('B');
  out.push_back('M');
  WriteU32(out, pixelOffset + pixelBytes);
  WriteU32(out, 0);
  WriteU32(out, pixelOffset);
  WriteU32(out, InfoHeaderSize);
  WriteU32(out, static_cast<uint32_t>(bitmap.Width()));
  WriteU32(out, static_cast<uint32_t>(bitmap.Height()));
  WriteU16(out, 1);
  WriteU16(out, static_cast<uint16_t>(8 * bitmap.PixelFormat()));
  WriteU32(out, BiRgb);
  WriteU32(out, pixelBytes);
  for (int i = 0; i < 4; ++i) WriteU32(out, 0);
}

}  // namespace

// The host's rows are already padded to 4 bytes, the stride a BMP file needs.
std::vector<uint8_t> EncodeBmp(const THostBitmap& bitmap) {
  const bool indexed = bitmap.PixelFormat() == hf8Bit;
  const uint32_t pixelOffset = static_cast<uint32_t>(FileHeaderSize + InfoHeaderSize + (indexed ? 1024 : 0));
  const size_t stride = static_cast<size_t>(bitmap.BytesPerLine());
  const uint32_t pixelBytes = static_cast<uint32_t>(stride * static_cast<size_t>(bitmap.Height()));
  std::vector<uint8_t> out;
  out.reserve(size_t{pixelOffset} + pixelBytes);
  WriteHeaders(out, bitmap, pixelOffset, pixelBytes);
  if (indexed) WritePalette(out, bitmap.Palette());
  for (int32_t y = bitmap.Height() - 1; y >= 0; --y) out.insert(out.end(), bitmap.Row(y), bitmap.Row(y) + stride);
  return out;
}
