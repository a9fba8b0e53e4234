#include "host/ImageFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/WinApi.h"

namespace {

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  PutBig32(out, static_cast<uint32_t>(body.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  PutBig32(out, Crc32(&out[start], out.size() - start));
}

// A zlib stream of one stored block: no compressor needed to write a valid PNG.
std::vector<uint8_t> Stored(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out{0x78, 0x01, 0x01, static_cast<uint8_t>(raw.size()), static_cast<uint8_t>(raw.size() >> 8),
                           static_cast<uint8_t>(~raw.size()), static_cast<uint8_t>(~raw.size() >> 8)};
  out.insert(out.end(), raw.begin(), raw.end());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) b = (b + (a = (a + byte) % 65521)) % 65521;
  PutBig32(out, b << 16 | a);
  return out;
}

// Colour type 0 (gray) or 2 (RGB), 8 bits; sample c of pixel (x, y) is 40y + 10x + c + 1.
std::vector<uint8_t> MakePng(int width, int height, int colourType) {
  const int channels = colourType == 2 ? 3 : 1;
  std::vector<uint8_t> raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) raw.push_back(static_cast<uint8_t>(40 * y + 10 * x + c + 1));
  }
  std::vector<uint8_t> header;
  PutBig32(header, static_cast<uint32_t>(width));
  PutBig32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, static_cast<uint8_t>(colourType), 0, 0, 0});
  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", Stored(raw));
  PutChunk(png, "IEND", {});
  return png;
}

std::string TempPath(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

}  // namespace

TEST(ImageFile, ReadsColourPngAsBlueGreenRed) {
  const THostBitmap bitmap = DecodeImage(MakePng(3, 2, 2));
  ASSERT_EQ(bitmap.PixelFormat(), hf24Bit);
  EXPECT_EQ(bitmap.BytesPerLine(), 12);
  const uint8_t* pixel = bitmap.Row(1) + 3 * 2;  // x = 2, y = 1: red 61, green 62, blue 63
  EXPECT_EQ(pixel[0], 63);
  EXPECT_EQ(pixel[1], 62);
  EXPECT_EQ(pixel[2], 61);
  EXPECT_EQ(bitmap.Row(0)[9], 0);  // the padding
}

TEST(ImageFile, ReadsGrayPngAs8BitWithoutPalette) {
  THostBitmap bitmap = DecodeImage(MakePng(5, 2, 0));
  ASSERT_EQ(bitmap.PixelFormat(), hf8Bit);
  EXPECT_EQ(bitmap.BytesPerLine(), 8);
  EXPECT_EQ(bitmap.Row(1)[4], 81);
  EXPECT_EQ(bitmap.Record().Palette, nullptr);
}

TEST(ImageFile, RefusesDataOfNoKnownFormat) {
  EXPECT_THROW(DecodeImage({}), EInvalidImage);
  EXPECT_THROW(DecodeImage({'G', 'I', 'F', '8'}), EInvalidImage);
  std::vector<uint8_t> png = MakePng(4, 4, 2);
  png.resize(png.size() - 30);
  EXPECT_THROW(DecodeImage(png), EInvalidImage);
}

TEST(ImageFile, LoadsFilesAndNamesTheOneItCannotRead) {
  const std::string path = TempPath("ostravine-host-image.png");
  WriteFileBytes(path, MakePng(2, 2, 2));
  EXPECT_EQ(LoadImageFile(path).Width(), 2);
  WriteFileBytes(path, {'x'});
  try {
    LoadImageFile(path);
    FAIL() << "no error";
  } catch (const EInvalidImage& error) {
    EXPECT_NE(std::string(error.what()).find("ostravine-host-image.png"), std::string::npos);
  }
  std::remove(path.c_str());
  EXPECT_THROW(LoadImageFile(path), EInOutError);
}
