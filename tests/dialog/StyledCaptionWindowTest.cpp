// The captions of the plug-in's two dialogs on real windows, through Ostravine.dll as a host
// loads it: read back from the window DC after the system's own non-client painting and
// the messages that repaint a caption. One program, run in three Wine prefixes: Windows XP
// with visual styles off (the classic look), XP with Wine's theme on (the themed look),
// and the default version, where the platform paints every caption.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"
#include "ui/CaptionGeometry.h"
#include "platform/Handles.h"

namespace {

using TSteps = std::vector<TDialogWatcher::TInspect>;

enum class TLook { Classic, Themed, Platform };

// The prefix the test build runs this program in names the look it must find.
TLook ExpectedLook() {
  const char* look = std::getenv("OSTRAVINE_CAPTION_LOOK");
  const std::string name = look ? look : "";
  if (name == "classic") return TLook::Classic;
  if (name == "themed") return TLook::Themed;
  return TLook::Platform;
}

bool IsGray(uint32_t pixel) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return r == g && g == b;
}

uint32_t SysPixel(int index) { return PixelOf(GetSysColor(index)); }

// What one caption shows, in window coordinates: the bar below the frame, one caption
// height high less one, as the styled form lays it out.
struct TCaptionShot {
  TWindowPixels Pixels;
  RECT Bar{};
  SIZE Frame{};
  bool Dialog = false;  // the message dialog: no icon, no minimize or maximize
  bool Maximized = false;
  std::string Text;
  int Width() const { return Bar.right - Bar.left; }
  int Height() const { return Bar.bottom - Bar.top; }
  uint32_t At(int x, int y) const { return Pixels.At(Bar.left + x, Bar.top + y); }
};

TCaptionShot Shoot(HWND window, bool dialog) {
  TCaptionShot shot;
  shot.Pixels = ReadFramePixels(window);
  shot.Dialog = dialog;
  shot.Maximized = IsZoomed(window);
  shot.Text = WindowText(window);
  shot.Frame = dialog ? SIZE{GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)}
                      : SIZE{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
  shot.Bar = {shot.Frame.cx, shot.Frame.cy, shot.Pixels.Width - shot.Frame.cx,
              shot.Frame.cy + GetSystemMetrics(SM_CYCAPTION) - 1};
  return shot;
}

int CaptionTextWidth(const std::string& text) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0);
  const TFontHandle font(CreateFontIndirectA(&metrics.lfCaptionFont));
  const TWindowDc screen(nullptr);
  const TSelectObject selection(screen.Get(), font.Get());
  SIZE size{};
  GetTextExtentPoint32A(screen.Get(), text.data(), int(text.size()), &size);
  return size.cx;
}

// Pixels of one colour inside a rectangle of the bar.
int CountIn(const TCaptionShot& shot, RECT rect, uint32_t pixel) {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) count += shot.At(x, y) == pixel;
  return count;
}

// A caption button shows its symbol, not a letter of a fallback font: the close cross
// (the button text colour inside the button) is the same mirrored, the minimize bar (gray
// while the form cannot minimize: what differs from the face) lies in the lower half.
void ExpectButtonSymbols(const TCaptionShot& shot, RECT close, RECT minimize) {
  const uint32_t face = SysPixel(COLOR_BTNFACE), ink = SysPixel(COLOR_BTNTEXT);
  const auto inked = [&](int x, int y) { return shot.At(x, y) == ink; };
  int left = close.right, right = close.left - 1, count = 0;
  for (int y = close.top; y < close.bottom; ++y)
    for (int x = close.left; x < close.right; ++x)
      if (inked(x, y)) left = std::min(left, x), right = std::max(right, x), ++count;
  EXPECT_GE(count, 6) << "close symbol";
  for (int y = close.top; y < close.bottom; ++y)
    for (int x = left; x <= right; ++x)
      EXPECT_EQ(inked(x, y), inked(left + right - x, y)) << "close symbol at " << x << "," << y;
  if (IsRectEmpty(&minimize)) return;
  InflateRect(&minimize, -2, -2);
  const int middle = (minimize.top + minimize.bottom) / 2;
  int lower = 0, upper = 0;
  for (int y = minimize.top; y < minimize.bottom; ++y)
    for (int x = minimize.left; x < minimize.right; ++x) (y < middle ? upper : lower) += shot.At(x, y) != face;
  EXPECT_GE(lower, 4) << "minimize symbol";
  EXPECT_EQ(upper, 0) << "minimize symbol";
}

