#include "tests/host/DialogWatcher.h"

#include <commctrl.h>
#include <dlgs.h>

#include <fstream>
#include <iterator>
#include <utility>

#include "platform/Handles.h"

TDialogWatcher* TDialogWatcher::Current = nullptr;

namespace {

std::string TextOf(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK RecordControl(HWND control, LPARAM target) {
  auto& seen = *reinterpret_cast<TSeenDialog*>(target);
  RECT bounds;
  GetWindowRect(control, &bounds);
  MapWindowPoints(nullptr, seen.Handle, reinterpret_cast<POINT*>(&bounds), 2);
  seen.Controls.push_back({ClassOf(control), TextOf(control), bounds, GetWindowLongA(control, GWL_STYLE)});
  return TRUE;
}

// A window that is still hidden when the watcher starts (a form built before it is shown)
// is answered once it shows.
BOOL CALLBACK RememberWindow(HWND window, LPARAM known) {
  if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(known)->insert(window);
  return TRUE;
}

void PressKey(HWND dialog, WPARAM key) {
  HWND focus = GetFocus();
  if (!focus || (focus != dialog && !IsChild(dialog, focus))) focus = dialog;
  PostMessageA(focus, WM_KEYDOWN, key, 1);
  PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

const TSeenControl* TSeenDialog::Find(const std::string& className, const std::string& text) const {
  for (const auto& control : Controls)
    if (_stricmp(control.ClassName.c_str(), className.c_str()) == 0 && control.Text == text) return &control;
  return nullptr;
}

TDialogWatcher::TDialogWatcher(TDialogAnswer answer, TInspect inspect)
    : FAnswer(answer), FInspect(std::move(inspect)) {
  EnumThreadWindows(GetCurrentThreadId(), RememberWindow, reinterpret_cast<LPARAM>(&FKnown));
  Current = this;
  FTimer = SetTimer(nullptr, 0, 30, Tick);
}

// A slower tick for scripts: the window's loop must find its queue empty (its idle moment)
// between two steps, and paint work in between may outlast the short tick.
TDialogWatcher::TDialogWatcher(const std::string& caption, std::vector<TInspect> steps, TDialogAnswer answer)
    : TDialogWatcher(answer) {
  FCaption = caption;
  FSteps = std::move(steps);
  KillTimer(nullptr, FTimer);
  FTimer = SetTimer(nullptr, 0, 120, Tick);
}

TDialogWatcher::~TDialogWatcher() {
  KillTimer(nullptr, FTimer);
  if (Current == this) Current = nullptr;
}

void CALLBACK TDialogWatcher::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!Current) return;
  if (Current->FScripted && IsWindow(Current->FScripted) && IsWindowEnabled(Current->FScripted))
    return Current->RunScript();
  EnumThreadWindows(GetCurrentThreadId(), VisitWindow, reinterpret_cast<LPARAM>(Current));
}

bool TDialogWatcher::TakeScripted(HWND window) {
  if (FCaption.empty() || FScripted || FScriptDone || TextOf(window) != FCaption) return false;
  FScripted = window;
  Record(window);
  return true;
}

// A step may open a nested loop (a message box); the step counter moves on first, so that
// the ticks inside that loop do not run the same step again.
void TDialogWatcher::RunScript() {
  if (GetQueueStatus(QS_ALLINPUT & ~QS_TIMER) != 0 || (Ready && !Ready())) return;
  const HWND dialog = FScripted;
  if (FNextStep < FSteps.size()) {
    const size_t step = FNextStep++;
    FSteps[step](dialog);
    return;
  }
  FScripted = nullptr;
  FScriptDone = true;
  Answer(dialog, FAnswer);
}

namespace {

// Tooltips and open menus are popups, not windows that wait for an answer.
bool IsPassiveWindow(HWND window) {
  const std::string name = ClassOf(window);
  return _stricmp(name.c_str(), "tooltips_class32") == 0 || name == "#32768";
}

}  // namespace

BOOL CALLBACK TDialogWatcher::VisitWindow(HWND window, LPARAM self) {
  auto* watcher = reinterpret_cast<TDialogWatcher*>(self);
  if (watcher->FKnown.count(window) || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
      IsPassiveWindow(window))
    return TRUE;
  if (watcher->Ready && !watcher->Ready()) return FALSE;
  watcher->FKnown.insert(window);
  if (!watcher->TakeScripted(window)) watcher->Handle(window);
  return FALSE;
}

void TDialogWatcher::Record(HWND dialog) {
  TSeenDialog seen{dialog, TextOf(dialog), GetWindow(dialog, GW_OWNER), {}, {}};
  GetClientRect(dialog, &seen.Client);
  EnumChildWindows(dialog, RecordControl, reinterpret_cast<LPARAM>(&seen));
  Seen.push_back(std::move(seen));
}

void TDialogWatcher::Handle(HWND dialog) {
  Record(dialog);
  if (!FCaption.empty()) {
    if (!OtherWindow || !OtherWindow(dialog)) Answer(dialog, TDialogAnswer::Enter);
    return;
  }
  if (FInspect) FInspect(dialog);
  Answer(dialog, FAnswer);
}

void TDialogWatcher::Answer(HWND dialog, TDialogAnswer answer) {
  switch (answer) {
    case TDialogAnswer::Enter: PressKey(dialog, VK_RETURN); break;
    case TDialogAnswer::Escape: PressKey(dialog, VK_ESCAPE); break;
    case TDialogAnswer::Close: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case TDialogAnswer::None: break;
  }
}

namespace {

struct TChildSearch {
  std::string ClassName;
  std::string Text;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM target) {
  auto& search = *reinterpret_cast<TChildSearch*>(target);
  if (_stricmp(ClassOf(window).c_str(), search.ClassName.c_str()) != 0 || TextOf(window) != search.Text) return TRUE;
  search.Found = window;
  return FALSE;
}

}  // namespace

HWND FindChild(HWND dialog, const std::string& className, const std::string& text) {
  TChildSearch search{className, text};
  EnumChildWindows(dialog, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

void ClickChild(HWND dialog, const std::string& className, const std::string& text) {
  if (HWND child = FindChild(dialog, className, text)) SendMessageA(child, BM_CLICK, 0, 0);
}

std::string WindowText(HWND window) { return TextOf(window); }

RECT BoundsIn(HWND window, HWND reference) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  if (reference) MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

void ResizeWindow(HWND window, int width, int height) {
  SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// A top-down 32-bit section, so that pixel (x, y) is element y * width + x.
TWindowPixels ReadPixels(HDC source, int width, int height) {
  TWindowPixels result;
  result.Width = width;
  result.Height = height;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), result.Width, -result.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const TMemoryDc memoryDc(CreateCompatibleDC(source));
  const TBitmapHandle section(CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const TSelectObject selection(memoryDc.Get(), section.Get());
  BitBlt(memoryDc.Get(), 0, 0, result.Width, result.Height, source, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  result.Pixels.assign(pixels, pixels + static_cast<size_t>(result.Width) * result.Height);
  for (uint32_t& pixel : result.Pixels) pixel &= 0xFFFFFF;
  return result;
}

}  // namespace

TWindowPixels ReadClientPixels(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  const TWindowDc windowDc(window);
  return ReadPixels(windowDc.Get(), client.right, client.bottom);
}

TWindowPixels ReadFramePixels(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  const TWindowFrameDc frameDc(window);
  return ReadPixels(frameDc.Get(), bounds.right - bounds.left, bounds.bottom - bounds.top);
}

HWND Panel(HWND dialog) { return ChildWindowFromPoint(dialog, POINT{1, 1}); }

void MoveOverPanel(HWND dialog, int x, int y) {
  POINT point{x, y};
  ClientToScreen(Panel(dialog), &point);
  SetCursorPos(point.x, point.y);
}

void ParkCursor() { SetCursorPos(2, GetSystemMetrics(SM_CYSCREEN) - 2); }

void Keys(std::initializer_list<BYTE> keys) {
  for (BYTE key : keys) keybd_event(key, 0, 0, 0);
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
}

namespace {

BOOL CALLBACK MatchVisible(HWND window, LPARAM found) {
  auto& target = *reinterpret_cast<std::pair<const char*, HWND>*>(found);
  if (_stricmp(ClassOf(window).c_str(), target.first) != 0 || !IsWindowVisible(window)) return TRUE;
  target.second = window;
  return FALSE;
}

std::wstring ToolTipWideText(HWND tip) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  if (!tip || !SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info))) return L"";
  wchar_t text[1024] = L"";
  info.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&info));
  return text;
}

}  // namespace

