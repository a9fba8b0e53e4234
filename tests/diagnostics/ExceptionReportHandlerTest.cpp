// The exception report as the user meets it: errors raised in a form's events reach the
// handler, which shows the three-way offer for faults and a plain error box otherwise,
// while the form's modal loop goes on. The test program is the module here, so a fault's
// message names report_win_tests.exe and the report has no module line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnostics/ExceptionReportHandler.h"
#include "errors/Exceptions.h"
#include "diagnostics/FaultCapture.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"
#include "ui/StyleForm.h"

namespace {

const volatile int* volatile NilData = nullptr;

__attribute__((noinline)) int ReadNil() { return *NilData + 1; }

const TControlDescription CancelOnly[] = {
    {.Name = "Cancel", .Make = MakeControl<TButton>, .Bounds = {100, 100, 75, 25}, .Caption = "Cancel",
     .ModalResult = mrCancel, .Cancel = true},
};
const TFormDescription FaultingForm{
    .Caption = "Faulting form", .Bounds = {100, 100, 300, 200}, .Controls = CancelOnly};

class TFaultingForm : public TForm {
 public:
  using TForm::TForm;
};

std::vector<std::string> ButtonTexts(const TSeenDialog& dialog) {
  std::vector<std::string> texts;
  for (const auto& control : dialog.Controls)
    if (control.ClassName == "Button") texts.push_back(control.Text);
  return texts;
}

class ExceptionReport : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.SetHandle(FMainWindow.Handle());
    InstallExceptionReport();
  }
  void TearDown() override {
    Application.OnException = nullptr;
    Application.SetHandle(nullptr);
  }

  // Shows the form with this OnShow; a watcher answers every window that opens.
  template <class Show>
  int ShowFaultingForm(Show show) {
    auto form = CreateForm<TFaultingForm>(nullptr, FaultingForm);
    form->OnShow = [show](TComponent*) { show(); };
    return form->ShowModal();
  }

  THostMainWindow FMainWindow;
};

TEST_F(ExceptionReport, AFaultInAFormsEventOffersTheReportAndEscapeIgnoresIt) {
  TDialogWatcher watcher(TDialogAnswer::Escape);
  EXPECT_EQ(ShowFaultingForm([] { ReadNil(); }), mrCancel);
  ASSERT_EQ(watcher.Seen.size(), 2u);
  const TSeenDialog& box = watcher.Seen[0];
  EXPECT_NE(box.Find("Static",
                     "Invalid access to memory location in module 'report_win_tests.exe'. Read of NIL pointer."),
            nullptr);
  const std::vector<std::string> offer{"&Ignore", "Send bug report", "Terminate application"};
  EXPECT_EQ(ButtonTexts(box), offer);
  // The modal loop went on: the form itself opened after the box.
  EXPECT_EQ(watcher.Seen[1].Caption, "Faulting form");
}

TEST_F(ExceptionReport, AnErrorOutsideTheFaultClassesGetsAPlainErrorBox) {
  TDialogWatcher watcher(TDialogAnswer::Escape);
  ShowFaultingForm([] { throw EInOutError("The disk is full"); });
  ASSERT_EQ(watcher.Seen.size(), 2u);
  EXPECT_NE(watcher.Seen[0].Find("Static", "The disk is full."), nullptr);
  EXPECT_EQ(ButtonTexts(watcher.Seen[0]), std::vector<std::string>{"OK"});
}

