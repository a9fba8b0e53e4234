// The README's pictures of a zoomed view with a range and its figures, and of the peak
// fitted on that range with the figures window open: the plug-in's dialog on a made-up
// image, worked as a user would (two wheel notches over a peak, a drag across it, "Fit peak"
// from the plot's menu, Ctrl+F), and the whole screen written as a PPM file at each. Its
// curves are kept (Ctrl+K); a second call over an image whose peak moved saves its plot,
// the kept curves behind its own, with "Save plot..." as a PNG file.
// Usage: zoomed_range_picture [RANGE.ppm [FITTED.ppm [EXPORTED.png]]]   (tools/screenshots.sh
// runs it under Xvfb; the PNG's name is a Windows one)

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "profile/LineWalk.h"
#include "profile/PlotView.h"
#include "profile/ProfilePlot.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "tests/host/HostImages.h"

namespace {

// A colour gradient with a round peak in green and red, and some texture in red.
THostImageBuffer PeakImage(double peakX, double peakY) {
  auto image = THostImageBuffer::Make24Bit(400, 300);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      const double peak = std::exp(-((x - peakX) * (x - peakX) + (y - peakY) * (y - peakY)) / 900);
      uint8_t* pixel = image.Pixels() + 3 * (y * 400 + x);
      pixel[0] = static_cast<uint8_t>(200 - y / 2);
      pixel[1] = static_cast<uint8_t>(60 + x / 4 + 120 * peak);
      pixel[2] = static_cast<uint8_t>(40 + 190 * peak + (x * 7 % 13));
    }
  return image;
}

void WriteScreen(const char* path) {
  const TWindowPixels screen = ReadClientPixels(GetDesktopWindow());
  std::ofstream file(path, std::ios::binary);
  file << "P6\n" << screen.Width << " " << screen.Height << "\n255\n";
  for (uint32_t pixel : screen.Pixels) file.put(char(pixel >> 16)).put(char(pixel >> 8)).put(char(pixel));
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "zoomed-range.ppm";
  const char* fittedPath = argc > 2 ? argv[2] : "fitted-peak.ppm";
  char exported[MAX_PATH];
  GetFullPathNameA(argc > 3 ? argv[3] : "exported-plot.png", MAX_PATH, exported, nullptr);
  const std::vector<std::string> names = {exported};
  size_t named = 0;
  TPluginLibrary plugin;
  THostMainWindow mainWindow;
  THostDouble host;
  host.MainWindow = mainWindow.Handle();
  if (!plugin.ProcessImage || plugin.RegisterPlugin(THostDouble::Callback) != 1) {
    std::fprintf(stderr, "Ostravine.dll did not load\n");
    return 1;
  }
  THostImageBuffer image = PeakImage(230, 172);
  host.OpenImages = {{image.Record().Pixels, {0, 0, 399, 299}}};
  ParkCursor();
  // The plot's columns of samples as the dialog places them at the screen's resolution,
  // read from the panel before the first step acts.
  const TRect selection{0, 0, 399, 299};
  const size_t total = SampleLinePoints(selection, false).size();
  TPlotView view = WholeView(total);
  TWindowPixels plot;
  const HDC screen = GetDC(nullptr);
  const int margin = MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 96);
  ReleaseDC(nullptr, screen);
  const auto columnOf = [&](size_t sample) {
    return TPlotGeometry(plot.Width, plot.Height, margin, view.Count, 255).X(sample - view.First);
  };
  const auto ready = [&host] {
    for (int32_t request : host.Requests)
      if (request == hrImageChanged) return true;
    return false;
  };
  {
    TDialogWatcher watcher(
        "Ostravine",
        {[&](HWND dialog) {
           plot = ReadClientPixels(Panel(dialog));
           MoveOverPanel(dialog, columnOf(287), plot.Height / 2);
           mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(2 * WHEEL_DELTA), 0);
           view = ZoomView(view, total, 287, 2.25, MinViewCount(plot.Width - 2 * margin - 2));
         },
         [&](HWND dialog) {
           MoveOverPanel(dialog, columnOf(240), plot.Height / 2);
           mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
         },
         [&](HWND dialog) { MoveOverPanel(dialog, columnOf(335), plot.Height * 2 / 3); },
         [&](HWND) { mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0); },
         [&](HWND dialog) {
           WriteScreen(path);
           ParkCursor();
           RECT panel;
           GetWindowRect(Panel(dialog), &panel);
           SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog),
                        MAKELPARAM(panel.left + 40, panel.top + 40));
         },
         [&](HWND) { Keys({'K'}); },
         [&](HWND dialog) {
           SetForegroundWindow(dialog);
           Keys({VK_CONTROL, 'F'});
         },
         [&](HWND) {},
         [&](HWND) { WriteScreen(fittedPath); },
         [&](HWND dialog) {
           SetForegroundWindow(dialog);
           Keys({VK_CONTROL, 'K'});
         },
         [&](HWND) {}},
        TDialogAnswer::Close);
    watcher.Ready = ready;
    plugin.ProcessImage(1, &image.Record());
  }

  bool written = false;
  THostImageBuffer moved = PeakImage(170, 130);
  host.OpenImages = {{moved.Record().Pixels, {0, 0, 399, 299}}};
  host.Requests.clear();
  TDialogWatcher saver("Ostravine",
                       {[&](HWND dialog) {
                          SetForegroundWindow(dialog);
                          Keys({VK_APPS});
                        },
                        [&](HWND) { Keys({'V'}); }, [&](HWND) { written = named == 1; }},
                       TDialogAnswer::Close);
  // The picture's size as offered.
  saver.OtherWindow = [&](HWND window) { return AnswerPlotSave(window, names, named); };
  saver.Ready = ready;
  plugin.ProcessImage(1, &moved.Record());
  std::printf("%s\n", written ? exported : "no picture");
  return written ? 0 : 1;
}
