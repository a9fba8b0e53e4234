#include "host/BmpFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "tests/TestSupport.h"

namespace {

// A BMP file written field by field, as other programs write them.
struct TBmpLayout {
  int32_t Width = 5;
  int32_t Height = 3;
  int BitCount = 24;
  bool TopDown = false;
  uint32_t Compression = 0;
  uint32_t ColorsUsed = 0;
  int PaletteEntries = 0;
  std::vector<uint32_t> Masks;
};

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 0; s < 32; s += 8) out.push_back(static_cast<uint8_t>(v >> s));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// Pixel (x, y) as the image shows it; every byte differs, so a swap or a flip shows.
uint8_t SourceByte(int x, int y, int c) { return static_cast<uint8_t>(16 * y + 4 * x + c + 1); }

size_t FileStride(const TBmpLayout& layout) { return (static_cast<size_t>(layout.Width) * layout.BitCount + 31) / 32 * 4; }

void PutPixels(std::vector<uint8_t>& out, const TBmpLayout& layout) {
  const int bytes = layout.BitCount / 8;
  for (int row = 0; row < layout.Height; ++row) {
    const int y = layout.TopDown ? row : layout.Height - 1 - row;
    const size_t start = out.size();
    if (layout.BitCount == 4)
      for (int x = 0; x < (layout.Width + 1) / 2; ++x) out.push_back(SourceByte(x, y, 0));
    for (int x = 0; x < layout.Width; ++x)
      for (int c = 0; c < bytes; ++c) out.push_back(SourceByte(x, y, c));
    out.resize(start + FileStride(layout), 0xEE);
  }
}

std::vector<uint8_t> MakeBmp(const TBmpLayout& layout) {
  const uint32_t paletteBytes = 4 * layout.PaletteEntries + 4 * static_cast<uint32_t>(layout.Masks.size());
  const uint32_t offset = 54 + paletteBytes;
  std::vector<uint8_t> out{'B', 'M'};
  Put32(out, offset + static_cast<uint32_t>(FileStride(layout) * layout.Height));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(layout.Width));
  Put32(out, static_cast<uint32_t>(layout.TopDown ? -layout.Height : layout.Height));
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(layout.BitCount));
  Put32(out, layout.Compression);
  for (uint32_t field : {0u, 0u, 0u, layout.ColorsUsed, 0u}) Put32(out, field);
  for (uint32_t mask : layout.Masks) Put32(out, mask);
  for (int i = 0; i < layout.PaletteEntries; ++i) Put32(out, 0xAA000000u | (i * 3u) << 16 | (i * 5u) << 8 | (i * 7u & 0xFF));
  PutPixels(out, layout);
  return out;
}

THostBitmap Decode(const std::vector<uint8_t>& file) { return DecodeBmp(file.data(), file.size()); }

void ExpectPixels(const THostBitmap& bitmap, int sourceBytes) {
  const int bytes = bitmap.PixelFormat();
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      for (int c = 0; c < std::min(bytes, sourceBytes); ++c)
        ASSERT_EQ(bitmap.Row(y)[bytes * x + c], SourceByte(x, y, c)) << x << "," << y << "," << c;
}

}  // namespace

TEST(BmpFile, Reads24BitRowsBottomUpAndTopDownAlike) {
  for (bool topDown : {false, true}) {
    TBmpLayout layout;
    layout.TopDown = topDown;
    const THostBitmap bitmap = Decode(MakeBmp(layout));
    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(bitmap.PixelFormat(), hf24Bit);
    EXPECT_EQ(bitmap.BytesPerLine(), 16);  // 15 bytes of pixels, padded to 4
    EXPECT_TRUE(bitmap.Palette().empty());
    ExpectPixels(bitmap, 3);
  }
}

