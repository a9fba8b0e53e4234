// The profile dialog end to end: Ostravine.dll loaded as a host loads it, host images against
// guard pages, and a watcher that acts on the open dialog as a user would, one step per
// tick, so that the dialog's idle work (signalling the host, painting) runs between steps.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"
#include "tests/profile/ProfileOracle.h"

namespace {

using TSteps = std::vector<TDialogWatcher::TInspect>;

constexpr uint32_t Black = 0x000000;
constexpr uint32_t GrayCurve = 0x808080;
constexpr uint32_t RedCurve = 0xFF0000;
constexpr uint32_t GreenCurve = 0x008000;
constexpr uint32_t BlueCurve = 0x0000FF;
constexpr int Margin = 8;

uint32_t Gray(int level) { return 0x010101u * static_cast<uint32_t>(level % 256); }

bool IsChecked(HWND dialog, const std::string& text) {
  return SendMessageA(FindChild(dialog, "Button", text), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND Child(HWND dialog, const std::string& text) {
  HWND child = FindChild(dialog, "Button", text);
  EXPECT_NE(child, nullptr) << text;
  return child;
}

size_t CountColor(const TWindowPixels& pixels, uint32_t color, int top, int bottom) {
  size_t count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = Margin + 1; x < pixels.Width - Margin - 2; ++x) count += pixels.At(x, y) == color;
  return count;
}

size_t CurvePixels(const TWindowPixels& pixels, uint32_t color) {
  return CountColor(pixels, color, Margin + 1, pixels.Height - 1 - Margin);
}

int Count(const std::vector<int32_t>& requests, int32_t request) {
  return static_cast<int>(std::count(requests.begin(), requests.end(), request));
}

class ProfileDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
  }

  // Runs the command on the image with a selection while the steps act on the dialog. Each
  // step waits until every profile built so far has been signalled to the host, that is
  // until the dialog's idle work for it is done; a failed show builds none.
  TDialogWatcher& Run(THostImageBuffer& image, TRect selection, TSteps steps,
                      TDialogAnswer answer = TDialogAnswer::Close, int profilesOnShow = 1) {
    FHost.OpenImages = {{image.Record().Pixels, selection}};
    FHost.Requests.clear();
    FProfiles = profilesOnShow;
    FWatchers.push_back(std::make_unique<TDialogWatcher>("Ostravine", std::move(steps), answer));
    FWatchers.back()->Ready = [this] { return Count(FHost.Requests, hrImageChanged) >= FProfiles; };
    EXPECT_EQ(FPlugin.ProcessImage(1, &image.Record()), 1);
    return *FWatchers.back();
  }

