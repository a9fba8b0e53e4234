#pragma once
// The system's file dialogs, owned by a window of the plug-in.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinApi.h"

// A type the file can be saved as: the filter's text ("CSV files"), its pattern ("*.csv")
// and the extension added to a name typed without one ("csv").
struct TFileType {
  std::string Name;
  std::string Pattern;
  std::string Extension;
};

struct TSaveFileRequest {
  // Offered in the name field, in the dialog's current folder.
  std::string DefaultName;
  // At least one; the first is chosen at first.
  std::vector<TFileType> Types;
};

// The Save As dialog; true with the chosen file's full name and its type, false when the
// user cancelled. The type is the one whose extension the name ends with, else the one
// chosen in the dialog's type list. The name is in the ANSI code page, as the file streams
// take it; a name that the code page cannot hold raises an error rather than naming
// another file.
bool PromptForSaveFileName(HWND owner, const TSaveFileRequest& request, std::string& fileName, size_t* type = nullptr);

// The type of the request whose extension the name ends with (case aside); none otherwise.
std::optional<size_t> TypeOfName(const TSaveFileRequest& request, const std::string& fileName);

// A file name from the dialog in the code page given (the system's ANSI code page); raises
// when the code page cannot hold it.
std::string FileNameInCodePage(std::wstring_view name, UINT codePage);
