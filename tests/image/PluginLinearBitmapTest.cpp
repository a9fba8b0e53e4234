#include "image/PluginLinearBitmap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/host/HostImages.h"

namespace {

TEST(PluginLinearBitmap, WorksInPlaceOnPaddedHostRows) {
  auto host = THostImageBuffer::Make24Bit(6, 5, 20);
  const auto before = host.Snapshot();
  TPluginLinearBitmap bitmap(host.Record());
  EXPECT_EQ(bitmap.Map(), host.Pixels());
  EXPECT_EQ(bitmap.HostMap(), host.Pixels());
  EXPECT_EQ(bitmap.BytesPerLine(), 20);
  EXPECT_EQ(bitmap.Size(), 100);
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::Bgr24);

  // The last pixel of the last row sits right against the guard page.
  const uint8_t* last = host.Pixels() + 4 * 20 + 3 * 5;
  EXPECT_EQ(bitmap.GetPixel(5, 4), PackColor(last[2], last[1], last[0]));

  bitmap.SetPixel(4, 3, PackColor(1, 2, 3));
  uint8_t* pixel = host.Pixels() + 3 * 20 + 3 * 4;
  EXPECT_EQ(pixel[0], 3);
  EXPECT_EQ(pixel[1], 2);
  EXPECT_EQ(pixel[2], 1);

  // Every write lands at y * BytesPerLine + 3 * x; the padding is never touched.
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) bitmap.SetIntensity(x, y, 0);
  const auto after = host.Snapshot();
  for (int y = 0; y < 5; ++y)
    for (int padding = 18; padding < 20; ++padding)
      EXPECT_EQ(after[y * 20 + padding], before[y * 20 + padding]);
}

TEST(PluginLinearBitmap, EightBitWithoutPaletteReadsGray) {
  auto host = THostImageBuffer::Make8Bit(4, 3);
  host.Pixels()[2 * 4 + 1] = 200;
  TPluginLinearBitmap bitmap(host.Record());
  EXPECT_EQ(bitmap.GetPixel(1, 2), GrayLevel(200));
  EXPECT_EQ(bitmap.GetIntensity(1, 2), 200u);
  EXPECT_EQ(bitmap.HostPalette(), nullptr);
  EXPECT_NE(bitmap.Palette(), nullptr);
}

TEST(PluginLinearBitmap, EightBitBorrowsTheHostPalette) {
  auto host = THostImageBuffer::Make8Bit(4, 3, 0, true);
  std::vector<uint8_t> palette(host.PaletteBytes(), host.PaletteBytes() + 768);
  {
    TPluginLinearBitmap bitmap(host.Record());
    EXPECT_EQ(bitmap.Palette(), host.PaletteBytes());
    const uint8_t index = host.Pixels()[5];
    const uint8_t* entry = host.PaletteBytes() + 3 * index;
    EXPECT_EQ(bitmap.GetPixel(1, 1), PackColor(entry[2], entry[1], entry[0]));
  }
  EXPECT_EQ(std::vector<uint8_t>(host.PaletteBytes(), host.PaletteBytes() + 768), palette);
}

TEST(PluginLinearBitmap, PackLinesDetachesFromTheHost) {
  auto host = THostImageBuffer::Make24Bit(3, 4, 12);
  const auto before = host.Snapshot();
  TPluginLinearBitmap bitmap(host.Record());
  bitmap.PackLines();
  EXPECT_EQ(bitmap.HostMap(), nullptr);
  EXPECT_NE(bitmap.Map(), host.Pixels());
  EXPECT_EQ(bitmap.BytesPerLine(), 9);
  EXPECT_EQ(std::memcmp(bitmap.Row(3), host.Pixels() + 36, 9), 0);
  bitmap.SetPixel(0, 0, 0xFFFFFF);
  EXPECT_EQ(host.Snapshot(), before);
}

TEST(PluginLinearBitmap, NewWithAnotherShapeDetachesAndSameShapeWritesThrough) {
  auto host = THostImageBuffer::Make8Bit(4, 2, 0, true);
  const auto paletteBefore = std::vector<uint8_t>(host.PaletteBytes(), host.PaletteBytes() + 768);
  TPluginLinearBitmap bitmap(host.Record());

  TLinearBitmap same;
  same.New(4, 2, TPixelFormat::Indexed8);
  std::memset(same.Map(), 9, same.Size());
  std::memcpy(same.Palette(), GrayPalette.data(), 768);
  bitmap.Assign(same);
  EXPECT_EQ(bitmap.HostMap(), host.Pixels());
  EXPECT_EQ(host.Pixels()[7], 9);
  // The pixels go to the host, the palette only to the bitmap: the host's is never written.
  EXPECT_EQ(std::memcmp(bitmap.Palette(), GrayPalette.data(), 768), 0);
  EXPECT_EQ(std::vector<uint8_t>(host.PaletteBytes(), host.PaletteBytes() + 768), paletteBefore);

  const auto pixelsBefore = host.Snapshot();
  bitmap.New(5, 5, TPixelFormat::Indexed8);
  EXPECT_EQ(bitmap.HostMap(), nullptr);
  bitmap.SetIntensity(0, 0, 1);
  std::memset(bitmap.Palette(), 0, 768);
  EXPECT_EQ(host.Snapshot(), pixelsBefore);
  EXPECT_EQ(std::vector<uint8_t>(host.PaletteBytes(), host.PaletteBytes() + 768), paletteBefore);
}

TEST(PluginLinearBitmap, RefusesRecordsItCannotAddress) {
  auto host = THostImageBuffer::Make24Bit(4, 4);
  auto expectRefusal = [](THostImage record, const char* message) {
    try {
      TPluginLinearBitmap bitmap(record);
      ADD_FAILURE() << "accepted " << record.Width << "x" << record.Height;
    } catch (const ELinearBitmap& error) {
      EXPECT_STREQ(error.what(), message);
    }
  };
  THostImage record = host.Record();
  record.Width = 0;
  expectRefusal(record, "Invalid bitmap size");
  record = host.Record();
  record.Height = -1;
  expectRefusal(record, "Invalid bitmap size");
  record = host.Record();
  record.Pixels = nullptr;
  expectRefusal(record, "Invalid bitmap size");
  for (int32_t code : {0, 2, 5, int32_t{hfFloat}, int32_t{hfComplex}}) {
    record = host.Record();
    record.PixelFormat = code;
    expectRefusal(record, "Unsupported pixel format");
  }
  // Rows shorter than their pixels would run the last row past the host's block.
  record = host.Record();
  record.BytesPerLine = 11;
  expectRefusal(record, "Invalid bitmap size");
  record.BytesPerLine = -12;
  expectRefusal(record, "Invalid bitmap size");
  record = host.Record();
  record.BytesPerLine = 1 << 20;
  record.Height = 1 << 12;
  expectRefusal(record, "Invalid bitmap size");
}

TEST(PluginLinearBitmap, ThirtyTwoBitHostImagesAreViewedToo) {
  auto host = THostImageBuffer::Make32Bit(3, 2);
  TPluginLinearBitmap bitmap(host.Record());
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::Bgrx32);
  const uint8_t* pixel = host.Pixels() + 1 * 12 + 2 * 4;
  EXPECT_EQ(bitmap.GetPixel(2, 1), PackColor(pixel[2], pixel[1], pixel[0]));
}

}  // namespace