  // A click that rebuilds the profile: a check box, or the plane of a complex image.
  void Rebuild(HWND dialog, const std::string& text) {
    ++FProfiles;
    ClickChild(dialog, "Button", text);
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
  std::vector<std::unique_ptr<TDialogWatcher>> FWatchers;
  int FProfiles = 0;
};

TEST_F(ProfileDialog, MarksFollowTheModeAndTogglingTwiceReturnsToTheFirstMarks) {
  for (bool gray : {false, true}) {
    auto image = gray ? THostImageBuffer::Make8Bit(23, 17, 24, true) : THostImageBuffer::Make24Bit(23, 17, 72);
    const THostImageBuffer clean = THostImageBuffer::CopyOf(image);
    const TRect selection{3, 2, 19, 13};
    const auto marks = [&](bool integrate, bool direction) {
      return OracleMarkedBytes(clean, {integrate, direction}, selection);
    };
    std::vector<uint8_t> first;
    const TSteps steps = {
        [&](HWND dialog) {
          first = image.Snapshot();
          EXPECT_EQ(first, marks(false, false));
          EXPECT_EQ(WindowText(Child(dialog, "Change &diagonal")), "Change &diagonal");
          EXPECT_FALSE(IsChecked(dialog, "&Integrate values"));
          EXPECT_EQ(IsWindowEnabled(GetParent(Child(dialog, "Red"))) != 0, !gray);
          Rebuild(dialog, "Change &diagonal");
        },
        [&](HWND dialog) {
          EXPECT_EQ(image.Snapshot(), marks(false, true));
          Rebuild(dialog, "Change &diagonal");
        },
        [&](HWND dialog) {
          EXPECT_EQ(image.Snapshot(), first);
          Rebuild(dialog, "&Integrate values");
        },
        [&](HWND dialog) {
          EXPECT_EQ(image.Snapshot(), marks(true, false));
          Rebuild(dialog, "Change &direction");
        },
        [&](HWND dialog) {
          EXPECT_EQ(image.Snapshot(), marks(true, true));
          Rebuild(dialog, "&Integrate values");
          Rebuild(dialog, "Change &diagonal");
        },
        [&](HWND) { EXPECT_EQ(image.Snapshot(), first); },
    };
    Run(image, selection, steps);
    EXPECT_EQ(image.Snapshot(), clean.Snapshot()) << "gray " << gray;
    // Sampled on show and on each of the six clicks, each followed by the idle signal, and once more on close.
    EXPECT_EQ(Count(FHost.Requests, hrImageChanged), 8);
    EXPECT_EQ(FHost.Requests.back(), hrImageChanged);
  }
}

TEST_F(ProfileDialog, EveryWayOfClosingPutsBackEveryByteAndTellsTheHost) {
  struct TClose {
    TDialogAnswer Answer;
    bool CloseButton;
  };
  for (TClose close : {TClose{TDialogAnswer::None, true}, TClose{TDialogAnswer::Escape, false},
                       TClose{TDialogAnswer::Close, false}}) {
    auto image = THostImageBuffer::Make24Bit(31, 9, 96);
    const auto before = image.Snapshot();
    TSteps steps = {[&](HWND) { EXPECT_NE(image.Snapshot(), before); }};
    if (close.CloseButton) steps.push_back([](HWND dialog) { ClickChild(dialog, "Button", "Close"); });
    auto& watcher = Run(image, {0, 0, 30, 8}, steps, close.Answer);
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_EQ(watcher.Seen[0].Owner, FMainWindow.Handle());
    EXPECT_EQ(image.Snapshot(), before) << static_cast<int>(close.Answer);
    EXPECT_EQ(FHost.Requests, (std::vector<int32_t>{hrMainWindow, hrImageInfo, hrImageChanged, hrImageChanged}));
  }
}

TEST_F(ProfileDialog, AnotherPlaneOfAColorImageOnlyRepaints) {
  auto image = THostImageBuffer::Make24Bit(40, 30);
  std::vector<uint8_t> marked;
  size_t requests = 0;
  const TSteps steps = {
      [&](HWND dialog) {
        marked = image.Snapshot();
        requests = FHost.Requests.size();
        EXPECT_TRUE(IsChecked(dialog, "All"));
        const TWindowPixels plot = ReadClientPixels(Panel(dialog));
        EXPECT_GT(CurvePixels(plot, RedCurve), 0u);
        EXPECT_GT(CurvePixels(plot, GreenCurve), 0u);
        EXPECT_GT(CurvePixels(plot, BlueCurve), 0u);
        EXPECT_EQ(CurvePixels(plot, GrayCurve), 0u);
        ClickChild(dialog, "Button", "Red");
      },
      [&](HWND dialog) {
        EXPECT_EQ(image.Snapshot(), marked);
        EXPECT_EQ(FHost.Requests.size(), requests);
        const TWindowPixels plot = ReadClientPixels(Panel(dialog));
        EXPECT_GT(CurvePixels(plot, RedCurve), 0u);
        EXPECT_EQ(CurvePixels(plot, GreenCurve) + CurvePixels(plot, BlueCurve) + CurvePixels(plot, GrayCurve), 0u);
        ClickChild(dialog, "Button", "Grayscale");
      },
      [&](HWND dialog) {
        const TWindowPixels plot = ReadClientPixels(Panel(dialog));
        EXPECT_GT(CurvePixels(plot, GrayCurve), 0u);
        EXPECT_EQ(CurvePixels(plot, RedCurve) + CurvePixels(plot, GreenCurve) + CurvePixels(plot, BlueCurve), 0u);
        EXPECT_EQ(FHost.Requests.size(), requests);
      },
  };
  Run(image, {2, 3, 37, 26}, steps);
}

TEST_F(ProfileDialog, RealAndComplexImagesAreNeverWrittenAndAComplexPlaneRebuilds) {
  for (bool complex : {false, true}) {
    auto image = complex ? THostImageBuffer::MakeComplex(9, 7) : THostImageBuffer::MakeFloat(9, 7);
    const auto before = image.Snapshot();
    std::string label;
    const TSteps steps = {
        [&](HWND dialog) {
          EXPECT_TRUE(IsChecked(dialog, "Real"));
          EXPECT_EQ(FindChild(dialog, "Button", "Complex") != nullptr, complex);
          EXPECT_EQ(FindChild(dialog, "Button", "Grayscale"), nullptr);
          EXPECT_EQ(Count(FHost.Requests, hrImageChanged), 1);
          EXPECT_EQ(image.Snapshot(), before);
          if (complex) Rebuild(dialog, "Complex");
        },
        [&](HWND dialog) {
          EXPECT_EQ(Count(FHost.Requests, hrImageChanged), complex ? 2 : 1);
          EXPECT_EQ(image.Snapshot(), before);
          const TWindowPixels plot = ReadClientPixels(Panel(dialog));
          EXPECT_GT(CurvePixels(plot, GrayCurve), 0u);
          EXPECT_EQ(CurvePixels(plot, RedCurve), 0u);
        },
    };
    Run(image, {1, 1, 7, 5}, steps);
    EXPECT_EQ(image.Snapshot(), before);
    // Nothing was saved, so closing has nothing to tell.
    EXPECT_EQ(Count(FHost.Requests, hrImageChanged), complex ? 2 : 1);
  }
}

TEST_F(ProfileDialog, TheCheckBoxesAreRememberedForTheNextDialog) {
  auto image = THostImageBuffer::Make24Bit(12, 10);
  const THostImageBuffer clean = THostImageBuffer::CopyOf(image);
  Run(image, {1, 1, 10, 8}, {[&](HWND dialog) {
        EXPECT_FALSE(IsChecked(dialog, "&Integrate values"));
        EXPECT_FALSE(IsChecked(dialog, "Change &diagonal"));
        Rebuild(dialog, "&Integrate values");
      },
      [&](HWND dialog) { Rebuild(dialog, "Change &direction"); }});

  auto other = THostImageBuffer::Make8Bit(7, 9);
  const THostImageBuffer otherClean = THostImageBuffer::CopyOf(other);
  Run(other, {0, 2, 6, 8}, {[&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, "&Integrate values"));
        EXPECT_TRUE(IsChecked(dialog, "Change &direction"));
        EXPECT_EQ(other.Snapshot(), OracleMarkedBytes(otherClean, {true, true}, {0, 2, 6, 8}));
      }});
  EXPECT_EQ(other.Snapshot(), otherClean.Snapshot());
  EXPECT_EQ(image.Snapshot(), clean.Snapshot());
}

