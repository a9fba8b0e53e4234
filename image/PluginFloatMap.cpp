#include "image/PluginFloatMap.h"

#include "errors/Exceptions.h"
#include "image/HostBytes.h"
#include "resources/Texts.h"

namespace {

// An empty image, or one without memory, would leave the profile an empty map to sample.
void CheckHostImage(const THostImage& image) {
  if (image.Width < 1 || image.Height < 1 || !image.Pixels) throw Exception(S_INVALID_BITMAP_SIZE);
}

}  // namespace

void HostImageToFloatMap(TFloatMap& map, const THostImage& image) {
  CheckHostImage(image);
  map.New(image.Width, image.Height);
  CopyHostBytes(map.Map(), image.Pixels, map.Size());
}

void HostImageToComplexMap(TComplexMap& map, const THostImage& image) {
  CheckHostImage(image);
  map.New(image.Width, image.Height);
  CopyHostBytes(map.Map(), image.Pixels, map.Size());
}

std::unique_ptr<TComplexMap> HostImageToProfileMap(const THostImage& image) {
  if (image.PixelFormat == hfFloat) {
    TFloatMap floats;
    HostImageToFloatMap(floats, image);
    return std::make_unique<TComplexMap>(floats);
  }
  if (image.PixelFormat != hfComplex) throw Exception(S_UNSUPPORTED_PIXEL_FORMAT);
  auto map = std::make_unique<TComplexMap>();
  HostImageToComplexMap(*map, image);
  return map;
}
