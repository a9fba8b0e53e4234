// Fits and figures end to end, through Ostravine.dll as a host loads it: a range dragged
// over a known peak and then over a known edge of a gray image, fitted from the plot's menu,
// the figures window (Ctrl+F) copied; "Pixel size..." then gives the distances in micrometres.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/WinApi.h"
#include "profile/CurveFit.h"
#include "profile/ProfilePlot.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"

namespace {

constexpr int Width = 240, Height = 16, Margin = 8;
const TRect Selection{0, 8, Width - 1, 8};

// A peak at 70 (sigma 9) and a rising edge at 180 (sigma 6) on a floor of 20, as bytes.
double Truth(double x) {
  return 20 + 160 * std::exp(-(x - 70) * (x - 70) / (2 * 9.0 * 9.0)) + 60 * (1 + std::erf((x - 180) / (6 * std::sqrt(2.0))));
}
uint8_t Byte(int x) { return static_cast<uint8_t>(std::lround(Truth(x))); }

// The copied table by figure, the one curve's field as text.
std::map<std::string, std::string> CopiedFigures() {
  const std::string text = ClipboardUtf8();
  std::map<std::string, std::string> figures;
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) figures[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return figures;
}

double Number(const std::map<std::string, std::string>& figures, const std::string& name) {
  const auto found = figures.find(name);
  if (found == figures.end()) {
    ADD_FAILURE() << "no figure " << name;
    return NAN;
  }
  return std::stod(found->second);
}

// The fit's parameters are least squares: no change of one by a part in 10^4 of its size (or
// of the samples' spread) lowers the sum of squared residuals over the range's bytes.
void ExpectLeastSquares(TFitShape shape, double base, double height, double centre, double sigma, int first, int last) {
  const auto squares = [&](double b, double h, double c, double s) {
    TCurveFit model;
    model.Shape = shape;
    model.Baseline.Value = b, model.Height.Value = h, model.Centre.Value = c, model.Sigma.Value = s;
    double sum = 0;
    for (int x = first; x <= last; ++x) sum += std::pow(Byte(x) - model.At(x), 2);
    return sum;
  };
  const double best = squares(base, height, centre, sigma);
  for (int p = 0; p < 4; ++p)
    for (double sign : {-1.0, 1.0}) {
      double q[4] = {base, height, centre, sigma};
      q[p] += sign * 1e-4 * std::max(std::fabs(q[p]), 1.0);
      EXPECT_GE(squares(q[0], q[1], q[2], q[3]), best * (1 - 1e-9)) << "parameter " << p;
    }
}

BOOL CALLBACK CollectRadio(HWND child, LPARAM list) {
  if ((GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

// The unit's item of the pixel size dialog's radio group, counted from "none".
HWND UnitButton(HWND sizeDialog, int item) {
  std::vector<HWND> radios;
  EnumChildWindows(sizeDialog, CollectRadio, reinterpret_cast<LPARAM>(&radios));
  return item < static_cast<int>(radios.size()) ? radios[item] : nullptr;
}

// "Pixel size": half a micrometre, typed with a decimal comma.
bool AnswerPixelSize(HWND window) {
  if (WindowText(window) != "Pixel size") return false;
  SetWindowTextA(FindChild(window, "Edit", "1"), "0,5");
  // The micro sign itself, not its UTF-8 bytes read in the ANSI code page.
  wchar_t unit[8] = L"";
  GetWindowTextW(UnitButton(window, 2), unit, 8);
  EXPECT_STREQ(unit, L"\u00B5m");
  SendMessageA(UnitButton(window, 2), BM_CLICK, 0, 0);
  ClickChild(window, "Button", "OK");
  return true;
}

class FiguresWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FHost.MainWindow = FMainWindow.Handle();
    ASSERT_EQ(FPlugin.RegisterPlugin(THostDouble::Callback), 1);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) FImage.Pixels()[y * Width + x] = Byte(x);
    ParkCursor();
  }

  void Run(std::vector<TDialogWatcher::TInspect> steps) {
    FHost.OpenImages = {{FImage.Record().Pixels, Selection}};
    TDialogWatcher watcher("Ostravine", std::move(steps), TDialogAnswer::Close);
    watcher.Ready = [this] { return std::count(FHost.Requests.begin(), FHost.Requests.end(), hrImageChanged) > 0; };
    watcher.OtherWindow = [](HWND window) { return AnswerPixelSize(window); };
    EXPECT_EQ(FPlugin.ProcessImage(1, &FImage.Record()), 1);
  }

  TPluginLibrary FPlugin;
  THostMainWindow FMainWindow;
  THostDouble FHost;
  THostImageBuffer FImage = THostImageBuffer::Make8Bit(Width, Height);
  double FEdgeCentre = 0;
};

HWND FiguresWindow() { return FindWindowA(nullptr, "Figures"); }

void OpenMenu(HWND dialog) {
  RECT plot;
  GetWindowRect(Panel(dialog), &plot);
  SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog), MAKELPARAM(plot.left + 40, plot.top + 40));
}

void CopyFigures() { SendMessageA(FindChild(FiguresWindow(), "Button", "&Copy"), BM_CLICK, 0, 0); }

