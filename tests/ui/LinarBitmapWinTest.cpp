// The exchange of linear bitmaps with the window layer's device-independent bitmap.
#include "ui/BitmapExchange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image/LinarBitmap.h"
#include "ui/DIBitmap.h"
#include "tests/TestSupport.h"

namespace {

// Distinct bytes everywhere (padding included), so that swapped rows or offsets show.
void FillBytes(TLinearBitmap& bitmap) {
  for (int i = 0; i < bitmap.Size(); ++i) bitmap.Map()[i] = static_cast<uint8_t>(i * 7 + 3);
  if (bitmap.Palette())
    for (int i = 0; i < 768; ++i) bitmap.Palette()[i] = static_cast<uint8_t>(255 - i * 5);
}

void ExpectSamePixels(const TLinearBitmap& bitmap, const TDIBitmap& dib) {
  ASSERT_EQ(dib.Width(), bitmap.Width());
  ASSERT_EQ(dib.Height(), bitmap.Height());
  const size_t pixelBytes = static_cast<size_t>(bitmap.Width()) * bitmap.PixelSize();
  for (int y = 0; y < bitmap.Height(); ++y)
    EXPECT_EQ(std::memcmp(dib.ScanLine(y), bitmap.Row(y), pixelBytes), 0) << "row " << y;
}

TEST(LinarBitmapExchange, RoundTripsKeepPixelsAndPalette) {
  for (TPixelFormat format : {TPixelFormat::Indexed8, TPixelFormat::Bgr24, TPixelFormat::Bgrx32}) {
    SCOPED_TRACE(static_cast<int>(format));
    TLinearBitmap source;
    source.New(6, 5, format);
    FillBytes(source);
    TDIBitmap dib;
    source.AssignTo(dib);
    EXPECT_EQ(dib.PixelFormat(), format);
    ExpectSamePixels(source, dib);

    TLinearBitmap back;
    back.Assign(dib);
    ASSERT_EQ(back.PixelFormat(), format);
    ASSERT_EQ(back.BytesPerLine(), source.BytesPerLine());
    EXPECT_EQ(std::memcmp(back.Map(), source.Map(), source.Size()), 0);
    if (format == TPixelFormat::Indexed8) {
      EXPECT_EQ(std::memcmp(back.Palette(), source.Palette(), 768), 0);
    }
  }
}

TEST(LinarBitmapExchange, SixteenBitGrayLeavesAsEightBitGrayOfTheHighByte) {
  TLinearBitmap source;
  source.New(3, 2, TPixelFormat::Gray16);
  const uint16_t samples[] = {0x0000, 0x12FF, 0xAB01, 0xFFFF, 0x8000, 0x7FFF};
  for (int i = 0; i < 6; ++i) source.SetIntensity(i % 3, i / 3, samples[i]);
  TDIBitmap dib;
  source.AssignTo(dib);
  ASSERT_EQ(dib.PixelFormat(), TPixelFormat::Indexed8);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(dib.ScanLine(i / 3)[i % 3], samples[i] >> 8) << i;
  TPaletteTable palette;
  ReadPaletteHandle(dib.Palette(), PaletteEntries, palette.data());
  EXPECT_EQ(palette, GrayPalette);
  EXPECT_EQ(dib.Canvas().Pixel(1, 0), RGB(0x12, 0x12, 0x12));
}

TEST(LinarBitmapExchange, SixteenBitBitmapsComeInAsTwentyFourBits) {
  TDIBitmap dib;
  dib.SetPixelFormat(TPixelFormat::Gray16);
  dib.SetSize(4, 3);
  dib.Canvas().SetPixel(3, 0, RGB(255, 0, 0));
  dib.Canvas().SetPixel(0, 2, RGB(255, 255, 255));
  TLinearBitmap bitmap;
  bitmap.Assign(dib);
  ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::Bgr24);
  ASSERT_EQ(bitmap.Height(), 3);
  const TColor red = bitmap.GetPixel(3, 0);
  EXPECT_GE(RedOf(red), 0xF8);
  EXPECT_EQ(red & 0xFFFF00, 0u);
  EXPECT_GE(GreenOf(bitmap.GetPixel(0, 2)), 0xF8);
  EXPECT_EQ(bitmap.GetPixel(1, 1), 0u);
}

