#include "dialog/PlotPanel_win.h"

#include <algorithm>
#include <cmath>

#include "dialog/ProfilePlot_win.h"
#include "ui/Application.h"
#include "ui/PanelFrame.h"
#include "ui/ToolTip.h"
#include "ui/WheelNotches.h"

namespace {

// A range drag's figures change faster than anyone reads them; 30 times a second they still
// keep up with the pointer, as a film's frames do.
constexpr DWORD DragFiguresGap = 33;

}  // namespace

TPlotPanel::TPlotPanel(TForm& form, TDoubleBufferedPanel& panel, TProfileSession& session, TPlotSite site)
    : FForm(form),
      FPanel(panel),
      FSession(session),
      FSite(std::move(site)),
      FDragFigures(form, FSite.TipTimer, DragFiguresGap, [this] { ShowDragFigures(); }) {
  FPanel.OnMouseMove = [this](TComponent*, int x, int y) { MouseMove(x, y); };
  FPanel.OnMouseLeave = [this](TComponent*) { MouseLeave(); };
  FPanel.OnMouseButton = [this](TComponent*, UINT button, int x, int y) { MouseButton(button, x, y); };
  FPanel.OnCaptureLost = [this](TComponent*) { CaptureLost(); };
  FPanel.OnPaintOver = [this](TComponent*) { PaintOver(); };
}

// The panel outlives the plot while the form goes: no event of its may reach the plot then.
TPlotPanel::~TPlotPanel() {
  FPanel.OnMouseMove = nullptr;
  FPanel.OnMouseLeave = nullptr;
  FPanel.OnMouseButton = nullptr;
  FPanel.OnCaptureLost = nullptr;
  FPanel.OnPaintOver = nullptr;
}

void TPlotPanel::ClearProfile(TProfileMode mode) noexcept {
  FMode = mode;
  FDragFigures.Cancel();
  FFits.Clear();
  HideReadout();
  FRange.reset();
  FRangeStart.reset();
  FRangeTipPinned = false;
  FValues.reset();
}

void TPlotPanel::ShowProfile(const uint8_t* palette, const std::optional<TLineEnds>& movedLine) {
  FValues.emplace(FSession.Profile(), ValueKindOf(FSession.Raster), FSession.Selection, FMode, palette);
  if (movedLine) FValues->NameLine(*movedLine);
  FValues->MeasureIn(SavedPixelSize);
  FValues->BesideKept(FSession.KeptCurves());
  const size_t count = FSession.Profile().Profile.size();
  if (FMode.Integrate != FViewMode.Integrate || FMode.Direction != FViewMode.Direction ||
      !(FSession.Selection == FViewSelection) || FView.First + FView.Count > count || FView.Count == 0)
    FView = WholeView(count);
  FViewMode = FMode;
  FViewSelection = FSession.Selection;
}

bool TPlotPanel::Zoomed() const noexcept { return FView.Count < FSession.Profile().Profile.size(); }

// The panel's buffer exists once the panel has its size, which the layout gives it long
// before the first paint.
void TPlotPanel::Paint() {
  TCanvas* canvas = FPanel.BufferCanvas();
  if (!canvas) return;
  FGeometry = PaintProfile(*canvas, FPanel.Width(), FPanel.Height(), PlotData());
  FPanel.Invalidate();
}

// What the plot shows now: the plane, the view, the scale and the axes chosen, the lines
// as wide as the screen's resolution makes them.
TProfilePlotData TPlotPanel::PlotData() const {
  TProfilePlotData data = PlotLook();
  if (SavedFitToValues) {
    const TValueSpan span = CurveValueSpan(data);
    data.MinValue = span.Least;
    data.MaxValue = span.Greatest;
  }
  if (SavedValueRange) {
    data.MinValue = SavedValueRange->Least;
    data.MaxValue = SavedValueRange->Greatest;
    data.ClipCurves = true;
  }
  if (SavedLogScale) UseLogScale(data, SavedValueRange);
  return data;
}

