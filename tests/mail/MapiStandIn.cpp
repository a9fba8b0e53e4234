// A stand-in for the system's mail library (mapi32.dll) in the test prefix: it answers the
// three Simple MAPI calls that the plug-in makes, writes each call with its arguments as one
// line to the file named by OSTRAVINE_MAPI_LOG, and shows the mail as a compose window would
// (a message box with the subject as its caption and the body as its text), so that a test
// reads the mail from the window. OK sends; Cancel answers as a user who gave up.

#include <cstdio>
#include <string>

#include "platform/WinApi.h"

#include <mapi.h>

namespace {

constexpr LHANDLE StandInSession = 0x5E55;

std::string Text(const char* text) { return text ? text : "(null)"; }

void Log(const std::string& line) {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("OSTRAVINE_MAPI_LOG", path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  if (FILE* file = std::fopen(path, "ab")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

std::string Recipients(const MapiMessage& message) {
  std::string text = "recipients=" + std::to_string(message.nRecipCount);
  for (ULONG i = 0; i < message.nRecipCount; ++i) {
    const MapiRecipDesc& recipient = message.lpRecips[i];
    text += " class=" + std::to_string(recipient.ulRecipClass) + " name=" + Text(recipient.lpszName) +
            " address=" + Text(recipient.lpszAddress);
  }
  return text;
}

}  // namespace

extern "C" ULONG WINAPI MAPILogon(ULONG_PTR parent, LPSTR profile, LPSTR password, FLAGS flags, ULONG,
                                  LPLHANDLE session) {
  Log("MAPILogon parent=" + std::to_string(parent) + " profile='" + Text(profile) + "' password='" +
      Text(password) + "' flags=" + std::to_string(flags));
  *session = StandInSession;
  return SUCCESS_SUCCESS;
}

extern "C" ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR parent, lpMapiMessage message, FLAGS flags,
                                     ULONG) {
  Log("MAPISendMail session=" + std::to_string(session) + " flags=" + std::to_string(flags) + " " +
      Recipients(*message) + " subject=" + Text(message->lpszSubject) +
      " files=" + std::to_string(message->nFileCount));
  const int answer = MessageBoxA(reinterpret_cast<HWND>(parent), message->lpszNoteText, message->lpszSubject,
                                 MB_OKCANCEL);
  return answer == IDOK ? SUCCESS_SUCCESS : MAPI_USER_ABORT;
}

extern "C" ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR parent, FLAGS flags, ULONG) {
  Log("MAPILogoff session=" + std::to_string(session) + " parent=" + std::to_string(parent) +
      " flags=" + std::to_string(flags));
  return SUCCESS_SUCCESS;
}
