// Opening the profile dialog on a 10,000 x 10,000 24-bit image, from the host's call of
// ProcessImage to the first painted profile, in line mode and in integrate mode, against one
// memcpy of the image's bytes in the same run (the dialog's pixel save is such a copy).
//
// The program plays the host: it loads Ostravine.dll by name and answers its requests. The
// dialog signals the host right before it paints its first profile; the program then posts
// itself a message, which its loop takes once the paint into the back buffer is done, has
// the screen updated, stops the clock and closes the dialog.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "plugin/HostInterface.h"
#include "ui/Handles.h"
#include "ui/WinApi.h"

namespace {

constexpr int DefaultSide = 10'000;
constexpr int Repetitions = 5;
constexpr UINT WM_PAINTED = WM_APP + 1;

using TRegisterPlugin = int32_t(__stdcall*)(THostCallback);
using TProcessImage = int32_t(__stdcall*)(int32_t, const THostImage*);

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct TBenchHost {
  THostImage Image{};
  HWND Listener = nullptr;
  double Started = 0;
  double Painted = 0;
  bool SwitchToIntegrate = false;
};

TBenchHost Host;

int32_t __stdcall Callback(int32_t request, void* data) {
  if (request == hrImageInfo) {
    auto& info = *static_cast<THostImageInfo*>(data);
    if (info.Index != 0) return 0;
    info.Pixels = Host.Image.Pixels;
    info.Selection = {0, 0, Host.Image.Width - 1, Host.Image.Height - 1};
    return 1;
  }
  if (request == hrImageChanged && Host.Painted == 0) PostMessageA(Host.Listener, WM_PAINTED, 0, 0);
  return 1;
}

// The first profile is in the back buffer; it reaches the screen with the update.
void FirstPaintDone() {
  const HWND dialog = FindWindowA(nullptr, "Ostravine");
  RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Host.Painted = Now();
  if (Host.SwitchToIntegrate) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char text[64] = "";
      GetWindowTextA(child, text, sizeof text);
      if (std::strcmp(text, "&Integrate values") == 0) SendMessageA(child, BM_CLICK, 0, 0);
    }
  }
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINTED) {
    FirstPaintDone();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateListener() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ListenerProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "OpenDialogBenchListener";
  RegisterClassA(&windowClass);
  return CreateWindowA("OpenDialogBenchListener", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                       windowClass.hInstance, nullptr);
}

double OpenDialog(TProcessImage processImage) {
  Host.Painted = 0;
  Host.Started = Now();
  processImage(1, &Host.Image);
  return Host.Painted - Host.Started;
}

double CopyImage(const uint8_t* source, uint8_t* target, size_t size) {
  const double started = Now();
  std::memcpy(target, source, size);
  return Now() - started;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct TResult {
  double Dialog;
  double Copy;
};

TResult Measure(TProcessImage processImage, const uint8_t* pixels, uint8_t* copy, size_t size) {
  std::vector<double> dialog, memcopy;
  for (int i = 0; i < Repetitions; ++i) {
    memcopy.push_back(CopyImage(pixels, copy, size));
    dialog.push_back(OpenDialog(processImage));
  }
  return {Median(dialog), Median(memcopy)};
}

void Report(const char* mode, TResult result) {
  std::printf("%-15s dialog %8.1f ms   memcpy %7.1f ms   ratio %5.2f\n", mode, 1000 * result.Dialog,
              1000 * result.Copy, result.Dialog / result.Copy);
}

}  // namespace

// An optional argument sets the image's side, to see the fixed cost of the window on a
// small image.
int main(int argc, char** argv) {
  const int side = argc > 1 ? std::max(2, std::atoi(argv[1])) : DefaultSide;
  const size_t size = size_t{3} * side * side;
  std::unique_ptr<uint8_t[]> pixels(new uint8_t[size]);
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size]);
  for (size_t i = 0; i < size; ++i) pixels[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
  std::memset(copy.get(), 0, size);
  Host.Image = {side, side, 3 * side, hf24Bit, pixels.get(), nullptr};
  Host.Listener = CreateListener();

  const TLibraryHandle library(LoadLibraryA("Ostravine.dll"));
  if (!library) {
    std::fprintf(stderr, "Ostravine.dll not found\n");
    return 1;
  }
  const auto registerPlugin = reinterpret_cast<TRegisterPlugin>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), "RegisterPlugin")));
  const auto processImage = reinterpret_cast<TProcessImage>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), "ProcessImage")));
  registerPlugin(Callback);

  std::printf("Opening the dialog on a %d x %d 24-bit image, median of %d\n", side, side, Repetitions);
  OpenDialog(processImage);
  Report("line mode", Measure(processImage, pixels.get(), copy.get(), size));
  Host.SwitchToIntegrate = true;
  OpenDialog(processImage);
  Host.SwitchToIntegrate = false;
  Report("integrate mode", Measure(processImage, pixels.get(), copy.get(), size));
  return 0;
}
