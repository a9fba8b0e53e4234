#include "tests/host/HostDouble.h"

#include <algorithm>
#include <stdexcept>

THostDouble* THostDouble::Current = nullptr;

THostDouble::THostDouble() { Current = this; }

THostDouble::~THostDouble() {
  if (Current == this) Current = nullptr;
}

int32_t __stdcall THostDouble::Callback(int32_t request, void* data) {
  return Current ? Current->Answer(request, data) : 0;
}

int32_t THostDouble::ImageInfoRequests() const {
  return static_cast<int32_t>(std::count(Requests.begin(), Requests.end(), hrImageInfo));
}

int32_t THostDouble::Answer(int32_t request, void* data) {
  Requests.push_back(request);
  RequestTimes.push_back(GetTickCount());
  switch (request) {
    case hrRegister: {
      const auto* info = static_cast<const TPluginInfo*>(data);
      Registrations.push_back({info->Menu, info->Name, info->Description, info->Flags});
      return RegisterResult;
    }
    case hrImageInfo:
      return AnswerImageInfo(*static_cast<THostImageInfo*>(data));
    case hrMainWindow:
      *static_cast<HWND*>(data) = MainWindow;
      return 1;
    default:
      return 0;
  }
}

int32_t THostDouble::AnswerImageInfo(THostImageInfo& info) const {
  if (info.Index < 0) return 0;
  const auto index = static_cast<size_t>(info.Index);
  if (index < OpenImages.size()) {
    info.Pixels = const_cast<void*>(OpenImages[index].Pixels);
    info.Selection = OpenImages[index].Selection;
    return 1;
  }
  if (!AnswersEveryIndex) return 0;
  info.Pixels = nullptr;
  info.Selection = TRect{0, 0, 1, 1};
  return 1;
}

TPluginLibrary::TPluginLibrary(const char* path) : FModule(LoadLibraryA(path)) {
  if (!FModule) throw std::runtime_error(std::string("cannot load ") + path);
  RegisterPlugin = reinterpret_cast<TRegisterPlugin>(reinterpret_cast<void*>(GetProcAddress(FModule, "RegisterPlugin")));
  ProcessImage = reinterpret_cast<TProcessImage>(reinterpret_cast<void*>(GetProcAddress(FModule, "ProcessImage")));
}

TPluginLibrary::~TPluginLibrary() { FreeLibrary(FModule); }

THostMainWindow::THostMainWindow()
    : FHandle(CreateWindowExA(0, "STATIC", "Test host", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {
  ShowWindow(FHandle, SW_SHOWNOACTIVATE);
}

THostMainWindow::~THostMainWindow() { DestroyWindow(FHandle); }
