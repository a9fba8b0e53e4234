#pragma once
// A tracking tooltip: the system's standard tooltip control with one tool that the owner
// shows, moves and hides itself, next to the mouse, as a readout that follows it.
// Screen readers read it as any tooltip.

#include <string>

#include "platform/Handles.h"

class TTrackingToolTip {
 public:
  // The tooltip belongs to `owner` and goes with this object.
  explicit TTrackingToolTip(HWND owner);
  TTrackingToolTip(const TTrackingToolTip&) = delete;
  TTrackingToolTip& operator=(const TTrackingToolTip&) = delete;

  // Shows the text (UTF-8, lines separated by "\r\n", broken further between figures
  // where one is too wide) beside the screen point, on the side where it fits on the
  // monitor.
  void Show(const std::string& text, POINT screen);
  void Hide() noexcept;
  bool Showing() const noexcept { return FShowing; }
  HWND Handle() const noexcept { return FWindow.Get(); }

 private:
  POINT PlaceBeside(POINT screen, const RECT& area) const noexcept;

  HWND FOwner;
  TWindowHandle FWindow;
  // The text as given, and as the control shows it.
  std::string FSource;
  std::wstring FText;
  bool FShowing = false;
};
