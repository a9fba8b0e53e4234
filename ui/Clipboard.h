#pragma once
// Putting data on the system's clipboard, replacing what it held: text in the two
// formats that programs read (Unicode, and the ANSI code page for older programs), a
// device-independent bitmap and an enhanced metafile. A clipboard that stays busy raises an
// error with the system's reason.

#include <string_view>

#include "platform/WinApi.h"

class TDIBitmap;

// `text` is UTF-8.
void CopyTextToClipboard(HWND owner, std::string_view text);
// A 24-bit bitmap, as it shows; with a metafile, that too (a copy), for programs that
// paste pictures as drawings.
void CopyBitmapToClipboard(HWND owner, const TDIBitmap& bitmap, HENHMETAFILE drawing = nullptr);
