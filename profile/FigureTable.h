#pragma once
// The figures of a range for each curve drawn and the fits made on it, one row a figure and
// one column a curve: as the figures window lists them and copies them. Places and widths
// are distances (TDistanceScale), places counted from the profile's first sample.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "profile/CurveFit.h"
#include "profile/PixelSize.h"

// A curve's name and its values over the range.
using TCurveSeries = std::vector<std::pair<const char*, std::vector<double>>>;

// The fits asked for on the range, one a curve in the series' order (the curves after them
// have none); empty when not asked.
struct TRangeFits {
  std::vector<TCurveFit> Peaks;
  std::vector<TCurveFit> Edges;
};

// The fits of `shape` on every curve of the series, whose first value is sample `first`.
std::vector<TCurveFit> FitSeries(TFitShape shape, const TCurveSeries& series, size_t first);

class TFigureTable {
 public:
  TFigureTable(const TCurveSeries& series, size_t first, const TDistanceScale& scale, const TRangeFits& fits);

  size_t Rows() const noexcept { return FNames.size(); }
  // The curves' names, after the figures' column ("Figure").
  const std::vector<std::string>& Heads() const noexcept { return FHeads; }
  const std::string& Name(size_t row) const { return FNames[row]; }
  // A curve's figure as the readout writes numbers.
  std::string Cell(size_t row, size_t curve, char decimalSeparator) const;
  // Tab- or comma-separated, the heads first, numbers in full with "." as decimal point.
  std::string Text(char separator) const;

  // A number, or a text where the figure has none ("none", "no fit: ...", or "" beside it).
  struct TCell {
    double Number;
    std::string Text;
    bool IsText;
  };

 private:
  void AddRow(std::string name, std::vector<TCell> cells);
  void AddStatistics(const TCurveSeries& series, size_t first, const TDistanceScale& scale);
  void AddFits(const std::vector<TCurveFit>& fits, const TDistanceScale& scale);
  void AddSampleRises(const TCurveSeries& series, const TDistanceScale& scale);

  std::vector<std::string> FHeads;
  std::vector<std::string> FNames;
  std::vector<std::vector<TCell>> FCells;
};
