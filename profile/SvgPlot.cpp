#include "profile/SvgPlot.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "errors/Exceptions.h"
#include "profile/NumberText.h"
#include "resources/Texts.h"

namespace {

// A picture's text at its resolution, 8 points as the dialog's; without the font's metrics,
// a character is taken as six tenths of the text's height.
struct TSvgFont {
  explicit TSvgFont(int pixelsPerInch) noexcept : Height(8.0 * pixelsPerInch / 72) {}
  double Height;
  double Width(const std::string& text) const noexcept { return 0.6 * Height * static_cast<double>(text.size()); }
};

class TSvgText {
 public:
  explicit TSvgText(std::string& text) noexcept : FText(text) {}

  // To a hundredth of a pixel, "." its decimal point.
  TSvgText& operator<<(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::round(value * 100) / 100 + 0.0);
    FText.append(buffer, result.ptr);
    return *this;
  }
  TSvgText& operator<<(int value) { return *this << static_cast<double>(value); }
  TSvgText& operator<<(const char* text) {
    FText += text;
    return *this;
  }
  TSvgText& operator<<(TColor color) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", RedOf(color), GreenOf(color), BlueOf(color));
    FText += buffer;
    return *this;
  }
  // Text content, its markup characters escaped.
  TSvgText& Escaped(const std::string& text) {
    for (char c : text) {
      switch (c) {
        case '&': FText += "&amp;"; break;
        case '<': FText += "&lt;"; break;
        case '>': FText += "&gt;"; break;
        case '"': FText += "&quot;"; break;
        default: FText += c;
      }
    }
    return *this;
  }

 private:
  std::string& FText;
};

// The plot inside the picture, at the translation of its area: each part as the dialog
// draws it, coordinates exact rather than rounded to pixels.
class TSvgPlot {
 public:
  TSvgPlot(const TPlotPicture& picture, int width, int height, std::string& text)
      : FPicture(picture),
        FData(picture.Data),
        FFont(picture.Data.PixelsPerInch),
        FSizes(picture.Data),
        FGeometry(width, height, FData.Margin, FData.Profile.size(), FData.MaxValue, FData.MinValue, Room(height),
                  FData.LogScale),
        FOut(text) {
    const size_t count = FData.Profile.size();
    FXScale = count > 1 ? (FGeometry.Right() - FGeometry.Left()) / static_cast<double>(count - 1) : 0;
  }

  void Write() {
    FOut << "<defs><clipPath id=\"frame\"><rect x=\"" << FGeometry.Left() << "\" y=\"" << FGeometry.Top()
         << "\" width=\"" << FGeometry.Right() - FGeometry.Left() + 1 << "\" height=\""
         << FGeometry.BaseY() - FGeometry.Top() + 1 << "\"/></clipPath></defs>\n";
    WriteBand();
    WriteGrid();
    WriteEnvelope();
    FOut << "<rect x=\"" << FGeometry.Left() + 0.5 << "\" y=\"" << FGeometry.Top() + 0.5 << "\" width=\""
         << FGeometry.Right() - FGeometry.Left() << "\" height=\"" << FGeometry.BaseY() - FGeometry.Top()
         << "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"" << FData.LineWidth << "\"/>\n";
    if (FData.Axes) WriteAxes();
    else WriteLabels();
    WriteOrientation();
    WriteCurves();
    WriteRamp();
    WriteFits();
    WriteLegend();
  }

 private:
  TAxisRoom Room(int height) const {
    if (!FData.Axes) return {};
    TAxisRoom room;
    room.Bottom = FSizes.RampRoom + FSizes.TickLength + 1 + static_cast<int>(std::ceil(FFont.Height));
    double widest = 0;
    for (double value : ValueTicks(FData, height - 1 - 2 * FData.Margin - room.Bottom, FSizes.ValueTickSpacing))
      widest = std::max(widest, FFont.Width(FormatGeneral(value, 10)));
    room.Left = static_cast<int>(std::ceil(widest)) + FSizes.TickLength + 2;
    return room;
  }

