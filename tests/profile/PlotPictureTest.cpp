#include "profile/SvgPlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "profile/KeptCurves.h"

namespace {

// Well-formed markup as an XML reader needs it: every element closed in order, attribute
// values quoted, no bare "<" or "&" in text. An empty answer is well formed; else the fault.
std::string MarkupFault(const std::string& text) {
  std::vector<std::string> open;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      const size_t end = text.find(';', i);
      const std::string entity = end == std::string::npos ? "" : text.substr(i, end - i + 1);
      if (entity != "&amp;" && entity != "&lt;" && entity != "&gt;" && entity != "&quot;") return "bare & at " + std::to_string(i);
      continue;
    }
    if (text[i] != '<') continue;
    if (text.compare(i, 2, "<?") == 0) {
      i = text.find("?>", i);
      if (i == std::string::npos) return "unclosed declaration";
      continue;
    }
    size_t end = i + 1;
    for (char quote = 0; end < text.size() && (quote || text[end] != '>'); ++end) {
      if (quote ? text[end] == quote : text[end] == '"') quote = quote ? 0 : '"';
      if (text[end] == '<') return "< inside a tag at " + std::to_string(end);
    }
    if (end >= text.size()) return "unclosed tag at " + std::to_string(i);
    const std::string tag = text.substr(i + 1, end - i - 1);
    const std::string name = tag.substr(tag[0] == '/', tag.find_first_of(" />", 1) - (tag[0] == '/'));
    if (tag[0] == '/') {
      if (open.empty() || open.back() != name) return "</" + name + "> closes " + (open.empty() ? "nothing" : open.back());
      open.pop_back();
    } else if (tag.back() != '/') {
      open.push_back(name);
    }
    i = end;
  }
  return open.empty() ? "" : "<" + open.back() + "> left open";
}

// The points of every polyline drawn in a colour, as x, y pairs.
std::vector<std::vector<std::pair<double, double>>> Polylines(const std::string& svg, const std::string& group) {
  std::vector<std::vector<std::pair<double, double>>> lines;
  const size_t start = svg.find(group);
  if (start == std::string::npos) return lines;
  const size_t end = svg.find("</g>", start);
  for (size_t at = svg.find("<polyline points=\"", start); at < end; at = svg.find("<polyline points=\"", at + 1)) {
    std::vector<std::pair<double, double>> points;
    char* cursor = const_cast<char*>(svg.c_str()) + at + 18;
    while (*cursor != '"') {
      const double x = std::strtod(cursor, &cursor);
      const double y = std::strtod(cursor + 1, &cursor);
      points.emplace_back(x, y);
    }
    lines.push_back(points);
  }
  return lines;
}

// The polylines drawn in a colour pass through a curve's samples in order, one per stretch
// on the scale: x at even steps (a step over each gap), y a linear map of the values (or on
// a log scale of their logarithms).
void ExpectPolylinesThrough(const std::string& svg, const std::string& group, const std::vector<double>& samples,
                            size_t lineCount, bool log) {
  const auto lines = Polylines(svg, group);
  ASSERT_EQ(lines.size(), lineCount) << group;
  std::vector<std::pair<double, double>> points;
  for (const auto& line : lines) points.insert(points.end(), line.begin(), line.end());
  std::vector<double> values;
  std::vector<size_t> indices;
  for (size_t i = 0; i < samples.size(); ++i)
    if (std::isfinite(samples[i]) && (!log || samples[i] > 0)) {
      values.push_back(log ? std::log10(samples[i]) : samples[i]);
      indices.push_back(i);
    }
  ASSERT_EQ(points.size(), values.size()) << group;
  // y = a - b value, fitted to all points.
  double meanValue = 0, meanY = 0, covariance = 0, variance = 0;
  for (size_t k = 0; k < points.size(); ++k) meanValue += values[k], meanY += points[k].second;
  meanValue /= static_cast<double>(points.size());
  meanY /= static_cast<double>(points.size());
  for (size_t k = 0; k < points.size(); ++k) {
    covariance += (values[k] - meanValue) * (points[k].second - meanY);
    variance += (values[k] - meanValue) * (values[k] - meanValue);
  }
  const double b = -covariance / variance, a = meanY + b * meanValue;
  const double step = (points.back().first - points.front().first) / static_cast<double>(indices.back() - indices[0]);
  for (size_t k = 0; k < points.size(); ++k) {
    const double i = static_cast<double>(indices[k] - indices[0]);
    EXPECT_NEAR(points[k].first, points[0].first + i * step, 0.011) << group << " " << indices[k];
    EXPECT_NEAR(points[k].second, a - b * values[k], 0.011) << group << " " << indices[k];
  }
}

