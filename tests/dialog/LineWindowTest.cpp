// The line window end to end, through Ostravine.dll as a host loads it: opened from the
// keyboard and from the plot's menu, the line moved by the real mouse, the arrow keys, the
// number fields and "Reset"; after each move the host's bytes carry exactly the marks of
// the new corner-to-corner line and the copied values are its samples.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "image/PluginLinearBitmap.h"
#include "profile/LineEnds.h"
#include "profile/OverviewView.h"
#include "profile/ProfileValues.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"
#include "tests/profile/ProfileOracle.h"

namespace {

using TSteps = std::vector<TDialogWatcher::TInspect>;
constexpr TImageSize Image{80, 60};
const TRect Selection{5, 4, 60, 40};

// Messages handled for a while, the dialog's timers (the host's signal) included, but not
// the thread timer that runs the watcher's steps.
void Pump(HWND dialog, DWORD milliseconds) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(1)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE) ||
           PeekMessageA(&msg, dialog, WM_TIMER, WM_TIMER, PM_REMOVE))
      DispatchMessageA(&msg);
  }
}

HWND LineWindow() { return FindWindowA(nullptr, "Line"); }
HWND Overview() { return GetWindow(LineWindow(), GW_CHILD); }

// Where the overview shows an image pixel's centre, on the screen: the whole image fits
// inside the panel's one-pixel bevel.
POINT ScreenPointOf(TPixelPoint pixel) {
  RECT client;
  GetClientRect(Overview(), &client);
  const TOverviewView fit = FitView(Image, {client.right - 2, client.bottom - 2});
  POINT point{1 + static_cast<int>(std::floor(ViewX(fit, pixel.X + 0.5))),
              1 + static_cast<int>(std::floor(ViewY(fit, pixel.Y + 0.5)))};
  ClientToScreen(Overview(), &point);
  return point;
}

