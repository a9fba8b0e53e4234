#pragma once
// TStyleForm, the base of every top-level form of the system. It grows the form by the
// difference between the platform's frame metrics and the ones the form was designed with,
// applies two font rules, shows the screen cursor over the caption, minimizes the whole
// application from a secondary form, repaints the buttons after a keyboard-cue change, and
// lets a message box name the window that owns it. While styling is on, its caption is
// painted by the form's TStyleCaption.

#include <memory>

#include "ui/Forms.h"
#include "ui/StyleCaption.h"

// Whether styled forms paint their own caption; evaluated at load and on colour changes,
// it only ever goes from on to off.
extern bool StylingEnabled;

struct TFrameMetrics {
  int SizeFrameX;
  int SizeFrameY;
  int DialogFrameX;
  int DialogFrameY;
  int Caption;
  int SmallCaption;
};

// The metrics the forms are designed with.
constexpr TFrameMetrics ReferenceFrameMetrics{4, 4, 3, 3, 26, 18};
TFrameMetrics SystemFrameMetrics() noexcept;
// How much a form with this border grows: 2·dx in width, 2·dy plus the caption term in height.
// A form made at another resolution than 96 pixels per inch measures against the reference
// metrics scaled alike, as its sizes are.
SIZE FrameGrowth(TBorderStyle border, const TFrameMetrics& metrics, int pixelsPerInch = 96) noexcept;

void ReadStylingSwitch();
bool RunsOnVistaOrLater() noexcept;
int ScreenColorDepth() noexcept;
// False when "UseStyleForm" is a DWORD 0 under the current user's or the machine's key.
bool RegistryAllowsStyling() noexcept;

class TStyleForm : public TForm {
 public:
  // A form from its description, owned by the application's window; a Scaled one is made at
  // the screen's resolution (TScaledDescription) before it grows for the system's frame.
  TStyleForm(TComponent* owner, const TFormDescription& description);
  // An empty form; a non-null owner window owns its native window.
  TStyleForm(TComponent* owner, HWND ownerWindow);
  ~TStyleForm() override;

  void AfterConstruction() override;
  // Grows the form by the difference between the metrics and the reference metrics while
  // no control moves or stretches and OnResize stays silent.
  void CompensateFrameMetrics(const TFrameMetrics& metrics);
  bool IsActiveForm() const noexcept;
  HWND OwnerWindow() const noexcept { return FOwnerWindow; }
  // The caption this form paints itself; null for a form built while styling was off.
  TStyleCaption* StyledCaption() const noexcept { return FCaption.get(); }

 protected:
  void WndProc(TMessage& message) override;

 private:
  friend class TStyleCaption;
  bool Styled() const noexcept { return FCaption && StylingEnabled; }
  // The framework's handling, for the caption's messages that it wraps.
  void InheritedWndProc(TMessage& message) { TForm::WndProc(message); }
  void SetCursorMessage(TMessage& message);
  void SysCommand(TMessage& message);
  void ApplyFontRules();

  HWND FOwnerWindow = nullptr;
  std::unique_ptr<TStyleCaption> FCaption;
};
