#pragma once
// Line mode: one sample per pixel step along a diagonal of the selection, each pixel of a
// bitmap marked with its sample's gray level (i mod 256) once it has been read.

#include "profile/ProfileSampling.h"

// Writes marks into a bitmap's pixels; the caller restores them. A bitmap format other than
// 8-bit, 16-bit gray or 24-bit raises "Unsupported pixel format" before anything is changed.
void SampleLine(const TProfileRaster& raster, const TRect& selection, bool direction, TProfile& profile);