HWND VisibleThreadWindow(const char* className) {
  std::pair<const char*, HWND> target{className, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchVisible, reinterpret_cast<LPARAM>(&target));
  return target.second;
}

std::string ToolTipText() {
  const std::wstring text = ToolTipWideText(VisibleThreadWindow("tooltips_class32"));
  std::string utf8(text.size() * 3, '\0');
  utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                      utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

TTipFit ToolTipFit() {
  const HWND tip = VisibleThreadWindow("tooltips_class32");
  if (!tip) return {};
  const std::wstring text = ToolTipWideText(tip);
  const HDC dc = GetDC(tip);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0)));
  RECT extent{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(tip, dc);
  RECT client, margin{};
  GetClientRect(tip, &client);
  SendMessageW(tip, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
  return {{extent.right, extent.bottom},
          {client.right - margin.left - margin.right, client.bottom - margin.top - margin.bottom}};
}

bool AnswerSaveDialog(HWND window, const std::vector<std::string>& names, size_t& named) {
  if (HWND yes = FindChild(window, "Button", "&Yes")) return PostMessageA(yes, BM_CLICK, 0, 0);
  if (!FindChild(window, "Button", "&Save") || named == names.size()) return false;
  for (int field : {cmb13, edt1})
    if (HWND edit = GetDlgItem(window, field)) SetWindowTextA(edit, names[named].c_str());
  ++named;
  return PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

bool AnswerPlotSave(HWND window, const std::vector<std::string>& names, size_t& named) {
  if (WindowText(window) != "Picture size") return AnswerSaveDialog(window, names, named);
  ClickChild(window, "Button", "OK");
  return true;
}

std::string ClipboardUtf8() {
  std::string text;
  if (OpenClipboard(nullptr)) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = NarrowText(static_cast<const wchar_t*>(GlobalLock(data)), CP_UTF8);
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  return text;
}

std::string FileText(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