// The lower controls keep their distances to the bottom edge at every size.
void ExpectLayout(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  const RECT group = BoundsIn(GetParent(Child(dialog, "Red")), dialog);
  const RECT panel = BoundsIn(Panel(dialog), dialog);
  const RECT close = BoundsIn(Child(dialog, "Close"), dialog);
  EXPECT_EQ(group.bottom, client.bottom - 8);
  EXPECT_EQ(group.left, 8);
  EXPECT_EQ(panel.bottom, group.top - 4);
  EXPECT_EQ(panel.right, client.right);
  EXPECT_EQ(close.bottom, client.bottom - 8);
  EXPECT_EQ(close.right, client.right - 8);
  EXPECT_EQ(BoundsIn(Child(dialog, "Change &diagonal"), dialog).bottom, group.bottom);
}

TEST_F(ProfileDialog, OpensAtTheTopRightAndLaysOutAtEverySizeDownToItsMinimum) {
  auto image = THostImageBuffer::Make24Bit(10, 10);
  const TSteps steps = {
      [](HWND dialog) {
        RECT window;
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.left, GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left) - 8);
        EXPECT_EQ(window.top, 40);
        ExpectLayout(dialog);
        MINMAXINFO info{};
        SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, 416);
        EXPECT_EQ(info.ptMinTrackSize.y, 200);
        ResizeWindow(dialog, 800, 600);
      },
      [](HWND dialog) {
        ExpectLayout(dialog);
        ResizeWindow(dialog, 100, 100);
      },
      [](HWND dialog) {
        RECT window;
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.right - window.left, 416);
        EXPECT_EQ(window.bottom - window.top, 200);
        ExpectLayout(dialog);
      },
  };
  Run(image, {0, 0, 9, 9}, steps);
}

