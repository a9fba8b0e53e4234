#pragma once
// Putting data on the system's clipboard, replacing what it held: text in the two
// formats that programs read (Unicode, and the ANSI code page for older programs), and a
// device-independent bitmap. A clipboard that stays busy raises an error with the
// system's reason.

#include <string_view>

#include "platform/WinApi.h"

class TDIBitmap;

// `text` is UTF-8.
void CopyTextToClipboard(HWND owner, std::string_view text);
// A 24-bit bitmap, as it shows.
void CopyBitmapToClipboard(HWND owner, const TDIBitmap& bitmap);
