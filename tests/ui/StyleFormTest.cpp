// The styled form: frame compensation against other metrics, the styling switch in the
// registry, the cursor, minimize and keyboard-cue rules.

#include <gtest/gtest.h>

#include <vector>

#include "tests/host/HostDouble.h"
#include "ui/EventUtils.h"
#include "ui/StdCtrls.h"
#include "ui/StyleForm.h"

namespace {

const TControlDescription Controls[] = {
    {.Name = "Corner", .Make = MakeControl<TButton>, .Bounds = {200, 150, 75, 25}, .Caption = "Close",
     .Anchors = akRight | akBottom},
    {.Name = "Wide", .Make = MakeControl<TCheckBox>, .Bounds = {8, 8, 200, 17}, .Caption = "Box",
     .Anchors = akLeft | akTop | akRight},
    {.Name = "Group", .Make = MakeControl<TRadioGroup>, .Bounds = {8, 40, 150, 80}, .Caption = "Plane",
     .Anchors = akLeft | akBottom, .Items = "A\nB"},
};

TFormDescription Described(TBorderStyle border, TPosition position = poDesigned) {
  return {.Caption = "Styled", .Bounds = {50, 60, 300, 220}, .BorderStyle = border, .Position = position,
          .Controls = Controls};
}

std::vector<TBounds> BoundsOfAll(const TWinControl& root) {
  std::vector<TBounds> all;
  for (TWinControl* control : root.Controls()) {
    all.push_back(control->Bounds());
    for (const TBounds& inner : BoundsOfAll(*control)) all.push_back(inner);
  }
  return all;
}

TEST(StyleForm, FrameGrowthFollowsTheBorderStyle) {
  const TFrameMetrics other{6, 5, 4, 2, 30, 21};
  const std::pair<TBorderStyle, SIZE> cases[] = {{bsSizeable, {4, 2 + 4}}, {bsSizeToolWin, {4, 2 + 3}},
                                                 {bsSingle, {2, -2}},      {bsDialog, {2, -2}},
                                                 {bsToolWindow, {2, -2}},  {bsNone, {0, 0}}};
  for (const auto& [border, growth] : cases) {
    const SIZE reference = FrameGrowth(border, ReferenceFrameMetrics);
    EXPECT_EQ(reference.cx, 0);
    EXPECT_EQ(reference.cy, 0);
    EXPECT_EQ(FrameGrowth(border, other).cx, growth.cx) << int(border);
    EXPECT_EQ(FrameGrowth(border, other).cy, growth.cy) << int(border);
  }
}

TEST(StyleForm, ConstructionGrowsTheFormByTheSystemsMetrics) {
  for (TBorderStyle border : {bsSizeable, bsDialog}) {
    const auto form = CreateForm<TStyleForm>(nullptr, Described(border));
    const SIZE growth = FrameGrowth(border, SystemFrameMetrics());
    EXPECT_EQ(form->Bounds(), (TBounds{50, 60, 300 + growth.cx, 220 + growth.cy}));
  }
  const auto placedBySystem = CreateForm<TStyleForm>(nullptr, Described(bsSizeable, poDefault));
  EXPECT_EQ(placedBySystem->Width(), 300);
  EXPECT_EQ(placedBySystem->Height(), 220);
}

TEST(StyleForm, CompensationMovesNoControlAndKeepsOnResizeSilent) {
  const auto form = CreateForm<TStyleForm>(nullptr, Described(bsSizeable));
  int resizes = 0;
  form->OnResize = [&](TComponent*) { ++resizes; };
  const TBounds before = form->Bounds();
  const std::vector<TBounds> controls = BoundsOfAll(*form);

  form->CompensateFrameMetrics(ReferenceFrameMetrics);
  EXPECT_EQ(form->Bounds(), before);

  form->CompensateFrameMetrics({6, 5, 3, 3, 30, 18});
  EXPECT_EQ(form->Bounds(), (TBounds{before.Left, before.Top, before.Width + 4, before.Height + 6}));
  EXPECT_EQ(BoundsOfAll(*form), controls);
  EXPECT_EQ(resizes, 0);
  EXPECT_EQ(form->Find<TButton>("Corner")->Anchors(), akRight | akBottom);
  EXPECT_EQ(form->Find<TRadioGroup>("Group")->Anchors(), akLeft | akBottom);

  // Afterwards the anchors and the handler work again.
  form->SetBounds({before.Left, before.Top, before.Width + 14, before.Height + 16});
  EXPECT_EQ(resizes, 1);
  const TBounds corner = controls[0];
  EXPECT_EQ(form->Find<TButton>("Corner")->Bounds(),
            (TBounds{corner.Left + 10, corner.Top + 10, corner.Width, corner.Height}));
}

// A registry value for one test, removed afterwards.
class TScopedValue {
 public:
  TScopedValue(HKEY hive, DWORD type, const void* data, DWORD size) : FHive(hive) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(hive, "Software\\Orvalis", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const TRegKeyHandle owned(key);
    EXPECT_EQ(RegSetValueExA(key, "UseStyleForm", 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  }
  ~TScopedValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(FHive, "Software\\Orvalis", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    const TRegKeyHandle owned(key);
    RegDeleteValueA(key, "UseStyleForm");
  }

 private:
  HKEY FHive;
};

TEST(StyleForm, EitherHiveCanSwitchStylingOffAndNeitherOn) {
  const DWORD on = 1;
  const DWORD off = 0;
  EXPECT_TRUE(RegistryAllowsStyling());
  {
    const TScopedValue user(HKEY_CURRENT_USER, REG_DWORD, &on, sizeof on);
    EXPECT_TRUE(RegistryAllowsStyling());
    const TScopedValue machine(HKEY_LOCAL_MACHINE, REG_DWORD, &off, sizeof off);
    EXPECT_FALSE(RegistryAllowsStyling());
  }
  {
    const TScopedValue user(HKEY_CURRENT_USER, REG_DWORD, &off, sizeof off);
    EXPECT_FALSE(RegistryAllowsStyling());
  }
  {
    const TScopedValue text(HKEY_CURRENT_USER, REG_SZ, "0", 2);
    EXPECT_TRUE(RegistryAllowsStyling());
  }

  const bool wasEnabled = StylingEnabled;
  if (RunsOnVistaOrLater()) {
    EXPECT_FALSE(StylingEnabled);
  }
  StylingEnabled = false;
  ReadStylingSwitch();
  EXPECT_FALSE(StylingEnabled);
  StylingEnabled = wasEnabled;
}

TEST(StyleForm, TheScreenCursorShowsOverTheCaption) {
  const auto form = CreateForm<TStyleForm>(nullptr, Described(bsSizeable));
  const auto setCursor = [&](int hitTest) {
    SendMessageA(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()),
                 MAKELPARAM(hitTest, WM_MOUSEMOVE));
  };
  Screen.SetCursor(IDC_WAIT);
  SetCursor(LoadCursorA(nullptr, IDC_CROSS));
  setCursor(HTCAPTION);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  SetCursor(LoadCursorA(nullptr, IDC_CROSS));
  setCursor(HTERROR);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));

