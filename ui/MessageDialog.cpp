#include "ui/MessageDialog.h"

#include "resources/Texts.h"
#include "ui/Application.h"

namespace {

UINT CaptionId(TMessageKind kind) {
  switch (kind) {
    case mkWarning: return IDS_MSG_WARNING;
    case mkError: return IDS_MSG_ERROR;
    case mkConfirmation: return IDS_MSG_CONFIRM;
    default: return IDS_MSG_INFORMATION;
  }
}

UINT IconStyle(TMessageKind kind) {
  switch (kind) {
    case mkWarning: return MB_ICONEXCLAMATION;
    case mkError: return MB_ICONHAND;
    case mkConfirmation: return MB_ICONQUESTION;
    case mkCustom: return 0;
    default: return MB_ICONASTERISK;
  }
}

}  // namespace

// The platform's box stands in for the system's own dialog: one OK button, owned by the
// application's window.
int32_t ShowMessageBox(const std::string& text, TMessageKind kind, TMessageButtons, int32_t) {
  const std::string caption = LoadResString(CaptionId(kind));
  MessageBoxA(Application.Handle(), text.c_str(), caption.c_str(), MB_OK | IconStyle(kind));
  return IDOK;
}
