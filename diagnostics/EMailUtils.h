#pragma once
// Hands a prepared mail to the user's mail client through Simple MAPI, with the client's
// compose window shown so that the user can edit and send it. The mail is a TMailValues
// list of (name, value) pairs (diagnostics/MailValues.h, portable, so that a caller can
// fill it without the platform): "to", "subject", "body", "attachment0", ...

#include <string>
#include <vector>

#include "diagnostics/MailValues.h"
#include "platform/WinApi.h"

#include <mapi.h>

// The Simple MAPI records of one mail. Every text they point to is a copy owned by this
// object, so the records stay valid exactly as long as it lives; it is neither copied nor
// moved because the records point into it.
class TMapiMail {
 public:
  explicit TMapiMail(const TMailValues& values);
  TMapiMail(const TMapiMail&) = delete;
  TMapiMail& operator=(const TMapiMail&) = delete;

  MapiMessage* Message() noexcept { return &FMessage; }

 private:
  void SetRecipient(const std::string& address);
  void SetFiles(const TMailValues& values);
  static char* TextOrNull(std::string& text) noexcept { return text.empty() ? nullptr : text.data(); }

  std::string FSubject, FBody, FRecipientName, FRecipientAddress;
  std::vector<std::string> FPathNames, FFileNames;
  std::vector<MapiFileDesc> FFiles;
  MapiRecipDesc FRecipient{};
  MapiMessage FMessage{};
};

// The three Simple MAPI calls that sending makes.
struct TMapiFunctions {
  LPMAPILOGON Logon;
  LPMAPISENDMAIL SendMail;
  LPMAPILOGOFF Logoff;
};

// The calls of the mail library at this path, which stays loaded for the rest of the
// process; a library or call that is not there answers 1 without calling anything.
TMapiFunctions BindMapi(const std::string& libraryPath);

// Whether the system registers Simple MAPI: the local-machine value "MAPI" under
// "SOFTWARE\Microsoft\Windows Messaging Subsystem" reads "1".
bool SimpleMapiRegistered();

// The system's mail library (mapi32.dll from the system folder), bound on first use when
// Simple MAPI is registered; otherwise every call answers 1.
const TMapiFunctions& SystemMapi();

// Logs on (logon UI allowed, new session), sends with the compose dialog and logs off;
// owner is the parent of the client's windows. Returns the send call's result (0: sent; a
// cancelled or failed send is no error). A failed logon raises Exception "Error while
// trying to send e-mail". While the send runs, the thread's other windows are disabled.
int SendMail(HWND owner, const TMailValues& values, const TMapiFunctions& mapi);
int SendMail(HWND owner, const TMailValues& values);
