#include "ui/FileDialogs.h"

#include <commdlg.h>

#include <vector>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

// Long enough for any path the system takes, with the "\\?\" prefix.
constexpr size_t FileNameCapacity = 32768;

// "Name\0Pattern\0\0", the filter's layout.
std::wstring Filter(const TSaveFileRequest& request) {
  std::wstring filter = WideText(request.FilterName, CP_ACP);
  filter += L'\0';
  filter += WideText(request.FilterPattern, CP_ACP);
  filter += L'\0';
  return filter;
}

}  // namespace

// The host's current folder stays as it was (OFN_NOCHANGEDIR). The folder is not checked
// by the dialog: the save itself reports a missing or read-only folder with the stream's
// error.
bool PromptForSaveFileName(HWND owner, const TSaveFileRequest& request, std::string& fileName) {
  std::vector<wchar_t> name(FileNameCapacity, L'\0');
  const std::wstring defaultName = WideText(request.DefaultName, CP_ACP);
  defaultName.copy(name.data(), name.size() - 1);
  const std::wstring filter = Filter(request);
  const std::wstring extension = WideText(request.DefaultExtension, CP_ACP);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrDefExt = extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) {
    if (const DWORD error = CommDlgExtendedError()) throw Exception(FormatText(S_FILE_DIALOG_ERROR, error));
    return false;
  }
  fileName = FileNameInCodePage(name.data(), GetACP());
  return true;
}

// WC_NO_BEST_FIT_CHARS: a character the code page lacks is reported, not replaced by a
// look-alike that names another file. UTF-8 (the system's code page on Windows 10 1903
// and later, where a user or program chooses it) holds every name, and the conversion
// takes neither that flag nor the report.
std::string FileNameInCodePage(std::wstring_view name, UINT codePage) {
  BOOL lossy = FALSE;
  const bool utf8 = codePage == CP_UTF8;
  std::string narrow = NarrowText(name, codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, utf8 ? nullptr : &lossy);
  if (lossy || (narrow.empty() && !name.empty())) throw Exception(S_FILE_NAME_UNUSABLE);
  return narrow;
}
