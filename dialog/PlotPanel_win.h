#pragma once
// The plot on the profile dialog's panel: what it shows of the profile (the samples in
// view, the range dragged across it, the readout's guide) and what the mouse and the plot's
// keys do to that. The dialog owns it, rebuilds the profile and hands the result over; the
// readout's highlight in the host's image goes through the dialog's session.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "dialog/PlotFits_win.h"
#include "profile/FigureTable.h"
#include "profile/PlotPicture.h"
#include "profile/PlotView.h"
#include "profile/ProfilePlot.h"
#include "profile/ProfileSession.h"
#include "profile/ProfileValues.h"
#include "ui/Forms.h"
#include "ui/PacedCall.h"
#include "ui/WheelNotches.h"

class TDoubleBufferedPanel;
class TTrackingToolTip;

// What the plot asks of the dialog it sits in: the plane group's item, the frame's margin
// (the plane group's distance from the edge, which follows the resolution) and the call
// that tells the host that its pixels changed (as often as the dialog lets it), and the
// form's timer that paces the range's figures.
struct TPlotSite {
  std::function<int()> Plane;
  std::function<int()> Margin;
  std::function<void()> SignalHost;
  UINT_PTR TipTimer;
  // The range or its fits changed: the figures window follows.
  std::function<void()> FiguresChanged;
};

class TPlotPanel {
 public:
  // `form` owns the panel and the tooltip.
  TPlotPanel(TForm& form, TDoubleBufferedPanel& panel, TProfileSession& session, TPlotSite site);
  ~TPlotPanel();

  // Before a rebuild in `mode`: no readout, no range, no values.
  void ClearProfile(TProfileMode mode) noexcept;
  // After a rebuild that built the profile whole: its values, an 8-bit image's palette
  // naming the colours of its indices, and the line when it is not the selection's. A
  // profile of another line, mode or length shows whole; a complex map's other plane keeps
  // the view.
  void ShowProfile(const uint8_t* palette, const std::optional<TLineEnds>& movedLine);

  const TProfileValues* Values() const noexcept { return FValues ? &*FValues : nullptr; }
  const std::optional<std::pair<size_t, size_t>>& Range() const noexcept { return FRange; }
  bool Zoomed() const noexcept;

  // Fits of the shape to every curve drawn over the range, drawn dashed over it and listed
  // in the figures until the range or the profile changes or they are cleared.
  void Fit(TFitShape shape);
  void ClearFits();
  bool HasFits() const noexcept { return FFits.Any(); }
  // The figures of the range (of the whole profile while there is none) and its fits, with
  // distances in the pixel size's unit; none without a profile.
  std::optional<TFigureTable> Figures();
  // After the user set another pixel size: the axis, the readout and the figures in its unit.
  void PixelSizeChanged();
  // The value scale as the plot shows it.
  TValueSpan ValueScale() const;
  // The plot as it shows, with titles and a legend, drawn at this resolution.
  TPlotPicture Picture(int pixelsPerInch);
  // Keeps the curves drawn, whole, for this dialog and the next ones.
  void KeepCurves();
  // After the kept curves or their alignment changed: the plot and the values follow.
  void KeptCurvesChanged();
  // The legend on the screen: as the user chose, else with kept curves.
  bool LegendShown() const noexcept;

  // Draws the plot into the panel's buffer and has the panel show it.
  void Paint();
  void ShowWholeProfile();
  void ZoomToRange();
  void HideReadout() noexcept;

  void MouseMove(int x, int y);
  void MouseButton(UINT button, int x, int y);
  void MouseLeave() noexcept;
  // Alt+Tab or another window taking the mouse ends a drag where it is.
  void CaptureLost();
  void Wheel(const TMessage& message, bool horizontal);
  // Ctrl+Left/Right, Ctrl+Up/Down and Ctrl+0; false for any other key.
  bool Key(WORD key);
  // The guide and the range, drawn over the panel's buffer on the screen only.
  void PaintOver();
  // The form's timers: true for the plot's own.
  bool TimerElapsed(UINT_PTR timerId);

 private:
  TPlotGeometry Geometry() const;
  TProfilePlotData PlotData() const;
  // The same but for its value scale: what the legend over the plot needs, on every move
  // of the readout.
  TProfilePlotData PlotLook() const;
  void ExtendRange(size_t sample, POINT anchor);
  void InvalidateRangeChange(const std::optional<std::pair<size_t, size_t>>& before);
  bool FillsView(const std::pair<size_t, size_t>& range) const noexcept;
  void InvalidateSamples(size_t a, size_t b);
  void EndRangeDrag(int x, int y);
  bool InRange(size_t sample) const noexcept;
  // The range's figures, as the tooltip shows them.
  std::string RangeFigures(char decimalSeparator) const;
  bool OverPanel(POINT point) const noexcept;
  void ShowTip(const std::string& text, POINT anchor);
  // The range's figures beside the pointer of a range drag, when the pace lets them.
  void ShowDragFigures();
  // The readout of a sample, followed by the range's figures when the sample lies in it.
  void ShowReadout(size_t sample, POINT anchor);
  // The range's figures alone, beside the middle of its band.
  void ShowRangeTip();
  // No guide and no highlight (the tooltip stays).
  void ClearReadoutSample() noexcept;
  // After the view changed under a still pointer, the readout names the sample now there.
  void FollowPointer();
  void MoveReadout(bool forward, bool tenth);
  void ShowReadoutAtGuide(size_t sample);
  // Zoom and pan: the samples the plot shows change, the profile does not.
  void SetView(const TPlotView& view);
  void ZoomAbout(size_t sample, int notches);
  void Pan(int64_t samples);
  void PaintGuide();
  void PaintRange();
  void PaintFits();
  // The legend over the plot when the user chose it, on the screen only like the fits.
  void PaintLegend();
  std::vector<TLegendEntry> Legend() const;
  std::vector<TPlotCurve> CurvesDrawn() const;
  void RangeChanged();

  TForm& FForm;
  TDoubleBufferedPanel& FPanel;
  TProfileSession& FSession;
  TPlotSite FSite;
  // The numbers of the profile on show; none while no profile has been built.
  std::optional<TProfileValues> FValues;
  TProfileMode FMode;
  std::unique_ptr<TTrackingToolTip> FToolTip;
  // The sample the readout shows (its index in the whole profile), while the mouse is over
  // the plot or the keyboard has moved it.
  std::optional<size_t> FReadoutSample;
  // The samples the plot shows, and the mode of the profile they belong to.
  TPlotView FView;
  TProfileMode FViewMode;
  TRect FViewSelection{};
  // The geometry the plot was last drawn with.
  std::optional<TPlotGeometry> FGeometry;
  // Where a drag with the middle button started: the column and the view then.
  std::optional<std::pair<int, TPlotView>> FDrag;
  // The range of samples dragged across with the left button (first and last, in the whole
  // profile), and the sample where the drag started while it goes on.
  std::optional<std::pair<size_t, size_t>> FRange;
  std::optional<size_t> FRangeStart;
  // The range's figures shown at the range after a drag that ended outside the plot: they
  // stay when the pointer is away.
  bool FRangeTipPinned = false;
  // A range drag's figures follow the pointer at a pace of their own: the tooltip moves and
  // paints itself at once, which costs more than the plot's part of a step. The latest
  // pointer waits for them.
  TPacedCall FDragFigures;
  POINT FDragPointer{};
  TPlotFits FFits;
  // The vertical and the horizontal wheel.
  TWheelNotches FWheel[2];
};
