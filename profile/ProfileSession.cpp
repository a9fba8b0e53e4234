#include "profile/ProfileSession.h"

bool SavedIntegrate = false;
bool SavedDirection = false;
bool SavedFitToValues = false;
bool SavedShowAxes = false;
int SavedLineWidth = 1;

// Opening the record puts back what the last one kept.
void TProfileSession::Rebuild(TProfileMode mode) {
  TProfileRaster raster = Raster;
  raster.Saved = nullptr;
  if (raster.Bitmap) {
    FSavedPixels.Start();
    raster.Saved = &FSavedPixels;
  }
  SampleProfile(raster, Selection, mode, FProfile);
}

TProfilePlotData TProfileSession::PlotData(int planeIndex, int margin, bool fitToValues,
                                           const std::optional<TPlotView>& view) const {
  TProfilePlotData data;
  data.Profile = FProfile.Profile;
  data.ProfileRGB = FProfile.ProfileRGB;
  if (view && view->First + view->Count <= data.Profile.size()) {
    data.Profile = data.Profile.subspan(view->First, view->Count);
    if (!data.ProfileRGB.empty()) data.ProfileRGB = data.ProfileRGB.subspan(view->First, view->Count);
    data.FirstSample = view->First;
  }
  data.MaxValue = FProfile.MaxValue;
  data.ComplexMap = Raster.Map != nullptr;
  data.PlaneIndex = planeIndex;
  data.Margin = margin;
  if (fitToValues) {
    const TValueSpan span = CurveValueSpan(data);
    data.MinValue = span.Least;
    data.MaxValue = span.Greatest;
  }
  return data;
}
