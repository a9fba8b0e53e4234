#include "ui/StyleCaption.h"

#include <algorithm>
#include <memory>

#include "ui/StyleForm.h"

namespace {

// Parts and states of the "WINDOW" theme class.
enum : int { WP_CAPTION = 1, WP_MAXCAPTION = 5, WP_MINBUTTON = 15, WP_MAXBUTTON = 17, WP_CLOSEBUTTON = 18,
             WP_RESTOREBUTTON = 21 };
enum : int { CS_ACTIVE = 1, CS_INACTIVE = 2 };
// Caption buttons: normal when active, inactive-normal when not; a disabled one is 3 further.
enum : int { CaptionButtonActive = 1, CaptionButtonInactive = 5, CaptionButtonDisabled = 3 };

// The metrics record as systems before Vista know it: without the padded border width.
constexpr UINT NonClientMetricsSize = 340;
static_assert(sizeof(NONCLIENTMETRICSA) >= NonClientMetricsSize);
constexpr UINT FrameChangedFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
static_assert(FrameChangedFlags == 55);

// Built by the first themed caption and kept for every later one: it takes two passes over
// a screen-wide bitmap. Freed at unload with the other statics of the module.
std::unique_ptr<TDIBitmap> GraySheet;
bool LightThemeFlag = false;

uint32_t* PixelRow(const TDIBitmap& bitmap, int y) noexcept {
  return reinterpret_cast<uint32_t*>(bitmap.ScanLine(y));
}

void TurnGray(TDIBitmap& sheet) noexcept {
  uint64_t sum = 0;
  for (int y = 0; y < sheet.Height(); ++y) sum += RowBrightness(PixelRow(sheet, y), sheet.Width());
  const int average = int(sum / (uint64_t(sheet.Width()) * uint64_t(sheet.Height()) * 6));
  LightThemeFlag = IsLightTheme(average);
  const int divisor = GrayDivisor(average);
  for (int y = 0; y < sheet.Height(); ++y) GrayRow(PixelRow(sheet, y), sheet.Width(), divisor);
}

std::unique_ptr<TDIBitmap> NewBitmap(int width, int height) {
  auto bitmap = std::make_unique<TDIBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::Bgrx32);
  bitmap->SetSize(width, height);
  return bitmap;
}

TDIBitmap& RequireGraySheet(HWND window, int height, const LOGFONTA& font) {
  if (GraySheet) return *GraySheet;
  auto sheet = NewBitmap(GetSystemMetrics(SM_CXSCREEN), height);
  sheet->Canvas().SetFont(font);
  CaptionTheme().DrawPart(window, sheet->Canvas().Handle(), WP_CAPTION, CS_INACTIVE,
                          {0, 0, sheet->Width(), sheet->Height()});
  TurnGray(*sheet);
  GraySheet = std::move(sheet);
  return *GraySheet;
}

// The form's icon, else the application's, else the system's.
HICON ShownIcon(HWND window) noexcept {
  auto icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
  if (!icon && Application.Handle())
    icon = reinterpret_cast<HICON>(GetClassLongPtrA(Application.Handle(), GCLP_HICON));
  return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

int Height(const RECT& rect) noexcept { return rect.bottom - rect.top; }
int Width(const RECT& rect) noexcept { return rect.right - rect.left; }

}  // namespace

bool LightTheme() noexcept { return LightThemeFlag; }

void DiscardGraySheet() noexcept { GraySheet.reset(); }

LOGFONTA CaptionFontFrom(const LOGFONTA& metrics) noexcept {
  LOGFONTA font{};
  font.lfCharSet = metrics.lfCharSet;
  lstrcpynA(font.lfFaceName, metrics.lfFaceName, LF_FACESIZE);
  font.lfHeight = metrics.lfHeight;
  switch (metrics.lfPitchAndFamily & 0x0F) {
    case 1: font.lfPitchAndFamily = FIXED_PITCH; break;
    case 2: font.lfPitchAndFamily = VARIABLE_PITCH; break;
    default: font.lfPitchAndFamily = DEFAULT_PITCH;
  }
  font.lfWeight = metrics.lfWeight >= FW_BOLD ? FW_BOLD : FW_NORMAL;
  font.lfItalic = metrics.lfItalic == 1;
  font.lfUnderline = metrics.lfUnderline == 1;
  font.lfStrikeOut = metrics.lfStrikeOut == 1;
  return font;
}

