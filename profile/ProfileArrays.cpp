#include "profile/ProfileArrays.h"

#include <vector>

void SizeArrays(TProfile& profile, int64_t count, bool color) {
  SizeFor(count, [&](size_t size) {
    profile.Profile.resize(size);
    profile.ProfileRGB.resize(color ? size : 0);
  });
}

void SizeBand(TProfile::TBandWork& band, int64_t count, bool color) {
  SizeFor(count, [&](size_t size) {
    for (std::vector<double>* values : {&band.Profile, &band.Spread}) values->resize(size);
    band.SpreadAverage.resize(color ? size : 0);
    for (std::vector<TColorSample>* values : {&band.ProfileRGB, &band.SpreadRGB}) values->resize(color ? size : 0);
  });
}

void ClearSpread(TProfile& profile) {
  profile.Spread.clear();
  profile.SpreadRGB.clear();
  profile.SpreadAverage.clear();
}

void FillGrayFromColor(TProfile& profile) {
  for (size_t j = 0; j < profile.ProfileRGB.size(); ++j) profile.Profile[j] = GrayOf(profile.ProfileRGB[j]);
}
