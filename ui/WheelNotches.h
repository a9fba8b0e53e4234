#pragma once
// The mouse wheel over a window: where its message points (the screen point it carries, in
// the window's client coordinates, when it lies over the window) and whole notches from
// deltas that may be short of one (precision touchpads, smooth wheels), the rest kept until
// it adds up.

#include <windows.h>

#include <optional>

inline std::optional<POINT> WheelPointOver(HWND window, LPARAM point) noexcept {
  POINT screen{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  RECT bounds;
  GetWindowRect(window, &bounds);
  if (!PtInRect(&bounds, screen)) return std::nullopt;
  ScreenToClient(window, &screen);
  return screen;
}

class TWheelNotches {
 public:
  // The notches of a wheel message's delta (its WPARAM) and the rest kept before it.
  int Add(WPARAM wParam) noexcept {
    FRest += static_cast<short>(HIWORD(wParam));
    const int notches = FRest / WHEEL_DELTA;
    FRest -= notches * WHEEL_DELTA;
    return notches;
  }

 private:
  int FRest = 0;
};
