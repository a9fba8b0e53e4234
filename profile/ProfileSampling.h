#pragma once
// Profile sampling: turns the selection of an image into the series of values that the
// profile dialog plots, either along a diagonal (line mode) or as the sums of the
// selection's rows or columns (integrate mode), and marks the sampled pixels of a bitmap
// so that the host's view shows where the profile runs. No window is involved.

#include <cstdint>
#include <string>
#include <vector>

#include "image/LinarBitmap.h"
#include "image/Rounding.h"
#include "hostabi/HostInterface.h"
#include "profile/ColorSample.h"
#include "profile/ProfileSums.h"

class TComplexMap;
class TSavedPixels;

// What one rebuild of the profile produces; the dialog copies it into its fields.
struct TProfile {
  std::vector<double> Profile;
  // Per-channel samples of a 24-bit bitmap, as long as Profile; empty for other rasters.
  std::vector<TColorSample> ProfileRGB;
  // Top of the plot's value scale.
  double MaxValue = 1;
  // The caption of the dialog's length label.
  std::string LengthLabel;
  // Gray bitmaps have one plane only: the plane choice is to be disabled.
  bool PlaneGroupDisabled = false;
  // A band wider than a pixel: each sample's standard deviation over the band's pixels, as
  // long as Profile (of the gray values for a colour image), and per channel for a colour
  // image; empty for a line of one pixel.
  std::vector<double> Spread;
  std::vector<TColorSample> SpreadRGB;
  std::vector<double> SpreadAverage;
  // Integrate mode's working memory, kept from one rebuild to the next.
  TSumWork Work;
  // A band's samples while the centre line is sampled and marked; afterwards the line's
  // arrays, kept as the next band's.
  struct TBandWork {
    std::vector<double> Profile, Spread, SpreadAverage;
    std::vector<TColorSample> ProfileRGB, SpreadRGB;
  };
  TBandWork Band;
};

// The dialog's raster: exactly one of Bitmap and Map is set. Plane is the plane group's
// item, which for a complex map picks the component: 1 the imaginary part, else the real.
// Saved, when set, keeps the bytes of every pixel of the bitmap before a mark overwrites
// it; its record must be open (Start).
struct TProfileRaster {
  TLinearBitmap* Bitmap = nullptr;
  const TComplexMap* Map = nullptr;
  int Plane = 0;
  TSavedPixels* Saved = nullptr;
};

// The two check boxes of the dialog, and the line's width in pixels (line mode only).
struct TProfileMode {
  bool Integrate = false;
  // The other diagonal in line mode; rows instead of columns in integrate mode.
  bool Direction = false;
  int Width = 1;
};

// Sampling writes marks into a bitmap's pixels; the caller restores them. A bitmap format
// other than 8-bit, 16-bit gray or 24-bit raises "Unsupported pixel format" before
// anything is changed.
void SampleLine(const TProfileRaster& raster, const TRect& selection, bool direction, TProfile& profile);
void SampleIntegrated(const TProfileRaster& raster, const TRect& selection, bool direction, TProfile& profile);
// The image coordinates of the line walk's samples, one per sample of SampleLine over the
// same selection and diagonal, copies included: where each value was read.
struct TSamplePoint {
  int32_t X;
  int32_t Y;
  friend bool operator==(const TSamplePoint&, const TSamplePoint&) = default;
};
std::vector<TSamplePoint> SampleLinePoints(const TRect& selection, bool direction);
// Line mode across a band `width` pixels wide (odd): sample i is the mean of the pixels met
// by stepping from sample i's pixel along the line's normal, at offsets -(width - 1) / 2 ..
// (width - 1) / 2, each rounded to the nearest pixel (ties to even); reads outside the
// image clamp to its edge. Every plane is the mean of the same pixels, and the spread is
// their standard deviation. The centre line is marked as a line of one pixel is, and so
// are the band's two edge lines, with the same levels.
void SampleBand(const TProfileRaster& raster, const TRect& selection, bool direction, int width, TProfile& profile);
// The highlight of the pixels that the readout's sample comes from: a cross of 7 x 7 pixels
// (alternately white and black from its white middle) on each of the sample's pixels, its
// line's pixel in line mode, the two ends of its row or column in integrate mode. Written
// through the raster's record like every mark; nothing for a complex map.
void MarkHighlight(const TProfileRaster& raster, const TRect& selection, TProfileMode mode, TSamplePoint point,
                   size_t sample);

// The rebuild the dialog runs: one of the two by the integrate box.
void SampleProfile(const TProfileRaster& raster, const TRect& selection, TProfileMode mode, TProfile& profile);
