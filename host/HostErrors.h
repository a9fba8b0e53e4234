#pragma once
// How the host tells of an error: a message box, or, in an unattended run where no one
// could close one, a line on the error stream.

#include <exception>

#include "host/HostTexts.h"
#include "platform/WinApi.h"

void SetUnattended(bool unattended) noexcept;
void ReportError(HWND owner, const char* text) noexcept;

// Runs one piece of a Win32 boundary (a window procedure, a callback); whatever it throws
// is reported and the fallback is returned.
template <class Result, class Body>
Result GuardBoundary(HWND owner, Result fallback, Body body) noexcept {
  try {
    return body();
  } catch (const std::exception& error) {
    ReportError(owner, error.what());
  } catch (...) {
    ReportError(owner, S_HOST_UNKNOWN_ERROR);
  }
  return fallback;
}
