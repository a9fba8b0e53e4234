// Forms on real windows under the dialog watcher: modal results from Enter, Esc and the
// close box, the owner disabled while the form runs, events, anchors and the controls.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/Exceptions.h"
#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "ui/EventUtils.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

const TControlDescription TestControls[] = {
    {.Name = "Other", .Make = MakeControl<TButton>, .Bounds = {8, 8, 75, 25}, .Caption = "Other", .TabOrder = 3,
     .ModalResult = mrRetry},
    {.Name = "Ok", .Make = MakeControl<TButton>, .Bounds = {160, 170, 75, 25}, .Caption = "OK", .TabOrder = 1,
     .Anchors = akRight | akBottom, .ModalResult = mrOk, .Default = true},
    {.Name = "Cancel", .Make = MakeControl<TButton>, .Bounds = {240, 170, 75, 25}, .Caption = "Cancel",
     .TabOrder = 2, .Anchors = akRight | akBottom, .ModalResult = mrCancel, .Cancel = true},
    {.Name = "Box", .Make = MakeControl<TCheckBox>, .Bounds = {8, 40, 100, 17}, .Caption = "&Box", .TabOrder = 0,
     .Anchors = akLeft | akTop | akRight},
    {.Name = "Group", .Make = MakeControl<TRadioGroup>, .Bounds = {8, 64, 185, 89}, .Caption = "&Plane",
     .TabOrder = 4, .Items = "Gray\nAverage\nAll\nRed\nGreen", .Columns = 2, .ItemIndex = 1},
    {.Name = "Text", .Make = MakeControl<TLabel>, .Bounds = {200, 64, 10, 10}, .Caption = "A & B",
     .ShowAccelChar = false},
};

const TFormDescription TestForm{.Caption = "Test form",
                                .Bounds = {100, 100, 340, 240},
                                .BorderStyle = bsSizeable,
                                .Icon = "MAINICON",
                                .Font = {.Name = "Arial", .Height = -13},
                                .MinSize = {200, 150},
                                .Controls = TestControls};

class Forms : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.SetHandle(FMainWindow.Handle());
    Application.OnException = [this](TComponent*, std::exception_ptr error) { Errors.push_back(ExceptionText(error)); };
  }
  void TearDown() override {
    Application.OnException = nullptr;
    Application.SetHandle(nullptr);
  }

  THostMainWindow FMainWindow;
  std::vector<std::string> Errors;
};

TEST_F(Forms, EnterEscAndTheCloseBoxEndTheModalLoopWithTheirResults) {
  const std::pair<TDialogAnswer, int> cases[] = {
      {TDialogAnswer::Enter, mrOk}, {TDialogAnswer::Escape, mrCancel}, {TDialogAnswer::Close, mrCancel}};
  for (const auto& [answer, result] : cases) {
    auto form = CreateForm<TForm>(nullptr, TestForm);
    TDialogWatcher watcher(answer);
    EXPECT_EQ(form->ShowModal(), result);
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_EQ(watcher.Seen[0].Caption, "Test form");
    EXPECT_EQ(watcher.Seen[0].Owner, FMainWindow.Handle());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
  }
}

TEST_F(Forms, TheDescriptionsIconAndFontReachTheWindows) {
  auto form = CreateForm<TForm>(nullptr, TestForm);
  EXPECT_NE(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_STREQ(form->FontData().lfFaceName, "Arial");
  const auto font = reinterpret_cast<HFONT>(SendMessageA(form->Find<TButton>("Ok")->Handle(), WM_GETFONT, 0, 0));
  LOGFONTA shown{};
  ASSERT_TRUE(GetObjectA(font, sizeof shown, &shown));
  EXPECT_STREQ(shown.lfFaceName, "Arial");
  EXPECT_EQ(shown.lfHeight, -13);
}

TEST_F(Forms, EnterPressesAFocusedPushButtonInsteadOfTheDefault) {
  auto form = CreateForm<TForm>(nullptr, TestForm);
  form->ActiveControl = form->Find<TButton>("Other");
  TDialogWatcher watcher(TDialogAnswer::Enter);
  EXPECT_EQ(form->ShowModal(), mrRetry);
}

TEST_F(Forms, TheOwnerIsDisabledOnlyWhileTheFormRuns) {
  auto form = CreateForm<TForm>(nullptr, TestForm);
  bool ownerEnabled = true;
  TDialogWatcher watcher(TDialogAnswer::Escape, [&](HWND) { ownerEnabled = IsWindowEnabled(FMainWindow.Handle()); });
  form->ShowModal();
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(FMainWindow.Handle()));
}

