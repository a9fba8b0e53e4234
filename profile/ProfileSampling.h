#pragma once
// Profile sampling: turns the selection of an image into the series of values that the
// profile dialog plots, either along a diagonal (line mode) or as the sums of the
// selection's rows or columns (integrate mode), and marks the sampled pixels of a bitmap
// so that the host's view shows where the profile runs. No window is involved. This is
// the profile, the raster and the mode they share, and the rebuild that picks the mode.

#include <cstdint>
#include <string>
#include <vector>

#include "hostabi/HostInterface.h"
#include "image/LinarBitmap.h"
#include "profile/ColorSample.h"
#include "profile/ProfileSums.h"

class TComplexMap;
class TSavedPixels;

// The image coordinates of one sample of the line walk: where its value was read.
struct TSamplePoint {
  int32_t X;
  int32_t Y;
  friend bool operator==(const TSamplePoint&, const TSamplePoint&) = default;
};

// A line's sample points, walked once when they are first asked for and then kept: the
// highlight and the values' places share them.
class TLinePoints {
 public:
  TLinePoints() = default;
  TLinePoints(const TRect& selection, bool direction) : FSelection(selection), FDirection(direction) {}

  const std::vector<TSamplePoint>& Points() const;

 private:
  TRect FSelection{};
  bool FDirection = false;
  mutable std::vector<TSamplePoint> FPoints;
};

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
  // Line mode's sample points (the line's walk; none in integrate mode).
  TLinePoints Points;
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

// The rebuild the dialog runs: integrate mode, line mode across a band or along the line
// (LineSampling, BandSampling, IntegratedSampling), by the mode. Marks are written into a
// bitmap's pixels; the caller restores them.
void SampleProfile(const TProfileRaster& raster, const TRect& selection, TProfileMode mode, TProfile& profile);
