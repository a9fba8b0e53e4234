#include "ui/MessageDialog.h"

#include <algorithm>
#include <cstddef>

#include "resources/Texts.h"
#include "ui/Canvas.h"
#include "ui/StdCtrls.h"

std::array<int32_t, MessageButtonCount> ButtonWidthCache{};

namespace {

struct TKindInfo {
  UINT Caption;
  WORD Icon;  // a stock icon id: IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION
};

// mkCustom has no icon and takes the application's title.
constexpr TKindInfo KindInfo[] = {
    {IDS_MSG_WARNING, 32515}, {IDS_MSG_ERROR, 32513}, {IDS_MSG_INFORMATION, 32516}, {IDS_MSG_CONFIRM, 32514}, {0, 0}};

struct TButtonInfo {
  UINT Caption;
  int Result;
};

constexpr TButtonInfo ButtonInfo[MessageButtonCount] = {
    {IDS_BTN_YES, mrYes},       {IDS_BTN_NO, mrNo},         {IDS_BTN_YES_TO_ALL, mrYesToAll},
    {IDS_BTN_NO_TO_ALL, mrNoToAll}, {IDS_BTN_ALL, mrAll},   {IDS_BTN_OK, mrOk},
    {IDS_BTN_RETRY, mrRetry},   {IDS_BTN_IGNORE, mrIgnore}, {IDS_BTN_ABORT, mrAbort},
    {IDS_BTN_CANCEL, mrCancel}, {IDS_BTN_HELP, mrNone}};

// The record without its last field (the padded border), as every Windows version fills it.
constexpr UINT NonClientMetricsSize = 340;
static_assert(offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA) == NonClientMetricsSize);

struct TButtonEntry {
  std::string Caption;
  int Result;
  bool Default;
  bool Cancel;
  bool Help;
};

bool Has(TMessageButtons buttons, TMessageButton button) { return buttons & ButtonBit(button); }

TMessageButton DefaultButton(TMessageButtons buttons) {
  return Has(buttons, bnOK) ? bnOK : Has(buttons, bnYes) ? bnYes : bnRetry;
}

TMessageButton CancelButton(TMessageButtons buttons) {
  return Has(buttons, bnCancel) ? bnCancel : Has(buttons, bnNo) ? bnNo : bnOK;
}

// Lays one dialog out on the form's own font.
class TMessageBuilder {
 public:
  explicit TMessageBuilder(TMessageForm& form)
      : FForm(form), FDc(form.Handle()), FCanvas(FDc.Get()) {
    FCanvas.SetFont(form.FontData());
    FLayout = MessageLayout(AverageCharSize(FCanvas));
  }

  int MinButtonWidth() const noexcept { return FLayout.ButtonWidth; }
  int ButtonWidth(const std::string& caption) { return Measure(caption, DT_CALCRECT | DT_SINGLELINE, 0).cx + 8; }
  void Build(const std::string& text, TMessageKind kind, int buttonWidth, const std::vector<TButtonEntry>& buttons);

 private:
  SIZE Measure(const std::string& text, UINT flags, int width);
  void AddIcon(WORD icon);
  void AddText(const std::string& text, TBounds bounds);
  void AddButtons(const std::vector<TButtonEntry>& buttons, int x, int top, int width);

  TMessageForm& FForm;
  TWindowDc FDc;
  TCanvas FCanvas;
  TMessageLayout FLayout{};
};

SIZE TMessageBuilder::Measure(const std::string& text, UINT flags, int width) {
  const TSelectObject font(FDc.Get(), FForm.Font());
  RECT rect{0, 0, width, 0};
  DrawTextA(FDc.Get(), text.c_str(), static_cast<int>(text.size()), &rect, flags);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// The text is measured as the label shows it: an "&" is a character of its own, not the
// mark of an underlined letter, so that the label is as wide as its text.
void TMessageBuilder::Build(const std::string& text, TMessageKind kind, int buttonWidth,
                            const std::vector<TButtonEntry>& buttons) {
  const TMessageLayout& l = FLayout;
  const SIZE textSize = Measure(text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX, Screen.Width() / 2);
  const WORD icon = KindInfo[kind].Icon;
  const int blockWidth = icon ? textSize.cx + 32 + l.HorzSpacing : textSize.cx;
  const int blockHeight = icon ? std::max<int>(textSize.cy, 32) : textSize.cy;
  const int count = static_cast<int>(buttons.size());
  const int groupWidth = count ? count * buttonWidth + (count - 1) * l.ButtonSpacing : 0;
  const int clientWidth = std::max(blockWidth, groupWidth) + 2 * l.HorzMargin;
  FForm.SetClientSize(clientWidth, blockHeight + l.ButtonHeight + l.VertSpacing + 2 * l.VertMargin);
  FForm.SetBounds({Screen.Width() / 2 - FForm.Width() / 2, Screen.Height() / 2 - FForm.Height() / 2,
                   FForm.Width(), FForm.Height()});
  FForm.SetCaption(icon ? LoadResString(KindInfo[kind].Caption) : Application.Title());
  if (icon) AddIcon(icon);
  AddText(text, {blockWidth - textSize.cx + l.HorzMargin, l.VertMargin, textSize.cx, textSize.cy});
  AddButtons(buttons, (clientWidth - groupWidth) / 2, blockHeight + l.VertMargin + l.VertSpacing, buttonWidth);
}

void TMessageBuilder::AddIcon(WORD icon) {
  auto* image = new TImage(&FForm);
  image->SetBounds({FLayout.HorzMargin, FLayout.VertMargin, 32, 32});
  image->SetParent(&FForm);
  image->SetIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(icon)));
}