TEST_F(Forms, EventsFireInOrderAndOnCloseCanKeepTheFormOpen) {
  auto form = std::make_unique<TForm>(nullptr, TestForm);
  std::vector<std::string> events;
  form->OnCreate = [&](TComponent*) { events.push_back("create"); };
  form->OnShow = [&](TComponent*) { events.push_back("show"); };
  form->OnClose = [&](TComponent*, TCloseAction& action) {
    events.push_back("close");
    if (events.size() > 3) return;
    action = caNone;
    RunOnIdle(form.get(), [&](TComponent*) { form->SetModalResult(mrAbort); });
  };
  form->AfterConstruction();
  TDialogWatcher watcher(TDialogAnswer::Escape);
  EXPECT_EQ(form->ShowModal(), mrAbort);
  EXPECT_EQ(events, (std::vector<std::string>{"create", "show", "close", "close"}));
}

TEST_F(Forms, ExceptionsInEventHandlersReachTheExceptionEventAndTheLoopGoesOn) {
  auto form = CreateForm<TForm>(nullptr, TestForm);
  bool idleRan = false;
  form->OnShow = [&](TComponent*) {
    RunOnIdle(form.get(), [&](TComponent*) {
      idleRan = true;
      throw Exception("idle failed");
    });
    throw Exception("show failed");
  };
  form->Find<TCheckBox>("Box")->OnClick = [](TComponent*) { throw Exception("click failed"); };
  TDialogWatcher watcher(TDialogAnswer::Enter, [&](HWND) {
    SendMessageA(form->Find<TCheckBox>("Box")->Handle(), BM_CLICK, 0, 0);
    form->OnResize = [](TComponent*) { throw EOutOfMemory("resize failed"); };
    form->SetWidth(form->Width() + 10);
  });
  watcher.Ready = [&] { return idleRan; };
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(Errors, (std::vector<std::string>{"show failed", "idle failed", "click failed", "resize failed"}));
  EXPECT_FALSE(IdleMulticastExists());
}

TEST_F(Forms, TerminateEndsTheModalLoopAndLeavesTheQuitMessageForTheHost) {
  auto form = CreateForm<TForm>(nullptr, TestForm);
  int closes = 0;
  form->OnClose = [&](TComponent*, TCloseAction& action) {
    ++closes;
    action = caNone;
  };
  form->OnShow = [&](TComponent*) { RunOnIdle(form.get(), [](TComponent*) { Application.Terminate(); }); };
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(Application.Terminated());
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(Forms, AnchoredControlsFollowTheEdgesAndTheMinimumSizeHolds) {
  auto form = CreateForm<TForm>(nullptr, TestForm);
  const TBounds ok = form->Find<TButton>("Ok")->Bounds();
  const TBounds box = form->Find<TCheckBox>("Box")->Bounds();
  const TBounds other = form->Find<TButton>("Other")->Bounds();
  form->SetBounds({100, 100, form->Width() + 40, form->Height() + 30});
  EXPECT_EQ(form->Find<TButton>("Ok")->Bounds(), (TBounds{ok.Left + 40, ok.Top + 30, ok.Width, ok.Height}));
  EXPECT_EQ(form->Find<TCheckBox>("Box")->Bounds(), (TBounds{box.Left, box.Top, box.Width + 40, box.Height}));
  EXPECT_EQ(form->Find<TButton>("Other")->Bounds(), other);
  RECT window;
  GetWindowRect(form->Handle(), &window);
  EXPECT_EQ(window.right - window.left, form->Width());

  SetWindowPos(form->Handle(), nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MINMAXINFO limits{};
  SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 200);
  EXPECT_EQ(limits.ptMinTrackSize.y, 150);
}

TEST_F(Forms, RadioGroupLabelAndCheckBoxKeepTheirState) {
  auto form = CreateForm<TForm>(nullptr, TestForm);
  auto* group = form->Find<TRadioGroup>("Group");
  ASSERT_EQ(group->Controls().size(), 5u);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(SendMessageA(group->Controls()[1]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  // Two columns of three rows: the fourth item heads the second column.
  EXPECT_EQ(group->Controls()[3]->Top(), group->Controls()[0]->Top());
  EXPECT_GT(group->Controls()[3]->Left(), group->Controls()[2]->Left());
  EXPECT_GT(group->Controls()[1]->Top(), group->Controls()[0]->Top());

  int clicks = 0;
  group->OnClick = [&](TComponent* sender) {
    EXPECT_EQ(sender, group);
    ++clicks;
  };
  SendMessageA(group->Controls()[4]->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(group->ItemIndex(), 4);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessageA(group->Controls()[1]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  group->SetEnabled(false);
  group->SetItems({"Real", "Imaginary"});
  ASSERT_EQ(group->Controls().size(), 2u);
  EXPECT_FALSE(IsWindowEnabled(group->Controls()[1]->Handle()));
  group->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(group->Controls()[1]->Handle()));

  auto* text = form->Find<TLabel>("Text");
  EXPECT_TRUE(GetWindowLongA(text->Handle(), GWL_STYLE) & SS_NOPREFIX);
  EXPECT_EQ(text->Caption(), "A & B");
  auto* box = form->Find<TCheckBox>("Box");
  box->SetChecked(true);
  EXPECT_TRUE(box->Checked());
}

}  // namespace
