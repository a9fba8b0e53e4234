#include "profile/ProfileValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "profile/KeptCurves.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "the last line ends with CR LF";
  return lines;
}

bool ReadsBackTo(const std::string& field, double value) {
  const double read = std::strtod(field.c_str(), nullptr);
  return std::memcmp(&read, &value, sizeof value) == 0;
}

// The walk of the 3 x 3 example and its copy: the readout and the table name the same
// point twice, and the table's columns follow the mode.
TEST(ProfileValues, LineModeNamesEachSamplesPointAndItsChannels) {
  TProfile profile;
  profile.Profile = {11.0 / 6, 0, 0, 255};
  profile.ProfileRGB = {{1, 2, 3}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}};
  profile.Points = TLinePoints({0, 0, 2, 2}, false);
  const TProfileValues values(profile, TValueKind::Color, {0, 0, 2, 2}, {false, false});
  ASSERT_EQ(values.Count(), 4u);
  EXPECT_EQ(values.Place(0), "Sample 0 (0, 0)");
  EXPECT_EQ(values.Place(2), "Sample 2 (1, 1)");
  EXPECT_EQ(values.Place(3), "Sample 3 (2, 2)");
  // Each plane's own curves first, by the plane's words, then the channels not named yet.
  const char* const planes[] = {"Gray 1.83333  R 1  G 2  B 3", "Average 2  R 1  G 2  B 3", "R 1  G 2  B 3",
                                "R 1  G 2  B 3",               "G 2  R 1  B 3",            "B 3  R 1  G 2"};
  for (int plane = 0; plane < 6; ++plane) EXPECT_EQ(values.Values(0, plane), planes[plane]) << plane;
  EXPECT_EQ(values.Values(0, 0, ','), "Gray 1,83333  R 1  G 2  B 3");
  EXPECT_EQ(values.Values(3, 1), "Average 255  R 255  G 255  B 255");
  // The table is the same whatever the plane: every channel, the gray value and the average.
  EXPECT_EQ(values.Table('\t'), "Sample\tX\tY\tRed\tGreen\tBlue\tGray\tAverage\r\n"
                                "0\t0\t0\t1\t2\t3\t1.8333333333333333\t2\r\n"
                                "1\t1\t1\t0\t0\t0\t0\t0\r\n"
                                "2\t1\t1\t0\t0\t0\t0\t0\r\n"
                                "3\t2\t2\t255\t255\t255\t255\t255\r\n");
  profile.Points = TLinePoints({0, 0, 2, 2}, true);
  const TProfileValues other(profile, TValueKind::Color, {0, 0, 2, 2}, {false, true});
  EXPECT_EQ(other.Place(0), "Sample 0 (0, 2)");
  EXPECT_EQ(other.Place(3), "Sample 3 (2, 0)");
}

TEST(ProfileValues, IntegrateModeNamesRowsOrColumnsByImageCoordinate) {
  TProfile profile;
  profile.Profile = {1530, 12.5};
  const TProfileValues columns(profile, TValueKind::Gray, {4, 7, 5, 9}, {true, false});
  EXPECT_EQ(columns.Place(1), "Column 5");
  EXPECT_EQ(columns.Values(0), "Value 1530");
  EXPECT_EQ(columns.Table(','), "Column,Value\r\n4,1530\r\n5,12.5\r\n");
  const TProfileValues rows(profile, TValueKind::Imaginary, {4, 7, 5, 8}, {true, true});
  EXPECT_EQ(rows.Place(0), "Row 7");
  EXPECT_EQ(rows.Values(1), "Imaginary 12.5");
  EXPECT_EQ(rows.Table('\t'), "Row\tImaginary\r\n7\t1530\r\n8\t12.5\r\n");
  const TProfileValues real(profile, TValueKind::Real, {4, 7, 5, 8}, {true, true});
  EXPECT_EQ(real.Values(0), "Real 1530");
}

