#include "ui/FileDialogs.h"

#include <commdlg.h>

#include <vector>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

// Long enough for any path the system takes, with the "\\?\" prefix.
constexpr size_t FileNameCapacity = 32768;

// "Name\0Pattern\0" a type, the list ended by another NUL (the string's own).
std::wstring Filter(const TSaveFileRequest& request) {
  std::wstring filter;
  for (const TFileType& type : request.Types) {
    filter += WideText(type.Name, CP_ACP);
    filter += L'\0';
    filter += WideText(type.Pattern, CP_ACP);
    filter += L'\0';
  }
  return filter;
}

}  // namespace

// The host's current folder stays as it was (OFN_NOCHANGEDIR). The folder is not checked
// by the dialog: the save itself reports a missing or read-only folder with the stream's
// error.
bool PromptForSaveFileName(HWND owner, const TSaveFileRequest& request, std::string& fileName, size_t* type) {
  std::vector<wchar_t> name(FileNameCapacity, L'\0');
  const std::wstring defaultName = WideText(request.DefaultName, CP_ACP);
  defaultName.copy(name.data(), name.size() - 1);
  const std::wstring filter = Filter(request);
  const std::wstring extension = WideText(request.Types.front().Extension, CP_ACP);
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
  if (type) *type = TypeOfName(request, fileName).value_or(dialog.nFilterIndex > 0 ? dialog.nFilterIndex - 1 : 0);
  return true;
}

std::optional<size_t> TypeOfName(const TSaveFileRequest& request, const std::string& fileName) {
  for (size_t i = 0; i < request.Types.size(); ++i) {
    const std::string& extension = request.Types[i].Extension;
    if (fileName.size() > extension.size() && fileName[fileName.size() - extension.size() - 1] == '.' &&
        lstrcmpiA(fileName.c_str() + fileName.size() - extension.size(), extension.c_str()) == 0)
      return i;
  }
  return std::nullopt;
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
