// The profile's values read out of the dialog end to end, through Ostravine.dll as a host
// loads it. The test plays the user with real input (cursor moves, clicks, keys), one step
// per idle moment of the dialog, and compares the readout, the clipboard and the saved
// file with the profile that the oracle samples.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "dialog/ProfilePlot_win.h"
#include "image/PluginFloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "profile/PlotView.h"
#include "profile/ProfilePlot.h"
#include "ui/DIBitmap.h"
#include "tests/dialog/PaintedPlot.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"
#include "tests/profile/ProfileOracle.h"
#include "platform/Handles.h"

#include <commctrl.h>
#include <dlgs.h>

namespace {

using TSteps = std::vector<TDialogWatcher::TInspect>;
using TRows = std::vector<std::vector<double>>;

constexpr int Margin = 8;
const std::vector<std::string> MenuItems{"&Copy values\tCtrl+C", "Copy &plot", "&Save values...", "Sa&ve plot...", "",
                                         "Show &whole profile\tCtrl+0", "Scale from &zero", "&Fit to values", "Set val&ue range...",
                                         "Show &axes", "Show gr&id", "L&og scale", "Show legen&d", "", "Keep curve\tCtrl+K", "",
                                         "&Line width", "Li&ne...\tCtrl+L",
                                         "Pi&xel size...", "Fi&gures...\tCtrl+F"};

// The dialog's messages handled for a while, inside a step, all but the timers (the
// watcher's steps run on one).
void HandleMessagesFor(DWORD milliseconds) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(1)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE))
      DispatchMessageA(&msg);
  }
}

// The system notices the mouse leaving a window at its next look at the cursor: the
// messages are handled here until then, all but the timer that runs the watcher's steps.
void WaitForToolTipToHide() {
  for (const DWORD start = GetTickCount(); !ToolTipText().empty() && GetTickCount() - start < 5000; Sleep(10)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE))
      DispatchMessageA(&msg);
  }
}

std::vector<std::string> OpenMenuItems() {
  const HWND window = VisibleThreadWindow("#32768");
  const auto menu = window ? reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0)) : nullptr;
  std::vector<std::string> items;
  for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
    char text[64] = "";
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items.push_back(text);
  }
  return items;
}

// The tables are ASCII: the Unicode text is narrowed character by character.
std::string ClipboardText(UINT format) {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(format)) {
    const void* block = GlobalLock(data);
    if (format == CF_UNICODETEXT)
      for (auto* c = static_cast<const wchar_t*>(block); *c; ++c) text += static_cast<char>(*c);
    else
      text = static_cast<const char*>(block);
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// The packed 24-bit DIB as 0x00RRGGBB values from the top row down.
std::vector<uint32_t> ClipboardPixels() {
  std::vector<uint32_t> pixels;
  if (!OpenClipboard(nullptr)) return pixels;
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
    const auto* bits = reinterpret_cast<const uint8_t*>(header + 1);
    const int width = header->biWidth, height = header->biHeight, stride = (width * 3 + 3) / 4 * 4;
    for (int y = height - 1; y >= 0; --y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* pixel = bits + y * stride + 3 * x;
        pixels.push_back(pixel[0] | pixel[1] << 8 | pixel[2] << 16);
      }
    GlobalUnlock(data);
  }
  CloseClipboard();
  return pixels;
}

void EmptyTheClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
}

// The header exactly, then every field reads back to exactly the oracle's double.
void ExpectTable(const std::string& text, const std::string& header, const TRows& rows) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  ASSERT_EQ(start, text.size()) << "every line ends with CR LF";
  ASSERT_EQ(lines.size(), rows.size() + 1);
  EXPECT_EQ(lines[0], header);
  for (size_t i = 0; i < rows.size(); ++i) {
    const char* field = lines[i + 1].c_str();
    for (size_t f = 0; f < rows[i].size(); ++f) {
      char* end = nullptr;
      const double read = std::strtod(field, &end);
      ASSERT_EQ(std::memcmp(&read, &rows[i][f], sizeof read), 0) << lines[i + 1];
      ASSERT_EQ(*end, f + 1 < rows[i].size() ? '\t' : '\0') << lines[i + 1];
      field = end + 1;
    }
  }
}

