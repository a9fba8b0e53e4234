// The plot drawn into a back buffer and read back pixel by pixel.
#include "dialog/ProfilePlot_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/WinApi.h"
#include "profile/NumberText.h"
#include "tests/dialog/PlotBufferTest.h"
#include "ui/DIBitmap.h"

namespace {

// Inside the frame, right of the labels: a flat curve covers 535 pixels of one row here.
constexpr RECT Inner{50, 9, 585, 263};
constexpr int FlatCurve = 585 - 50;

TEST_F(ProfilePlotTest, FrameLabelsAndCurveInTheDialogsPanel) {
  FProfile.assign(300, 100);
  FData.MaxValue = 255;
  Paint(595, 272);
  // Frame on x = 8 and 585, y = 8 and 263 (the curve starts on its left edge at y = 163);
  // background outside it.
  EXPECT_EQ(CountIn(RECT{8, 8, 9, 264}, Black), 256 - 1);
  EXPECT_EQ(CountIn(RECT{585, 8, 586, 264}, Black), 256);
  EXPECT_EQ(CountInRow(8, Black), 578);
  EXPECT_EQ(CountInRow(263, Black), 578);
  EXPECT_EQ(CountIn(RECT{7, 7, 587, 8}, FBackground) + CountIn(RECT{7, 264, 587, 265}, FBackground) +
                CountIn(RECT{7, 8, 8, 264}, FBackground) + CountIn(RECT{586, 8, 587, 264}, FBackground),
            2 * 580 + 2 * 256);
  EXPECT_EQ(At(0, 0), FBackground);
  // yScale is 1: the value 100 lies on row 163, from the left edge up to the right one.
  EXPECT_EQ(CountInRow(163, Gray), 585 - 8);
  EXPECT_EQ(At(584, 163), Gray);
  // "0" from (10, 251), the maximum from (10, 9), in the window-text colour.
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_GT(CountIn(RECT{10, 251, 20, 263}, text), 0);
  EXPECT_EQ(CountIn(RECT{10, 240, 40, 251}, text), 0);
  EXPECT_GT(CountIn(RECT{10, 9, 40, 22}, text), 0);
  EXPECT_EQ(CountIn(RECT{40, 9, 80, 22}, text), 0);  // "255" is short
}

TEST_F(ProfilePlotTest, RampRowsCarryTheGrayLevelOfEachSampleAndTheEndPixel) {
  FProfile.assign(600, 1);
  const int width = 700, height = 120, margin = 8;
  Paint(width, height);
  const TPlotGeometry geometry(width, height, margin, FProfile.size(), 1);
  for (const int y : {geometry.BaseY() + 2, geometry.BaseY() + 3}) {
    SCOPED_TRACE(y);
    // The pixels of the line from sample i - 1 to sample i are sample i's.
    int x = margin;
    for (size_t i = 0; i < FProfile.size(); ++i) {
      const int to = geometry.X(i);
      const uint8_t level = static_cast<uint8_t>(i % 256);
      for (; x < to; ++x) ASSERT_EQ(At(x, y), RGB(level, level, level)) << x;
    }
    EXPECT_EQ(At(geometry.Right(), y), RGB(599 % 256, 599 % 256, 599 % 256));
    EXPECT_EQ(At(geometry.Right() + 1, y), FBackground);
    EXPECT_EQ(At(margin - 1, y), FBackground);
  }
  EXPECT_EQ(CountInRow(geometry.BaseY() + 1, Black), 0);
  EXPECT_EQ(CountInRow(geometry.BaseY() + 4, Black), 0);
}

TEST_F(ProfilePlotTest, CurveColoursPerPlane) {
  ConstantColors(50, TColorSample{200, 120, 50});  // gray 135, average 123.3
  const int redRow = 263 - 200, greenRow = 263 - 120, blueRow = 263 - 50;
  const int grayRow = 263 - 135, averageRow = 263 - 123;
  struct TCase { int Plane; int GrayAt; bool R, G, B; };
  for (const TCase c : {TCase{piGrayscale, grayRow, false, false, false},
                        TCase{piAverage, averageRow, false, false, false},
                        TCase{piAll, -1, true, true, true}, TCase{piRed, -1, true, false, false},
                        TCase{piGreen, -1, false, true, false}, TCase{piBlue, -1, false, false, true}}) {
    SCOPED_TRACE(c.Plane);
    FData.PlaneIndex = c.Plane;
    Paint(595, 272);
    EXPECT_EQ(At(300, redRow) == Red, c.R);
    EXPECT_EQ(At(300, greenRow) == Green, c.G);
    EXPECT_EQ(At(300, blueRow) == Blue, c.B);
    EXPECT_EQ(CountIn(Inner, Gray), c.GrayAt >= 0 ? FlatCurve : 0);
    if (c.GrayAt >= 0) {
      EXPECT_EQ(At(300, c.GrayAt), Gray);
    }
  }
}

TEST_F(ProfilePlotTest, OneSampleAtTheLeftEdgeAndNoSampleAtAll) {
  FProfile = {100};
  FData.MaxValue = 255;
  Paint(595, 272);
  EXPECT_EQ(At(8, 163), Gray);
  EXPECT_EQ(CountIn(Inner, Gray), 0);
  EXPECT_EQ(At(8, 265), Black);  // the end pixel of sample 0, in level 0
  EXPECT_EQ(CountInRow(266, Black), 1);

  FProfile.clear();
  Paint(595, 272);
  EXPECT_EQ(CountIn(RECT{8, 8, 9, 264}, Black), 256);
  EXPECT_EQ(CountInRow(265, FBackground), 595);
  EXPECT_EQ(CountInRow(266, FBackground), 595);
  EXPECT_GT(CountIn(RECT{10, 9, 40, 22}, GetSysColor(COLOR_WINDOWTEXT)), 0);
}

// The plot drawn the plain way, as it is described: a line to every sample, a pen for
// every ramp segment.
void PaintPlainly(TCanvas& canvas, int width, int height, const TProfilePlotData& data) {
  const int m = data.Margin, baseY = height - 1 - m;
  const size_t n = data.Profile.size();
  const double xScale = (width - 2.0 - 2 * m) / static_cast<double>(n - 1);
  const double yScale = (height - 1.0 - 2 * m) / (data.MaxValue - data.MinValue);
  const auto x = [&](size_t i) { return m + static_cast<int>(std::nearbyint(i * xScale)); };
  const auto y = [&](double v) { return baseY - static_cast<int>(std::nearbyint((v - data.MinValue) * yScale)); };
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(GetSysColor(COLOR_BTNFACE));
  canvas.FillRect(canvas.ClipRect());
  canvas.SetBrushColor(Black);
  canvas.FrameRect(RECT{m, m, width - m - 1, baseY + 1});
  canvas.SetBrushStyle(TBrushStyle::Clear);
  canvas.SetFontColor(GetSysColor(COLOR_WINDOWTEXT));
  canvas.TextOut(m + 2, baseY - std::abs(canvas.FontHeight()) - 1, FormatGeneral(data.MinValue));
  canvas.TextOut(m + 2, m + 1, FormatGeneral(data.MaxValue));
  const auto curve = [&](COLORREF color, auto value) {
    canvas.SetPenColor(color);
    canvas.MoveTo(m, y(value(0)));
    for (size_t i = 0; i < n; ++i) canvas.LineTo(x(i), y(value(i)));
  };
  const auto& rgb = data.ProfileRGB;
  const int plane = data.PlaneIndex;
  if (data.ComplexMap || plane == 0)
    curve(Gray, [&](size_t i) { return data.Profile[i]; });
  else if (plane == 1)
    curve(Gray, [&](size_t i) { return (rgb[i].R + rgb[i].G + rgb[i].B) / 3; });
  if (plane == 2 || plane == 3) curve(Red, [&](size_t i) { return rgb[i].R; });
  if (plane == 2 || plane == 4) curve(Green, [&](size_t i) { return rgb[i].G; });
  if (plane == 2 || plane == 5) curve(Blue, [&](size_t i) { return rgb[i].B; });
  for (const int row : {baseY + 2, baseY + 3}) {
    canvas.MoveTo(m, row);
    for (size_t i = 0; i < n; ++i) {
      const size_t level = (data.FirstSample + i) % 256;
      canvas.SetPenColor(RGB(level, level, level));
      canvas.LineTo(x(i), row);
    }
    canvas.SetPixel(width - m - 2, row, canvas.PenColor());
  }
}

TEST_F(ProfilePlotTest, MatchesThePlainDrawingPixelForPixel) {
  std::mt19937 random(5);
  const auto uniform = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  for (int round = 0; round < 24; ++round) {
    const int width = static_cast<int>(uniform(60, 900)), height = static_cast<int>(uniform(40, 400));
    const size_t count = static_cast<size_t>(uniform(2, round % 2 ? 40 : 6000));
    FProfileRGB.resize(count);
    double level = uniform(0, 255);
    for (TColorSample& sample : FProfileRGB) {
      level = std::clamp(level + uniform(-20, 20), -30.0, 290.0);
      sample = {level, uniform(0, 255), 255 - level};
    }
    FProfile.resize(count);
    for (size_t i = 0; i < count; ++i)
      FProfile[i] = (2 * FProfileRGB[i].R + 3 * FProfileRGB[i].G + FProfileRGB[i].B) / 6;
    FData.MinValue = 0;
    FData.MaxValue = round % 3 ? 255 : uniform(50, 2000);
    // Every other plot shows a stretch of a longer profile, whose ramp keeps its levels.
    FData.FirstSample = round % 2 ? static_cast<size_t>(uniform(0, 100000)) : 0;
    FData.PlaneIndex = round % 6;
    FData.ComplexMap = FData.PlaneIndex < 2 && round % 4 == 1;  // "Real" or "Complex"
    // Every fifth plot has its scale fitted to the values it draws.
    if (round % 5 == 4) {
      FData.Profile = FProfile;
      FData.ProfileRGB = FProfileRGB;
      const TValueSpan span = CurveValueSpan(FData);
      FData.MinValue = span.Least;
      FData.MaxValue = span.Greatest;
    }
    SCOPED_TRACE(testing::Message() << width << " x " << height << ", " << count << " samples");
    Paint(width, height);
    TDIBitmap plain;
    plain.SetPixelFormat(TPixelFormat::Bgrx32);
    plain.SetSize(width, height);
    PaintPlainly(plain.Canvas(), width, height, FData);
    for (int y = 0; y < height; ++y)
      ASSERT_EQ(std::memcmp(plain.ScanLine(y), FBuffer.ScanLine(y), 4 * width), 0) << "row " << y;
  }
}

// Noise in every channel, many samples to a column (up to 100,000 samples, which squeeze
// the ramp's cycles of 256 into a few columns each): the later curves hide most of the
// earlier ones, whose hidden lines are left out, and the pixels stay those of the lines to
// every sample. Also sparse samples, whose lines between columns cross several columns.
// In the dialog's 24-bit buffer, in a 32-bit one, and through a clip region, where the
// runs down the columns are drawn as lines.
TEST_F(ProfilePlotTest, MatchesThePlainDrawingWhereLaterCurvesHideEarlierOnes) {
  std::mt19937 random(11);
  for (const size_t count : {100000u, 14142u, 3000u, 90u, 7u}) {
    FProfileRGB.resize(count);
    for (TColorSample& sample : FProfileRGB)
      sample = {static_cast<double>(random() % 256), static_cast<double>(random() % 256),
                static_cast<double>(random() % 200)};
    FProfile.assign(count, 0);
    FData.Profile = FProfile;
    FData.ProfileRGB = FProfileRGB;
    FData.MaxValue = 255;
    FData.PlaneIndex = piAll;
    for (const TPixelFormat format : {TPixelFormat::Bgr24, TPixelFormat::Bgrx32}) {
      for (const bool clipped : {false, true}) {
        SCOPED_TRACE(testing::Message() << count << " samples, " << PixelSizeOf(format) << " bytes a pixel"
                                        << (clipped ? ", clipped" : ""));
        TDIBitmap fast, plain;
        for (TDIBitmap* bitmap : {&fast, &plain}) {
          bitmap->SetPixelFormat(format);
          bitmap->SetSize(603, 273);
        }
        if (clipped) fast.Canvas().SetClipRect({0, 0, 603, 273});
        PaintProfile(fast.Canvas(), 603, 273, FData);
        PaintPlainly(plain.Canvas(), 603, 273, FData);
        for (int y = 0; y < 273; ++y)
          ASSERT_EQ(std::memcmp(plain.ScanLine(y), fast.ScanLine(y), PixelSizeOf(format) * 603), 0) << "row " << y;
      }
    }
  }
}

// Axes: the frame leaves room on its left for the value labels and the plot below the ramp
// for the sample labels; ticks 4 pixels long stand outside the frame at round values (0,
// 50, ... 250 on this 255-high scale) and at round samples counted from the axis's origin
// (the first column of an integrated selection, here 30: the labels 40, 60, ... 120 stand at
// samples 10, 30, ... 90). Without axes the plot is the plain one (the tests above).
TEST_F(ProfilePlotTest, AxesStandOutsideAShrunkenFrameAtRoundValuesAndSamples) {
  FProfile.assign(101, 100);
  FData.MinValue = 0;
  FData.MaxValue = 255;
  FData.Axes = true;
  FData.AxisOrigin = 30;
  FData.Profile = FProfile;
  Paint(603, 281);
  const TPlotGeometry geometry = PlotGeometryOf(FBuffer.Canvas(), 603, 281, FData);
  EXPECT_GT(geometry.Left(), 8 + 10) << "room for the labels";
  EXPECT_LT(geometry.BaseY(), 281 - 1 - 8 - 10);
  // The curve starts on the frame's left edge, where it covers one of its pixels.
  EXPECT_EQ(CountIn(RECT{geometry.Left(), 8, geometry.Left() + 1, geometry.BaseY() + 1}, Black),
            geometry.BaseY() - 8);
  for (int value = 0; value <= 250; value += 50) {
    const int y = geometry.Y(value);
    EXPECT_EQ(CountIn(RECT{geometry.Left() - 4, y, geometry.Left(), y + 1}, Black), 4) << value;
    EXPECT_EQ(CountIn(RECT{geometry.Left() - 4, y - 1, geometry.Left(), y}, Black), 0) << value;
  }
  for (int sample = 10; sample <= 90; sample += 20) {
    const int x = geometry.X(static_cast<size_t>(sample));
    EXPECT_EQ(CountIn(RECT{x, geometry.BaseY() + 4, x + 1, geometry.BaseY() + 8}, Black), 4) << sample;
    EXPECT_EQ(CountIn(RECT{x + 1, geometry.BaseY() + 4, x + 2, geometry.BaseY() + 8}, Black), 0) << sample;
  }
  EXPECT_GT(CountIn(RECT{8, 8, geometry.Left() - 4, geometry.BaseY()}, GetSysColor(COLOR_WINDOWTEXT)), 0)
      << "the value labels";
  EXPECT_GT(CountIn(RECT{geometry.Left(), geometry.BaseY() + 9, 603 - 8, 281 - 8}, GetSysColor(COLOR_WINDOWTEXT)), 0)
      << "the sample labels";
  // A wide label on the last sample stays whole: it ends before the canvas does, however
  // far it would reach past the right end centred under its tick.
  FData.AxisOrigin = 12240;
  Paint(603, 281);
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  const int lastLabel = CountIn(RECT{540, geometry.BaseY() + 9, 603, 281}, text);
  FBuffer.Canvas().TextOut(100, 20, "12340");
  EXPECT_EQ(lastLabel, CountIn(RECT{100, 20, 160, 20 + 16}, text));
  // Distances once a pixel size is set, whatever the origin: a quarter micrometre a sample
  // puts ticks at 0, 5, ... 25 (samples 0, 20, ... 100), the unit after the last label.
  FData.AxisScale = 0.25;
  FData.AxisUnit = "\xC2\xB5m";
  Paint(603, 281);
  for (int sample = 20; sample <= 80; sample += 20) {
    const int x = geometry.X(static_cast<size_t>(sample));
    EXPECT_EQ(CountIn(RECT{x, geometry.BaseY() + 4, x + 1, geometry.BaseY() + 8}, Black), 4) << sample;
  }
  // The micro sign itself, which the canvas draws in the ANSI code page.
  const int unitLabel = CountIn(RECT{540, geometry.BaseY() + 9, 603, 281}, text);
  FBuffer.Canvas().TextOut(100, 20, AnsiText("25 \xC2\xB5m"));
  EXPECT_EQ(unitLabel, CountIn(RECT{100, 20, 160, 20 + 16}, text));
}

// The grid: light lines across the frame at the ticks the axes would have, under the curve
// (its row keeps the curve's colour), none without it.
TEST_F(ProfilePlotTest, AGridLiesUnderTheCurveAtTheAxesTicks) {
  FProfile.assign(101, 100);
  FData.MinValue = 0;
  FData.MaxValue = 255;
  FData.AxisOrigin = 30;
  FData.Profile = FProfile;
  const COLORREF shade = GridShade(GetSysColor(COLOR_BTNFACE));
  Paint(603, 281);
  const TPlotGeometry geometry = PlotGeometryOf(FBuffer.Canvas(), 603, 281, FData);
  const RECT inside{geometry.Left() + 1, geometry.Top() + 1, geometry.Right(), geometry.BaseY()};
  EXPECT_EQ(CountIn(inside, shade), 0);
  FData.Grid = true;
  Paint(603, 281);
  for (int value : {50, 150, 200}) {
    const int y = geometry.Y(value);
    EXPECT_EQ(CountIn(RECT{inside.left, y, inside.right, y + 1}, shade), inside.right - inside.left) << value;
  }
  EXPECT_EQ(CountIn(RECT{inside.left, geometry.Y(100), inside.right, geometry.Y(100) + 1}, shade), 0);
  for (int sample = 10; sample <= 90; sample += 20) {
    const int x = geometry.X(static_cast<size_t>(sample));
    EXPECT_EQ(CountIn(RECT{x, inside.top, x + 1, inside.bottom}, shade), inside.bottom - inside.top - 1) << sample;
  }
  // A scale the user set below the values: the curve stays inside the frame.
  FData.MaxValue = 98;
  Paint(603, 281);
  const RECT above{0, 0, 603, geometry.Top()};
  const COLORREF curve = RGB(128, 128, 128);
  EXPECT_GT(CountIn(above, curve), 0) << "drawn over the margin";
  FData.ClipCurves = true;
  Paint(603, 281);
  EXPECT_EQ(CountIn(above, curve), 0);
}

// Zoomed, the plot says which samples it shows in the frame's bottom right corner; across a
// band, its width in the top right corner; the whole profile of a line says neither.
TEST_F(ProfilePlotTest, ZoomAndBandWidthAreSaidInTheFramesRightCorners) {
  FProfile.assign(96, 0);
  FData.Profile = FProfile;
  FData.TotalSamples = 96;
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  const RECT top{400, 9, 592, 24}, bottom{300, 281 - 9 - 16, 592, 281 - 11};
  Paint(603, 281);
  EXPECT_EQ(CountIn(top, text) + CountIn(bottom, text), 0);
  FData.TotalSamples = 272;
  FData.FirstSample = 40;
  FData.BandWidth = 15;
  Paint(603, 281);
  EXPECT_GT(CountIn(top, text), 20) << "Width 15";
  EXPECT_GT(CountIn(bottom, text), 60) << "Samples 40 to 135 of 272";
}

// Across a band a curve drawn alone carries its envelope, mean plus to mean minus spread, in
// its colour three quarters faded into the background, under the curve; with several
// curves there is none.
TEST_F(ProfilePlotTest, ALoneCurveCarriesItsBandsEnvelope) {
  const size_t count = 50;
  FProfile.assign(count, 0);
  FProfileRGB.assign(count, TColorSample{100, 50, 50});
  const std::vector<TColorSample> spread(count, TColorSample{20, 0, 0});
  const std::vector<double> graySpread(count, 0);
  FData.MinValue = 0;
  FData.MaxValue = 255;
  FData.Spread = graySpread;
  FData.SpreadRGB = spread;
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF light = RGB((255 + 3 * GetRValue(face)) / 4, (0 + 3 * GetGValue(face)) / 4, (0 + 3 * GetBValue(face)) / 4);
  for (const int plane : {int(piRed), int(piAll)}) {
    FData.PlaneIndex = plane;
    Paint(603, 281);
    const TPlotGeometry geometry(603, 281, 8, count, 255);
    const int x = geometry.X(25);
    const int top = geometry.Y(120), bottom = geometry.Y(80), curve = geometry.Y(100);
    if (plane == piRed) {
      EXPECT_EQ(CountIn(RECT{x, top, x + 1, bottom + 1}, light), bottom - top);  // all but the curve's pixel
      EXPECT_EQ(At(x, curve), Red);
      EXPECT_NE(At(x, top - 1), light);
      EXPECT_NE(At(x, bottom + 1), light);
    } else {
      EXPECT_EQ(CountIn(RECT{x, top, x + 1, bottom + 1}, light), 0);
    }
  }
  // A spread beyond the scale stays inside the frame, and few samples far apart get a band
  // filled from one to the next, not lines a sample apart.
  FProfile.resize(5);
  FProfileRGB.resize(5);
  const std::vector<TColorSample> wide(5, TColorSample{400, 0, 0});
  FData.SpreadRGB = wide;
  FData.Spread = std::span(graySpread).first(5);
  FData.PlaneIndex = piRed;
  Paint(603, 281);
  const TPlotGeometry few(603, 281, 8, 5, 255);
  const RECT inside{few.Left() + 1, few.Top() + 1, few.Right(), few.BaseY()};
  EXPECT_EQ(CountIn(RECT{0, 0, 603, 281}, light), CountIn(inside, light)) << "none outside the frame";
  EXPECT_EQ(At((few.X(1) + few.X(2)) / 2, few.Y(30)), light);
  FData.Spread = {};
  FData.SpreadRGB = {};
}

}  // namespace
