#include "dialog/NumberDialog_win.h"

#include <string>

#include "profile/NumberText.h"
#include "resources/Texts.h"
#include "ui/Forms.h"
#include "ui/MessageDialog.h"
#include "ui/StdCtrls.h"

namespace {

// As designed at 96 pixels per inch: a row a field, the buttons under them.
constexpr int RowHeight = 28, FieldTop = 8, Width = 224;

std::string FieldName(size_t i) { return "Field" + std::to_string(i); }

}  // namespace

std::optional<std::vector<double>> AskNumbers(TForm& owner, const TNumberQuestion& question) {
  const int rows = static_cast<int>(question.Fields.size()), buttonsTop = FieldTop + rows * RowHeight + 4;
  std::vector<std::string> names;
  for (size_t i = 0; i < question.Fields.size(); ++i) names.push_back(FieldName(i));
  std::vector<TControlDescription> controls;
  for (int i = 0; i < rows; ++i) {
    const int top = FieldTop + i * RowHeight;
    controls.push_back({.Name = "", .Make = MakeControl<TLabel>, .Bounds = {8, top + 4, 110, 13},
                        .Caption = question.Fields[i].Label});
    controls.push_back({.Name = names[i].c_str(), .Make = MakeControl<TEdit>, .Bounds = {120, top, 96, 21}, .TabOrder = i});
  }
  controls.push_back({.Name = "OkButton", .Make = MakeControl<TButton>, .Bounds = {60, buttonsTop, 75, 25},
                      .Caption = S_BTN_OK, .TabOrder = rows, .ModalResult = mrOk, .Default = true});
  controls.push_back({.Name = "CancelButton", .Make = MakeControl<TButton>, .Bounds = {141, buttonsTop, 75, 25},
                      .Caption = S_BTN_CANCEL, .TabOrder = rows + 1, .ModalResult = mrCancel, .Cancel = true});
  const TFormDescription description{.Caption = question.Caption,
                                     .Bounds = {0, 0, Width, buttonsTop + 33},
                                     .BorderStyle = bsDialog,
                                     .BorderIcons = biSystemMenu,
                                     .Font = {"MS Sans Serif", -11, DEFAULT_CHARSET},
                                     .Controls = controls};
  TScaledClientForm form(&owner, description, owner.Handle());
  std::vector<TEdit*> edits;
  for (size_t i = 0; i < question.Fields.size(); ++i) {
    edits.push_back(form.Find<TEdit>(names[i]));
    edits.back()->SetCaption(ExactText(question.Fields[i].Value));
  }
  if (!edits.empty()) form.ActiveControl = edits.front();
  form.CentreOver(owner);
  for (;;) {
    if (form.ShowModal() != mrOk) return std::nullopt;
    std::vector<double> numbers;
    for (TEdit* edit : edits)
      if (const std::optional<double> number = ParseNumber(edit->Caption())) numbers.push_back(*number);
    if (numbers.size() == edits.size() && (!question.Accept || question.Accept(numbers))) return numbers;
    ShowMessageBox(question.Refusal, mkError, ButtonBit(bnOK), 0);
  }
}
