#include "ui/Menus.h"

#include "errors/Exceptions.h"
#include "resources/Texts.h"

TPopupMenu::TPopupMenu() : FMenu(CreatePopupMenu()) {
  if (!FMenu) throw Exception(S_CREATE_WINDOW);
}

void TPopupMenu::Add(UINT command, const std::string& caption, bool enabled, bool checked) {
  const UINT flags = MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED) | (checked ? MF_CHECKED : MF_UNCHECKED);
  if (!AppendMenuA(FMenu.Get(), flags, command, caption.c_str())) throw Exception(S_CREATE_WINDOW);
}

void TPopupMenu::AddSubmenu(const std::string& caption, TPopupMenu&& submenu, bool enabled) {
  const UINT flags = MF_POPUP | (enabled ? MF_ENABLED : MF_GRAYED);
  const HMENU handle = submenu.FMenu.Get();
  if (!AppendMenuA(FMenu.Get(), flags, reinterpret_cast<UINT_PTR>(handle), caption.c_str()))
    throw Exception(S_CREATE_WINDOW);
  submenu.FMenu.Release();
}

void TPopupMenu::AddSeparator() {
  if (!AppendMenuA(FMenu.Get(), MF_SEPARATOR, 0, nullptr)) throw Exception(S_CREATE_WINDOW);
}

// TPM_RETURNCMD: the choice comes back here instead of as a WM_COMMAND to the owner.
UINT TPopupMenu::Popup(HWND owner, POINT screen) const {
  const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD;
  return static_cast<UINT>(TrackPopupMenu(FMenu.Get(), flags, screen.x, screen.y, 0, owner, nullptr));
}
