// The plot as a picture leaves the dialog: drawn beside its titles on a bitmap, and
// recorded as a metafile.
#include "dialog/PlotPicture_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "tests/dialog/PlotBufferTest.h"

namespace {

class PlotPictureTest : public ProfilePlotTest {};

// A saved picture draws the plot at an offset, beside its titles. A range the user set
// keeps the curve inside the frame there too: none of it above the range, and across the
// frame's whole width within it.
TEST_F(PlotPictureTest, APictureKeepsItsCurveInsideItsFrameUnderASetRange) {
  FProfile.assign(400, 200);
  FData.Profile = FProfile;
  FData.MinValue = 0;
  FData.MaxValue = 150;
  FData.ClipCurves = true;
  FData.Margin = 8;
  FData.FontFace = PictureFontFace;
  TPlotPicture picture;
  picture.Data = FData;
  picture.Title = "Title";
  FBuffer.SetPixelFormat(TPixelFormat::Bgrx32);
  FBuffer.SetSize(700, 400);
  PaintPicture(FBuffer.Canvas(), 700, 400, picture);
  const TPictureLayout layout = LayoutPicture(700, 400, FBuffer.Canvas().TextExtent("Ag").cy);
  const TPlotGeometry geometry = PlotGeometryOf(FBuffer.Canvas(), layout.PlotWidth, layout.PlotHeight, FData);
  const int left = layout.PlotLeft + geometry.Left(), right = layout.PlotLeft + geometry.Right();
  const int base = layout.PlotTop + geometry.BaseY();
  // The flat curve at 200 lies above the frame: clipped, it is drawn nowhere.
  EXPECT_EQ(CountIn(RECT{0, 0, 700, base}, Gray), 0);
  // At 100 it crosses the frame from the pixel inside its left edge to the one inside its
  // right edge.
  FProfile.assign(400, 100);
  picture.Data.Profile = FProfile;
  PaintPicture(FBuffer.Canvas(), 700, 400, picture);
  const int y = layout.PlotTop + geometry.Y(100);
  EXPECT_EQ(CountIn(RECT{0, y, 700, y + 1}, Gray), right - left - 1);
  EXPECT_EQ(At(left + 1, y), Gray);
  EXPECT_EQ(At(right - 1, y), Gray);
}

// Lines two pixels wide on a picture at 192 dots per inch, beside its titles, with and
// without a set range that clips them: the runs written into the bitmap's pixels, each as
// one run two columns wide, leave the picture as the same drawing recorded in a metafile
// and played back, where every run is a GDI line at each shift across the pen's square.
TEST_F(PlotPictureTest, WideLinesOnAPictureMatchTheMetafilesLines) {
  std::mt19937 random(3);
  FProfileRGB.resize(3000);
  for (TColorSample& sample : FProfileRGB)
    sample = {double(random() % 256), double(random() % 256), double(random() % 200)};
  FProfile.assign(FProfileRGB.size(), 0);
  TPlotPicture picture;
  picture.Data.Profile = FProfile;
  picture.Data.ProfileRGB = FProfileRGB;
  picture.Data.PlaneIndex = piAll;
  picture.Data.MaxValue = 255;
  picture.Data.TotalSamples = FProfile.size();
  picture.Data.PixelsPerInch = 192;
  picture.Data.LineWidth = 2;
  picture.Data.Margin = 16;
  picture.Data.FontFace = PictureFontFace;
  picture.Title = "Title";
  for (const bool clipped : {false, true}) {
    SCOPED_TRACE(clipped ? "clipped" : "whole");
    picture.Data.MinValue = clipped ? 40 : 0;
    picture.Data.MaxValue = clipped ? 180 : 255;
    picture.Data.ClipCurves = clipped;
    FBuffer.SetPixelFormat(TPixelFormat::Bgrx32);
    FBuffer.SetSize(900, 500);
    PaintPicture(FBuffer.Canvas(), 900, 500, picture);
    TDIBitmap played;
    played.SetPixelFormat(TPixelFormat::Bgrx32);
    played.SetSize(900, 500);
    const RECT all{0, 0, 900, 500};
    ASSERT_TRUE(PlayEnhMetaFile(played.Canvas().Handle(), PictureMetafile(picture, 900, 500).Get(), &all));
    // Where the curves are: the backgrounds differ (the bitmap's is the button face's colour
    // the plot fills with, the metafile's the picture's own), and so does text smoothed
    // over them.
    const auto curve = [](const TDIBitmap& bitmap, int x, int y) {
      const uint8_t* pixel = bitmap.ScanLine(y) + 4 * x;
      const COLORREF color = RGB(pixel[2], pixel[1], pixel[0]);
      return color == Red || color == Green || color == Blue ? color : Black;
    };
    int differ = 0, drawn = 0;
    for (int y = 0; y < 500; ++y)
      for (int x = 0; x < 900; ++x) {
        const COLORREF a = curve(played, x, y), b = curve(FBuffer, x, y);
        drawn += b != Black;
        if (a != b && differ++ < 10) ADD_FAILURE() << x << ", " << y << ": " << std::hex << a << " vs " << b;
      }
    EXPECT_GT(drawn, 50000);
    EXPECT_EQ(differ, 0);
  }
}

// A distance's title carries its unit's symbol: the micro sign itself, drawn as the system
// draws it from UTF-16, not the two bytes of its UTF-8 read in the ANSI code page.
TEST_F(PlotPictureTest, TheSampleTitleCarriesItsUnitsSymbol) {
  FProfile.assign(50, 100);
  TPlotPicture picture;
  picture.Data.Profile = FProfile;
  picture.Data.MaxValue = 255;
  picture.Data.TotalSamples = FProfile.size();
  picture.Data.FontFace = PictureFontFace;
  picture.SampleTitle = "Distance (\xC2\xB5m)";
  FBuffer.SetPixelFormat(TPixelFormat::Bgrx32);
  FBuffer.SetSize(500, 300);
  PaintPicture(FBuffer.Canvas(), 500, 300, picture);
  TDIBitmap expected;
  expected.SetPixelFormat(TPixelFormat::Bgrx32);
  expected.SetSize(500, 300);
  picture.SampleTitle.clear();
  PaintPicture(expected.Canvas(), 500, 300, picture);
  TCanvas& canvas = expected.Canvas();
  canvas.SetFont(PictureFontFace, -MulDiv(8, picture.Data.PixelsPerInch, 72));
  const TPictureLayout layout = LayoutPicture(500, 300, canvas.TextExtent("Ag").cy);
  const std::wstring title = L"Distance (\u00B5m)";
  SIZE size{};
  GetTextExtentPoint32W(canvas.Handle(), title.c_str(), static_cast<int>(title.size()), &size);
  SetBkMode(canvas.Handle(), TRANSPARENT);
  SetTextColor(canvas.Handle(), Black);
  TextOutW(canvas.Handle(), layout.PlotLeft + (layout.PlotWidth - size.cx) / 2, layout.SampleTitleTop, title.c_str(),
           static_cast<int>(title.size()));
  GdiFlush();
  for (int y = 0; y < 300; ++y)
    ASSERT_EQ(std::memcmp(expected.ScanLine(y), FBuffer.ScanLine(y), 4 * 500), 0) << "row " << y;
}

}  // namespace
