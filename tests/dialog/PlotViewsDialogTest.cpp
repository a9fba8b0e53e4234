// The plot's views end to end: the wheel's zoom and pan, the keys and the pointer off the
// happy path, and a range dragged across the plot with its figures, each time the panel
// compared pixel for pixel with the plot's painter over the oracle's samples in view.

#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "image/PluginLinearBitmap.h"
#include "profile/PlotView.h"
#include "profile/ProfilePlot.h"
#include "tests/dialog/PaintedPlot.h"
#include "tests/dialog/ProfileValuesDialog.h"

namespace {

// The plot of the samples in view drawn by the plot's own rules, as 0x00RRGGBB pixels.
std::vector<uint32_t> PlotOf(const TProfile& profile, const TPlotView& view, int width, int height) {
  TProfilePlotData data;
  data.Profile = std::span<const double>(profile.Profile).subspan(view.First, view.Count);
  data.ProfileRGB = std::span<const TColorSample>(profile.ProfileRGB).subspan(view.First, view.Count);
  data.MaxValue = 255;
  data.PlaneIndex = piAll;
  data.Margin = Margin;
  data.FirstSample = view.First;
  data.TotalSamples = profile.Profile.size();
  return PaintedPlot(data, width, height);
}

// With the mouse away, the panel shows exactly the samples of the view.
void ExpectPanelShows(HWND dialog, const TProfile& oracle, const TPlotView& view, const TWindowPixels& plot) {
  WaitForToolTipToHide();
  UpdateWindow(Panel(dialog));
  EXPECT_TRUE(ReadClientPixels(Panel(dialog)).Pixels == PlotOf(oracle, view, plot.Width, plot.Height))
      << "view " << view.First << " + " << view.Count;
}

// Zoom and pan of a long profile: a notch of the wheel over sample 200 zooms about it by 1.5,
// two more notches go further, Shift and the wheel pan by a tenth of the view, Ctrl+0 shows
// the whole profile again. Each time, with the mouse away, the panel shows exactly the
// samples of the view drawn by the plot's rules.
TEST_F(ProfileValuesDialog, TheWheelZoomsAndPansAndCtrl0ShowsTheWholeProfile) {
  auto image = THostImageBuffer::Make24Bit(420, 300);
  const TRect selection{0, 0, 419, 299};
  THostImageBuffer copy = THostImageBuffer::CopyOf(image);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleLine({&oracleBitmap, nullptr, 0}, selection, false);
  const size_t total = oracle.Profile.size();
  TPlotView view = WholeView(total);
  TWindowPixels plot;
  bool done = false;
  const auto frame = [&] { return plot.Width - 2 * Margin - 2; };
  const auto wheelOver = [&](HWND dialog, size_t sample, int delta, bool shift) {
    const size_t local = sample - view.First;
    MoveOverPanel(dialog, TPlotGeometry(plot.Width, plot.Height, Margin, view.Count, 255).X(local), plot.Height / 2);
    if (shift) keybd_event(VK_SHIFT, 0, 0, 0);
    mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(delta), 0);
    if (shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  };
  Run(image, selection, false, false,
      {[&](HWND dialog) {
         plot = ReadClientPixels(Panel(dialog));
         EXPECT_TRUE(plot.Pixels == PlotOf(oracle, view, plot.Width, plot.Height));
         wheelOver(dialog, 200, WHEEL_DELTA, false);
         view = ZoomView(view, total, 200, 1.5, MinViewCount(frame()));
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         ExpectPanelShows(dialog, oracle, view, plot);
         wheelOver(dialog, 200, 2 * WHEEL_DELTA, false);
         view = ZoomView(view, total, 200, 1.5 * 1.5, MinViewCount(frame()));
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         ExpectPanelShows(dialog, oracle, view, plot);
         wheelOver(dialog, 200, -WHEEL_DELTA, true);
         view = PanView(view, total, static_cast<int64_t>(view.Count / 10));
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         ExpectPanelShows(dialog, oracle, view, plot);
         Keys({VK_CONTROL, '0'});
         view = WholeView(total);
       },
       [&](HWND dialog) {
         ExpectPanelShows(dialog, oracle, view, plot);
         done = true;
       }});
  EXPECT_TRUE(done);
}

// The keys and the pointer off the happy path: Alt+P goes to the checked plane; Ctrl+Up in
// the plane group zooms the plot about its middle and leaves the plane; two half notches of
// a smooth wheel zoom once; a drag whose capture is lost ends there, the pointer then reads
// out the sample under it, and over the range the readout carries the range's figures.
TEST_F(ProfileValuesDialog, KeysAndThePointerOffTheHappyPath) {
  auto image = THostImageBuffer::Make24Bit(420, 300);
  const TRect selection{0, 0, 419, 299};
  THostImageBuffer copy = THostImageBuffer::CopyOf(image);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleLine({&oracleBitmap, nullptr, 0}, selection, false);
  const size_t total = oracle.Profile.size();
  TPlotView view = WholeView(total);
  TWindowPixels plot;
  bool done = false;
  const auto columnOf = [&](size_t sample) {
    return TPlotGeometry(plot.Width, plot.Height, Margin, view.Count, 255).X(sample - view.First);
  };
  const auto startsWith = [](const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; };
  Run(image, selection, false, false,
      {[&](HWND dialog) {
         plot = ReadClientPixels(Panel(dialog));
         Keys({VK_MENU, 'P'});
       },
       [&](HWND) {
         EXPECT_EQ(WindowText(GetFocus()), "All");
         Keys({VK_CONTROL, VK_UP});
         view = ZoomView(view, total, view.First + view.Count / 2, 1.5, MinViewCount(plot.Width - 2 * Margin - 2));
       },
       [&](HWND dialog) {
         EXPECT_EQ(WindowText(GetFocus()), "All");
         EXPECT_EQ(SendMessageA(GetFocus(), BM_GETCHECK, 0, 0), BST_CHECKED);
         ExpectPanelShows(dialog, oracle, view, plot);
         MoveOverPanel(dialog, columnOf(300), plot.Height / 2);
         mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(WHEEL_DELTA / 2), 0);
         mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(WHEEL_DELTA / 2), 0);
         view = ZoomView(view, total, 300, 1.5, MinViewCount(plot.Width - 2 * Margin - 2));
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         ExpectPanelShows(dialog, oracle, view, plot);
         MoveOverPanel(dialog, columnOf(290), plot.Height / 2);
         mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
       },
       [&](HWND dialog) { MoveOverPanel(dialog, columnOf(310), plot.Height / 2); },
       [&](HWND) {
         EXPECT_TRUE(startsWith(ToolTipText(), "Samples 290 to 310\r\nRed: 21 samples")) << ToolTipText();
         ReleaseCapture();
       },
       [&](HWND dialog) { MoveOverPanel(dialog, columnOf(320), plot.Height / 2); },
       [&](HWND) {
         EXPECT_TRUE(startsWith(ToolTipText(), "Sample 320 (")) << ToolTipText();
         EXPECT_EQ(ToolTipText().find("samples"), std::string::npos) << "the drag ended with the capture";
         mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
       },
       [&](HWND dialog) { MoveOverPanel(dialog, columnOf(300), plot.Height / 2); },
       [&](HWND) {
         const std::string text = ToolTipText();
         EXPECT_TRUE(startsWith(text, "Sample 300 (")) << text;
         EXPECT_NE(text.find("\r\nSamples 290 to 310\r\nRed: 21 samples"), std::string::npos) << text;
         ParkCursor();
         done = true;
       }});
  EXPECT_TRUE(done);
}