  double X(double sample) const noexcept { return FGeometry.Left() + 0.5 + sample * FXScale; }
  // Heights beyond any picture (a value at or below zero on a log scale) are pinned well
  // outside it, as numbers a reader takes.
  double Y(double value) const noexcept {
    constexpr double Limit = 1 << 20;
    return FGeometry.BaseY() + 0.5 - std::clamp(FGeometry.Height(value), -Limit, Limit);
  }

  // Text whose top lies at y, as the dialog places it; SVG places the baseline.
  void Text(double x, double top, const char* anchor, const std::string& text) {
    FOut << "<text x=\"" << x << "\" y=\"" << top + 0.8 * FFont.Height << "\"";
    if (anchor) FOut << " text-anchor=\"" << anchor << "\"";
    FOut << ">";
    FOut.Escaped(text) << "</text>\n";
  }

  void WriteBand() {
    if (!FData.Band || FData.Profile.empty()) return;
    const double left = X(static_cast<double>(FData.Band->first)) - 0.5;
    const double right = X(static_cast<double>(FData.Band->second)) + 0.5;
    FOut << "<rect x=\"" << left << "\" y=\"" << FGeometry.Top() << "\" width=\"" << right - left << "\" height=\""
         << FGeometry.BaseY() - FGeometry.Top() + 1 << "\" fill=\"" << FData.BandColor << "\" stroke=\"none\"/>\n";
  }

  void WriteGrid() {
    if (!FData.Grid) return;
    FOut << "<g stroke=\"" << GridShade(FPicture.Background) << "\">\n";
    for (double value : ValueTicks(FData, FGeometry))
      FOut << "<line x1=\"" << FGeometry.Left() << "\" y1=\"" << Y(value) << "\" x2=\"" << FGeometry.Right()
           << "\" y2=\"" << Y(value) << "\"/>\n";
    for (const TAxisTick& tick : SampleTicks(FData, FGeometry))
      FOut << "<line x1=\"" << X(tick.Sample) << "\" y1=\"" << FGeometry.Top() << "\" x2=\"" << X(tick.Sample)
           << "\" y2=\"" << FGeometry.BaseY() << "\"/>\n";
    FOut << "</g>\n";
  }

  // A lone curve's spread across a band, in its colour three quarters of the way to the
  // background.
  void WriteEnvelope() {
    const std::vector<TPlotCurve> curves = CurvesOf(FData.PlaneIndex, FData.ComplexMap);
    if (curves.size() != 1 || FData.Spread.empty()) return;
    const TColor shade = EnvelopeShade(curves[0].Color, FPicture.Background);
    const size_t length = CurveLength(FData, curves[0].Kind);
    FOut << "<polygon clip-path=\"url(#frame)\" fill=\"" << shade << "\" points=\"";
    for (size_t k = 0; k < 2 * length; ++k) {
      const size_t i = k < length ? k : 2 * length - 1 - k;
      const double value = CurveValue(FData, curves[0].Kind, i), spread = CurveSpread(FData, curves[0].Kind, i);
      FOut << X(static_cast<double>(i)) << "," << Y(k < length ? value + spread : value - spread) << " ";
    }
    FOut << "\"/>\n";
  }

  void WriteLabels() {
    FOut << "<g fill=\"" << FPicture.Text << "\">\n";
    Text(FGeometry.Left() + 2, FGeometry.BaseY() - FFont.Height - 1, nullptr, FormatGeneral(FData.MinValue));
    Text(FGeometry.Left() + 2, FGeometry.Top() + 1, nullptr, FormatGeneral(FData.MaxValue));
    FOut << "</g>\n";
  }

