// The profile's values read out of the dialog end to end, through Ostravine.dll as a host
// loads it: the readout under the mouse, Ctrl+C and the plot's context menu (right click,
// Shift+F10, the menu key), the clipboard's text and bitmap, and the saved file. The test
// plays the user with real input (cursor moves, key presses) one step per idle moment of
// the dialog, and compares what it gets with the profile sampled by the oracle.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "image/FloatMap.h"
#include "image/PluginFloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "profile/ProfilePlot.h"
#include "tests/host/DialogWatcher.h"
#include "ui/Handles.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"
#include "tests/profile/ProfileOracle.h"

#include <commctrl.h>
#include <dlgs.h>

namespace {

using TSteps = std::vector<TDialogWatcher::TInspect>;
using TRows = std::vector<std::vector<double>>;

constexpr int Margin = 8;

// ---- The user's hands ----

void Keys(std::initializer_list<WORD> down) {
  for (WORD key : down) keybd_event(static_cast<BYTE>(key), 0, 0, 0);
  for (auto key = std::rbegin(down); key != std::rend(down); ++key)
    keybd_event(static_cast<BYTE>(*key), 0, KEYEVENTF_KEYUP, 0);
}

void RightClick(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
}

// Away from the dialog, which opens at the screen's top right.
void ParkCursor() { SetCursorPos(2, GetSystemMetrics(SM_CYSCREEN) - 2); }

HWND Panel(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT bounds = BoundsIn(child, dialog);
    if (bounds.left == 0 && bounds.top == 0) return child;
  }
  ADD_FAILURE() << "no panel";
  return nullptr;
}

POINT OnPanel(HWND dialog, int x, int y) {
  POINT point{x, y};
  ClientToScreen(Panel(dialog), &point);
  return point;
}

// ---- What the screen and the clipboard show ----

struct TThreadWindow {
  const char* ClassName;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchVisible(HWND window, LPARAM target) {
  auto& search = *reinterpret_cast<TThreadWindow*>(target);
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  if (_stricmp(name, search.ClassName) != 0 || !IsWindowVisible(window)) return TRUE;
  search.Found = window;
  return FALSE;
}

HWND VisibleThreadWindow(const char* className) {
  TThreadWindow search{className};
  EnumThreadWindows(GetCurrentThreadId(), MatchVisible, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The text of the one tool of the visible tooltip; empty when none shows.
std::string ToolTipText() {
  const HWND tip = VisibleThreadWindow("tooltips_class32");
  if (!tip) return {};
  TOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  if (!SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&info))) return "<no tool>";
  char text[512] = "";
  info.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
  return text;
}

std::vector<std::string> OpenMenuItems() {
  const HWND menuWindow = VisibleThreadWindow("#32768");
  if (!menuWindow) return {};
  const auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
  std::vector<std::string> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = "";
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items.push_back(text);
  }
  return items;
}

template <class T>
std::vector<T> ClipboardBlock(UINT format) {
  std::vector<T> block;
  if (!OpenClipboard(nullptr)) return block;
  if (HANDLE data = GetClipboardData(format)) {
    const auto* bytes = static_cast<const T*>(GlobalLock(data));
    block.assign(bytes, bytes + GlobalSize(data) / sizeof(T));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return block;
}

std::string ClipboardAnsi() {
  const std::vector<char> text = ClipboardBlock<char>(CF_TEXT);
  return std::string(text.data(), strnlen(text.data(), text.size()));
}

std::string ClipboardUnicodeAsAscii() {
  const std::vector<wchar_t> text = ClipboardBlock<wchar_t>(CF_UNICODETEXT);
  std::string ascii;
  for (wchar_t c : text) {
    if (c == 0) break;
    ascii += c < 128 ? static_cast<char>(c) : '?';
  }
  return ascii;
}

void EmptyTheClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
}

// The packed DIB as 0x00RRGGBB rows from the top.
TWindowPixels ClipboardBitmap() {
  const std::vector<uint8_t> dib = ClipboardBlock<uint8_t>(CF_DIB);
  TWindowPixels pixels;
  if (dib.size() < sizeof(BITMAPINFOHEADER)) return pixels;
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.data(), sizeof header);
  EXPECT_EQ(header.biBitCount, 24);
  pixels.Width = header.biWidth;
  pixels.Height = std::abs(header.biHeight);
  const size_t stride = (static_cast<size_t>(pixels.Width) * 3 + 3) / 4 * 4;
  EXPECT_GE(dib.size(), header.biSize + stride * pixels.Height);
  for (int y = 0; y < pixels.Height; ++y) {
    const int stored = header.biHeight > 0 ? pixels.Height - 1 - y : y;
    const uint8_t* row = dib.data() + header.biSize + stride * stored;
    for (int x = 0; x < pixels.Width; ++x)
      pixels.Pixels.push_back(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
  }
  return pixels;
}