// Kept curves: at most eight, the oldest going first; named by the image and the line;
// lined up with a profile at its first sample or its middle; their columns follow the
// table's own, empty where a curve has no sample, a name with the separator quoted.
TEST(ProfileValues, KeptCurvesStandBesideTheValues) {
  TKeptCurves list;
  for (int i = 0; i < 10; ++i) list.Keep({std::to_string(i), 0, {}});
  ASSERT_EQ(list.Size(), TKeptCurves::Most);
  EXPECT_EQ(list[0].Name, "2");
  EXPECT_EQ(list[7].Name, "9");
  EXPECT_EQ(KeptCurveName("Red", 400, 300, {5, 6, 50, 60}, {false, true}), "Red, 400x300: line (5, 60) to (50, 6)");
  EXPECT_EQ(KeptCurveName("Sum", 40, 30, {5, 6, 15, 16}, {true, true}), "Sum, 40x30: rows 6 to 16");
  EXPECT_EQ(KeptCurveName("Sum", 40, 30, {5, 6, 15, 16}, {true, false}), "Sum, 40x30: columns 5 to 15");
  const double none = std::numeric_limits<double>::quiet_NaN();
  const auto same = [](const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](double x, double y) {
             return x == y || (std::isnan(x) && std::isnan(y));
           });
  };
  EXPECT_TRUE(same(AlignedToProfile({1, 2, 3}, 5, false), {1, 2, 3, none, none}));
  EXPECT_TRUE(same(AlignedToProfile({1, 2, 3}, 6, true), {none, 1, 2, 3, none, none}));
  EXPECT_TRUE(same(AlignedToProfile({1, 2, 3, 4, 5, 6}, 2, true), {3, 4}));
  EXPECT_TRUE(same(AlignedToProfile({1, 2, 3, 4, 5, 6}, 2, false), {1, 2}));

  TProfile profile;
  profile.Profile = {10, 20, 30};
  TProfileValues values(profile, TValueKind::Gray, {0, 0, 2, 0}, {true, false});
  const std::vector<double> before = AlignedToProfile({7.5, 8}, 3, false), other = AlignedToProfile({-1}, 3, true);
  const std::vector<TKeptSeries> kept{{before, 0, "Value, 3x1: columns 0 to 2"}, {other, 0, "Say \"one\""}};
  values.BesideKept(kept);
  EXPECT_EQ(values.Table('\t'), "Column\tValue\tValue, 3x1: columns 0 to 2\t\"Say \"\"one\"\"\"\r\n"
                                "0\t10\t7.5\t\r\n1\t20\t8\t-1\r\n2\t30\t\t\r\n");
  EXPECT_EQ(Lines(values.Table(','))[0], "Column,Value,\"Value, 3x1: columns 0 to 2\",\"Say \"\"one\"\"\"");
  EXPECT_EQ(values.KeptValues(1, ','), "\r\nValue, 3x1: columns 0 to 2: 8\r\nSay \"one\": -1");
  EXPECT_EQ(values.KeptValues(2), "");
  // A range's figures add the kept curves with a sample at each of its places.
  const std::vector<std::string> figures = Lines(values.RangeTable(0, 1, 0, ','));
  ASSERT_EQ(figures.size(), 3u);
  EXPECT_EQ(figures[2].substr(0, 36), "\"Value, 3x1: columns 0 to 2\",2,7.5,8");
  EXPECT_EQ(Lines(values.RangeTable(1, 2, 0, ',')).size(), 2u) << "neither kept curve has sample 2";
  EXPECT_NE(values.RangeReadout(0, 1, 0).find("Value, 3x1: columns 0 to 2: 2 samples"), std::string::npos);
}

// An 8-bit image whose palette is not the gray ramp: the readout names the index's colour
// in line mode, where a sample is the stored index, and stays a value in integrate mode.
TEST(ProfileValues, AColourPaletteNamesTheIndexsColour) {
  std::vector<uint8_t> palette(768);
  for (int i = 0; i < 256; ++i) palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<uint8_t>(i);
  TProfile profile;
  profile.Profile = {50, 7};
  const TProfileValues gray(profile, TValueKind::Gray, {0, 0, 1, 0}, {false, false}, palette.data());
  EXPECT_EQ(gray.Values(0), "Value 50");
  palette[3 * 50] = 10;  // blue
  palette[3 * 50 + 2] = 224;  // red
  const TProfileValues colour(profile, TValueKind::Gray, {0, 0, 1, 0}, {false, false}, palette.data());
  EXPECT_EQ(colour.Values(0), "Index 50 = R 224 G 50 B 10");
  EXPECT_EQ(colour.Values(1), "Index 7 = R 7 G 7 B 7");
  const TProfileValues sums(profile, TValueKind::Gray, {0, 0, 1, 0}, {true, false}, palette.data());
  EXPECT_EQ(sums.Values(0), "Value 50");
}

// Across a band every value column is followed by its spread, in the table and the readout.
TEST(ProfileValues, ABandsSpreadFollowsEachValue) {
  TProfile profile;
  profile.Profile = {11.0 / 6};
  profile.ProfileRGB = {{1, 2, 3}};
  profile.Spread = {0.5};
  profile.SpreadRGB = {{0.25, 1, 2}};
  profile.SpreadAverage = {0.75};
  const TProfileValues values(profile, TValueKind::Color, {0, 0, 0, 0}, {false, false});
  EXPECT_EQ(values.Table(','), "Sample,X,Y,Red,Red SD,Green,Green SD,Blue,Blue SD,Gray,Gray SD,Average,Average SD\r\n"
                               "0,0,0,1,0.25,2,1,3,2,1.8333333333333333,0.5,2,0.75\r\n");
  EXPECT_EQ(values.Values(0, 0), "Gray 1.83333 \xC2\xB1 0.5  R 1 \xC2\xB1 0.25  G 2 \xC2\xB1 1  B 3 \xC2\xB1 2");
  TProfile gray;
  gray.Profile = {7.5};
  gray.Spread = {1.5};
  const TProfileValues band(gray, TValueKind::Gray, {0, 0, 0, 0}, {false, false});
  EXPECT_EQ(band.Values(0), "Value 7.5 \xC2\xB1 1.5");
  EXPECT_EQ(band.Table('\t'), "Sample\tX\tY\tValue\tValue SD\r\n0\t0\t0\t7.5\t1.5\r\n");
}

