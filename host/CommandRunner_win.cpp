#include "host/CommandRunner.h"

#include <exception>

#include "host/Screenshot.h"

namespace {

// After a command without a window, time for the host's own view to repaint.
constexpr DWORD SettleDelay = 300;
// A window that ignored WM_CLOSE (a confirmation in between) is asked again this often.
constexpr DWORD CloseRetry = 1000;
constexpr UINT TickInterval = 100;

struct TModalSearch {
  HWND MainWindow;
  HWND Found;
};

BOOL CALLBACK VisitThreadWindow(HWND window, LPARAM search) noexcept {
  auto& state = *reinterpret_cast<TModalSearch*>(search);
  if (window == state.MainWindow || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  state.Found = window;
  return FALSE;
}

}  // namespace

void RunPluginCommand(const TPluginCommand& command, TDocument& document) {
  const THostImage record = document.Bitmap.Record();
  command.ProcessImage(1, &record);
}

HWND FindModalWindow(HWND mainWindow) {
  const HWND active = GetActiveWindow();
  if (active && active != mainWindow && IsWindowVisible(active) && IsWindowEnabled(active)) return active;
  TModalSearch search{mainWindow, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), VisitThreadWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

TShotRun* TShotRun::Current = nullptr;

TShotRun::TShotRun(HWND mainWindow, std::string screenshotPath, DWORD delay, TFinished onFinished)
    : FMainWindow(mainWindow), FPath(std::move(screenshotPath)), FDelay(delay), FOnFinished(std::move(onFinished)) {}

TShotRun::~TShotRun() {
  if (FTimer) KillTimer(nullptr, FTimer);
  if (Current == this) Current = nullptr;
}

// A thread timer: its messages carry no window, so any message loop dispatches them, the
// plug-in's modal loop included.
void TShotRun::Run(const std::function<void()>& body) {
  Current = this;
  FStarted = GetTickCount();
  FTimer = SetTimer(nullptr, 0, TickInterval, Tick);
  FRunning = true;
  body();
  FRunning = false;
  FReturned = GetTickCount();
}

void CALLBACK TShotRun::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
  try {
    if (Current) Current->OnTick();
  } catch (...) {
    // OnTick keeps its own errors; nothing may unwind through the dispatch.
  }
}

void TShotRun::OnTick() {
  const DWORD now = GetTickCount();
  if (FRunning) {
    if (!FShot && now - FStarted >= FDelay) Shoot();
    if (FShot && now - FLastClose >= CloseRetry) CloseModalWindow();
    return;
  }
  if (!FShot && now - FReturned >= SettleDelay) Shoot();
  if (FShot) Finish();
}

void TShotRun::Shoot() {
  FShot = true;
  try {
    SaveScreenshot(FPath);
  } catch (const std::exception& error) {
    FError = error.what();
  }
}

void TShotRun::CloseModalWindow() {
  FLastClose = GetTickCount();
  if (const HWND modal = FindModalWindow(FMainWindow)) PostMessageA(modal, WM_CLOSE, 0, 0);
}

void TShotRun::Finish() {
  KillTimer(nullptr, FTimer);
  FTimer = 0;
  Current = nullptr;
  if (FOnFinished) FOnFinished(FError);
}
