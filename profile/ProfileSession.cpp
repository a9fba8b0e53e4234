#include "profile/ProfileSession.h"

#include "errors/Exceptions.h"
#include "image/HostBytes.h"

bool SavedIntegrate = false;
bool SavedDirection = false;

void TSavedPixels::Save(uint8_t* pixels, size_t size) {
  Restore();
  if (!FBlock || FCapacity < size) {
    FBlock.reset();
    FBlock = AllocateBytes(size > 0 ? size : 1);
    FCapacity = size;
  }
  CopyHostBytes(FBlock.get(), pixels, size);
  FPixels = pixels;
  FSize = size;
  FSaved = true;
}

TSavedPixels::~TSavedPixels() {
  try {
    Restore();
  } catch (...) {
    // The host took its memory away; nothing is left to put back.
  }
}

bool TSavedPixels::Restore() {
  if (!FSaved) return false;
  FSaved = false;
  CopyHostBytes(FPixels, FBlock.get(), FSize);
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