// One row of 100 pixels: sample i lies at m + round(i * xScale); the ramp segment that ends
// at sample i carries its gray level, and the end pixel the last sample's. The pixels are a
// flat 128, so the curves run along one row and cross the frame's sides there only.
TEST_F(ProfileDialog, ThePlotShowsItsFrameAndTheRampOfTheMarks) {
  auto image = THostImageBuffer::Make24Bit(100, 5);
  std::fill(image.Pixels(), image.Pixels() + image.ByteCount(), uint8_t{128});
  const TSteps steps = {
      [](HWND dialog) {
        EXPECT_NE(FindChild(dialog, "Static", "Length: 100 pixels"), nullptr);
        const TWindowPixels plot = ReadClientPixels(Panel(dialog));
        const int right = plot.Width - Margin - 2;
        const int baseY = plot.Height - 1 - Margin;
        const int curveY = baseY - static_cast<int>(std::nearbyint(128 * (plot.Height - 1.0 - 2 * Margin) / 255));
        for (int y = Margin; y <= baseY; ++y) {
          if (y == curveY) continue;
          ASSERT_EQ(plot.At(Margin, y), Black) << y;
          ASSERT_EQ(plot.At(right, y), Black) << y;
        }
        EXPECT_EQ(plot.At(Margin + 1, curveY), BlueCurve);
        for (int x = Margin; x <= right; ++x) {
          ASSERT_EQ(plot.At(x, Margin), Black) << x;
          ASSERT_EQ(plot.At(x, baseY), Black) << x;
        }
        const double xScale = (plot.Width - 2.0 - 2 * Margin) / 99;
        const auto sampleX = [&](int i) { return Margin + static_cast<int>(std::nearbyint(i * xScale)); };
        for (int row : {baseY + 2, baseY + 3}) {
          for (int i = 1; i < 100; ++i)
            for (int x = sampleX(i - 1); x < sampleX(i); ++x) ASSERT_EQ(plot.At(x, row), Gray(i)) << x;
          EXPECT_EQ(plot.At(right, row), Gray(99));
        }
      },
  };
  Run(image, {0, 2, 99, 2}, steps);
}

// Integrate mode over the rows of a one-row selection gives one sample, drawn at the left
// edge; over the rows of a selection upside down, none: the frame stays, with no curve and
// no ramp. The second dialog opens in the mode the first one was closed in.
TEST_F(ProfileDialog, OneSampleIsDrawnAtTheLeftEdgeAndNoSampleLeavesTheFrameOnly) {
  for (bool empty : {false, true}) {
    auto image = THostImageBuffer::Make24Bit(10, 8);
    std::fill(image.Pixels(), image.Pixels() + image.ByteCount(), uint8_t{128});
    const TSteps steps = {
        [&](HWND dialog) {
          if (!IsChecked(dialog, "&Integrate values")) Rebuild(dialog, "&Integrate values");
        },
        [&](HWND dialog) {
          if (!IsChecked(dialog, "Change &direction")) Rebuild(dialog, "Change &direction");
        },
        [&](HWND dialog) {
          EXPECT_NE(FindChild(dialog, "Static", empty ? "Grayscale pixel sum: 0" : "Grayscale pixel sum: 1280"),
                    nullptr);
          const TWindowPixels plot = ReadClientPixels(Panel(dialog));
          const int right = plot.Width - Margin - 2;
          const int baseY = plot.Height - 1 - Margin;
          EXPECT_EQ(plot.At(right, Margin), Black);
          EXPECT_EQ(plot.At(right, baseY), Black);
          EXPECT_EQ(plot.At(Margin, baseY), Black);
          const uint32_t background = plot.At(right + 1, baseY + 2);
          EXPECT_EQ(plot.At(Margin, baseY + 2), empty ? background : Gray(0));
          EXPECT_EQ(plot.At(Margin + 1, baseY + 2), background);
          EXPECT_EQ(CurvePixels(plot, RedCurve) + CurvePixels(plot, GreenCurve), 0u);
          if (!empty) {
            // 10 pixels of 128 in each channel against a maximum of 1280: the top edge.
            EXPECT_EQ(plot.At(Margin, Margin), BlueCurve);
            EXPECT_EQ(plot.At(Margin + 1, Margin), Black);
          }
        },
    };
    Run(image, empty ? TRect{0, 5, 9, 2} : TRect{0, 3, 9, 3}, steps);
  }
}

// An error raised while sampling is shown, the dialog still opens, and the host's pixels
// end as they began.
TEST_F(ProfileDialog, AnErrorWhileSamplingLeavesNoMarks) {
  auto image = THostImageBuffer::Make24Bit(8, 6);
  const auto before = image.Snapshot();
  auto& watcher = Run(image, {0, -2'000'000'000, 7, 2'000'000'000},
                      {[&](HWND) { EXPECT_EQ(image.Snapshot(), before); }}, TDialogAnswer::Close, 0);
  ASSERT_EQ(watcher.Seen.size(), 2u);
  EXPECT_NE(watcher.Seen[0].Find("Static", "Out of memory."), nullptr);
  EXPECT_EQ(watcher.Seen[1].Caption, "Ostravine");
  EXPECT_EQ(image.Snapshot(), before);
  EXPECT_EQ(FHost.Requests.back(), hrImageChanged);
}

}  // namespace
