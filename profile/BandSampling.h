#pragma once
// Line mode across a band wider than a pixel: each sample the mean of the pixels across the
// line, with their standard deviation as its spread.

#include "profile/ProfileSampling.h"

// A band `width` pixels wide (odd): sample i is the mean of the pixels met by stepping from
// sample i's pixel along the line's normal, at offsets -(width - 1) / 2 .. (width - 1) / 2,
// each rounded to the nearest pixel (ties to even); reads outside the image clamp to its
// edge. Every plane is the mean of the same pixels, and the spread is their standard
// deviation. The centre line is marked as a line of one pixel is, and so are the band's two
// edge lines, with the same levels. A width of 1 is the line itself.
void SampleBand(const TProfileRaster& raster, const TRect& selection, bool direction, int width, TProfile& profile);