  Screen.SetCursor(nullptr);
  setCursor(HTCLOSE);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

TEST(StyleForm, MinimizingASecondaryFormMinimizesTheApplication) {
  THostMainWindow mainWindow;
  Application.SetHandle(mainWindow.Handle());
  const auto mainForm = CreateForm<TStyleForm>(nullptr, Described(bsSizeable));
  const auto secondary = CreateForm<TStyleForm>(nullptr, Described(bsSizeable));
  secondary->Show();
  SendMessageA(secondary->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(secondary->Handle()));
  ShowWindow(secondary->Handle(), SW_RESTORE);

  Application.MainForm = mainForm.get();
  SendMessageA(secondary->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsIconic(secondary->Handle()));
  EXPECT_TRUE(IsIconic(mainWindow.Handle()));
  Application.MainForm = nullptr;
  Application.SetHandle(nullptr);
}

TEST(StyleForm, AKeyboardCueChangeRepaintsTheButtonsAtTheNextIdleMoment) {
  if (!RunsOnVistaOrLater()) GTEST_SKIP() << "the rule holds from Windows 6 on";
  const auto form = CreateForm<TStyleForm>(nullptr, Described(bsSizeable));
  const size_t components = form->Components().size();
  SendMessageA(form->Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  EXPECT_TRUE(IdleMulticastExists());
  EXPECT_EQ(form->Components().size(), components + 1);
  Application.Idle();
  EXPECT_FALSE(IdleMulticastExists());
  EXPECT_EQ(form->Components().size(), components);
}

TEST(StyleForm, AnOwnerWindowOwnsTheNativeWindow) {
  THostMainWindow owner;
  const auto form = CreateForm<TStyleForm>(nullptr, owner.Handle());
  EXPECT_EQ(form->OwnerWindow(), owner.Handle());
  EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), owner.Handle());
}

}  // namespace
