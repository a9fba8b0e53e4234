#include "dialog/LineWindow_win.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "resources/Texts.h"
#include "ui/PanelFrame.h"
#include "ui/StdCtrls.h"

namespace {

// As designed at 96 pixels per inch: the overview over the whole width, the fields and the
// button in a row under it.
const TControlDescription LineControls[] = {
    {.Name = "Overview", .Make = MakeControl<TDoubleBufferedPanel>, .Bounds = {0, 0, 360, 300}, .TabOrder = 0},
    {.Name = "FromLabel", .Make = MakeControl<TLabel>, .Bounds = {8, 312, 60, 13}, .Caption = S_LINE_FROM},
    {.Name = "FromX", .Make = MakeControl<TEdit>, .Bounds = {8, 328, 48, 21}, .TabOrder = 1},
    {.Name = "FromY", .Make = MakeControl<TEdit>, .Bounds = {60, 328, 48, 21}, .TabOrder = 2},
    {.Name = "ToLabel", .Make = MakeControl<TLabel>, .Bounds = {120, 312, 60, 13}, .Caption = S_LINE_TO},
    {.Name = "ToX", .Make = MakeControl<TEdit>, .Bounds = {120, 328, 48, 21}, .TabOrder = 3},
    {.Name = "ToY", .Make = MakeControl<TEdit>, .Bounds = {172, 328, 48, 21}, .TabOrder = 4},
    {.Name = "ResetButton", .Make = MakeControl<TButton>, .Bounds = {277, 326, 75, 25}, .Caption = S_LINE_RESET,
     .TabOrder = 5},
};

const TFormDescription LineForm{
    .Caption = S_LINE_CAPTION,
    .Bounds = {0, 0, 360, 357},
    .BorderStyle = bsSizeToolWin,
    .BorderIcons = biSystemMenu,
    .Font = {"MS Sans Serif", -11, DEFAULT_CHARSET},
    .MinSize = {240, 200},
    .Controls = LineControls,
};

constexpr int EdgeGap = 8;
constexpr int OverviewGap = 12;

bool ParseCoordinate(const std::string& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0') return false;
  value = static_cast<int>(parsed);
  return true;
}

}  // namespace

TLineWindow::TLineWindow(TForm& dialog, const TProfileSession& session, TLineSite site, std::function<void()> reset)
    : TScaledClientForm(&dialog, LineForm, dialog.Handle()),
      Overview(Find<TDoubleBufferedPanel>("Overview")),
      FromX(Find<TEdit>("FromX")),
      FromY(Find<TEdit>("FromY")),
      ToX(Find<TEdit>("ToX")),
      ToY(Find<TEdit>("ToY")),
      ResetButton(Find<TButton>("ResetButton")),
      FSite(site),
      FReset(std::move(reset)) {
  Overview->BevelOuter = bvLowered;
  FOverview = std::make_unique<TLineOverview>(*this, *Overview, session, std::move(site));
  for (TEdit* field : {FromX, FromY, ToX, ToY}) field->OnExit = [this](TComponent*) { ApplyFields(); };
  ResetButton->OnClick = [this](TComponent*) { FReset(); };
  OnResize = [this](TComponent*) { Arrange(); };
  Arrange();
  LineChanged();
}

TLineWindow::~TLineWindow() = default;

// Left of the dialog, or right of it when the screen has no room on the left.
void TLineWindow::ShowBeside(const TForm& dialog) {
  if (!FPlaced) PlaceBeside(dialog, false, ScaleDesign(EdgeGap));
  FPlaced = true;
  Show();
}

void TLineWindow::Arrange() {
  const SIZE client = ClientSize();
  const int edge = ScaleDesign(EdgeGap);
  const int fieldsTop = client.cy - edge - FromX->Height();
  for (TEdit* field : {FromX, FromY, ToX, ToY}) field->SetTop(fieldsTop);
  for (const char* name : {"FromLabel", "ToLabel"}) {
    TWinControl* label = FindControl(name);
    label->SetTop(fieldsTop - ScaleDesign(3) - label->Height());
  }
  ResetButton->SetBounds({client.cx - edge - ResetButton->Width(), client.cy - edge - ResetButton->Height(),
                          ResetButton->Width(), ResetButton->Height()});
  const int overviewHeight = fieldsTop - ScaleDesign(OverviewGap) - FindControl("FromLabel")->Height();
  Overview->SetBounds({0, 0, static_cast<int>(client.cx), overviewHeight});
}

void TLineWindow::LineChanged() {
  const TLineEnds ends = FSite.Ends();
  FromX->SetCaption(std::to_string(ends.From.X));
  FromY->SetCaption(std::to_string(ends.From.Y));
  ToX->SetCaption(std::to_string(ends.To.X));
  ToY->SetCaption(std::to_string(ends.To.Y));
  FOverview->LineChanged();
}

void TLineWindow::PictureChanged() { FOverview->Paint(); }

void TLineWindow::ApplyFields() {
  TPixelPoint from{}, to{};
  if (ParseCoordinate(FromX->Caption(), from.X) && ParseCoordinate(FromY->Caption(), from.Y) &&
      ParseCoordinate(ToX->Caption(), to.X) && ParseCoordinate(ToY->Caption(), to.Y)) {
    const TImageSize image = FOverview->Image();
    const TLineEnds ends = Ordered(Clamped(from, image), Clamped(to, image), FSite.Shape());
    if (!(ends == FSite.Ends())) return FSite.Move(ends, true);
  }
  LineChanged();
}

// Enter takes the fields; the wheel zooms the overview wherever the focus is.
void TLineWindow::WndProc(TMessage& message) {
  if (message.Msg == WM_COMMAND && LOWORD(message.WParam) == IDOK && message.LParam == 0) {
    GuardEvent(this, [this] { ApplyFields(); });
    return;
  }
  if (message.Msg == WM_MOUSEWHEEL) {
    GuardEvent(this, [&] { FOverview->Wheel(message); });
    return;
  }
  TForm::WndProc(message);
}
