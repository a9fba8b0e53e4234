#include "profile/ProfileSession.h"

#include "profile/SampleHighlight.h"

bool SavedIntegrate = false;
bool SavedDirection = false;
bool SavedFitToValues = false;
std::optional<TValueSpan> SavedValueRange;
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

TProfilePlotData TProfileSession::PlotData(int planeIndex, int margin, bool fitToValues,
                                           const std::optional<TPlotView>& view) const {
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
