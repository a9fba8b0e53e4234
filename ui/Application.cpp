#include "ui/Application.h"

#include "resources/Texts.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "platform/Handles.h"
#include "ui/MessageDialog.h"

// The application and the screen outlive every form and control: they are built before the
// other objects of the module and destroyed after them.
TApplication Application __attribute__((init_priority(200)));
TScreen Screen __attribute__((init_priority(200)));

namespace {

// A key pressed in one of the system's forms goes to the form's short cuts first.
bool IsShortCut(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  auto* form = root && IsFormWindow(root) ? dynamic_cast<TForm*>(TWinControl::FromHandle(root)) : nullptr;
  return form && form->IsShortCut(static_cast<WORD>(msg.wParam));
}

// Keyboard navigation, Enter and Esc for the form that holds the window with the focus.
bool IsDialogKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  return root && IsFormWindow(root) && IsDialogMessageA(root, &msg);
}

void ShowException(std::exception_ptr error) {
  ShowMessageBox(ExceptionText(error), mkError, ButtonBit(bnOK), 0);
}

}  // namespace

std::string ExceptionText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return S_UNKNOWN_ERROR;
  }
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    FQuitCode = static_cast<int>(msg.wParam);
  } else if (!IsShortCut(msg) && !IsDialogKey(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void TApplication::HandleMessage() {
  if (!ProcessMessage() && Idle()) WaitMessage();
}

bool TApplication::Idle() {
  bool done = true;
  // A copy: a handler may replace or clear the event while it runs.
  const TIdleEvent handler = OnIdle;
  GuardEvent(this, [&] {
    if (handler) handler(this, done);
  });
  return done;
}

void TApplication::HandleException(TComponent* sender) noexcept {
  const std::exception_ptr error = std::current_exception();
  try {
    if (OnException)
      OnException(sender, error);
    else
      ShowException(error);
  } catch (...) {
    // The handler itself failed: nothing is left that could tell the user.
  }
}

void TApplication::ShowHelp(int32_t context, const std::string& file) {
  if (OnHelp) OnHelp(context, file);
}

std::string TApplication::Title() const {
  if (!FTitle.empty() || !FHandle) return FTitle;
  char text[256] = "";
  GetWindowTextA(FHandle, text, sizeof text);
  return text;
}

void TApplication::Terminate() noexcept { PostQuitMessage(0); }

void TApplication::Minimize() noexcept {
  if (FHandle) ShowWindow(FHandle, SW_MINIMIZE);
}

int TScreen::PixelsPerInch() const noexcept {
  TWindowDc dc(nullptr);
  return GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

MONITORINFO TScreen::Monitor(HMONITOR monitor) const noexcept {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) info.rcMonitor = info.rcWork = {0, 0, Width(), Height()};
  return info;
}

namespace {

// The calls of later Windows that tell a monitor's resolution, reached by name: Windows XP
// has none of them. Windows 10 1607 answers for the thread and the window; Windows 8.1 for
// the process and the monitor.
struct TMonitorResolution {
  using TThreadContext = HANDLE(WINAPI*)();
  using TAwarenessOf = int(WINAPI*)(HANDLE context);
  using TWindowDpi = UINT(WINAPI*)(HWND window);
  using TProcessAwareness = HRESULT(WINAPI*)(HANDLE process, int* awareness);
  using TMonitorDpi = HRESULT(WINAPI*)(HMONITOR monitor, int kind, UINT* x, UINT* y);
  static constexpr int PerMonitorAware = 2;

  TThreadContext ThreadContext = Bind<TThreadContext>(User32(), "GetThreadDpiAwarenessContext");
  TAwarenessOf AwarenessOf = Bind<TAwarenessOf>(User32(), "GetAwarenessFromDpiAwarenessContext");
  TWindowDpi WindowDpi = Bind<TWindowDpi>(User32(), "GetDpiForWindow");
  HMODULE Shcore = LoadSystemLibrary("shcore.dll");
  TProcessAwareness ProcessAwareness = Bind<TProcessAwareness>(Shcore, "GetProcessDpiAwareness");
  TMonitorDpi MonitorDpi = Bind<TMonitorDpi>(Shcore, "GetDpiForMonitor");

  static HMODULE User32() noexcept { return GetModuleHandleA("user32.dll"); }
  template <class TFunction>
  static TFunction Bind(HMODULE library, const char* name) noexcept {
    return library ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
  }

  // 0 where the thread is not aware of each monitor's resolution or the system cannot tell.
  UINT Of(HWND window) const noexcept {
    if (ThreadContext && AwarenessOf && WindowDpi)
      return AwarenessOf(ThreadContext()) == PerMonitorAware ? WindowDpi(window) : 0;
    int awareness = 0;
    UINT x = 0, y = 0;
    if (!ProcessAwareness || !MonitorDpi || ProcessAwareness(nullptr, &awareness) != S_OK ||
        awareness != PerMonitorAware)
      return 0;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    return MonitorDpi(monitor, 0, &x, &y) == S_OK ? y : 0;
  }
};

}  // namespace

int TScreen::FormPixelsPerInch() const noexcept {
  static const TMonitorResolution monitor;
  const UINT resolution = Application.Handle() ? monitor.Of(Application.Handle()) : 0;
  return resolution ? static_cast<int>(resolution) : PixelsPerInch();
}

void TScreen::SetCursor(LPCSTR cursor) noexcept {
  FCursor = cursor;
  ::SetCursor(CursorHandle());
}

HCURSOR TScreen::CursorHandle() const noexcept { return LoadCursorA(nullptr, FCursor ? FCursor : IDC_ARROW); }
