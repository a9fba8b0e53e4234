#include "profile/FigureTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "profile/NumberText.h"
#include "profile/PixelSize.h"

namespace {

TEST(PixelSize, LengthsConvertBetweenUnitsAndParseAsTyped) {
  struct TCase {
    TPixelSize From;
    TLengthUnit To;
    double Length;
  };
  const TCase cases[] = {
      {{0.5, TLengthUnit::Micrometre}, TLengthUnit::Nanometre, 500},
      {{2.54, TLengthUnit::Centimetre}, TLengthUnit::Inch, 1},
      {{1, TLengthUnit::Inch}, TLengthUnit::Millimetre, 25.4},
      {{3, TLengthUnit::Metre}, TLengthUnit::Micrometre, 3e6},
      {{7, TLengthUnit::None}, TLengthUnit::Millimetre, 7},
      {{7, TLengthUnit::Millimetre}, TLengthUnit::None, 7},
  };
  for (const TCase& c : cases) {
    const TPixelSize to = c.From.In(c.To);
    EXPECT_NEAR(to.Length, c.Length, 1e-12 * c.Length) << UnitSymbol(c.From.Unit) << " to " << UnitSymbol(c.To);
    EXPECT_EQ(to.Unit, c.To);
  }
  EXPECT_STREQ(UnitSymbol(TLengthUnit::Micrometre), "\xC2\xB5m");
  EXPECT_FALSE(TPixelSize{}.Set());
  EXPECT_EQ(TDistanceScale{}.Of(12.5), 12.5) << "samples until a size is set";
  EXPECT_EQ((TDistanceScale{{0.5, TLengthUnit::Micrometre}, 1.5}.Of(4)), 3);
  EXPECT_EQ((TDistanceScale{{2, TLengthUnit::None}, 1}.Suffix()), "");

  EXPECT_EQ(ParseLength(" 0.25 "), 0.25);
  EXPECT_EQ(ParseLength("1,5"), 1.5);
  EXPECT_EQ(ParseLength("2e-3"), 0.002);
  for (const char* bad : {"", "  ", "0", "-1", "abc", "1.5 mm", "inf", "nan", "1e400"})
    EXPECT_FALSE(ParseLength(bad)) << bad;
  // A value range's ends: any finite number.
  EXPECT_EQ(ParseNumber(" -2,5"), -2.5);
  EXPECT_EQ(ParseNumber("0"), 0);
  for (const char* bad : {"", "-", "1..2", "inf", "1e400", "12 3"}) EXPECT_FALSE(ParseNumber(bad)) << bad;
}

// A Gaussian peak over a floor on samples 100..299, a flat curve beside it: the figures
// in samples, then in micrometres (0.5 µm a pixel, 2 pixels a sample), and the fits.
TEST(FigureTable, RangeFiguresAndFitsInTheUsersUnits) {
  std::vector<double> peak, flat(200, 3);
  for (int i = 0; i < 200; ++i) peak.push_back(10 + 100 * std::exp(-(i - 80.0) * (i - 80.0) / (2 * 12.0 * 12.0)));
  const TCurveSeries series{{"Red", peak}, {"Green", flat}};
  const TRangeFits fits{FitSeries(TFitShape::Peak, series, 100), FitSeries(TFitShape::Edge, series, 100)};

  const TFigureTable samples(series, 100, {}, {});
  EXPECT_EQ(samples.Heads(), (std::vector<std::string>{"Figure", "Red", "Green"}));
  EXPECT_EQ(samples.Text('\t').substr(0, samples.Text('\t').find("\r\n", 20) + 2),
            "Figure\tRed\tGreen\r\nCount\t200\t200\r\n");

  const TFigureTable table(series, 100, {{0.5, TLengthUnit::Micrometre}, 2}, fits);
  const auto row = [&](const std::string& name) {
    for (size_t r = 0; r < table.Rows(); ++r)
      if (table.Name(r) == name) return r;
    ADD_FAILURE() << "no row " << name;
    return size_t{0};
  };
  EXPECT_EQ(table.Cell(row("Peak at (\xC2\xB5m)"), 0, '.'), "180");
  EXPECT_EQ(table.Cell(row("Peak at (\xC2\xB5m)"), 1, '.'), "100") << "a flat stretch peaks at its first sample";
  EXPECT_EQ(table.Cell(row("Centroid (\xC2\xB5m)"), 1, '.'), "none");
  EXPECT_EQ(table.Cell(row("Peak fit: centre (\xC2\xB5m)"), 0, ','), "180");
  EXPECT_EQ(table.Cell(row("Peak fit: sigma (\xC2\xB5m)"), 0, ','), "12");
  EXPECT_EQ(table.Cell(row("Peak fit: FWHM (\xC2\xB5m)"), 0, ','), "28,2578");
  EXPECT_EQ(table.Cell(row("Peak fit: height"), 0, '.'), "100");
  EXPECT_EQ(table.Cell(row("Peak fit: R\xC2\xB2"), 0, '.'), "1");
  EXPECT_EQ(table.Cell(row("Peak fit: centre (\xC2\xB5m)"), 1, '.'), "no fit: the samples are flat");
  EXPECT_EQ(table.Cell(row("Peak fit: centre (\xC2\xB5m) SE"), 1, '.'), "");
  EXPECT_EQ(table.Cell(row("Edge fit: centre (\xC2\xB5m)"), 1, '.'), "no fit: the samples are flat");
  EXPECT_EQ(table.Cell(row("10\xE2\x80\x93" "90 % rise of the samples (\xC2\xB5m)"), 1, '.'), "none");
  const std::string text = table.Text(',');
  const size_t height = text.find("\r\nPeak fit: height,");
  ASSERT_NE(height, std::string::npos) << text;
  EXPECT_NEAR(std::stod(text.substr(height + 19)), 100, 1e-12) << "in full, not rounded for the eye";

  // A kept curve after the fitted ones has its figures and empty fit cells.
  TCurveSeries compared = series;
  compared.emplace_back("Kept", peak);
  const TFigureTable kept(compared, 100, {}, fits);
  EXPECT_EQ(kept.Heads().back(), "Kept");
  for (size_t r = 0; r < kept.Rows(); ++r) {
    const bool fitted = kept.Name(r).find(" fit: ") != std::string::npos;
    EXPECT_EQ(kept.Cell(r, 2, '.').empty(), fitted) << kept.Name(r);
  }
}

}  // namespace
