#include "profile/ProfileSession.h"

#include <algorithm>
#include <cmath>

#include "image/FloatMap.h"
#include "profile/SampleHighlight.h"

bool SavedIntegrate = false;
bool SavedDirection = false;
bool SavedFitToValues = false;
std::optional<TValueSpan> SavedValueRange;
bool SavedLogScale = false;
TKeptCurves SavedKeptCurves;
bool SavedKeptAtCentre = false;
bool SavedShowAxes = false;
bool SavedShowGrid = false;
TLegendChoice SavedLegend = TLegendChoice::Default;
TPixelSize SavedPixelSize;
int SavedLineWidth = 1;

// Opening the record puts back what the last one kept.
void TProfileSession::Rebuild(TProfileMode mode) {
  TProfileRaster raster = Raster;
  raster.Saved = nullptr;
  FHighlighted.reset();
  FMode = mode;
  if (raster.Bitmap) {
    FSavedPixels.Start();
    raster.Saved = &FSavedPixels;
  }
  SampleProfile(raster, Selection, mode, FProfile);
  AlignKeptCurves();
}

std::pair<int, int> TProfileSession::ImageSize() const noexcept {
  if (Raster.Map) return {Raster.Map->Width(), Raster.Map->Height()};
  if (Raster.Bitmap) return {Raster.Bitmap->Width(), Raster.Bitmap->Height()};
  return {0, 0};
}

void TProfileSession::AlignKeptCurves() {
  FKept.clear();
  FKeptAligned.clear();
  FKeptGreatest = -HUGE_VAL;
  for (size_t i = 0; i < SavedKeptCurves.Size(); ++i) {
    const TKeptCurve& kept = SavedKeptCurves[i];
    FKeptAligned.push_back(
        {kept.Name, kept.Color, AlignedToProfile(kept.Values, FProfile.Profile.size(), SavedKeptAtCentre)});
    for (double value : FKeptAligned.back().Values)
      if (std::isfinite(value)) FKeptGreatest = std::max(FKeptGreatest, value);
  }
  // The series borrow the copies, which no longer move.
  for (const TKeptCurve& kept : FKeptAligned) FKept.push_back({kept.Values, kept.Color, kept.Name});
}

// The highlight's marks lie above the profile's in the record: putting them back leaves
// the profile's marks and the image under them as they were.
bool TProfileSession::Highlight(std::optional<size_t> sample) {
  if (!Raster.Bitmap || !FSavedPixels.Saved() || sample == FHighlighted) return false;
  if (sample && *sample >= FProfile.Profile.size()) return false;
  if (!FHighlighted) FMarks = FSavedPixels.Count();
  FSavedPixels.PutBackAbove(FMarks);
  FHighlighted = sample;
  if (!sample) return true;
  const TSamplePoint point = FMode.Integrate ? TSamplePoint{} : FProfile.Points.Points()[*sample];
  TProfileRaster raster = Raster;
  raster.Saved = &FSavedPixels;
  MarkHighlight(raster, Selection, FMode, point, *sample);
  return true;
}

void TProfileSession::PaintOverview(const TOverviewView& view, TViewSize size, const TValueStretch& stretch,
                                    TViewPixel background, const TViewTarget& target) const {
  ::PaintOverview(Raster, FSavedPixels.Saved() ? &FSavedPixels : nullptr, view, size, stretch, background, target);
}

TProfilePlotData TProfileSession::PlotData(int planeIndex, int margin, const std::optional<TPlotView>& view) const {
  TProfilePlotData data;
  data.Profile = FProfile.Profile;
  data.TotalSamples = FProfile.Profile.size();
  data.ProfileRGB = FProfile.ProfileRGB;
  data.Spread = FProfile.Spread;
  data.SpreadAverage = FProfile.SpreadAverage;
  data.SpreadRGB = FProfile.SpreadRGB;
  if (view && view->First + view->Count <= data.Profile.size()) {
    // Every array is as long as the profile or empty.
    const auto inView = [&view](auto& values) {
      if (!values.empty()) values = values.subspan(view->First, view->Count);
    };
    inView(data.Profile);
    inView(data.ProfileRGB);
    inView(data.Spread);
    inView(data.SpreadAverage);
    inView(data.SpreadRGB);
    data.FirstSample = view->First;
  }
  data.Kept = FKept;
  data.ComplexMap = Raster.Map != nullptr;
  data.PlaneIndex = planeIndex;
  data.Margin = margin;
  // From zero, the kept curves' greatest value raises the scale like the profile's own.
  data.MaxValue = std::max(FProfile.MaxValue, FKeptGreatest);
  return data;
}
