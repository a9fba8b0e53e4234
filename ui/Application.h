#pragma once
// The application object of the plug-in's window layer. Inside a host it stands for the
// host: its handle is the host's main window, the owner of every top-level window.

#include "ui/WinApi.h"

class TApplication {
 public:
  HWND Handle() const noexcept { return FHandle; }
  void SetHandle(HWND handle) noexcept { FHandle = handle; }

 private:
  HWND FHandle = nullptr;
};

extern TApplication Application;