TEST_F(FiguresWindowTest, FitsAreLeastSquaresDrawnOverTheRangeAndGivenInTheUsersUnit) {
  TWindowPixels plot, unfitted;
  const auto column = [&](size_t sample) { return TPlotGeometry(plot.Width, plot.Height, Margin, Width, 255).X(sample); };
  const auto drag = [&](HWND dialog, int from, int to) {
    MoveOverPanel(dialog, column(from), plot.Height / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    MoveOverPanel(dialog, column(to), plot.Height / 2);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  };
  Run({[&](HWND dialog) {
         plot = ReadClientPixels(Panel(dialog));
         drag(dialog, 30, 110);
       },
       [&](HWND) { ParkCursor(); },
       [&](HWND dialog) {
         unfitted = ReadClientPixels(Panel(dialog));
         OpenMenu(dialog);
       },
       [&](HWND) { Keys({'K'}); },
       [&](HWND dialog) {
         const TWindowPixels fitted = ReadClientPixels(Panel(dialog));
         int changed = 0;
         for (int y = 0; y < plot.Height; ++y)
           for (int x = 0; x < plot.Width; ++x)
             if (fitted.Pixels[y * plot.Width + x] != unfitted.Pixels[y * plot.Width + x]) {
               ++changed;
               EXPECT_TRUE(x >= column(30) && x <= column(110) + 1) << "a fitted pixel outside the range at " << x;
             }
         EXPECT_GT(changed, 40) << "the fitted curve is drawn";
         SetForegroundWindow(dialog);
         Keys({VK_CONTROL, 'F'});
       },
       [&](HWND) {
         ASSERT_NE(FiguresWindow(), nullptr);
         CopyFigures();
         const auto figures = CopiedFigures();
         EXPECT_EQ(figures.at("Count"), "81");
         EXPECT_NEAR(Number(figures, "Peak fit: centre"), 70, 0.05);
         EXPECT_NEAR(Number(figures, "Peak fit: sigma"), 9, 0.05);
         ExpectLeastSquares(TFitShape::Peak, Number(figures, "Peak fit: baseline"), Number(figures, "Peak fit: height"),
                            Number(figures, "Peak fit: centre"), Number(figures, "Peak fit: sigma"), 30, 110);
         EXPECT_EQ(figures.count("Edge fit: centre"), 0u);
       },
       [&](HWND dialog) { drag(dialog, 150, 230); },
       [&](HWND dialog) {
         ParkCursor();
         CopyFigures();
         EXPECT_EQ(CopiedFigures().count("Peak fit: centre"), 0u) << "a new range has no fits";
         OpenMenu(dialog);
       },
       [&](HWND) { Keys({'E'}); },
       [&](HWND) {
         CopyFigures();
         const auto figures = CopiedFigures();
         EXPECT_NEAR(Number(figures, "Edge fit: centre"), 180, 0.05);
         EXPECT_NEAR(Number(figures, "Edge fit: 10\xE2\x80\x93" "90 % width"), 2.5631 * 6, 0.05);
         ExpectLeastSquares(TFitShape::Edge, Number(figures, "Edge fit: baseline"), Number(figures, "Edge fit: step"),
                            Number(figures, "Edge fit: centre"), Number(figures, "Edge fit: 10\xE2\x80\x93" "90 % width") / 2.5631031310892007,
                            150, 230);
         FEdgeCentre = Number(figures, "Edge fit: centre");
       },
       [&](HWND dialog) { OpenMenu(dialog); },
       [&](HWND) { Keys({'X'}); },
       [&](HWND dialog) {
         CopyFigures();
         const auto figures = CopiedFigures();
         EXPECT_NEAR(Number(figures, "Edge fit: centre (\xC2\xB5m)"), FEdgeCentre * 0.5, 1e-9);
         EXPECT_EQ(figures.count("Edge fit: step (\xC2\xB5m)"), 0u) << "a step is a value, not a distance";
         SetForegroundWindow(dialog);
         Keys({VK_CONTROL, 'C'});
       },
       // The copied rows, the readout and the range's figures in the tooltip give distances too.
       [&](HWND dialog) {
         const std::string rows = ClipboardUtf8();
         EXPECT_EQ(rows.substr(0, rows.find("\r\n")), "Sample\tX\tY\tDistance (\xC2\xB5m)\tValue");
         EXPECT_NE(rows.find("\r\n150\t150\t8\t75\t" + std::to_string(Byte(150)) + "\r\n"), std::string::npos) << rows;
         MoveOverPanel(dialog, column(100), plot.Height / 2);
       },
       [&](HWND dialog) {
         const std::string tip = ToolTipText();
         EXPECT_EQ(tip.substr(0, tip.find("\r\n")), "Sample 100 (100, 8) at 50 \xC2\xB5m");
         MoveOverPanel(dialog, column(200), plot.Height / 2);
       },
       [&](HWND) {
         const std::string tip = ToolTipText();
         EXPECT_NE(tip.find("Sample 200 (200, 8) at 100 \xC2\xB5m\r\n"), std::string::npos) << tip;
         EXPECT_NE(tip.find("\r\nSamples 150 to 230\r\nValue: 81 samples; "), std::string::npos) << tip;
         // The figures break at "; " where the screen is narrow.
         const size_t centroid = tip.find("centroid ");
         ASSERT_NE(centroid, std::string::npos) << tip;
         EXPECT_NE(tip.find(" \xC2\xB5m;", tip.find("peak at ")), std::string::npos) << tip;
         EXPECT_EQ(tip.substr(tip.size() - 4), " \xC2\xB5m") << tip;
         ParkCursor();
       }});
  EXPECT_EQ(FiguresWindow(), nullptr) << "closed with the dialog";
}

}  // namespace