// The scale from zero: the others read every value drawn.
TProfilePlotData TPlotPanel::PlotLook() const {
  TProfilePlotData data = FSession.PlotData(FSite.Plane(), FSite.Margin(), FView);
  data.LineWidth = FForm.ScaleDesign(1);
  data.PixelsPerInch = FForm.PixelsPerInch();
  data.BandWidth = FMode.Integrate ? 1 : FMode.Width;
  data.Axes = SavedShowAxes;
  data.Grid = SavedShowGrid;
  data.AxisOrigin = !FMode.Integrate ? 0 : FMode.Direction ? FSession.Selection.Top : FSession.Selection.Left;
  if (FValues && SavedPixelSize.Set()) {
    const TDistanceScale scale = FValues->Scale();
    data.AxisScale = scale.Of(1);
    data.AxisUnit = UnitSymbol(scale.Size.Unit);
  }
  return data;
}

TValueSpan TPlotPanel::ValueScale() const {
  const TProfilePlotData data = PlotData();
  return {data.MinValue, data.MaxValue};
}

// The geometry of the samples in view as the plot was last drawn (every change of view,
// scale, axes or size repaints it); its sample 0 is the view's first. Before the first
// paint, the plain one.
TPlotGeometry TPlotPanel::Geometry() const {
  if (FGeometry) return *FGeometry;
  return TPlotGeometry(FPanel.Width(), FPanel.Height(), FSite.Margin(), FView.Count, FSession.Profile().MaxValue);
}

void TPlotPanel::ShowWholeProfile() { SetView(WholeView(FSession.Profile().Profile.size())); }

void TPlotPanel::ZoomToRange() {
  if (FRange) SetView({FRange->first, FRange->second - FRange->first + 1});
}

void TPlotPanel::MouseMove(int x, int y) {
  if (FDrag) {
    const TPlotGeometry geometry = Geometry();
    const double pixels = FView.Count > 1 ? double(geometry.Right() - geometry.Left()) / double(FView.Count - 1) : 1;
    Pan(static_cast<int64_t>(FDrag->second.First) - static_cast<int64_t>(FView.First) -
        std::llround((x - FDrag->first) / pixels));
    return;
  }
  if (!FValues || FValues->Count() == 0 || FView.Count == 0) return;
  const size_t sample = FView.First + Geometry().NearestSample(x, FView.Count);
  if (FRangeStart) return ExtendRange(sample, {x, y});
  FRangeTipPinned = false;
  ShowReadout(sample, {x, y});
}

// The pointer away from the plot takes the readout with it, but not the range's figures
// that a drag left at the range.
void TPlotPanel::MouseLeave() noexcept {
  if (!FRangeTipPinned) return HideReadout();
  ClearReadoutSample();
}

void TPlotPanel::CaptureLost() {
  FDrag.reset();
  if (!FRangeStart) return;
  FDragFigures.Cancel();
  FRangeStart.reset();
  FSite.FiguresChanged();
  if (FRange) ShowRangeTip();
}

bool TPlotPanel::InRange(size_t sample) const noexcept {
  return FRange && sample >= FRange->first && sample <= FRange->second;
}

std::string TPlotPanel::RangeFigures(char decimalSeparator) const {
  return FValues->RangeReadout(FRange->first, FRange->second, FSite.Plane(), decimalSeparator);
}

bool TPlotPanel::OverPanel(POINT point) const noexcept {
  RECT client;
  GetClientRect(FPanel.Handle(), &client);
  return PtInRect(&client, point);
}

// While the left button drags across the plot the range grows or shrinks with it, and the
// tooltip shows its figures; a click without a drag leaves no range.
void TPlotPanel::ExtendRange(size_t sample, POINT anchor) {
  const size_t start = *FRangeStart;
  const auto before = FRange;
  if (sample == start) {
    FRange.reset();
  } else {
    FRange.emplace(std::min(start, sample), std::max(start, sample));
    FDragPointer = anchor;
    FDragFigures.Request();
  }
  ClearReadoutSample();
  InvalidateRangeChange(before);
}