// ---- The oracle's table ----

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size())
    parts.push_back(text.substr(start, end - start));
  parts.push_back(text.substr(start));
  return parts;
}

// Every number reads back to exactly the oracle's double.
void ExpectTable(const std::string& text, const std::string& header, const TRows& rows) {
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  std::vector<std::string> lines = Split(text.substr(0, text.size() - 2), "\r\n");
  ASSERT_EQ(lines.size(), rows.size() + 1);
  EXPECT_EQ(lines[0], header);
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::vector<std::string> fields = Split(lines[i + 1], "\t");
    ASSERT_EQ(fields.size(), rows[i].size()) << lines[i + 1];
    for (size_t f = 0; f < fields.size(); ++f) {
      const double read = std::strtod(fields[f].c_str(), nullptr);
      ASSERT_EQ(std::memcmp(&read, &rows[i][f], sizeof read), 0) << "line " << i + 1 << ": " << lines[i + 1];
    }
  }
}

TRows LineRows(const TProfile& profile, const TRect& selection, bool direction) {
  const std::vector<TSamplePoint> points = OracleLinePoints(selection, direction);
  TRows rows;
  for (size_t i = 0; i < profile.Profile.size(); ++i) {
    std::vector<double> row{double(i), double(points[i].X), double(points[i].Y)};
    if (!profile.ProfileRGB.empty())
      row.insert(row.end(), {profile.ProfileRGB[i].R, profile.ProfileRGB[i].G, profile.ProfileRGB[i].B});
    row.push_back(profile.Profile[i]);
    rows.push_back(row);
  }
  return rows;
}

TRows IntegrateRows(const TProfile& profile, int first) {
  TRows rows;
  for (size_t i = 0; i < profile.Profile.size(); ++i) rows.push_back({double(first + int(i)), profile.Profile[i]});
  return rows;
}

// The readout's numbers: six significant digits, the user's decimal separator.
std::string Readout(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  char separator[4] = ".";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  std::string readout = text;
  if (const size_t point = readout.find('.'); point != std::string::npos) readout[point] = separator[0];
  return readout;
}

