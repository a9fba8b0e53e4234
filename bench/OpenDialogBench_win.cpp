// Opening the profile dialog through Ostravine.dll, from the host's call of ProcessImage to
// the first profile on the screen, on a 10,000 x 10,000 and a 100 x 100 24-bit image with
// the whole image selected, in line and in integrate mode; a click on the direction box of
// the large image's dialog, from the click to the new profile on the screen; all against
// one memcpy of the large image into a block already touched. The window alone: the dialog
// on the small image against the same window made from bare Win32 calls.
//
// The program plays the host: it loads the DLL by name and answers its requests. The
// dialog signals the host right before it paints a new profile; the program then posts
// itself a message, which its loop takes once the paint into the back buffer is done, has
// the screen updated and stops the clock.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/Bench32.h"
#include "bench/BenchReport.h"
#include "bench/PlainDialog_win.h"
#include "bench/PlotSaveBench_win.h"
#include "hostabi/HostInterface.h"
#include "image/PluginLinearBitmap.h"
#include "platform/Handles.h"
#include "platform/WinApi.h"
#include "profile/CurveFit.h"
#include "profile/ProfileSession.h"

namespace {

constexpr int LargeSide = 10'000;
constexpr int SmallSide = 100;
constexpr UINT WM_SHOWN = WM_APP + 1;
// The line window is looked for on this timer of the listener: timers come after the keys.
constexpr UINT_PTR LineWindowTimer = 1;

using TRegisterPlugin = int32_t(__stdcall*)(THostCallback);
using TProcessImage = int32_t(__stdcall*)(int32_t, const THostImage*);

enum class TStage { Opening, Toggling, Closing };

struct TBenchHost {
  THostImage Image{};
  HWND Listener = nullptr;
  TStage Stage = TStage::Closing;
  // The check box clicked once the first profile is shown; Toggles clicks of it are timed,
  // none means one click that only switches the mode for the next dialog.
  std::string Click;
  int Toggles = 0;
  double Shown = 0;
  double Clicked = 0;
  std::vector<double> ToggleTimes;
  // Set: once the profile is shown, a wheel notch in, a pan step and a notch back out to the
  // whole profile are timed, each until the plot is on the screen.
  bool Views = false;
  std::vector<double> ZoomIn, PanStep, Full, RangeStep, ExportSizedFull;
  // Set: once the profile is shown, Ctrl+L opens the line window and steps of a drag of
  // the line's end are timed, each until the dialog and the window are on the screen.
  bool LineDrag = false;
  std::vector<double> DragSteps;
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
  if (request == hrImageChanged && Host.Stage != TStage::Closing) PostMessageA(Host.Listener, WM_SHOWN, 0, 0);
  return 1;
}

void ClickBox(HWND dialog, const std::string& caption) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char text[64] = "";
    GetWindowTextA(child, text, sizeof text);
    if (caption == text) {
      Host.Clicked = Seconds();
      SendMessageA(child, BM_CLICK, 0, 0);
      return;
    }
  }
  std::fprintf(stderr, "no check box \"%s\"\n", caption.c_str());
}