// Only the columns between the old band's edges and the new one's are painted again; a
// band that filled the view is drawn by its edges alone, so a change to or from that
// repaints the whole frame.
void TPlotPanel::InvalidateRangeChange(const std::optional<std::pair<size_t, size_t>>& before) {
  if (FView.Count == 0) return;
  if (!before || !FRange || FillsView(*before) || FillsView(*FRange)) return FPanel.Invalidate();
  if (before->first != FRange->first) InvalidateSamples(before->first, FRange->first);
  if (before->second != FRange->second) InvalidateSamples(before->second, FRange->second);
}

bool TPlotPanel::FillsView(const std::pair<size_t, size_t>& range) const noexcept {
  return range.first <= FView.First && range.second >= FView.First + FView.Count - 1;
}

// The panel's columns from one sample's to another's, either way round, as far as the
// view shows them; the band's right edge lies a column past its last sample.
void TPlotPanel::InvalidateSamples(size_t a, size_t b) {
  const size_t last = FView.First + FView.Count - 1;
  const TPlotGeometry geometry = Geometry();
  const int inset = FPanel.Inset() / 2;
  const int left = geometry.X(std::clamp(std::min(a, b), FView.First, last) - FView.First);
  const int right = geometry.X(std::clamp(std::max(a, b), FView.First, last) - FView.First);
  FPanel.Invalidate({inset + left, inset + geometry.Top(), inset + right + 2, inset + geometry.BaseY() + 1});
}

// A drag that ends over the plot shows what the pointer is over; one that ends outside it
// leaves the range's figures at the range.
void TPlotPanel::EndRangeDrag(int x, int y) {
  FRangeStart.reset();
  FDragFigures.Cancel();
  FSite.FiguresChanged();
  if (FRange && !OverPanel({x, y})) return ShowRangeTip();
  if (!FRange && FToolTip) FToolTip->Hide();
  MouseMove(x, y);
}

void TPlotPanel::ShowDragFigures() {
  if (!FRangeStart) return;
  if (FRange) ShowTip(RangeFigures(UserDecimalSeparator()), FDragPointer);
  FSite.FiguresChanged();
}

bool TPlotPanel::TimerElapsed(UINT_PTR timerId) { return FDragFigures.TimerElapsed(timerId); }

void TPlotPanel::ShowRangeTip() {
  const TPlotGeometry geometry = Geometry();
  const size_t first = std::clamp(FRange->first, FView.First, FView.First + FView.Count - 1);
  const size_t last = std::clamp(FRange->second, FView.First, FView.First + FView.Count - 1);
  const POINT anchor{(geometry.X(first - FView.First) + geometry.X(last - FView.First)) / 2,
                     (geometry.Top() + geometry.BaseY()) / 2};
  ShowTip(RangeFigures(UserDecimalSeparator()), anchor);
  FRangeTipPinned = true;
}

// The tooltip beside a point of the panel.
void TPlotPanel::ShowTip(const std::string& text, POINT anchor) {
  if (!FToolTip) FToolTip = std::make_unique<TTrackingToolTip>(FForm.Handle());
  ClientToScreen(FPanel.Handle(), &anchor);
  FToolTip->Show(text, anchor);
}

// The readout of a sample: its guide, and its tooltip beside a point of the panel (the
// cursor, or for the keyboard the guide's middle).
void TPlotPanel::ShowReadout(size_t sample, POINT anchor) {
  const char separator = UserDecimalSeparator();
  std::string text = FValues->Place(sample) + "\r\n" + FValues->Values(sample, FSite.Plane(), separator) +
                     FValues->KeptValues(sample, separator);
  if (InRange(sample)) text += "\r\n" + RangeFigures(separator);
  ShowTip(text, anchor);
  if (FReadoutSample == sample) return;
  FReadoutSample = sample;
  FPanel.Invalidate();
  if (FSession.Highlight(sample)) FSite.SignalHost();
}