TEST(BmpFile, Reads8BitWithItsPalette) {
  TBmpLayout layout;
  layout.Width = 6;
  layout.BitCount = 8;
  layout.ColorsUsed = 3;
  layout.PaletteEntries = 3;
  THostBitmap bitmap = Decode(MakeBmp(layout));
  EXPECT_EQ(bitmap.PixelFormat(), hf8Bit);
  EXPECT_EQ(bitmap.BytesPerLine(), 8);
  ExpectPixels(bitmap, 1);
  const auto& palette = bitmap.Palette();
  ASSERT_EQ(palette.size(), 768u);
  // Blue, green, red per entry; the file's fourth byte is dropped, missing entries are black.
  EXPECT_EQ(palette[3 * 2 + 0], 14);
  EXPECT_EQ(palette[3 * 2 + 1], 10);
  EXPECT_EQ(palette[3 * 2 + 2], 6);
  EXPECT_EQ(palette[3 * 3], 0);
  EXPECT_EQ(palette[767], 0);
  EXPECT_EQ(bitmap.Record().Palette, palette.data());
}

TEST(BmpFile, Reads8BitWithoutCountAsFullPalette) {
  TBmpLayout layout;
  layout.BitCount = 8;
  layout.PaletteEntries = 256;
  layout.TopDown = true;
  const THostBitmap bitmap = Decode(MakeBmp(layout));
  EXPECT_EQ(bitmap.Palette()[3 * 255 + 2], static_cast<uint8_t>(255 * 3));
  ExpectPixels(bitmap, 1);
}

TEST(BmpFile, Reads32BitAs24Bit) {
  TBmpLayout layout;
  layout.BitCount = 32;
  const THostBitmap plain = Decode(MakeBmp(layout));
  EXPECT_EQ(plain.PixelFormat(), hf24Bit);
  EXPECT_EQ(plain.BytesPerLine(), 16);
  ExpectPixels(plain, 3);

  layout.Compression = 3;
  layout.Masks = {0xFF0000, 0xFF00, 0xFF};
  ExpectPixels(Decode(MakeBmp(layout)), 3);
  layout.Masks = {0xFF, 0xFF00, 0xFF0000};
  EXPECT_THROW(Decode(MakeBmp(layout)), EInvalidImage);
}

TEST(BmpFile, RefusesWhatItCannotReadSafely) {
  const std::vector<uint8_t> good = MakeBmp(TBmpLayout{});
  for (size_t cut : {size_t{1}, size_t{20}, size_t{54}, good.size() - 1}) {
    const std::vector<uint8_t> shortFile(good.begin(), good.begin() + cut);
    EXPECT_THROW(Decode(shortFile), EInvalidImage) << cut;
  }
  auto with = [&](size_t offset, uint32_t value) {
    std::vector<uint8_t> file = good;
    std::memcpy(&file[offset], &value, 4);
    return file;
  };
  EXPECT_THROW(Decode(with(10, 0xFFFFFF00u)), EInvalidImage);  // pixels past the end
  EXPECT_THROW(Decode(with(14, 4000)), EInvalidImage);         // header longer than the file
  EXPECT_THROW(Decode(with(18, 0)), EInvalidImage);            // no columns
  EXPECT_THROW(Decode(with(22, 0)), EInvalidImage);            // no rows
  EXPECT_THROW(Decode(with(22, 0x80000000u)), EInvalidImage);  // a height without a positive twin
  EXPECT_THROW(Decode(with(18, 0x7FFFFFFF)), EInvalidImage);   // rows larger than the file
  EXPECT_THROW(Decode(with(30, 1)), EInvalidImage);            // run-length coded
  EXPECT_THROW(Decode(with(28, 16)), EInvalidImage);           // 16 bits per pixel

  TBmpLayout indexed;
  indexed.BitCount = 8;
  indexed.ColorsUsed = 300;
  indexed.PaletteEntries = 4;
  EXPECT_THROW(Decode(MakeBmp(indexed)), EInvalidImage);
  indexed.ColorsUsed = 0;  // 256 entries announced, 4 in the file: the pixels are read as palette
  indexed.Height = 1;
  indexed.Width = 1;
  EXPECT_THROW(Decode(MakeBmp(indexed)), EInvalidImage);

  // Found by fuzzing: rows whose bytes, multiplied out, overflow 64 bits and so seemed to
  // fit the file; channel masks announced by a header too short to hold them, at the end.
  std::vector<uint8_t> overflow = FromHex(
      "424d36000800000000003600000028000000ffff5555ff7f0080010018000000000000000000130b0000130b00000000000000000000");
  overflow.resize(524342, 0x5A);
  EXPECT_THROW(Decode(overflow), EInvalidImage);
  EXPECT_THROW(Decode(FromHex("424d5a00007e00000000000000002900000003000000020000000132200003000000ea00000013000000000028"
                              "3c50283c50643c506478")),
               EInvalidImage);
}

