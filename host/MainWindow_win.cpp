#include "host/MainWindow.h"

#include <algorithm>
#include <map>

#include <commctrl.h>
#include <commdlg.h>

#include "errors/Exceptions.h"
#include "host/HostTexts.h"

namespace {

constexpr char MainClass[] = "OstravineHostMain";
constexpr UINT WM_START_COMMAND = WM_APP + 1;
constexpr UINT IdOpen = 100;
constexpr UINT IdExit = 101;
// Plug-in command i has the menu id FirstPluginId + i.
constexpr UINT FirstPluginId = 1000;
constexpr int MinClientWidth = 480;
constexpr int MinClientHeight = 320;
// Room for the view's edge, its scroll bars and the status bar around the image.
constexpr int ViewMargin = 4;
constexpr int StatusHeight = 24;

// Large enough for the image, small enough for the screen, at the top left corner so that
// a plug-in's window placed at the right stays clear of it.
RECT InitialBounds(const TDocument* document) {
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const int width = document ? document->Bitmap.Width() + ViewMargin : 0;
  const int height = document ? document->Bitmap.Height() + ViewMargin + StatusHeight : 0;
  RECT bounds{0, 0, std::max(width, MinClientWidth), std::max(height, MinClientHeight)};
  AdjustWindowRectEx(&bounds, WS_OVERLAPPEDWINDOW, TRUE, 0);
  const LONG right = std::min(area.right, area.left + bounds.right - bounds.left);
  const LONG bottom = std::min(area.bottom, area.top + bounds.bottom - bounds.top);
  return RECT{area.left, area.top, right, bottom};
}

std::string CaptionOf(const TDocument* document) {
  return document ? DocumentTitle(*document) + " - " + S_HOST_CAPTION : std::string(S_HOST_CAPTION);
}

}  // namespace

TMainWindow::TMainWindow(const THostOptions& options, TDocuments& documents, THostServices& services,
                         const TPluginRegistry& registry)
    : FOptions(options), FDocuments(documents), FServices(services), FRegistry(registry) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterWindowClass(MainClass, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  const RECT bounds = InitialBounds(ActiveDocument());
  CreateWindowExA(0, MainClass, CaptionOf(ActiveDocument()).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                  bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                  GetModuleHandleA(nullptr), this);
  if (!FHandle) throw Exception(S_HOST_UNKNOWN_ERROR);
  ShowWindow(FHandle, SW_SHOW);
  UpdateWindow(FHandle);
  PostMessageA(FHandle, WM_START_COMMAND, 0, 0);
}

TMainWindow::~TMainWindow() {
  FServices.MainWindow = nullptr;
  FServices.OnImageChanged = nullptr;
  DestroyHandle();
}

LRESULT TMainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_COMMAND:
      MenuCommand(LOWORD(wParam));
      return 0;
    case WM_MENUSELECT:
      MenuSelect(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_START_COMMAND:
      StartCommand();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(FExitCode);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void TMainWindow::FormCreate() {
  FServices.MainWindow = FHandle;
  FView = std::make_unique<TImageView>(FHandle);
  FView->OnSelectionChanged = [this] { ShowSelection(); };
  FServices.OnImageChanged = [this] { FView->Refresh(); };
  FStatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, FHandle,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  BuildMenu();
  ShowDocument(ActiveDocument());
}

void TMainWindow::FormResize() {
  if (!FView || !FStatusBar) return;
  SendMessageA(FStatusBar, WM_SIZE, 0, 0);
  RECT client, status;
  GetClientRect(FHandle, &client);
  GetWindowRect(FStatusBar, &status);
  MoveWindow(FView->Handle(), 0, 0, client.right, client.bottom - (status.bottom - status.top), TRUE);
}

// One popup per menu name the plug-ins registered, in the order they first named it.
void TMainWindow::BuildMenu() {
  const HMENU bar = CreateMenu();
  const HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, IdOpen, S_HOST_MENU_OPEN);
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, IdExit, S_HOST_MENU_EXIT);
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), S_HOST_MENU_FILE);
  std::map<std::string, HMENU> popups;
  const auto& commands = FRegistry.Commands();
  for (size_t i = 0; i < commands.size(); ++i) {
    HMENU& popup = popups[commands[i].Entry.Menu];
    if (!popup) {
      popup = CreatePopupMenu();
      AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), commands[i].Entry.Menu.c_str());
    }
    AppendMenuA(popup, MF_STRING, FirstPluginId + i, commands[i].Entry.Name.c_str());
  }
  SetMenu(FHandle, bar);
}