void TMessageBuilder::AddText(const std::string& text, TBounds bounds) {
  auto* label = new TLabel(&FForm);
  label->AutoSize = false;
  label->SetWordWrap(true);
  label->SetShowAccelChar(false);
  label->SetCaption(text);
  label->SetBounds(bounds);
  label->SetParent(&FForm);
}

void TMessageBuilder::AddButtons(const std::vector<TButtonEntry>& buttons, int x, int top, int width) {
  for (const TButtonEntry& entry : buttons) {
    auto* button = new TButton(&FForm);
    button->SetCaption(entry.Caption);
    button->ModalResult = entry.Result;
    button->SetDefault(entry.Default);
    button->Cancel = entry.Cancel;
    button->SetBounds({x, top, width, FLayout.ButtonHeight});
    button->SetParent(&FForm);
    if (entry.Help) button->OnClick = [form = &FForm](TComponent* sender) { form->HelpButtonClick(sender); };
    // Enter answers the default button from the start, as in the platform's own boxes.
    if (entry.Default) FForm.ActiveControl = button;
    x += width + FLayout.ButtonSpacing;
  }
}

std::unique_ptr<TMessageForm> NewMessageForm() {
  auto form = CreateForm<TMessageForm>(&Application);
  form->SetBorderStyle(bsDialog);
  return form;
}

int ClampedCancel(int32_t cancelPosition, int count) { return std::clamp<int>(cancelPosition - 1, 0, count - 1); }

}  // namespace

TMessageLayout MessageLayout(SIZE charSize) noexcept {
  const int cx = charSize.cx;
  const int cy = charSize.cy;
  return {MulDiv(8, cx, 4),  MulDiv(8, cy, 8),  MulDiv(10, cx, 4), MulDiv(10, cy, 8),
          MulDiv(50, cx, 4), MulDiv(14, cy, 8), MulDiv(4, cx, 4)};
}

SIZE AverageCharSize(TCanvas& canvas) {
  const SIZE extent = canvas.TextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {extent.cx / 52, extent.cy};
}

HWND ActiveOwnerWindow() noexcept {
  TForm* active = Screen.ActiveForm;
  if (active && (active == Application.MainForm || active->Modal())) return active->Handle();
  return nullptr;
}

TMessageForm::TMessageForm(TComponent* owner) : TStyleForm(owner, ActiveOwnerWindow()) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = NonClientMetricsSize;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) SetFontData(metrics.lfMessageFont);
}

void TMessageForm::HelpButtonClick(TComponent*) { Application.ShowHelp(HelpContext, HelpFile); }

std::unique_ptr<TMessageForm> CreateMessageForm(const std::string& text, TMessageKind kind, TMessageButtons buttons) {
  auto form = NewMessageForm();
  TMessageBuilder builder(*form);
  int width = builder.MinButtonWidth();
  std::vector<TButtonEntry> entries;
  const TMessageButton defaultButton = DefaultButton(buttons);
  const TMessageButton cancelButton = CancelButton(buttons);
  for (int i = 0; i < MessageButtonCount; ++i) {
    const auto button = static_cast<TMessageButton>(i);
    if (!Has(buttons, button)) continue;
    std::string caption = LoadResString(ButtonInfo[i].Caption);
    if (ButtonWidthCache[i] == 0) ButtonWidthCache[i] = builder.ButtonWidth(caption);
    width = std::max(width, ButtonWidthCache[i]);
    entries.push_back({std::move(caption), ButtonInfo[i].Result, button == defaultButton, button == cancelButton,
                     button == bnHelp});
  }
  builder.Build(text, kind, width, entries);
  return form;
}

std::unique_ptr<TMessageForm> CreateCustomMessageForm(const std::string& text, TMessageKind kind,
                                                      const std::vector<std::string>& captions,
                                                      int32_t cancelPosition) {
  auto form = NewMessageForm();
  TMessageBuilder builder(*form);
  int width = builder.MinButtonWidth();
  std::vector<TButtonEntry> entries;
  const int count = static_cast<int>(captions.size());
  for (int i = 0; i < count; ++i) {
    width = std::max(width, builder.ButtonWidth(captions[i]));
    entries.push_back({captions[i], -(i + 1), i == 0, i == ClampedCancel(cancelPosition, count), false});
  }
  builder.Build(text, kind, width, entries);
  return form;
}

int32_t ShowMessageBox(const std::string& text, TMessageKind kind, TMessageButtons buttons, int32_t helpContext) {
  return ShowMessageBoxAt(text, kind, buttons, helpContext, -1, -1, "");
}

int32_t ShowMessageBoxAt(const std::string& text, TMessageKind kind, TMessageButtons buttons,
                         int32_t helpContext, int32_t x, int32_t y, const std::string& helpFile) {
  const auto form = CreateMessageForm(text, kind, buttons);
  form->HelpContext = helpContext;
  form->HelpFile = helpFile;
  if (x >= 0) form->SetLeft(x);
  if (y >= 0) form->SetTop(y);
  if (x < 0 && y < 0) form->Position = poScreenCenter;
  return form->ShowModal();
}

int32_t ShowCustomMessageBox(const std::string& text, TMessageKind kind, const std::vector<std::string>& captions,
                             int32_t cancelPosition) {
  const auto form = CreateCustomMessageForm(text, kind, captions, cancelPosition);
  form->Position = poScreenCenter;
  const int result = form->ShowModal();
  return result <= 0 ? -result : 0;
}
