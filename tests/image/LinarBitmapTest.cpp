#include "image/LinarBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <vector>
#include "tests/TestSupport.h"

namespace {

// Distinct bytes at every offset, so that swapped rows, channels or offsets show.
void FillBytes(TLinearBitmap& bitmap) {
  for (int i = 0; i < bitmap.Size(); ++i) bitmap.Map()[i] = static_cast<uint8_t>(i * 7 + 3);
}

class TForeign : public TAssignObject {
 public:
  const char* ClassName() const noexcept override { return "TForeign"; }
};

class TPlainObject : public TObject {
 public:
  const char* ClassName() const noexcept override { return "TPlainObject"; }
};

TEST(LinarBitmap, NewCreatesPackedStorageWithOwnPalette) {
  TLinearBitmap bitmap;
  EXPECT_FALSE(bitmap.Present());
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::NoFormat);

  bitmap.New(6, 5, TPixelFormat::Bgr24);
  EXPECT_TRUE(bitmap.Present());
  EXPECT_EQ(bitmap.BytesPerLine(), 18);
  EXPECT_EQ(bitmap.PixelSize(), 3);
  EXPECT_EQ(bitmap.Size(), 90);
  EXPECT_EQ(bitmap.Palette(), nullptr);

  bitmap.New(6, 5, TPixelFormat::Indexed8, 8);
  EXPECT_EQ(bitmap.BytesPerLine(), 8);
  EXPECT_EQ(bitmap.Size(), 40);
  EXPECT_NE(bitmap.Palette(), nullptr);
  EXPECT_EQ(bitmap.RowAddress(3), bitmap.Map() + 24);
}

TEST(LinarBitmap, NewWithSameShapeKeepsPixelsAndIgnoresLineLength) {
  TLinearBitmap bitmap;
  bitmap.New(6, 5, TPixelFormat::Bgr24);
  FillBytes(bitmap);
  uint8_t* map = bitmap.Map();
  bitmap.New(6, 5, TPixelFormat::Bgr24, 64);
  EXPECT_EQ(bitmap.Map(), map);
  EXPECT_EQ(bitmap.BytesPerLine(), 18);
  EXPECT_EQ(bitmap.Map()[17], static_cast<uint8_t>(17 * 7 + 3));
}

TEST(LinarBitmap, NewRefusesBadArguments) {
  TLinearBitmap bitmap;
  bitmap.New(4, 4, TPixelFormat::Bgr24);
  // Refused before the old storage is released: the bitmap stays as it was.
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.New(0, 10, TPixelFormat::Bgr24); }), "Invalid bitmap size");
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.New(10, 10, TPixelFormat(4)); }), "Unsupported pixel format");
  EXPECT_TRUE(bitmap.Present());
  EXPECT_EQ(bitmap.Width(), 4);

  // Refused after the release: the bitmap is left empty.
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.New(10, 10, TPixelFormat::Bgr24, 29); }), "Invalid bitmap size");
  EXPECT_FALSE(bitmap.Present());
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::NoFormat);
  EXPECT_EQ(bitmap.Size(), 0);
}

TEST(LinarBitmap, SizesAreCheckedIn64Bits) {
  TLinearBitmap bitmap;
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.New(65536, 65536, TPixelFormat::Indexed8); }), "Out of memory");
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.New(46341, 46341, TPixelFormat::Bgrx32); }), "Out of memory");
  // Pixels that fit, rows padded beyond what a 32-bit size can hold.
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.New(10, 1 << 20, TPixelFormat::Indexed8, 1 << 12); }), "Out of memory");
  EXPECT_FALSE(bitmap.Present());
  // 2,147,483,647 bytes fit the signed 32-bit size: the memory may run out, the check must
  // not refuse it; one byte more is refused.
  try {
    bitmap.New(INT_MAX, 1, TPixelFormat::Indexed8);
    EXPECT_EQ(bitmap.Size(), INT_MAX);
  } catch (const ELinearBitmap& error) {
    ADD_FAILURE() << "refused by the size check: " << error.what();
  } catch (const EOutOfMemory&) {
  }
  bitmap.Dispose();
  EXPECT_EQ(MessageOf<ELinearBitmap>([&] { bitmap.New(INT_MAX / 2 + 1, 1, TPixelFormat::Gray16); }), "Out of memory");
}

TEST(LinarBitmap, GetPixelReadsColourValuesAndClamps) {
  TLinearBitmap bitmap;
  bitmap.New(6, 5, TPixelFormat::Bgr24);
  FillBytes(bitmap);
  uint8_t* pixel = bitmap.Row(2) + 3 * 4;
  pixel[0] = 0x10;
  pixel[1] = 0x20;
  pixel[2] = 0x30;
  EXPECT_EQ(bitmap.GetPixel(4, 2), 0x102030u);
  EXPECT_EQ(bitmap.GetIntensity(4, 2), 35u);

  const uint8_t* corner = bitmap.Row(4);
  EXPECT_EQ(bitmap.GetPixel(-5, 5 + 3), PackColor(corner[2], corner[1], corner[0]));
  const uint8_t* far = bitmap.Row(0) + 3 * 5;
  EXPECT_EQ(bitmap.GetPixel(100, -1), PackColor(far[2], far[1], far[0]));
}

