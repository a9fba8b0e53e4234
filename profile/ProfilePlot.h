#pragma once
// The portable half of the profile plot: where each sample lands in the plot, which
// curves a plane choice shows and the runs of the gray ramp under the frame. The curves'
// pixels are CurveStrokes, the numbers' text NumberText; the drawing itself is
// PaintProfile (dialog/ProfilePlot_win.h).

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/LinarBitmap.h"
#include "image/Rounding.h"
#include "profile/ColorSample.h"

// A curve kept from an earlier profile, aligned to this one's samples.
struct TKeptSeries {
  std::span<const double> Values;
  // The curve's own colour; it is drawn lighter (KeptShade).
  TColor Color;
  std::string_view Name;
};

// What the plot shows: the profile, its per-channel samples (24-bit images only), the
// bottom and top of the value scale, whether the raster is a complex map, the plane group's
// item index and the margin around the frame.
struct TProfilePlotData {
  std::span<const double> Profile;
  std::span<const TColorSample> ProfileRGB;
  double MinValue = 0;
  double MaxValue = 1;
  bool ComplexMap = false;
  int PlaneIndex = 0;
  int Margin = 8;
  // The index in the whole profile of Profile's first sample, when the plot shows a
  // stretch of it: the ramp's levels follow the samples' own indices.
  size_t FirstSample = 0;
  // How many samples the whole profile has: while the plot shows fewer, it says which it
  // shows ("Samples 40 to 135 of 272") inside the frame's bottom right corner.
  size_t TotalSamples = 0;
  // The width of the band sampled across a line, said in the frame's top right corner
  // ("Width 15") where it is more than one pixel.
  int BandWidth = 1;
  // The width of the frame's and the curves' lines: 1 as designed, more on a screen of a
  // higher resolution, where the dialog scales.
  int LineWidth = 1;
  // The resolution the plot is drawn at: its labels' font, the ticks and their spacing, the
  // room below the frame grow with it from their design at 96 pixels per inch.
  int PixelsPerInch = 96;
  // Across a band: each sample's spread, for the gray (or only) curve, the average curve and
  // the channels; empty for a line of one pixel. A curve drawn alone carries its envelope,
  // mean minus to mean plus spread, in a light shade under it.
  std::span<const double> Spread;
  std::span<const double> SpreadAverage;
  std::span<const TColorSample> SpreadRGB;
  // Axes with ticks and round-number labels outside the frame, which shrinks to make room;
  // the sample axis counts from AxisOrigin (the first column or row of an integrated
  // selection, 0 for a line).
  bool Axes = false;
  double AxisOrigin = 0;
  // Light lines across the frame at the axes' ticks, under the curves.
  bool Grid = false;
  // Curves kept inside the frame: a scale the user set may leave values beyond it.
  bool ClipCurves = false;
  // Once the user has set a pixel size the sample axis reads distances instead, from 0 at
  // the profile's first sample: AxisScale of them from one sample to the next, the unit's
  // symbol after the last label.
  double AxisScale = 0;
  const char* AxisUnit = "";
  // The labels' face: the screen's is a bitmap font, drawn crisply at its sizes; a picture
  // that is scaled or turns text takes a TrueType face.
  const char* FontFace = "MS Sans Serif";
  // A stretch of samples laid under the curves in a colour of its own: the range in an
  // exported plot. The screen shows its range over the plot instead.
  std::optional<std::pair<size_t, size_t>> Band;
  TColor BandColor = 0;
  // The value axis in decades: values at or below zero have no place on it and leave gaps
  // in the curves.
  bool LogScale = false;
  // Samples that are not numbers leave gaps in the curves rather than sitting on the zero
  // line: a kept curve has none where it does not reach.
  bool GapsAtNaN = false;
  // Curves kept from earlier profiles, drawn behind the live ones: each as long as the whole
  // profile (TotalSamples), its sample i beside the profile's sample i, NaN where it has none.
  std::span<const TKeptSeries> Kept;
};

// Room beside the frame for the axes: left of it for the value labels, below the ramp for
// the sample labels. None without axes.
struct TAxisRoom {
  int Left = 0;
  int Bottom = 0;
};

// Plane items of a colour image, in the plane group's order.
enum TPlaneItem : int { piGrayscale, piAverage, piAll, piRed, piGreen, piBlue };

enum class TCurveKind : uint8_t { Gray, Average, Red, Green, Blue };

struct TPlotCurve {
  TCurveKind Kind;
  TColor Color;
};

// The curves of a plane choice in drawing order; later curves cover earlier ones. A
// complex map shows its one curve whatever the item.
std::vector<TPlotCurve> CurvesOf(int planeIndex, bool complexMap);

