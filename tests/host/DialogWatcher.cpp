#include "tests/host/DialogWatcher.h"

TDialogWatcher* TDialogWatcher::Current = nullptr;

namespace {

std::string TextOf(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
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

TDialogWatcher::~TDialogWatcher() {
  KillTimer(nullptr, FTimer);
  if (Current == this) Current = nullptr;
}

void CALLBACK TDialogWatcher::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (Current) EnumThreadWindows(GetCurrentThreadId(), VisitWindow, reinterpret_cast<LPARAM>(Current));
}

BOOL CALLBACK TDialogWatcher::VisitWindow(HWND window, LPARAM self) {
  auto* watcher = reinterpret_cast<TDialogWatcher*>(self);
  if (watcher->FKnown.count(window) || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  watcher->FKnown.insert(window);
  watcher->Handle(window);
  return FALSE;
}

void TDialogWatcher::Handle(HWND dialog) {
  TSeenDialog seen{dialog, TextOf(dialog), GetWindow(dialog, GW_OWNER), {}, {}};
  GetClientRect(dialog, &seen.Client);
  EnumChildWindows(dialog, RecordControl, reinterpret_cast<LPARAM>(&seen));
  Seen.push_back(std::move(seen));
  if (FInspect) FInspect(dialog);
  switch (FAnswer) {
    case TDialogAnswer::Enter: PressKey(dialog, VK_RETURN); break;
    case TDialogAnswer::Escape: PressKey(dialog, VK_ESCAPE); break;
    case TDialogAnswer::Close: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
  }
}
