#include "dialog/OstravineMain.h"

#include <exception>
#include <string>
#include <vector>

#include "dialog/LineWindow_win.h"
#include "dialog/PixelSizeDialog_win.h"
#include "resources/Texts.h"
#include "ui/Application.h"
#include "ui/EventUtils.h"
#include "ui/PanelFrame.h"
#include "ui/StdCtrls.h"

namespace {

// The timers of the dialog's window.
constexpr UINT_PTR HostSignalTimer = 1, RangeTipTimer = 2;

// The dialog as designed, in pixels at 96 dots per inch: a client area of 603 x 382 with
// the controls where the layout (FormResize) puts them, so that opening moves none.
const TControlDescription ProfileControls[] = {
    {.Name = "ProfilePanel", .Make = MakeControl<TDoubleBufferedPanel>, .Bounds = {0, 0, 603, 281},
     .TabOrder = 0, .Align = alTop},
    {.Name = "PlaneGroup", .Make = MakeControl<TRadioGroup>, .Bounds = {8, 285, 185, 89}, .Caption = "&Plane",
     .TabOrder = 1, .Items = "Grayscale\nAverage\nAll\nRed\nGreen\nBlue", .Columns = 2, .ItemIndex = 0},
    {.Name = "LengthLabel", .Make = MakeControl<TLabel>, .Bounds = {204, 285, 59, 13}},
    {.Name = "IntegrateBox", .Make = MakeControl<TCheckBox>, .Bounds = {204, 336, 113, 17},
     .Caption = "&Integrate values", .TabOrder = 2},
    {.Name = "DirectionBox", .Make = MakeControl<TCheckBox>, .Bounds = {204, 357, 113, 17}, .TabOrder = 3},
    {.Name = "CloseButton", .Make = MakeControl<TButton>, .Bounds = {520, 349, 75, 25}, .Caption = "Close",
     .TabOrder = 4, .ModalResult = 1, .Cancel = true},
};

const TFormDescription ProfileForm{
    .Caption = "Ostravine",
    .Bounds = {405, 167, 611, 416},
    .BorderStyle = bsSizeable,
    .BorderIcons = biSystemMenu | biMaximize,
    .Icon = "MAINICON",
    .Color = clBtnFace,
    .Font = {"MS Sans Serif", -11, DEFAULT_CHARSET},
    .MinSize = {416, 200},
    .Controls = ProfileControls,
};

// Distances of the lower controls from the client area's edges and from each other, as
// designed at 96 pixels per inch.
constexpr int EdgeGap = 8;
constexpr int ControlGap = 4;
// Where the dialog opens: near the top right corner of the monitor the host's window is on.
constexpr int ScreenRightGap = 8;
constexpr int ScreenTop = 40;

// The dialog is made where it opens, so that showing it moves no window; its width is the
// designed one at the screen's resolution, grown as the styled form grows it for the
// system's frame.
TFormDescription PlacedForm() noexcept {
  TFormDescription form = ProfileForm;
  const int resolution = Screen.FormPixelsPerInch();
  const int width = MulDiv(form.Bounds.Width, resolution, form.PixelsPerInch) +
                    FrameGrowth(form.BorderStyle, SystemFrameMetrics(), resolution).cx;
  const RECT monitor = Screen.Monitor(MonitorFromWindow(Application.Handle(), MONITOR_DEFAULTTOPRIMARY)).rcMonitor;
  form.Bounds.Left = monitor.right - width - ScreenRightGap;
  form.Bounds.Top = monitor.top + ScreenTop;
  return form;
}

// The key with Ctrl alone held down: Ctrl+Alt is AltGr on many keyboards, which types.
bool CtrlKey(WORD key, WORD wanted) noexcept {
  return key == wanted && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0;
}

}  // namespace

TProfilePluginForm::TProfilePluginForm(TComponent* owner, THostCallback host)
    : TStyleForm(owner, PlacedForm()),
      PlaneGroup(Find<TRadioGroup>("PlaneGroup")),
      ProfilePanel(Find<TDoubleBufferedPanel>("ProfilePanel")),
      CloseButton(Find<TButton>("CloseButton")),
      LengthLabel(Find<TLabel>("LengthLabel")),
      DirectionBox(Find<TCheckBox>("DirectionBox")),
      IntegrateBox(Find<TCheckBox>("IntegrateBox")),
      FHost(host),
      FHostSignal(*this, HostSignalTimer, 50, [this] { NotifyHost(); }) {
  OnCreate = [this](TComponent* sender) { FormCreate(sender); };
  OnShow = [this](TComponent* sender) { FormShow(sender); };
  OnClose = [this](TComponent* sender, TCloseAction& action) { FormClose(sender, action); };
  OnResize = [this](TComponent* sender) { FormResize(sender); };
  OnShortCut = [this](WORD key) { return ShortCut(key); };
  FPlot = std::make_unique<TPlotPanel>(
      *this, *ProfilePanel, FSession,
      TPlotSite{[this] { return PlaneGroup->ItemIndex(); }, [this] { return PlaneGroup->Left(); },
                [this] { FHostSignal.Request(); }, RangeTipTimer, [this] { FiguresChanged(); }});
}

