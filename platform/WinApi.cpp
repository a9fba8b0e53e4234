#include "platform/WinApi.h"

#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ModuleInstance() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::string LoadResString(UINT id) {
  // With a zero buffer size LoadStringA is not required to hand out a pointer, so the text
  // is copied into a buffer as long as a string-table entry can be.
  char text[4097];
  const int length = LoadStringA(ModuleInstance(), id, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

// GetModuleFileNameA cuts the path to the buffer without saying so, so the buffer grows
// until the path fits.
std::string ModuleFileName(HMODULE module) {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) return std::string(path.data(), length);
    if (path.size() > 32768) return std::string();
    path.resize(path.size() * 2);
  }
}

std::string SystemFolder() {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, sizeof folder);
  return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

HMODULE LoadSystemLibrary(const char* name) noexcept {
  const std::string folder = SystemFolder();
  return folder.empty() ? nullptr : LoadLibraryA((folder + "\\" + name).c_str());
}

std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// FormatMessageA ends its texts with a line break, which does not belong inside ours.
std::string SystemErrorText(DWORD code) {
  char text[512];
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
    message.pop_back();
  return message.empty() ? std::to_string(code) : message;
}

std::string NarrowText(std::wstring_view text, UINT codePage, DWORD flags, BOOL* lossy) {
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, lossy);
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), length, narrow.data(), size, nullptr, lossy);
  return narrow;
}

std::string AnsiText(std::string_view utf8) { return NarrowText(WideText(utf8, CP_UTF8), CP_ACP); }

std::wstring WideText(std::string_view text, UINT codePage) {
  const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}
