#include "profile/ProfileSampling.h"

#include "profile/BandSampling.h"
#include "profile/IntegratedSampling.h"
#include "profile/LineSampling.h"
#include "profile/LineWalk.h"
#include "profile/ProfileArrays.h"

void SampleProfile(const TProfileRaster& raster, const TRect& selection, TProfileMode mode, TProfile& profile) {
  ClearSpread(profile);
  if (mode.Integrate) {
    SampleIntegrated(raster, selection, mode.Direction, profile);
  } else if (mode.Width > 1) {
    SampleBand(raster, selection, mode.Direction, mode.Width, profile);
  } else {
    SampleLine(raster, selection, mode.Direction, profile);
  }
}

const std::vector<TSamplePoint>& TLinePoints::Points() const {
  if (FPoints.empty()) FPoints = SampleLinePoints(FSelection, FDirection);
  return FPoints;
}
