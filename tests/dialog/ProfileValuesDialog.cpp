#include "tests/dialog/ProfileValuesDialog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <commctrl.h>

const std::vector<std::string> MenuItems{"&Copy values\tCtrl+C", "Copy &plot", "&Save values...", "Sa&ve plot...", "",
                                         "Show &whole profile\tCtrl+0", "Scale from &zero", "&Fit to values", "Set val&ue range...",
                                         "Show &axes", "Show gr&id", "L&og scale", "Show legen&d", "", "Keep curve\tCtrl+K", "",
                                         "&Line width", "Li&ne...\tCtrl+L",
                                         "Pi&xel size...", "Fi&gures...\tCtrl+F"};

void HandleMessagesFor(DWORD milliseconds) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(1)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE))
      DispatchMessageA(&msg);
  }
}

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

std::string Readout(double value) {
  char text[32], separator[4] = ".";
  std::snprintf(text, sizeof text, "%.6g", value);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  std::string readout = text;
  if (const size_t point = readout.find('.'); point != std::string::npos) readout[point] = separator[0];
  return readout;
}

void ExpectColourReadout(const TProfile& oracle, const std::vector<TSamplePoint>& points, size_t i) {
  const TColorSample& c = oracle.ProfileRGB[i];
  EXPECT_EQ(ToolTipText(), "Sample " + std::to_string(i) + " (" + std::to_string(points[i].X) + ", " +
                               std::to_string(points[i].Y) + ")\r\nR " + Readout(c.R) + "  G " + Readout(c.G) +
                               "  B " + Readout(c.B));
}

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
