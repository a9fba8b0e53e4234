#pragma once
// The standard controls on the system's window classes: push button, check box, radio
// group and its radio buttons, label, one-line text field, and an image that shows an icon.

#include <string>
#include <vector>

#include "ui/Controls.h"

class TButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  void Load(const TControlDescription& description) override;

  // Closes a modal form with this result; 0 leaves it open.
  int ModalResult = 0;
  // Esc presses the cancel button.
  bool Cancel = false;
  // Enter presses the default button (unless another push button has the focus).
  bool Default() const noexcept { return FDefault; }
  void SetDefault(bool isDefault);
  void Click();

  bool IsButtonControl() const noexcept override { return true; }
  void Command(WORD code) override;

 protected:
  TCreateParams CreateParams() const override;

 private:
  bool FDefault = false;
};

// A button that keeps a checked state: the check box and the radio button. Setting the
// state in code sends no click.
class TToggleButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  bool Checked() const noexcept;
  void SetChecked(bool checked) noexcept;

  bool IsButtonControl() const noexcept override { return true; }
};

class TCheckBox : public TToggleButton {
 public:
  using TToggleButton::TToggleButton;
  void Command(WORD code) override;

 protected:
  TCreateParams CreateParams() const override;
};

class TRadioGroup;

// One item of a radio group; made and placed by the group.
class TRadioButton : public TToggleButton {
 public:
  TRadioButton(TRadioGroup* group, bool first);
  void Command(WORD code) override;

 protected:
  TCreateParams CreateParams() const override;

 private:
  bool FFirst;
};

// A group box with one radio button per item, laid out in columns; OnClick fires when the
// user picks an item.
class TRadioGroup : public TWinControl {
 public:
  using TWinControl::TWinControl;
  void Load(const TControlDescription& description) override;

  const std::vector<std::string>& Items() const noexcept { return FItems; }
  void SetItems(const std::vector<std::string>& items);
  int Columns() const noexcept { return FColumns; }
  int ItemIndex() const noexcept { return FItemIndex; }
  void SetItemIndex(int index) noexcept;
  // The keyboard's way into the group: the focus goes to the chosen item (the first without
  // one), as the arrow keys then move it.
  void FocusItem() noexcept;
  // A disabled group shows its caption and every item grayed.
  void SetEnabled(bool enabled) override;
  void SetCaption(const std::string& caption) override;

 protected:
  TCreateParams CreateParams() const override;
  void Created() override;
  void Resize() override;
  void WndProc(TMessage& message) override;

 private:
  friend class TRadioButton;
  void ButtonClicked(TRadioButton* button);
  void RebuildButtons();
  void ArrangeButtons() noexcept;
  int TextHeight() const noexcept;

  std::vector<std::string> FItems;
  std::vector<TRadioButton*> FButtons;
  int FColumns = 1;
  int FItemIndex = -1;
  HWND FGroupBox = nullptr;
};

// A static text. It takes the background of the window it sits on; unless it wraps, it
// sizes itself to its text.
class TLabel : public TWinControl {
 public:
  using TWinControl::TWinControl;
  void Load(const TControlDescription& description) override;

  bool AutoSize = true;
  bool WordWrap() const noexcept { return FWordWrap; }
  void SetWordWrap(bool wordWrap);
  // When off, an "&" in the caption shows as itself instead of underlining.
  bool ShowAccelChar() const noexcept { return FShowAccelChar; }
  void SetShowAccelChar(bool show);
  void SetCaption(const std::string& caption) override;

 protected:
  TCreateParams CreateParams() const override;
  void Creating() override;

 private:
  void AdjustSize();
  UINT TextFlags() const noexcept;

  bool FWordWrap = false;
  bool FShowAccelChar = true;
};

// A one-line text field; OnExit fires when it loses the focus.
class TEdit : public TWinControl {
 public:
  using TWinControl::TWinControl;
  TNotifyEvent OnExit;
  void Command(WORD code) override;

 protected:
  TCreateParams CreateParams() const override;
};

// An icon on a static control; the icon is borrowed (stock icons are shared).
class TImage : public TWinControl {
 public:
  using TWinControl::TWinControl;
  void SetIcon(HICON icon) noexcept;

 protected:
  TCreateParams CreateParams() const override;
};
