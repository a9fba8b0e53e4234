#pragma once
// The system's file dialogs, owned by a window of the plug-in.

#include <string>

#include "platform/WinApi.h"

struct TSaveFileRequest {
  // Offered in the name field, in the dialog's current folder.
  std::string DefaultName;
  // The filter's text ("CSV files") and pattern ("*.csv").
  std::string FilterName;
  std::string FilterPattern;
  // Added to a name typed without one ("csv").
  std::string DefaultExtension;
};

// The Save As dialog; true with the chosen file's full name, false when the user cancelled.
// The name is in the ANSI code page, as the file streams take it; a name that the code
// page cannot hold raises an error rather than naming another file.
bool PromptForSaveFileName(HWND owner, const TSaveFileRequest& request, std::string& fileName);

// A file name from the dialog in the code page given (the system's ANSI code page); raises
// when the code page cannot hold it.
std::string FileNameInCodePage(std::wstring_view name, UINT codePage);
