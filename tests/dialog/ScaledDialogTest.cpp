// The profile dialog at the screen's resolution, end to end through the DLL. CTest runs these
// checks in Wine prefixes set to 96, 120, 144 and 192 pixels per inch: the client area is
// the design's times P/96, no control overlaps another or leaves the client area (at the
// opening size and at the minimum size), every caption fits its control in the control's
// own font, which grows all the way with the resolution, the plot's frame lies where the scaled margin puts it, and the readout's tooltip
// stays inside the work area and off the cursor at the plot's four corners, its text inside it
// (the readout, a range's figures, a band's readout). A form told of a
// new resolution (a host aware of each monitor's) follows it.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"

namespace {

using TSteps = std::vector<TDialogWatcher::TInspect>;

// The design at 96 pixels per inch: the client area, and the plot's margin (the plane
// group's left edge).
constexpr SIZE DesignClient{603, 382};
constexpr int DesignMargin = 8;

int ScreenResolution() {
  const HDC screen = GetDC(nullptr);
  const int resolution = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return resolution;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child)) children.push_back(child);
  return children;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The caption's width in the control's own font, its '&' marks left out.
int TextWidth(HWND control) {
  std::string text = WindowText(control);
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  const HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

int CharacterHeight(HWND control) {
  const HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return metrics.tmHeight - metrics.tmInternalLeading;
}

// A check box or radio button draws its glyph, then a gap, then the caption.
bool IsGlyphButton(HWND control) {
  const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  return ClassOf(control) == "Button" && type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_GROUPBOX;
}

void ExpectCaptionsFit(HWND parent) {
  for (HWND control : Children(parent)) {
    RECT bounds;
    GetWindowRect(control, &bounds);
    const std::string name = ClassOf(control);
    if (name == "Button" || name == "Static") {
      const int glyph = IsGlyphButton(control) ? GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE) : 0;
      const bool groupBox = (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX && name == "Button";
      if (!groupBox) {
        EXPECT_LE(glyph + TextWidth(control), bounds.right - bounds.left) << WindowText(control);
      }
    }
    ExpectCaptionsFit(control);
  }
}

// Every visible control of the dialog inside its client area, and no two of them overlapping.
void ExpectLaidOut(HWND dialog, const char* where) {
  RECT client;
  GetClientRect(dialog, &client);
  const std::vector<HWND> controls = Children(dialog);
  for (size_t i = 0; i < controls.size(); ++i) {
    const RECT a = BoundsIn(controls[i], dialog);
    EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= client.right && a.bottom <= client.bottom)
        << where << ": " << WindowText(controls[i]) << " leaves the client area";
    for (size_t j = i + 1; j < controls.size(); ++j) {
      const RECT b = BoundsIn(controls[j], dialog);
      RECT overlap;
      EXPECT_FALSE(IntersectRect(&overlap, &a, &b))
          << where << ": \"" << WindowText(controls[i]) << "\" overlaps \"" << WindowText(controls[j]) << "\"";
    }
  }
}

class ScaledDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
  }

  // The steps act on the open dialog one after the other; every one of them must have run.
  // Another window that opens (a modal one) goes to otherWindow, else gets Enter.
  void Run(TSteps steps, std::function<bool(HWND)> otherWindow = {}) {
    FHost.OpenImages = {{FImage.Record().Pixels, {0, 0, 59, 39}}};
    FHost.Requests.clear();
    bool done = false;
    steps.push_back([&](HWND) { done = true; });
    TDialogWatcher watcher("Ostravine", std::move(steps), TDialogAnswer::Close);
    watcher.Ready = [this] { return std::count(FHost.Requests.begin(), FHost.Requests.end(), hrImageChanged) >= 1; };
    watcher.OtherWindow = std::move(otherWindow);
    EXPECT_EQ(FPlugin.ProcessImage(1, &FImage.Record()), 1);
    EXPECT_TRUE(done) << "the dialog closed before every step had run";
  }

  THostImageBuffer FImage = THostImageBuffer::Make24Bit(60, 40);
  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
};

