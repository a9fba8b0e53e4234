#include "profile/RasterKind.h"

#include <cassert>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

// A map without elements has no edge to clamp to.
void CheckMap(const TComplexMap& map) {
  if (map.Width() < 1 || map.Height() < 1) throw Exception(S_INVALID_BITMAP_SIZE);
}

}  // namespace

TRasterKind KindOf(const TProfileRaster& raster) {
  assert((raster.Bitmap != nullptr) != (raster.Map != nullptr) && "exactly one raster");
  if (!raster.Bitmap) {
    CheckMap(*raster.Map);
    return TRasterKind::Complex;
  }
  switch (raster.Bitmap->PixelFormat()) {
    case TPixelFormat::Bgr24: return TRasterKind::Color;
    case TPixelFormat::Indexed8:
    case TPixelFormat::Gray16: return TRasterKind::Gray;
    default: throw Exception(S_UNSUPPORTED_PIXEL_FORMAT);
  }
}