TEST(LinarBitmap, IndexedPixelsReadThroughThePaletteAndIntensityIsTheIndex) {
  TLinearBitmap bitmap;
  bitmap.New(3, 2, TPixelFormat::Indexed8);
  std::memset(bitmap.Palette(), 0, sizeof(TPaletteTable));
  bitmap.Palette()[3 * 9 + 0] = 0x01;  // blue
  bitmap.Palette()[3 * 9 + 1] = 0x02;  // green
  bitmap.Palette()[3 * 9 + 2] = 0x03;  // red
  bitmap.Row(1)[2] = 9;
  EXPECT_EQ(bitmap.GetPixel(2, 1), PackColor(3, 2, 1));
  EXPECT_EQ(bitmap.GetIntensity(2, 1), 9u);
}

TEST(LinarBitmap, SetPixelOnIndexedStoresTheLowestNearestIndex) {
  TLinearBitmap bitmap;
  bitmap.New(2, 2, TPixelFormat::Indexed8);
  std::memcpy(bitmap.Palette(), GrayPalette.data(), sizeof(TPaletteTable));
  const TColor wanted = PackColor(200, 10, 40);
  for (int index : {9, 7}) {
    bitmap.Palette()[3 * index + 0] = 40;
    bitmap.Palette()[3 * index + 1] = 10;
    bitmap.Palette()[3 * index + 2] = 200;
  }
  bitmap.SetPixel(1, 1, wanted);
  EXPECT_EQ(bitmap.Row(1)[1], 7);
  // No exact entry: the nearest one, by squared distance.
  bitmap.SetPixel(0, 0, PackColor(101, 99, 100));
  EXPECT_EQ(bitmap.Row(0)[0], 100);
}

TEST(LinarBitmap, SetPixelWritesChannelsAndKeepsTheSpareByte) {
  TLinearBitmap bitmap;
  bitmap.New(2, 2, TPixelFormat::Bgrx32);
  FillBytes(bitmap);
  const uint8_t spare = bitmap.Row(1)[4 + 3];
  bitmap.SetPixel(1, 1, PackColor(0xAA, 0xBB, 0xCC));
  const uint8_t* pixel = bitmap.Row(1) + 4;
  EXPECT_EQ(pixel[0], 0xCC);
  EXPECT_EQ(pixel[1], 0xBB);
  EXPECT_EQ(pixel[2], 0xAA);
  EXPECT_EQ(pixel[3], spare);
  EXPECT_EQ(bitmap.GetPixel(1, 1), PackColor(0xAA, 0xBB, 0xCC));
}

TEST(LinarBitmap, SetIntensityByFormat) {
  TLinearBitmap indexed, gray, colour;
  indexed.New(2, 2, TPixelFormat::Indexed8);
  indexed.SetIntensity(1, 0, 300);
  EXPECT_EQ(indexed.Row(0)[1], 44);

  gray.New(2, 2, TPixelFormat::Gray16);
  gray.SetIntensity(1, 1, 0x12345);
  EXPECT_EQ(gray.Row(1)[2], 0x45);
  EXPECT_EQ(gray.Row(1)[3], 0x23);
  EXPECT_EQ(gray.GetIntensity(1, 1), 0x2345u);

  colour.New(2, 2, TPixelFormat::Bgr24);
  colour.SetIntensity(0, 1, 77);
  EXPECT_EQ(colour.GetPixel(0, 1), GrayLevel(77));
  EXPECT_EQ(colour.GetIntensity(0, 1), 77u);
}

TEST(LinarBitmap, WritesOutsideDoNothingEvenWhereTheFormatWouldFail) {
  TLinearBitmap gray;
  gray.New(3, 3, TPixelFormat::Gray16);
  FillBytes(gray);
  std::vector<uint8_t> before(gray.Map(), gray.Map() + gray.Size());
  gray.SetPixel(-1, 0, 0xFFFFFF);
  gray.SetPixel(3, 1, 0xFFFFFF);
  gray.SetIntensity(0, 3, 9);
  gray.SetIntensity(0, -1, 9);
  EXPECT_EQ(std::vector<uint8_t>(gray.Map(), gray.Map() + gray.Size()), before);
}

