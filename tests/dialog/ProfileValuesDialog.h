#pragma once
// The profile dialog played end to end through Ostravine.dll as a host loads it: a fixture
// that runs the command on an image in the mode wanted while a watcher plays the user, one
// step per idle moment of the dialog, and what the steps read back (the clipboard's tables
// and pixels, the open menu, the readout's numbers) to compare with the oracle.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"
#include "tests/profile/ProfileOracle.h"

using TSteps = std::vector<TDialogWatcher::TInspect>;
using TRows = std::vector<std::vector<double>>;

constexpr int Margin = 8;
// The plot's context menu, as it opens.
extern const std::vector<std::string> MenuItems;

// The dialog's messages handled for a while, inside a step, all but the timers (the
// watcher's steps run on one).
void HandleMessagesFor(DWORD milliseconds);
// The system notices the mouse leaving a window at its next look at the cursor: the
// messages are handled here until then, all but the timer that runs the watcher's steps.
void WaitForToolTipToHide();
std::vector<std::string> OpenMenuItems();
// The tables are ASCII: the Unicode text is narrowed character by character.
std::string ClipboardText(UINT format);
// The packed 24-bit DIB as 0x00RRGGBB values from the top row down.
std::vector<uint32_t> ClipboardPixels();
void EmptyTheClipboard();
// The header exactly, then every field reads back to exactly the oracle's double.
void ExpectTable(const std::string& text, const std::string& header, const TRows& rows);
// The values table of a line profile as the oracle samples it.
TRows LineRows(const TProfile& profile, const TRect& selection);
// Six significant digits, the user's decimal separator.
std::string Readout(double value);
// The readout of sample i of a colour line profile with the plane "Red" or "All".
void ExpectColourReadout(const TProfile& oracle, const std::vector<TSamplePoint>& points, size_t i);
// Ctrl+C, then "Copy values" on the menu that `open` shows: both put the table on the
// clipboard in both text formats.
TSteps CopyTwice(std::function<void(HWND)> open, const std::string& header, const TRows& rows);
TSteps operator+(TSteps first, const TSteps& then);

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