std::string FileText(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string CommaSeparated(std::string text) {
  for (char& c : text)
    if (c == '\t') c = ',';
  return text;
}

int Count(const std::vector<int32_t>& requests, int32_t request) {
  return static_cast<int>(std::count(requests.begin(), requests.end(), request));
}

bool IsChecked(HWND dialog, const std::string& text) {
  return SendMessageA(FindChild(dialog, "Button", text), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A folder of its own under the system's temporary folder, emptied and removed at the end.
class TScratchFolder {
 public:
  TScratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    FPath = std::string(temp) + "ostravine_values_" + std::to_string(GetTickCount());
    CreateDirectoryA(FPath.c_str(), nullptr);
  }
  ~TScratchFolder() {
    for (const std::string& name : Names()) {
      SetFileAttributesA(File(name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(File(name).c_str());
    }
    RemoveDirectoryA(FPath.c_str());
  }
  std::string File(const std::string& name) const { return FPath + "\\" + name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(File("*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (std::strcmp(found.cFileName, ".") && std::strcmp(found.cFileName, "..")) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }

 private:
  std::string FPath;
};

// Types the name into the save dialog's name field and presses Save, as a user does.
bool AnswerSaveDialog(HWND window, const std::string& fileName) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, "#32770") != 0 || !GetDlgItem(window, IDOK)) return false;
  for (int field : {cmb13, edt1})
    if (HWND edit = GetDlgItem(window, field)) SetWindowTextA(edit, fileName.c_str());
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
  return true;
}

class ProfileValuesDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    ParkCursor();
  }

  TDialogWatcher& Run(THostImageBuffer& image, TRect selection, TSteps steps,
                      std::function<bool(HWND)> otherWindow = {}) {
    FHost.OpenImages = {{image.Record().Pixels, selection}};
    FHost.Requests.clear();
    FProfiles = 1;
    FWatcher = std::make_unique<TDialogWatcher>("Ostravine", std::move(steps), TDialogAnswer::Close);
    FWatcher->OtherWindow = std::move(otherWindow);
    FWatcher->Ready = [this] { return Count(FHost.Requests, hrImageChanged) >= FProfiles; };
    EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
    return *FWatcher;
  }

  // A step that puts the check box in the state wanted, rebuilding when it clicks.
  TDialogWatcher::TInspect Checked(const std::string& caption, bool wanted) {
    return [this, caption, wanted](HWND dialog) {
      if (IsChecked(dialog, caption) == wanted) return;
      ++FProfiles;
      ClickChild(dialog, "Button", caption);
    };
  }

  TDialogWatcher::TInspect Click(const std::string& caption) {
    return [this, caption](HWND dialog) {
      ++FProfiles;
      ClickChild(dialog, "Button", caption);
    };
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
  std::unique_ptr<TDialogWatcher> FWatcher;
  int FProfiles = 0;
};

const std::vector<std::string> MenuItems{"&Copy values\tCtrl+C", "Copy &plot", "&Save values..."};

// A 24-bit line profile: Ctrl+C and "Copy values" from a right click on the plot give the
// oracle's table in both text formats, whatever plane is chosen.
TEST_F(ProfileValuesDialog, ALineProfileIsCopiedByCtrlCAndByTheMenu) {
  auto image = THostImageBuffer::Make24Bit(53, 31, 164);
  const THostImageBuffer clean = THostImageBuffer::CopyOf(image);
  const TRect selection{3, 2, 49, 27};
  THostImageBuffer copy = THostImageBuffer::CopyOf(clean);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleLine({&oracleBitmap, nullptr, 0}, selection, false);
  const TRows rows = LineRows(oracle, selection, false);
  const std::string header = "Sample\tX\tY\tRed\tGreen\tBlue\tGray";
  std::string copied;
  Run(image, selection,
      {Checked("&Integrate values", false), Checked("Change &diagonal", false),
       [&](HWND) {
         EmptyTheClipboard();
         Keys({VK_CONTROL, 'C'});
       },
       [&](HWND dialog) {
         copied = ClipboardUnicodeAsAscii();
         ExpectTable(copied, header, rows);
         EXPECT_EQ(ClipboardAnsi(), copied);
         EmptyTheClipboard();
         ClickChild(dialog, "Button", "Red");
       },
       [&](HWND dialog) { RightClick(OnPanel(dialog, 100, 60)); },
       [&](HWND) {
         EXPECT_EQ(OpenMenuItems(), MenuItems);
         Keys({'C'});
       },
       [&](HWND) {
         EXPECT_EQ(ClipboardUnicodeAsAscii(), copied);
         EXPECT_EQ(ClipboardAnsi(), copied);
         ParkCursor();
       }});
  EXPECT_EQ(image.Snapshot(), clean.Snapshot());
}

// An 8-bit integrate profile over columns, copied from the menu that Shift+F10 opens.
TEST_F(ProfileValuesDialog, AnIntegrateProfileIsCopiedFromTheKeyboardsMenu) {
  auto image = THostImageBuffer::Make8Bit(23, 17, 24, true);
  const THostImageBuffer clean = THostImageBuffer::CopyOf(image);
  const TRect selection{4, 3, 19, 14};
  THostImageBuffer copy = THostImageBuffer::CopyOf(clean);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TRows rows = IntegrateRows(OracleSampleIntegrated({&oracleBitmap, nullptr, 0}, selection, false), 4);
  Run(image, selection,
      {Checked("&Integrate values", true), Checked("Change &direction", false),
       [&](HWND) {
         EmptyTheClipboard();
         Keys({VK_CONTROL, 'C'});
       },
       [&](HWND) {
         ExpectTable(ClipboardUnicodeAsAscii(), "Column\tValue", rows);
         EmptyTheClipboard();
         Keys({VK_SHIFT, VK_F10});
       },
       [&](HWND) {
         EXPECT_EQ(OpenMenuItems(), MenuItems);
         Keys({'C'});
       },
       [&](HWND) {
         ExpectTable(ClipboardUnicodeAsAscii(), "Column\tValue", rows);
         ExpectTable(ClipboardAnsi(), "Column\tValue", rows);
       }});
}

// A complex image: the plane "Complex" samples the imaginary parts, and the menu key opens
// the menu. Then "Copy plot" puts the panel's pixels on the clipboard.
TEST_F(ProfileValuesDialog, AComplexProfileNamesItsComponentAndThePlotIsCopiedAsShown) {
  auto image = THostImageBuffer::MakeComplex(9, 7);
  auto* elements = reinterpret_cast<double*>(image.Pixels());
  for (int i = 0; i < 9 * 7 * 2; ++i) elements[i] = (i % 11 - 3) / 7.0 + i * 1e-3;
  const TRect selection{1, 1, 7, 5};
  const auto map = HostImageToProfileMap(image.Record());
  const TRows rows = LineRows(OracleSampleLine({nullptr, map.get(), 1}, selection, false), selection, false);
  TWindowPixels plot;
  Run(image, selection,
      {Checked("&Integrate values", false), Checked("Change &diagonal", false), Click("Complex"),
       [&](HWND) {
         EmptyTheClipboard();
         Keys({VK_CONTROL, 'C'});
       },
       [&](HWND) {
         ExpectTable(ClipboardUnicodeAsAscii(), "Sample\tX\tY\tImaginary", rows);
         EmptyTheClipboard();
         Keys({VK_APPS});
       },
       [&](HWND) {
         EXPECT_EQ(OpenMenuItems(), MenuItems);
         Keys({'C'});
       },
       [&](HWND) {
         ExpectTable(ClipboardUnicodeAsAscii(), "Sample\tX\tY\tImaginary", rows);
         Keys({VK_APPS});
       },
       [&](HWND) { Keys({'P'}); },
       [&](HWND dialog) {
         plot = ReadClientPixels(Panel(dialog));
         const TWindowPixels copied = ClipboardBitmap();
         EXPECT_EQ(copied.Width, plot.Width);
         EXPECT_EQ(copied.Height, plot.Height);
         EXPECT_TRUE(copied.Pixels == plot.Pixels);
       }});
  ASSERT_GT(plot.Width, 0);
}

// The readout follows the mouse: the tooltip names the sample nearest to the cursor and a
// guide marks its column, inverted inside the frame; when the mouse leaves, the plot's
// pixels are exactly those from before.
TEST_F(ProfileValuesDialog, TheReadoutNamesTheSampleUnderTheMouseAndLeavesThePlotAsItWas) {
  auto image = THostImageBuffer::Make24Bit(40, 12);
  const THostImageBuffer clean = THostImageBuffer::CopyOf(image);
  const TRect selection{2, 1, 38, 10};
  THostImageBuffer copy = THostImageBuffer::CopyOf(clean);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleLine({&oracleBitmap, nullptr, 0}, selection, false);
  const std::vector<TSamplePoint> points = OracleLinePoints(selection, false);
  const size_t count = oracle.Profile.size();
  TWindowPixels before;
  std::vector<int> columns;
  const auto expectReadout = [&](size_t i) {
    const TColorSample& c = oracle.ProfileRGB[i];
    const std::string expected = "Sample " + std::to_string(i) + " (" + std::to_string(points[i].X) + ", " +
                                 std::to_string(points[i].Y) + ")\r\nR " + Readout(c.R) + "  G " + Readout(c.G) +
                                 "  B " + Readout(c.B) + "  Gray " + Readout(oracle.Profile[i]);
    EXPECT_EQ(ToolTipText(), expected);
  };
  const auto moveTo = [&](HWND dialog, size_t i) {
    const TPlotGeometry geometry(before.Width, before.Height, Margin, count, 255);
    SetCursorPos(OnPanel(dialog, geometry.X(i), before.Height / 2).x, OnPanel(dialog, 0, before.Height / 2).y);
  };
  Run(image, selection,
      {Checked("&Integrate values", false), Checked("Change &diagonal", false),
       [&](HWND dialog) {
         EXPECT_EQ(ToolTipText(), "");
         before = ReadClientPixels(Panel(dialog));
         moveTo(dialog, 5);
       },
       [&](HWND dialog) {
         expectReadout(5);
         const TWindowPixels shown = ReadClientPixels(Panel(dialog));
         const int guide = TPlotGeometry(before.Width, before.Height, Margin, count, 255).X(5);
         const int baseY = before.Height - 1 - Margin;
         for (int y = 0; y < before.Height; ++y)
           for (int x = 0; x < before.Width; ++x) {
             const bool inverted = x == guide && y >= Margin && y <= baseY;
             ASSERT_EQ(shown.At(x, y), inverted ? before.At(x, y) ^ 0xFFFFFF : before.At(x, y)) << x << "," << y;
           }
         moveTo(dialog, count - 1);
       },
       [&](HWND) {
         expectReadout(count - 1);
         ParkCursor();
       },
       [&](HWND) {},
       [&](HWND dialog) {
         EXPECT_EQ(ToolTipText(), "");
         EXPECT_TRUE(ReadClientPixels(Panel(dialog)).Pixels == before.Pixels);
       }});
}

// Integrate mode names rows by their image coordinate.
TEST_F(ProfileValuesDialog, TheReadoutOfAnIntegrateProfileNamesTheRow) {
  auto image = THostImageBuffer::Make8Bit(12, 30);
  const TRect selection{1, 5, 10, 24};
  THostImageBuffer copy = THostImageBuffer::CopyOf(image);
  TPluginLinearBitmap oracleBitmap(copy.Record());
  const TProfile oracle = OracleSampleIntegrated({&oracleBitmap, nullptr, 0}, selection, true);
  Run(image, selection,
      {Checked("&Integrate values", true), Checked("Change &direction", true),
       [&](HWND dialog) {
         const TWindowPixels plot = ReadClientPixels(Panel(dialog));
         const TPlotGeometry geometry(plot.Width, plot.Height, Margin, oracle.Profile.size(), oracle.MaxValue);
         SetCursorPos(OnPanel(dialog, geometry.X(7), 40).x, OnPanel(dialog, 0, 40).y);
       },
       [&](HWND) {
         EXPECT_EQ(ToolTipText(), "Row 12\r\nValue " + Readout(oracle.Profile[7]));
         ParkCursor();
       }});
}

// "Save values..." writes the clipboard's table with commas through the save dialog; a
// missing folder, and a file that cannot be replaced because another program has it open,
// show the stream's error and leave no file behind, and the open file as it was. (A
// read-only folder cannot be had here: the tests may run as root, whom no folder refuses.)
TEST_F(ProfileValuesDialog, SavedValuesAreTheTableWithCommasAndAFailedSaveLeavesNoFile) {
  auto image = THostImageBuffer::Make24Bit(30, 20);
  const TScratchFolder folder;
  const std::string saved = folder.File("values.csv");
  const std::string locked = folder.File("locked.csv");
  {
    std::ofstream(locked) << "keep";
  }
  const TFileHandle lock(CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock);
  std::string copied;
  std::vector<std::string> names = {saved, folder.File("missing\\values.csv"), locked};
  size_t nextName = 0;
  const auto menu = [](HWND) { Keys({VK_SHIFT, VK_F10}); };
  const auto chooseSave = [](HWND) { Keys({'S'}); };
  auto& watcher = Run(
      image, {1, 1, 28, 18},
      {Checked("&Integrate values", false),
       [&](HWND) {
         EmptyTheClipboard();
         Keys({VK_CONTROL, 'C'});
       },
       [&](HWND) { copied = ClipboardUnicodeAsAscii(); }, menu, chooseSave,
       [&](HWND) { EXPECT_EQ(FileText(saved), CommaSeparated(copied)); }, menu, chooseSave, [](HWND) {}, menu,
       chooseSave, [](HWND) {}},
      [&](HWND window) {
        if (HWND yes = FindChild(window, "Button", "&Yes")) return PostMessageA(yes, BM_CLICK, 0, 0) != 0;
        if (nextName == names.size() || !AnswerSaveDialog(window, names[nextName])) return false;
        ++nextName;
        return true;
      });
  ASSERT_EQ(nextName, 3u);
  EXPECT_EQ(FileText(saved), CommaSeparated(copied));
  EXPECT_EQ(FileText(locked), "keep");
  std::vector<std::string> left = folder.Names();
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"locked.csv", "values.csv"}));
  std::vector<std::string> errors;
  for (const TSeenDialog& seen : watcher.Seen)
    for (const TSeenControl& control : seen.Controls)
      if (control.Text.rfind("Error ", 0) == 0) errors.push_back(control.Text);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("Error opening \"" + names[1] + ".~0\" - ", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1].rfind("Error renaming \"" + locked + ".~0\" to \"" + locked + "\" - ", 0), 0u) << errors[1];
}

}  // namespace
