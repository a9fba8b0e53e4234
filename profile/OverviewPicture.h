#pragma once
// The picture of the image that the line window shows under the line: each pixel of the
// view takes the colour of the image pixel under its centre, so a view of the whole image
// reads only as many pixels as it shows. An 8-bit image goes through its palette, a 24-bit
// one is taken as it is, and the values of a real or complex image (the plane plotted) are
// stretched from black at their least to white at their greatest. The marks the profile
// wrote into a bitmap are not shown: their pixels take the bytes the record kept.

#include <cstddef>
#include <cstdint>

#include "profile/OverviewView.h"
#include "profile/ProfileSampling.h"

// The raster's size in pixels (none without a raster).
TImageSize ImageSizeOf(const TProfileRaster& raster) noexcept;

// A map's values that draw black and white.
struct TValueStretch {
  double Least = 0;
  double Greatest = 0;
};

// The least and greatest of the map's values in the plane, over a grid of at most 512 x 512
// of its elements spread across the whole map (not every value: a few may lie outside and
// draw as black or white).
TValueStretch StretchOf(const TProfileRaster& raster) noexcept;

// Pixels as a 32-bit device-independent bitmap holds them: blue in the low byte.
using TViewPixel = uint32_t;

// Where the view is drawn: its top row, and the step from one row to the next in pixels
// (negative for a bitmap stored bottom up), so that the picture goes straight into a
// window's buffer.
struct TViewTarget {
  TViewPixel* Top;
  ptrdiff_t Stride;
  TViewPixel* Row(size_t y) const noexcept { return Top + static_cast<ptrdiff_t>(y) * Stride; }
};

// Draws the view of the raster into the target; what lies outside the image takes
// `background`. A bitmap's marks are looked up in `kept`.
void PaintOverview(const TProfileRaster& raster, const TSavedPixels* kept, const TOverviewView& view, TViewSize size,
                   const TValueStretch& stretch, TViewPixel background, const TViewTarget& target);
