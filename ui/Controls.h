#pragma once
// Windowed controls: a C++ object per native window, with its bounds, alignment, anchors
// and child controls. The object creates its window when it gets a parent and destroys it
// with itself. Windows of the system's own classes run one window procedure that finds the
// object and hands it each message; the standard controls (buttons, statics) report to
// their parent, which passes the notification on to the control's object.

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "platform/Handles.h"

// A colour: an RGB value (the image model's colour type), or a system colour index with
// the top bit set.
using TColor = uint32_t;
constexpr TColor SystemColorFlag = 0x80000000u;
constexpr TColor SystemColor(int index) { return SystemColorFlag | unsigned(index); }
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
COLORREF ColorToRGB(TColor color) noexcept;

enum TAlign : uint8_t { alNone, alTop, alClient };
enum TAnchor : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = uint8_t;

struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TBounds&, const TBounds&) = default;
};

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

struct TControlDescription;

class TWinControl : public TComponent {
 public:
  explicit TWinControl(TComponent* owner) : TComponent(owner) {}
  ~TWinControl() override;

  HWND Handle() const noexcept { return FHandle; }
  static TWinControl* FromHandle(HWND window) noexcept;

  TWinControl* Parent() const noexcept { return FParent; }
  // Creates the native window inside the parent's; a control without a parent has none.
  void SetParent(TWinControl* parent);
  const std::vector<TWinControl*>& Controls() const noexcept { return FControls; }

  // Reads what the description holds for every control; kinds add their own properties.
  virtual void Load(const TControlDescription& description);

  const TBounds& Bounds() const noexcept { return FBounds; }
  int Left() const noexcept { return FBounds.Left; }
  int Top() const noexcept { return FBounds.Top; }
  int Width() const noexcept { return FBounds.Width; }
  int Height() const noexcept { return FBounds.Height; }
  void SetBounds(const TBounds& bounds);
  void SetLeft(int left) { SetBounds({left, Top(), Width(), Height()}); }
  void SetTop(int top) { SetBounds({Left(), top, Width(), Height()}); }
  void SetWidth(int width) { SetBounds({Left(), Top(), width, Height()}); }
  void SetHeight(int height) { SetBounds({Left(), Top(), Width(), height}); }
  SIZE ClientSize() const noexcept;

  TAlign Align() const noexcept { return FAlign; }
  TAnchors Anchors() const noexcept { return FAnchors; }
  void SetAnchors(TAnchors anchors) noexcept { FAnchors = anchors; }

  std::string Caption() const;
  virtual void SetCaption(const std::string& caption);
  bool Visible() const noexcept;
  bool Enabled() const noexcept;
  virtual void SetEnabled(bool enabled);
  HFONT Font() const noexcept { return FFont; }
  // The font of this control and of every child that has no font of its own.
  void SetFont(HFONT font) noexcept;

  void Invalidate() noexcept;
  void Invalidate(const RECT& rect) noexcept;
  void Repaint() noexcept;

  // Push buttons, check boxes and radio buttons: what the keyboard-cue repaint walks to.
  virtual bool IsButtonControl() const noexcept { return false; }
  // The notification code that a standard control sent to its parent.
  virtual void Command(WORD) {}

  std::string Name;
  TNotifyEvent OnClick;
  TNotifyEvent OnResize;

 protected:
  struct TCreateParams {
    const char* ClassName;
    DWORD Style;
    DWORD ExStyle;
  };
  virtual TCreateParams CreateParams() const = 0;
  // The window is about to be made with the parent's font; kinds settle their bounds here,
  // so that it is made where it stays.
  virtual void Creating() {}
  // The native window exists and has the control's font; kinds apply their state here.
  virtual void Created() {}
  // The client area changed size: realign the children, then fire OnResize.
  virtual void Resize();
  // Messages of the system's own window classes; standard controls never get here.
  virtual void WndProc(TMessage& message);
  LRESULT DefaultHandler(const TMessage& message) noexcept;
  // Destroys the child controls (each leaves its owner's list).
  void DestroyControls() noexcept;

  // Creates the native window of a top-level control (a form): owner instead of parent.
  void CreateTopLevel(HWND owner, const std::string& caption);
  void SetStyleBits(DWORD bits, bool on) noexcept;
  // The brush that the control's children paint their background with.
  virtual HBRUSH BackgroundBrush() noexcept;
  void UpdateBoundsFromWindow() noexcept;

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  void CreateHandle();
  void AttachHandle(HWND window) noexcept;
  void RemoveControl(TWinControl* control) noexcept;
  void AlignControls(SIZE oldClient, SIZE newClient);
  LRESULT ColorChild(HDC dc) noexcept;
  void ReflectCommand(WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;
  TWinControl* FParent = nullptr;
  std::vector<TWinControl*> FControls;
  TBounds FBounds;
  SIZE FClientSize{};
  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  std::string FCaption;
  bool FVisible = true;
  bool FEnabled = true;
  HFONT FFont = nullptr;
  int FNextId = 100;
};

// The window classes of the system, registered with this module's instance on first use
// and unregistered when the module unloads.
const char* FormClassName() noexcept;
const char* ControlClassName() noexcept;
bool IsFormWindow(HWND window) noexcept;

// Walks the visible windowed controls under the root: buttons are repainted at once, any
// other control passes the walk on to its children.
void RepaintButtons(TWinControl& root) noexcept;
