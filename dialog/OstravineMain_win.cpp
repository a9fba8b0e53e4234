#include "dialog/OstravineMain.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "dialog/ProfilePlot_win.h"
#include "resources/Texts.h"
#include "streams/StreamUtils.h"
#include "ui/Application.h"
#include "ui/Clipboard.h"
#include "ui/EventUtils.h"
#include "ui/FileDialogs.h"
#include "ui/Menus.h"
#include "ui/PanelFrame.h"
#include "ui/StdCtrls.h"
#include "ui/ToolTip.h"

namespace {

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
// Where the dialog opens: near the screen's top right corner.
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
  form.Bounds.Left = Screen.Width() - width - ScreenRightGap;
  form.Bounds.Top = ScreenTop;
  return form;
}

// The plot's context menu.
enum TPlotCommand : UINT {
  pcCopyValues = 1, pcCopyPlot, pcSaveValues, pcScaleFromZero, pcFitToValues, pcWholeProfile, pcZoomToRange,
  pcCopyStatistics, pcShowAxes, pcLineWidth
};

// The highlight's signals to the host: at most one in this many milliseconds.
constexpr UINT_PTR HighlightTimer = 1;
constexpr DWORD HighlightSignalGap = 50;

// The widths a line can be sampled across, in pixels; each its own command from pcLineWidth on.
constexpr int LineWidths[] = {1, 3, 5, 9, 15, 31, 63};

const TSaveFileRequest ValuesFile{S_SAVE_DEFAULT_NAME, S_SAVE_FILTER_CSV, "*.csv", "csv"};

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
      FHost(host) {
  OnCreate = [this](TComponent* sender) { FormCreate(sender); };
  OnShow = [this](TComponent* sender) { FormShow(sender); };
  OnClose = [this](TComponent* sender, TCloseAction& action) { FormClose(sender, action); };
  OnResize = [this](TComponent* sender) { FormResize(sender); };
  OnShortCut = [this](WORD key) { return ShortCut(key); };
  ProfilePanel->OnMouseMove = [this](TComponent*, int x, int y) { ProfilePanelMouseMove(x, y); };
  ProfilePanel->OnMouseLeave = [this](TComponent*) { HideReadout(); };
  ProfilePanel->OnMouseButton = [this](TComponent*, UINT button, int x, int y) { ProfilePanelMouseButton(button, x, y); };
  ProfilePanel->OnPaintOver = [this](TComponent*) { PaintGuide(); };
}

// Normally the close has put the pixels back already. Should the dialog end otherwise (an
// error that left the modal loop), the marks must not stay in the host's image.
TProfilePluginForm::~TProfilePluginForm() { PutPixelsBack(); }

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
  HideReadout();
  FRange.reset();
  FRangeStart.reset();
  FValues.reset();
  FSession.Rebuild(mode);
  LengthLabel->SetCaption(FSession.Profile().LengthLabel);
  if (FSession.Profile().PlaneGroupDisabled) PlaneGroup->SetEnabled(false);
  const TLinearBitmap* bitmap = FSession.Raster.Bitmap;
  const uint8_t* palette = bitmap && bitmap->PixelFormat() == TPixelFormat::Indexed8 ? bitmap->Palette() : nullptr;
  FValues.emplace(FSession.Profile(), ValueKindOf(FSession.Raster), FSession.Selection, mode, palette);
  // A complex map's plane rebuilds the same samples anew: the view stays.
  const size_t count = FSession.Profile().Profile.size();
  if (mode.Integrate != FViewMode.Integrate || mode.Direction != FViewMode.Direction ||
      FView.First + FView.Count > count || FView.Count == 0)
    FView = WholeView(count);
  FViewMode = mode;
}

// A bitmap has every channel sampled already, so a new plane only needs a repaint; a map's
// component is chosen while sampling, so a new plane needs a rebuild.
void TProfilePluginForm::StartProfile() {
  ProfilePanel->OnResize = [this](TComponent* sender) { PaintProfile(sender); };
  if (FSession.Raster.Bitmap)
    PlaneGroup->OnClick = [this](TComponent* sender) { PaintProfile(sender); };
  else
    PlaneGroup->OnClick = [this](TComponent* sender) { CheckBoxClick(sender); };
  NotifyHost();
  PaintProfile(this);
}

