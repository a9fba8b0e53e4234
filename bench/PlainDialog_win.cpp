// The profile dialog's window rebuilt from bare Win32 calls: the same size, style, font,
// icons and controls, made where it opens, a panel with a back buffer that is painted at the
// loop's first idle moment, as the profile dialog paints its first plot, and a modal loop of
// its own.

#include "bench/PlainDialog_win.h"

#include "bench/BenchReport.h"
#include "platform/WinApi.h"

namespace {

constexpr UINT WM_PLOTTED = WM_APP + 2;
// The profile dialog's client area and window styles.
constexpr SIZE ClientSize{603, 382};
constexpr DWORD Style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD ExStyle = WS_EX_CONTROLPARENT;

struct TPlainDialog {
  HWND Window = nullptr;
  HWND Panel = nullptr;
  HDC Buffer = nullptr;
  HBITMAP BufferBitmap = nullptr;
  HGDIOBJ OldBitmap = nullptr;
  bool Plotted = false;
  bool Closed = false;
};

TPlainDialog Plain;

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    if (Plain.Buffer) BitBlt(dc, 0, 0, client.right, client.bottom, Plain.Buffer, 0, 0, SRCCOPY);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)) {
    Plain.Closed = true;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
  static bool registered = false;
  if (registered) return;
  // Both icon sizes, as the profile dialog sets both.
  const auto icon = [](int metric) {
    const int size = GetSystemMetrics(metric);
    return static_cast<HICON>(LoadImageA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION), IMAGE_ICON, size,
                                         size, LR_SHARED));
  };
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpfnWndProc = DialogProc;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.hIcon = icon(SM_CXICON);
  windowClass.hIconSm = icon(SM_CXSMICON);
  windowClass.lpszClassName = "PlainProfileDialog";
  RegisterClassExA(&windowClass);
  windowClass.lpfnWndProc = PanelProc;
  windowClass.hbrBackground = nullptr;
  windowClass.hIcon = nullptr;
  windowClass.hIconSm = nullptr;
  windowClass.lpszClassName = "PlainProfilePanel";
  RegisterClassExA(&windowClass);
}

HWND AddChild(const char* className, const char* text, DWORD style, RECT bounds, HFONT font, int id = 0) {
  const HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
                                     bounds.right, bounds.bottom, Plain.Window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                     nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// The controls at the places the profile dialog's layout gives them.
void AddControls(HFONT font) {
  RECT client;
  GetClientRect(Plain.Window, &client);
  const int planeTop = client.bottom - 89 - 8;
  Plain.Panel = AddChild("PlainProfilePanel", "", 0, {0, 0, client.right, planeTop - 4}, font);
  AddChild("BUTTON", "&Plane", BS_GROUPBOX, {8, planeTop, 185, 89}, font);
  const char* planes[] = {"Grayscale", "Average", "All", "Red", "Green", "Blue"};
  for (int i = 0; i < 6; ++i)
    AddChild("BUTTON", planes[i], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0),
             {16 + (i % 2) * 88, planeTop + 18 + (i / 2) * 22, 80, 17}, font);
  AddChild("STATIC", "Length: 141 pixels", 0, {204, planeTop, 59, 13}, font);
  AddChild("BUTTON", "&Integrate values", BS_AUTOCHECKBOX | WS_TABSTOP, {204, planeTop + 51, 113, 17}, font);
  AddChild("BUTTON", "Change &diagonal", BS_AUTOCHECKBOX | WS_TABSTOP, {204, planeTop + 72, 113, 17}, font);
  AddChild("BUTTON", "Close", BS_PUSHBUTTON | WS_TABSTOP, {client.right - 83, client.bottom - 33, 75, 25}, font,
           IDCANCEL);
}

// The plot's frame and a curve of 100 samples, into the back buffer.
void PaintPlot() {
  RECT client;
  GetClientRect(Plain.Panel, &client);
  const HDC screen = GetDC(Plain.Panel);
  Plain.Buffer = CreateCompatibleDC(screen);
  Plain.BufferBitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(Plain.Panel, screen);
  Plain.OldBitmap = SelectObject(Plain.Buffer, Plain.BufferBitmap);
  FillRect(Plain.Buffer, &client, GetSysColorBrush(COLOR_BTNFACE));
  const RECT frame{8, 8, client.right - 9, client.bottom - 8};
  FrameRect(Plain.Buffer, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  MoveToEx(Plain.Buffer, 8, client.bottom / 2, nullptr);
  for (int i = 0; i < 100; ++i) LineTo(Plain.Buffer, 8 + i * (client.right - 18) / 99, client.bottom / 2 + (i % 7) * 5);
  SetBkMode(Plain.Buffer, TRANSPARENT);
  TextOutA(Plain.Buffer, 10, 9, "255", 3);
  TextOutA(Plain.Buffer, 10, client.bottom - 21, "0", 1);
  InvalidateRect(Plain.Panel, nullptr, FALSE);
}

void FreeBuffer() {
  SelectObject(Plain.Buffer, Plain.OldBitmap);
  DeleteObject(Plain.BufferBitmap);
  DeleteDC(Plain.Buffer);
}

// The modal loop: at its first idle moment the plot is painted and a message posted; when
// the loop takes that message the plot is brought to the screen and the clock stops.
double RunUntilPlotted(double started) {
  double plotted = 0;
  MSG message;
  while (!Plain.Closed) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (!Plain.Plotted) {
        Plain.Plotted = true;
        PaintPlot();
        PostMessageA(Plain.Window, WM_PLOTTED, 0, 0);
      }
      WaitMessage();
      continue;
    }
    if (message.message == WM_PLOTTED) {
      RedrawWindow(Plain.Window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      plotted = Seconds();
      PostMessageA(Plain.Window, WM_CLOSE, 0, 0);
      continue;
    }
    if (IsDialogMessageA(Plain.Window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return plotted - started;
}

}  // namespace

double OpenPlainDialog() {
  const double started = Seconds();
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterClasses(instance);
  Plain = TPlainDialog{};
  const HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  RECT bounds{0, 0, ClientSize.cx, ClientSize.cy};
  AdjustWindowRectEx(&bounds, Style, FALSE, ExStyle);
  const int width = bounds.right - bounds.left;
  Plain.Window = CreateWindowExA(ExStyle, "PlainProfileDialog", "Plain dialog", Style,
                                 GetSystemMetrics(SM_CXSCREEN) - width - 8, 40, width, bounds.bottom - bounds.top,
                                 nullptr, nullptr, instance, nullptr);
  AddControls(font);
  ShowWindow(Plain.Window, SW_SHOW);
  const double time = RunUntilPlotted(started);
  DestroyWindow(Plain.Window);
  FreeBuffer();
  DeleteObject(font);
  return time;
}
