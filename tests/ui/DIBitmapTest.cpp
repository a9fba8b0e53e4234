#include "ui/DIBitmap.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/BitmapExchange.h"
#include "tests/TestSupport.h"

namespace {

TEST(DIBitmap, RowsArePaddedToWordsAndStoredBottomUp) {
  struct TCase { TPixelFormat Format; int Stride; };
  // 6 pixels: 6, 12, 18 and 24 bytes, padded to 8, 12, 20 and 24.
  for (const TCase c : {TCase{TPixelFormat::Indexed8, 8}, TCase{TPixelFormat::Gray16, 12},
                        TCase{TPixelFormat::Bgr24, 20}, TCase{TPixelFormat::Bgrx32, 24}}) {
    SCOPED_TRACE(static_cast<int>(c.Format));
    TDIBitmap bitmap;
    bitmap.SetPixelFormat(c.Format);
    bitmap.SetSize(6, 5);
    EXPECT_EQ(bitmap.PixelFormat(), c.Format);
    EXPECT_EQ(bitmap.BytesPerLine(), c.Stride);
    EXPECT_EQ(bitmap.ScanLine(0) - bitmap.ScanLine(1), c.Stride);
    EXPECT_EQ(bitmap.ScanLine(0) - bitmap.ScanLine(4), 4 * c.Stride);
  }
}

TEST(DIBitmap, ScanLineZeroIsTheTopRowOnTheCanvas) {
  TDIBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::Bgr24);
  bitmap.SetSize(6, 5);
  uint8_t* topRight = bitmap.ScanLine(0) + 3 * 5;
  topRight[0] = 0x30;  // blue
  topRight[1] = 0x20;
  topRight[2] = 0x10;  // red
  EXPECT_EQ(bitmap.Canvas().Pixel(5, 0), RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(bitmap.Canvas().Pixel(5, 4), RGB(0, 0, 0));

  bitmap.Canvas().SetPixel(0, 4, RGB(1, 2, 3));
  const uint8_t* bottomLeft = bitmap.ScanLine(4);
  EXPECT_EQ(bottomLeft[0], 3);
  EXPECT_EQ(bottomLeft[2], 1);
}

TEST(DIBitmap, EightBitPixelsShowThePaletteAndBlackBeyondIt) {
  TDIBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::Indexed8);
  bitmap.SetSize(3, 1);
  bitmap.ScanLine(0)[0] = 200;
  EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), RGB(200, 200, 200));  // no palette: gray

  TPaletteTable table{};
  for (int i = 0; i < 16; ++i) {
    table[3 * i] = static_cast<uint8_t>(10 * i);  // blue
    table[3 * i + 2] = static_cast<uint8_t>(255 - i);  // red
  }
  bitmap.SetPalette(MakePaletteHandle(table.data(), 16));
  bitmap.ScanLine(0)[1] = 3;
  bitmap.ScanLine(0)[2] = 16;
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), RGB(252, 0, 30));
  EXPECT_EQ(bitmap.Canvas().Pixel(2, 0), RGB(0, 0, 0));
}

TEST(DIBitmap, ResizingToTheSameSizeKeepsTheStorage) {
  TDIBitmap bitmap;
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetWidth(7);
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetHeight(3);
  ASSERT_FALSE(bitmap.Empty());
  uint8_t* row = bitmap.ScanLine(0);
  row[0] = 99;
  bitmap.SetSize(7, 3);
  EXPECT_EQ(bitmap.ScanLine(0), row);
  EXPECT_EQ(row[0], 99);
  bitmap.SetSize(0, 3);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Width(), 0);
}

TEST(DIBitmap, RefusesUnknownFormatsAndNegativeSizes) {
  TDIBitmap bitmap;
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.SetPixelFormat(TPixelFormat::NoFormat); }),
            "Invalid pixel format");
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.SetSize(-1, 4); }), "Invalid bitmap size");
  EXPECT_EQ(MessageOf<EOutOfMemory>([&] { bitmap.SetSize(70000, 70000); }), "Out of memory");
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::Bgr24);
}

}  // namespace