TEST(LinarBitmap, AccessorsRefuseFormatsTheyDoNotHandle) {
  TLinearBitmap gray, wide, empty;
  gray.New(2, 2, TPixelFormat::Gray16);
  wide.New(2, 2, TPixelFormat::Bgrx32);
  EXPECT_EQ(MessageOf<Exception>([&] { gray.GetPixel(0, 0); }), "Unsupported pixel format");
  EXPECT_EQ(MessageOf<Exception>([&] { gray.SetPixel(0, 0, 0); }), "Unsupported pixel format");
  EXPECT_EQ(MessageOf<Exception>([&] { wide.GetIntensity(0, 0); }), "Unsupported pixel format");
  EXPECT_EQ(MessageOf<Exception>([&] { wide.SetIntensity(0, 0, 1); }), "Unsupported pixel format");
  EXPECT_EQ(MessageOf<Exception>([&] { empty.GetPixel(0, 0); }), "Unsupported pixel format");
  // The accessors raise the generic error, not the bitmap structure error.
  try {
    gray.GetPixel(0, 0);
  } catch (const Exception& error) {
    EXPECT_STREQ(error.ClassName(), "Exception");
  }
}

TEST(LinarBitmap, AssignCopiesPixelsPaletteAndEmptiness) {
  TLinearBitmap source, target;
  source.New(5, 3, TPixelFormat::Indexed8, 8);
  FillBytes(source);
  for (int i = 0; i < 768; ++i) source.Palette()[i] = static_cast<uint8_t>(255 - i % 256);

  target.Assign(source);
  ASSERT_TRUE(target.Present());
  EXPECT_EQ(target.BytesPerLine(), 5);  // the copy packs its rows
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(target.Row(y)[x], source.Row(y)[x]) << x << "," << y;
  EXPECT_EQ(std::memcmp(target.Palette(), source.Palette(), 768), 0);
  EXPECT_NE(target.Palette(), source.Palette());

  TLinearBitmap empty;
  target.Assign(empty);
  EXPECT_FALSE(target.Present());
  EXPECT_EQ(target.Palette(), nullptr);
}

TEST(LinarBitmap, AssignIntoPaddedRowsCopiesOnlyPixelBytes) {
  TLinearBitmap source, target;
  source.New(4, 3, TPixelFormat::Bgr24);
  FillBytes(source);
  target.New(4, 3, TPixelFormat::Bgr24, 16);
  std::memset(target.Map(), 0xEE, target.Size());
  target.Assign(source);
  EXPECT_EQ(target.BytesPerLine(), 16);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(std::memcmp(target.Row(y), source.Row(y), 12), 0);
    for (int padding = 12; padding < 16; ++padding) EXPECT_EQ(target.Row(y)[padding], 0xEE);
  }
  target.Assign(target);
  EXPECT_EQ(std::memcmp(target.Row(2), source.Row(2), 12), 0);
}

TEST(LinarBitmap, AssignBetweenStrangersEndsWithCannotAssign) {
  TLinearBitmap bitmap;
  TForeign foreign;
  TPlainObject plain;
  EXPECT_EQ(MessageOf<Exception>([&] { bitmap.Assign(foreign); }), "Cannot assign TForeign to TLinearBitmap");
  EXPECT_EQ(MessageOf<Exception>([&] { foreign.Assign(bitmap); }), "Cannot assign TLinearBitmap to TForeign");
  EXPECT_EQ(MessageOf<Exception>([&] { bitmap.Assign(plain); }), "Cannot assign TPlainObject to TLinearBitmap");
  EXPECT_EQ(MessageOf<Exception>([&] { bitmap.AssignTo(plain); }), "Cannot assign TLinearBitmap to TPlainObject");
}

TEST(LinarBitmap, PackLinesRemovesPaddingAndKeepsPixels) {
  TLinearBitmap bitmap;
  bitmap.New(3, 4, TPixelFormat::Bgr24, 12);
  FillBytes(bitmap);
  std::vector<uint8_t> rows;
  for (int y = 0; y < 4; ++y) rows.insert(rows.end(), bitmap.Row(y), bitmap.Row(y) + 9);
  bitmap.PackLines();
  EXPECT_EQ(bitmap.BytesPerLine(), 9);
  EXPECT_EQ(bitmap.Size(), 36);
  EXPECT_EQ(std::vector<uint8_t>(bitmap.Map(), bitmap.Map() + 36), rows);
}

TEST(LinarBitmap, GrayPaletteAndColourHelpers) {
  for (int i : {0, 1, 128, 255}) {
    EXPECT_EQ(GrayPalette[3 * i], i);
    EXPECT_EQ(GrayPalette[3 * i + 2], i);
  }
  EXPECT_EQ(PackColor(0x1FF, 0x102, 0x3), 0x0302FFu);
  EXPECT_EQ(GrayLevel(0x40), 0x404040u);
  EXPECT_EQ(NearestPaletteIndex(GrayLevel(200), GrayPalette.data()), 200);
}

}  // namespace
