// The profile's values read out of the dialog end to end: the readout under the pointer and
// the keys, the values table copied and saved, compared with the profile that the oracle
// samples.

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "image/PluginFloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "platform/Handles.h"
#include "profile/ProfilePlot.h"
#include "tests/dialog/ProfileValuesDialog.h"

namespace {

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
        ExpectColourReadout(oracle, points, 5);
        const TWindowPixels shown = ReadClientPixels(Panel(dialog));
        for (int y = 0; y < before.Height; ++y)
          for (int x = 0; x < before.Width; ++x) {
            const bool guide = x == column(5) && y >= Margin && y <= before.Height - 1 - Margin;
            ASSERT_EQ(shown.At(x, y), before.At(x, y) ^ (guide ? 0xFFFFFF : 0)) << x << ", " << y;
          }
        MoveOverPanel(dialog, column(points.size() - 1) + 3, 20);
      },
      [&](HWND) {
        ExpectColourReadout(oracle, points, points.size() - 1);
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
  Run(image, selection, false, false,
      {[&](HWND dialog) {
         ParkCursor();
         UpdateWindow(Panel(dialog));
         before = ReadClientPixels(Panel(dialog));
         Keys({VK_CONTROL, VK_RIGHT});
       },
       [&](HWND) {
         ExpectColourReadout(oracle, points, 0);
         Keys({VK_CONTROL, VK_RIGHT});
       },
       [&](HWND) {
         ExpectColourReadout(oracle, points, 1);
         Keys({VK_CONTROL, VK_SHIFT, VK_RIGHT});
       },
       [&](HWND) {
         ExpectColourReadout(oracle, points, 1 + tenth);
         Keys({VK_CONTROL, VK_LEFT});
       },
       [&](HWND dialog) {
         ExpectColourReadout(oracle, points, tenth);
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
