#include "ui/StdCtrls.h"

#include <algorithm>

#include "ui/FormDescription.h"
#include "ui/Forms.h"

namespace {

std::vector<std::string> SplitLines(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* c = text; c && *c; ++c) {
    if (*c != '\n') {
      line += *c;
      continue;
    }
    lines.push_back(line);
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

void TButton::Load(const TControlDescription& description) {
  TWinControl::Load(description);
  ModalResult = description.ModalResult;
  Cancel = description.Cancel;
  FDefault = description.Default;
}

TWinControl::TCreateParams TButton::CreateParams() const {
  return {"BUTTON", DWORD(WS_TABSTOP | WS_GROUP | (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)), 0};
}

void TButton::SetDefault(bool isDefault) {
  FDefault = isDefault;
  if (Handle()) SendMessageA(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

// The form learns the result first, so that a click handler can still keep it open.
void TButton::Click() {
  if (TForm* form = ParentForm(this)) form->SetModalResult(ModalResult);
  if (OnClick) OnClick(this);
}

void TButton::Command(WORD code) {
  if (code == BN_CLICKED) Click();
}

bool TToggleButton::Checked() const noexcept { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TToggleButton::SetChecked(bool checked) noexcept {
  SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

TWinControl::TCreateParams TCheckBox::CreateParams() const {
  return {"BUTTON", DWORD(WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX), 0};
}

void TCheckBox::Command(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick(this);
}

TRadioButton::TRadioButton(TRadioGroup* group, bool first) : TToggleButton(group), FFirst(first) {}

TWinControl::TCreateParams TRadioButton::CreateParams() const {
  return {"BUTTON", DWORD(BS_AUTORADIOBUTTON | (FFirst ? WS_GROUP | WS_TABSTOP : 0)), 0};
}

void TRadioButton::Command(WORD code) {
  if (code == BN_CLICKED) static_cast<TRadioGroup*>(Parent())->ButtonClicked(this);
}

void TRadioGroup::Load(const TControlDescription& description) {
  TWinControl::Load(description);
  FItems = SplitLines(description.Items);
  FColumns = std::max(1, description.Columns);
  FItemIndex = description.ItemIndex;
}

// The group is a window of its own, so that the radio buttons' notifications reach it; the
// group box inside it only draws the frame and the caption. Made after the buttons, the
// box lies beneath them.
TWinControl::TCreateParams TRadioGroup::CreateParams() const {
  return {ControlClassName(), 0, WS_EX_CONTROLPARENT};
}

void TRadioGroup::Created() {
  RebuildButtons();
  FGroupBox = CreateWindowExA(0, "BUTTON", Caption().c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0,
                              Width(), Height(), Handle(), nullptr, ModuleInstance(), nullptr);
  SendMessageA(FGroupBox, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

void TRadioGroup::SetCaption(const std::string& caption) {
  TWinControl::SetCaption(caption);
  if (FGroupBox) SetWindowTextA(FGroupBox, caption.c_str());
}

void TRadioGroup::SetItems(const std::vector<std::string>& items) {
  FItems = items;
  if (FItemIndex >= static_cast<int>(items.size())) FItemIndex = -1;
  if (Handle()) RebuildButtons();
}

void TRadioGroup::SetItemIndex(int index) noexcept {
  FItemIndex = index >= 0 && index < static_cast<int>(FButtons.size()) ? index : -1;
  for (size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetChecked(static_cast<int>(i) == FItemIndex);
}

void TRadioGroup::FocusItem() noexcept {
  if (FButtons.empty()) return;
  SetFocus(FButtons[FItemIndex >= 0 ? static_cast<size_t>(FItemIndex) : 0]->Handle());
}

void TRadioGroup::SetEnabled(bool enabled) {
  TWinControl::SetEnabled(enabled);
  if (FGroupBox) EnableWindow(FGroupBox, enabled);
  for (TRadioButton* button : FButtons) button->SetEnabled(enabled);
}

// The buttons get their places before their windows, which are made where they belong.
void TRadioGroup::RebuildButtons() {
  for (TRadioButton* button : FButtons) delete button;
  FButtons.clear();
  for (const std::string& item : FItems) {
    auto* button = new TRadioButton(this, FButtons.empty());
    FButtons.push_back(button);
    button->SetCaption(item);
    button->SetEnabled(Enabled());
  }
  ArrangeButtons();
  for (TRadioButton* button : FButtons) button->SetParent(this);
  // The group box stays beneath the buttons, which it must not paint over.
  if (FGroupBox) SetWindowPos(FGroupBox, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetItemIndex(FItemIndex);
}

int TRadioGroup::TextHeight() const noexcept {
  TWindowDc dc(Handle());
  TSelectObject font(dc.Get(), Font() ? static_cast<HGDIOBJ>(Font()) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc.Get(), &metrics);
  return metrics.tmHeight;
}

// Below the caption line the height is shared out evenly among the rows; what does not
// divide evenly goes half above the first row.
void TRadioGroup::ArrangeButtons() noexcept {
  if (!Handle()) return;
  const int count = static_cast<int>(FButtons.size());
  if (count == 0) return;
  const int perColumn = (count + FColumns - 1) / FColumns;
  const int buttonWidth = (Width() - 10) / FColumns;
  const int textHeight = TextHeight();
  const int free = Height() - textHeight - 5;
  const int buttonHeight = free / perColumn;
  const int topMargin = textHeight + 1 + (free % perColumn) / 2;
  for (int i = 0; i < count; ++i)
    FButtons[i]->SetBounds({(i / perColumn) * buttonWidth + 8, (i % perColumn) * buttonHeight + topMargin,
                            buttonWidth, buttonHeight});
}

void TRadioGroup::Resize() {
  if (FGroupBox) SetWindowPos(FGroupBox, nullptr, 0, 0, Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  ArrangeButtons();
  TWinControl::Resize();
}

void TRadioGroup::ButtonClicked(TRadioButton* button) {
  const auto found = std::find(FButtons.begin(), FButtons.end(), button);
  if (found == FButtons.end()) return;
  FItemIndex = static_cast<int>(found - FButtons.begin());
  if (OnClick) OnClick(this);
}

void TRadioGroup::WndProc(TMessage& message) {
  if (message.Msg != WM_ERASEBKGND) return TWinControl::WndProc(message);
  RECT client;
  GetClientRect(Handle(), &client);
  FillRect(reinterpret_cast<HDC>(message.WParam), &client, BackgroundBrush());
  message.Result = 1;
}

void TLabel::Load(const TControlDescription& description) {
  TWinControl::Load(description);
  FWordWrap = description.WordWrap;
  FShowAccelChar = description.ShowAccelChar;
}

TWinControl::TCreateParams TLabel::CreateParams() const {
  return {"STATIC", DWORD((FWordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | (FShowAccelChar ? 0 : SS_NOPREFIX)), 0};
}

void TLabel::Creating() { AdjustSize(); }

void TLabel::SetWordWrap(bool wordWrap) {
  FWordWrap = wordWrap;
  SetStyleBits(SS_LEFTNOWORDWRAP, false);
  SetStyleBits(wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP, true);
  AdjustSize();
}

void TLabel::SetShowAccelChar(bool show) {
  FShowAccelChar = show;
  SetStyleBits(SS_NOPREFIX, !show);
  AdjustSize();
}

// The profile's label is set again on every rebuild, mostly to the same text.
void TLabel::SetCaption(const std::string& caption) {
  if (caption == Caption()) return;
  TWinControl::SetCaption(caption);
  AdjustSize();
}

UINT TLabel::TextFlags() const noexcept {
  return DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE) | (FShowAccelChar ? 0 : DT_NOPREFIX);
}

// A wrapping label keeps its width and takes the height of its text; any other label
// takes the size of its text. Before its window exists the label measures on the screen.
void TLabel::AdjustSize() {
  if (!AutoSize) return;
  TWindowDc dc(Handle());
  TSelectObject font(dc.Get(), Font() ? static_cast<HGDIOBJ>(Font()) : GetStockObject(DEFAULT_GUI_FONT));
  const std::string text = Caption();
  RECT rect{0, 0, FWordWrap ? Width() : 0, 0};
  DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &rect, TextFlags());
  SetBounds({Left(), Top(), FWordWrap ? Width() : int(rect.right), int(rect.bottom)});
}

TWinControl::TCreateParams TImage::CreateParams() const { return {"STATIC", SS_ICON, 0}; }

void TImage::SetIcon(HICON icon) noexcept {
  SendMessageA(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

TWinControl::TCreateParams TEdit::CreateParams() const {
  return {"EDIT", DWORD(WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL), WS_EX_CLIENTEDGE};
}

void TEdit::Command(WORD code) {
  if (code == EN_KILLFOCUS && OnExit) OnExit(this);
}
