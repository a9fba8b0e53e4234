#include "ui/Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/ScalableFont.h"
#include "ui/StdCtrls.h"

namespace {

LOGFONTA FontFrom(const TFontDescription& description) noexcept {
  LOGFONTA font{};
  font.lfHeight = description.Height;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = description.Charset;
  std::strncpy(font.lfFaceName, description.Name, LF_FACESIZE - 1);
  return font;
}

DWORD BorderIconStyle(TBorderStyle border, TBorderIcons icons) noexcept {
  if (!(icons & biSystemMenu) || border == bsNone) return 0;
  DWORD style = WS_SYSMENU;
  if (border == bsDialog || border == bsToolWindow || border == bsSizeToolWin) return style;
  if (icons & biMinimize) style |= WS_MINIMIZEBOX;
  if (icons & biMaximize) style |= WS_MAXIMIZEBOX;
  return style;
}

// An icon of this module in the size of a system metric; null for no name. The handles are
// shared (the system frees them with the module), so each is loaded once for the library's
// life.
HICON ModuleIcon(const char* name, int metric) noexcept {
  if (!name) return nullptr;
  struct TLoaded {
    std::string Name;
    int Size;
    HICON Icon;
  };
  static std::vector<TLoaded> loaded;
  char number[16];
  if (IS_INTRESOURCE(name)) {
    std::snprintf(number, sizeof number, "#%u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(name)));
    name = number;
  }
  const int size = GetSystemMetrics(metric);
  for (const TLoaded& icon : loaded)
    if (icon.Size == size && icon.Name == name) return icon.Icon;
  const auto icon = static_cast<HICON>(LoadImageA(ModuleInstance(), name, IMAGE_ICON, size, size, LR_SHARED));
  try {
    if (icon) loaded.push_back({name, size, icon});
  } catch (...) {
    // Not kept: loaded again next time.
  }
  return icon;
}

int Scale(int value, int to, int from) noexcept { return MulDiv(value, to, from); }

TBounds Scale(const TBounds& bounds, int to, int from) noexcept {
  return {Scale(bounds.Left, to, from), Scale(bounds.Top, to, from), Scale(bounds.Width, to, from),
          Scale(bounds.Height, to, from)};
}

// The message the system sends a window whose monitor's resolution changed (Windows 8.1
// and later); older headers do not name it.
constexpr UINT DpiChangedMessage = 0x02E0;

template <class Visit>
void ForEachControl(const TWinControl& root, Visit visit) {
  for (TWinControl* control : root.Controls()) {
    visit(*control);
    ForEachControl(*control, visit);
  }
}

}  // namespace

TScaledDescription::TScaledDescription(const TFormDescription& description, int pixelsPerInch)
    : FControls(description.Controls.begin(), description.Controls.end()), FDescription(description) {
  const int from = description.PixelsPerInch;
  if (!description.Scaled || pixelsPerInch == from) return;
  TBounds& bounds = FDescription.Bounds;
  bounds.Width = Scale(bounds.Width, pixelsPerInch, from);
  bounds.Height = Scale(bounds.Height, pixelsPerInch, from);
  FDescription.MinSize = {Scale(description.MinSize.cx, pixelsPerInch, from),
                          Scale(description.MinSize.cy, pixelsPerInch, from)};
  FDescription.Font.Height = Scale(description.Font.Height, pixelsPerInch, from);
  FDescription.PixelsPerInch = pixelsPerInch;
  for (TControlDescription& control : FControls) control.Bounds = Scale(control.Bounds, pixelsPerInch, from);
  FDescription.Controls = FControls;
}

TScaledClientForm::TScaledClientForm(TComponent* owner, const TFormDescription& description, HWND ownerWindow)
    : TForm(owner, TScaledDescription(description, Screen.FormPixelsPerInch()).Description(), ownerWindow) {
  SetClientSize(MulDiv(description.Bounds.Width, PixelsPerInch(), description.PixelsPerInch),
                MulDiv(description.Bounds.Height, PixelsPerInch(), description.PixelsPerInch));
}

TForm* ParentForm(TWinControl* control) noexcept {
  while (control && control->Parent()) control = control->Parent();
  return dynamic_cast<TForm*>(control);
}

TForm::TForm(TComponent* owner, HWND ownerWindow) : TWinControl(owner) {
  SetBounds({0, 0, 320, 240});
  FFontData = FontFrom(TFontDescription{});
  CreateTopLevel(ownerWindow ? ownerWindow : Application.Handle(), "");
  SetFontData(FFontData);
}

TForm::TForm(TComponent* owner, const TFormDescription& description, HWND ownerWindow) : TWinControl(owner) {
  FBorderStyle = description.BorderStyle;
  FBorderIcons = description.BorderIcons;
  FColor = description.Color;
  Position = description.Position;
  WindowState = description.WindowState;
  Scaled = description.Scaled;
  MinSize = description.MinSize;
  FPixelsPerInch = description.PixelsPerInch;
  FSmallIcon = ModuleIcon(description.Icon, SM_CXSMICON);
  FBigIcon = ModuleIcon(description.Icon, SM_CXICON);
  SetBounds(description.Bounds);
  CreateTopLevel(ownerWindow ? ownerWindow : Application.Handle(), description.Caption);
  SetFontData(FontFrom(description.Font));
  LoadControls(description.Controls);
}

// The controls go before the font and the brush that they use.
TForm::~TForm() {
  DestroyControls();
  if (Screen.ActiveForm == this) Screen.ActiveForm = nullptr;
  if (Application.MainForm == this) Application.MainForm = nullptr;
}

// The controls are created in their tab order: the dialog manager walks the windows in the
// order they were made.
void TForm::LoadControls(std::span<const TControlDescription> controls) {
  std::vector<const TControlDescription*> ordered;
  for (const auto& control : controls) ordered.push_back(&control);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const auto* a, const auto* b) { return a->TabOrder < b->TabOrder; });
  for (const TControlDescription* description : ordered) {
    TWinControl* control = description->Make(this);
    control->Load(*description);
    control->SetParent(this);
  }
}

