#include "profile/ProfileValues.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <new>
#include <stdexcept>
#include <string_view>

#include "errors/Exceptions.h"
#include "image/HostBytes.h"
#include "profile/NumberText.h"
#include "profile/ProfilePlot.h"
#include "profile/RangeStatistics.h"
#include "resources/Texts.h"

namespace {

constexpr const char* LineEnd = "\r\n";

void AppendNumber(std::string& text, double value) { text += ExactText(value); }

void AppendInteger(std::string& text, int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  text.append(buffer, result.ptr);
}

void AppendField(std::string& text, char separator, std::string_view field) {
  text += separator;
  text += field;
}

// A name that holds the separator or a quote goes in quotes, its quotes doubled, so that a
// spreadsheet reads it as one field.
std::string Quoted(std::string_view field, char separator) {
  if (field.find_first_of(std::string{separator, '"'}) == std::string_view::npos) return std::string(field);
  std::string quoted = "\"";
  for (char c : field) quoted.append(c == '"' ? 2 : 1, c);
  return quoted + '"';
}

std::string Readout(double value, char decimalSeparator) { return ReadoutText(value, decimalSeparator); }

// A kept curve's sample i; none where it does not reach.
std::optional<double> KeptSample(const TKeptSeries& kept, size_t i) {
  if (i >= kept.Values.size() || std::isnan(kept.Values[i])) return std::nullopt;
  return kept.Values[i];
}

// The host's palette is copied by the module's code (a bad pointer faults into an error,
// not inside the C runtime) and kept where it is not the gray ramp.
std::optional<TPaletteTable> ColourPalette(const uint8_t* palette) {
  if (!palette) return std::nullopt;
  TPaletteTable table;
  CopyHostBytes(table.data(), palette, table.size());
  if (table == GrayPalette) return std::nullopt;
  return table;
}

// A value, and across a band its spread after it ("12.5 \xB1 3.25").
std::string ReadoutWithSpread(double value, const double* spread, char separator) {
  std::string text = Readout(value, separator);
  if (spread) text += FormatText(S_TIP_SPREAD, Readout(*spread, separator).c_str());
  return text;
}

// The spreads of a colour sample across a band: gray, average, R, G, B.
struct TColorSpread {
  double Gray, Average;
  TColorSample Channels;
};

// A colour sample's readout: the plane's own curves first, then the channels not named yet.
std::string ColorReadout(const TColorSample& sample, double gray, int plane, const TColorSpread* spread,
                         char separator) {
  const auto named = [separator, spread](const char* format, double value, double deviation) {
    return FormatText(format, ReadoutWithSpread(value, spread ? &deviation : nullptr, separator).c_str());
  };
  const TColorSpread none{};
  const TColorSpread& s = spread ? *spread : none;
  std::string text;
  const auto add = [&text](const std::string& part) { text += text.empty() ? part : "  " + part; };
  if (plane == piGrayscale) add(named(S_TIP_GRAY, gray, s.Gray));
  if (plane == piAverage) add(named(S_TIP_AVERAGE, AverageOf(sample), s.Average));
  if (plane == piGreen) add(named(S_TIP_GREEN, sample.G, s.Channels.G));
  if (plane == piBlue) add(named(S_TIP_BLUE, sample.B, s.Channels.B));
  add(named(S_TIP_RED, sample.R, s.Channels.R));
  if (plane != piGreen) add(named(S_TIP_GREEN, sample.G, s.Channels.G));
  if (plane != piBlue) add(named(S_TIP_BLUE, sample.B, s.Channels.B));
  return text;
}

}  // namespace

TValueKind ValueKindOf(const TProfileRaster& raster) {
  if (raster.Map) return raster.Plane == 1 ? TValueKind::Imaginary : TValueKind::Real;
  return raster.Bitmap->PixelFormat() == TPixelFormat::Bgr24 ? TValueKind::Color : TValueKind::Gray;
}

TProfileValues::TProfileValues(const TProfile& profile, TValueKind kind, const TRect& selection,
                               TProfileMode mode, const uint8_t* palette)
    : FProfile(profile.Profile),
      FProfileRGB(profile.ProfileRGB),
      FSpread(profile.Spread),
      FSpreadRGB(profile.SpreadRGB),
      FSpreadAverage(profile.SpreadAverage),
      FKind(kind),
      FPalette(ColourPalette(palette)),
      FSelection(selection),
      FMode(mode),
      FPoints(profile.Points) {
  assert((kind != TValueKind::Color || FProfileRGB.size() == FProfile.size()) && "channels for every sample");
}