// One spelling in the readout, the copied table and the file, which Python's float() and
// R's read.csv take back as the same value; NaN has no sign whatever its bits say.
TEST(ProfileValues, NotANumberAndTheInfinitiesAreSpelledOneWayEverywhere) {
  TProfile profile;
  profile.Profile = {std::nan(""), -std::nan(""), HUGE_VAL, -HUGE_VAL};
  const TProfileValues values(profile, TValueKind::Real, {0, 0, 3, 0}, {true, false});
  const char* spelled[] = {"NaN", "NaN", "Inf", "-Inf"};
  EXPECT_EQ(values.Table(','), "Column,Real\r\n0,NaN\r\n1,NaN\r\n2,Inf\r\n3,-Inf\r\n");
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(values.Values(i), std::string("Real ") + spelled[i]) << i;
}

// Six significant digits in the readout; the table's numbers are exact and short.
TEST(ProfileValues, NumbersAreShortestInTheTableAndSixDigitsInTheReadout) {
  TProfile profile;
  profile.Profile = {0.1, 1.0 / 3, 123456.7, 1234567, -2.5e-7, 1e21, -0.0};
  const TProfileValues values(profile, TValueKind::Real, {0, 0, 6, 0}, {true, false});
  EXPECT_EQ(values.Values(1), "Real 0.333333");
  EXPECT_EQ(values.Values(2), "Real 123457");
  EXPECT_EQ(values.Values(3), "Real 1.23457E6");
  const std::vector<std::string> lines = Lines(values.Table(','));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[1], "0,0.1");
  EXPECT_EQ(lines[2], "1,0.3333333333333333");
  EXPECT_EQ(lines[3], "2,123456.7");
  EXPECT_EQ(lines[4], "3,1234567");
  for (size_t i = 0; i < profile.Profile.size(); ++i)
    EXPECT_TRUE(ReadsBackTo(lines[i + 1].substr(lines[i + 1].find(',') + 1), profile.Profile[i])) << lines[i + 1];
}

// Once a pixel size is set, every place and width is a distance from the first sample: the
// 6 samples of a 3 by 4 pixel diagonal lie 1 pixel apart, 2 µm with 2 µm pixels.
TEST(ProfileValues, APixelSizeTurnsPlacesAndWidthsIntoDistances) {
  TProfile profile;
  profile.Profile = {0, 10, 30, 10, 0, 0};
  profile.Points = TLinePoints({0, 0, 3, 4}, false);
  TProfileValues values(profile, TValueKind::Gray, {0, 0, 3, 4}, {false, false});
  EXPECT_EQ(values.RangeReadout(1, 3, 0), "Samples 1 to 3\r\n"
                                          "Value: 3 samples; min 10; max 30; mean 16.6667; sd 9.42809; sum 50; "
                                          "FWHM 1; peak at 2; centroid 2");
  EXPECT_EQ(Lines(values.RangeTable(0, 4, 0, ','))[0], "Curve,Count,Minimum,Maximum,Mean,SD,Sum,FWHM,Peak at,Centroid");
  values.MeasureIn({2, TLengthUnit::Micrometre});
  EXPECT_EQ(values.Place(2), "Sample 2 (1, 2) at 4 \xC2\xB5m");
  EXPECT_EQ(values.RangeReadout(0, 4, 0, ','), "Samples 0 to 4\r\n"
                                               "Value: 5 samples; min 0; max 30; mean 10; sd 10,9545; sum 50; "
                                               "FWHM 3 \xC2\xB5m; peak at 4 \xC2\xB5m; centroid 4 \xC2\xB5m");
  EXPECT_EQ(values.RangeTable(0, 4, 0, ','),
            "Curve,Count,Minimum,Maximum,Mean,SD,Sum,FWHM (\xC2\xB5m),Peak at (\xC2\xB5m),Centroid (\xC2\xB5m)\r\n"
            "Value,5,0,30,10,10.954451150103322,50,3,4,4\r\n");
  const std::vector<std::string> table = Lines(values.Table(',', 1, 2));
  EXPECT_EQ(table, (std::vector<std::string>{"Sample,X,Y,Distance (\xC2\xB5m),Value", "1,1,1,2,10", "2,1,2,4,30"}));
  // Integrate mode's rows are a pixel apart; a size without a unit scales and names none.
  const TProfileValues rows = [&] {
    TProfileValues made(profile, TValueKind::Gray, {0, 10, 0, 14}, {true, true});
    made.MeasureIn({0.5, TLengthUnit::None});
    return made;
  }();
  EXPECT_EQ(rows.Place(4), "Row 14 at 2");
  EXPECT_EQ(Lines(rows.Table('\t'))[1], "10\t0\t0");
}

}  // namespace