TEST_F(ScaledDialog, EverySizeAndCaptionFollowsTheScreensResolution) {
  const int resolution = ScreenResolution();
  const int margin = MulDiv(DesignMargin, resolution, 96);
  std::vector<POINT> corners;
  TSteps steps = {
      [&](HWND dialog) {
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_NEAR(client.right, MulDiv(DesignClient.cx, resolution, 96), 1) << resolution;
        EXPECT_NEAR(client.bottom, MulDiv(DesignClient.cy, resolution, 96), 1) << resolution;
        ExpectLaidOut(dialog, "opening size");
        ExpectCaptionsFit(dialog);
        // The dialog's text grows all the way: its characters 11 pixels high at 96 dpi.
        EXPECT_NEAR(CharacterHeight(FindChild(dialog, "Button", "Close")), MulDiv(11, resolution, 96), 1);
        // The frame: its edges black on the margin's columns and rows (but where a curve
        // crosses them), nothing black just outside them.
        UpdateWindow(Panel(dialog));
        const TWindowPixels plot = ReadClientPixels(Panel(dialog));
        const int right = plot.Width - margin - 2, bottom = plot.Height - 1 - margin;
        const auto black = [&](int x0, int y0, int x1, int y1) {
          int count = 0, all = 0;
          for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x, ++all) count += plot.At(x, y) == 0;
          return 100 * count / all;
        };
        EXPECT_GE(black(margin, margin, margin, bottom), 80) << "left edge";
        EXPECT_GE(black(right, margin, right, bottom), 80) << "right edge";
        EXPECT_GE(black(margin, margin, right, margin), 80) << "top edge";
        EXPECT_GE(black(margin, bottom, right, bottom), 80) << "bottom edge";
        EXPECT_EQ(black(margin - 1, margin - 1, margin - 1, bottom), 0) << "left of the frame";
        EXPECT_EQ(black(margin, margin - 1, right, margin - 1), 0) << "above the frame";
        // The labels "255" and "0" in the 8-point font, from 2 pixels right of the frame's
        // left edge: at its top, and above its bottom.
        const int text = MulDiv(8, resolution, 72);
        EXPECT_GT(black(margin + 2, margin + 1, margin + 2 + 2 * text, margin + text), 3) << "the label 255";
        EXPECT_GT(black(margin + 2, bottom - text - 1, margin + 2 + text, bottom - 1), 3) << "the label 0";
        // The frame's lines as wide as the scale makes a pixel; the labels 2 pixels in.
        const int lineWidth = MulDiv(1, resolution, 96);
        if (lineWidth == 1) {
          EXPECT_EQ(black(margin + 1, margin + 1, margin + 1, bottom - 1), 0) << "the labels start 2 pixels in";
        } else {
          EXPECT_GE(black(margin + lineWidth - 1, margin + text + 2, margin + lineWidth - 1, bottom - text - 2), 80)
              << "the frame's inner line";
          EXPECT_GE(black(right - lineWidth + 1, margin, right - lineWidth + 1, bottom), 80) << "the right edge's inner line";
        }
        for (POINT corner : {POINT{margin + 1, margin + 1}, POINT{right - 1, margin + 1}, POINT{margin + 1, bottom - 1},
                             POINT{right - 1, bottom - 1}}) {
          ClientToScreen(Panel(dialog), &corner);
          corners.push_back(corner);
        }
        SetCursorPos(corners[0].x, corners[0].y);
      }};
  // The tooltip's text fits inside it whatever it shows: the readout, the figures of a
  // range, the readout across a band with its "\u00B1" spreads.
  const auto expectTipFits = [](const char* what) {
    const TTipFit fit = ToolTipFit();
    EXPECT_GT(fit.Text.cx, 0) << what;
    EXPECT_LE(fit.Text.cx, fit.Room.cx) << what << ": " << ToolTipText();
    EXPECT_LE(fit.Text.cy, fit.Room.cy) << what << ": " << ToolTipText();
  };
  for (size_t corner = 0; corner < 4; ++corner)
    steps.push_back([&, corner](HWND) {
      const HWND tip = VisibleThreadWindow("tooltips_class32");
      ASSERT_NE(tip, nullptr) << "corner " << corner;
      RECT bounds, area;
      GetWindowRect(tip, &bounds);
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
      EXPECT_TRUE(bounds.left >= area.left && bounds.top >= area.top && bounds.right <= area.right &&
                  bounds.bottom <= area.bottom)
          << "corner " << corner;
      EXPECT_FALSE(PtInRect(&bounds, corners[corner])) << "the tip covers the cursor at corner " << corner;
      expectTipFits("the readout");
      const POINT next = corner + 1 < 4 ? corners[corner + 1] : POINT{2, GetSystemMetrics(SM_CYSCREEN) - 2};
      SetCursorPos(next.x, next.y);
    });
  steps.push_back([&](HWND dialog) {
    RECT plot;
    GetClientRect(Panel(dialog), &plot);
    MoveOverPanel(dialog, plot.right / 3, plot.bottom / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  });
  steps.push_back([&](HWND dialog) {
    RECT plot;
    GetClientRect(Panel(dialog), &plot);
    MoveOverPanel(dialog, plot.right * 2 / 3, plot.bottom / 2);
  });
  steps.push_back([&](HWND) {
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_EQ(ToolTipText().rfind("Samples ", 0), 0u) << ToolTipText();
    expectTipFits("the range's figures");
    Keys({VK_SHIFT, VK_F10});
  });
  steps.push_back([&](HWND) { Keys({'L'}); });
  steps.push_back([&](HWND) {
    Keys({VK_DOWN});
    Keys({VK_RETURN});
  });
  steps.push_back([&](HWND dialog) {
    RECT plot;
    GetClientRect(Panel(dialog), &plot);
    MoveOverPanel(dialog, plot.right / 5, plot.bottom / 2);
  });
  steps.push_back([&](HWND) {
    EXPECT_NE(ToolTipText().find(" \u00B1 "), std::string::npos) << ToolTipText();
    expectTipFits("a band's readout");
    Keys({VK_SHIFT, VK_F10});
  });
  steps.push_back([&](HWND) { Keys({'L'}); });
  steps.push_back([&](HWND) { Keys({VK_RETURN}); });
  steps.push_back([](HWND dialog) {
    ResizeWindow(dialog, 1, 1);
    ExpectLaidOut(dialog, "minimum size");
  });
  Run(std::move(steps));
}

