#pragma once
// The profile's numbers as text: the readout of one sample (where it lies in the image and
// what it holds) and the values table that is copied to the clipboard or saved. The table
// has a header line and one line per sample, each ended by CR LF; its numbers are in the
// shortest form that reads back to the same double, with "." as the decimal point, so that
// a spreadsheet or a script gets exactly the values that were plotted.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "profile/FigureTable.h"
#include "profile/LineEnds.h"
#include "profile/PixelSize.h"
#include "profile/ProfilePlot.h"
#include "profile/ProfileSampling.h"

// What one sample holds: the three channels and their gray value, one gray value, or one
// component of a complex map.
enum class TValueKind : uint8_t { Color, Gray, Real, Imaginary };

// The kind of the raster's samples; a complex map's follows the component sampled.
TValueKind ValueKindOf(const TProfileRaster& raster);

class TProfileValues {
 public:
  // The profile that the last rebuild left, over this selection in this mode; line mode
  // names the samples by the profile's points. The profile's arrays and points are
  // borrowed: the object goes before the next rebuild. An 8-bit
  // image's palette (blue, green, red entries; null or the gray ramp for gray) names the
  // colour of each index.
  TProfileValues(const TProfile& profile, TValueKind kind, const TRect& selection, TProfileMode mode,
                 const uint8_t* palette = nullptr);

  size_t Count() const noexcept { return FProfile.size(); }
  // "Sample 3 (4, 5)" in line mode, "Row 7" or "Column 2" in integrate mode; once a pixel
  // size is set, with the sample's distance from the first ("Sample 3 (4, 5) at 1.5 µm").
  std::string Place(size_t i) const;
  // The values of the curves the plane draws, named as the plane names them, then a colour
  // pixel's channels not named yet: "Gray 1.83333  R 1  G 2  B 3" for the plane "Grayscale",
  // "Average 2  R 1  G 2  B 3", "R 1  G 2  B 3" for "All", "G 2  R 1  B 3" for "Green";
  // "Value 12" ("Index 12 = R 224 G 0 B 0" with a colour palette), "Real -0.5". Up to 6
  // significant digits. The plane is the plane group's item (colour images only).
  std::string Values(size_t i, int plane = 0, char decimalSeparator = '.') const;
  // The kept curves' samples beside sample i, a line each after a line break ("\r\nRed,
  // 240x16: line (0, 8) to (239, 8): 57"); empty where none has one.
  std::string KeptValues(size_t i, char decimalSeparator = '.') const;
  // The table with fields separated by `separator` (a tab or a comma): every sample, or
  // the samples first .. last.
  std::string Table(char separator) const { return Table(separator, 0, Count() == 0 ? 0 : Count() - 1); }
  std::string Table(char separator, size_t first, size_t last) const;
  // The figures of samples first .. last for each curve of RangeSeries (TRangeStatistics),
  // as the readout's lines ("Red: 101 samples, ...") or as a table with a header line;
  // widths and places as distances.
  std::string RangeReadout(size_t first, size_t last, int plane, char decimalSeparator = '.') const;
  std::string RangeTable(size_t first, size_t last, int plane, char separator) const;
  // A line moved away from the selection's is named in the table's first header field:
  // "Sample (x 10 y 20 to x 60 y 40)", or integrate mode's rectangle by its corners.
  void NameLine(const TLineEnds& ends) { FLine = ends; }
  // The pixels from one sample to the next: a line's length over its steps; 1 in integrate
  // mode, where a sample is a row or a column.
  double SampleSpacing() const;
  // Distances in the user's unit from now on: in the readout, the range's figures and a
  // "Distance" column of the table.
  void MeasureIn(const TPixelSize& size) noexcept { FSize = size; }
  TDistanceScale Scale() const { return {FSize, SampleSpacing()}; }
  // Kept curves beside the profile (each as long as it), borrowed like the profile: their
  // columns follow the table's own, headed by their names, empty where a curve has no
  // sample.
  void BesideKept(std::span<const TKeptSeries> kept) noexcept { FKept = kept; }
  // The curves the plane draws, named as the table names them, with their values from
  // first to last.
  TCurveSeries PlaneSeries(size_t first, size_t last, int plane) const;
  // Those, then the kept curves that have a sample at each of first .. last: the curves
  // whose figures a range gives.
  TCurveSeries RangeSeries(size_t first, size_t last, int plane) const;

 private:
  void AppendHeader(std::string& text, char separator) const;
  // With a distance column where `distances` is given.
  void AppendRow(std::string& text, size_t i, char separator, const TDistanceScale* distances) const;
  // Line mode's sample coordinates.
  const std::vector<TSamplePoint>& Points() const;

  // One value column of the table and the readout: its name, and each sample's value and
  // (across a band) spread.
  struct TColumn {
    const char* Name;
    double Value;
    double Spread;
  };
  std::vector<const char*> ColumnNames() const;
  std::vector<TColumn> Columns(size_t i) const;
  bool HasSpread() const noexcept { return !FSpread.empty(); }

  std::span<const double> FProfile;
  std::span<const TColorSample> FProfileRGB;
  std::span<const double> FSpread;
  std::span<const TColorSample> FSpreadRGB;
  std::span<const double> FSpreadAverage;
  TValueKind FKind;
  // A copy of an 8-bit image's palette where it is not the gray ramp: the host's own is
  // read once, by the module's code, where a bad pointer faults into an error.
  std::optional<TPaletteTable> FPalette;
  TRect FSelection;
  TProfileMode FMode;
  std::optional<TLineEnds> FLine;
  TPixelSize FSize;
  std::span<const TKeptSeries> FKept;
  const TLinePoints& FPoints;
};