// Ctrl+Right and Ctrl+Left move the readout a sample (with Shift a tenth of the view), from
// the view's first or last sample when there is none, and the view follows it; the mouse
// takes over when it moves over the plot.
void TPlotPanel::MoveReadout(bool forward, bool tenth) {
  if (!FValues || FValues->Count() == 0 || FView.Count == 0) return;
  const int64_t count = static_cast<int64_t>(FValues->Count());
  const int64_t first = static_cast<int64_t>(FView.First), last = first + static_cast<int64_t>(FView.Count) - 1;
  const int64_t step = tenth ? std::max<int64_t>(1, static_cast<int64_t>(FView.Count) / 10) : 1;
  const int64_t sample = FReadoutSample ? static_cast<int64_t>(*FReadoutSample) + (forward ? step : -step)
                                        : (forward ? first : last);
  const size_t shown = static_cast<size_t>(std::clamp<int64_t>(sample, 0, count - 1));
  if (static_cast<int64_t>(shown) < first) SetView(PanView(FView, FValues->Count(), static_cast<int64_t>(shown) - first));
  if (static_cast<int64_t>(shown) > last) SetView(PanView(FView, FValues->Count(), static_cast<int64_t>(shown) - last));
  ShowReadoutAtGuide(shown);
}

// The keyboard's readout: the tooltip beside the middle of the sample's guide.
void TPlotPanel::ShowReadoutAtGuide(size_t sample) {
  const TPlotGeometry geometry = Geometry();
  ShowReadout(sample, {geometry.X(sample - FView.First), (geometry.Top() + geometry.BaseY()) / 2});
}

// A new view repaints the plot; the readout, which names samples of the whole profile,
// keeps its sample where the view still shows it.
void TPlotPanel::SetView(const TPlotView& view) {
  if (view == FView) return;
  FView = view;
  if (FReadoutSample && (*FReadoutSample < FView.First || *FReadoutSample >= FView.First + FView.Count)) HideReadout();
  Paint();
}

// A notch of the wheel zooms by 1.5 about the sample, in or (negative) out, down to 16
// pixels a sample.
void TPlotPanel::ZoomAbout(size_t sample, int notches) {
  const size_t total = FSession.Profile().Profile.size();
  const int frame = Geometry().Right() - Geometry().Left();
  SetView(ZoomView(FView, total, sample, std::pow(1.5, notches), MinViewCount(frame)));
}

void TPlotPanel::Pan(int64_t samples) { SetView(PanView(FView, FSession.Profile().Profile.size(), samples)); }

// The wheel over the plot: zoom about the sample under the cursor; with Shift, or the
// horizontal wheel, pan by a tenth of the view a notch.
void TPlotPanel::Wheel(const TMessage& message, bool horizontal) {
  const std::optional<POINT> point = WheelPointOver(FPanel.Handle(), message.LParam);
  if (!point || FView.Count == 0) return;
  const int notches = FWheel[horizontal ? 1 : 0].Add(message.WParam);
  if (notches == 0) return;
  const int64_t tenth = std::max<int64_t>(1, static_cast<int64_t>(FView.Count) / 10);
  if (horizontal)
    Pan(notches * tenth);
  else if (LOWORD(message.WParam) & MK_SHIFT)
    Pan(-notches * tenth);
  else
    ZoomAbout(FView.First + Geometry().NearestSample(point->x, FView.Count), notches);
  FollowPointer();
}

void TPlotPanel::FollowPointer() {
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(FPanel.Handle(), &point);
  if (OverPanel(point) && !FDrag && !FRangeStart) MouseMove(point.x, point.y);
}