// How many samples a curve has: the colour curves only as many as ProfileRGB holds (none
// for an image without channels, whatever plane is chosen).
size_t CurveLength(const TProfilePlotData& data, TCurveKind kind);
// Sample i of a curve (i below its length).
double CurveValue(const TProfilePlotData& data, TCurveKind kind, size_t i) noexcept;
// Sample i of a curve, chosen at compile time for the loops over a whole curve.
template <TCurveKind Kind>
inline double CurveValueOf(const TProfilePlotData& data, size_t i) noexcept {
  if constexpr (Kind == TCurveKind::Gray) {
    return data.Profile[i];
  } else if constexpr (Kind == TCurveKind::Average) {
    return AverageOf(data.ProfileRGB[i]);
  } else if constexpr (Kind == TCurveKind::Red) {
    return data.ProfileRGB[i].R;
  } else if constexpr (Kind == TCurveKind::Green) {
    return data.ProfileRGB[i].G;
  } else {
    return data.ProfileRGB[i].B;
  }
}

// Sample i's spread across a band for a curve; 0 where there is none.
double CurveSpread(const TProfilePlotData& data, TCurveKind kind, size_t i) noexcept;

// `color` brought `parts` of `whole` of the way to `toward`, each channel rounded down.
constexpr TColor MixedColor(TColor color, TColor toward, int parts, int whole) {
  const auto mix = [parts, whole](int from, int to) {
    return static_cast<uint8_t>((from * (whole - parts) + to * parts) / whole);
  };
  return PackColor(mix(RedOf(color), RedOf(toward)), mix(GreenOf(color), GreenOf(toward)),
                   mix(BlueOf(color), BlueOf(toward)));
}

// The grid's light lines: the background a fifth of the way to black.
constexpr TColor GridShade(TColor background) { return MixedColor(background, 0, 1, 5); }

// A lone curve's envelope across a band: its colour three quarters of the way to the
// background.
constexpr TColor EnvelopeShade(TColor color, TColor background) { return MixedColor(color, background, 3, 4); }

// A kept curve's samples beside the plot's samples in view; none where it is not as long
// as the whole profile.
inline std::span<const double> KeptInView(const TProfilePlotData& data, const TKeptSeries& kept) noexcept {
  const size_t count = data.Profile.size();
  return data.FirstSample + count <= kept.Values.size() ? kept.Values.subspan(data.FirstSample, count)
                                                        : std::span<const double>{};
}

// A kept curve's colour brought two fifths of the way to the background, a tenth further
// for each later one up to seven tenths, so that kept curves of one colour still differ.
constexpr TColor KeptShade(TColor color, TColor background, size_t index) {
  return MixedColor(color, background, 4 + static_cast<int>(index % 4), 10);
}

// A scaled offset as a pixel offset. Offsets that fit no coordinate (a huge value, an
// infinity from a zero maximum) are pinned far outside the canvas; NaN, which has no place
// at all, sits on the zero line.
inline int PlotCoordinate(double offset) noexcept {
  constexpr double Limit = 1 << 20;
  if (std::isnan(offset)) return 0;
  return RoundHalfEvenToInt(std::clamp(offset, -Limit, Limit));
}

// The plot's coordinates in a canvas of width x height pixels. Sample 0 lies on the
// frame's left edge, sample count - 1 on its right edge, the minimum (0 unless the scale is
// fitted to the values) on the bottom edge and the maximum on the top edge. A single
// sample stays on the left edge. On a log scale (whose minimum is above zero) heights
// follow the values' logarithms, and values at or below zero lie far below the frame.
class TPlotGeometry {
 public:
  TPlotGeometry(int width, int height, int margin, size_t count, double maxValue, double minValue = 0,
                TAxisRoom room = {}, bool logScale = false);

  int Left() const noexcept { return FLeft; }
  int Top() const noexcept { return FMargin; }
  int Right() const noexcept { return FRight; }
  int BaseY() const noexcept { return FBaseY; }
  // Inline: a long profile's plot computes both for every sample.
  int X(size_t i) const noexcept { return FLeft + PlotCoordinate(static_cast<double>(i) * FXScale); }
  int Y(double value) const noexcept { return FBaseY - PlotCoordinate(Height(value)); }
  // A value's exact height above the bottom edge, in pixels.
  double Height(double value) const noexcept { return ((FLogScale ? LogOf(value) : value) - FMinValue) * FYScale; }
  // Whether a value has a place on the scale: all but NaN and, on a log scale, values at or
  // below zero. Where a curve leaves them out, it has gaps.
  bool OnScale(double value) const noexcept { return FLogScale ? value > 0 : value == value; }
  bool LogScale() const noexcept { return FLogScale; }
  // The column of a place between samples (a fitted curve's).
  int XAt(double sample) const noexcept { return FLeft + PlotCoordinate(sample * FXScale); }
  // The sample (of count) whose point lies nearest to column x; of samples on one column,
  // the one nearest to x on the scale. 0 for fewer than two samples.
  size_t NearestSample(int x, size_t count) const noexcept;
  // The first sample after i (of count) on another column than i: X never turns back, so
  // the samples of a column follow each other.
  size_t ColumnEnd(size_t i, size_t count) const noexcept;

