#pragma once
// Top-level forms: built from a form description or empty, shown modally with modal
// results while their owner window is disabled, with the events OnCreate, OnShow, OnClose
// and OnResize. Keyboard navigation, Enter and Esc go through the dialog manager, so the
// default and cancel buttons answer as in any dialog.

#include <memory>
#include <string>
#include <vector>

#include "ui/FormDescription.h"

enum TModalResult : int {
  mrNone = 0, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo, mrAll, mrNoToAll, mrYesToAll
};

enum TCloseAction : uint8_t { caNone, caHide };
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;

class TButton;

// A description at another resolution: a Scaled form's size, minimum size, font height and
// every control's bounds multiplied by pixelsPerInch over the description's own resolution,
// rounded as the platform's MulDiv rounds; its position stays where it was designed. An
// unscaled form is taken as it is. The controls live here, so this object must outlive the
// making of the form.
class TScaledDescription {
 public:
  TScaledDescription(const TFormDescription& description, int pixelsPerInch);
  TScaledDescription(const TScaledDescription&) = delete;
  TScaledDescription& operator=(const TScaledDescription&) = delete;
  const TFormDescription& Description() const noexcept { return FDescription; }

 private:
  std::vector<TControlDescription> FControls;
  TFormDescription FDescription;
};

class TForm : public TWinControl {
 public:
  // A form described by a table; its native window is owned by ownerWindow, or by the
  // application's window when that is null.
  TForm(TComponent* owner, const TFormDescription& description, HWND ownerWindow = nullptr);
  // An empty form, to be filled in code.
  explicit TForm(TComponent* owner, HWND ownerWindow = nullptr);
  ~TForm() override;

  // Runs once the whole object is built (CreateForm calls it): fires OnCreate.
  virtual void AfterConstruction();

  int ShowModal();
  void Show();
  void Hide() noexcept;
  // A modal form ends with the cancel result; any other form runs OnClose and hides.
  void Close();
  int ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(int result) noexcept { FModalResult = result; }
  bool Modal() const noexcept { return FModal; }

  TBorderStyle BorderStyle() const noexcept { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style) noexcept;
  TBorderIcons BorderIcons() const noexcept { return FBorderIcons; }
  // Sizes the window so that its client area gets this size.
  void SetClientSize(int width, int height);
  // A tool window beside its owner, tops level: on the preferred side when the owner's
  // monitor has room there, else on the other side as far as the work area allows.
  void PlaceBeside(const TForm& owner, bool rightFirst, int gap);
  // Centred over the owner, as a dialog that asks something of it opens.
  void CentreOver(const TForm& owner);
  TPosition Position = poDesigned;
  TWindowState WindowState = wsNormal;
  bool Scaled = true;
  bool ParentFont = false;
  SIZE MinSize{0, 0};
  // The resolution the form's sizes are in, and a size designed at 96 pixels per inch in it.
  int PixelsPerInch() const noexcept { return FPixelsPerInch; }
  int ScaleDesign(int value) const noexcept { return MulDiv(value, FPixelsPerInch, 96); }
  TColor Color() const noexcept { return FColor; }
  const LOGFONTA& FontData() const noexcept { return FFontData; }
  void SetFontData(const LOGFONTA& font);
  // The control that gets the focus when the form is shown; null: the first tab stop.
  TWinControl* ActiveControl = nullptr;
  int HelpContext = 0;
  std::string HelpFile;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TCloseEvent OnClose;
  // Asked for every key pressed in the form before the control with the focus gets it;
  // true when the key was a short cut and has been acted on.
  std::function<bool(WORD key)> OnShortCut;
  // The message loop's question; what the handler raises goes to the exception event.
  bool IsShortCut(WORD key) noexcept;

  // The control of the description with this name, of the expected kind.
  template <class T>
  T* Find(const std::string& name) const {
    return dynamic_cast<T*>(FindControl(name));
  }
  TWinControl* FindControl(const std::string& name) const noexcept;

 protected:
  TCreateParams CreateParams() const override;
  void WndProc(TMessage& message) override;
  HBRUSH BackgroundBrush() noexcept override;

 private:
  void LoadControls(std::span<const TControlDescription> controls);
  void SetIcons() noexcept;
  void RunModalLoop();
  void CloseModal();
  void DoClose(TCloseAction& action);
  void Activated(bool active) noexcept;
  LRESULT DefaultButtonId() const noexcept;
  TButton* FindButton(bool (*match)(const TButton&, int), int value) const noexcept;
  void Command(WPARAM wParam, LPARAM lParam, TMessage& message);
  void EraseBackground(HDC dc) noexcept;
  void LimitTrackSize(MINMAXINFO& info) const noexcept;
  void ResolutionChanged(int pixelsPerInch, const RECT& suggested);

  // The description's icon in its two sizes, set while the window is being made.
  HICON FSmallIcon = nullptr;
  HICON FBigIcon = nullptr;
  TBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TColor FColor = clBtnFace;
  TBrushHandle FBrush;
  LOGFONTA FFontData{};
  TFontHandle FFontHandle;
  HWND FFocused = nullptr;
  int FModalResult = mrNone;
  bool FModal = false;
  int FPixelsPerInch = 96;
};

// A form whose description gives its client area, as designed at 96 pixels per inch (a
// dialog's own tool window, a question it asks): made at the screen's resolution
// (TScaledDescription), then sized so that its client area has the scaled size whatever the
// system's frame and caption take.
class TScaledClientForm : public TForm {
 public:
  TScaledClientForm(TComponent* owner, const TFormDescription& description, HWND ownerWindow);
};

// The form a control sits on, or null.
TForm* ParentForm(TWinControl* control) noexcept;

// Builds a form and completes it, so that OnCreate runs on the whole object.
template <class T, class... Args>
std::unique_ptr<T> CreateForm(Args&&... args) {
  auto form = std::make_unique<T>(std::forward<Args>(args)...);
  form->AfterConstruction();
  return form;
}