// The dialog's other windows at the screen's resolution: the line window and the figures
// window beside it, and the modal value range and pixel size dialogs, each with every
// control inside it (their buttons were cut off at the bottom, their designed size taken for
// the window's), none overlapping another, every caption fitting its control in a font that
// grows with the resolution.
TEST_F(ScaledDialog, TheOtherWindowsFitTheirTexts) {
  const int resolution = ScreenResolution();
  std::vector<std::string> checked;
  const auto expectFits = [&](HWND window) {
    const std::string caption = WindowText(window);
    checked.push_back(caption);
    ExpectLaidOut(window, caption.c_str());
    ExpectCaptionsFit(window);
    // Their text grows with the resolution as the dialog's does.
    const auto buttons = Children(window);
    const auto button = std::find_if(buttons.begin(), buttons.end(), [](HWND c) { return ClassOf(c) == "Button"; });
    ASSERT_NE(button, buttons.end()) << caption;
    EXPECT_NEAR(CharacterHeight(*button), MulDiv(11, resolution, 96), 1) << caption;
  };
  Run({[](HWND) { Keys({VK_CONTROL, 'L'}); },
       [&](HWND) {
         ASSERT_NE(FindWindowA(nullptr, "Line"), nullptr);
         expectFits(FindWindowA(nullptr, "Line"));
         SendMessageA(FindWindowA(nullptr, "Line"), WM_CLOSE, 0, 0);
       },
       [](HWND dialog) {
         SetForegroundWindow(dialog);
         Keys({VK_CONTROL, 'F'});
       },
       [&](HWND) {
         ASSERT_NE(FindWindowA(nullptr, "Figures"), nullptr);
         expectFits(FindWindowA(nullptr, "Figures"));
         SendMessageA(FindWindowA(nullptr, "Figures"), WM_CLOSE, 0, 0);
       },
       [](HWND dialog) {
         SetForegroundWindow(dialog);
         Keys({VK_SHIFT, VK_F10});
       },
       [](HWND) { Keys({'U'}); },
       [](HWND) { Keys({VK_SHIFT, VK_F10}); },
       [](HWND) { Keys({'X'}); },
       [](HWND) {}},
      [&](HWND window) {
        expectFits(window);
        PostMessageA(window, WM_CLOSE, 0, 0);
        return true;
      });
  EXPECT_EQ(checked, (std::vector<std::string>{"Line", "Figures", "Value range", "Pixel size"}));
}

// The message dialog lays itself out from its font: at every resolution its captions fit and
// nothing overlaps. A selection that is no rectangle brings up the refusal.
TEST_F(ScaledDialog, TheMessageDialogFitsItsTexts) {
  FHost.OpenImages = {{FImage.Record().Pixels, {-1, 0, 0, 0}}};
  bool seen = false;
  TDialogWatcher watcher(TDialogAnswer::Enter, [&](HWND dialog) {
    seen = true;
    ExpectLaidOut(dialog, "message dialog");
    ExpectCaptionsFit(dialog);
  });
  EXPECT_EQ(FPlugin.ProcessImage(1, &FImage.Record()), 1);
  EXPECT_TRUE(seen);
}

// Told that its monitor has 1.5 times the resolution, the form takes the suggested rectangle
// and lays out its controls, scaled, in it.
TEST_F(ScaledDialog, AFormToldOfANewResolutionFollowsIt) {
  const int resolution = ScreenResolution();
  const int wanted = resolution * 3 / 2;
  Run({[&](HWND dialog) {
         RECT window;
         GetWindowRect(dialog, &window);
         RECT suggested{window.left, window.top, window.left + (window.right - window.left) * 3 / 2,
                        window.top + (window.bottom - window.top) * 3 / 2};
         SendMessageA(dialog, 0x02E0, MAKEWPARAM(wanted, wanted), reinterpret_cast<LPARAM>(&suggested));
       },
       [&](HWND dialog) {
         ExpectLaidOut(dialog, "after the new resolution");
         const RECT close = BoundsIn(FindChild(dialog, "Button", "Close"), dialog);
         EXPECT_NEAR(close.right - close.left, MulDiv(75, wanted, 96), 1);
         // The height is scaled from the one at the old resolution, itself rounded.
         EXPECT_NEAR(CharacterHeight(FindChild(dialog, "Button", "Close")), MulDiv(11, wanted, 96), 2);
       }});
}

}  // namespace