void CloseDialog(HWND dialog) {
  Host.Stage = TStage::Closing;
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// One wheel message over the plot's middle, timed until the plot is on the screen.
double Wheel(HWND dialog, int notches, WORD keys) {
  const HWND panel = ChildWindowFromPoint(dialog, POINT{1, 1});
  RECT plot;
  GetWindowRect(panel, &plot);
  const LPARAM point = MAKELPARAM((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2);
  const double started = Seconds();
  SendMessageA(dialog, WM_MOUSEWHEEL, MAKEWPARAM(keys, notches * WHEEL_DELTA), point);
  RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return Seconds() - started;
}

// The pointer moved over the plot with the left button down, timed until the plot is on
// the screen.
double MoveHeld(HWND dialog, HWND panel, int x, int y) {
  const double started = Seconds();
  SendMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
  RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return Seconds() - started;
}

// Dispatches the dialog's timers until the time given, and returns how long they took.
double DispatchTimersUntil(HWND dialog, double until) {
  double busy = 0;
  MSG message;
  while (Seconds() < until) {
    if (!PeekMessageA(&message, dialog, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      Sleep(1);
      continue;
    }
    const double started = Seconds();
    DispatchMessageA(&message);
    busy += Seconds() - started;
  }
  return busy;
}

// A range dragged across the plot's middle third a column a step, as a mouse reports it
// (125 times a second): the time the dialog is busy a step, with the range's figures that
// follow at their own pace. The first step, which shows the tooltip, is not timed.
double RangeStep(HWND dialog) {
  constexpr int Steps = 24;
  constexpr double ReportSeconds = 0.008;
  const HWND panel = ChildWindowFromPoint(dialog, POINT{1, 1});
  RECT plot;
  GetClientRect(panel, &plot);
  const int x = plot.right / 3, y = plot.bottom / 2;
  SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  MoveHeld(dialog, panel, x + 10, y);
  DispatchTimersUntil(dialog, Seconds() + 0.05);
  double busy = 0;
  const double started = Seconds();
  for (int step = 1; step <= Steps; ++step) {
    busy += MoveHeld(dialog, panel, x + 10 + step, y);
    busy += DispatchTimersUntil(dialog, started + step * ReportSeconds);
  }
  SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(x + 10 + Steps, y));
  return busy / Steps;
}

// The dialog at the top left of the screen, sized so that its plot panel has the client
// size given; false when the screen is too small for that.
bool SizePanel(HWND dialog, SIZE size) {
  const HWND panel = ChildWindowFromPoint(dialog, POINT{1, 1});
  RECT window, client;
  GetWindowRect(dialog, &window);
  GetClientRect(panel, &client);
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + size.cx - client.right,
               window.bottom - window.top + size.cy - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GetClientRect(ChildWindowFromPoint(dialog, POINT{1, 1}), &client);
  return client.right == size.cx && client.bottom == size.cy;
}

void MeasureViews(HWND dialog) {
  Host.ZoomIn.push_back(Wheel(dialog, 1, 0));
  Host.PanStep.push_back(Wheel(dialog, -1, MK_SHIFT));
  Host.Full.push_back(Wheel(dialog, -1, 0));
  Host.RangeStep.push_back(RangeStep(dialog));
  if (!SizePanel(dialog, {ExportWidth, ExportHeight})) return;
  Wheel(dialog, 1, 0);
  Host.ExportSizedFull.push_back(Wheel(dialog, -1, 0));
}

void PressKeys(std::initializer_list<BYTE> keys) {
  for (BYTE key : keys) keybd_event(key, 0, 0, 0);
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
}

// The end of the whole image's diagonal at its bottom right corner, dragged left a column
// of the overview a step: the line keeps about 10,000 pixels.
void MeasureLineDrag(HWND dialog, HWND lineWindow) {
  const HWND overview = GetWindow(lineWindow, GW_CHILD);
  RECT client;
  GetClientRect(overview, &client);
  const TOverviewView fit = FitView({LargeSide, LargeSide}, {client.right - 2, client.bottom - 2});
  const int x = 1 + static_cast<int>(ViewX(fit, LargeSide - 0.5)), y = 1 + static_cast<int>(ViewY(fit, LargeSide - 0.5));
  SendMessageA(overview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  for (int step = 1; step <= 4; ++step) {
    const double started = Seconds();
    SendMessageA(overview, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - step, y));
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RedrawWindow(lineWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (step > 1) Host.DragSteps.push_back(Seconds() - started);
  }
  SendMessageA(overview, WM_LBUTTONUP, 0, MAKELPARAM(x - 4, y));
}

void LineWindowTimerElapsed() {
  const HWND lineWindow = FindWindowA(nullptr, "Line");
  if (!lineWindow) return;
  KillTimer(Host.Listener, LineWindowTimer);
  const HWND dialog = FindWindowA(nullptr, "Ostravine");
  MeasureLineDrag(dialog, lineWindow);
  CloseDialog(dialog);
}

// A profile is in the back buffer; it reaches the screen with the update.
void ProfileShown() {
  const HWND dialog = FindWindowA(nullptr, "Ostravine");
  RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double now = Seconds();
  if (Host.Views && Host.Stage == TStage::Opening) {
    MeasureViews(dialog);
    CloseDialog(dialog);
    return;
  }
  if (Host.LineDrag && Host.Stage == TStage::Opening) {
    Host.Stage = TStage::Toggling;
    SetForegroundWindow(dialog);
    PressKeys({VK_CONTROL, 'L'});
    SetTimer(Host.Listener, LineWindowTimer, 20, nullptr);
    return;
  }
  if (Host.Stage == TStage::Toggling) Host.ToggleTimes.push_back(now - Host.Clicked);
  if (Host.Stage == TStage::Opening) Host.Shown = now;
  if (Host.Click.empty() || static_cast<int>(Host.ToggleTimes.size()) >= Host.Toggles) {
    const bool switchMode = !Host.Click.empty() && Host.Toggles == 0;
    if (switchMode) ClickBox(dialog, Host.Click);
    CloseDialog(dialog);
    return;
  }
  Host.Stage = TStage::Toggling;
  ClickBox(dialog, Host.Click);
}

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWN) {
    ProfileShown();
    return 0;
  }
  if (message == WM_TIMER && wParam == LineWindowTimer) {
    LineWindowTimerElapsed();
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

struct TImage {
  std::unique_ptr<uint8_t[]> Pixels;
  THostImage Record;
};

TImage MakeImage(int side) {
  const size_t size = size_t{3} * side * side;
  TImage image{std::unique_ptr<uint8_t[]>(new uint8_t[size]), {}};
  for (size_t i = 0; i < size; ++i) image.Pixels[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
  image.Record = {side, side, 3 * side, hf24Bit, image.Pixels.get(), nullptr};
  return image;
}

class TDialogBench {
 public:
  TDialogBench(TProcessImage processImage, int repetitions)
      : FProcessImage(processImage), FRepetitions(repetitions), FLarge(MakeImage(LargeSide)),
        FSmall(MakeImage(SmallSide)), FCopy(new uint8_t[ImageBytes()]) {
    std::memset(FCopy.get(), 0, ImageBytes());
  }

  // Seconds from ProcessImage to the first profile on the screen.
  double Open(const TImage& image, const std::string& click = {}, int toggles = 0) {
    Host.Image = image.Record;
    Host.Click = click;
    Host.Toggles = toggles;
    Host.ToggleTimes.clear();
    Host.Stage = TStage::Opening;
    const double started = Seconds();
    FProcessImage(1, &Host.Image);
    return Host.Shown - started;
  }

  // Returns the median opening on the large image.
  double MeasureMode(const char* mode, const char* directionBox) {
    std::vector<double> copies, large, small, plain, toward, back;
    for (int i = 0; i < FRepetitions; ++i) {
      copies.push_back(Copy());
      large.push_back(Open(FLarge));
      small.push_back(Open(FSmall));
      plain.push_back(OpenPlainDialog());
      Open(FLarge, directionBox, 2);
      toward.push_back(Host.ToggleTimes.at(0));
      back.push_back(Host.ToggleTimes.at(1));
    }
    const double copy = Median(copies);
    std::printf("# opening the dialog in %s mode, 24-bit, the whole image selected\n", mode);
    ReportTime("memcpy of the 10000 x 10000 image", copy);
    ReportTime("open on 10000 x 10000", Median(large));
    ReportTime("open on 100 x 100", Median(small));
    ReportTime("plain Win32 dialog", Median(plain));
    ReportTime("direction toggle on 10000 x 10000, there", Median(toward));
    ReportTime("direction toggle on 10000 x 10000, back", Median(back));
    const std::string prefix = mode;
    ReportRatio(("open_" + prefix + "_large_minus_small_vs_memcpy").c_str(), (Median(large) - Median(small)) / copy);
    ReportRatio(("toggle_" + prefix + "_there_vs_memcpy").c_str(), Median(toward) / copy);
    ReportRatio(("toggle_" + prefix + "_back_vs_memcpy").c_str(), Median(back) / copy);
    ReportRatio(("window_" + prefix + "_vs_plain_dialog").c_str(), Median(small) / Median(plain));
    if (prefix == "line") FLineToggle = (Median(toward) + Median(back)) / 2;
    return Median(large);
  }

  // The readout's highlight in the large image moved from one sample of the line profile
  // to the next, Steps moves a repetition, by the dialog's session over the same pixels,
  // against the opening of the dialog on them. The first highlight of a profile walks the
  // line's points once; it is timed apart.
  void MeasureHighlight(double opening) {
    constexpr size_t Steps = 1000;
    TPluginLinearBitmap bitmap(FLarge.Record);
    TProfileSession session;
    session.Selection = {0, 0, LargeSide - 1, LargeSide - 1};
    session.Raster.Bitmap = &bitmap;
    std::vector<double> firsts, moves;
    for (int i = 0; i < FRepetitions; ++i) {
      session.Rebuild({});
      double started = Seconds();
      session.Highlight(0);
      firsts.push_back(Seconds() - started);
      started = Seconds();
      for (size_t sample = 1; sample <= Steps; ++sample) session.Highlight(sample);
      moves.push_back((Seconds() - started) / Steps);
    }
    session.RestorePixels();
    std::printf("# the readout's highlight in the line profile of 10000 x 10000, 24-bit\n");
    ReportTime("first highlight", Median(firsts));
    ReportTime("highlight moved a sample", Median(moves));
    ReportRatio("highlight_move_vs_open_line_large", Median(moves) / opening);
  }

  // The plot of the 10000 x 10000 image's whole diagonal (14,142 samples, three curves):
  // a wheel notch in, a pan step and a step of a range drag against the full repaint a notch
  // out brings back.
  void MeasureViews() {
    Host.ZoomIn.clear();
    Host.PanStep.clear();
    Host.Full.clear();
    Host.RangeStep.clear();
    Host.ExportSizedFull.clear();
    Host.Views = true;
    for (int i = 0; i < FRepetitions; ++i) Open(FLarge);
    Host.Views = false;
    std::printf("# zoom and pan of the line profile of 10000 x 10000, 24-bit\n");
    ReportTime("wheel notch in", Median(Host.ZoomIn));
    ReportTime("pan step", Median(Host.PanStep));
    ReportTime("full repaint (notch out to the whole profile)", Median(Host.Full));
    ReportRatio("zoom_notch_vs_full_repaint", Median(Host.ZoomIn) / Median(Host.Full));
    ReportRatio("pan_step_vs_full_repaint", Median(Host.PanStep) / Median(Host.Full));
    ReportTime("range drag step", Median(Host.RangeStep));
    ReportRatio("range_step_vs_full_repaint", Median(Host.RangeStep) / Median(Host.Full));
    const double fit = MeasureFit();
    ReportTime("peak fit of 10,000 samples", fit);
    ReportRatio("fit_peak_10000_vs_full_repaint", fit / Median(Host.Full));
    MeasurePlotSave(FRepetitions, Median(Host.Full), Host.ExportSizedFull.empty() ? 0 : Median(Host.ExportSizedFull));
  }

  // "Fit peak" on a range of 10,000 samples: a peak of sigma 400 over a floor, with noise of
  // 5 % of its height; the median of the repetitions.
  double MeasureFit() {
    std::vector<double> values;
    uint32_t state = 12345;
    for (int i = 0; i < 10000; ++i) {
      state = state * 1664525u + 1013904223u;
      const double noise = (static_cast<double>(state >> 8) / (1 << 24) - 0.5) * 17;
      values.push_back(30 + 100 * std::exp(-(i - 4800.0) * (i - 4800.0) / (2 * 400.0 * 400.0)) + noise);
    }
    std::vector<double> times;
    for (int i = 0; i < FRepetitions; ++i) {
      const double started = Seconds();
      const TCurveFit fit = FitCurve(TFitShape::Peak, values, 0);
      times.push_back(Seconds() - started);
      if (!fit.Fitted()) std::fprintf(stderr, "the benchmark's peak was not fitted\n");
    }
    return Median(times);
  }

  // A drag step of the line window against a direction toggle of the same line, and the
  // overview of the whole image (the line window's first picture) against one memcpy of it.
  void MeasureLine(double toggle) {
    Host.DragSteps.clear();
    Host.LineDrag = true;
    for (int i = 0; i < FRepetitions; ++i) Open(FLarge);
    Host.LineDrag = false;
    std::vector<double> overviews, copies;
    TPluginLinearBitmap bitmap(FLarge.Record);
    TProfileSession session;
    session.Raster.Bitmap = &bitmap;
    const TViewSize size{358, 298};
    std::vector<TViewPixel> pixels(size_t{1} * size.Width * size.Height);
    for (int i = 0; i < FRepetitions; ++i) {
      copies.push_back(Copy());
      const double started = Seconds();
      session.PaintOverview(FitView({LargeSide, LargeSide}, size), size, {}, 0, {pixels.data(), size.Width});
      overviews.push_back(Seconds() - started);
    }
    std::printf("# the line window on the line profile of 10000 x 10000, 24-bit\n");
    ReportTime("line drag step", Median(Host.DragSteps));
    ReportTime("overview of the whole image, 358 x 298", Median(overviews));
    ReportRatio("line_drag_step_vs_direction_toggle", Median(Host.DragSteps) / toggle);
    ReportRatio("overview_vs_memcpy", Median(overviews) / Median(copies));
  }

  double LineToggle() const { return FLineToggle; }
  const TImage& Small() const { return FSmall; }

 private:
  static size_t ImageBytes() { return size_t{3} * LargeSide * LargeSide; }
  double Copy() {
    const double started = Seconds();
    std::memcpy(FCopy.get(), FLarge.Pixels.get(), ImageBytes());
    return Seconds() - started;
  }

  TProcessImage FProcessImage;
  int FRepetitions;
  TImage FLarge;
  TImage FSmall;
  std::unique_ptr<uint8_t[]> FCopy;
  double FLineToggle = 0;
};

}  // namespace

void RunDialogBench(int repetitions) {
  const TLibraryHandle library(LoadLibraryA("Ostravine.dll"));
  if (!library) {
    std::fprintf(stderr, "Ostravine.dll not found\n");
    return;
  }
  const auto registerPlugin = reinterpret_cast<TRegisterPlugin>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), "RegisterPlugin")));
  const auto processImage = reinterpret_cast<TProcessImage>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), "ProcessImage")));
  registerPlugin(Callback);
  Host.Listener = CreateListener();

  TDialogBench bench(processImage, repetitions);
  // The first dialog and window of the process pay for loading and registering classes.
  bench.Open(bench.Small());
  OpenPlainDialog();
  bench.MeasureHighlight(bench.MeasureMode("line", "Change &diagonal"));
  bench.MeasureViews();
  bench.MeasureLine(bench.LineToggle());
  bench.Open(bench.Small(), "&Integrate values");
  bench.MeasureMode("integrate", "Change &direction");
  // Leaves the library's settings as a first dialog finds them.
  bench.Open(bench.Small(), "&Integrate values");
}
