#pragma once
// The profile dialog: the one window of the plug-in. It shows the plot over its full width
// and, underneath, the plane choice, the two mode check boxes, the result label and the
// Close button. It decides when the profile is rebuilt and repainted, protects the host's
// pixels against the marks that sampling writes into them, and keeps its two check-box
// settings for the next dialog. The plot's panel (TPlotPanel) shows the readout, the zoom
// and the range; the plot's context menu and Ctrl+C copy the values or the plot, or save
// the values.

#include <memory>

#include "dialog/FiguresWindow_win.h"
#include "dialog/PlotPanel_win.h"
#include "hostabi/HostInterface.h"
#include "profile/ProfileSession.h"
#include "ui/PacedCall.h"
#include "ui/StyleForm.h"

class TButton;
class TCheckBox;
class TComplexMap;
class TDoubleBufferedPanel;
class TLabel;
class TLinearBitmap;
class TLineWindow;
class TRadioGroup;

class TProfilePluginForm : public TStyleForm {
 public:
  // `host` is told each time the dialog has changed or restored the host's pixels.
  TProfilePluginForm(TComponent* owner, THostCallback host);
  // Puts the host's pixels back if no close did, whatever ended the dialog.
  ~TProfilePluginForm() override;

  TRadioGroup* const PlaneGroup;
  TDoubleBufferedPanel* const ProfilePanel;
  TButton* const CloseButton;
  TLabel* const LengthLabel;
  TCheckBox* const DirectionBox;
  TCheckBox* const IntegrateBox;

  // Set by the command before the dialog is shown. The raster stays the command's; exactly
  // one of the two is set.
  void SetSelection(const TRect& selection) noexcept { FSession.Selection = FSelection = selection; }
  void SetBitmap(TLinearBitmap* bitmap) noexcept { FSession.Raster.Bitmap = bitmap; }
  void SetMap(const TComplexMap* map) noexcept { FSession.Raster.Map = map; }
  // The planes of a real image ("Real") or a complex one ("Real", "Complex"), item 0 chosen.
  void UseMapPlanes(bool complex);

  void FormCreate(TComponent* sender);
  void FormShow(TComponent* sender);
  void StartProfile();
  void CheckBoxClick(TComponent* sender);
  void FormClose(TComponent* sender, TCloseAction& action);
  void FormResize(TComponent* sender);
  void PaintProfile(TComponent* sender);

  // The plot's commands, also on its context menu.
  void CopyValues();
  void SetFitToValues(bool fit);
  void SetLineWidth(int width);
  void CopyPlot();
  void SaveValues();
  void AskValueRange();
  // The line window (Ctrl+L), and the line it moves: the profile follows each move, the
  // host's marks with it; Reset brings back the selection's.
  void ShowLineWindow();
  TLineEnds LineEnds() const noexcept;
  void MoveLine(const TLineEnds& ends, bool settled);
  void ResetLine();
  // The figures window (Ctrl+F), kept up to date with the range, its fits and the plane.
  void ShowFiguresWindow();
  void FiguresChanged();
  void AskPixelSize();

 protected:
  void WndProc(TMessage& message) override;

 private:
  TProfileMode Mode() const noexcept;
  void ShowProfile();
  void PutPixelsBack();
  // Calls into the host: a broken callback raises its fault here.
  void NotifyHost();
  void CopyStatistics();
  void ShowAxes(bool show);
  bool ShortCut(WORD key);
  // Shows the menu at a screen point; the keyboard's menu (no point) opens at the plot. False
  // when the point lies outside the plot, whose menu it is not.
  bool ContextMenu(LPARAM point);
  void RunPlotCommand(UINT command);

  TLineShape Shape() const noexcept;

  TProfileSession FSession;
  THostCallback FHost;
  // The host told that its pixels changed, while they keep changing (a moving readout, a
  // line dragged) at most 20 times a second, and once more when they settle.
  TPacedCall FHostSignal;
  // The plot on the panel: its view, range and readout.
  std::unique_ptr<TPlotPanel> FPlot;
  // The host's selection, and the diagonal chosen when the line first left it.
  TRect FSelection{};
  bool FSelectionDirection = false;
  std::unique_ptr<TLineWindow> FLineWindow;
  std::unique_ptr<TFiguresWindow> FFiguresWindow;
};
