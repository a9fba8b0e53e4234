#pragma once
// The host's real and complex images as maps. The maps hold copies: nothing here or later
// writes to the host's float or complex memory.

#include <memory>

#include "image/FloatMap.h"
#include "hostabi/HostInterface.h"

// Size the map to the image and copy its packed elements in one block; the host's
// BytesPerLine is not used.
void HostImageToFloatMap(TFloatMap& map, const THostImage& image);
void HostImageToComplexMap(TComplexMap& map, const THostImage& image);

// The raster the profile works on for an hfFloat or hfComplex image: a complex map whose
// imaginary parts are 0 for a float image.
std::unique_ptr<TComplexMap> HostImageToProfileMap(const THostImage& image);
