#pragma once
// The line window: a tool window beside the profile dialog, owned by it, with the overview
// of the image and the line over it, four fields with the line's ends and "Reset", which
// brings back the selection's diagonal (or rectangle). The dialog owns the line: the window
// hands every move to it and hears of every change (LineChanged).

#include <memory>

#include "dialog/LineOverview_win.h"
#include "ui/Forms.h"

class TButton;
class TDoubleBufferedPanel;
class TEdit;
class TLabel;

class TLineWindow : public TScaledClientForm {
 public:
  // `reset` brings back the selection's line.
  TLineWindow(TForm& dialog, const TProfileSession& session, TLineSite site, std::function<void()> reset);
  ~TLineWindow() override;

  TDoubleBufferedPanel* const Overview;
  TEdit* const FromX;
  TEdit* const FromY;
  TEdit* const ToX;
  TEdit* const ToY;
  TButton* const ResetButton;

  // Shown beside the dialog the first time, where the user left it after.
  void ShowBeside(const TForm& dialog);
  // The profile was rebuilt: the fields and the overlay follow the line, the picture the plane.
  void LineChanged();
  void PictureChanged();

 protected:
  void WndProc(TMessage& message) override;

 private:
  void Arrange();
  // The ends typed into the fields, when all four are numbers: kept inside the image.
  void ApplyFields();

  TLineSite FSite;
  std::function<void()> FReset;
  std::unique_ptr<TLineOverview> FOverview;
  bool FPlaced = false;
};
