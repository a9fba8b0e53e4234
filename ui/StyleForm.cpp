#include "ui/StyleForm.h"

#include <cstring>
#include <vector>

#include "ui/EventUtils.h"

bool StylingEnabled = true;

namespace {

// The switch is read only: the key is opened for reading (KEY_READ, 0x20019), never created.
bool HiveAllowsStyling(HKEY hive) noexcept {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(hive, "Software\\Orvalis\\", 0, KEY_READ, &opened) != ERROR_SUCCESS) return true;
  const TRegKeyHandle key(opened);
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key.Get(), "UseStyleForm", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
      ERROR_SUCCESS)
    return true;
  // A value of another type cannot be read as a switch and switches nothing off.
  return type != REG_DWORD || size != sizeof value || value != 0;
}

// The host process is not answering its messages while a modal loop of the plug-in runs
// inside one of its calls; the system must not replace its windows by ghosts meanwhile.
void DisableWindowsGhosting() noexcept {
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  const auto disable = reinterpret_cast<void(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(user32, "DisableProcessWindowsGhosting")));
  if (disable) disable();
}

const bool UnitLoaded = [] {
  DisableWindowsGhosting();
  ReadStylingSwitch();
  return true;
}();

LPCSTR SizingCursor(int hitTest) noexcept {
  switch (hitTest) {
    case HTLEFT:
    case HTRIGHT: return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM: return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return IDC_SIZENESW;
    default: return nullptr;
  }
}

bool IsCaptionHit(int hitTest) noexcept {
  return hitTest == HTCAPTION || hitTest == HTSYSMENU || hitTest == HTMINBUTTON || hitTest == HTMAXBUTTON ||
         hitTest == HTCLOSE;
}

// The description at the size the frame metrics give it, so that the window is made at its
// final size: growing it afterwards would move every window inside once more.
TFormDescription CompensatedDescription(const TFormDescription& description) noexcept {
  TFormDescription compensated = description;
  if (description.Position == poDefault || description.WindowState == wsMaximized) return compensated;
  const SIZE growth = FrameGrowth(description.BorderStyle, SystemFrameMetrics(), description.PixelsPerInch);
  compensated.Bounds.Width += growth.cx;
  compensated.Bounds.Height += growth.cy;
  return compensated;
}

template <class Visit>
void ForEachControl(TWinControl& root, Visit visit) {
  for (TWinControl* control : root.Controls()) {
    visit(*control);
    ForEachControl(*control, visit);
  }
}

}  // namespace

TFrameMetrics SystemFrameMetrics() noexcept {
  return {GetSystemMetrics(SM_CXFRAME),    GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CXDLGFRAME),
          GetSystemMetrics(SM_CYDLGFRAME), GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYSMCAPTION)};
}

SIZE FrameGrowth(TBorderStyle border, const TFrameMetrics& metrics, int pixelsPerInch) noexcept {
  const auto scaled = [pixelsPerInch](int value) { return MulDiv(value, pixelsPerInch, 96); };
  const TFrameMetrics& design = ReferenceFrameMetrics;
  const TFrameMetrics reference{scaled(design.SizeFrameX),   scaled(design.SizeFrameY), scaled(design.DialogFrameX),
                                scaled(design.DialogFrameY), scaled(design.Caption),    scaled(design.SmallCaption)};
  switch (border) {
    case bsSizeable:
    case bsSizeToolWin: {
      const int caption = border == bsSizeable ? metrics.Caption - reference.Caption
                                               : metrics.SmallCaption - reference.SmallCaption;
      return {2 * (metrics.SizeFrameX - reference.SizeFrameX),
              2 * (metrics.SizeFrameY - reference.SizeFrameY) + caption};
    }
    case bsSingle:
    case bsDialog:
    case bsToolWindow:
      return {2 * (metrics.DialogFrameX - reference.DialogFrameX), 2 * (metrics.DialogFrameY - reference.DialogFrameY)};
    default: return {0, 0};
  }
}

bool RunsOnVistaOrLater() noexcept { return LOBYTE(LOWORD(GetVersion())) >= 6; }

int ScreenColorDepth() noexcept {
  TWindowDc screen(nullptr);
  return GetDeviceCaps(screen.Get(), PLANES) * GetDeviceCaps(screen.Get(), BITSPIXEL);
}

