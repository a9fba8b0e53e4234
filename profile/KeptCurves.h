#pragma once
// Curves kept from one profile to compare with the next: the list lives while the library
// stays loaded, so a curve kept in one call is there in the next, over another image or
// another selection.

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "image/LinarBitmap.h"
#include "profile/ProfileSampling.h"

struct TKeptCurve {
  // The curve, the image's size and the line or the sums ("Red, 400x300: line (0, 0) to
  // (399, 299)").
  std::string Name;
  TColor Color;
  std::vector<double> Values;
};

class TKeptCurves {
 public:
  // The most kept: beyond them the oldest goes.
  static constexpr size_t Most = 8;

  void Keep(TKeptCurve curve);
  void Clear() noexcept { FCurves.clear(); }
  bool Empty() const noexcept { return FCurves.empty(); }
  size_t Size() const noexcept { return FCurves.size(); }
  // Oldest first.
  const TKeptCurve& operator[](size_t i) const noexcept { return FCurves[i]; }

 private:
  std::deque<TKeptCurve> FCurves;
};

// A kept curve's name: the curve's, the image's width and height, and the line from end
// to end or the rows or columns summed.
std::string KeptCurveName(const char* curve, int imageWidth, int imageHeight, const TRect& selection,
                          TProfileMode mode);

// A kept curve beside a profile of `count` samples: its sample 0 at the profile's sample 0,
// or its middle at the profile's middle; NaN where it has no sample.
std::vector<double> AlignedToProfile(const std::vector<double>& values, size_t count, bool atCentre);