// A colour profile with a gap, all three channels drawn, a range, a fit and a legend: the
// document is well formed, each curve's polylines pass through its samples in order (at
// even steps across, heights a linear map of the values), the text is escaped.
TEST(SvgPlot, CurvesAreTheSamplesInAWellFormedDocument) {
  std::vector<double> gray(120);
  std::vector<TColorSample> channels(120);
  for (size_t i = 0; i < gray.size(); ++i) {
    channels[i] = {100 + 80 * std::sin(i / 9.0), 50 + i * 1.5, 200 - static_cast<double>(i)};
    gray[i] = GrayOf(channels[i]);
  }
  channels[40].G = std::nan("");
  TPlotPicture picture;
  picture.Data.Profile = gray;
  picture.Data.ProfileRGB = channels;
  picture.Data.PlaneIndex = piAll;
  picture.Data.MaxValue = 255;
  picture.Data.Axes = true;
  picture.Data.Grid = true;
  picture.Title = "All: line from (0, 0) to (119, 0) <R&D>";
  picture.SampleTitle = "Sample";
  picture.ValueTitle = "Value";
  picture.Legend = {{"Red", PackColor(255, 0, 0)}, {"Green", PackColor(0, 128, 0)}, {"Blue", PackColor(0, 0, 255)}};
  picture.Data.Band = std::pair<size_t, size_t>{20, 60};
  TCurveFit fit;
  fit.First = 20, fit.Last = 60, fit.Baseline.Value = 90, fit.Height.Value = 90, fit.Centre.Value = 40;
  fit.Sigma.Value = 8;
  picture.Fits = {{PackColor(255, 0, 0), fit}};
  const std::string svg = SvgPlot(picture, 640, 400);
  EXPECT_EQ(MarkupFault(svg), "");
  EXPECT_NE(svg.find("width=\"640\" height=\"400\""), std::string::npos);
  EXPECT_NE(svg.find("&lt;R&amp;D&gt;</text>"), std::string::npos);
  EXPECT_NE(svg.find(">Green</text>"), std::string::npos) << "the legend";
  EXPECT_NE(svg.find("stroke-dasharray"), std::string::npos) << "the fit";
  EXPECT_NE(svg.find("<g stroke=\"#c0c0c0\">"), std::string::npos) << "the grid";
  struct TCurve {
    const char* Group;
    double TColorSample::*Channel;
    size_t Lines;
  };
  for (const TCurve& curve : {TCurve{"stroke=\"#ff0000\" stroke-width", &TColorSample::R, 1},
                              TCurve{"stroke=\"#008000\" stroke-width", &TColorSample::G, 2},
                              TCurve{"stroke=\"#0000ff\" stroke-width", &TColorSample::B, 1}}) {
    std::vector<double> values;
    for (const TColorSample& sample : channels) values.push_back(sample.*curve.Channel);
    ExpectPolylinesThrough(svg, curve.Group, values, curve.Lines, false);
  }
}

