#pragma once
// What the profile dialog does, without its window: it holds the selection and the raster,
// rebuilds the profile from clean pixels and guards the host's pixels against the marks that
// sampling writes into them. The marks are put back before every rebuild, when the dialog
// closes and, whatever went wrong in between, when the session ends.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "profile/ProfilePlot.h"
#include "profile/ProfileSampling.h"

// The two check boxes' states, kept for the next dialog while the library stays loaded.
extern bool SavedIntegrate;
extern bool SavedDirection;

// A copy of a block of the host's pixel memory. The host's bytes are only borrowed; the copy
// is put back on request, and at the latest when this object goes. Every rebuild of the
// profile saves again, so the block is kept for the next copy rather than allocated anew.
class TSavedPixels {
 public:
  TSavedPixels() = default;
  ~TSavedPixels();
  TSavedPixels(const TSavedPixels&) = delete;
  TSavedPixels& operator=(const TSavedPixels&) = delete;

  // Copies `size` bytes at `pixels`. A copy held from before is put back first, so that a
  // new copy never takes in the marks of an earlier profile.
  void Save(uint8_t* pixels, size_t size);
  // Puts the copy back; false when there was none. Raises when the host's memory faults; a
  // copy is put back at most once, so a host that took its memory away is not written again.
  bool Restore();
  bool Saved() const noexcept { return FSaved; }

 private:
  uint8_t* FPixels = nullptr;
  size_t FSize = 0;
  std::unique_ptr<uint8_t[]> FBlock;
  size_t FCapacity = 0;
  bool FSaved = false;
};

class TProfileSession {
 public:
  // Set by the command before the dialog is shown; the raster is the command's.
  TRect Selection{};
  TProfileRaster Raster;

  // Puts back the marks of the last profile, saves the bitmap's clean pixels and samples.
  // When sampling fails the pixels stay saved, so that closing puts them back.
  void Rebuild(TProfileMode mode);
  // Puts the host's pixels back; true when they had been saved, that is when the host is to
  // be told that its pixels changed.
  bool RestorePixels() { return FSavedPixels.Restore(); }
  bool PixelsSaved() const noexcept { return FSavedPixels.Saved(); }

  const TProfile& Profile() const noexcept { return FProfile; }
  // What the plot shows for the plane group's item, with the frame `margin` pixels inside.
  TProfilePlotData PlotData(int planeIndex, int margin) const noexcept;

 private:
  TProfile FProfile;
  TSavedPixels FSavedPixels;
};