TEST(LinarBitmapExchange, PaletteWithFewerEntriesIsFilledWithBlack) {
  TPaletteTable table;
  for (int i = 0; i < 768; ++i) table[i] = static_cast<uint8_t>(i + 1);
  TDIBitmap dib;
  dib.SetPixelFormat(TPixelFormat::Indexed8);
  dib.SetSize(2, 2);
  dib.SetPalette(MakePaletteHandle(table.data(), 10));
  TLinearBitmap bitmap;
  bitmap.New(1, 1, TPixelFormat::Indexed8);
  std::memset(bitmap.Palette(), 0x55, 768);
  bitmap.Assign(dib);
  ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::Indexed8);
  EXPECT_EQ(std::memcmp(bitmap.Palette(), table.data(), 30), 0);
  for (int i = 30; i < 768; ++i) ASSERT_EQ(bitmap.Palette()[i], 0) << i;
}

TEST(LinarBitmapExchange, PaletteObjectsCarryRedGreenBlueAndTheReservedFlag) {
  TPaletteTable table{};
  table[0] = 1;  // blue
  table[1] = 2;  // green
  table[2] = 3;  // red
  const TPaletteHandle palette = MakePaletteHandle(table.data(), PaletteEntries);
  PALETTEENTRY entries[PaletteEntries];
  ASSERT_EQ(GetPaletteEntries(palette.Get(), 0, PaletteEntries, entries), UINT(PaletteEntries));
  EXPECT_EQ(entries[0].peRed, 3);
  EXPECT_EQ(entries[0].peGreen, 2);
  EXPECT_EQ(entries[0].peBlue, 1);
  EXPECT_EQ(entries[0].peFlags, PC_RESERVED);

  TPaletteTable read{};
  ReadPaletteHandle(nullptr, PaletteEntries, read.data());
  EXPECT_EQ(read, GrayPalette);
}

TEST(LinarBitmapExchange, EmptyBitmapsOnEitherSide) {
  TDIBitmap dib;
  dib.SetPixelFormat(TPixelFormat::Bgrx32);
  dib.SetSize(3, 3);
  TLinearBitmap empty;
  empty.AssignTo(dib);
  EXPECT_EQ(dib.Width(), 3);
  EXPECT_EQ(dib.PixelFormat(), TPixelFormat::Bgrx32);

  TLinearBitmap bitmap;
  bitmap.New(2, 2, TPixelFormat::Bgr24);
  bitmap.Assign(TDIBitmap());
  EXPECT_FALSE(bitmap.Present());
}

// A host's rows may be padded further than a DIB's; the padding stays behind.
TEST(LinarBitmapExchange, WidelyPaddedRowsCopyOnlyTheirPixels) {
  TLinearBitmap source;
  source.New(3, 4, TPixelFormat::Bgr24, 64);
  FillBytes(source);
  TDIBitmap dib;
  source.AssignTo(dib);
  EXPECT_EQ(dib.BytesPerLine(), 12);
  ExpectSamePixels(source, dib);

  // Back into a bitmap of that shape, which keeps its wide rows: their padding stays too,
  // and nothing is read beyond the DIB's rows.
  TLinearBitmap target;
  target.New(3, 4, TPixelFormat::Bgr24, 64);
  std::memset(target.Map(), 0xEE, target.Size());
  target.Assign(dib);
  ASSERT_EQ(target.BytesPerLine(), 64);
  ExpectSamePixels(target, dib);
  for (int y = 0; y < 4; ++y)
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.Row(y)) + 9, 55), std::string(55, '\xEE')) << y;
}

TEST(LinarBitmapExchange, CopyPixelsToChecksSizeAndPairing) {
  TLinearBitmap indexed;
  indexed.New(4, 2, TPixelFormat::Indexed8);
  FillBytes(indexed);
  TDIBitmap dib;
  dib.SetPixelFormat(TPixelFormat::Bgr24);
  dib.SetSize(4, 2);
  CopyPixelsTo(indexed, dib);
  const uint8_t index = indexed.Row(1)[3];
  EXPECT_EQ(std::memcmp(dib.ScanLine(1) + 9, indexed.Palette() + 3 * index, 3), 0);

  dib.SetSize(4, 1);
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { CopyPixelsTo(indexed, dib); }), "Invalid bitmap size");
  TLinearBitmap color;
  color.New(4, 1, TPixelFormat::Bgr24);
  dib.SetPixelFormat(TPixelFormat::Bgrx32);
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { CopyPixelsTo(color, dib); }), "Unsupported pixel format");
}

}  // namespace
