// The mail's Simple MAPI records, the call sequence against a fake mail library, and what
// the system's binding does here.

#include "diagnostics/EMailUtils.h"

#include <gtest/gtest.h>

#include <functional>

#include "errors/Exceptions.h"
#include "tests/TestSupport.h"
#include "platform/Handles.h"

namespace {

std::string TextOf(const char* text) { return text ? text : "<null>"; }

TEST(EMailUtils, BuildsTheRecordsFromTheValues) {
  const TMailValues values = {{"TO", "maker@example.org"},   {"Subject", "Orvalis Bug report"},
                              {"body", "line 1\n\rline 2"},  {"to", "second@example.org"},
                              {"attachment0", "C:\\dir\\a.txt"}, {"ATTACHMENT1", "b.map"},
                              {"attachment2", "D:name.bin"}, {"attachment4", "after a gap"}};
  TMapiMail mail(values);
  const MapiMessage& message = *mail.Message();
  EXPECT_EQ(TextOf(message.lpszSubject), "Orvalis Bug report");
  EXPECT_EQ(TextOf(message.lpszNoteText), "line 1\n\rline 2");
  EXPECT_EQ(message.ulReserved, 0u);
  EXPECT_EQ(message.lpszMessageType, nullptr);
  EXPECT_EQ(message.lpszDateReceived, nullptr);
  EXPECT_EQ(message.lpszConversationID, nullptr);
  EXPECT_EQ(message.flFlags, 0u);
  EXPECT_EQ(message.lpOriginator, nullptr);

  ASSERT_EQ(message.nRecipCount, 1u);
  const MapiRecipDesc& recipient = *message.lpRecips;
  EXPECT_EQ(recipient.ulRecipClass, 1u);
  EXPECT_EQ(TextOf(recipient.lpszName), "maker@example.org") << "the first of equal names counts";
  EXPECT_EQ(TextOf(recipient.lpszAddress), "SMTP:maker@example.org");
  EXPECT_EQ(recipient.ulEIDSize, 0u);
  EXPECT_EQ(recipient.lpEntryID, nullptr);

  ASSERT_EQ(message.nFileCount, 3u) << "counting stops at the first missing number";
  const char* names[] = {"a.txt", "b.map", "name.bin"};
  for (ULONG i = 0; i < 3; ++i) {
    const MapiFileDesc& file = message.lpFiles[i];
    EXPECT_EQ(file.ulReserved, 0u);
    EXPECT_EQ(file.flFlags, 0u);
    EXPECT_EQ(file.nPosition, 0xFFFFFFFFu);
    EXPECT_EQ(TextOf(file.lpszPathName), values[4 + i].second);
    EXPECT_EQ(TextOf(file.lpszFileName), names[i]);
    EXPECT_EQ(file.lpFileType, nullptr);
  }
}

TEST(EMailUtils, AbsentAndEmptyValuesLeaveTheirRecordsOut) {
  TMapiMail recipientOnly({{"to", "maker@example.org"}, {"subject", ""}});
  EXPECT_EQ(recipientOnly.Message()->nRecipCount, 1u);
  EXPECT_EQ(recipientOnly.Message()->lpszSubject, nullptr);
  EXPECT_EQ(recipientOnly.Message()->lpszNoteText, nullptr);
  EXPECT_EQ(recipientOnly.Message()->nFileCount, 0u);
  EXPECT_EQ(recipientOnly.Message()->lpFiles, nullptr);

  TMapiMail emptyTo({{"to", ""}, {"attachment1", "C:\\b.txt"}, {"attachment0", ""}});
  EXPECT_EQ(emptyTo.Message()->nRecipCount, 0u);
  EXPECT_EQ(emptyTo.Message()->lpRecips, nullptr);
  EXPECT_EQ(emptyTo.Message()->nFileCount, 0u) << "attachment0 is empty, so attachment1 is not reached";
}

// Short texts live inside their string objects; the records must point at their final place.
TEST(EMailUtils, ManyShortAttachmentsKeepTheirTexts) {
  TMailValues values;
  for (int i = 0; i < 40; ++i) values.push_back({"attachment" + std::to_string(i), "c:" + std::to_string(i)});
  TMapiMail mail(values);
  ASSERT_EQ(mail.Message()->nFileCount, 40u);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(TextOf(mail.Message()->lpFiles[i].lpszPathName), "c:" + std::to_string(i));
    EXPECT_EQ(TextOf(mail.Message()->lpFiles[i].lpszFileName), std::to_string(i));
  }
}

// A mail library double: records each call with its arguments and what it saw of the
// message and of the test's windows while the send ran.
struct TFakeMapi {
  static inline std::vector<std::string> Calls;
  static inline ULONG LogonResult = SUCCESS_SUCCESS;
  static inline ULONG SendResult = SUCCESS_SUCCESS;
  static inline bool SendRaises = false;
  static inline std::function<void()> DuringSend;

  static ULONG WINAPI Logon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags, ULONG reserved,
                            LPLHANDLE session) {
    Calls.push_back("logon " + std::to_string(ui) + " '" + TextOf(profile) + "' '" + TextOf(password) + "' " +
                    std::to_string(flags) + " " + std::to_string(reserved));
    *session = 77;
    return LogonResult;
  }
  static ULONG WINAPI SendMail(LHANDLE session, ULONG_PTR ui, lpMapiMessage message, FLAGS flags, ULONG reserved) {
    Calls.push_back("send " + std::to_string(session) + " " + std::to_string(ui) + " " + std::to_string(flags) + " " +
                    std::to_string(reserved) + " to " + TextOf(message->lpRecips->lpszAddress) + " subject " +
                    TextOf(message->lpszSubject));
    if (DuringSend) DuringSend();
    if (SendRaises) throw Exception("the client failed");
    return SendResult;
  }
  static ULONG WINAPI Logoff(LHANDLE session, ULONG_PTR ui, FLAGS flags, ULONG reserved) {
    Calls.push_back("logoff " + std::to_string(session) + " " + std::to_string(ui) + " " + std::to_string(flags) + " " +
                    std::to_string(reserved));
    return SUCCESS_SUCCESS;
  }
};

class SendMailCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    TFakeMapi::Calls.clear();
    TFakeMapi::LogonResult = TFakeMapi::SendResult = SUCCESS_SUCCESS;
    TFakeMapi::SendRaises = false;
    TFakeMapi::DuringSend = nullptr;
  }

  int Send() { return SendMail(Owner(), Values, {TFakeMapi::Logon, TFakeMapi::SendMail, TFakeMapi::Logoff}); }
  static HWND Owner() { return reinterpret_cast<HWND>(0x1234); }

  const TMailValues Values = {{"to", "maker@example.org"}, {"subject", "Orvalis Bug report"}, {"body", "report"}};
  const std::vector<std::string> Sequence = {"logon 4660 '' '' 3 0",
                                             "send 77 4660 8 0 to SMTP:maker@example.org subject Orvalis Bug report",
                                             "logoff 77 4660 0 0"};
};

TEST_F(SendMailCalls, LogsOnSendsWithTheComposeDialogAndLogsOff) {
  TFakeMapi::SendResult = MAPI_USER_ABORT;
  EXPECT_EQ(Send(), 1) << "a cancelled send is returned, not raised";
  EXPECT_EQ(TFakeMapi::Calls, Sequence);
}

TEST_F(SendMailCalls, AFailedLogonRaisesAndNothingElseIsCalled) {
  TFakeMapi::LogonResult = MAPI_E_LOGIN_FAILURE;
  EXPECT_EQ(MessageOf<Exception>([&] { Send(); }), "Error while trying to send e-mail");
  EXPECT_EQ(TFakeMapi::Calls, std::vector<std::string>{Sequence[0]});
}

TEST_F(SendMailCalls, ASendThatRaisesStillLogsOff) {
  TFakeMapi::SendRaises = true;
  EXPECT_EQ(MessageOf<Exception>([&] { Send(); }), "the client failed");
  EXPECT_EQ(TFakeMapi::Calls, Sequence);
}

// Shown without activation, so that the windows of tests running beside this one keep
// the focus.
TWindowHandle PopupWindow(bool visible, DWORD style) {
  TWindowHandle window(CreateWindowExA(WS_EX_NOACTIVATE, "STATIC", "mail test", WS_POPUP | style, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr));
  if (visible) ShowWindow(window.Get(), SW_SHOWNA);
  return window;
}

TEST_F(SendMailCalls, TheThreadsWindowsAreDisabledWhileTheSendRuns) {
  const TWindowHandle visible = PopupWindow(true, 0);
  const TWindowHandle disabled = PopupWindow(true, WS_DISABLED);
  const TWindowHandle hidden = PopupWindow(false, 0);
  ASSERT_TRUE(visible && disabled && hidden);
  std::vector<bool> enabledDuringSend;
  TFakeMapi::DuringSend = [&] {
    for (HWND window : {visible.Get(), disabled.Get(), hidden.Get()})
      enabledDuringSend.push_back(IsWindowEnabled(window));
  };
  for (bool raises : {false, true}) {
    enabledDuringSend.clear();
    TFakeMapi::SendRaises = raises;
    MessageOf<Exception>([&] { Send(); });
    EXPECT_EQ(enabledDuringSend, (std::vector<bool>{false, false, true})) << raises;
    EXPECT_TRUE(IsWindowEnabled(visible.Get())) << raises;
    EXPECT_FALSE(IsWindowEnabled(disabled.Get())) << raises;
    EXPECT_TRUE(IsWindowEnabled(hidden.Get())) << raises;
  }
}

TEST(EMailUtilsSystem, AMissingMailLibraryFailsTheLogonWithoutCallingAnything) {
  char folder[MAX_PATH];
  GetSystemDirectoryA(folder, MAX_PATH);
  const TMapiFunctions missing = BindMapi(std::string(folder) + "\\no mail client here.dll");
  EXPECT_EQ(missing.SendMail(0, 0, nullptr, 0, 0), 1u);
  EXPECT_EQ(missing.Logoff(0, 0, 0, 0), 1u);
  EXPECT_EQ(MessageOf<Exception>([&] { SendMail(nullptr, {{"to", "maker@example.org"}}, missing); }),
            "Error while trying to send e-mail");
}

// Wine registers Simple MAPI and its mapi32.dll logs on without any mail client; the send
// itself is not made here, it would hand a mailto: link to the desktop.
TEST(EMailUtilsSystem, WinesMailLibraryLogsOnAndOff) {
  EXPECT_TRUE(SimpleMapiRegistered());
  const TMapiFunctions& mapi = SystemMapi();
  char empty[] = "";
  LHANDLE session = 0;
  const ULONG logon = mapi.Logon(0, empty, empty, MAPI_LOGON_UI | MAPI_NEW_SESSION, 0, &session);
  EXPECT_EQ(logon, SUCCESS_SUCCESS);
  EXPECT_EQ(mapi.Logoff(session, 0, 0, 0), SUCCESS_SUCCESS);
}

}  // namespace