// Run-length coded 8-bit and 4-bit files, the default of common conversion tools: runs,
// literal pixels (padded to a word), a move, rows ended early, a run past the right edge,
// the image ended early. Both give the same indices where their codes say the same.
TEST(BmpFile, ReadsRunLengthCodedFiles) {
  const auto file = [](int bits, const std::vector<uint8_t>& codes) {
    TBmpLayout layout;
    layout.Width = 6;
    layout.BitCount = bits;
    layout.Compression = bits == 8 ? 1 : 2;
    layout.PaletteEntries = 16;
    layout.ColorsUsed = 16;
    std::vector<uint8_t> bytes = MakeBmp(layout);
    bytes.resize(54 + 4 * 16);
    bytes.insert(bytes.end(), codes.begin(), codes.end());
    return bytes;
  };
  const auto rows = [](const THostBitmap& bitmap) {
    std::vector<std::vector<uint8_t>> indices;
    for (int y = 0; y < bitmap.Height(); ++y) indices.emplace_back(bitmap.Row(y), bitmap.Row(y) + bitmap.Width());
    return indices;
  };
  const std::vector<std::vector<uint8_t>> picture{{1, 1, 1, 1, 1, 1}, {0, 0, 5, 5, 0, 0}, {2, 2, 2, 7, 8, 9}};
  const THostBitmap eight = Decode(file(8, {3, 2, 0, 3, 7, 8, 9, 0, 0, 0, 0, 2, 2, 0, 2, 5, 0, 0, 8, 1, 0, 1}));
  EXPECT_EQ(eight.PixelFormat(), hf8Bit);
  EXPECT_EQ(rows(eight), picture);
  const THostBitmap four = Decode(file(4, {3, 0x22, 0, 3, 0x78, 0x90, 0, 0, 0, 2, 2, 0, 2, 0x55, 0, 0, 8, 0x11, 0, 1}));
  EXPECT_EQ(rows(four), picture);
  EXPECT_EQ(std::vector<uint8_t>(four.Palette().begin() + 15, four.Palette().begin() + 18), (std::vector<uint8_t>{35, 25, 15}));
  EXPECT_EQ(std::vector<uint8_t>(four.Palette().begin() + 48, four.Palette().begin() + 51), (std::vector<uint8_t>{0, 0, 0}));

  EXPECT_THROW(Decode(file(8, {3, 2, 0, 5, 1, 2})), EInvalidImage);  // codes cut short
  TBmpLayout jpeg;
  jpeg.Compression = 4;
  EXPECT_EQ(MessageOf<EInvalidImage>([&] { Decode(MakeBmp(jpeg)); }), "Unsupported image format: BMP compressed as JPEG");
}

// Plain 4-bit rows: two indices a byte, the high half first.
TEST(BmpFile, Reads4BitRows) {
  TBmpLayout layout;
  layout.BitCount = 4;
  layout.PaletteEntries = 16;
  const THostBitmap bitmap = Decode(MakeBmp(layout));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const uint8_t byte = SourceByte(x / 2, y, 0);
      ASSERT_EQ(bitmap.Row(y)[x], x % 2 ? byte & 0x0F : byte >> 4) << x << "," << y;
    }
}

TEST(BmpFile, WritesWhatItReads) {
  TBmpLayout layout;
  layout.Width = 7;
  const THostBitmap colour = Decode(MakeBmp(layout));
  const std::vector<uint8_t> written = EncodeBmp(colour);
  EXPECT_EQ(written.size(), 54u + 24u * 3);
  ExpectPixels(Decode(written), 3);

  layout.BitCount = 8;
  layout.PaletteEntries = 5;
  layout.ColorsUsed = 5;
  const THostBitmap indexed = Decode(MakeBmp(layout));
  const THostBitmap again = Decode(EncodeBmp(indexed));
  ExpectPixels(again, 1);
  EXPECT_EQ(again.Palette(), indexed.Palette());

  THostBitmap gray(3, 2, hf8Bit);
  EXPECT_EQ(Decode(EncodeBmp(gray)).Palette()[3 * 200 + 1], 200);  // written with a gray palette
}
