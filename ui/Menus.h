#pragma once
// A context menu: the system's popup menu with plain command items, shown at a point and
// answered with the chosen command. Keyboard use and screen readers work as in any menu.

#include <string>

#include "platform/Handles.h"

class TPopupMenu {
 public:
  TPopupMenu();

  // An item; "&" marks its access key, and a tab puts the shortcut's text on the right.
  // A disabled item shows grayed, a checked one with its mark.
  void Add(UINT command, const std::string& caption, bool enabled = true, bool checked = false);
  // A line between groups of items.
  void AddSeparator();
  // An item that opens another menu, which this one takes over.
  void AddSubmenu(const std::string& caption, TPopupMenu&& submenu, bool enabled = true);
  // Shows the menu with its top left corner at the screen point and returns the command
  // chosen, 0 when the menu was dismissed.
  UINT Popup(HWND owner, POINT screen) const;
  HMENU Handle() const noexcept { return FMenu.Get(); }

 private:
  TMenuHandle FMenu;
};
