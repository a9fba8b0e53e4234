#include "ui/ToolTip.h"

#include <commctrl.h>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

constexpr UINT_PTR ToolId = 1;
// Distance of the tooltip from the cursor's hot spot: clear of a standard arrow cursor.
constexpr int CursorGapX = 16;
constexpr int CursorGapY = 20;
// Wide enough for a readout line; the width also turns on line breaks at "\r\n".
constexpr int MaxTipWidth = 600;

void RegisterToolTipClass() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
  InitCommonControlsEx(&classes);
}

// TTF_TRACK with TTF_ABSOLUTE: the tooltip shows where it is put, not where the system
// would. The record's size is that of comctl32 version 5, which XP loads for a DLL
// without a manifest; version 6 accepts it too.
TOOLINFOA ToolInfo(HWND owner, const std::string& text) noexcept {
  TOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  info.hwnd = owner;
  info.uId = ToolId;
  info.lpszText = const_cast<char*>(text.c_str());
  return info;
}

}  // namespace

TTrackingToolTip::TTrackingToolTip(HWND owner) : FOwner(owner) {
  RegisterToolTipClass();
  FWindow.Reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                ModuleInstance(), nullptr));
  if (!FWindow) throw Exception(S_CREATE_WINDOW);
  const TOOLINFOA info = ToolInfo(FOwner, FText);
  SendMessageA(Handle(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageA(Handle(), TTM_SETMAXTIPWIDTH, 0, MaxTipWidth);
}

void TTrackingToolTip::Show(const std::string& text, POINT screen) {
  if (text != FText || !FShowing) {
    FText = text;
    const TOOLINFOA info = ToolInfo(FOwner, FText);
    SendMessageA(Handle(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  }
  const POINT place = PlaceBeside(screen);
  SendMessageA(Handle(), TTM_TRACKPOSITION, 0, MAKELPARAM(place.x, place.y));
  if (FShowing) return;
  const TOOLINFOA info = ToolInfo(FOwner, FText);
  SendMessageA(Handle(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  FShowing = true;
}

void TTrackingToolTip::Hide() noexcept {
  if (!FShowing) return;
  const TOOLINFOA info = ToolInfo(FOwner, FText);
  SendMessageA(Handle(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
  FShowing = false;
}

// Below and to the right of the cursor; flipped to its left or above it where the
// tooltip would leave the monitor's work area (the dialog opens at the screen's right edge).
POINT TTrackingToolTip::PlaceBeside(POINT screen) const noexcept {
  const TOOLINFOA info = ToolInfo(FOwner, FText);
  const LRESULT size = SendMessageA(Handle(), TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&info));
  const int width = LOWORD(size), height = HIWORD(size);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromPoint(screen, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  POINT place{screen.x + CursorGapX, screen.y + CursorGapY};
  if (place.x + width > area.right) place.x = screen.x - CursorGapX - width;
  if (place.y + height > area.bottom) place.y = screen.y - CursorGapY - height;
  if (place.x < area.left) place.x = area.left;
  if (place.y < area.top) place.y = area.top;
  return place;
}
