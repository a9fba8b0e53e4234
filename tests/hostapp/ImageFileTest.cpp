#include "host/ImageFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

namespace {

// The same 4 x 2 picture as JPEG (colour and gray), GIF and uncompressed TIFF, made by a
// common conversion tool: red, green, blue, white; black, gray, yellow, cyan.
const uint32_t Picture[2][4] = {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, {0x000000, 0x808080, 0xFFFF00, 0x00FFFF}};

std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// The colour of pixel (x, y) as 0xRRGGBB, through the palette for an 8-bit image.
uint32_t ColorAt(const THostBitmap& bitmap, int x, int y) {
  const uint8_t* bgr = bitmap.PixelFormat() == hf24Bit ? bitmap.Row(y) + 3 * x : bitmap.Palette().data() + 3 * bitmap.Row(y)[x];
  return uint32_t{bgr[2]} << 16 | bgr[1] << 8 | bgr[0];
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
  return true;
}

// A picture of 4 x 2 pixels as a JPEG, a GIF and a TIFF file.
const std::string JpegHex =
    "ffd8ffe000104a46494600010100000100010000ffdb0043000101010101010101010101010101010101010101010101"
    "0101010101010101010101010101010101010101010101010101010101010101010101010101010101ffdb0043010101"
    "010101010101010101010101010101010101010101010101010101010101010101010101010101010101010101010101"
    "0101010101010101010101010101ffc00011080002000403011100021101031101ffc400140001000000000000000000"
    "00000000000009ffc4001e10000300010403000000000000000000000405061603070809131415ffc400150101010000"
    "000000000000000000000000070affc4001c1100020203010100000000000000000000050604070203080109ffda000c"
    "03010002110311003f00413acdb1ae8febbf856d64aa68e599ee271e61ae77018ce3c6690fbab5f1171b985898b0a148"
    "a7a9c423e46572077a8736c6e5a711fb7f3122c1454ce228105822f4a2f9e8510d81ae7a2f5a957a10bc6d2484222a98"
    "e78e7cb34baca68d9b86e86aebe52c8b09fec12218269823a73bbc3836498db4f331a9f36787ec55d772d71d2e93a6bc"
    "b6ecd42d2e94e796338ea4c7d6a57d4d961385d7764f6e7b66d60cac1c0eb9b4cec3098c6d053c946cdcbc71904e74ad"
    "d8f99f9fffd9";
const std::string GifHex =
    "47494638396104000200f20700000000ff000000ff00ffff000000ff00ffff808080ffffff21f90400000000002c0000"
    "000004000200000306184207362501003b";
const std::string TiffHex =
    "49492a0020000000ff000000ff000000ffffffff000000808080ffff0000ffff0f000001030001000000040000000101"
    "030001000000020000000201030003000000da0000000301030001000000010000000601030001000000020000000a01"
    "030001000000010000001101040001000000080000001201030001000000010000001501030001000000030000001601"
    "030001000000020000001701040001000000180000001c01030001000000010000002901030002000000000001003e01"
    "050002000000100100003f01050006000000e00000000000000008000800080085eb510000008000c3f5a80000000002"
    "cdcc4c0000000001cdcc4c0000008000cdcc4c00000000028fc2f50000000010371aa000000000022b870a0000002000";

}  // namespace

TEST(ImageFile, ReadsJpegGifAndTiffThroughThePlatformsCodecs) {
  const THostBitmap jpeg = DecodeImage(FromHex(JpegHex));
  const THostBitmap gif = DecodeImage(FromHex(GifHex));
  const THostBitmap tiff = DecodeImage(FromHex(TiffHex));
  EXPECT_EQ(jpeg.PixelFormat(), hf24Bit);
  EXPECT_EQ(gif.PixelFormat(), hf8Bit);
  EXPECT_EQ(tiff.PixelFormat(), hf24Bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      EXPECT_TRUE(Near(ColorAt(jpeg, x, y), Picture[y][x], 8)) << x << "," << y << ": " << std::hex << ColorAt(jpeg, x, y);
      EXPECT_EQ(ColorAt(gif, x, y), Picture[y][x]) << x << "," << y;
      EXPECT_EQ(ColorAt(tiff, x, y), Picture[y][x]) << x << "," << y;
    }
  // A gray JPEG is an 8-bit image without a palette, as a gray PNG is.
  THostBitmap gray = DecodeImage(FromHex(
    "ffd8ffe000104a46494600010100000100010000ffdb0043000101010101010101010101010101010101010101010101"
    "0101010101010101010101010101010101010101010101010101010101010101010101010101010101ffc0000b080002"
    "000401011100ffc40014000100000000000000000000000000000009ffc4001b10000301000301000000000000000000"
    "000405060302080907ffda0008010100003f005bbc9478ea6bcd0e923a9c6ed27dc7d0bafb0f5f7cd92302d533b8ad08"
    "4d2043a8af3c0db02a9688485878b8a19dbad4d67849484bce644f04f3ea4313ffd9"));
  ASSERT_EQ(gray.PixelFormat(), hf8Bit);
  EXPECT_EQ(gray.Record().Palette, nullptr);
  EXPECT_NEAR(gray.Row(0)[1], 182, 4);
}

TEST(ImageFile, RefusesDataOfNoKnownFormatAndNamesCutFilesDamaged) {
  EXPECT_THROW(DecodeImage({}), EInvalidImage);
  EXPECT_THROW(DecodeImage({'G', 'I', 'F', '8'}), EInvalidImage);
  const std::vector<uint8_t> png = MakePng(4, 4, 2);
  // A file cut short in any format the host reads is named as such.
  for (const std::vector<uint8_t>& whole : {png, FromHex(JpegHex), FromHex(GifHex), FromHex(TiffHex)}) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(whole.size() * 2 / 3));
    try {
      DecodeImage(cut);
      ADD_FAILURE() << "a cut file of " << whole.size() << " bytes was read";
    } catch (const EInvalidImage& error) {
      EXPECT_STREQ(error.what(), "The image file is truncated or damaged") << whole.size() << " bytes";
    }
  }
  // JPEG streams that made decoders write past a table or read undefined ones.
  EXPECT_THROW(DecodeImage(FromHex("ffd8ffc4001001ffd9")), EInvalidImage);
  EXPECT_THROW(DecodeImage(FromHex("ffd8ffc20011080010001003012200021101001101ffda000c03")), EInvalidImage);
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