// GDI lines leave out their last point: the light edge ends where the dark one begins.
void DrawBevelBlock(TCanvas& canvas, const RECT& rect, COLORREF light, COLORREF dark, COLORREF fill) {
  const LONG right = rect.right - 1;
  const LONG bottom = rect.bottom - 1;
  const POINT lightEdge[] = {{rect.left, bottom}, {rect.left, rect.top}, {right, rect.top}};
  canvas.SetPenColor(light);
  canvas.Polyline(lightEdge, 3);
  const POINT darkEdge[] = {{right, rect.top}, {right, bottom}, {rect.left - 1, bottom}};
  canvas.SetPenColor(dark);
  canvas.Polyline(darkEdge, 3);
  canvas.SetBrushStyle(TBrushStyle::Solid);
  canvas.SetBrushColor(fill);
  canvas.FillRect({rect.left + 1, rect.top + 1, right, bottom});
}

TStyleCaption::TStyleCaption(TStyleForm& form) : FForm(form) {
  UpdateCaptionColors();
  UpdateCaptionFont();
}

HWND TStyleCaption::Window() const noexcept { return FForm.Handle(); }

bool TStyleCaption::ToolWindow() const noexcept {
  return FForm.BorderStyle() == bsToolWindow || FForm.BorderStyle() == bsSizeToolWin;
}

bool TStyleCaption::HasIcon() const noexcept {
  return (FForm.BorderIcons() & biSystemMenu) && (FForm.BorderStyle() == bsSingle || FForm.BorderStyle() == bsSizeable);
}

void TStyleCaption::UpdateCaptionColors() noexcept {
  FActive = OrderCaptionColors(GetSysColor(COLOR_GRADIENTACTIVECAPTION), GetSysColor(COLOR_ACTIVECAPTION));
  FInactive = OrderCaptionColors(GetSysColor(COLOR_GRADIENTINACTIVECAPTION), GetSysColor(COLOR_INACTIVECAPTION));
  FFaceColor = GetSysColor(COLOR_BTNFACE);
  FFaceShadowColor = BlendColors(FFaceColor, 0, 1, 2);
}

// A failing query leaves the font all zeros, which the system reads as its default font.
void TStyleCaption::UpdateCaptionFont() noexcept {
  LOGFONTA font{};
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = NonClientMetricsSize;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &metrics, 0))
    font = ToolWindow() ? metrics.lfSmCaptionFont : metrics.lfCaptionFont;
  FCaptionFont = CaptionFontFrom(font);
  if (Window() && StylingEnabled) SetWindowPos(Window(), nullptr, 0, 0, 0, 0, FrameChangedFlags);
}

SIZE TStyleCaption::FrameSize() const noexcept {
  switch (FForm.BorderStyle()) {
    case bsSizeable:
    case bsSizeToolWin: return {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
    case bsSingle:
    case bsDialog:
    case bsToolWindow: return {GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)};
    default: return {0, 0};
  }
}