// The four number fields, From x and y, To x and y, in the window's order.
std::vector<HWND> EditFields() {
  std::vector<HWND> fields;
  for (HWND child = GetWindow(LineWindow(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (_stricmp(name, "Edit") == 0) fields.push_back(child);
  }
  return fields;
}

std::vector<std::string> Fields() {
  std::vector<std::string> texts;
  for (HWND field : EditFields()) texts.push_back(WindowText(field));
  return texts;
}

class LineWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    ParkCursor();
  }

  void Run(TSteps steps) {
    FHost.OpenImages = {{FImage.Record().Pixels, Selection}};
    FHost.Requests.clear();
    FHost.RequestTimes.clear();
    TDialogWatcher watcher("Ostravine", std::move(steps), TDialogAnswer::Close);
    watcher.Ready = [this] { return std::count(FHost.Requests.begin(), FHost.Requests.end(), hrImageChanged) > 0; };
    EXPECT_EQ(FPlugin.ProcessImage(1, &FImage.Record()), 1);
  }

  // The host's bytes carry the marks of exactly this line (or rectangle), over clean pixels.
  void ExpectMarks(const TLineEnds& ends, bool integrate, const char* step) {
    const TProfileMode mode{integrate, integrate ? false : DirectionOf(ends)};
    const std::vector<uint8_t> actual = FImage.Snapshot(), expected = OracleMarkedBytes(FClean, mode, BoundsOf(ends));
    EXPECT_TRUE(actual == expected) << step << ": the fields show " << ::testing::PrintToString(Fields());
  }

  // Ctrl+C in the dialog: the values reach the clipboard by the next step.
  static void CopyValues(HWND dialog) {
    SetForegroundWindow(dialog);
    SetFocus(FindChild(dialog, "Button", "Close"));
    Keys({VK_CONTROL, 'C'});
  }

  // The values copied are the oracle's samples of the line, named by it when it has moved.
  void ExpectValues(const TLineEnds& ends, bool named) {
    // The oracle marks what it samples, as the dialog does: it samples a copy.
    THostImageBuffer copy = THostImageBuffer::CopyOf(FClean);
    TPluginLinearBitmap clean(copy.Record());
    TProfile oracle = OracleSampleLine({&clean, nullptr, 0}, BoundsOf(ends), DirectionOf(ends));
    oracle.Points = TLinePoints(BoundsOf(ends), DirectionOf(ends));
    TProfileValues values(oracle, TValueKind::Color, BoundsOf(ends), {false, DirectionOf(ends)});
    if (named) values.NameLine(ends);
    EXPECT_EQ(ClipboardUtf8(), values.Table('\t'));
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
  THostImageBuffer FImage = THostImageBuffer::Make24Bit(Image.Width, Image.Height, 244);
  THostImageBuffer FClean = THostImageBuffer::CopyOf(FImage);
};

// Ctrl+L opens the window with the selection's diagonal. The To end dragged by the real
// mouse across 150 ms of moves tells the host at most every 50 ms and once after the
// button is let go; an arrow key moves the held end a pixel; the fields move both ends
// (the line then runs up, the other diagonal); Reset brings back the selection's profile
// and its unnamed table; closing the dialog closes the window and puts every byte back.
TEST_F(LineWindowTest, TheMouseTheKeysTheFieldsAndResetMoveTheLine) {
  const std::vector<uint8_t> clean = FImage.Snapshot();
  DWORD dragStart = 0, released = 0;
  size_t requestsBefore = 0;
  Run({[&](HWND) { Keys({VK_CONTROL, 'L'}); },
       [&](HWND dialog) {
         ASSERT_NE(LineWindow(), nullptr);
         EXPECT_EQ(GetWindow(LineWindow(), GW_OWNER), dialog);
         EXPECT_EQ(Fields(), (std::vector<std::string>{"5", "4", "60", "40"}));
         const POINT end = ScreenPointOf({60, 40});
         SetCursorPos(end.x, end.y);
         mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
       },
       [&](HWND dialog) {
         requestsBefore = FHost.Requests.size();
         dragStart = GetTickCount();
         for (int step = 1; step <= 10; ++step) {
           const POINT to = ScreenPointOf({60 - 3 * step, 40 + step});
           SetCursorPos(to.x, to.y);
           Pump(dialog, 15);
         }
         released = GetTickCount();
         mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
         Pump(dialog, 150);
       },
       [&](HWND dialog) {
         EXPECT_EQ(Fields(), (std::vector<std::string>{"5", "4", "30", "50"}));
         ExpectMarks({{5, 4}, {30, 50}}, false, "dragged");
         std::vector<DWORD> signals;
         for (size_t i = requestsBefore; i < FHost.Requests.size(); ++i)
           if (FHost.Requests[i] == hrImageChanged) signals.push_back(FHost.RequestTimes[i]);
         ASSERT_GE(signals.size(), 2u);
         for (size_t i = 1; i < signals.size(); ++i) EXPECT_GE(signals[i] - signals[i - 1], 45u) << i;
         EXPECT_LE(signals.size(), 2 + (released - dragStart) / 50);
         EXPECT_GE(signals.back(), released) << "one after the drag settles";
         CopyValues(dialog);
       },
       [&](HWND) {
         ExpectValues({{5, 4}, {30, 50}}, true);
         SetForegroundWindow(LineWindow());
         SetFocus(Overview());
         Keys({VK_RIGHT});
       },
       [&](HWND) {
         ExpectMarks({{5, 4}, {31, 50}}, false, "nudged");
         const std::vector<HWND> fields = EditFields();
         ASSERT_EQ(fields.size(), 4u);
         const char* texts[] = {"70", "10", "20", "55"};
         for (size_t i = 0; i < 4; ++i) SetWindowTextA(fields[i], texts[i]);
         SetFocus(fields[3]);
         Keys({VK_RETURN});
       },
       [&](HWND dialog) {
         EXPECT_EQ(Fields(), (std::vector<std::string>{"20", "55", "70", "10"}));
         ExpectMarks({{20, 55}, {70, 10}}, false, "typed");
         EXPECT_EQ(SendMessageA(FindChild(dialog, "Button", "Change &diagonal"), BM_GETCHECK, 0, 0), BST_CHECKED);
         CopyValues(dialog);
       },
       [&](HWND) {
         ExpectValues({{20, 55}, {70, 10}}, true);
         ClickChild(LineWindow(), "Button", "&Reset");
       },
       [&](HWND dialog) {
         ExpectMarks(EndsOf(Selection, false, TLineShape::Line), false, "reset");
         CopyValues(dialog);
       },
       [&](HWND) { ExpectValues(EndsOf(Selection, false, TLineShape::Line), false); }});
  EXPECT_EQ(FImage.Snapshot(), clean);
  EXPECT_EQ(LineWindow(), nullptr);
}

// In integrate mode the window, opened from the plot's menu, shows the rectangle summed;
// its top left corner dragged past the other turns it over, and the rows or columns summed
// are those of the new rectangle, marked as integrate mode marks them.
TEST_F(LineWindowTest, TheMenuOpensItAndIntegrateModeDragsTheRectangle) {
  const std::vector<uint8_t> clean = FImage.Snapshot();
  Run({[&](HWND dialog) { ClickChild(dialog, "Button", "&Integrate values"); },
       [&](HWND dialog) {
         RECT plot;
         GetWindowRect(Panel(dialog), &plot);
         SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog),
                      MAKELPARAM(plot.left + 40, plot.top + 40));
       },
       [&](HWND) { Keys({'N'}); },
       [&](HWND) {
         ASSERT_NE(LineWindow(), nullptr);
         EXPECT_EQ(Fields(), (std::vector<std::string>{"5", "4", "60", "40"}));
         const POINT corner = ScreenPointOf({5, 4});
         SetCursorPos(corner.x, corner.y);
         mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
       },
       [&](HWND) {
         const POINT to = ScreenPointOf({70, 20});
         SetCursorPos(to.x, to.y);
       },
       [&](HWND) { mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0); },
       [&](HWND) {
         EXPECT_EQ(Fields(), (std::vector<std::string>{"60", "20", "70", "40"}));
         ExpectMarks({{60, 20}, {70, 40}}, true, "the rectangle turned over");
       }});
  EXPECT_EQ(FImage.Snapshot(), clean);
  EXPECT_EQ(LineWindow(), nullptr);
}

}  // namespace
