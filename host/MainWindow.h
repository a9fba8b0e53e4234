#pragma once
// The host's main window: the menu bar with the plug-ins' commands, the image view, the
// status bar with the selection and the commands' descriptions, and the command run at
// start from the command line.

#include <memory>
#include <string>

#include "host/CommandLine.h"
#include "host/CommandRunner.h"
#include "host/HostWindow.h"
#include "host/ImageView.h"
#include "host/PluginRegistry.h"

class TMainWindow : public THostWindow<TMainWindow> {
 public:
  TMainWindow(const THostOptions& options, TDocuments& documents, THostServices& services,
              const TPluginRegistry& registry);
  ~TMainWindow();

  // The result the program ends with: non-zero when the command from the command line failed.
  int ExitCode() const noexcept { return FExitCode; }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void FormCreate();
  void FormResize();
  void BuildMenu();
  void MenuCommand(UINT id);
  void MenuSelect(UINT id, UINT flags);
  void OpenClick();
  void ShowDocument(TDocument* document);
  void ShowSelection();
  void RunCommand(const TPluginCommand& command);
  void StartCommand();
  void FailStart(const std::string& text);
  void FinishStart();
  TDocument* ActiveDocument() const;

  THostOptions FOptions;
  TDocuments& FDocuments;
  THostServices& FServices;
  const TPluginRegistry& FRegistry;
  std::unique_ptr<TImageView> FView;
  HWND FStatusBar = nullptr;
  std::unique_ptr<TShotRun> FShotRun;
  int FExitCode = 0;
};

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();