// Normally the close has put the pixels back already. Should the dialog end otherwise (an
// error that left the modal loop), the marks must not stay in the host's image.
TProfilePluginForm::~TProfilePluginForm() {
  FLineWindow.reset();
  PutPixelsBack();
}

void TProfilePluginForm::UseMapPlanes(bool complex) {
  PlaneGroup->SetItems(complex ? std::vector<std::string>{"Real", "Complex"} : std::vector<std::string>{"Real"});
  PlaneGroup->SetItemIndex(0);
}

// The states are restored before the handlers are attached, so restoring triggers no rebuild.
void TProfilePluginForm::FormCreate(TComponent*) {
  const TNotifyEvent checkBoxClick = [this](TComponent* sender) { CheckBoxClick(sender); };
  IntegrateBox->SetChecked(SavedIntegrate);
  IntegrateBox->OnClick = checkBoxClick;
  DirectionBox->SetChecked(SavedDirection);
  DirectionBox->OnClick = checkBoxClick;
  FormResize(this);
}

void TProfilePluginForm::FormShow(TComponent*) {
  ShowProfile();
  RunOnIdle(this, [this](TComponent*) { StartProfile(); });
}

// The pixels are saved before any mark is written, and the caption follows the mode even
// when sampling fails. The values for the readout and the table exist only for a profile
// that was built whole.
void TProfilePluginForm::ShowProfile() {
  const TProfileMode mode = Mode();
  DirectionBox->SetCaption(mode.Integrate ? S_CHANGE_DIRECTION : S_CHANGE_DIAGONAL);
  FSession.Raster.Plane = PlaneGroup->ItemIndex();
  FPlot->ClearProfile(mode);
  FSession.Rebuild(mode);
  LengthLabel->SetCaption(FSession.Profile().LengthLabel);
  if (FSession.Profile().PlaneGroupDisabled) PlaneGroup->SetEnabled(false);
  const TLinearBitmap* bitmap = FSession.Raster.Bitmap;
  const uint8_t* palette = bitmap && bitmap->PixelFormat() == TPixelFormat::Indexed8 ? bitmap->Palette() : nullptr;
  const bool moved = !(FSession.Selection == FSelection);
  FPlot->ShowProfile(palette, moved ? std::optional<TLineEnds>(LineEnds()) : std::nullopt);
  if (FLineWindow) FLineWindow->LineChanged();
  FiguresChanged();
}

// A bitmap has every channel sampled already, so a new plane only needs a repaint (and the
// figures of its curves); a map's component is chosen while sampling, so a new plane needs a
// rebuild.
void TProfilePluginForm::StartProfile() {
  ProfilePanel->OnResize = [this](TComponent* sender) { PaintProfile(sender); };
  if (FSession.Raster.Bitmap)
    PlaneGroup->OnClick = [this](TComponent* sender) {
      PaintProfile(sender);
      FiguresChanged();
    };
  else
    PlaneGroup->OnClick = [this](TComponent* sender) { CheckBoxClick(sender); };
  NotifyHost();
  PaintProfile(this);
}

// A map's overview shows the plane plotted, which the plane group's click changed.
void TProfilePluginForm::CheckBoxClick(TComponent*) {
  FSession.RestorePixels();
  FormShow(nullptr);
  if (FLineWindow && FSession.Raster.Map) FLineWindow->PictureChanged();
}

void TProfilePluginForm::FormClose(TComponent*, TCloseAction&) {
  FPlot->HideReadout();
  FLineWindow.reset();
  FFiguresWindow.reset();
  SavedIntegrate = IntegrateBox->Checked();
  SavedDirection = DirectionBox->Checked();
  PutPixelsBack();
}

// A fault of the host's memory or callback while the pixels go back is reported like one in
// the dialog's events, and the dialog goes on closing: nothing is left that a second try
// could put back. The pixels that did go back changed, so the host is told all the same.
void TProfilePluginForm::PutPixelsBack() {
  GuardEvent(this, [this] {
    const bool saved = FSession.PixelsSaved();
    std::exception_ptr fault;
    try {
      FSession.RestorePixels();
    } catch (...) {
      fault = std::current_exception();
    }
    if (saved) NotifyHost();
    if (fault) std::rethrow_exception(fault);
  });
}