// A rebuild need not wait for the walk's coordinates: only the readout, the table and the
// highlight read them.
const std::vector<TSamplePoint>& TProfileValues::Points() const {
  const std::vector<TSamplePoint>& points = FPoints.Points();
  assert(points.size() == FProfile.size() && "one point per sample");
  return points;
}

double TProfileValues::SampleSpacing() const {
  if (FMode.Integrate || Count() < 2) return 1;
  const TSamplePoint first = Points().front(), last = Points().back();
  return std::hypot(double(last.X) - first.X, double(last.Y) - first.Y) / static_cast<double>(Count() - 1);
}

// In integrate mode value i belongs to row Top + i or column Left + i.
std::string TProfileValues::Place(size_t i) const {
  const int index = static_cast<int>(i);
  std::string place = !FMode.Integrate ? FormatText(S_TIP_SAMPLE, index, Points()[i].X, Points()[i].Y)
                      : FMode.Direction ? FormatText(S_TIP_ROW, FSelection.Top + index)
                                        : FormatText(S_TIP_COLUMN, FSelection.Left + index);
  if (FSize.Set()) place += FormatText(S_TIP_DISTANCE, Scale().Text(static_cast<double>(i)).c_str());
  return place;
}

std::string TProfileValues::Values(size_t i, int plane, char decimalSeparator) const {
  const std::string value = ReadoutWithSpread(FProfile[i], HasSpread() ? &FSpread[i] : nullptr, decimalSeparator);
  switch (FKind) {
    case TValueKind::Color: {
      if (!HasSpread()) return ColorReadout(FProfileRGB[i], FProfile[i], plane, nullptr, decimalSeparator);
      const TColorSpread spread{FSpread[i], FSpreadAverage[i], FSpreadRGB[i]};
      return ColorReadout(FProfileRGB[i], FProfile[i], plane, &spread, decimalSeparator);
    }
    case TValueKind::Gray: {
      // In line mode a sample is the stored byte, an index into the palette; across a band
      // it is a mean, no index.
      if (!FPalette || FMode.Integrate || HasSpread()) return FormatText(S_TIP_VALUE, value.c_str());
      const int index = std::clamp(static_cast<int>(FProfile[i]), 0, 255);
      const uint8_t* entry = FPalette->data() + 3 * index;
      return FormatText(S_TIP_INDEX, index, entry[2], entry[1], entry[0]);
    }
    case TValueKind::Real: return FormatText(S_TIP_REAL, value.c_str());
    case TValueKind::Imaginary: return FormatText(S_TIP_IMAGINARY, value.c_str());
  }
  return value;
}

std::string TProfileValues::KeptValues(size_t i, char decimalSeparator) const {
  std::string text;
  for (const TKeptSeries& kept : FKept)
    if (const std::optional<double> value = KeptSample(kept, i))
      text += "\r\n" + FormatText(S_TIP_KEPT, std::string(kept.Name).c_str(), Readout(*value, decimalSeparator).c_str());
  return text;
}

