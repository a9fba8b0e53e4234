#include "ui/Controls.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

#include "errors/Exceptions.h"
#include "resources/Texts.h"
#include "ui/FormDescription.h"

namespace {

// A window class of this module, registered when first asked for and unregistered at
// unload: a DLL is a guest in its host's process and leaves nothing behind. Its windows keep
// their object in their extra bytes.
class TWindowClass {
 public:
  TWindowClass(const char* name, UINT style) noexcept : FName(name), FStyle(style) {}
  ~TWindowClass() {
    if (FAtom) UnregisterClassA(FName, ModuleInstance());
  }
  TWindowClass(const TWindowClass&) = delete;
  TWindowClass& operator=(const TWindowClass&) = delete;

  const char* Name(WNDPROC procedure) {
    if (!FAtom) Register(procedure);
    return FName;
  }
  ATOM Atom() const noexcept { return FAtom; }

 private:
  void Register(WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = FStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = FName;
    FAtom = RegisterClassExA(&windowClass);
    if (!FAtom) throw Exception(S_CREATE_WINDOW);
  }

  const char* FName;
  UINT FStyle;
  ATOM FAtom = 0;
};

TWindowClass FormClass("OstravineForm", CS_DBLCLKS);
TWindowClass ControlClass("OstravineControl", CS_DBLCLKS);

// A window of the system's classes keeps its object in a window property whose name carries
// this module's address, so that a window of another module that uses the same layer is
// never taken for one of ours. Windows of this module's classes keep it in their extra
// bytes instead: every message reads it, and reading a property asks the window server
// (under Wine, a round trip each time).
const char* ObjectPropertyName() noexcept {
  static char name[32] = "";
  if (!name[0]) std::snprintf(name, sizeof name, "Ostravine.%p", static_cast<void*>(ModuleInstance()));
  return name;
}

bool IsOwnClass(const char* className) noexcept { return std::strcmp(className, ControlClassName()) == 0; }

bool IsOwnWindow(HWND window) noexcept {
  if (reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)) != ModuleInstance()) return false;
  const auto atom = static_cast<ATOM>(GetClassLongA(window, GCW_ATOM));
  return atom && (atom == FormClass.Atom() || atom == ControlClass.Atom());
}

TWinControl* ObjectOf(HWND window) noexcept {
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, 0));
}

}  // namespace

const char* FormClassName() noexcept { return "OstravineForm"; }
const char* ControlClassName() noexcept { return "OstravineControl"; }

bool IsFormWindow(HWND window) noexcept {
  return FormClass.Atom() && GetClassLongA(window, GCW_ATOM) == FormClass.Atom() &&
         reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)) == ModuleInstance();
}

COLORREF ColorToRGB(TColor color) noexcept {
  return (color & SystemColorFlag) ? GetSysColor(color & 0xFF) : static_cast<COLORREF>(color);
}

void TWinControl::DestroyControls() noexcept {
  while (!FControls.empty()) delete FControls.back();
}

TWinControl::~TWinControl() {
  DestroyControls();
  if (FParent) FParent->RemoveControl(this);
  if (!FHandle) return;
  // Detached first: the messages of the destruction find no half-destroyed object.
  const HWND window = FHandle;
  if (IsOwnWindow(window))
    SetWindowLongPtrA(window, 0, 0);
  else
    RemovePropA(window, ObjectPropertyName());
  FHandle = nullptr;
  DestroyWindow(window);
}

TWinControl* TWinControl::FromHandle(HWND window) noexcept {
  if (!window) return nullptr;
  if (IsOwnWindow(window)) return ObjectOf(window);
  return static_cast<TWinControl*>(GetPropA(window, ObjectPropertyName()));
}

void TWinControl::AttachHandle(HWND window) noexcept {
  FHandle = window;
  if (IsOwnWindow(window))
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(this));
  else
    SetPropA(window, ObjectPropertyName(), this);
}

void TWinControl::SetParent(TWinControl* parent) {
  assert(!FParent && parent && "a control is placed once");
  FParent = parent;
  parent->FControls.push_back(this);
  // An aligned control takes its place before its window is made there.
  if (FAlign != alNone) parent->AlignControls(parent->FClientSize, parent->FClientSize);
  CreateHandle();
}

void TWinControl::RemoveControl(TWinControl* control) noexcept {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
}

void TWinControl::CreateHandle() {
  const TCreateParams params = CreateParams();
  DWORD style = params.Style | WS_CHILD | WS_CLIPSIBLINGS;
  if (FVisible) style |= WS_VISIBLE;
  if (!FEnabled) style |= WS_DISABLED;
  const auto id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FParent->FNextId++));
  FFont = FParent->FFont;
  Creating();
  const char* className = IsOwnClass(params.ClassName) ? ControlClass.Name(WindowProcedure) : params.ClassName;
  const HWND window = CreateWindowExA(params.ExStyle, className, FCaption.c_str(), style, FBounds.Left,
                                      FBounds.Top, FBounds.Width, FBounds.Height, FParent->FHandle, id,
                                      ModuleInstance(), this);
  if (!window) throw Exception(S_CREATE_WINDOW);
  // A window of this module's classes was attached while it was being created.
  if (FHandle != window) AttachHandle(window);
  FClientSize = ClientSize();
  SetFont(FFont);
  Created();
}

void TWinControl::CreateTopLevel(HWND owner, const std::string& caption) {
  const TCreateParams params = CreateParams();
  FCaption = caption;
  const HWND window = CreateWindowExA(params.ExStyle, FormClass.Name(WindowProcedure), caption.c_str(),
                                      params.Style, FBounds.Left, FBounds.Top, FBounds.Width,
                                      FBounds.Height, owner, nullptr, ModuleInstance(), this);
  if (!window) throw Exception(S_CREATE_WINDOW);
  FVisible = false;
  FClientSize = ClientSize();
  Created();
}

