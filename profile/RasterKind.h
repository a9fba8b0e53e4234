#pragma once
// What sampling needs to know of the dialog's raster: which kind of samples it gives, and
// how a complex map's component is read, clamped to the map's edge as a bitmap's reads are.

#include <algorithm>
#include <climits>
#include <cstdint>

#include "image/FloatMap.h"
#include "profile/ProfileSampling.h"

enum class TRasterKind { Color, Gray, Complex };

// The kind of the raster's samples. A bitmap format other than 8-bit, 16-bit gray or 24-bit
// raises "Unsupported pixel format", a map without elements "Invalid bitmap size".
TRasterKind KindOf(const TProfileRaster& raster);

// The plane group's item for a complex map: "Complex" is the imaginary part, anything else
// the real part, so that no item reads beyond the element's pair.
inline int ComponentOf(const TProfileRaster& raster) { return raster.Plane == 1 ? 1 : 0; }

// Reads outside the map clamp to the nearest edge element, as the bitmap's reads do: the
// map is a private copy with nothing around it.
inline double ComponentAt(const TComplexMap& map, int component, int64_t x, int64_t y) {
  const int column = static_cast<int>(std::clamp<int64_t>(x, 0, map.Width() - 1));
  const int row = static_cast<int>(std::clamp<int64_t>(y, 0, map.Height() - 1));
  return map.Element(column, row)[component];
}

// Positions beyond the int range lie outside every image; -1 and INT_MAX keep them outside,
// both for reads (which clamp) and for writes (which are skipped).
inline int Coordinate(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, -1, INT_MAX)); }
