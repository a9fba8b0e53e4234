// Fuzz entry for the readers of the host's records: a record of any shape and format over
// pixel memory of exactly the size it claims (or less, for the refusals), read as a
// host-backed bitmap or copied into a complex map, then taken apart into its parts.

#include <cstdlib>
#include <cstring>
#include <memory>

#include "errors/Exceptions.h"
#include "image/FloatMap.h"
#include "image/PluginFloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

constexpr int32_t Formats[] = {hf8Bit, hf24Bit, hf32Bit, hfFloat, hfComplex, 0, 7};

int64_t PixelBytes(const THostImage& image) {
  const int64_t rows = std::max(0, image.Height);
  if (image.PixelFormat == hfFloat) return int64_t{std::max(0, image.Width)} * rows * 8;
  if (image.PixelFormat == hfComplex) return int64_t{std::max(0, image.Width)} * rows * 16;
  return int64_t{std::max(0, image.BytesPerLine)} * rows;
}

}  // namespace

int FuzzHostMaps(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  THostImage image{};
  image.Width = input.Range(-2, 40);
  image.Height = input.Range(-2, 40);
  image.PixelFormat = Formats[input.Byte() % 7];
  const int pixelSize = image.PixelFormat == hf24Bit ? 3 : image.PixelFormat == hf32Bit ? 4 : 1;
  image.BytesPerLine = input.Flag() ? input.Range(-4, 200) : image.Width * pixelSize;
  const int64_t bytes = PixelBytes(image);
  if (bytes > 1 << 20) return 0;
  auto pixels = std::make_unique<uint8_t[]>(static_cast<size_t>(bytes) + 1);
  size_t rest = 0;
  const uint8_t* fill = input.Rest(rest);
  std::memcpy(pixels.get(), fill, std::min<size_t>(rest, static_cast<size_t>(bytes)));
  image.Pixels = pixels.get();
  uint8_t palette[768] = {};
  image.Palette = (bytes & 1) ? palette : nullptr;
  try {
    if (image.PixelFormat == hfFloat || image.PixelFormat == hfComplex) {
      const std::unique_ptr<TComplexMap> map = HostImageToProfileMap(image);
      TFloatMap part;
      for (const TComplexPart each : {cpReal, cpImaginary, cpMagnitude, cpPhase}) part.AssignComplex(*map, each);
      if (part.Count() != map->Count()) std::abort();
    } else {
      TPluginLinearBitmap bitmap(image);
      for (int y = -1; y <= bitmap.Height(); ++y)
        for (int x = -1; x <= bitmap.Width(); x += 3) bitmap.GetPixel(x, y);
      TLinearBitmap copy;
      copy.Assign(bitmap);
    }
  } catch (const Exception&) {
  }
  return 0;
}