void TProfilePluginForm::CheckBoxClick(TComponent*) {
  FSession.RestorePixels();
  FormShow(nullptr);
}

void TProfilePluginForm::FormClose(TComponent*, TCloseAction&) {
  HideReadout();
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

// The panel's buffer exists once the panel has its size, which the layout gives it long
// before the first paint.
void TProfilePluginForm::PaintProfile(TComponent*) {
  TCanvas* canvas = ProfilePanel->BufferCanvas();
  if (!canvas) return;
  FGeometry = ::PaintProfile(*canvas, ProfilePanel->Width(), ProfilePanel->Height(), PlotData());
  ProfilePanel->Invalidate();
}

// What the plot shows now: the plane, the view, the scale and the axes chosen, the lines
// as wide as the screen's resolution makes them.
TProfilePlotData TProfilePluginForm::PlotData() const {
  TProfilePlotData data = FSession.PlotData(PlaneGroup->ItemIndex(), PlaneGroup->Left(), SavedFitToValues, FView);
  data.LineWidth = ScaleDesign(1);
  data.Axes = SavedShowAxes;
  const TProfileMode mode = Mode();
  data.AxisOrigin = !mode.Integrate ? 0 : mode.Direction ? FSession.Selection.Top : FSession.Selection.Left;
  return data;
}

TProfileMode TProfilePluginForm::Mode() const noexcept {
  return {IntegrateBox->Checked(), DirectionBox->Checked(), SavedLineWidth};
}

void TProfilePluginForm::NotifyHost() {
  if (FHost) FHost(hrImageChanged, nullptr);
}

// The geometry of the samples in view as the plot was last drawn (every change of view,
// scale, axes or size repaints it); its sample 0 is the view's first. Before the first
// paint, the plain one.
TPlotGeometry TProfilePluginForm::PlotGeometry() const {
  if (FGeometry) return *FGeometry;
  return TPlotGeometry(ProfilePanel->Width(), ProfilePanel->Height(), PlaneGroup->Left(), FView.Count,
                       FSession.Profile().MaxValue);
}

void TProfilePluginForm::ProfilePanelMouseMove(int x, int y) {
  if (FDrag) {
    const TPlotGeometry geometry = PlotGeometry();
    const double pixels = FView.Count > 1 ? double(geometry.Right() - geometry.Left()) / double(FView.Count - 1) : 1;
    Pan(static_cast<int64_t>(FDrag->second.First) - static_cast<int64_t>(FView.First) -
        std::llround((x - FDrag->first) / pixels));
    return;
  }
  if (!FValues || FValues->Count() == 0 || FView.Count == 0) return;
  const size_t sample = FView.First + PlotGeometry().NearestSample(x, FView.Count);
  if (FRangeStart) return ExtendRange(sample, {x, y});
  if (FRange) return;
  ShowReadout(sample, {x, y});
}

// While the left button drags across the plot the range grows or shrinks with it, and the
// tooltip shows its figures; a click without a drag leaves no range.
void TProfilePluginForm::ExtendRange(size_t sample, POINT anchor) {
  const size_t start = *FRangeStart;
  if (sample == start) {
    FRange.reset();
  } else {
    FRange.emplace(std::min(start, sample), std::max(start, sample));
    ShowTip(FValues->RangeReadout(FRange->first, FRange->second, PlaneGroup->ItemIndex(), UserDecimalSeparator()),
            anchor);
  }
  FReadoutSample.reset();
  ProfilePanel->Invalidate();
}

// The tooltip beside a point of the panel.
void TProfilePluginForm::ShowTip(const std::string& text, POINT anchor) {
  if (!FToolTip) FToolTip = std::make_unique<TTrackingToolTip>(Handle());
  ClientToScreen(ProfilePanel->Handle(), &anchor);
  FToolTip->Show(text, anchor);
}

// The readout of a sample: its guide, and its tooltip beside a point of the panel (the
// cursor, or for the keyboard the guide's middle).
void TProfilePluginForm::ShowReadout(size_t sample, POINT anchor) {
  ShowTip(FValues->Place(sample) + "\r\n" + FValues->Values(sample, PlaneGroup->ItemIndex(), UserDecimalSeparator()),
          anchor);
  if (FReadoutSample == sample) return;
  FReadoutSample = sample;
  ProfilePanel->Invalidate();
  if (FSession.Highlight(sample)) SignalHighlight();
}

// The host is told of a moving highlight at most 20 times a second, and once more when it
// settles: a signal that would come too soon waits for the timer.
void TProfilePluginForm::SignalHighlight() {
  const DWORD now = GetTickCount();
  if (FSignalPending) return;
  if (now - FLastSignal >= HighlightSignalGap) {
    FLastSignal = now;
    NotifyHost();
    return;
  }
  FSignalPending = true;
  SetTimer(Handle(), HighlightTimer, HighlightSignalGap - (now - FLastSignal), nullptr);
}

// Ctrl+Right and Ctrl+Left move the readout a sample (with Shift a tenth of the view), from
// the view's first or last sample when there is none, and the view follows it; the mouse
// takes over when it moves over the plot.
void TProfilePluginForm::MoveReadout(bool forward, bool tenth) {
  if (!FValues || FValues->Count() == 0 || FView.Count == 0) return;
  const int64_t count = static_cast<int64_t>(FValues->Count());
  const int64_t first = static_cast<int64_t>(FView.First), last = first + static_cast<int64_t>(FView.Count) - 1;
  const int64_t step = tenth ? std::max<int64_t>(1, static_cast<int64_t>(FView.Count) / 10) : 1;
  const int64_t sample = FReadoutSample ? static_cast<int64_t>(*FReadoutSample) + (forward ? step : -step)
                                        : (forward ? first : last);
  const size_t shown = static_cast<size_t>(std::clamp<int64_t>(sample, 0, count - 1));
  if (static_cast<int64_t>(shown) < first) SetView(PanView(FView, FValues->Count(), static_cast<int64_t>(shown) - first));
  if (static_cast<int64_t>(shown) > last) SetView(PanView(FView, FValues->Count(), static_cast<int64_t>(shown) - last));
  ShowReadoutAtGuide(shown);
}

// The keyboard's readout: the tooltip beside the middle of the sample's guide.
void TProfilePluginForm::ShowReadoutAtGuide(size_t sample) {
  const TPlotGeometry geometry = PlotGeometry();
  ShowReadout(sample, {geometry.X(sample - FView.First), (geometry.Top() + geometry.BaseY()) / 2});
}

// A new view repaints the plot; the readout, which names samples of the whole profile,
// keeps its sample where the view still shows it.
void TProfilePluginForm::SetView(const TPlotView& view) {
  if (view == FView) return;
  FView = view;
  if (FReadoutSample && (*FReadoutSample < FView.First || *FReadoutSample >= FView.First + FView.Count)) HideReadout();
  PaintProfile(this);
}

// A notch of the wheel zooms by 1.5 about the sample, in or (negative) out, down to 16
// pixels a sample.
void TProfilePluginForm::ZoomAbout(size_t sample, int notches) {
  const size_t total = FSession.Profile().Profile.size();
  const int frame = PlotGeometry().Right() - PlotGeometry().Left();
  SetView(ZoomView(FView, total, sample, std::pow(1.5, notches), MinViewCount(frame)));
}

void TProfilePluginForm::Pan(int64_t samples) { SetView(PanView(FView, FSession.Profile().Profile.size(), samples)); }

// The wheel over the plot: zoom about the sample under the cursor; with Shift, or the
// horizontal wheel, pan by a tenth of the view a notch.
void TProfilePluginForm::Wheel(const TMessage& message, bool horizontal) {
  POINT point{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
  RECT plot;
  GetWindowRect(ProfilePanel->Handle(), &plot);
  if (!PtInRect(&plot, point) || FView.Count == 0) return;
  ScreenToClient(ProfilePanel->Handle(), &point);
  const int notches = static_cast<short>(HIWORD(message.WParam)) / WHEEL_DELTA;
  const int64_t tenth = std::max<int64_t>(1, static_cast<int64_t>(FView.Count) / 10);
  if (horizontal)
    Pan(notches * tenth);
  else if (LOWORD(message.WParam) & MK_SHIFT)
    Pan(-notches * tenth);
  else
    ZoomAbout(FView.First + PlotGeometry().NearestSample(point.x, FView.Count), notches);
}

// A double click shows the whole profile again; the middle button drags the view along; the
// left button drags a range across the plot, and a plain click clears it.
void TProfilePluginForm::ProfilePanelMouseButton(UINT button, int x, int y) {
  switch (button) {
    case WM_LBUTTONDBLCLK: SetView(WholeView(FSession.Profile().Profile.size())); break;
    case WM_LBUTTONDOWN:
      if (!FValues || FView.Count == 0) break;
      FRange.reset();
      FRangeStart = FView.First + PlotGeometry().NearestSample(x, FView.Count);
      HideReadout();
      SetCapture(ProfilePanel->Handle());
      break;
    case WM_LBUTTONUP:
      FRangeStart.reset();
      ReleaseCapture();
      if (!FRange && FToolTip) FToolTip->Hide();
      ProfilePanelMouseMove(x, y);
      break;
    case WM_MBUTTONDOWN:
      FDrag.emplace(x, FView);
      SetCapture(ProfilePanel->Handle());
      break;
    default:
      FDrag.reset();
      ReleaseCapture();
      break;
  }
}

void TProfilePluginForm::HideReadout() noexcept {
  if (FToolTip) FToolTip->Hide();
  if (!FReadoutSample) return;
  FReadoutSample.reset();
  ProfilePanel->Invalidate();
  GuardEvent(this, [this] {
    if (FSession.Highlight(std::nullopt)) SignalHighlight();
  });
}

// The guide inverts the screen's pixels inside the frame; the buffer is untouched, so the
// next paint without it shows the plot exactly as drawn.
void TProfilePluginForm::PaintGuide() {
  PaintRange();
  if (!FReadoutSample || !FValues || *FReadoutSample >= FValues->Count()) return;
  if (*FReadoutSample < FView.First || *FReadoutSample >= FView.First + FView.Count) return;
  const TPlotGeometry geometry = PlotGeometry();
  const int inset = ProfilePanel->Inset() / 2;
  PatBlt(ProfilePanel->Canvas().Handle(), inset + geometry.X(*FReadoutSample - FView.First), inset + geometry.Top(), 1,
         geometry.BaseY() - geometry.Top() + 1, DSTINVERT);
}

// The range's band over the plot in the system's highlight colour, a third opaque, so that
// the curves show through; like the guide it is drawn on the screen only.
void TProfilePluginForm::PaintRange() {
  if (!FRange || FView.Count == 0) return;
  const size_t first = std::max(FRange->first, FView.First), last = std::min(FRange->second, FView.First + FView.Count - 1);
  if (first > last) return;
  const TPlotGeometry geometry = PlotGeometry();
  const int inset = ProfilePanel->Inset() / 2;
  const int left = inset + geometry.X(first - FView.First), right = inset + geometry.X(last - FView.First) + 1;
  ProfilePanel->Canvas().FillBlended({left, inset + geometry.Top(), right, inset + geometry.BaseY() + 1},
                                     GetSysColor(COLOR_HIGHLIGHT), 85);
}

bool TProfilePluginForm::ShortCut(WORD key) {
  if (CtrlKey(key, 'C')) {
    CopyValues();
    return true;
  }
  if (CtrlKey(key, '0')) {
    SetView(WholeView(FSession.Profile().Profile.size()));
    return true;
  }
  const bool ctrl = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
  if (!ctrl) return false;
  if (key == VK_LEFT || key == VK_RIGHT) {
    MoveReadout(key == VK_RIGHT, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  if ((key == VK_UP || key == VK_DOWN) && FReadoutSample) {
    const size_t sample = *FReadoutSample;
    ZoomAbout(sample, key == VK_UP ? 1 : -1);
    ShowReadoutAtGuide(sample);
    return true;
  }
  return false;
}

// Another width is another profile: the marks go back and the band is sampled anew.
void TProfilePluginForm::SetLineWidth(int width) {
  if (width == SavedLineWidth) return;
  SavedLineWidth = width;
  CheckBoxClick(this);
}

// The scale is the plot's alone: a repaint, no new profile.
void TProfilePluginForm::SetFitToValues(bool fit) {
  SavedFitToValues = fit;
  PaintProfile(this);
}

// With a range, only its rows.
void TProfilePluginForm::CopyValues() {
  if (!FValues) return;
  CopyTextToClipboard(Handle(), FRange ? FValues->Table('\t', FRange->first, FRange->second) : FValues->Table('\t'));
}

void TProfilePluginForm::CopyStatistics() {
  if (FValues && FRange)
    CopyTextToClipboard(Handle(), FValues->RangeTable(FRange->first, FRange->second, PlaneGroup->ItemIndex(), '\t'));
}

void TProfilePluginForm::CopyPlot() {
  if (ProfilePanel->BufferCanvas()) CopyBitmapToClipboard(Handle(), ProfilePanel->Buffer());
}

void TProfilePluginForm::SaveValues() {
  if (!FValues) return;
  std::string fileName;
  if (PromptForSaveFileName(Handle(), ValuesFile, fileName)) SaveFileReplacing(fileName, FValues->Table(','));
}

// From the keyboard (Shift+F10, the menu key) the menu opens at the frame's top left
// corner. A right click elsewhere than on the plot is not the plot's: false leaves it to
// the window's own handling (the caption's system menu).
bool TProfilePluginForm::ContextMenu(LPARAM point) {
  POINT screen{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  RECT plot;
  GetWindowRect(ProfilePanel->Handle(), &plot);
  if (point == -1) {
    screen = {plot.left + PlaneGroup->Left(), plot.top + PlaneGroup->Left()};
  } else if (!PtInRect(&plot, screen)) {
    return false;
  }
  HideReadout();
  TPopupMenu menu;
  menu.Add(pcCopyValues, S_MENU_COPY_VALUES, FValues.has_value());
  menu.Add(pcCopyPlot, S_MENU_COPY_PLOT, ProfilePanel->BufferCanvas() != nullptr);
  menu.Add(pcSaveValues, S_MENU_SAVE_VALUES, FValues.has_value());
  if (FRange) {
    menu.Add(pcCopyStatistics, S_MENU_COPY_STATISTICS);
    menu.Add(pcZoomToRange, S_MENU_ZOOM_TO_RANGE);
  }
  menu.AddSeparator();
  menu.Add(pcWholeProfile, S_MENU_WHOLE_PROFILE, FView.Count < FSession.Profile().Profile.size());
  menu.Add(pcScaleFromZero, S_MENU_SCALE_FROM_ZERO, true, !SavedFitToValues);
  menu.Add(pcFitToValues, S_MENU_FIT_TO_VALUES, true, SavedFitToValues);
  menu.Add(pcShowAxes, S_MENU_SHOW_AXES, true, SavedShowAxes);
  TPopupMenu widths;
  for (size_t i = 0; i < std::size(LineWidths); ++i)
    widths.Add(pcLineWidth + static_cast<UINT>(i), std::to_string(LineWidths[i]), true, SavedLineWidth == LineWidths[i]);
  // Integrate mode's rectangle is its band already.
  menu.AddSubmenu(S_MENU_LINE_WIDTH, std::move(widths), !IntegrateBox->Checked());
  const UINT command = menu.Popup(Handle(), screen);
  switch (command) {
    case pcCopyValues: CopyValues(); break;
    case pcCopyPlot: CopyPlot(); break;
    case pcSaveValues: SaveValues(); break;
    case pcScaleFromZero:
    case pcFitToValues: SetFitToValues(command == pcFitToValues); break;
    case pcWholeProfile: SetView(WholeView(FSession.Profile().Profile.size())); break;
    case pcCopyStatistics: CopyStatistics(); break;
    case pcShowAxes:
      SavedShowAxes = !SavedShowAxes;
      PaintProfile(this);
      break;
    case pcZoomToRange:
      if (FRange) SetView({FRange->first, FRange->second - FRange->first + 1});
      break;
    default:
      if (command >= pcLineWidth && command < pcLineWidth + std::size(LineWidths))
        SetLineWidth(LineWidths[command - pcLineWidth]);
      break;
  }
  return true;
}

void TProfilePluginForm::WndProc(TMessage& message) {
  if (message.Msg == WM_CONTEXTMENU && ContextMenu(message.LParam)) return;
  if (message.Msg == WM_TIMER && message.WParam == HighlightTimer) {
    KillTimer(Handle(), HighlightTimer);
    FSignalPending = false;
    FLastSignal = GetTickCount();
    GuardEvent(this, [this] { NotifyHost(); });
    return;
  }
  // The horizontal wheel's message, which older headers do not name.
  constexpr UINT HorizontalWheel = 0x020E;
  if (message.Msg == WM_MOUSEWHEEL || message.Msg == HorizontalWheel) {
    GuardEvent(this, [&] { Wheel(message, message.Msg == HorizontalWheel); });
    return;
  }
  TStyleForm::WndProc(message);
}
