// The header-only decoder's one implementation unit, and the conversion of what it decodes
// into host bitmaps.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

#include <algorithm>
#include <limits>
#include <memory>

#include "host/ImageFile.h"
#include "host/HostTexts.h"

namespace {

struct TStbFree {
  void operator()(stbi_uc* pixels) const noexcept { stbi_image_free(pixels); }
};
using TStbPixels = std::unique_ptr<stbi_uc, TStbFree>;

// The decoder hands out packed RGB rows; the host keeps BGR rows padded to 4 bytes.
void CopyRgbRows(const stbi_uc* source, THostBitmap& bitmap) {
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    uint8_t* target = bitmap.Row(y);
    for (uint8_t* end = target + 3 * static_cast<size_t>(bitmap.Width()); target != end; target += 3, source += 3) {
      target[0] = source[2];
      target[1] = source[1];
      target[2] = source[0];
    }
  }
}

void CopyGrayRows(const stbi_uc* source, THostBitmap& bitmap) {
  const size_t width = static_cast<size_t>(bitmap.Width());
  for (int32_t y = 0; y < bitmap.Height(); ++y, source += width) std::copy(source, source + width, bitmap.Row(y));
}

}  // namespace

THostBitmap DecodeWithStb(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(std::numeric_limits<int>::max())) throw EInvalidImage(S_HOST_UNSUPPORTED_IMAGE);
  int width = 0, height = 0, channels = 0;
  const int length = static_cast<int>(size);
  if (!stbi_info_from_memory(data, length, &width, &height, &channels)) throw EInvalidImage(S_HOST_UNSUPPORTED_IMAGE);
  const bool gray = channels < 3;
  THostBitmap bitmap(width, height, gray ? hf8Bit : hf24Bit);
  const TStbPixels pixels(stbi_load_from_memory(data, length, &width, &height, &channels, gray ? 1 : 3));
  if (!pixels) throw EInvalidImage(S_HOST_DAMAGED_IMAGE);
  if (gray) CopyGrayRows(pixels.get(), bitmap);
  else CopyRgbRows(pixels.get(), bitmap);
  return bitmap;
}
