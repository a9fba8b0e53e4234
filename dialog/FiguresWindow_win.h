#pragma once
// The figures window: a tool window owned by the profile dialog with the figures of the
// range (of the whole profile while there is none) and its fits as a table, one row a figure
// and one column a curve, and "Copy". It stays open until closed; the dialog refreshes it
// whenever the figures change.

#include <functional>
#include <optional>

#include "profile/FigureTable.h"
#include "ui/Forms.h"

class TButton;
class TListView;

class TFiguresWindow : public TScaledClientForm {
 public:
  // `figures` gives the table as it stands, or none while there is no profile.
  TFiguresWindow(TForm& dialog, std::function<std::optional<TFigureTable>()> figures);

  TListView* const Table;
  TButton* const CopyButton;

  // Under the dialog's right end the first time, where the user left it after.
  void ShowBeside(const TForm& dialog);
  void FiguresChanged();

 private:
  void Arrange();
  void Copy();

  std::function<std::optional<TFigureTable>()> FFigures;
  bool FPlaced = false;
};