  void WriteAxes() {
    const std::vector<double> values = ValueTicks(FData, FGeometry);
    FOut << "<g stroke=\"#000000\">\n";
    for (double value : values)
      FOut << "<line x1=\"" << FGeometry.Left() - FSizes.TickLength << "\" y1=\"" << Y(value) << "\" x2=\""
           << FGeometry.Left() << "\" y2=\"" << Y(value) << "\"/>\n";
    const int tickTop = FGeometry.BaseY() + FSizes.RampRoom;
    const std::vector<TAxisTick> ticks = SampleTicks(FData, FGeometry);
    for (const TAxisTick& tick : ticks)
      FOut << "<line x1=\"" << X(tick.Sample) << "\" y1=\"" << tickTop << "\" x2=\"" << X(tick.Sample) << "\" y2=\""
           << tickTop + FSizes.TickLength << "\"/>\n";
    FOut << "</g>\n<g fill=\"" << FPicture.Text << "\">\n";
    for (double value : values)
      Text(FGeometry.Left() - FSizes.TickLength - 1, Y(value) - FFont.Height / 2, "end", FormatGeneral(value, 10));
    for (const TAxisTick& tick : ticks) {
      std::string label = FormatGeneral(tick.Label, 10);
      if (&tick == &ticks.back() && *FData.AxisUnit) label.append(" ").append(FData.AxisUnit);
      Text(X(tick.Sample), tickTop + FSizes.TickLength + 1, "middle", label);
    }
    FOut << "</g>\n";
  }

  void WriteOrientation() {
    FOut << "<g fill=\"" << FPicture.Text << "\">\n";
    const double right = FGeometry.Right() - 2;
    if (FData.BandWidth > 1) Text(right, FGeometry.Top() + 1, "end", FormatText(S_PLOT_WIDTH, FData.BandWidth));
    const size_t count = FData.Profile.size();
    if (count > 0 && count < FData.TotalSamples)
      Text(right, FGeometry.BaseY() - FFont.Height - 1, "end",
           FormatText(S_PLOT_IN_VIEW, static_cast<int>(FData.FirstSample),
                      static_cast<int>(FData.FirstSample + count - 1), static_cast<int>(FData.TotalSamples)));
    FOut << "</g>\n";
  }

  // A polyline a stretch of samples on the scale: a sample that is not a number (or on a
  // log scale not above zero) leaves a gap. Kept curves first, behind the live ones.
  void WriteCurves() {
    const size_t count = FData.Profile.size();
    for (size_t k = 0; k < FData.Kept.size(); ++k) {
      const TKeptSeries& kept = FData.Kept[k];
      const std::span<const double> values = KeptInView(FData, kept);
      if (values.empty()) continue;
      WriteCurve(KeptShade(kept.Color, FPicture.Background, k), count, [values](size_t i) { return values[i]; });
    }
    for (const TPlotCurve& curve : CurvesOf(FData.PlaneIndex, FData.ComplexMap))
      WriteCurve(curve.Color, CurveLength(FData, curve.Kind),
                 [this, &curve](size_t i) { return CurveValue(FData, curve.Kind, i); });
  }

  template <typename ValueAt>
  void WriteCurve(TColor color, size_t length, ValueAt valueAt) {
    FOut << "<g fill=\"none\" stroke=\"" << color << "\" stroke-width=\"" << FData.LineWidth
         << "\" stroke-linejoin=\"round\" clip-path=\"url(#frame)\">\n";
    bool open = false;
    for (size_t i = 0; i < length; ++i) {
      const double value = valueAt(i);
      if (!std::isfinite(value) || !FGeometry.OnScale(value)) {
        if (open) FOut << "\"/>\n";
        open = false;
        continue;
      }
      FOut << (open ? " " : "<polyline points=\"") << X(static_cast<double>(i)) << "," << Y(value);
      open = true;
    }
    if (open) FOut << "\"/>\n";
    FOut << "</g>\n";
  }

  void WriteRamp() {
    const size_t count = FData.Profile.size();
    if (count == 0) return;
    FOut << "<g shape-rendering=\"crispEdges\">\n";
    for (const TRampRun& run : RampRuns(FGeometry, count, FData.FirstSample))
      FOut << "<rect x=\"" << run.FromX << "\" y=\"" << FGeometry.BaseY() + 2 << "\" width=\"" << run.ToX - run.FromX
           << "\" height=\"2\" fill=\"" << GrayLevel(run.Level) << "\"/>\n";
    FOut << "</g>\n";
  }