// The classic look, pixel by pixel: the vertical gradient in the caption colours of the
// state from the end of the text to the staircase, the face gradient after it (or the
// caption gradient throughout when the text leaves no room), the icon, the text in the
// state's text colour and the buttons with their symbols at their places from the right.
void ExpectClassic(const TCaptionShot& shot, bool active, bool longText) {
  const int width = shot.Width(), height = shot.Height();
  const TCaptionColors colors = active ? OrderCaptionColors(GetSysColor(COLOR_GRADIENTACTIVECAPTION),
                                                            GetSysColor(COLOR_ACTIVECAPTION))
                                       : OrderCaptionColors(GetSysColor(COLOR_GRADIENTINACTIVECAPTION),
                                                            GetSysColor(COLOR_INACTIVECAPTION));
  const uint32_t face = GetSysColor(COLOR_BTNFACE);
  const auto gradient = [&](int y) { return PixelOf(BlendColors(colors.Dark, colors.Light, y, height - 1)); };
  const auto faceGradient = [&](int y) { return PixelOf(BlendColors(BlendColors(face, 0, 1, 2), face, y, height - 1)); };
  int button = GetSystemMetrics(SM_CXSMICON) - 2;
  if ((button & 1) != (height & 1)) ++button;
  const RECT close{width - 2 - button, 2, width - 2, height - 2};
  const int minimizeRight = close.left - 4 - button - 2;
  const RECT minimize = shot.Dialog ? RECT{} : RECT{minimizeRight - button, 2, minimizeRight, height - 2};
  const int buttonsLeft = (shot.Dialog ? close.left - 4 : minimize.left - 2) - 3;
  const int textLeft = shot.Dialog ? 3 : height + 4;
  const int textRight = longText ? buttonsLeft : textLeft + CaptionTextWidth(shot.Text) + 2;

  // A text too long for the staircase leaves the gradient above and below its letters.
  if (longText) {
    for (int y : {0, height - 1})
      for (int x = textLeft; x < buttonsLeft; ++x) EXPECT_EQ(shot.At(x, y), gradient(y)) << x << "," << y;
  }
  std::vector<uint32_t> allowedAnyRow{PixelOf(colors.Light), PixelOf(colors.Dark)};
  for (int y = 0; y < height; ++y) allowedAnyRow.push_back(gradient(y));
  for (int y = 0; y < height && !longText; ++y) {
    EXPECT_EQ(shot.At(textRight, y), gradient(y)) << "gradient at row " << y;
    EXPECT_EQ(shot.At(buttonsLeft - 1, y), faceGradient(y)) << "right end, row " << y;
    for (int x = textRight; x < buttonsLeft; ++x) {
      const uint32_t pixel = shot.At(x, y);
      const bool known = pixel == faceGradient(y) ||
                         std::find(allowedAnyRow.begin(), allowedAnyRow.end(), pixel) != allowedAnyRow.end();
      EXPECT_TRUE(known) << std::hex << pixel << std::dec << " at " << x << "," << y;
      if (!known) return;
    }
  }
  if (!shot.Dialog) {
    int icon = 0;
    for (int y = 1; y < height - 1; ++y)
      for (int x = 2; x < height; ++x) icon += shot.At(x, y) != gradient(y);
    EXPECT_GE(icon, (height - 3) * (height - 3) / 3) << "icon";
  }
  const uint32_t ink = SysPixel(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
  EXPECT_GE(CountIn(shot, {textLeft, 0, textRight, height}, ink), std::min(textRight - textLeft, 40)) << "text";
  EXPECT_GE(CountIn(shot, close, SysPixel(COLOR_BTNFACE)), button * (height - 4) / 4) << "close button face";
  ExpectButtonSymbols(shot, close, minimize);
}

// Each channel of the pixel lies between those of the two colours: the platform's
// caption runs from one caption colour to the other along the bar.
bool BetweenColors(uint32_t pixel, int first, int second) {
  const uint32_t a = SysPixel(first), b = SysPixel(second);
  for (int shift : {0, 8, 16}) {
    const int p = (pixel >> shift) & 0xFF, x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
    if (p < std::min(x, y) || p > std::max(x, y)) return false;
  }
  return true;
}

// The themed look: from a third of the width (or the end of the text) to the window's
// right edge a gray copy of the theme's caption, into which squares of the real caption
// are set at the left, edged in the caption colours, and the theme's buttons at the
// right; the platform's caption elsewhere. Wine's theme has a light inactive caption, so
// inactive captions are the platform's, as are captions too long for the decoration.
void ExpectThemed(const TCaptionShot& shot, bool active, bool longText) {
  const int right = shot.Bar.right + shot.Frame.cx;
  const int height = shot.Height() + shot.Frame.cy + 1;
  const int textEnd = CaptionTextWidth(shot.Text) + 21 + (shot.Dialog ? 0 : 20);
  const int left = longText ? right / 3 : std::max(textEnd, right / 3);
  const int block = ThemedBlockSize(height, shot.Maximized);
  const int button = shot.Height() - 4;
  const int buttons = shot.Dialog ? 1 : 3;
  const int plainLeft = left + 8 * block + 2, plainRight = right - shot.Frame.cx - buttons * (button + 2) - 2;
  ASSERT_LT(plainLeft, plainRight);
  const int middle = shot.Bar.top + shot.Height() / 2;
  if (!active || longText) {
    // Above the letters of a long text, and left of the platform's own buttons.
    const int platformRight = right - shot.Frame.cx - buttons * GetSystemMetrics(SM_CXSIZE) - 4;
    for (int x = plainLeft; x < platformRight; ++x)
      EXPECT_TRUE(active ? BetweenColors(shot.Pixels.At(x, shot.Bar.top + 1), COLOR_ACTIVECAPTION,
                                         COLOR_GRADIENTACTIVECAPTION)
                         : BetweenColors(shot.Pixels.At(x, shot.Bar.top + 1), COLOR_INACTIVECAPTION,
                                         COLOR_GRADIENTINACTIVECAPTION))
          << "the platform's caption at " << x;
    return;
  }
  for (int y = 0; y < height; ++y)
    for (int x = plainLeft; x < plainRight; ++x) EXPECT_TRUE(IsGray(shot.Pixels.At(x, y))) << "gray at " << x << "," << y;
  const TCaptionColors colors =
      OrderCaptionColors(GetSysColor(COLOR_GRADIENTACTIVECAPTION), GetSysColor(COLOR_ACTIVECAPTION));
  const auto expectAt = [&](int x, int y, COLORREF color, const char* edge) {
    if (x >= left && y >= 0) {
      EXPECT_EQ(shot.Pixels.At(x, y), PixelOf(color)) << edge << " at " << x << "," << y;
    }
  };
  for (const TThemedBlock& square : ThemedBlocks()) {
    const int x0 = left + (square.Column - 1) * block + 1, y0 = height - square.Row * block;
    for (int i = 1; i < block - 1; ++i) {
      if (square.Edged) expectAt(x0 + i, y0, colors.Light, "top edge");
      if (square.Edged) expectAt(x0 + block - 1, y0 + i, colors.Dark, "right edge");
      if (square.LeftEdge) expectAt(x0, y0 + i, colors.Light, "left edge");
    }
  }
  for (int i = 0; i < buttons; ++i) {
    const int x0 = right - button - shot.Frame.cx - 2 - i * (button + 2), y0 = shot.Frame.cy + 2;
    int drawn = 0;
    for (int y = y0; y < y0 + button; ++y)
      for (int x = x0; x < x0 + button; ++x) drawn += shot.Pixels.At(x, y) != shot.Pixels.At(plainLeft, y);
    EXPECT_GE(drawn, button) << "button " << i;
  }
  EXPECT_TRUE(BetweenColors(shot.Pixels.At(left - 1, middle), COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION))
      << "the platform's left part";
}

// The platform's caption runs along the bar, not down it: every column between the text
// and the buttons keeps one colour from the top to the bottom, and no staircase or gray
// copy shows. Its buttons carry the symbols of the symbol font.
void ExpectPlatform(const TCaptionShot& shot) {
  const int width = shot.Width(), height = shot.Height();
  const int textRight = height + 4 + CaptionTextWidth(shot.Text) + 2;
  const int buttonsLeft = width - 3 * GetSystemMetrics(SM_CXSIZE) - 4;
  for (int x = textRight; x < buttonsLeft; ++x) EXPECT_EQ(shot.At(x, 2), shot.At(x, height - 3)) << "column " << x;
  ExpectButtonSymbols(shot, {width - GetSystemMetrics(SM_CXSIZE) - 2, 0, width, height}, {});
}

void ExpectCaption(HWND window, bool dialog, bool active, bool longText = false) {
  SCOPED_TRACE(std::string(active ? "active" : "inactive") + (longText ? ", long text" : "") +
               (IsZoomed(window) ? ", maximized" : ""));
  const TCaptionShot shot = Shoot(window, dialog);
  switch (ExpectedLook()) {
    case TLook::Classic: return ExpectClassic(shot, active, longText);
    case TLook::Themed: return ExpectThemed(shot, active, longText);
    case TLook::Platform: return ExpectPlatform(shot);
  }
}

// First in the program, while the plug-in has not yet loaded the visual-styles library.
TEST(VisualStylesLibrary, ComesFromTheSystemFolderAndStaysLoadedWhenThePlugInUnloads) {
  EXPECT_EQ(LoadSystemLibrary("Ostravine.dll"), nullptr) << "a library beside the program";
  if (ExpectedLook() == TLook::Platform) GTEST_SKIP() << "the platform paints every caption";
  {
    TPluginLibrary plugin;
    THostMainWindow mainWindow;
    THostDouble host;
    host.MainWindow = mainWindow.Handle();
    ASSERT_EQ(plugin.RegisterPlugin(THostDouble::Callback), 1);
    auto image = THostImageBuffer::Make24Bit(6, 5);
    TDialogWatcher watcher(TDialogAnswer::Escape);
    EXPECT_EQ(plugin.ProcessImage(1, &image.Record()), 1);
    EXPECT_EQ(watcher.Seen.size(), 1u);
  }
  // Freeing a library from inside the plug-in's own unload is not safe: it stays.
  const HMODULE library = GetModuleHandleA("uxtheme.dll");
  ASSERT_NE(library, nullptr);
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, sizeof folder);
  EXPECT_EQ(_stricmp(ModuleFileName(library).c_str(), (std::string(folder, length) + "\\uxtheme.dll").c_str()), 0)
      << ModuleFileName(library);
}

class StyledCaptionWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    const bool before6 = LOBYTE(LOWORD(GetVersion())) < 6;
    ASSERT_EQ(before6, ExpectedLook() != TLook::Platform) << "the prefix reports another Windows version";
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostMainWindow FOtherWindow;
  THostDouble FHost;
};

TEST_F(StyledCaptionWindow, TheProfileDialogsCaptionThroughActivationColoursSizesAndTexts) {
  auto image = THostImageBuffer::Make24Bit(40, 30);
  FHost.OpenImages = {{image.Record().Pixels, {2, 2, 37, 27}}};
  const int colorIndexes[] = {COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION};
  const COLORREF saved[] = {GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION)};
  const COLORREF changed[] = {RGB(150, 30, 40), RGB(250, 190, 90)};
  RECT bounds{};
  // A change is checked at the next step, once the dialog's loop has handled what it
  // sent; activation, the caption text and the system's painting are checked at once.
  const TSteps steps = {
      [&](HWND dialog) {
        GetWindowRect(dialog, &bounds);
        ExpectCaption(dialog, false, true);
        SetForegroundWindow(FOtherWindow.Handle());
        ExpectCaption(dialog, false, false);
        SetForegroundWindow(dialog);
        ExpectCaption(dialog, false, true);
        SetSysColors(2, colorIndexes, changed);
      },
      [&](HWND dialog) {
        EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), changed[0]);
        ExpectCaption(dialog, false, true);
        SetSysColors(2, colorIndexes, saved);
      },
      [&](HWND dialog) {
        ExpectCaption(dialog, false, true);
        // Wider to the left: the dialog sits at the screen's right edge.
        SetWindowPos(dialog, nullptr, bounds.left - 90, bounds.top, bounds.right - bounds.left + 90,
                     bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
      },
      [&](HWND dialog) {
        ExpectCaption(dialog, false, true);
        ShowWindow(dialog, SW_MAXIMIZE);
      },
      [&](HWND dialog) {
        ExpectCaption(dialog, false, true);
        ShowWindow(dialog, SW_RESTORE);
      },
      [&](HWND dialog) {
        SetWindowTextA(dialog, std::string(120, 'W').c_str());
        ExpectCaption(dialog, false, true, true);
        SetWindowTextA(dialog, "Ostravine");
        ExpectCaption(dialog, false, true);
        RedrawWindow(dialog, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        ExpectCaption(dialog, false, true);
      },
  };
  TDialogWatcher watcher("Ostravine", steps, TDialogAnswer::Close);
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  SetSysColors(2, colorIndexes, saved);
  EXPECT_EQ(watcher.Seen.size(), 1u);
}

TEST_F(StyledCaptionWindow, TheMessageDialogsCaptionActiveAndInactive) {
  auto image = THostImageBuffer::Make24Bit(6, 5);
  const TSteps steps = {
      [&](HWND dialog) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        ExpectCaption(dialog, true, true);
        SetForegroundWindow(FOtherWindow.Handle());
        ExpectCaption(dialog, true, false);
        SetForegroundWindow(dialog);
        ExpectCaption(dialog, true, true);
      },
  };
  TDialogWatcher watcher("Information", steps, TDialogAnswer::Escape);
  EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  EXPECT_NE(watcher.Seen[0].Find("Static", "No rectangular selection"), nullptr);
}

}  // namespace
