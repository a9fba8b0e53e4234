#include "host/HostServices.h"

#include <cstring>

THostServices* THostServices::Current = nullptr;

THostServices::THostServices(const TDocuments& documents) : FDocuments(documents), FPrevious(Current) {
  Current = this;
}

THostServices::~THostServices() { Current = FPrevious; }

int32_t OSTRAVINE_STDCALL THostServices::Callback(int32_t request, void* data) noexcept {
  try {
    return Current ? Current->Answer(request, data) : 0;
  } catch (...) {
    return 0;
  }
}

int32_t THostServices::Answer(int32_t request, void* data) {
  switch (request) {
    case hrRegister:
      return AnswerRegister(static_cast<const TPluginInfo*>(data));
    case hrImageInfo:
      return AnswerImageInfo(static_cast<THostImageInfo*>(data));
    case hrMainWindow:
      if (!data) return 0;
      *static_cast<HWND*>(data) = MainWindow;
      return 1;
    case hrImageChanged:
      if (OnImageChanged) OnImageChanged();
      return 1;
    default:
      return 0;
  }
}

namespace {

std::string CopyText(const char* text) { return text ? text : ""; }

}  // namespace

int32_t THostServices::AnswerRegister(const TPluginInfo* info) {
  if (!info) return 0;
  if (OnRegister) OnRegister({CopyText(info->Menu), CopyText(info->Name), CopyText(info->Description), info->Flags});
  return 1;
}

// The bytes around Pixels are the host's own; this host leaves them zero.
int32_t THostServices::AnswerImageInfo(THostImageInfo* info) const {
  if (!info || info->Index < 0 || static_cast<size_t>(info->Index) >= FDocuments.size()) return 0;
  TDocument& document = *FDocuments[static_cast<size_t>(info->Index)];
  std::memset(info->HostData1, 0, sizeof info->HostData1);
  std::memset(info->HostData2, 0, sizeof info->HostData2);
  info->Pixels = document.Bitmap.Record().Pixels;
  info->Selection = document.Selection;
  return 1;
}