bool RegistryAllowsStyling() noexcept {
  const bool user = HiveAllowsStyling(HKEY_CURRENT_USER);
  return HiveAllowsStyling(HKEY_LOCAL_MACHINE) && user;
}

void ReadStylingSwitch() {
  StylingEnabled = StylingEnabled && ScreenColorDepth() > 8 && !RunsOnVistaOrLater();
  if (StylingEnabled) StylingEnabled = RegistryAllowsStyling();
}

TStyleForm::TStyleForm(TComponent* owner, const TFormDescription& description)
    : TForm((Application.InstallLoadedHandler(), owner),
            CompensatedDescription(TScaledDescription(description, Screen.FormPixelsPerInch()).Description())) {
  if (StylingEnabled) FCaption = std::make_unique<TStyleCaption>(*this);
}

TStyleForm::TStyleForm(TComponent* owner, HWND ownerWindow) : TForm(owner, ownerWindow), FOwnerWindow(ownerWindow) {
  if (StylingEnabled) FCaption = std::make_unique<TStyleCaption>(*this);
}

TStyleForm::~TStyleForm() = default;

void TStyleForm::AfterConstruction() {
  ApplyFontRules();
  TForm::AfterConstruction();
}

// An unscaled form in the default character set keeps its layout on a screen of another
// resolution only with a scalable font.
void TStyleForm::ApplyFontRules() {
  LOGFONTA font = FontData();
  if (!Scaled && font.lfCharSet == DEFAULT_CHARSET && Screen.PixelsPerInch() != 96)
    std::strcpy(font.lfFaceName, "Arial");
  if (ParentFont && Application.MainForm) font.lfCharSet = Application.MainForm->FontData().lfCharSet;
  if (std::memcmp(&font, &FontData(), sizeof font) != 0) SetFontData(font);
}

void TStyleForm::CompensateFrameMetrics(const TFrameMetrics& metrics) {
  const SIZE growth = FrameGrowth(BorderStyle(), metrics, PixelsPerInch());
  if (growth.cx == 0 && growth.cy == 0) return;
  const TNotifyEvent resize = std::move(OnResize);
  OnResize = nullptr;
  std::vector<TAnchors> anchors;
  anchors.reserve(Controls().size());
  ForEachControl(*this, [&](TWinControl& control) {
    anchors.push_back(control.Anchors());
    control.SetAnchors(akLeft | akTop);
  });
  SetBounds({Left(), Top(), Width() + growth.cx, Height() + growth.cy});
  size_t next = 0;
  ForEachControl(*this, [&](TWinControl& control) { control.SetAnchors(anchors[next++]); });
  OnResize = resize;
}

bool TStyleForm::IsActiveForm() const noexcept { return GetActiveWindow() == Handle(); }

void TStyleForm::SetCursorMessage(TMessage& message) {
  const int hitTest = static_cast<short>(LOWORD(message.LParam));
  const LPCSTR sizing = Styled() ? SizingCursor(hitTest) : nullptr;
  if (sizing) {
    SetCursor(LoadCursorA(nullptr, sizing));
    message.Result = 1;
  } else {
    TForm::WndProc(message);
  }
  if (IsCaptionHit(hitTest) || (hitTest == HTERROR && Screen.Cursor())) SetCursor(Screen.CursorHandle());
}

// The plug-in has no main form, so its forms minimize as any window does.
void TStyleForm::SysCommand(TMessage& message) {
  if (message.WParam == SC_MINIMIZE && Application.MainForm && Application.MainForm != this) {
    Application.Minimize();
    return;
  }
  const bool repaint = message.WParam != SC_MINIMIZE && message.WParam != SC_CONTEXTHELP && Styled();
  if (repaint) FCaption->RepaintCaption(IsActiveForm());
  TForm::WndProc(message);
  if (repaint) FCaption->RepaintCaption(IsActiveForm());
}

void TStyleForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SETCURSOR: return SetCursorMessage(message);
    case WM_SYSCOMMAND: return SysCommand(message);
    case WM_UPDATEUISTATE:
      if (RunsOnVistaOrLater()) ScheduleButtonRepaint(this);
      break;
    case WM_SYSCOLORCHANGE: ReadStylingSwitch(); break;
  }
  if (Styled() && FCaption->HandleMessage(message)) return;
  TForm::WndProc(message);
}
