#include "host/HostErrors.h"

#include <cstdio>

namespace {

bool Unattended = false;

}  // namespace

void SetUnattended(bool unattended) noexcept { Unattended = unattended; }

void ReportError(HWND owner, const char* text) noexcept {
  if (Unattended) {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
  } else {
    MessageBoxA(owner, text, S_HOST_CAPTION, MB_OK | MB_ICONERROR);
  }
}
