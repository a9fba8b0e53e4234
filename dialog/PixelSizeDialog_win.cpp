#include "dialog/PixelSizeDialog_win.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "platform/WinApi.h"
#include "profile/NumberText.h"
#include "resources/Texts.h"
#include "ui/Forms.h"
#include "ui/MessageDialog.h"
#include "ui/StdCtrls.h"

namespace {

// The units in the order of LengthUnits.
constexpr const char* UnitItems = S_UNIT_NONE "\nnm\n\xC2\xB5m\nmm\ncm\nm\nin";

const TControlDescription PixelSizeControls[] = {
    {.Name = "LengthLabel", .Make = MakeControl<TLabel>, .Bounds = {8, 12, 110, 13}, .Caption = S_PIXEL_SIZE_LENGTH},
    {.Name = "LengthEdit", .Make = MakeControl<TEdit>, .Bounds = {120, 8, 96, 21}, .TabOrder = 0},
    {.Name = "UnitGroup", .Make = MakeControl<TRadioGroup>, .Bounds = {8, 36, 208, 66}, .Caption = S_PIXEL_SIZE_UNIT,
     .TabOrder = 1, .Items = UnitItems, .Columns = 4, .ItemIndex = 0},
    {.Name = "OkButton", .Make = MakeControl<TButton>, .Bounds = {60, 112, 75, 25}, .Caption = S_BTN_OK,
     .TabOrder = 2, .ModalResult = mrOk, .Default = true},
    {.Name = "CancelButton", .Make = MakeControl<TButton>, .Bounds = {141, 112, 75, 25}, .Caption = S_BTN_CANCEL,
     .TabOrder = 3, .ModalResult = mrCancel, .Cancel = true},
};

const TFormDescription PixelSizeForm{
    .Caption = S_PIXEL_SIZE_CAPTION,
    .Bounds = {0, 0, 224, 145},
    .BorderStyle = bsDialog,
    .BorderIcons = biSystemMenu,
    .Font = {"MS Sans Serif", -11, DEFAULT_CHARSET},
    .Controls = PixelSizeControls,
};

}  // namespace

std::optional<TPixelSize> AskPixelSize(TForm& owner, const TPixelSize& size) {
  TScaledClientForm form(&owner, PixelSizeForm, owner.Handle());
  TEdit* const length = form.Find<TEdit>("LengthEdit");
  TRadioGroup* const unit = form.Find<TRadioGroup>("UnitGroup");
  // The buttons take the ANSI code page; "µm" is UTF-8.
  std::vector<std::string> units = unit->Items();
  for (std::string& item : units) item = AnsiText(item);
  unit->SetItems(units);
  length->SetCaption(ExactText(size.Length));
  unit->SetItemIndex(static_cast<int>(size.Unit));
  form.ActiveControl = length;
  form.CentreOver(owner);
  for (;;) {
    if (form.ShowModal() != mrOk) return std::nullopt;
    const std::optional<double> typed = ParseLength(length->Caption());
    if (typed) return TPixelSize{*typed, LengthUnits[std::clamp<int>(unit->ItemIndex(), 0, std::size(LengthUnits) - 1)]};
    ShowMessageBox(S_PIXEL_SIZE_BAD, mkError, ButtonBit(bnOK), 0);
  }
}