TEST_F(ExceptionReport, TerminateApplicationEndsTheModalLoopWithTheQuitMessage) {
  TDialogWatcher watcher(TDialogAnswer::None, [](HWND dialog) {
    if (FindChild(dialog, "Button", "Terminate application"))
      ClickChild(dialog, "Button", "Terminate application");
  });
  ShowFaultingForm([] { throw EListError("List index out of bounds (5)"); });
  EXPECT_EQ(watcher.Seen.size(), 1u);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(ExceptionReport, AFailureInsideTheHandlerShowsTheSystemsBareExceptionBox) {
  // An access violation whose message is not in the platform's form cannot be read.
  TDialogWatcher watcher(TDialogAnswer::Escape);
  ShowFaultingForm([] { throw EAccessViolation("Access violation, somewhere"); });
  ASSERT_EQ(watcher.Seen.size(), 2u);
  EXPECT_NE(watcher.Seen[0].Find("Static", "Exception"), nullptr);
  EXPECT_EQ(watcher.Seen[0].Owner, nullptr);
}

TEST_F(ExceptionReport, AStyledFormFromItsDescriptionInstallsTheHandlerAgain) {
  using THandler = void (*)(TComponent*, std::exception_ptr) noexcept;
  Application.OnException = [](TComponent*, std::exception_ptr) {};
  TStyleForm message(nullptr, HWND(nullptr));
  EXPECT_EQ(Application.OnException.target<THandler>(), nullptr);
  TStyleForm dialog(nullptr, FaultingForm);
  ASSERT_NE(Application.OnException.target<THandler>(), nullptr);
  EXPECT_EQ(*Application.OnException.target<THandler>(), &ExceptionReportHandler);
}

TEST_F(ExceptionReport, TheReportNamesTheFaultItsTraceTheSenderAndTheSystem) {
  TFaultingForm sender(nullptr, FaultingForm);
  try {
    ReadNil();
  } catch (const EAccessViolation& error) {
    const TReportDetails details = CollectReportDetails(&sender, error, "A message.");
    char address[9];
    std::snprintf(address, sizeof address, "%08X", static_cast<unsigned>(error.Address()));
    EXPECT_EQ(details.ExceptionAddress.substr(0, 8), address);
    std::snprintf(address, sizeof address, "%08X", static_cast<unsigned>(FaultTrace[0]));
    EXPECT_EQ(details.StackTrace.substr(0, 10), std::string("\n\r") + address);
    EXPECT_EQ(details.ApplicationFileName, "report_win_tests.exe");
    EXPECT_EQ(details.ModuleFileName, "");
    EXPECT_EQ(details.Message, "A message.");
    EXPECT_EQ(details.SenderClassName, "TFaultingForm");
    EXPECT_GT(details.WindowsMajor, 0);
    return;
  }
  FAIL() << "nothing raised";
}

uint32_t MadeBefore = 0;

// The address in the caller right behind the call.
__attribute__((noinline)) uint32_t ReturnPoint() {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
}

__attribute__((noinline)) EListError MakeListError() {
  EListError error("Plain");
  MadeBefore = ReturnPoint();
  return error;
}

// An error the code raises itself names the place it was made, in the routine that made it.
TEST_F(ExceptionReport, WithoutSenderOrActiveFormTheReportNamesNeither) {
  const EListError error = MakeListError();
  const TReportDetails details = CollectReportDetails(nullptr, error, "Plain.");
  EXPECT_EQ(details.SenderClassName, "");
  EXPECT_EQ(details.ActiveFormClassName, "");
  EXPECT_GT(error.Address(), reinterpret_cast<uintptr_t>(&MakeListError));
  EXPECT_LT(error.Address(), MadeBefore);
  char address[9];
  std::snprintf(address, sizeof address, "%08X", static_cast<unsigned>(error.Address()));
  EXPECT_EQ(details.ExceptionAddress, address);
}

TEST_F(ExceptionReport, TheMailGoesToTheBuildsReportAddressWithTheReportAsItsBody) {
  const EListError error("List index out of bounds (5)");
  const TMailValues mail = ReportMail(nullptr, error, "List index out of bounds (5).");
  ASSERT_EQ(mail.size(), 3u);
  EXPECT_EQ(mail[0], (std::pair<std::string, std::string>{"to", OSTRAVINE_REPORT_ADDRESS}));
  EXPECT_EQ(mail[1], (std::pair<std::string, std::string>{"subject", "Orvalis Bug report"}));
  EXPECT_EQ(mail[2].first, "body");
  EXPECT_EQ(mail[2].second.rfind("Application: report_win_tests.exe ", 0), 0u);
  EXPECT_NE(mail[2].second.find("\n\rList index out of bounds (5).\n\r"), std::string::npos);
}

}  // namespace
