#pragma once
// What the profile dialog does, without its window: it holds the selection and the raster,
// rebuilds the profile from clean pixels and guards the host's pixels against the marks that
// sampling writes into them: each mark's pixel is kept before it is written. The marks are
// put back before every rebuild, when the dialog closes and, whatever went wrong in
// between, when the session ends.

#include <cmath>
#include <cstddef>

#include <optional>
#include <utility>
#include <vector>

#include "profile/KeptCurves.h"
#include "profile/OverviewPicture.h"
#include "profile/PixelSize.h"
#include "profile/PlotView.h"
#include "profile/ProfilePlot.h"
#include "profile/ProfileSampling.h"
#include "profile/SavedPixels.h"

// The two check boxes' states, kept for the next dialog while the library stays loaded.
extern bool SavedIntegrate;
extern bool SavedDirection;
// The plot's value scale from the context menu, kept alike: from zero (the default) or
// fitted to the values drawn.
extern bool SavedFitToValues;
// A value range the user set, which takes the place of both; none by default.
extern std::optional<TValueSpan> SavedValueRange;
// The value axis in decades, from the context menu, kept alike; off by default.
extern bool SavedLogScale;
// Curves kept for comparison, and whether they are aligned at the profile's middle rather
// than at its first sample; none kept by default.
extern TKeptCurves SavedKeptCurves;
extern bool SavedKeptAtCentre;
// The plot's axes and grid, from the context menu, kept alike; off by default.
extern bool SavedShowAxes;
extern bool SavedShowGrid;
// The legend: by default off on the screen and on in a saved or copied plot; once the user
// chooses, shown or hidden in both.
enum class TLegendChoice : uint8_t { Default, Shown, Hidden };
extern TLegendChoice SavedLegend;
// The length of a pixel for the figures' distances, kept alike; none set by default.
extern TPixelSize SavedPixelSize;
// The line's width in pixels across which line mode samples, from the context menu; 1 is
// the plain line.
extern int SavedLineWidth;

class TProfileSession {
 public:
  // Set by the command before the dialog is shown; the raster is the command's.
  TRect Selection{};
  TProfileRaster Raster;

  // Puts back the marks of the last profile and samples, keeping the bytes under every new
  // mark. When sampling fails the kept bytes stay, so that closing puts them back.
  void Rebuild(TProfileMode mode);
  // Puts the host's pixels back; true when they had been saved, that is when the host is to
  // be told that its pixels changed.
  bool RestorePixels() { return FSavedPixels.Restore(); }
  bool PixelsSaved() const noexcept { return FSavedPixels.Saved(); }
  // The pixels whose bytes are kept: the marks of the profile, not the image's size.
  size_t SavedPixelCount() const noexcept { return FSavedPixels.Count(); }
  // Highlights the pixels of one sample in the host's image, or none; true when the host's
  // pixels changed. The highlight goes with the next rebuild or restore.
  bool Highlight(std::optional<size_t> sample);

  // The image as it was before any mark, in the line window's view of it (OverviewPicture).
  void PaintOverview(const TOverviewView& view, TViewSize size, const TValueStretch& stretch, TViewPixel background,
                     const TViewTarget& target) const;

  const TProfile& Profile() const noexcept { return FProfile; }
  // The image's width and height.
  std::pair<int, int> ImageSize() const noexcept;
  // Lines the kept curves up with the profile again, after the list or their alignment
  // changed; every rebuild does it.
  void AlignKeptCurves();
  // The kept curves beside the profile, oldest first: each as long as the profile.
  const std::vector<TKeptSeries>& KeptCurves() const noexcept { return FKept; }
  // What the plot shows for the plane group's item, with the frame `margin` pixels inside,
  // its scale from zero: the samples of the view, the whole profile unless one is given.
  TProfilePlotData PlotData(int planeIndex, int margin, const std::optional<TPlotView>& view = std::nullopt) const;

 private:
  TProfile FProfile;
  // Copies of the kept curves, aligned.
  std::vector<TKeptCurve> FKeptAligned;
  std::vector<TKeptSeries> FKept;
  // Their greatest finite value beside the profile; -infinity for none.
  double FKeptGreatest = -HUGE_VAL;
  TSavedPixels FSavedPixels;
  TProfileMode FMode;
  // The record's size without the highlight (taken when a highlight comes), and the sample
  // highlighted.
  size_t FMarks = 0;
  std::optional<size_t> FHighlighted;
};
