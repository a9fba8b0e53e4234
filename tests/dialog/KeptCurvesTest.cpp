// Curves kept from one call to the next, end to end through Ostravine.dll: a red curve kept
// with Ctrl+K over one image, then a second call over another image and a shorter line,
// whose panel shows the kept curve behind its own with a legend, then on a log scale with
// the grid, then aligned at the centre and back on a linear scale, each time pixel for pixel
// as the plot's painter draws the same data; its readout and its copied values carry the
// kept curve's samples.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "profile/ProfilePlot.h"
#include "tests/dialog/PaintedPlot.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"

namespace {

constexpr int Width = 240, Height = 16, Margin = 8;
constexpr int Shorter = 200;
constexpr TColor Red = PackColor(255, 0, 0);

// The first image's red channel: a peak at 70 on a floor of 20 rising to 140 at the end.
uint8_t FirstRed(int x) {
  return static_cast<uint8_t>(std::lround(20 + 160 * std::exp(-(x - 70) * (x - 70) / 162.0) +
                                          60 * (1 + std::erf((x - 180) / (6 * std::sqrt(2.0))))));
}
// The second's: lower by 18, and 0 over its first five pixels, which a log scale leaves out.
uint8_t SecondRed(int x) { return x < 5 ? 0 : static_cast<uint8_t>(FirstRed(x) - 18); }

template <typename Red>
void Paint(THostImageBuffer& image, Red red) {
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      uint8_t* pixel = image.Pixels() + 3 * (y * Width + x);
      pixel[0] = static_cast<uint8_t>(200 - x / 2);
      pixel[1] = 60;
      pixel[2] = red(x);
    }
}

class KeptCurvesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    ParkCursor();
  }

  // The second call's plot of the red plane, the first call's red curve kept behind it.
  std::vector<uint32_t> Expected(const TWindowPixels& panel, bool logScale, bool grid = false) {
    FSamples.clear();
    for (int x = 0; x < Shorter; ++x)
      FSamples.push_back({double(SecondRed(x)), 60, double(200 - x / 2)});
    FGray.assign(Shorter, 0);
    // 200 of the kept curve's 240 samples: aligned at sample 0 the first, at the centre
    // those from 20 on.
    FKept.clear();
    for (int x = 0; x < Shorter; ++x) FKept.push_back(FirstRed(x + (FCentred ? 20 : 0)));
    FSeries = {{FKept, Red, "kept"}};
    TProfilePlotData data;
    data.Profile = FGray;
    data.ProfileRGB = FSamples;
    data.TotalSamples = Shorter;
    data.MaxValue = 255;
    data.PlaneIndex = piRed;
    data.Margin = Margin;
    data.Kept = FSeries;
    data.Grid = grid;
    if (logScale) {
      UseLogScale(data, std::nullopt);
      // Two decades of values on a frame some 250 pixels high: ticks at 10 and 100 only.
      const std::vector<double> ticks = ValueTicks(data, panel.Height - 2 * Margin - 1, 40);
      EXPECT_EQ(ticks, (std::vector<double>{10, 100}));
      EXPECT_EQ(LeftOffLogScale(data), 5u);
    }
    return PaintedPlot(data, panel.Width, panel.Height);
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
  THostImageBuffer FImage = THostImageBuffer::Make24Bit(Width, Height);
  std::vector<TColorSample> FSamples;
  std::vector<double> FGray, FKept;
  std::vector<TKeptSeries> FSeries;
  bool FCentred = false;
};

void Press(HWND dialog, std::initializer_list<BYTE> keys) {
  SetForegroundWindow(dialog);
  Keys(keys);
}