  void WriteFits() {
    for (const TFitStroke& fit : FPicture.Fits) {
      const std::vector<std::pair<double, double>> points =
          FitPoints(fit.Fit, FGeometry, FData.FirstSample, FData.Profile.size());
      if (points.empty()) continue;
      FOut << "<polyline fill=\"none\" stroke=\"" << fit.Color << "\" stroke-width=\"" << FData.LineWidth
           << "\" stroke-dasharray=\"" << 4 * FData.LineWidth << " " << 2 * FData.LineWidth
           << "\" clip-path=\"url(#frame)\" points=\"";
      for (const auto& [sample, value] : points) FOut << X(sample) << "," << Y(value) << " ";
      FOut << "\"/>\n";
    }
  }

  void WriteLegend() {
    if (FPicture.Legend.size() < 2) return;
    double widest = 0;
    for (const TLegendEntry& entry : FPicture.Legend) widest = std::max(widest, FFont.Width(entry.Name));
    const int textHeight = static_cast<int>(std::ceil(FFont.Height));
    const TLegendBox box = LegendBoxOf(FGeometry, FPicture, static_cast<int>(std::ceil(widest)), textHeight);
    FOut << "<rect x=\"" << box.Left + 0.5 << "\" y=\"" << box.Top + 0.5 << "\" width=\"" << box.Right - box.Left
         << "\" height=\"" << box.Bottom - box.Top << "\" fill=\"" << FPicture.Background
         << "\" stroke=\"#000000\"/>\n";
    for (size_t i = 0; i < FPicture.Legend.size(); ++i) {
      const TLegendEntry& entry = FPicture.Legend[i];
      const double top = box.Top + box.Padding + static_cast<double>(i) * box.RowHeight;
      const double middle = top + textHeight / 2.0;
      FOut << "<line x1=\"" << box.Left + box.Padding << "\" y1=\"" << middle << "\" x2=\""
           << box.Left + box.Padding + box.LineLength << "\" y2=\"" << middle << "\" stroke=\"" << entry.Color
           << "\" stroke-width=\"" << 2 * FData.LineWidth << "\"/>\n";
      FOut << "<g fill=\"" << FPicture.Text << "\">\n";
      Text(box.Left + 2 * box.Padding + box.LineLength, top, nullptr, entry.Name);
      FOut << "</g>\n";
    }
  }

  const TPlotPicture& FPicture;
  const TProfilePlotData& FData;
  TSvgFont FFont;
  TAxisSizes FSizes;
  TPlotGeometry FGeometry;
  TSvgText FOut;
  double FXScale = 0;
};

}  // namespace

std::string SvgPlot(const TPlotPicture& picture, int width, int height) {
  std::string text;
  TSvgText out(text);
  const TSvgFont font(picture.Data.PixelsPerInch);
  const TPictureLayout layout = LayoutPicture(width, height, static_cast<int>(std::ceil(font.Height)));
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
      << "width=\"" << width << "\" height=\"" << height << "\" viewBox=\"0 0 " << width << " " << height
      << "\" font-family=\"'Microsoft Sans Serif', 'MS Sans Serif', Arial, sans-serif\" font-size=\"" << font.Height << "\">\n<title>";
  out.Escaped(picture.Title) << "</title>\n<rect width=\"" << width << "\" height=\"" << height << "\" fill=\""
                             << picture.Background << "\"/>\n<g fill=\"" << picture.Text << "\">\n";
  const double baseline = 0.8 * font.Height;
  out << "<text x=\"" << width / 2.0 << "\" y=\"" << layout.TitleTop + baseline << "\" text-anchor=\"middle\">";
  out.Escaped(picture.Title) << "</text>\n<text transform=\"translate(" << layout.ValueTitleLeft + baseline << ","
                             << layout.PlotTop + layout.PlotHeight / 2.0 << ") rotate(-90)\" text-anchor=\"middle\">";
  out.Escaped(picture.ValueTitle) << "</text>\n<text x=\"" << layout.PlotLeft + layout.PlotWidth / 2.0 << "\" y=\""
                                  << layout.SampleTitleTop + baseline << "\" text-anchor=\"middle\">";
  out.Escaped(picture.SampleTitle) << "</text>\n</g>\n<g transform=\"translate(" << layout.PlotLeft << ","
                                   << layout.PlotTop << ")\">\n";
  TSvgPlot(picture, layout.PlotWidth, layout.PlotHeight, text).Write();
  out << "</g>\n</svg>\n";
  return text;
}
