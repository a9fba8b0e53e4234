#include "profile/FigureTable.h"

#include <functional>
#include <optional>

#include "errors/Exceptions.h"
#include "profile/NumberText.h"
#include "profile/RangeStatistics.h"
#include "resources/Texts.h"

namespace {

TFigureTable::TCell NumberCell(double number) { return {number, "", false}; }
TFigureTable::TCell TextCell(std::string text) { return {0, std::move(text), true}; }

const char* FailureText(TFitFailure failure) {
  switch (failure) {
    case TFitFailure::TooFewSamples: return S_FIT_TOO_FEW;
    case TFitFailure::Flat: return S_FIT_FLAT;
    default: return S_FIT_NO_CONVERGENCE;
  }
}

}  // namespace

std::vector<TCurveFit> FitSeries(TFitShape shape, const TCurveSeries& series, size_t first) {
  std::vector<TCurveFit> fits;
  for (const auto& curve : series) fits.push_back(FitCurve(shape, curve.second, first));
  return fits;
}

TFigureTable::TFigureTable(const TCurveSeries& series, size_t first, const TDistanceScale& scale,
                           const TRangeFits& fits) {
  FHeads.push_back(S_FIG_FIGURE);
  for (const auto& curve : series) FHeads.push_back(curve.first);
  AddStatistics(series, first, scale);
  if (!fits.Peaks.empty()) AddFits(fits.Peaks, scale);
  if (!fits.Edges.empty()) {
    AddFits(fits.Edges, scale);
    AddSampleRises(series, scale);
  }
}

void TFigureTable::AddRow(std::string name, std::vector<TCell> cells) {
  FNames.push_back(std::move(name));
  FCells.push_back(std::move(cells));
}

void TFigureTable::AddStatistics(const TCurveSeries& series, size_t first, const TDistanceScale& scale) {
  std::vector<TRangeStatistics> figures;
  for (const auto& curve : series) figures.push_back(RangeStatistics(curve.second));
  const auto add = [&](std::string name, const std::function<std::optional<double>(const TRangeStatistics&)>& figure) {
    std::vector<TCell> cells;
    for (const TRangeStatistics& f : figures) {
      const std::optional<double> value = figure(f);
      cells.push_back(value ? NumberCell(*value) : TextCell(S_NONE));
    }
    AddRow(std::move(name), std::move(cells));
  };
  const std::string unit = scale.Suffix();
  add(S_COL_COUNT, [](const TRangeStatistics& f) { return static_cast<double>(f.Count); });
  add(S_COL_MINIMUM, [](const TRangeStatistics& f) { return f.Minimum; });
  add(S_COL_MAXIMUM, [](const TRangeStatistics& f) { return f.Maximum; });
  add(S_COL_MEAN, [](const TRangeStatistics& f) { return f.Mean; });
  add(S_COL_SD, [](const TRangeStatistics& f) { return f.StandardDeviation; });
  add(S_COL_SUM, [](const TRangeStatistics& f) { return f.Sum; });
  add(S_COL_FWHM + unit, [&](const TRangeStatistics& f) -> std::optional<double> {
    if (!f.HalfMaximumWidth) return std::nullopt;
    return scale.Of(*f.HalfMaximumWidth);
  });
  add(S_FIG_PEAK_AT + unit, [&](const TRangeStatistics& f) -> std::optional<double> {
    const std::optional<double> peak = PlacesOf(f, first).Peak;
    return peak ? std::optional(scale.Of(*peak)) : std::nullopt;
  });
  add(S_FIG_CENTROID + unit, [&](const TRangeStatistics& f) -> std::optional<double> {
    const std::optional<double> centroid = PlacesOf(f, first).Centroid;
    return centroid ? std::optional(scale.Of(*centroid)) : std::nullopt;
  });
}

// Each parameter and its standard error; a fit without numbers says why in its first row.
void TFigureTable::AddFits(const std::vector<TCurveFit>& fits, const TDistanceScale& scale) {
  const bool peak = fits.front().Shape == TFitShape::Peak;
  const std::string unit = scale.Suffix();
  const auto add = [&](std::string name, bool distance, const std::function<TFitValue(const TCurveFit&)>& figure,
                       bool withError, bool first) {
    std::vector<TCell> values, errors;
    for (const TCurveFit& fit : fits) {
      if (!fit.Fitted()) {
        values.push_back(TextCell(first ? FormatText(S_FIG_NO_FIT, FailureText(fit.Failure)) : ""));
        errors.push_back(TextCell(""));
        continue;
      }
      const TFitValue value = figure(fit);
      values.push_back(NumberCell(distance ? scale.Of(value.Value) : value.Value));
      errors.push_back(NumberCell(distance ? scale.Of(value.Error) : value.Error));
    }
    // Curves beyond the fitted ones (kept curves) have no fit: their cells stay empty.
    values.resize(FHeads.size() - 1, TextCell(""));
    errors.resize(FHeads.size() - 1, TextCell(""));
    const std::string named = name + (distance ? unit : "");
    AddRow(named, std::move(values));
    if (withError) AddRow(named + S_FIG_ERROR, std::move(errors));
  };
  add(peak ? S_FIG_PEAK_CENTRE : S_FIG_EDGE_CENTRE, true, [](const TCurveFit& f) { return f.Centre; }, true, true);
  if (peak) add(S_FIG_PEAK_SIGMA, true, [](const TCurveFit& f) { return f.Sigma; }, true, false);
  add(peak ? S_FIG_PEAK_FWHM : S_FIG_EDGE_WIDTH, true, [](const TCurveFit& f) { return f.Width(); }, true, false);
  add(peak ? S_FIG_PEAK_HEIGHT : S_FIG_EDGE_STEP, false, [](const TCurveFit& f) { return f.Height; }, true, false);
  add(peak ? S_FIG_PEAK_BASELINE : S_FIG_EDGE_BASELINE, false, [](const TCurveFit& f) { return f.Baseline; }, true,
      false);
  add(peak ? S_FIG_PEAK_R2 : S_FIG_EDGE_R2, false, [](const TCurveFit& f) { return TFitValue{f.RSquared, 0}; }, false,
      false);
}

void TFigureTable::AddSampleRises(const TCurveSeries& series, const TDistanceScale& scale) {
  std::vector<TCell> cells;
  for (const auto& curve : series) {
    const std::optional<double> rise = SampleRise(curve.second);
    cells.push_back(rise ? NumberCell(scale.Of(*rise)) : TextCell(S_NONE));
  }
  AddRow(S_FIG_RISE + scale.Suffix(), std::move(cells));
}

std::string TFigureTable::Cell(size_t row, size_t curve, char decimalSeparator) const {
  const TCell& cell = FCells[row][curve];
  return cell.IsText ? cell.Text : ReadoutText(cell.Number, decimalSeparator);
}

std::string TFigureTable::Text(char separator) const {
  std::string text;
  for (size_t i = 0; i < FHeads.size(); ++i) {
    if (i > 0) text += separator;
    text += FHeads[i];
  }
  text += "\r\n";
  for (size_t row = 0; row < Rows(); ++row) {
    text += FNames[row];
    for (const TCell& cell : FCells[row]) {
      text += separator;
      text += cell.IsText ? cell.Text : ExactText(cell.Number);
    }
    text += "\r\n";
  }
  return text;
}
