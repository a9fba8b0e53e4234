// The dialog's marks in the host's image end to end: the edges of a wide line and the
// readout's highlighted sample, and every byte put back when they go.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "profile/ProfilePlot.h"
#include "tests/dialog/ProfileValuesDialog.h"

namespace {

// A line 5 pixels wide, chosen on the context menu: the values table gets a spread after
// each value, the gray mean and spread of a sample are those of the 5 pixels across the
// line (read from a clean copy), the band's edge lines carry the samples' levels in the
// host's image, and closing puts every byte back.
TEST_F(ProfileValuesDialog, ALineFivePixelsWideHasItsSpreadAndMarksItsEdges) {
  auto image = THostImageBuffer::Make24Bit(60, 40, 180);
  const THostImageBuffer clean = THostImageBuffer::CopyOf(image);
  const auto before = image.Snapshot();
  const TRect selection{5, 8, 54, 30};
  const std::vector<TSamplePoint> points = OracleLinePoints(selection, false);
  const double length = std::hypot(49.0, 22.0), nx = -22 / length, ny = 49 / length;
  const auto pixel = [&](const THostImageBuffer& buffer, int x, int y) {
    return buffer.Pixels() + (std::clamp(y, 0, 39) * 180 + 3 * std::clamp(x, 0, 59));
  };
  std::string table;
  bool done = false;
  Run(image, selection, false, false,
      {[&](HWND) { Keys({VK_SHIFT, VK_F10}); },
       [&](HWND) { Keys({'L'}); },
       [&](HWND) {
         ++FProfiles;
         Keys({VK_DOWN});
         Keys({VK_DOWN});
         Keys({VK_RETURN});
       },
       [&](HWND) {
         // Sample 20's edge pixels (offsets -2 and 2 along the normal) carry level 20.
         const TSamplePoint p = points[20];
         for (int k : {-2, 2}) {
           const uint8_t* edge = pixel(image, p.X + int(std::nearbyint(k * nx)), p.Y + int(std::nearbyint(k * ny)));
           EXPECT_EQ(edge[0], 20) << k;
           EXPECT_EQ(edge[2], 20) << k;
         }
         EmptyTheClipboard();
         Keys({VK_CONTROL, 'C'});
       },
       [&](HWND) {
         table = ClipboardText(CF_TEXT);
         done = true;
       }});
  ASSERT_TRUE(done);
  EXPECT_EQ(image.Snapshot(), before);
  EXPECT_EQ(table.substr(0, table.find("\r\n")),
            "Sample\tX\tY\tRed\tRed SD\tGreen\tGreen SD\tBlue\tBlue SD\tGray\tGray SD\tAverage\tAverage SD");
  // Sample 20's gray mean and spread, the plain way.
  double sum = 0, squares = 0;
  std::vector<double> grays;
  for (int k = -2; k <= 2; ++k) {
    const uint8_t* bgr = pixel(clean, points[20].X + int(std::nearbyint(k * nx)), points[20].Y + int(std::nearbyint(k * ny)));
    grays.push_back((2.0 * bgr[2] + 3.0 * bgr[1] + bgr[0]) / 6);
    sum += grays.back();
  }
  for (double gray : grays) squares += (gray - sum / 5) * (gray - sum / 5);
  size_t line = 0;
  for (int skip = 0; skip < 21; ++skip) line = table.find("\r\n", line) + 2;
  std::vector<double> fields;
  for (const char* field = table.c_str() + line; *field != '\r';) {
    char* end = nullptr;
    fields.push_back(std::strtod(field, &end));
    field = *end == '\t' ? end + 1 : end;
  }
  ASSERT_EQ(fields.size(), 13u);
  EXPECT_NEAR(fields[9], sum / 5, 1e-9);
  EXPECT_NEAR(fields[10], std::sqrt(squares / 5), 1e-6);
}

// The readout's sample highlighted in the host's image: a cross of 7 x 7 pixels, white in
// the middle and then alternately black and white, at the sample the mouse is over, then at
// the one Ctrl+Right moves to; a sweep over 20 samples tells the host at most 20 times a
// second and once more when it settles; leaving the plot and closing leave the image
// exactly as before.
TEST_F(ProfileValuesDialog, TheReadoutsSampleIsHighlightedInTheHostsImage) {
  auto image = THostImageBuffer::Make24Bit(60, 40, 180);
  const auto clean = image.Snapshot();
  const TRect selection{5, 8, 54, 30};
  const std::vector<TSamplePoint> points = OracleLinePoints(selection, false);
  std::vector<uint8_t> marked;
  TWindowPixels plot;
  const auto columnOf = [&](size_t i) { return TPlotGeometry(plot.Width, plot.Height, Margin, points.size(), 255).X(i); };
  const auto expectCross = [&](size_t sample) {
    const TSamplePoint p = points[sample];
    for (int d = -3; d <= 3; ++d)
      for (const auto& [x, y] : {std::pair{p.X + d, p.Y}, std::pair{p.X, p.Y + d}}) {
        const uint8_t* pixel = image.Pixels() + y * 180 + 3 * x;
        const uint8_t level = d % 2 == 0 ? 255 : 0;
        EXPECT_TRUE(pixel[0] == level && pixel[1] == level && pixel[2] == level) << sample << ": " << x << ", " << y;
      }
  };
  const auto signals = [&] { return std::count(FHost.Requests.begin(), FHost.Requests.end(), hrImageChanged); };
  long before = 0;
  DWORD started = 0;
  TSteps steps = {[&](HWND dialog) {
                    marked = image.Snapshot();
                    plot = ReadClientPixels(Panel(dialog));
                    before = signals();
                    MoveOverPanel(dialog, columnOf(20), 40);
                  },
                  [&](HWND) {
                    expectCross(20);
                    EXPECT_GT(signals(), before);
                    Keys({VK_CONTROL, VK_RIGHT});
                  },
                  [&](HWND dialog) {
                    expectCross(21);
                    // A sweep: the dialog handles each move before the next, 10 ms apart.
                    before = signals();
                    started = GetTickCount();
                    for (size_t sample = 10; sample < 30; ++sample) {
                      MoveOverPanel(dialog, columnOf(sample), 40);
                      HandleMessagesFor(10);
                    }
                  }};
  for (int idle = 0; idle < 6; ++idle) steps.push_back([](HWND) { Sleep(20); });
  steps.push_back([&](HWND) {
    const long sent = signals() - before;
    EXPECT_LE(sent, static_cast<long>((GetTickCount() - started) / 50 + 2));
    EXPECT_GE(sent, 1);
    expectCross(29);
    ParkCursor();
  });
  steps.push_back([&](HWND) {
    WaitForToolTipToHide();
    EXPECT_EQ(image.Snapshot(), marked);
  });
  Run(image, selection, false, false, steps);
  EXPECT_EQ(image.Snapshot(), clean);
}

}  // namespace
