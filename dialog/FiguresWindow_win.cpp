#include "dialog/FiguresWindow_win.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "dialog/ProfilePlot_win.h"
#include "resources/Texts.h"
#include "ui/Clipboard.h"
#include "ui/ListView.h"
#include "ui/StdCtrls.h"

namespace {

// As designed at 96 pixels per inch: the table over the whole width, "Copy" under it.
const TControlDescription FiguresControls[] = {
    {.Name = "Table", .Make = MakeControl<TListView>, .Bounds = {8, 8, 344, 300}, .TabOrder = 0},
    {.Name = "CopyButton", .Make = MakeControl<TButton>, .Bounds = {277, 316, 75, 25}, .Caption = S_FIGURES_COPY,
     .TabOrder = 1},
};

const TFormDescription FiguresForm{
    .Caption = S_FIGURES_CAPTION,
    .Bounds = {0, 0, 360, 349},
    .BorderStyle = bsSizeToolWin,
    .BorderIcons = biSystemMenu,
    .Font = {"MS Sans Serif", -11, DEFAULT_CHARSET},
    .MinSize = {200, 150},
    .Controls = FiguresControls,
};

constexpr int EdgeGap = 8;

}  // namespace

TFiguresWindow::TFiguresWindow(TForm& dialog, std::function<std::optional<TFigureTable>()> figures)
    : TScaledClientForm(&dialog, FiguresForm, dialog.Handle()),
      Table(Find<TListView>("Table")),
      CopyButton(Find<TButton>("CopyButton")),
      FFigures(std::move(figures)) {
  CopyButton->OnClick = [this](TComponent*) { Copy(); };
  OnResize = [this](TComponent*) { Arrange(); };
  Arrange();
  FiguresChanged();
}

// Right of the dialog, or left of it when the screen has no room on the right.
void TFiguresWindow::ShowBeside(const TForm& dialog) {
  if (!FPlaced) PlaceBeside(dialog, true, ScaleDesign(EdgeGap));
  FPlaced = true;
  Show();
}

void TFiguresWindow::Arrange() {
  const SIZE client = ClientSize();
  const int edge = ScaleDesign(EdgeGap);
  CopyButton->SetBounds({client.cx - edge - CopyButton->Width(), client.cy - edge - CopyButton->Height(),
                         CopyButton->Width(), CopyButton->Height()});
  Table->SetBounds({edge, edge, std::max<int>(0, client.cx - 2 * edge),
                    std::max(0, CopyButton->Top() - 2 * edge)});
}

void TFiguresWindow::FiguresChanged() {
  const std::optional<TFigureTable> figures = FFigures();
  if (!figures) return Table->SetTable({}, {});
  const char separator = UserDecimalSeparator();
  std::vector<std::vector<std::string>> rows;
  for (size_t r = 0; r < figures->Rows(); ++r) {
    std::vector<std::string> row{figures->Name(r)};
    for (size_t c = 0; c + 1 < figures->Heads().size(); ++c) row.push_back(figures->Cell(r, c, separator));
    rows.push_back(std::move(row));
  }
  Table->SetTable(figures->Heads(), rows);
}

void TFiguresWindow::Copy() {
  if (const std::optional<TFigureTable> figures = FFigures()) CopyTextToClipboard(Handle(), figures->Text('\t'));
}