// A double click shows the whole profile again; the middle button drags the view along; the
// left button drags a range across the plot, and a plain click clears it.
void TPlotPanel::MouseButton(UINT button, int x, int y) {
  switch (button) {
    case WM_LBUTTONDBLCLK: ShowWholeProfile(); break;
    case WM_LBUTTONDOWN:
      if (!FValues || FView.Count == 0) break;
      FRange.reset();
      RangeChanged();
      FRangeStart = FView.First + Geometry().NearestSample(x, FView.Count);
      HideReadout();
      SetCapture(FPanel.Handle());
      break;
    case WM_LBUTTONUP:
      if (!FRangeStart) break;
      EndRangeDrag(x, y);
      ReleaseCapture();
      break;
    case WM_MBUTTONDOWN:
      FDrag.emplace(x, FView);
      SetCapture(FPanel.Handle());
      break;
    default:
      FDrag.reset();
      ReleaseCapture();
      MouseMove(x, y);
      break;
  }
}

void TPlotPanel::HideReadout() noexcept {
  if (FToolTip) FToolTip->Hide();
  FRangeTipPinned = false;
  ClearReadoutSample();
}

void TPlotPanel::ClearReadoutSample() noexcept {
  if (!FReadoutSample) return;
  FReadoutSample.reset();
  FPanel.Invalidate();
  GuardEvent(&FForm, [this] {
    if (FSession.Highlight(std::nullopt)) FSite.SignalHost();
  });
}

// The key with Ctrl held down without Alt: Ctrl+Alt is AltGr on many keyboards, which types.
bool TPlotPanel::Key(WORD key) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
  if (!ctrl) return false;
  if (key == '0' && GetKeyState(VK_SHIFT) >= 0) {
    ShowWholeProfile();
    return true;
  }
  if (key == VK_LEFT || key == VK_RIGHT) {
    MoveReadout(key == VK_RIGHT, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  // Zoom about the readout's sample, or with none about the view's middle; never the
  // dialog's navigation, which would change the plane.
  if (key == VK_UP || key == VK_DOWN) {
    if (FView.Count == 0) return true;
    const std::optional<size_t> readout = FReadoutSample;
    ZoomAbout(readout.value_or(FView.First + FView.Count / 2), key == VK_UP ? 1 : -1);
    if (readout) ShowReadoutAtGuide(*readout);
    return true;
  }
  return false;
}

void TPlotPanel::PaintOver() {
  PaintRange();
  PaintFits();
  PaintLegend();
  PaintGuide();
}

// The guide inverts the screen's pixels inside the frame; the buffer is untouched, so the
// next paint without it shows the plot exactly as drawn.
void TPlotPanel::PaintGuide() {
  if (!FReadoutSample || !FValues || *FReadoutSample >= FValues->Count()) return;
  if (*FReadoutSample < FView.First || *FReadoutSample >= FView.First + FView.Count) return;
  const TPlotGeometry geometry = Geometry();
  const int inset = FPanel.Inset() / 2;
  PatBlt(FPanel.Canvas().Handle(), inset + geometry.X(*FReadoutSample - FView.First), inset + geometry.Top(), 1,
         geometry.BaseY() - geometry.Top() + 1, DSTINVERT);
}

// The range's band over the plot in the system's highlight colour, a third opaque, so that
// the curves show through; like the guide it is drawn on the screen only.
void TPlotPanel::PaintRange() {
  if (!FRange || FView.Count == 0) return;
  const size_t first = std::max(FRange->first, FView.First), last = std::min(FRange->second, FView.First + FView.Count - 1);
  if (first > last) return;
  const TPlotGeometry geometry = Geometry();
  const int inset = FPanel.Inset() / 2;
  const int left = inset + geometry.X(first - FView.First), right = inset + geometry.X(last - FView.First) + 1;
  const int top = inset + geometry.Top(), bottom = inset + geometry.BaseY() + 1;
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  // A range that fills the view (after "Zoom to range") is shown by its edges, so that the
  // whole plot does not turn the range's colour.
  if (FillsView(*FRange)) {
    const int width = FForm.ScaleDesign(2);
    FPanel.Canvas().FillBlended({left, top, left + width, bottom}, highlight, 170);
    FPanel.Canvas().FillBlended({right - width, top, right, bottom}, highlight, 170);
    return;
  }
  FPanel.Canvas().FillBlended({left, top, right, bottom}, highlight, 85);
}