RECT TStyleCaption::CaptionRect() const noexcept {
  const TBorderStyle border = FForm.BorderStyle();
  if (border == bsNone) return {};
  RECT rect{};
  GetWindowRect(Window(), &rect);
  OffsetRect(&rect, -rect.left, -rect.top);
  const bool dialogFrame = IsIconic(Window()) || border == bsSingle || border == bsDialog || border == bsToolWindow;
  InflateRect(&rect, -GetSystemMetrics(dialogFrame ? SM_CXDLGFRAME : SM_CXFRAME),
              -GetSystemMetrics(dialogFrame ? SM_CYDLGFRAME : SM_CYFRAME));
  rect.bottom = rect.top + GetSystemMetrics(ToolWindow() ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
  return rect;
}

RECT TStyleCaption::PaintClassicCaption(HDC dc, bool active) {
  const RECT caption = CaptionRect();
  const int width = Width(caption);
  const int height = Height(caption);
  if (width <= 0 || height <= 0) return {};
  const auto bitmap = NewBitmap(width, height);
  TCanvas& canvas = bitmap->Canvas();
  canvas.SetFont(FCaptionFont);
  const std::string text = FForm.Caption();
  RECT window{};
  GetWindowRect(Window(), &window);
  PaintClassicSteps(*bitmap, active ? FActive : FInactive,
                    ClassicSplit(canvas.TextExtent(text).cx, HasIcon(), width, Width(window)));
  RECT local{1, 0, width, height};
  if (HasIcon()) DrawIcon(canvas.Handle(), local);
  DrawClassicButtons(canvas.Handle(), local);
  local.left += 2;
  DrawCaptionText(canvas, local, text, active);
  BitBlt(dc, caption.left, caption.top, width, height, canvas.Handle(), 0, 0, SRCCOPY);
  return caption;
}

// The measuring of the text left the caption font selected into the canvas's DC.
void TStyleCaption::DrawCaptionText(TCanvas& canvas, RECT rect, const std::string& text, bool active) const {
  SetTextColor(canvas.Handle(), GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  SetBkMode(canvas.Handle(), TRANSPARENT);
  DrawTextA(canvas.Handle(), text.data(), int(text.size()), &rect,
            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// Every row first takes its two gradients, split where its band of the staircase ends;
// then each step gets its light tread and dark riser and, above the bottom row, a block.
void TStyleCaption::PaintClassicSteps(TDIBitmap& bitmap, const TCaptionColors& colors, int split) {
  const int height = bitmap.Height();
  const int size = ClassicBlockSize(height);
  const std::vector<TCaptionStep> steps = ClassicSteps(height, split);
  for (const TCaptionStep& step : steps)
    for (int y = std::max(0, step.Top); y < step.Top + size; ++y)
      FillCaptionRow(PixelRow(bitmap, y), bitmap.Width(), step.Edge,
                     PixelOf(BlendColors(colors.Dark, colors.Light, y, height - 1)),
                     PixelOf(BlendColors(FFaceShadowColor, FFaceColor, y, height - 1)));
  TCanvas& canvas = bitmap.Canvas();
  for (const TCaptionStep& step : steps) {
    const int x = step.Edge;
    canvas.SetPenColor(colors.Light);
    canvas.MoveTo(x - size - 1, step.Top);
    canvas.LineTo(x - 2, step.Top);
    canvas.SetPenColor(colors.Dark);
    canvas.MoveTo(x - 1, step.Top);
    canvas.LineTo(x - 1, step.Top + size - 1);
    if (step.Top <= 0) continue;
    const COLORREF fill = BlendColors(colors.Dark, colors.Light, step.Top + size / 2, height - 1);
    DrawBevelBlock(canvas, {x + size, step.Top, x + 2 * size, step.Top + size}, colors.Light, colors.Dark, fill);
    if (&step == &steps.front())
      DrawBevelBlock(canvas, {x + 3 * size, step.Top, x + 4 * size, step.Top + size}, colors.Light, colors.Dark,
                     fill);
  }
}

void TStyleCaption::DrawIcon(HDC dc, RECT& rect) const {
  const int height = Height(rect);
  const int side = height - 2;
  if (side > 0) {
    const TIconHandle copy(static_cast<HICON>(CopyImage(ShownIcon(Window()), IMAGE_ICON, side, side, 0)));
    if (copy) DrawIconEx(dc, rect.left + 1, rect.top + 1, copy.Get(), side, side, 0, nullptr, DI_NORMAL);
  }
  rect.left += height + 1;
}

// The buttons are drawn from the right inside the rectangle shrunk by 2; the rectangle
// keeps what is left for the text.
void TStyleCaption::DrawClassicButtons(HDC dc, RECT& rect) const {
  const RECT inner{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
  const bool noClose = GetClassLongA(Window(), GCL_STYLE) & CS_NOCLOSE;
  const UINT close = DFCS_CAPTIONCLOSE | (noClose ? DFCS_INACTIVE : 0);
  int x = inner.right;
  const auto draw = [&](int width, UINT state, int room) {
    RECT button{x - width, inner.top, x, inner.bottom};
    DrawFrameControl(dc, &button, DFC_CAPTION, state);
    x -= room;
  };
  if (ToolWindow()) {
    const int width = GetSystemMetrics(SM_CXSMSIZE) - 2;
    draw(width, close, width + 5);
    rect.right = x;
    return;
  }
  int width = GetSystemMetrics(SM_CXSMICON) - 2;
  if ((width & 1) != (Height(rect) & 1)) ++width;
  const TBorderIcons icons = FForm.BorderIcons();
  if (icons & biSystemMenu) draw(width, close, width + 4);
  const bool framed = FForm.BorderStyle() == bsSingle || FForm.BorderStyle() == bsSizeable;
  if (framed && (icons & (biMinimize | biMaximize))) {
    const UINT maximize = IsZoomed(Window()) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
    draw(width, maximize | ((icons & biMaximize) ? 0 : DFCS_INACTIVE), width + 2);
    const UINT minimize = IsIconic(Window()) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
    draw(width, minimize | ((icons & biMinimize) ? 0 : DFCS_INACTIVE), width + 2);
  }
  rect.right = x - 3;
}

RECT TStyleCaption::PaintThemedCaption(HDC dc, bool active) {
  const TBorderStyle border = FForm.BorderStyle();
  if (border == bsNone || ToolWindow() || (LightThemeFlag && !active)) return {};
  const RECT bar = CaptionRect();
  const int height = Height(bar) + FrameSize().cy + 1;
  const RECT rect = ThemedRect(RequireGraySheet(Window(), height, FCaptionFont), bar, height);
  if (IsRectEmpty(&rect)) return {};
  const bool maximized = IsZoomed(Window());
  const auto strip = NewBitmap(2 * height, height);
  CaptionTheme().DrawPart(Window(), strip->Canvas().Handle(), maximized ? WP_MAXCAPTION : WP_CAPTION,
                          active ? CS_ACTIVE : CS_INACTIVE, {-64, maximized ? 4 : 0, 2 * height + 96, height});
  const auto composite = NewBitmap(Width(rect), height);
  const TDIBitmap& sheet = *GraySheet;
  composite->Canvas().Draw(composite->Width() - sheet.Width(), 0, sheet.Canvas(), {0, 0, sheet.Width(), sheet.Height()});
  DrawThemedBlocks(*composite, *strip, active ? FActive : FInactive, ThemedBlockSize(height, maximized));
  DrawThemedButtons(*composite, Height(bar) - 4, active);
  BitBlt(dc, rect.left, 0, composite->Width(), height, composite->Canvas().Handle(), 0, 0, SRCCOPY);
  return rect;
}

// From the end of the caption text (or a third of the width) to the window's right edge;
// empty when the text leaves no room for the staircase and the buttons.
RECT TStyleCaption::ThemedRect(const TDIBitmap& sheet, const RECT& bar, int height) const {
  const TBorderStyle border = FForm.BorderStyle();
  const TBorderIcons icons = FForm.BorderIcons();
  const bool systemMenu = icons & biSystemMenu;
  const bool minMax = border != bsDialog && (icons & (biMinimize | biMaximize));
  const bool framed = border == bsSingle || border == bsSizeable;
  const int right = bar.right + FrameSize().cx;
  const int text = sheet.Canvas().TextExtent(FForm.Caption()).cx + 21 + (systemMenu && framed ? 20 : 0);
  if (text > right - 2 * height - ThemedButtonBand(Height(bar) - 4, systemMenu, minMax)) return {};
  return {std::max(text, right / 3), 0, right, height};
}

void TStyleCaption::DrawThemedBlocks(TDIBitmap& composite, const TDIBitmap& strip, const TCaptionColors& colors,
                                     int size) const {
  TCanvas& canvas = composite.Canvas();
  for (const TThemedBlock& block : ThemedBlocks()) {
    const int left = (block.Column - 1) * size + 1;
    const int top = composite.Height() - block.Row * size;
    const int right = left + size;
    canvas.Draw(left, top, strip.Canvas(), {left, top, right, top + size});
    if (block.Edged) {
      canvas.SetPenColor(colors.Light);
      canvas.MoveTo(left, top);
      canvas.LineTo(right - 1, top);
      canvas.SetPenColor(colors.Dark);
      canvas.LineTo(right - 1, top + size);
    }
    if (block.LeftEdge) {
      canvas.SetPenColor(colors.Light);
      canvas.MoveTo(left, top);
      canvas.LineTo(left, top + size);
    }
  }
}

void TStyleCaption::DrawThemedButtons(TDIBitmap& composite, int button, bool active) const {
  const TBorderIcons icons = FForm.BorderIcons();
  if (!(icons & biSystemMenu)) return;
  const SIZE frame = FrameSize();
  const int state = active ? CaptionButtonActive : CaptionButtonInactive;
  int x = composite.Width() - button - frame.cx - 2;
  const int y = frame.cy + 2;
  const auto draw = [&](int part, bool enabled) {
    CaptionTheme().DrawPart(Window(), composite.Canvas().Handle(), part,
                            state + (enabled ? 0 : CaptionButtonDisabled), {x, y, x + button, y + button});
    x -= button + 2;
  };
  draw(WP_CLOSEBUTTON, true);
  if (FForm.BorderStyle() == bsDialog || !(icons & (biMinimize | biMaximize))) return;
  draw(IsZoomed(Window()) ? WP_RESTOREBUTTON : WP_MAXBUTTON, icons & biMaximize);
  draw(WP_MINBUTTON, icons & biMinimize);
}

RECT TStyleCaption::PaintCaption(HDC dc, bool active) {
  return CaptionTheme().Enabled() ? PaintThemedCaption(dc, active) : PaintClassicCaption(dc, active);
}

// A form on its way out has given up its window and paints nothing.
void TStyleCaption::RepaintCaption(bool active) {
  if (!Window() || !StylingEnabled) return;
  const TWindowFrameDc dc(Window());
  PaintCaption(dc.Get(), active);
}

// The caption is painted here and cut out of the region; the platform paints the rest of
// the frame. The first parameter is a region in screen coordinates, or 1 for the whole
// window, which is no region.
void TStyleCaption::NonClientPaint(TMessage& message) {
  const HWND window = Window();
  const TWindowFrameDc dc(window);
  RECT bounds{};
  GetWindowRect(window, &bounds);
  auto region = reinterpret_cast<HRGN>(message.WParam);
  TRegionHandle created;
  if (SelectClipRgn(dc.Get(), region) == ERROR) {
    created.Reset(CreateRectRgnIndirect(&bounds));
    region = created.Get();
    SelectClipRgn(dc.Get(), region);
  }
  OffsetClipRgn(dc.Get(), -bounds.left, -bounds.top);
  const RECT painted = PaintCaption(dc.Get(), FForm.IsActiveForm());
  ExcludeClipRect(dc.Get(), painted.left, painted.top, painted.right, painted.bottom);
  OffsetClipRgn(dc.Get(), bounds.left, bounds.top);
  if (region) GetClipRgn(dc.Get(), region);
  const WPARAM target = region ? reinterpret_cast<WPARAM>(region) : 1;
  message.Result = DefWindowProcA(window, WM_NCPAINT, target, message.LParam);
}

// An empty window region keeps the platform from drawing its caption with the new text.
// The themed caption leaves the text to the platform, so the frame is painted anew then:
// repainting only the decoration would keep the old text on the screen.
void TStyleCaption::SetText(TMessage& message) {
  const HWND window = Window();
  if (!IsWindowVisible(window)) return FForm.InheritedWndProc(message);
  TRegionHandle empty(CreateRectRgn(0, 0, 0, 0));
  if (empty && SetWindowRgn(window, empty.Get(), FALSE)) empty.Release();
  FForm.InheritedWndProc(message);
  SetWindowRgn(window, nullptr, FALSE);
  if (CaptionTheme().Enabled())
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  else
    RepaintCaption(FForm.IsActiveForm());
}

bool TStyleCaption::HandleMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT: NonClientPaint(message); return true;
    case WM_NCACTIVATE:
      FForm.InheritedWndProc(message);
      if (IsWindowVisible(Window())) RepaintCaption(message.WParam != 0);
      return true;
    case WM_SIZE:
      FForm.InheritedWndProc(message);
      if (IsWindowVisible(Window()) && (message.WParam == SIZE_RESTORED || message.WParam == SIZE_MAXIMIZED))
        RepaintCaption(FForm.IsActiveForm());
      return true;
    case WM_SETTEXT: SetText(message); return true;
    case WM_NCLBUTTONDOWN:
      FForm.InheritedWndProc(message);
      if (!CaptionTheme().Enabled()) RepaintCaption(FForm.IsActiveForm());
      return true;
    case WM_ENTERIDLE:
      RepaintCaption(FForm.IsActiveForm());
      FForm.InheritedWndProc(message);
      return true;
    case WM_SETTINGCHANGE:
      if (message.WParam == SPI_SETNONCLIENTMETRICS) UpdateCaptionFont();
      return false;
    case WM_SYSCOLORCHANGE:
      UpdateCaptionColors();
      DiscardGraySheet();
      return false;
    default: return false;
  }
}