TRows LineRows(const TProfile& profile, const TRect& selection) {
  const std::vector<TSamplePoint> points = OracleLinePoints(selection, false);
  TRows rows;
  for (size_t i = 0; i < profile.Profile.size(); ++i) {
    rows.push_back({double(i), double(points[i].X), double(points[i].Y)});
    if (!profile.ProfileRGB.empty())
      rows.back().insert(rows.back().end(), {profile.ProfileRGB[i].R, profile.ProfileRGB[i].G, profile.ProfileRGB[i].B});
    rows.back().push_back(profile.Profile[i]);
    if (!profile.ProfileRGB.empty()) {
      const TColorSample& c = profile.ProfileRGB[i];
      rows.back().push_back((c.R + c.G + c.B) / 3);
    }
  }
  return rows;
}

// Six significant digits, the user's decimal separator.
std::string Readout(double value) {
  char text[32], separator[4] = ".";
  std::snprintf(text, sizeof text, "%.6g", value);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  std::string readout = text;
  if (const size_t point = readout.find('.'); point != std::string::npos) readout[point] = separator[0];
  return readout;
}

// Ctrl+C, then "Copy values" on the menu that `open` shows: both put the table on the
// clipboard in both text formats.
TSteps CopyTwice(std::function<void(HWND)> open, const std::string& header, const TRows& rows) {
  const auto check = [=] {
    const std::string text = ClipboardText(CF_UNICODETEXT);
    ExpectTable(text, header, rows);
    EXPECT_EQ(ClipboardText(CF_TEXT), text);
    EmptyTheClipboard();
  };
  return {[](HWND) {
            EmptyTheClipboard();
            Keys({VK_CONTROL, 'C'});
          },
          [=](HWND dialog) {
            check();
            open(dialog);
          },
          [](HWND) {
            EXPECT_EQ(OpenMenuItems(), MenuItems);
            Keys({'C'});
          },
          [=](HWND) { check(); }};
}

TSteps operator+(TSteps first, const TSteps& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

class ProfileValuesDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    ParkCursor();
  }

  // The steps run in the mode wanted: the check boxes are clicked first where needed.
  TDialogWatcher& Run(THostImageBuffer& image, TRect selection, bool integrate, bool direction, TSteps steps,
                      std::function<bool(HWND)> otherWindow = {}) {
    FHost.OpenImages = {{image.Record().Pixels, selection}};
    FHost.Requests.clear();
    FProfiles = 1;
    steps.insert(steps.begin(), {Checked("&Integrate values", integrate),
                                 Checked(integrate ? "Change &direction" : "Change &diagonal", direction)});
    FWatcher = std::make_unique<TDialogWatcher>("Ostravine", std::move(steps), TDialogAnswer::Close);
    FWatcher->OtherWindow = std::move(otherWindow);
    FWatcher->Ready = [this] {
      return std::count(FHost.Requests.begin(), FHost.Requests.end(), hrImageChanged) >= FProfiles;
    };
    EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
    return *FWatcher;
  }

  // A click that rebuilds the profile.
  TDialogWatcher::TInspect Click(const std::string& caption) {
    return [this, caption](HWND dialog) {
      ++FProfiles;
      ClickChild(dialog, "Button", caption);
    };
  }

  TDialogWatcher::TInspect Checked(const std::string& caption, bool wanted) {
    return [this, caption, wanted](HWND dialog) {
      if ((SendMessageA(FindChild(dialog, "Button", caption), BM_GETCHECK, 0, 0) == BST_CHECKED) != wanted)
        Click(caption)(dialog);
    };
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
  std::unique_ptr<TDialogWatcher> FWatcher;
  long FProfiles = 0;
};