// Set while the window is being made, before anything is drawn. The small icon goes
// first: a big icon set alone has the system shrink a copy of it for the caption.
void TForm::SetIcons() noexcept {
  if (FSmallIcon) SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FSmallIcon));
  if (FBigIcon) SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FBigIcon));
}

void TForm::AfterConstruction() {
  GuardEvent(this, [this] {
    if (OnCreate) OnCreate(this);
  });
}

TWinControl::TCreateParams TForm::CreateParams() const {
  DWORD style = WS_CLIPCHILDREN | BorderIconStyle(FBorderStyle, FBorderIcons);
  DWORD exStyle = WS_EX_CONTROLPARENT;
  switch (FBorderStyle) {
    case bsNone: style |= WS_POPUP; break;
    case bsSingle: style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      style |= WS_POPUP | WS_CAPTION;
      exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow: style |= WS_CAPTION; exStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin: style |= WS_CAPTION | WS_THICKFRAME; exStyle |= WS_EX_TOOLWINDOW; break;
  }
  return {FormClassName(), style, exStyle};
}

void TForm::SetBorderStyle(TBorderStyle style) noexcept {
  FBorderStyle = style;
  const TCreateParams params = CreateParams();
  const LONG visible = GetWindowLongA(Handle(), GWL_STYLE) & WS_VISIBLE;
  SetWindowLongA(Handle(), GWL_STYLE, LONG(params.Style) | visible);
  SetWindowLongA(Handle(), GWL_EXSTYLE, LONG(params.ExStyle));
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetClientSize(int width, int height) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, DWORD(GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongA(Handle(), GWL_EXSTYLE)));
  SetBounds({Left(), Top(), rect.right - rect.left, rect.bottom - rect.top});
}

HBRUSH TForm::BackgroundBrush() noexcept {
  if (FColor & SystemColorFlag) return GetSysColorBrush(FColor & 0xFF);
  if (!FBrush) FBrush.Reset(CreateSolidBrush(ColorToRGB(FColor)));
  return FBrush.Get();
}

