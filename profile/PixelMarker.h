#pragma once
// Every mark that sampling writes into a bitmap goes through a marker, so that the raster's
// record, if any, keeps each pixel's bytes before the mark overwrites them. A mark outside
// the bitmap writes and keeps nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "image/LinarBitmap.h"
#include "profile/ColorSample.h"
#include "profile/ProfileSampling.h"
#include "profile/SavedPixels.h"

class TPixelMarker {
 public:
  explicit TPixelMarker(const TProfileRaster& raster) : FBitmap(*raster.Bitmap), FSaved(raster.Saved) {}

  // Room in the record for up to `marks` marks, the ones outside the bitmap not counted.
  void Reserve(int64_t marks);
  void SetIntensity(int x, int y, uint32_t value) {
    const bool kept = Keep(x, y);
    try {
      FBitmap.SetIntensity(x, y, value);
    } catch (...) {
      if (kept) FSaved->Forget();
      throw;
    }
  }
  // Starts fetching the pixel at about (x, y), clamped into the image; a fetch never faults.
  void FetchPixel(double x, double y) {
    if (FBitmap.Width() < 1 || FBitmap.Height() < 1) return;
    const int column = static_cast<int>(std::clamp(x, 0.0, FBitmap.Width() - 1.0));
    const uint8_t* row = FBitmap.Row(static_cast<int>(std::clamp(y, 0.0, FBitmap.Height() - 1.0)));
    __builtin_prefetch(row + static_cast<ptrdiff_t>(column) * FBitmap.PixelSize(), 1);
  }
  // Line mode's sample and mark of a 24-bit pixel through one pointer: the channels are
  // read, the bytes kept and the level written. Outside the bitmap the nearest edge pixel is
  // read, as the bitmap's accessor reads, and nothing is marked.
  TColorSample SampleAndMarkBgr(int x, int y, uint8_t level) {
    uint8_t* pixel = PixelInside(x, y);
    if (!pixel) {
      const TColor color = FBitmap.GetPixel(x, y);
      return {static_cast<double>(RedOf(color)), static_cast<double>(GreenOf(color)),
              static_cast<double>(BlueOf(color))};
    }
    const TColorSample sample{static_cast<double>(pixel[2]), static_cast<double>(pixel[1]),
                              static_cast<double>(pixel[0])};
    MarkPixel(pixel, level);
    return sample;
  }
  void MarkLevel(int64_t x, int64_t y, uint8_t level) {
    if (uint8_t* pixel = PixelInside(x, y)) MarkPixel(pixel, level);
  }
  // Integrate mode's marks of the image's lines `first` to `last`: on each line, the pixels
  // at the four positions `along` it that lie inside the image, in that order, each line's
  // level one above the level of the line before. The positions are the same on every
  // line, so each is checked once.
  void MarkAlongLines(bool byRows, const int64_t (&along)[4], int first, int last, uint8_t level);

 private:
  // Keeps the pixel's bytes, then writes a gray level below 256 in the bytes SetIntensity
  // and the bitmap's SetPixel write for it. A mark that cannot be written (a read-only
  // image) keeps nothing: its bytes never changed.
  void MarkPixel(uint8_t* pixel, uint8_t level) {
    if (FSaved) FSaved->Keep(pixel, FBitmap.PixelSize());
    try {
      switch (FBitmap.PixelFormat()) {
        case TPixelFormat::Bgr24: pixel[2] = pixel[1] = level; break;
        case TPixelFormat::Gray16: pixel[1] = 0; break;
        default: break;
      }
      pixel[0] = level;
    } catch (...) {
      if (FSaved) FSaved->Forget();
      throw;
    }
  }
  // The pixel at (x, y), or null outside the bitmap.
  uint8_t* PixelInside(int64_t x, int64_t y) const noexcept {
    if (x < 0 || y < 0 || x >= FBitmap.Width() || y >= FBitmap.Height()) return nullptr;
    return FBitmap.Row(static_cast<int>(y)) + static_cast<ptrdiff_t>(x) * FBitmap.PixelSize();
  }
  // True when the pixel's bytes were kept.
  bool Keep(int x, int y) {
    uint8_t* pixel = PixelInside(x, y);
    if (!FSaved || !pixel) return false;
    FSaved->Keep(pixel, FBitmap.PixelSize());
    return true;
  }

  TLinearBitmap& FBitmap;
  TSavedPixels* const FSaved;
};
