#include "ui/ToolTip.h"

#include <commctrl.h>

#include <algorithm>

#include "errors/Exceptions.h"
#include "platform/WinApi.h"
#include "resources/Texts.h"
#include "ui/Application.h"
#include "ui/TipPlacement.h"
#include "ui/TipText.h"

namespace {

constexpr UINT_PTR ToolId = 1;
// The widest a tip grows on a screen of 96 pixels per inch, in proportion on others, and
// never wider than the work area leaves beside the cursor.
constexpr int DesignMaxTipWidth = 600;

void RegisterToolTipClass() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
  InitCommonControlsEx(&classes);
}

// TTF_TRACK with TTF_ABSOLUTE: the tooltip shows where it is put, not where the system
// would. TTF_TRANSPARENT: should the cursor reach it, the mouse's messages go on to the plot
// beneath, which moves it away, instead of hiding it and showing it again in a loop. The
// record's size is that of comctl32 version 5, which XP loads for a DLL without a manifest;
// version 6 accepts it too. The text is UTF-16, so that it shows whatever the code page.
TOOLINFOW ToolInfo(HWND owner, const std::wstring& text) noexcept {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
  info.hwnd = owner;
  info.uId = ToolId;
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  return info;
}

RECT WorkAreaAt(POINT screen) noexcept {
  return Screen.Monitor(MonitorFromPoint(screen, MONITOR_DEFAULTTONEAREST)).rcWork;
}

// One line's width in the font selected into the DC (the texts hold no tabs).
int LineWidth(HDC dc, std::string_view utf8) {
  const std::wstring text = WideText(utf8, CP_UTF8);
  SIZE extent{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx;
}

// The cursor's image spans its hot spot's distance to the image's far corner at most: the
// tip keeps that far from the hot spot (the system's cursor size, larger at a higher
// resolution or with a larger pointer chosen).
SIZE CursorGap() noexcept {
  return {GetSystemMetrics(SM_CXCURSOR) / 2, GetSystemMetrics(SM_CYCURSOR) * 5 / 8};
}

}  // namespace

TTrackingToolTip::TTrackingToolTip(HWND owner) : FOwner(owner) {
  RegisterToolTipClass();
  FWindow.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                ModuleInstance(), nullptr));
  if (!FWindow) throw Exception(S_CREATE_WINDOW);
  const TOOLINFOW info = ToolInfo(FOwner, FText);
  SendMessageW(Handle(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

// The lines are broken here, between figures; the control is given room for the widest
// line, so that it breaks only at the line ends and never cuts one off.
void TTrackingToolTip::Show(const std::string& text, POINT screen) {
  const RECT area = WorkAreaAt(screen);
  if (text != FSource || !FShowing) {
    FSource = text;
    const TWindowDc dc(Handle());
    const TSelectObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    const int maxWidth = std::min(MulDiv(DesignMaxTipWidth, GetDeviceCaps(dc.Get(), LOGPIXELSX), 96),
                                  static_cast<int>(area.right - area.left - 2 * CursorGap().cx));
    const auto width = [&](std::string_view line) { return LineWidth(dc.Get(), line); };
    FText = WideText(WrapFigures(text, maxWidth, width), CP_UTF8);
    SendMessageW(Handle(), TTM_SETMAXTIPWIDTH, 0, area.right - area.left);
    const TOOLINFOW info = ToolInfo(FOwner, FText);
    SendMessageW(Handle(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  }
  const POINT place = PlaceBeside(screen, area);
  SendMessageW(Handle(), TTM_TRACKPOSITION, 0, MAKELPARAM(place.x, place.y));
  if (FShowing) return;
  const TOOLINFOW info = ToolInfo(FOwner, FText);
  SendMessageW(Handle(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  FShowing = true;
}

void TTrackingToolTip::Hide() noexcept {
  if (!FShowing) return;
  const TOOLINFOW info = ToolInfo(FOwner, FText);
  SendMessageW(Handle(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
  FShowing = false;
}

// Beside the cursor inside the monitor's work area, never under the cursor (TipPlacement);
// the dialog opens at the screen's right edge, where the tip goes to the cursor's left.
POINT TTrackingToolTip::PlaceBeside(POINT screen, const RECT& area) const noexcept {
  const TOOLINFOW info = ToolInfo(FOwner, FText);
  const LRESULT size = SendMessageW(Handle(), TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&info));
  const SIZE gap = CursorGap();
  const TTipPoint place = PlaceTip({screen.x, screen.y}, LOWORD(size), HIWORD(size),
                                   {area.left, area.top, area.right, area.bottom}, gap.cx, gap.cy);
  return {place.X, place.Y};
}