void TWinControl::Load(const TControlDescription& description) {
  Name = description.Name;
  FCaption = description.Caption ? description.Caption : "";
  FBounds = description.Bounds;
  FAlign = description.Align;
  FAnchors = description.Anchors;
}

void TWinControl::SetBounds(const TBounds& bounds) {
  if (bounds == FBounds) return;
  FBounds = bounds;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (FAlign != alNone && FParent) FParent->AlignControls(FParent->FClientSize, FParent->FClientSize);
}

void TWinControl::UpdateBoundsFromWindow() noexcept {
  RECT rect;
  if (!FHandle || !GetWindowRect(FHandle, &rect)) return;
  if (FParent) MapWindowPoints(nullptr, FParent->FHandle, reinterpret_cast<POINT*>(&rect), 2);
  FBounds = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

SIZE TWinControl::ClientSize() const noexcept {
  RECT rect{};
  if (FHandle) GetClientRect(FHandle, &rect);
  return {rect.right, rect.bottom};
}

// Anchored controls keep their distance to the anchored edges; one anchored to both edges
// of a direction stretches. Aligned controls then fill the client area from the top.
void TWinControl::AlignControls(SIZE oldClient, SIZE newClient) {
  const int dx = newClient.cx - oldClient.cx;
  const int dy = newClient.cy - oldClient.cy;
  int top = 0;
  for (TWinControl* control : FControls) {
    TBounds bounds = control->FBounds;
    if (control->FAlign == alTop) {
      bounds = {0, top, newClient.cx, bounds.Height};
      top += bounds.Height;
    } else if (control->FAlign == alClient) {
      bounds = {0, top, newClient.cx, std::max(0, int(newClient.cy) - top)};
    } else {
      const TAnchors anchors = control->FAnchors;
      if (anchors & akRight) (anchors & akLeft) ? bounds.Width += dx : bounds.Left += dx;
      if (anchors & akBottom) (anchors & akTop) ? bounds.Height += dy : bounds.Top += dy;
    }
    if (!(bounds == control->FBounds)) {
      control->FBounds = bounds;
      if (control->FHandle)
        SetWindowPos(control->FHandle, nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

std::string TWinControl::Caption() const {
  if (!FHandle) return FCaption;
  std::string text(static_cast<size_t>(GetWindowTextLengthA(FHandle)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(FHandle, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A window given its own text again would still repaint.
void TWinControl::SetCaption(const std::string& caption) {
  const bool changed = caption != Caption();
  FCaption = caption;
  if (FHandle && changed) SetWindowTextA(FHandle, caption.c_str());
}

bool TWinControl::Visible() const noexcept {
  return FHandle ? (GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0 : FVisible;
}

bool TWinControl::Enabled() const noexcept { return FHandle ? IsWindowEnabled(FHandle) != 0 : FEnabled; }

void TWinControl::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (FHandle) EnableWindow(FHandle, enabled);
}

// A window that is not on the screen yet is painted with its font anyway when it shows.
void TWinControl::SetFont(HFONT font) noexcept {
  FFont = font;
  if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(font), IsWindowVisible(FHandle));
  for (TWinControl* control : FControls) control->SetFont(font);
}

void TWinControl::SetStyleBits(DWORD bits, bool on) noexcept {
  if (!FHandle) return;
  const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
  SetWindowLongA(FHandle, GWL_STYLE, on ? (style | LONG(bits)) : (style & ~LONG(bits)));
  Invalidate();
}

void TWinControl::Invalidate() noexcept {
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Invalidate(const RECT& rect) noexcept {
  if (FHandle) InvalidateRect(FHandle, &rect, TRUE);
}

void TWinControl::Repaint() noexcept {
  Invalidate();
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Resize() {
  const SIZE client = ClientSize();
  AlignControls(FClientSize, client);
  FClientSize = client;
  if (OnResize) OnResize(this);
}

HBRUSH TWinControl::BackgroundBrush() noexcept {
  return FParent ? FParent->BackgroundBrush() : GetSysColorBrush(COLOR_BTNFACE);
}

// Static texts, check boxes and group boxes ask their parent for their colours: they take
// the background of the window they sit on.
LRESULT TWinControl::ColorChild(HDC dc) noexcept {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(BackgroundBrush());
}

void TWinControl::ReflectCommand(WPARAM wParam, LPARAM lParam) {
  TWinControl* control = FromHandle(reinterpret_cast<HWND>(lParam));
  if (control && control->FParent == this) control->Command(HIWORD(wParam));
}

LRESULT TWinControl::DefaultHandler(const TMessage& message) noexcept {
  return DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_COMMAND: ReflectCommand(message.WParam, message.LParam); break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: message.Result = ColorChild(reinterpret_cast<HDC>(message.WParam)); break;
    case WM_WINDOWPOSCHANGED:
      UpdateBoundsFromWindow();
      message.Result = DefaultHandler(message);
      break;
    case WM_SIZE: Resize(); break;
    default: message.Result = DefaultHandler(message);
  }
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    auto* created = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (created) created->AttachHandle(window);
  }
  TWinControl* self = ObjectOf(window);
  if (!self) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  GuardEvent(self, [&] { self->WndProc(message); });
  return message.Result;
}

void RepaintButtons(TWinControl& root) noexcept {
  for (TWinControl* control : root.Controls()) {
    if (!control->Visible()) continue;
    if (control->IsButtonControl())
      control->Repaint();
    else
      RepaintButtons(*control);
  }
}