void TMainWindow::MenuCommand(UINT id) {
  if (id == IdOpen) return OpenClick();
  if (id == IdExit) return static_cast<void>(PostMessageA(FHandle, WM_CLOSE, 0, 0));
  const auto& commands = FRegistry.Commands();
  if (id >= FirstPluginId && id - FirstPluginId < commands.size()) RunCommand(commands[id - FirstPluginId]);
}

// The description of the highlighted command is its hint; leaving the menu brings back the
// selection.
void TMainWindow::MenuSelect(UINT id, UINT flags) {
  const auto& commands = FRegistry.Commands();
  const bool command = !(flags & MF_POPUP) && id >= FirstPluginId && id - FirstPluginId < commands.size();
  if (command) SendMessageA(FStatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(commands[id - FirstPluginId].Entry.Description.c_str()));
  else ShowSelection();
}

void TMainWindow::OpenClick() {
  char path[MAX_PATH] = "";
  const std::string filter = std::string(S_HOST_IMAGE_FILES) + '\0' + "*.bmp;*.png;*.jpg;*.jpeg" + '\0' + '\0';
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = FHandle;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&dialog)) return;
  FDocuments.push_back(OpenDocument(path));
  ShowDocument(FDocuments.back().get());
}

void TMainWindow::ShowDocument(TDocument* document) {
  SetWindowTextA(FHandle, CaptionOf(document).c_str());
  FView->SetDocument(document);
  ShowSelection();
}

void TMainWindow::ShowSelection() {
  const TDocument* document = ActiveDocument();
  const TRect selection = document ? document->Selection : NoSelection;
  const std::string text = selection.Left < 0 ? std::string(S_HOST_NO_SELECTION)
                                              : FormatText(S_HOST_SELECTION, selection.Left, selection.Top,
                                                           selection.Right, selection.Bottom);
  SendMessageA(FStatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMainWindow::RunCommand(const TPluginCommand& command) {
  TDocument* document = ActiveDocument();
  if (!document) return ReportError(FHandle, S_HOST_NO_IMAGE);
  RunPluginCommand(command, *document);
  FView->Refresh();
}

// The command line's command, once the window is on the screen.
void TMainWindow::StartCommand() {
  const TPluginCommand* command = FOptions.RunCommand.empty() ? nullptr : FRegistry.Find(FOptions.RunCommand);
  if (!FOptions.RunCommand.empty() && !command)
    return FailStart(FormatText(S_HOST_NO_COMMAND, FOptions.RunCommand.c_str()));
  if (command && !ActiveDocument()) return FailStart(S_HOST_NO_IMAGE);
  if (FOptions.ScreenshotPath.empty()) {
    if (command) RunCommand(*command);
    return FinishStart();
  }
  const DWORD delay = static_cast<DWORD>(FOptions.ShotDelay);
  FShotRun = std::make_unique<TShotRun>(FHandle, FOptions.ScreenshotPath, delay, [this](const std::string& error) {
    if (error.empty()) FinishStart();
    else FailStart(error);
  });
  FShotRun->Run([this, command] {
    if (command) RunCommand(*command);
  });
}

void TMainWindow::FailStart(const std::string& text) {
  ReportError(FHandle, text.c_str());
  FExitCode = 1;
  FinishStart();
}

void TMainWindow::FinishStart() {
  if (FOptions.ExitAfterCommand) PostMessageA(FHandle, WM_CLOSE, 0, 0);
}

TDocument* TMainWindow::ActiveDocument() const { return FDocuments.empty() ? nullptr : FDocuments.back().get(); }

int RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