// A range dragged across the plot with the left button (growing, shrinking and crossing its
// start, each step painting only the columns that changed, which must leave the panel as a
// full repaint would): the tooltip names it, after moves faster than its figures' pace as
// the last one left it, "Copy statistics" puts each curve's figures on the clipboard (checked here against sums of the
// oracle's channels), Ctrl+C copies the range's rows only, "Zoom to range" shows just it, and
// a plain click clears it, after which the panel is the plot of that view.
TEST_F(ProfileValuesDialog, ARangeHasItsStatisticsAndCanBeZoomedInto) {
  auto image = THostImageBuffer::Make24Bit(300, 200);
  const TRect selection{0, 0, 299, 199};
  THostImageBuffer copy = THostImageBuffer::CopyOf(image);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleLine({&oracleBitmap, nullptr, 0}, selection, false);
  TWindowPixels plot;
  bool done = false;
  const auto columnOf = [&](size_t sample) {
    return TPlotGeometry(plot.Width, plot.Height, Margin, oracle.Profile.size(), 255).X(sample);
  };
  const auto expectAsRepainted = [](HWND dialog, const char* step) {
    const TWindowPixels shown = ReadClientPixels(Panel(dialog));
    RedrawWindow(Panel(dialog), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(shown.Pixels == ReadClientPixels(Panel(dialog)).Pixels) << step;
  };
  Run(image, selection, false, false,
      {[&](HWND dialog) {
         plot = ReadClientPixels(Panel(dialog));
         MoveOverPanel(dialog, columnOf(50), plot.Height / 2);
         mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
       },
       [&](HWND dialog) { MoveOverPanel(dialog, columnOf(170), plot.Height / 3); },
       [&](HWND dialog) {
         expectAsRepainted(dialog, "grown");
         MoveOverPanel(dialog, columnOf(20), plot.Height / 3);
       },
       [&](HWND dialog) {
         expectAsRepainted(dialog, "across its start");
         MoveOverPanel(dialog, columnOf(150), plot.Height / 3);
         // Posted, not made by the mouse, which the system would merge into one; they come
         // before the mouse's own move to 150.
         for (size_t sample : {140, 145})
           PostMessageA(Panel(dialog), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(columnOf(sample), plot.Height / 3));
       },
       [&](HWND dialog) {
         expectAsRepainted(dialog, "shrunk");
         mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
         EXPECT_EQ(ToolTipText().substr(0, 19), "Samples 50 to 150\r\n");
         EmptyTheClipboard();
         Keys({VK_CONTROL, 'C'});
       },
       [&](HWND) {
         const std::string rows = ClipboardText(CF_TEXT);
         EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 102) << "a header and the range's 101 rows";
         EXPECT_EQ(rows.find("\r\n49\t"), std::string::npos);
         EXPECT_NE(rows.find("\r\n50\t"), std::string::npos);
         Keys({VK_SHIFT, VK_F10});
       },
       [&](HWND) { Keys({'T'}); },
       [&](HWND) {
         double sum = 0, least = 255, greatest = 0;
         for (size_t i = 50; i <= 150; ++i) {
           sum += oracle.ProfileRGB[i].R;
           least = std::min(least, oracle.ProfileRGB[i].R);
           greatest = std::max(greatest, oracle.ProfileRGB[i].R);
         }
         const std::string table = ClipboardText(CF_TEXT);
         EXPECT_EQ(table.substr(0, table.find("\r\n")), "Curve\tCount\tMinimum\tMaximum\tMean\tSD\tSum\tFWHM\tPeak at\tCentroid");
         const size_t red = table.find("\r\nRed\t");
         ASSERT_NE(red, std::string::npos) << table;
         char* end = nullptr;
         EXPECT_EQ(std::strtol(table.c_str() + red + 6, &end, 10), 101);
         EXPECT_EQ(std::strtod(end + 1, &end), least);
         EXPECT_EQ(std::strtod(end + 1, &end), greatest);
         EXPECT_EQ(std::strtod(end + 1, &end), sum / 101);
         EXPECT_NE(table.find("\r\nGreen\t"), std::string::npos);
         EXPECT_NE(table.find("\r\nBlue\t"), std::string::npos);
         Keys({VK_SHIFT, VK_F10});
       },
       [&](HWND) { Keys({'M'}); },
       [&](HWND) {
         mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
         mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         WaitForToolTipToHide();
         UpdateWindow(Panel(dialog));
         EXPECT_TRUE(ReadClientPixels(Panel(dialog)).Pixels == PlotOf(oracle, {50, 101}, plot.Width, plot.Height));
         done = true;
       }});
  EXPECT_TRUE(done);
}

}  // namespace
