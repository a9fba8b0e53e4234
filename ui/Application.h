#pragma once
// The application object of the plug-in's window layer. Inside a host it stands for the
// host: its handle is the host's main window, the owner of every top-level window. Its
// message loop raises the idle event when the queue is empty and hands every exception
// caught in message dispatch, idle processing or a form's events to the exception event.

#include <exception>
#include <functional>
#include <string>

#include "ui/Component.h"
#include "platform/WinApi.h"

class TForm;

using TNotifyEvent = std::function<void(TComponent* sender)>;
using TIdleEvent = std::function<void(TComponent* sender, bool& done)>;
using TExceptionEvent = std::function<void(TComponent* sender, std::exception_ptr error)>;
using THelpEvent = std::function<void(int32_t context, const std::string& file)>;

class TApplication : public TComponent {
 public:
  TApplication() noexcept : TComponent(nullptr) {}

  HWND Handle() const noexcept { return FHandle; }
  void SetHandle(HWND handle) noexcept { FHandle = handle; }

  // The title set, or else the text of the application's window (inside a host, the
  // host's main window).
  std::string Title() const;
  void SetTitle(std::string title) { FTitle = std::move(title); }
  TForm* MainForm = nullptr;
  // Raised whenever a message loop finds the queue empty; Done starts true, and a handler
  // that clears it gets another idle moment before the loop waits for a message.
  TIdleEvent OnIdle;
  // Without a handler the error's text is shown in the system's message box.
  TExceptionEvent OnException;
  // How the handler installed when the library was loaded (the exception report) sets
  // itself up; every styled form made from its description installs it again through
  // InstallLoadedHandler, so the window layer needs to know nothing of the handler.
  void (*LoadedHandlerInstaller)() noexcept = nullptr;
  void InstallLoadedHandler() const noexcept {
    if (LoadedHandlerInstaller) LoadedHandlerInstaller();
  }
  // Asked to show a help topic; without a handler there is no help to show.
  THelpEvent OnHelp;

  // Handles one message, or raises the idle moment when there is none and then waits for
  // the next message when the idle handlers are done.
  void HandleMessage();
  // Handles one message; false when the queue is empty.
  bool ProcessMessage();
  // Raises the idle event once and returns its Done flag.
  bool Idle();
  // Hands the exception being handled (inside a catch block) to the exception event.
  void HandleException(TComponent* sender) noexcept;
  void ShowHelp(int32_t context, const std::string& file);
  // Posts the quit message; the loop that takes it ends, and so does every loop around it.
  void Terminate() noexcept;
  bool Terminated() const noexcept { return FTerminated; }
  int QuitCode() const noexcept { return FQuitCode; }
  void ClearTerminated() noexcept { FTerminated = false; }
  void Minimize() noexcept;

 private:
  HWND FHandle = nullptr;
  std::string FTitle;
  bool FTerminated = false;
  int FQuitCode = 0;
};

// The screen: its size, its active form and the cursor set for the whole application.
class TScreen {
 public:
  int Width() const noexcept { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const noexcept { return GetSystemMetrics(SM_CYSCREEN); }
  // The system's resolution.
  int PixelsPerInch() const noexcept;
  // A monitor's bounds and work area; the primary screen's bounds for both should the
  // system not answer.
  MONITORINFO Monitor(HMONITOR monitor) const noexcept;
  // The resolution forms are made at: the host window's monitor's where the host's thread
  // is aware of each monitor's resolution (Windows 8.1 and later), else the system's.
  int FormPixelsPerInch() const noexcept;

  TForm* ActiveForm = nullptr;
  // A system cursor id such as IDC_WAIT, or null for the default (the arrow).
  LPCSTR Cursor() const noexcept { return FCursor; }
  void SetCursor(LPCSTR cursor) noexcept;
  HCURSOR CursorHandle() const noexcept;

 private:
  LPCSTR FCursor = nullptr;
};

extern TApplication Application;
extern TScreen Screen;

// The text of an exception, as the user sees it.
std::string ExceptionText(std::exception_ptr error);

// One guarded call for each boundary with the system: a window procedure, an event, an
// idle handler. What escapes goes to the application's exception event.
template <class Body>
auto GuardEvent(TComponent* sender, Body body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    Application.HandleException(sender);
  }
  return decltype(body())();
}
