#pragma once
// The window-procedure trampoline of the host's window classes: the object comes with
// WM_NCCREATE, every message goes to its HandleMessage, and one guard keeps errors from
// unwinding through the system's dispatch.

#include <utility>

#include "host/HostErrors.h"
#include "platform/WinApi.h"

template <class T>
class THostWindow {
 public:
  HWND Handle() const noexcept { return FHandle; }

 protected:
  THostWindow() = default;
  ~THostWindow() { DestroyHandle(); }
  THostWindow(const THostWindow&) = delete;
  THostWindow& operator=(const THostWindow&) = delete;

  // Owners call this first in their destructors: the window goes while every member it
  // may still send messages to is alive, and the messages of its end reach no handler.
  void DestroyHandle() noexcept {
    if (!FHandle) return;
    const HWND window = std::exchange(FHandle, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }

  static void RegisterWindowClass(const char* name, UINT style, HBRUSH background) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass);
  }

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProcA(FHandle, message, wParam, lParam);
  }

  HWND FHandle = nullptr;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
      auto* created = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
      created->FHandle = window;
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      self->FHandle = nullptr;
      return DefWindowProcA(window, message, wParam, lParam);
    }
    return GuardBoundary<LRESULT>(window, 0, [&] { return self->HandleMessage(message, wParam, lParam); });
  }
};