// About 48 characters a line for a colour profile: one allocation for the usual table. The
// size is reckoned in 64 bits, since a long profile's table may not fit this process at all.
std::string TProfileValues::Table(char separator, size_t first, size_t last) const {
  constexpr uint64_t LineSize = 48;
  const size_t end = Count() == 0 ? 0 : std::min(last, Count() - 1) + 1;
  const uint64_t expected = 64 + LineSize * (end > first ? end - first : 0);
  try {
    if (expected > std::string().max_size()) throw std::bad_alloc();
    std::string text;
    text.reserve(static_cast<size_t>(expected));
    AppendHeader(text, separator);
    const TDistanceScale scale = Scale();
    const TDistanceScale* distances = FSize.Set() ? &scale : nullptr;
    for (size_t i = first; i < end; ++i) AppendRow(text, i, separator, distances);
    return text;
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  } catch (const std::length_error&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
}

TCurveSeries TProfileValues::PlaneSeries(size_t first, size_t last, int plane) const {
  TCurveSeries series;
  const size_t end = std::min(last + 1, Count());
  const auto add = [&](const char* name, auto value) {
    std::vector<double> values;
    for (size_t i = first; i < end; ++i) values.push_back(value(i));
    series.emplace_back(name, std::move(values));
  };
  if (FKind != TValueKind::Color) {
    const char* name = FKind == TValueKind::Real ? S_COL_REAL : FKind == TValueKind::Imaginary ? S_COL_IMAGINARY : S_COL_VALUE;
    add(name, [this](size_t i) { return FProfile[i]; });
    return series;
  }
  // The curves the plot draws for the plane, with the table's names.
  TProfilePlotData data;
  data.Profile = FProfile;
  data.ProfileRGB = FProfileRGB;
  static const char* const names[] = {S_COL_GRAY, S_COL_AVERAGE, S_COL_RED, S_COL_GREEN, S_COL_BLUE};
  for (const TPlotCurve& curve : CurvesOf(plane, false))
    add(names[static_cast<int>(curve.Kind)], [&](size_t i) { return CurveValue(data, curve.Kind, i); });
  return series;
}

TCurveSeries TProfileValues::RangeSeries(size_t first, size_t last, int plane) const {
  TCurveSeries series = PlaneSeries(first, last, plane);
  const size_t end = std::min(last + 1, Count());
  for (const TKeptSeries& kept : FKept) {
    if (end > kept.Values.size() || first >= end) continue;
    const std::span<const double> values = kept.Values.subspan(first, end - first);
    if (std::any_of(values.begin(), values.end(), [](double value) { return std::isnan(value); })) continue;
    series.emplace_back(kept.Name.data(), std::vector<double>(values.begin(), values.end()));
  }
  return series;
}

// "Red: 101 samples; min 3; ...; FWHM 12.5; peak at 70.2; centroid 69.8" a curve.
std::string TProfileValues::RangeReadout(size_t first, size_t last, int plane, char decimalSeparator) const {
  std::string text = FormatText(S_TIP_RANGE, static_cast<int>(first), static_cast<int>(last));
  const TDistanceScale scale = Scale();
  for (const auto& [name, values] : RangeSeries(first, last, plane)) {
    const TRangeStatistics figures = RangeStatistics(values);
    const auto number = [decimalSeparator](double value) { return Readout(value, decimalSeparator); };
    const auto distance = [&](const std::optional<double>& samples) {
      return samples ? scale.Text(*samples, decimalSeparator) : std::string(S_NONE);
    };
    text += "\r\n";
    text += FormatText(S_TIP_STATISTICS, name, static_cast<int>(figures.Count), number(figures.Minimum).c_str(),
                       number(figures.Maximum).c_str(), number(figures.Mean).c_str(),
                       number(figures.StandardDeviation).c_str(), number(figures.Sum).c_str(),
                       distance(figures.HalfMaximumWidth).c_str());
    if (figures.Count == 0) continue;
    const TRangePlaces places = PlacesOf(figures, first);
    text += FormatText(S_TIP_POSITIONS, distance(places.Peak).c_str(), distance(places.Centroid).c_str());
  }
  return text;
}

// A header line, then a line a curve; numbers in full, as the values table has them.
std::string TProfileValues::RangeTable(size_t first, size_t last, int plane, char separator) const {
  const TDistanceScale scale = Scale();
  const std::string unit = scale.Suffix();
  std::string text = S_COL_CURVE;
  for (const char* column : {S_COL_COUNT, S_COL_MINIMUM, S_COL_MAXIMUM, S_COL_MEAN, S_COL_SD, S_COL_SUM})
    AppendField(text, separator, column);
  for (const char* column : {S_COL_FWHM, S_FIG_PEAK_AT, S_FIG_CENTROID})
    AppendField(text, separator, (column + unit).c_str());
  text += LineEnd;
  const auto appendDistance = [&](const std::optional<double>& samples) {
    text += separator;
    if (samples) AppendNumber(text, scale.Of(*samples));
    else text += S_NONE;
  };
  for (const auto& [name, values] : RangeSeries(first, last, plane)) {
    const TRangeStatistics figures = RangeStatistics(values);
    text += Quoted(name, separator);
    text += separator;
    AppendInteger(text, static_cast<int64_t>(figures.Count));
    for (double figure : {figures.Minimum, figures.Maximum, figures.Mean, figures.StandardDeviation, figures.Sum}) {
      text += separator;
      AppendNumber(text, figure);
    }
    appendDistance(figures.HalfMaximumWidth);
    const TRangePlaces places = PlacesOf(figures, first);
    appendDistance(places.Peak);
    appendDistance(places.Centroid);
    text += LineEnd;
  }
  return text;
}

// The value columns in the table's order; a colour image has every channel, the gray value
// and the average whatever the plane.
std::vector<const char*> TProfileValues::ColumnNames() const {
  switch (FKind) {
    case TValueKind::Color: return {S_COL_RED, S_COL_GREEN, S_COL_BLUE, S_COL_GRAY, S_COL_AVERAGE};
    case TValueKind::Gray: return {S_COL_VALUE};
    case TValueKind::Real: return {S_COL_REAL};
    case TValueKind::Imaginary: return {S_COL_IMAGINARY};
  }
  return {};
}

// Sample i's value columns, in the order of ColumnNames.
std::vector<TProfileValues::TColumn> TProfileValues::Columns(size_t i) const {
  const auto spread = [](std::span<const double> values, size_t i) { return values.empty() ? 0.0 : values[i]; };
  switch (FKind) {
    case TValueKind::Color: {
      const TColorSample& sample = FProfileRGB[i];
      const TColorSample deviation = FSpreadRGB.empty() ? TColorSample{} : FSpreadRGB[i];
      return {{S_COL_RED, sample.R, deviation.R},
              {S_COL_GREEN, sample.G, deviation.G},
              {S_COL_BLUE, sample.B, deviation.B},
              {S_COL_GRAY, FProfile[i], spread(FSpread, i)},
              {S_COL_AVERAGE, AverageOf(sample), spread(FSpreadAverage, i)}};
    }
    case TValueKind::Gray: return {{S_COL_VALUE, FProfile[i], spread(FSpread, i)}};
    case TValueKind::Real: return {{S_COL_REAL, FProfile[i], spread(FSpread, i)}};
    case TValueKind::Imaginary: return {{S_COL_IMAGINARY, FProfile[i], spread(FSpread, i)}};
  }
  return {};
}

// Across a band each value column is followed by its spread, "<name> SD".
void TProfileValues::AppendHeader(std::string& text, char separator) const {
  text += !FMode.Integrate ? S_COL_SAMPLE : FMode.Direction ? S_COL_ROW : S_COL_COLUMN;
  if (FLine) text += FormatText(S_COL_ON_LINE, FLine->From.X, FLine->From.Y, FLine->To.X, FLine->To.Y);
  if (!FMode.Integrate) {
    AppendField(text, separator, S_COL_X);
    AppendField(text, separator, S_COL_Y);
  }
  if (FSize.Set()) AppendField(text, separator, S_COL_DISTANCE + Scale().Suffix());
  for (const char* name : ColumnNames()) {
    AppendField(text, separator, name);
    if (HasSpread()) AppendField(text, separator, std::string(name) + " " + S_COL_SD);
  }
  for (const TKeptSeries& kept : FKept) AppendField(text, separator, Quoted(kept.Name, separator));
  text += LineEnd;
}

void TProfileValues::AppendRow(std::string& text, size_t i, char separator, const TDistanceScale* distances) const {
  if (!FMode.Integrate) {
    AppendInteger(text, static_cast<int64_t>(i));
    text += separator;
    AppendInteger(text, Points()[i].X);
    text += separator;
    AppendInteger(text, Points()[i].Y);
  } else {
    const int64_t first = FMode.Direction ? FSelection.Top : FSelection.Left;
    AppendInteger(text, first + static_cast<int64_t>(i));
  }
  if (distances) {
    text += separator;
    AppendNumber(text, distances->Of(static_cast<double>(i)));
  }
  for (const TColumn& column : Columns(i)) {
    text += separator;
    AppendNumber(text, column.Value);
    if (!HasSpread()) continue;
    text += separator;
    AppendNumber(text, column.Spread);
  }
  for (const TKeptSeries& kept : FKept) {
    text += separator;
    if (const std::optional<double> value = KeptSample(kept, i)) AppendNumber(text, *value);
  }
  text += LineEnd;
}
