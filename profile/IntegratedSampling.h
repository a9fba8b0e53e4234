#pragma once
// Integrate mode: one value per column of the selection or, by rows, per row, each the sum
// of the selection's pixels on it; the pixels at both ends of each line inside the image
// are marked with its gray level.

#include "profile/ProfileSampling.h"

// Writes marks into a bitmap's pixels; the caller restores them. A bitmap format other than
// 8-bit, 16-bit gray or 24-bit raises "Unsupported pixel format" before anything is changed.
void SampleIntegrated(const TProfileRaster& raster, const TRect& selection, bool direction, TProfile& profile);
