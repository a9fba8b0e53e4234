#pragma once
// The plot as it leaves the dialog (a saved file, the clipboard's metafile): what the
// dialog shows, with a title line above it, the axes' titles beside them and a legend that
// names each curve, laid out on a picture of any size.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "profile/FigureTable.h"
#include "profile/PixelSize.h"
#include "profile/ProfilePlot.h"
#include "profile/ProfileSampling.h"

// The TrueType face of the sans serif the dialog shows, present from Windows 2000 on: it
// scales with a metafile and turns for the value axis's title.
inline constexpr const char* PictureFontFace = "Microsoft Sans Serif";

// A curve's name in the legend, in its colour.
struct TLegendEntry {
  std::string Name;
  TColor Color;
};

// The kept curves' entries, in the shades they are drawn in over this background.
std::vector<TLegendEntry> KeptLegend(const TProfilePlotData& data, TColor background);

// A fitted curve and the colour of the curve it was fitted to.
struct TFitStroke {
  TColor Color;
  TCurveFit Fit;
};

// A fitted curve over the samples first .. first + count - 1 in view as points a column of
// the frame apart, each a place in samples from the view's first and a value; none for a fit
// without numbers or outside the view.
std::vector<std::pair<double, double>> FitPoints(const TCurveFit& fit, const TPlotGeometry& frame, size_t first,
                                                 size_t count);

struct TPlotPicture {
  // The plot's data; its spans are borrowed from the dialog's profile.
  TProfilePlotData Data;
  std::string Title;
  std::string SampleTitle;
  std::string ValueTitle;
  // Shown with more than one entry.
  std::vector<TLegendEntry> Legend;
  std::vector<TFitStroke> Fits;
  // The colours the dialog draws with: the plot's background and its text.
  TColor Background = PackColor(240, 240, 240);
  TColor Text = PackColor(0, 0, 0);
};

// Where the parts go on a picture of width x height pixels whose text is textHeight high:
// the title line across the top, the value axis's title turned up the left side, the
// sample axis's title across the bottom and the plot (with its own margin) in between.
struct TPictureLayout {
  int TitleTop;
  int ValueTitleLeft;
  int SampleTitleTop;
  int PlotLeft;
  int PlotTop;
  int PlotWidth;
  int PlotHeight;
};
TPictureLayout LayoutPicture(int width, int height, int textHeight) noexcept;

// The legend's box in the frame's top right corner (below the band's width where that is
// said there): a row an entry, each a stroke LineLength long and its name.
struct TLegendBox {
  int Left;
  int Top;
  int Right;
  int Bottom;
  int RowHeight;
  int LineLength;
  int Padding;
};
TLegendBox LegendBoxOf(const TPlotGeometry& geometry, const TPlotPicture& picture, int widestName, int textHeight);

// What the dialog shows, to be made a picture.
struct TPictureSource {
  // The plot as the screen draws it (the view's samples), at the picture's resolution.
  TProfilePlotData Data;
  // The curves drawn by name and colour, in the order of the fits.
  std::vector<TLegendEntry> Curves;
  // The range, in samples of the whole profile, and its fits; none where there are none.
  std::optional<std::pair<size_t, size_t>> Range;
  const TRangeFits* Fits = nullptr;
  TRect Selection{};
  TProfileMode Mode;
  TDistanceScale Scale;
  TColor Background = PackColor(240, 240, 240);
  TColor Text = PackColor(0, 0, 0);
  TColor Highlight = PackColor(0, 120, 215);
};

// The picture of it: the range's part in view laid under the curves (not where it fills
// the view, which would turn the whole plot its colour), each fit's curve over the range
// in view, a legend of the curves and the kept ones, the title ("Red, Green: line from
// (10, 10) to (229, 169), width 1") and the axes' titles ("Sample" or "Distance (µm)",
// "Value" or "Sum", on a log scale "Value (log scale)" and how many samples it leaves out).
TPlotPicture MakePicture(const TPictureSource& source);
