#include "diagnostics/EMailUtils.h"

#include <string_view>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "platform/Handles.h"

namespace {

// The attachment sits after the body text, not inside it.
constexpr ULONG NoPosition = 0xFFFFFFFF;

// Disables the thread's enabled, visible top-level windows for one scope, as a modal
// window does, and enables them again.
class TTaskWindowsDisabler {
 public:
  TTaskWindowsDisabler() {
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&FWindows));
    for (HWND window : FWindows) EnableWindow(window, FALSE);
  }
  ~TTaskWindowsDisabler() {
    for (HWND window : FWindows) EnableWindow(window, TRUE);
  }
  TTaskWindowsDisabler(const TTaskWindowsDisabler&) = delete;
  TTaskWindowsDisabler& operator=(const TTaskWindowsDisabler&) = delete;

 private:
  // No exception may cross the enumeration: a window that cannot be listed stays enabled.
  static BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) noexcept {
    try {
      if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
      return TRUE;
    } catch (...) {
      return FALSE;
    }
  }

  std::vector<HWND> FWindows;
};

// Logs off when the scope ends, on every path after a successful logon.
class TMapiSession {
 public:
  TMapiSession(const TMapiFunctions& mapi, LHANDLE session, ULONG_PTR owner) noexcept
      : FMapi(mapi), FSession(session), FOwner(owner) {}
  ~TMapiSession() { FMapi.Logoff(FSession, FOwner, 0, 0); }
  TMapiSession(const TMapiSession&) = delete;
  TMapiSession& operator=(const TMapiSession&) = delete;
  LHANDLE Get() const noexcept { return FSession; }

 private:
  const TMapiFunctions& FMapi;
  LHANDLE FSession;
  ULONG_PTR FOwner;
};

LHANDLE Logon(const TMapiFunctions& mapi, ULONG_PTR owner) {
  // Empty texts, not null, for profile and password: the client's default profile.
  char profile[] = "";
  char password[] = "";
  LHANDLE session = 0;
  if (mapi.Logon(owner, profile, password, MAPI_LOGON_UI | MAPI_NEW_SESSION, 0, &session) != SUCCESS_SUCCESS)
    throw Exception(S_MAIL_ERROR);
  return session;
}

ULONG WINAPI UnavailableLogon(ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPLHANDLE) { return MAPI_USER_ABORT; }
ULONG WINAPI UnavailableSendMail(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG) { return MAPI_USER_ABORT; }
ULONG WINAPI UnavailableLogoff(LHANDLE, ULONG_PTR, FLAGS, ULONG) { return MAPI_USER_ABORT; }

constexpr TMapiFunctions UnavailableMapi = {UnavailableLogon, UnavailableSendMail, UnavailableLogoff};

template <class TFunction>
TFunction Bind(HMODULE library, const char* name, TFunction unavailable) {
  const FARPROC function = library ? GetProcAddress(library, name) : nullptr;
  return function ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(function)) : unavailable;
}

}  // namespace

TMapiMail::TMapiMail(const TMailValues& values)
    : FSubject(MailValue(values, "subject")), FBody(MailValue(values, "body")) {
  SetRecipient(MailValue(values, "to"));
  SetFiles(values);
  FMessage.lpszSubject = TextOrNull(FSubject);
  FMessage.lpszNoteText = TextOrNull(FBody);
}

void TMapiMail::SetRecipient(const std::string& address) {
  if (address.empty()) return;
  FRecipientName = address;
  FRecipientAddress = "SMTP:" + address;
  FRecipient.ulRecipClass = MAPI_TO;
  FRecipient.lpszName = FRecipientName.data();
  FRecipient.lpszAddress = FRecipientAddress.data();
  FMessage.nRecipCount = 1;
  FMessage.lpRecips = &FRecipient;
}

// The texts are all in place before the records point into them: a growing vector would
// move short texts that live inside their string object.
void TMapiMail::SetFiles(const TMailValues& values) {
  FPathNames = MailAttachments(values);
  for (const std::string& path : FPathNames) FFileNames.push_back(AttachmentFileName(path));
  FFiles.resize(FPathNames.size());
  for (size_t i = 0; i < FFiles.size(); ++i) {
    FFiles[i].nPosition = NoPosition;
    FFiles[i].lpszPathName = FPathNames[i].data();
    FFiles[i].lpszFileName = FFileNames[i].data();
  }
  FMessage.nFileCount = static_cast<ULONG>(FFiles.size());
  FMessage.lpFiles = FFiles.empty() ? nullptr : FFiles.data();
}

TMapiFunctions BindMapi(const std::string& libraryPath) {
  // Never freed: a mail client may still run threads in it after the logoff, and the only
  // later moment would be the plug-in's unload, where FreeLibrary must not be called.
  const HMODULE library = LoadLibraryA(libraryPath.c_str());
  return {Bind(library, "MAPILogon", UnavailableMapi.Logon), Bind(library, "MAPISendMail", UnavailableMapi.SendMail),
          Bind(library, "MAPILogoff", UnavailableMapi.Logoff)};
}

bool SimpleMapiRegistered() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  const TRegKeyHandle keyHandle(key);
  char value[4] = {};
  DWORD type = 0;
  DWORD size = sizeof value - 1;
  if (RegQueryValueExA(key, "MAPI", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
    return false;
  return (type == REG_SZ || type == REG_EXPAND_SZ) && std::string_view(value) == "1";
}

const TMapiFunctions& SystemMapi() {
  // Taken from the system folder by full path, never from the host's folder or the
  // current directory, where any file named mapi32.dll would be run.
  static const TMapiFunctions mapi = [] {
    const std::string folder = SystemFolder();
    return SimpleMapiRegistered() && !folder.empty() ? BindMapi(folder + "\\mapi32.dll") : UnavailableMapi;
  }();
  return mapi;
}

// Destruction order is the release order: windows enabled, copies freed, then logoff.
int SendMail(HWND owner, const TMailValues& values, const TMapiFunctions& mapi) {
  const ULONG_PTR ui = reinterpret_cast<ULONG_PTR>(owner);
  const TMapiSession session(mapi, Logon(mapi, ui), ui);
  TMapiMail mail(values);
  const TTaskWindowsDisabler disabled;
  return static_cast<int>(mapi.SendMail(session.Get(), ui, mail.Message(), MAPI_DIALOG, 0));
}

int SendMail(HWND owner, const TMailValues& values) { return SendMail(owner, values, SystemMapi()); }