TEST_F(KeptCurvesTest, ACurveKeptInOneCallIsDrawnAndCopiedInTheNext) {
  Paint(FImage, FirstRed);
  FHost.OpenImages = {{FImage.Record().Pixels, TRect{0, 8, Width - 1, 8}}};
  {
    TDialogWatcher watcher("Ostravine",
                           {[](HWND dialog) {
                             ClickChild(dialog, "Button", "Red");
                             Press(dialog, {VK_CONTROL, 'K'});
                           },
                            [](HWND) {}},
                           TDialogAnswer::Close);
    EXPECT_EQ(FPlugin.ProcessImage(1, &FImage.Record()), 1);
  }

  Paint(FImage, SecondRed);
  FHost.OpenImages = {{FImage.Record().Pixels, TRect{0, 8, Shorter - 1, 8}}};
  std::string copied;
  TDialogWatcher watcher(
      "Ostravine",
      {[](HWND dialog) { ClickChild(dialog, "Button", "Red"); },
       [&](HWND dialog) {
         // The legend shows by default with a kept curve: over the plot's top right only.
         const TWindowPixels shown = ReadClientPixels(Panel(dialog));
         const std::vector<uint32_t> plot = Expected(shown, false);
         size_t differing = 0;
         for (int y = 0; y < shown.Height; ++y)
           for (int x = 0; x < shown.Width; ++x)
             if (shown.At(x, y) != plot[static_cast<size_t>(y) * shown.Width + x]) {
               ++differing;
               EXPECT_TRUE(x > shown.Width / 3 && y < shown.Height / 2) << x << ", " << y;
             }
         EXPECT_GT(differing, 200u);
         Press(dialog, {VK_APPS});
       },
       [](HWND) { Keys({'D'}); },
       [&](HWND dialog) {
         const TWindowPixels shown = ReadClientPixels(Panel(dialog));
         EXPECT_TRUE(shown.Pixels == Expected(shown, false)) << "the kept curve behind the live one";
         Press(dialog, {VK_APPS});
       },
       [](HWND) { Keys({'O'}); },
       [](HWND dialog) { Press(dialog, {VK_APPS}); },
       [](HWND) { Keys({'I'}); },
       [&](HWND dialog) {
         const TWindowPixels shown = ReadClientPixels(Panel(dialog));
         EXPECT_TRUE(shown.Pixels == Expected(shown, true, true)) << "log scale and grid";
         MoveOverPanel(dialog, TPlotGeometry(shown.Width, shown.Height, Margin, Shorter, 255).X(70), shown.Height / 2);
       },
       [&](HWND dialog) {
         // The readout names the kept curve's sample beside the live one's.
         EXPECT_NE(ToolTipText().find("\r\nRed, 240x16: line (0, 8) to (239, 8): " + std::to_string(FirstRed(70))),
                   std::string::npos)
             << ToolTipText();
         ParkCursor();
         Press(dialog, {VK_APPS});
       },
       [](HWND) { Keys({'H'}); },
       [](HWND dialog) { Press(dialog, {VK_APPS}); },
       [](HWND) { Keys({'Z'}); },
       [&](HWND dialog) {
         // "Scale from zero" ends the log scale; the grid stays, the kept curve now centred.
         const TWindowPixels shown = ReadClientPixels(Panel(dialog));
         FCentred = true;
         EXPECT_TRUE(shown.Pixels == Expected(shown, false, true)) << "back to a linear scale";
         Press(dialog, {VK_CONTROL, 'C'});
       },
       [&](HWND) { copied = ClipboardUtf8(); }},
      TDialogAnswer::Close);
  EXPECT_EQ(FPlugin.ProcessImage(1, &FImage.Record()), 1);

  // The live profile's 200 rows, each with the kept curve's sample beside it, the curves'
  // middles aligned: the kept curve's 240 samples start 20 before the live ones.
  const std::string header = "Sample\tX\tY\tRed\tGreen\tBlue\tGray\tAverage\tRed, 240x16: line (0, 8) to (239, 8)\r\n";
  ASSERT_EQ(copied.compare(0, header.size(), header), 0) << copied.substr(0, 200);
  size_t rows = 0;
  for (size_t at = header.size(); at < copied.size(); at = copied.find("\r\n", at) + 2, ++rows) {
    const std::string row = copied.substr(at, copied.find("\r\n", at) - at);
    EXPECT_EQ(row.substr(row.rfind('\t') + 1), std::to_string(FirstRed(static_cast<int>(rows) + 20))) << row;
  }
  EXPECT_EQ(rows, size_t{Shorter});
}

}  // namespace
