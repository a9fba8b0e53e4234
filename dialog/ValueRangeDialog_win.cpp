#include "dialog/ValueRangeDialog_win.h"

#include "profile/NumberText.h"
#include "resources/Texts.h"
#include "ui/Forms.h"
#include "ui/MessageDialog.h"
#include "ui/StdCtrls.h"

namespace {

const TControlDescription ValueRangeControls[] = {
    {.Name = "LeastLabel", .Make = MakeControl<TLabel>, .Bounds = {8, 12, 110, 13}, .Caption = S_VALUE_RANGE_LEAST},
    {.Name = "LeastEdit", .Make = MakeControl<TEdit>, .Bounds = {120, 8, 96, 21}, .TabOrder = 0},
    {.Name = "GreatestLabel", .Make = MakeControl<TLabel>, .Bounds = {8, 40, 110, 13}, .Caption = S_VALUE_RANGE_GREATEST},
    {.Name = "GreatestEdit", .Make = MakeControl<TEdit>, .Bounds = {120, 36, 96, 21}, .TabOrder = 1},
    {.Name = "OkButton", .Make = MakeControl<TButton>, .Bounds = {60, 68, 75, 25}, .Caption = S_BTN_OK,
     .TabOrder = 2, .ModalResult = mrOk, .Default = true},
    {.Name = "CancelButton", .Make = MakeControl<TButton>, .Bounds = {141, 68, 75, 25}, .Caption = S_BTN_CANCEL,
     .TabOrder = 3, .ModalResult = mrCancel, .Cancel = true},
};

const TFormDescription ValueRangeForm{
    .Caption = S_VALUE_RANGE_CAPTION,
    .Bounds = {0, 0, 224, 101},
    .BorderStyle = bsDialog,
    .BorderIcons = biSystemMenu,
    .Font = {"MS Sans Serif", -11, DEFAULT_CHARSET},
    .Controls = ValueRangeControls,
};

}  // namespace

std::optional<TValueSpan> AskValueRange(TForm& owner, const TValueSpan& shown) {
  TForm form(&owner, ValueRangeForm, owner.Handle());
  TEdit* const least = form.Find<TEdit>("LeastEdit");
  TEdit* const greatest = form.Find<TEdit>("GreatestEdit");
  least->SetCaption(ExactText(shown.Least));
  greatest->SetCaption(ExactText(shown.Greatest));
  form.ActiveControl = least;
  form.CentreOver(owner);
  for (;;) {
    if (form.ShowModal() != mrOk) return std::nullopt;
    const std::optional<double> from = ParseNumber(least->Caption()), to = ParseNumber(greatest->Caption());
    if (from && to && *from < *to) return TValueSpan{*from, *to};
    ShowMessageBox(S_VALUE_RANGE_BAD, mkError, ButtonBit(bnOK), 0);
  }
}
