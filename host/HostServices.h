#pragma once
// The host's side of the callback: answers the requests plug-ins send. The callback carries
// no context, so the services object alive last is the one that answers.

#include <functional>
#include <string>

#include "host/Document.h"
#include "hostabi/HostInterface.h"
#include "platform/WinApi.h"

// A command as a plug-in registered it; the strings are copies, the plug-in's are valid
// during the registration only.
struct TPluginEntry {
  std::string Menu;
  std::string Name;
  std::string Description;
  int32_t Flags = 0;
};

class THostServices {
 public:
  explicit THostServices(const TDocuments& documents);
  ~THostServices();
  THostServices(const THostServices&) = delete;
  THostServices& operator=(const THostServices&) = delete;

  // Never lets an error reach the plug-in: a request that fails is answered with 0.
  static int32_t OSTRAVINE_STDCALL Callback(int32_t request, void* data) noexcept;

  HWND MainWindow = nullptr;
  std::function<void(TPluginEntry)> OnRegister;
  std::function<void()> OnImageChanged;

 private:
  int32_t Answer(int32_t request, void* data);
  int32_t AnswerRegister(const TPluginInfo* info);
  int32_t AnswerImageInfo(THostImageInfo* info) const;

  const TDocuments& FDocuments;
  THostServices* FPrevious;
  static THostServices* Current;
};
