#pragma once
// A host for tests: answers the plug-in's requests as an image editor would and records
// every request in order. The callback carries no context, so one double is current at a time.

#include <string>
#include <vector>

#include "hostabi/HostInterface.h"
#include "platform/WinApi.h"

struct TOpenImage {
  const void* Pixels;
  TRect Selection;
};

struct TRegistration {
  std::string Menu;
  std::string Name;
  std::string Description;
  int32_t Flags;
};

class THostDouble {
 public:
  THostDouble();
  ~THostDouble();
  THostDouble(const THostDouble&) = delete;
  THostDouble& operator=(const THostDouble&) = delete;

  static int32_t __stdcall Callback(int32_t request, void* data);

  // What the host answers.
  int32_t RegisterResult = 1;
  HWND MainWindow = nullptr;
  std::vector<TOpenImage> OpenImages;
  // A broken host that claims an image for every index it is asked about.
  bool AnswersEveryIndex = false;

  // What the plug-in asked, in order, and when (GetTickCount).
  std::vector<int32_t> Requests;
  std::vector<DWORD> RequestTimes;
  std::vector<TRegistration> Registrations;
  int32_t ImageInfoRequests() const;

 private:
  int32_t Answer(int32_t request, void* data);
  int32_t AnswerImageInfo(THostImageInfo& info) const;

  static THostDouble* Current;
};

// Ostravine.dll loaded the way a host loads it: by name, exports looked up by name.
class TPluginLibrary {
 public:
  using TRegisterPlugin = int32_t(__stdcall*)(THostCallback);
  using TProcessImage = int32_t(__stdcall*)(int32_t, const THostImage*);

  explicit TPluginLibrary(const char* path = "Ostravine.dll");
  ~TPluginLibrary();
  TPluginLibrary(const TPluginLibrary&) = delete;
  TPluginLibrary& operator=(const TPluginLibrary&) = delete;

  HMODULE Module() const noexcept { return FModule; }
  TRegisterPlugin RegisterPlugin = nullptr;
  TProcessImage ProcessImage = nullptr;

 private:
  HMODULE FModule;
};

// A plain top-level window that plays the host's main window.
class THostMainWindow {
 public:
  THostMainWindow();
  ~THostMainWindow();
  THostMainWindow(const THostMainWindow&) = delete;
  THostMainWindow& operator=(const THostMainWindow&) = delete;
  HWND Handle() const noexcept { return FHandle; }

 private:
  HWND FHandle;
};
