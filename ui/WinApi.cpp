#include "ui/WinApi.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ModuleInstance() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::string LoadResString(UINT id) {
  // With a zero buffer size LoadStringA is not required to hand out a pointer, so the text
  // is copied into a buffer as long as a string-table entry can be.
  char text[4097];
  const int length = LoadStringA(ModuleInstance(), id, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}