void TProfilePluginForm::FormResize(TComponent*) {
  const SIZE client = ClientSize();
  const int edgeGap = ScaleDesign(EdgeGap), controlGap = ScaleDesign(ControlGap);
  const int planeTop = client.cy - PlaneGroup->Height() - edgeGap;
  PlaneGroup->SetTop(planeTop);
  LengthLabel->SetTop(planeTop);
  DirectionBox->SetTop(planeTop + PlaneGroup->Height() - DirectionBox->Height());
  IntegrateBox->SetTop(DirectionBox->Top() - controlGap - IntegrateBox->Height());
  ProfilePanel->SetHeight(planeTop - controlGap);
  CloseButton->SetBounds({client.cx - CloseButton->Width() - edgeGap, client.cy - edgeGap - CloseButton->Height(),
                          CloseButton->Width(), CloseButton->Height()});
}

void TProfilePluginForm::PaintProfile(TComponent*) { FPlot->Paint(); }

TProfileMode TProfilePluginForm::Mode() const noexcept {
  return {IntegrateBox->Checked(), DirectionBox->Checked(), SavedLineWidth};
}

void TProfilePluginForm::NotifyHost() {
  if (FHost) FHost(hrImageChanged, nullptr);
}

// Alt+P goes to the plane group's chosen item: the group box's own mnemonic would give the
// focus to its first item, which the arrow keys then leave the checked one for.
bool TProfilePluginForm::ShortCut(WORD key) {
  if (CtrlKey(key, 'C')) {
    CopyValues();
    return true;
  }
  if (CtrlKey(key, 'L')) {
    ShowLineWindow();
    return true;
  }
  if (CtrlKey(key, 'F')) {
    ShowFiguresWindow();
    return true;
  }
  if (CtrlKey(key, 'K')) {
    FPlot->KeepCurves();
    return true;
  }
  if (key == 'P' && GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && PlaneGroup->Enabled()) {
    PlaneGroup->FocusItem();
    return true;
  }
  return FPlot->Key(key);
}

void TProfilePluginForm::WndProc(TMessage& message) {
  if (message.Msg == WM_CONTEXTMENU && ContextMenu(message.LParam)) return;
  if (message.Msg == WM_TIMER && (FHostSignal.TimerElapsed(message.WParam) || FPlot->TimerElapsed(message.WParam)))
    return;
  // The horizontal wheel's message, which older headers do not name.
  constexpr UINT HorizontalWheel = 0x020E;
  if (message.Msg == WM_MOUSEWHEEL || message.Msg == HorizontalWheel) {
    GuardEvent(this, [&] { FPlot->Wheel(message, message.Msg == HorizontalWheel); });
    return;
  }
  TStyleForm::WndProc(message);
}

TLineShape TProfilePluginForm::Shape() const noexcept {
  return IntegrateBox->Checked() ? TLineShape::Rectangle : TLineShape::Line;
}

TLineEnds TProfilePluginForm::LineEnds() const noexcept {
  return EndsOf(FSession.Selection, DirectionBox->Checked(), Shape());
}

void TProfilePluginForm::ShowLineWindow() {
  if (!FLineWindow) {
    TLineSite site{[this] { return LineEnds(); }, [this] { return Shape(); },
                   [this] { return IntegrateBox->Checked() ? 1 : SavedLineWidth; },
                   [this](const TLineEnds& ends, bool settled) { MoveLine(ends, settled); }};
    FLineWindow = CreateForm<TLineWindow>(*this, FSession, std::move(site), [this] { ResetLine(); });
  }
  FLineWindow->ShowBeside(*this);
}

// In line mode the line's direction is the diagonal check box's; integrate mode keeps the
// box (rows or columns) and takes the rectangle. The host hears of each move as often as
// the signal lets it, and once more after the line settles.
void TProfilePluginForm::MoveLine(const TLineEnds& ends, bool settled) {
  const bool line = Shape() == TLineShape::Line;
  const bool direction = line ? DirectionOf(ends) : DirectionBox->Checked();
  if (BoundsOf(ends) == FSession.Selection && direction == DirectionBox->Checked()) {
    if (settled) FHostSignal.Request();
    return;
  }
  if (FSession.Selection == FSelection) FSelectionDirection = DirectionBox->Checked();
  FSession.Selection = BoundsOf(ends);
  DirectionBox->SetChecked(direction);
  ShowProfile();
  FPlot->Paint();
  FHostSignal.Request();
}

void TProfilePluginForm::ShowFiguresWindow() {
  if (!FFiguresWindow)
    FFiguresWindow = CreateForm<TFiguresWindow>(*this, [this] { return FPlot->Figures(); });
  FFiguresWindow->ShowBeside(*this);
}

void TProfilePluginForm::FiguresChanged() {
  if (FFiguresWindow) FFiguresWindow->FiguresChanged();
}

void TProfilePluginForm::AskPixelSize() {
  const std::optional<TPixelSize> size = ::AskPixelSize(*this, SavedPixelSize);
  if (!size) return;
  SavedPixelSize = *size;
  FPlot->PixelSizeChanged();
  FiguresChanged();
}

void TProfilePluginForm::ResetLine() {
  if (FSession.Selection == FSelection) return;
  MoveLine(EndsOf(FSelection, FSelectionDirection, Shape()), true);
}