// A 24-bit line profile, copied with its menu from a right click, whatever the plane. The
// readout names the sample under the cursor and inverts its column inside the frame; when
// the mouse leaves, the plot is as before. "Copy plot" copies the panel's pixels.
TEST_F(ProfileValuesDialog, ALineProfileIsReadOutCopiedAndItsPlotCopiedAsShown) {
  auto image = THostImageBuffer::Make24Bit(53, 31, 164);
  const TRect selection{3, 2, 49, 27};
  THostImageBuffer copy = THostImageBuffer::CopyOf(image);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleLine({&oracleBitmap, nullptr, 0}, selection, false);
  const std::vector<TSamplePoint> points = OracleLinePoints(selection, false);
  TWindowPixels before;
  const auto column = [&](size_t i) {
    return TPlotGeometry(before.Width, before.Height, Margin, points.size(), 255).X(i);
  };
  // The plane "Red" is chosen: its channel first, then the others.
  const auto expectReadout = [&](size_t i) {
    const TColorSample& c = oracle.ProfileRGB[i];
    EXPECT_EQ(ToolTipText(), "Sample " + std::to_string(i) + " (" + std::to_string(points[i].X) + ", " +
                                 std::to_string(points[i].Y) + ")\r\nR " + Readout(c.R) + "  G " + Readout(c.G) +
                                 "  B " + Readout(c.B));
  };
  const TSteps readout = {
      [&](HWND dialog) {
        ParkCursor();
        ClickChild(dialog, "Button", "Red");
      },
      [&](HWND dialog) {
        WaitForToolTipToHide();
        EXPECT_EQ(ToolTipText(), "");
        UpdateWindow(Panel(dialog));
        before = ReadClientPixels(Panel(dialog));
        MoveOverPanel(dialog, column(5), before.Height / 2);
      },
      [&](HWND dialog) {
        expectReadout(5);
        const TWindowPixels shown = ReadClientPixels(Panel(dialog));
        for (int y = 0; y < before.Height; ++y)
          for (int x = 0; x < before.Width; ++x) {
            const bool guide = x == column(5) && y >= Margin && y <= before.Height - 1 - Margin;
            ASSERT_EQ(shown.At(x, y), before.At(x, y) ^ (guide ? 0xFFFFFF : 0)) << x << ", " << y;
          }
        MoveOverPanel(dialog, column(points.size() - 1) + 3, 20);
      },
      [&](HWND) {
        expectReadout(points.size() - 1);
        ParkCursor();
      },
      [&](HWND dialog) {
        WaitForToolTipToHide();
        EXPECT_EQ(ToolTipText(), "");
        UpdateWindow(Panel(dialog));
        EXPECT_TRUE(ReadClientPixels(Panel(dialog)).Pixels == before.Pixels);
        Keys({VK_APPS});
      },
      [](HWND) { Keys({'P'}); },
      [&](HWND dialog) { EXPECT_TRUE(ClipboardPixels() == ReadClientPixels(Panel(dialog)).Pixels); },
  };
  const auto rightClick = [](HWND dialog) {
    MoveOverPanel(dialog, 100, 60);
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
  };
  Run(image, selection, false, false,
      CopyTwice(rightClick, "Sample\tX\tY\tRed\tGreen\tBlue\tGray\tAverage", LineRows(oracle, selection)) + readout);
}

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
  const auto expectView = [&](HWND dialog) {
    WaitForToolTipToHide();
    UpdateWindow(Panel(dialog));
    EXPECT_TRUE(ReadClientPixels(Panel(dialog)).Pixels == PlotOf(oracle, view, plot.Width, plot.Height))
        << "view " << view.First << " + " << view.Count;
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
         expectView(dialog);
         wheelOver(dialog, 200, 2 * WHEEL_DELTA, false);
         view = ZoomView(view, total, 200, 1.5 * 1.5, MinViewCount(frame()));
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         expectView(dialog);
         wheelOver(dialog, 200, -WHEEL_DELTA, true);
         view = PanView(view, total, static_cast<int64_t>(view.Count / 10));
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         expectView(dialog);
         Keys({VK_CONTROL, '0'});
         view = WholeView(total);
       },
       [&](HWND dialog) {
         expectView(dialog);
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
  const auto expectView = [&](HWND dialog) {
    WaitForToolTipToHide();
    UpdateWindow(Panel(dialog));
    EXPECT_TRUE(ReadClientPixels(Panel(dialog)).Pixels == PlotOf(oracle, view, plot.Width, plot.Height))
        << "view " << view.First << " + " << view.Count;
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
         expectView(dialog);
         MoveOverPanel(dialog, columnOf(300), plot.Height / 2);
         mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(WHEEL_DELTA / 2), 0);
         mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(WHEEL_DELTA / 2), 0);
         view = ZoomView(view, total, 300, 1.5, MinViewCount(plot.Width - 2 * Margin - 2));
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         expectView(dialog);
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

