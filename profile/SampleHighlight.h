#pragma once
// The highlight of the pixels that the readout's sample comes from: a cross of 7 x 7 pixels
// (alternately white and black from its white middle) on each of the sample's pixels, its
// line's pixel in line mode, the two ends of its row or column in integrate mode.

#include <cstddef>

#include "profile/ProfileSampling.h"

// Written through the raster's record like every mark; nothing for a complex map.
void MarkHighlight(const TProfileRaster& raster, const TRect& selection, TProfileMode mode, TSamplePoint point,
                   size_t sample);
