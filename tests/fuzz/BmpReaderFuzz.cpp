// Fuzz entry for the reference host's BMP reader: any bytes are read into an image or
// refused with the reader's error; an image read writes back as a file that reads the same.

#include <cstdlib>
#include <cstring>
#include <memory>

#include "host/BmpFile.h"
#include "tests/fuzz/FuzzEntries.h"

namespace {

// Run lengths let a few bytes describe an image as large as the host holds (2 GiB), which
// is no fault but would spend the fuzzer's time on zeroing memory: such headers are skipped.
bool DescribesAHugeImage(const uint8_t* data, size_t size) {
  if (size < 26) return false;
  int32_t width, height;
  std::memcpy(&width, data + 18, 4);
  std::memcpy(&height, data + 22, 4);
  const int64_t rows = height < 0 ? -int64_t{height} : height;
  return int64_t{width} * rows > (int64_t{1} << 22);
}

}  // namespace

int FuzzBmpReader(const uint8_t* data, size_t size) {
  if (DescribesAHugeImage(data, size)) return 0;
  // The bytes in a block of their own size, so that a read past them is caught.
  auto file = std::make_unique<uint8_t[]>(size + 1);
  std::memcpy(file.get(), data, size);
  try {
    const THostBitmap image = DecodeBmp(file.get(), size);
    const std::vector<uint8_t> written = EncodeBmp(image);
    const THostBitmap again = DecodeBmp(written.data(), written.size());
    if (again.Width() != image.Width() || again.Height() != image.Height()) std::abort();
    for (int32_t y = 0; y < image.Height(); ++y)
      if (std::memcmp(again.Row(y), image.Row(y), static_cast<size_t>(image.BytesPerLine())) != 0) std::abort();
  } catch (const Exception&) {
  }
  return 0;
}