 private:
  int FMargin;
  int FLeft;
  int FRight;
  int FBaseY;
  double FXScale;
  double FYScale;
  double FMinValue;
  bool FLogScale;

  static double LogOf(double value) noexcept { return value > 0 ? std::log10(value) : -HUGE_VAL; }
};

// The scale fitted to the finite values of the curves a plane choice draws: from the least
// to the greatest, each a margin of FittedMargin of their span beyond, so that no extreme
// lies on the frame's lines. A flat profile gets a range of 1 around its value (of two
// billionths of it where 1 is below its precision), an empty one 0 .. 1.
constexpr double FittedMargin = 0.04;
struct TValueSpan {
  double Least;
  double Greatest;
};
TValueSpan CurveValueSpan(const TProfilePlotData& data);
// The same for a log scale, over the values above zero, the margins taken of their span in
// decades; a flat profile gets a decade around its value, one without such values 1 .. 10.
TValueSpan CurveLogSpan(const TProfilePlotData& data);
// Puts the plot on a log scale: over the range set where it lies above zero, else fitted to
// the values above zero (the end the range has above zero kept).
void UseLogScale(TProfilePlotData& data, const std::optional<TValueSpan>& rangeSet);
// How many samples of the curves drawn lie at or below zero, which a log scale leaves out
// (as it does NaN, which no scale places).
size_t LeftOffLogScale(const TProfilePlotData& data);

// A stretch of one ramp row: pixels FromX .. ToX - 1 in the gray level of one sample.
struct TRampRun {
  int FromX;
  int ToX;
  uint8_t Level;
};

// The ramp as lines from sample to sample: the segment that ends at sample i carries
// sample i's level ((first + i) mod 256, first being the index of the plot's first sample
// in the whole profile). Segments that cover no pixel (several samples on one column) are
// left out, so there are never more runs than columns.
std::vector<TRampRun> RampRuns(const TPlotGeometry& geometry, size_t count, size_t first = 0);

// Round steps for an axis of `span` units drawn over `pixels`, one tick at least `spacing`
// pixels from the next: 1, 2 or 5 times a power of ten.
double AxisStep(double span, int pixels, int spacing) noexcept;

// Axes: ticks 4 pixels long, the value labels left of the frame, the sample labels under the
// ramp; a tick at least 40 pixels from the next on the value axis, 80 on the sample axis.
// Below the frame: a gap, the two ramp rows and another gap before the sample axis's ticks.
// All as designed at 96 pixels per inch, rounded to the nearest pixel at the plot's.
struct TAxisSizes {
  explicit TAxisSizes(const TProfilePlotData& data) noexcept
      : TickLength(Scaled(4, data)),
        ValueTickSpacing(Scaled(40, data)),
        SampleTickSpacing(Scaled(80, data)),
        RampRoom(Scaled(4, data)) {}
  int TickLength;
  int ValueTickSpacing;
  int SampleTickSpacing;
  int RampRoom;

 private:
  static int Scaled(int pixels, const TProfilePlotData& data) noexcept { return (pixels * data.PixelsPerInch + 48) / 96; }
};

// The value axis's ticks over `pixels`, at least `spacing` apart: the round values from the
// scale's bottom to its top. On a log scale: the powers of ten (every second, fifth, tenth
// one over many decades), with 2 and 5 times them where a decade has room, and round values
// as on a linear scale within less than a decade.
std::vector<double> ValueTicks(const TProfilePlotData& data, int pixels, int spacing);

// A tick of the sample axis: its place in samples from the plot's first, and its label's
// number (a sample's index counted from AxisOrigin, or a distance).
struct TAxisTick {
  double Sample;
  double Label;
};
// The sample axis's ticks over `pixels`, at least `spacing` apart, on round labels: whole
// samples, or round distances.
std::vector<TAxisTick> SampleTicks(const TProfilePlotData& data, int pixels, int spacing);
// Both axes' ticks over a frame as drawn, at the axes' spacing.
std::vector<double> ValueTicks(const TProfilePlotData& data, const TPlotGeometry& frame);
std::vector<TAxisTick> SampleTicks(const TProfilePlotData& data, const TPlotGeometry& frame);