// Kept curves behind the live one in their lighter shades, named in the legend, with gaps
// where they have no samples; on a log scale the heights follow the values' logarithms and
// the samples at or below zero leave gaps.
TEST(SvgPlot, KeptCurvesAndALogScale) {
  std::vector<double> live(90), shorter(60, std::nan(""));
  for (size_t i = 0; i < live.size(); ++i) live[i] = i % 30 == 7 ? 0 : std::pow(10.0, i / 30.0);
  for (size_t i = 0; i < shorter.size(); ++i) shorter[i] = 500 - static_cast<double>(i);
  std::vector<double> kept = AlignedToProfile(shorter, live.size(), true);
  const std::vector<TKeptSeries> series{{kept, PackColor(0, 0, 255), "Before"}};
  TPictureSource source;
  source.Data.Profile = live;
  source.Data.TotalSamples = live.size();
  source.Data.Kept = series;
  source.Curves = {{"Value", PackColor(128, 128, 128)}};
  for (const bool log : {false, true}) {
    source.Data.MaxValue = 1000;
    source.Data.MinValue = 0;
    if (log) UseLogScale(source.Data, std::nullopt);
    const TPlotPicture picture = MakePicture(source);
    EXPECT_EQ(picture.ValueTitle, log ? "Value (log scale, 3 samples at or below 0 left out)" : "Value");
    ASSERT_EQ(picture.Legend.size(), 2u);
    EXPECT_EQ(picture.Legend[1].Name, "Before");
    EXPECT_EQ(picture.Legend[1].Color, KeptShade(PackColor(0, 0, 255), source.Background, 0));
    const std::string svg = SvgPlot(picture, 500, 300);
    EXPECT_EQ(MarkupFault(svg), "");
    char shade[40];
    std::snprintf(shade, sizeof shade, "stroke=\"#%02x%02x%02x\" stroke-width", RedOf(picture.Legend[1].Color),
                  GreenOf(picture.Legend[1].Color), BlueOf(picture.Legend[1].Color));
    ExpectPolylinesThrough(svg, shade, kept, 1, log);
    ExpectPolylinesThrough(svg, "stroke=\"#808080\" stroke-width", live, log ? 4 : 1, log);
    EXPECT_LT(svg.find(shade), svg.find("stroke=\"#808080\" stroke-width")) << "kept curves behind";
  }
}

// What the dialog shows becomes a picture: titles by mode and unit, the range under the
// curves only where it does not fill the view, the fits over the range in view.
TEST(PlotPicture, APictureIsTitledByItsModeAndKeepsTheRangeInView) {
  const std::vector<double> profile(50, 1.0);
  TPictureSource source;
  source.Data.Profile = profile;
  source.Data.FirstSample = 100;
  source.Curves = {{"Red", PackColor(255, 0, 0)}, {"Green", PackColor(0, 128, 0)}, {"Blue", PackColor(0, 0, 255)}};
  source.Selection = {10, 20, 229, 169};
  source.Mode = {false, true, 5};
  source.Range = std::pair<size_t, size_t>{90, 120};
  TRangeFits fits;
  fits.Peaks.resize(3);
  fits.Peaks[1].First = 90, fits.Peaks[1].Last = 120, fits.Peaks[1].Sigma.Value = 3;
  source.Fits = &fits;
  TPlotPicture picture = MakePicture(source);
  EXPECT_EQ(picture.Title, "Red, Green, Blue: line from (10, 169) to (229, 20), width 5");
  EXPECT_EQ(picture.SampleTitle, "Sample");
  EXPECT_EQ(picture.ValueTitle, "Value");
  EXPECT_EQ(picture.Legend.size(), 3u);
  ASSERT_TRUE(picture.Data.Band);
  EXPECT_EQ(*picture.Data.Band, (std::pair<size_t, size_t>{0, 20}));
  ASSERT_EQ(picture.Fits.size(), 1u) << "only the fit made";
  EXPECT_EQ(picture.Fits[0].Color, source.Curves[1].Color);
  const auto points = FitPoints(picture.Fits[0].Fit, TPlotGeometry(400, 300, 8, 50, 1), 100, 50);
  EXPECT_EQ(points.front().first, 0);
  EXPECT_EQ(points.back().first, 20);

  source.Mode = {true, false, 1};
  source.Range = std::pair<size_t, size_t>{100, 149};
  source.Scale = {{0.5, TLengthUnit::Millimetre}, 1};
  picture = MakePicture(source);
  EXPECT_EQ(picture.Title, "Red, Green, Blue: sums of columns 10 to 229 over rows 20 to 169");
  EXPECT_EQ(picture.SampleTitle, "Distance (mm)");
  EXPECT_EQ(picture.ValueTitle, "Sum");
  EXPECT_FALSE(picture.Data.Band) << "a range that fills the view";
  source.Mode = {true, true, 1};
  EXPECT_EQ(MakePicture(source).Title, "Red, Green, Blue: sums of rows 20 to 169 over columns 10 to 229");
}

}  // namespace
