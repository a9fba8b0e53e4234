#pragma once
// Running a plug-in command on a document, and the unattended run of the command line:
// a screenshot while the command's modal window is open, after which that window is closed
// so the command ends.

#include <functional>
#include <string>

#include "host/HostServices.h"
#include "host/PluginRegistry.h"
#include "platform/WinApi.h"

// The plug-in reads and writes the document's pixels in place during the call.
void RunPluginCommand(const TPluginCommand& command, TDocument& document);

class TShotRun {
 public:
  // Told once the command has returned and the screenshot is saved; the text is the error
  // that kept the shot from being saved, or empty.
  using TFinished = std::function<void(const std::string& error)>;

  TShotRun(HWND mainWindow, std::string screenshotPath, DWORD delay, TFinished onFinished);
  ~TShotRun();
  TShotRun(const TShotRun&) = delete;
  TShotRun& operator=(const TShotRun&) = delete;

  // Runs the body (a command, or nothing when only the screen is wanted) under the timer.
  void Run(const std::function<void()>& body);

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept;
  void OnTick();
  void Shoot();
  void CloseModalWindow();
  void Finish();

  static TShotRun* Current;
  HWND FMainWindow;
  std::string FPath;
  DWORD FDelay;
  TFinished FOnFinished;
  std::string FError;
  UINT_PTR FTimer = 0;
  DWORD FStarted = 0;
  DWORD FReturned = 0;
  DWORD FLastClose = 0;
  bool FRunning = false;
  bool FShot = false;
};

// The enabled, visible top-level window of this thread other than the main window: the
// window a modal loop is running for.
HWND FindModalWindow(HWND mainWindow);