// The keyboard's readout, with the focus on the plane group: Ctrl+Right starts at the first
// sample and moves one on, Ctrl+Shift+Right a tenth of the profile, Ctrl+Left one back; the
// tooltip names the sample in the words of the plane "All" (a colour image opens with it)
// and the guide inverts its column.
TEST_F(ProfileValuesDialog, TheKeyboardMovesTheReadout) {
  auto image = THostImageBuffer::Make24Bit(53, 31, 164);
  const TRect selection{3, 2, 49, 27};
  THostImageBuffer copy = THostImageBuffer::CopyOf(image);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleLine({&oracleBitmap, nullptr, 0}, selection, false);
  const std::vector<TSamplePoint> points = OracleLinePoints(selection, false);
  const size_t tenth = std::max<size_t>(1, points.size() / 10);
  TWindowPixels before;
  const auto expectReadout = [&](size_t i) {
    const TColorSample& c = oracle.ProfileRGB[i];
    EXPECT_EQ(ToolTipText(), "Sample " + std::to_string(i) + " (" + std::to_string(points[i].X) + ", " +
                                 std::to_string(points[i].Y) + ")\r\nR " + Readout(c.R) + "  G " + Readout(c.G) +
                                 "  B " + Readout(c.B));
  };
  Run(image, selection, false, false,
      {[&](HWND dialog) {
         ParkCursor();
         UpdateWindow(Panel(dialog));
         before = ReadClientPixels(Panel(dialog));
         Keys({VK_CONTROL, VK_RIGHT});
       },
       [&](HWND) {
         expectReadout(0);
         Keys({VK_CONTROL, VK_RIGHT});
       },
       [&](HWND) {
         expectReadout(1);
         Keys({VK_CONTROL, VK_SHIFT, VK_RIGHT});
       },
       [&](HWND) {
         expectReadout(1 + tenth);
         Keys({VK_CONTROL, VK_LEFT});
       },
       [&](HWND dialog) {
         expectReadout(tenth);
         UpdateWindow(Panel(dialog));
         const TWindowPixels shown = ReadClientPixels(Panel(dialog));
         const int x = TPlotGeometry(before.Width, before.Height, Margin, points.size(), 255).X(tenth);
         for (int y = Margin; y <= before.Height - 1 - Margin; ++y) {
           ASSERT_EQ(shown.At(x, y), before.At(x, y) ^ 0xFFFFFF) << y;
           ASSERT_EQ(shown.At(x + 1, y), before.At(x + 1, y)) << y;
         }
       }});
}

