#include "profile/ProfileSession.h"

#include <cstring>

#include "diagnostics/Exceptions.h"

bool SavedIntegrate = false;
bool SavedDirection = false;

void TSavedPixels::Save(uint8_t* pixels, size_t size) {
  Restore();
  auto copy = AllocateBytes(size > 0 ? size : 1);
  std::memcpy(copy.get(), pixels, size);
  FPixels = pixels;
  FSize = size;
  FCopy = std::move(copy);
}

bool TSavedPixels::Restore() noexcept {
  if (!FCopy) return false;
  std::memcpy(FPixels, FCopy.get(), FSize);
  FCopy.reset();
  return true;
}

void TProfileSession::Rebuild(TProfileMode mode) {
  FSavedPixels.Restore();
  if (TLinearBitmap* bitmap = Raster.Bitmap)
    FSavedPixels.Save(bitmap->Map(), static_cast<size_t>(bitmap->Size()));
  SampleProfile(Raster, Selection, mode, FProfile);
}

TProfilePlotData TProfileSession::PlotData(int planeIndex, int margin) const noexcept {
  TProfilePlotData data;
  data.Profile = FProfile.Profile;
  data.ProfileRGB = FProfile.ProfileRGB;
  data.MaxValue = FProfile.MaxValue;
  data.ComplexMap = Raster.Map != nullptr;
  data.PlaneIndex = planeIndex;
  data.Margin = margin;
  return data;
}
