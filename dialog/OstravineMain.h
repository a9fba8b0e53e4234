#pragma once
// The profile dialog: the one window of the plug-in. It shows the plot over its full width
// and, underneath, the plane choice, the two mode check boxes, the result label and the
// Close button. It decides when the profile is rebuilt and repainted, protects the host's
// pixels against the marks that sampling writes into them, and keeps its two check-box
// settings for the next dialog. Over the plot, a readout shows the sample under the mouse;
// the plot's context menu and Ctrl+C copy the values or the plot, or save the values.

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "hostabi/HostInterface.h"
#include "profile/ProfileSession.h"
#include "profile/ProfileValues.h"
#include "ui/StyleForm.h"

class TButton;
class TCheckBox;
class TComplexMap;
class TDoubleBufferedPanel;
class TLabel;
class TLinearBitmap;
class TRadioGroup;
class TTrackingToolTip;

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
  void SetSelection(const TRect& selection) noexcept { FSession.Selection = selection; }
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

 protected:
  void WndProc(TMessage& message) override;

 private:
  TProfileMode Mode() const noexcept;
  void ShowProfile();
  void PutPixelsBack();
  // Calls into the host: a broken callback raises its fault here.
  void NotifyHost();
  TPlotGeometry PlotGeometry() const;
  TProfilePlotData PlotData() const;
  void ProfilePanelMouseMove(int x, int y);
  void ShowTip(const std::string& text, POINT anchor);
  void ShowReadout(size_t sample, POINT anchor);
  void SignalHighlight();
  void MoveReadout(bool forward, bool tenth);
  void ShowReadoutAtGuide(size_t sample);
  // Zoom and pan: the samples the plot shows change, the profile does not.
  void SetView(const TPlotView& view);
  void ZoomAbout(size_t sample, int notches);
  void Pan(int64_t samples);
  void Wheel(const TMessage& message, bool horizontal);
  void ProfilePanelMouseButton(UINT button, int x, int y);
  void ExtendRange(size_t sample, POINT anchor);
  void PaintRange();
  void CopyStatistics();
  void HideReadout() noexcept;
  void PaintGuide();
  bool ShortCut(WORD key);
  // Shows the menu at a screen point; the keyboard's menu (no point) opens at the plot. False
  // when the point lies outside the plot, whose menu it is not.
  bool ContextMenu(LPARAM point);

  TProfileSession FSession;
  THostCallback FHost;
  // The numbers of the profile on show; none while no profile has been built.
  std::optional<TProfileValues> FValues;
  std::unique_ptr<TTrackingToolTip> FToolTip;
  // The sample the readout shows (its index in the whole profile), while the mouse is over
  // the plot or the keyboard has moved it.
  std::optional<size_t> FReadoutSample;
  // The samples the plot shows, and the mode of the profile they belong to: a new profile
  // of another mode or length shows whole again.
  TPlotView FView;
  // The geometry the plot was last drawn with.
  std::optional<TPlotGeometry> FGeometry;
  TProfileMode FViewMode;
  // When the host was last told of the highlight, and whether a signal waits for the timer.
  DWORD FLastSignal = 0;
  bool FSignalPending = false;
  // Where a drag with the middle button started: the column and the view then.
  std::optional<std::pair<int, TPlotView>> FDrag;
  // The range of samples dragged across with the left button (first and last, in the whole
  // profile), and the sample where the drag started while it goes on.
  std::optional<std::pair<size_t, size_t>> FRange;
  std::optional<size_t> FRangeStart;
};