// The font data stay as designed; the font made of them is one that grows with them.
void TForm::SetFontData(const LOGFONTA& font) {
  FFontData = font;
  const LOGFONTA scalable = ScalableFont(font);
  TFontHandle created(CreateFontIndirectA(&scalable));
  SetFont(created.Get());
  FFontHandle = std::move(created);
}

TWinControl* TForm::FindControl(const std::string& name) const noexcept {
  TWinControl* found = nullptr;
  ForEachControl(*this, [&](TWinControl& control) {
    if (!found && control.Name == name) found = &control;
  });
  return found;
}

bool TForm::IsShortCut(WORD key) noexcept {
  return GuardEvent(this, [&] { return OnShortCut && OnShortCut(key); });
}

void TForm::Show() {
  GuardEvent(this, [this] {
    if (OnShow) OnShow(this);
  });
  if (Position == poScreenCenter)
    SetBounds({(Screen.Width() - Width()) / 2, (Screen.Height() - Height()) / 2, Width(), Height()});
  ShowWindow(Handle(), WindowState == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  SetForegroundWindow(Handle());
  SetActiveWindow(Handle());
}

void TForm::Hide() noexcept {
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// As a dialog box does, the owner is disabled while the form runs and enabled again before
// the form hides, so that the activation goes back to the owner. A quit message that ends
// the loop is posted again, so the loops around this one end too.
int TForm::ShowModal() {
  const HWND owner = GetWindow(Handle(), GW_OWNER);
  const bool disableOwner = owner && IsWindowEnabled(owner);
  FModal = true;
  FModalResult = mrNone;
  struct TRestore {
    TForm& Form;
    HWND Owner;
    bool Enable;
    ~TRestore() {
      Form.FModal = false;
      if (Enable) EnableWindow(Owner, TRUE);
      Form.Hide();
      if (Application.Terminated()) {
        Application.ClearTerminated();
        PostQuitMessage(Application.QuitCode());
      }
    }
  } restore{*this, owner, disableOwner};
  if (disableOwner) EnableWindow(owner, FALSE);
  Show();
  RunModalLoop();
  return FModalResult;
}

// An idle action may end the form; the loop then ends without waiting for a message.
void TForm::RunModalLoop() {
  while (FModalResult == mrNone) {
    if (!Application.ProcessMessage() && Application.Idle() && FModalResult == mrNone) WaitMessage();
    if (Application.Terminated()) {
      CloseModal();
      if (FModalResult == mrNone) FModalResult = mrCancel;
    } else if (FModalResult != mrNone) {
      CloseModal();
    }
  }
}

// OnClose may keep the form open (caNone). What it raises is reported and keeps it open.
void TForm::CloseModal() {
  TCloseAction action = caHide;
  try {
    DoClose(action);
  } catch (...) {
    action = caNone;
    Application.HandleException(this);
  }
  if (action == caNone) FModalResult = mrNone;
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Close() {
  if (FModal) return SetModalResult(mrCancel);
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caHide) Hide();
}

void TForm::Activated(bool active) noexcept {
  if (!active) {
    const HWND focus = GetFocus();
    if (focus && IsChild(Handle(), focus)) FFocused = focus;
    if (Screen.ActiveForm == this) Screen.ActiveForm = nullptr;
    return;
  }
  Screen.ActiveForm = this;
  HWND target = FFocused && IsChild(Handle(), FFocused) ? FFocused : nullptr;
  if (!target && ActiveControl) target = ActiveControl->Handle();
  if (!target) target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
  ::SetFocus(target ? target : Handle());
}

TButton* TForm::FindButton(bool (*match)(const TButton&, int), int value) const noexcept {
  TButton* found = nullptr;
  ForEachControl(*this, [&](TWinControl& control) {
    auto* button = dynamic_cast<TButton*>(&control);
    if (!found && button && button->Visible() && button->Enabled() && match(*button, value)) found = button;
  });
  return found;
}

// Enter presses the push button that has the focus, else the default button.
LRESULT TForm::DefaultButtonId() const noexcept {
  auto* button = dynamic_cast<TButton*>(FromHandle(GetFocus()));
  if (!button || ParentForm(button) != this)
    button = FindButton([](const TButton& b, int) { return b.Default(); }, 0);
  return button ? MAKELRESULT(GetDlgCtrlID(button->Handle()), DC_HASDEFID) : 0;
}

// The dialog manager sends Esc as IDCANCEL and Enter as the default button's id, with no
// window when the button is not a direct child of the form.
void TForm::Command(WPARAM wParam, LPARAM lParam, TMessage& message) {
  if (lParam) return TWinControl::WndProc(message);
  const int id = LOWORD(wParam);
  TButton* button = id == IDCANCEL
                        ? FindButton([](const TButton& b, int) { return b.Cancel; }, 0)
                        : FindButton([](const TButton& b, int v) { return GetDlgCtrlID(b.Handle()) == v; }, id);
  if (button) button->Click();
}

void TForm::EraseBackground(HDC dc) noexcept {
  RECT client;
  GetClientRect(Handle(), &client);
  FillRect(dc, &client, BackgroundBrush());
}

void TForm::LimitTrackSize(MINMAXINFO& info) const noexcept {
  if (MinSize.cx > 0) info.ptMinTrackSize.x = MinSize.cx;
  if (MinSize.cy > 0) info.ptMinTrackSize.y = MinSize.cy;
}

// The form moved to a monitor of another resolution (the host runs aware of each monitor's):
// its controls, font and minimum size follow, and the window takes the rectangle the
// system suggests, whose resize lays the form out anew. Containers place their own parts.
void TForm::ResolutionChanged(int pixelsPerInch, const RECT& suggested) {
  const int from = FPixelsPerInch;
  if (pixelsPerInch < 1 || pixelsPerInch == from) return;
  FPixelsPerInch = pixelsPerInch;
  for (TWinControl* control : Controls()) control->SetBounds(Scale(control->Bounds(), pixelsPerInch, from));
  LOGFONTA font = FFontData;
  font.lfHeight = Scale(font.lfHeight, pixelsPerInch, from);
  SetFontData(font);
  MinSize = {Scale(MinSize.cx, pixelsPerInch, from), Scale(MinSize.cy, pixelsPerInch, from)};
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCCREATE:
      SetIcons();
      TWinControl::WndProc(message);
      break;
    case WM_ACTIVATE: Activated(LOWORD(message.WParam) != WA_INACTIVE); break;
    case DM_GETDEFID: message.Result = DefaultButtonId(); break;
    case WM_COMMAND: Command(message.WParam, message.LParam, message); break;
    case WM_CLOSE: Close(); break;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      break;
    case WM_GETMINMAXINFO: LimitTrackSize(*reinterpret_cast<MINMAXINFO*>(message.LParam)); break;
    case DpiChangedMessage:
      if (!Scaled) return TWinControl::WndProc(message);
      ResolutionChanged(LOWORD(message.WParam), *reinterpret_cast<const RECT*>(message.LParam));
      break;
    case WM_SETCURSOR:
      // A cursor set for the whole screen (an hourglass) also shows over the client area.
      if (LOWORD(message.LParam) == HTCLIENT && Screen.Cursor()) {
        SetCursor(Screen.CursorHandle());
        message.Result = 1;
      } else {
        TWinControl::WndProc(message);
      }
      break;
    default: TWinControl::WndProc(message);
  }
}

void TForm::CentreOver(const TForm& owner) {
  RECT over;
  GetWindowRect(owner.Handle(), &over);
  SetBounds({static_cast<int>(over.left + over.right - Width()) / 2, static_cast<int>(over.top + over.bottom - Height()) / 2,
             Width(), Height()});
}

void TForm::PlaceBeside(const TForm& owner, bool rightFirst, int gap) {
  RECT beside;
  GetWindowRect(owner.Handle(), &beside);
  const RECT work = Screen.Monitor(MonitorFromWindow(owner.Handle(), MONITOR_DEFAULTTONEAREST)).rcWork;
  const int left = beside.left - gap - Width(), right = beside.right + gap;
  int x;
  if (rightFirst)
    x = right + Width() <= work.right ? right : std::max<int>(work.left, left);
  else
    x = left >= work.left ? left : std::min<int>(right, work.right - Width());
  SetBounds({x, static_cast<int>(beside.top), Width(), Height()});
}
