#include "ui/ToolTip.h"

#include <commctrl.h>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "ui/TipPlacement.h"

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
// would. TTF_TRANSPARENT: should the cursor reach it, the mouse's messages go on to the plot
// beneath, which moves it away, instead of hiding it and showing it again in a loop. The
// record's size is that of comctl32 version 5, which XP loads for a DLL without a manifest;
// version 6 accepts it too.
TOOLINFOA ToolInfo(HWND owner, const std::string& text) noexcept {
  TOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
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

// Beside the cursor inside the monitor's work area, never under the cursor (TipPlacement);
// the dialog opens at the screen's right edge, where the tip goes to the cursor's left.
POINT TTrackingToolTip::PlaceBeside(POINT screen) const noexcept {
  const TOOLINFOA info = ToolInfo(FOwner, FText);
  const LRESULT size = SendMessageA(Handle(), TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&info));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromPoint(screen, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  const TTipPoint place = PlaceTip({screen.x, screen.y}, LOWORD(size), HIWORD(size),
                                   {area.left, area.top, area.right, area.bottom}, CursorGapX, CursorGapY);
  return {place.X, place.Y};
}