// A right click on the caption is the window's, not the plot's: it opens the system menu.
TEST_F(ProfileValuesDialog, ARightClickOnTheCaptionOpensTheSystemMenu) {
  auto image = THostImageBuffer::Make24Bit(20, 20);
  std::vector<std::string> items;
  Run(image, {0, 0, 19, 19}, false, false,
      {[](HWND dialog) {
         RECT frame;
         GetWindowRect(dialog, &frame);
         SetCursorPos(frame.left + 60, frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
         mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
         mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
       },
       [&](HWND) {
         items = OpenMenuItems();
         Keys({VK_ESCAPE});
       },
       [](HWND) { ParkCursor(); }});
  EXPECT_NE(items, MenuItems);
  EXPECT_TRUE(std::any_of(items.begin(), items.end(), [](const std::string& item) { return item.rfind("&Close", 0) == 0; }))
      << items.size() << " items";
}

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

// An 8-bit image with a colour palette: the readout names the sample's index and its colour.
TEST_F(ProfileValuesDialog, AColourPaletteImageNamesTheIndexsColour) {
  auto image = THostImageBuffer::Make8Bit(40, 30, 40, true);
  const TRect selection{2, 3, 37, 26};
  THostImageBuffer copy = THostImageBuffer::CopyOf(image);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleLine({&oracleBitmap, nullptr, 0}, selection, false);
  const std::vector<TSamplePoint> points = OracleLinePoints(selection, false);
  const uint8_t* palette = image.PaletteBytes();
  bool done = false;
  Run(image, selection, false, false,
      {[&](HWND dialog) {
         const TWindowPixels plot = ReadClientPixels(Panel(dialog));
         MoveOverPanel(dialog, TPlotGeometry(plot.Width, plot.Height, Margin, points.size(), 255).X(9), 40);
       },
       [&](HWND) {
         const int index = static_cast<int>(oracle.Profile[9]);
         const uint8_t* entry = palette + 3 * index;
         EXPECT_EQ(ToolTipText(), "Sample 9 (" + std::to_string(points[9].X) + ", " + std::to_string(points[9].Y) +
                                      ")\r\nIndex " + std::to_string(index) + " = R " + std::to_string(entry[2]) +
                                      " G " + std::to_string(entry[1]) + " B " + std::to_string(entry[0]));
         ParkCursor();
         done = true;
       }});
  EXPECT_TRUE(done);
}

// An 8-bit profile of row sums: its rows are named by their image coordinate.
TEST_F(ProfileValuesDialog, AnIntegrateProfileNamesItsRows) {
  auto image = THostImageBuffer::Make8Bit(12, 30, 12, true);
  const TRect selection{1, 5, 10, 24};
  THostImageBuffer copy = THostImageBuffer::CopyOf(image);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleIntegrated({&oracleBitmap, nullptr, 0}, selection, true);
  TRows rows;
  for (size_t i = 0; i < oracle.Profile.size(); ++i) rows.push_back({5.0 + i, oracle.Profile[i]});
  const TSteps readout = {
      [&](HWND dialog) {
        const TWindowPixels plot = ReadClientPixels(Panel(dialog));
        MoveOverPanel(dialog, TPlotGeometry(plot.Width, plot.Height, Margin, rows.size(), 1).X(7), 40);
      },
      [&](HWND) {
        EXPECT_EQ(ToolTipText(), "Row 12\r\nValue " + Readout(oracle.Profile[7]));
        ParkCursor();
      }};
  Run(image, selection, true, true,
      CopyTwice([](HWND) { Keys({VK_SHIFT, VK_F10}); }, "Row\tValue", rows) + readout);
}

// A complex image with the plane "Complex": the imaginary parts. "Save values..." writes
// the clipboard's table with commas; a missing folder, and a file that another program
// holds open, show the stream's error and leave no file, the held file as it was. (No
// folder is read-only to root, whom the tests may run as.)
TEST_F(ProfileValuesDialog, AComplexProfileIsCopiedAndSavedAndAFailedSaveLeavesNoFile) {
  auto image = THostImageBuffer::MakeComplex(9, 7);
  auto* elements = reinterpret_cast<double*>(image.Pixels());
  for (int i = 0; i < 9 * 7 * 2; ++i) elements[i] = (i % 11 - 3) / 7.0 + i * 1e-3;
  const TRect selection{1, 1, 7, 5};
  const TRows rows = LineRows(OracleSampleLine({nullptr, HostImageToProfileMap(image.Record()).get(), 1}, selection,
                                               false), selection);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = temp + std::string("ostravine_values_") + std::to_string(GetTickCount());
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string saved = folder + "\\values.csv", held = folder + "\\held.csv";
  std::ofstream(held) << "keep";
  TFileHandle hold(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  const std::vector<std::string> names = {saved, folder + "\\missing\\values.csv", held};
  size_t named = 0;
  std::string table;
  const auto save = [](HWND) { Keys({VK_APPS}); };
  const auto choose = [](HWND) { Keys({'S'}); };
  const TSteps saving = {[&](HWND) {
                           Keys({VK_CONTROL, 'C'});
                         },
                         [&](HWND) { table = ClipboardText(CF_TEXT); }, save, choose, save, choose, save, choose,
                         [](HWND) {}};
  auto& watcher = Run(image, selection, false, false,
                      TSteps{Click("Complex")} + CopyTwice(save, "Sample\tX\tY\tImaginary", rows) + saving,
                      [&](HWND window) { return AnswerSaveDialog(window, names, named); });
  hold.Reset();
  for (char& c : table) c = c == '\t' ? ',' : c;
  EXPECT_EQ(named, 3u);
  EXPECT_EQ(FileText(saved), table);
  EXPECT_EQ(FileText(held), "keep");
  std::vector<std::string> errors;
  for (const TSeenDialog& seen : watcher.Seen)
    for (const TSeenControl& control : seen.Controls)
      if (control.Text.rfind("Error ", 0) == 0) errors.push_back(control.Text);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "Error opening \"" + names[1] + "\" - " + SystemErrorText(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(errors[1].rfind("Error renaming \"" + held + ".~0\" to \"" + held + "\" - ", 0), 0u) << errors[1];
  EXPECT_TRUE(DeleteFileA(saved.c_str()));
  EXPECT_TRUE(DeleteFileA(held.c_str()));
  EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "a file was left behind";
}

}  // namespace
