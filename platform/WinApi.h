#pragma once
// The one door to <windows.h>: every Win32 file of the system includes this header instead.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

// The module that holds this code: the plug-in DLL, or a test program linked with it.
HINSTANCE ModuleInstance() noexcept;

// A text of the module's string table; empty when the id is not there.
std::string LoadResString(UINT id);

// The full path of a module's file, the executable's for a null module; empty when the
// system cannot tell it.
std::string ModuleFileName(HMODULE module);

// The system folder, where the system's libraries lie; empty when the system cannot tell it.
std::string SystemFolder();

// A system library loaded by its full path in the system folder, so that no file of the
// same name in the program's folder or the current folder is taken instead; null when the
// system folder has no such library.
HMODULE LoadSystemLibrary(const char* name) noexcept;

// What follows a path's last folder separator.
std::string FileNameOf(const std::string& path);

// The system's own text for an error code, without the line break it ends with.
std::string SystemErrorText(DWORD code);

// Text in the code page given (CP_UTF8, CP_ACP) as UTF-16.
std::wstring WideText(std::string_view text, UINT codePage);
// UTF-16 text in the code page given; `flags` and `lossy` as WideCharToMultiByte takes them
// (lossy is set when a character had no match).
std::string NarrowText(std::wstring_view text, UINT codePage, DWORD flags = 0, BOOL* lossy = nullptr);
// The system's own UTF-8 text (a unit's symbol) for the calls that take the ANSI code page:
// a character the code page lacks becomes its nearest look-alike, or '?'.
std::string AnsiText(std::string_view utf8);
