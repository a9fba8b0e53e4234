#include "dialog/OstravineMain.h"

// The plot's context menu and what its commands do: copy and save, the value scale, the
// view's options, fits, the line's width and the windows beside the dialog.

#include <optional>
#include <string>

#include "dialog/NumberDialog_win.h"
#include "dialog/PlotExport_win.h"
#include "resources/Texts.h"
#include "streams/StreamUtils.h"
#include "ui/Clipboard.h"
#include "ui/FileDialogs.h"
#include "ui/Menus.h"
#include "ui/PanelFrame.h"
#include "ui/StdCtrls.h"

namespace {

// The plot's context menu.
enum TPlotCommand : UINT {
  pcCopyValues = 1, pcCopyPlot, pcSaveValues, pcScaleFromZero, pcFitToValues, pcWholeProfile, pcZoomToRange,
  pcCopyStatistics, pcShowAxes, pcLine, pcFitPeak, pcFitEdge, pcClearFits, pcPixelSize, pcFigures, pcSavePlot,
  pcShowGrid, pcShowLegend, pcValueRange, pcKeepCurve, pcClearKept, pcKeptAtCentre, pcLogScale, pcLineWidth
};

// The widths a line can be sampled across, in pixels; each its own command from pcLineWidth on.
constexpr int LineWidths[] = {1, 3, 5, 9, 15, 31, 63};

const TSaveFileRequest ValuesFile{S_SAVE_DEFAULT_NAME, {{S_SAVE_FILTER_CSV, "*.csv", "csv"}}};

}  // namespace

// Another width is another profile: the marks go back and the band is sampled anew.
void TProfilePluginForm::SetLineWidth(int width) {
  if (width == SavedLineWidth) return;
  SavedLineWidth = width;
  CheckBoxClick(this);
}

// The scale is the plot's alone: a repaint, no new profile. Either choice is a linear scale.
void TProfilePluginForm::SetFitToValues(bool fit) {
  SavedFitToValues = fit;
  SavedValueRange.reset();
  SavedLogScale = false;
  FPlot->Paint();
}

// The axes are the plot's alone too.
void TProfilePluginForm::ShowAxes(bool show) {
  SavedShowAxes = show;
  FPlot->Paint();
}

// With a range, only its rows.
void TProfilePluginForm::CopyValues() {
  const TProfileValues* values = FPlot->Values();
  if (!values) return;
  const auto& range = FPlot->Range();
  CopyTextToClipboard(Handle(), range ? values->Table('\t', range->first, range->second) : values->Table('\t'));
}

void TProfilePluginForm::CopyStatistics() {
  const TProfileValues* values = FPlot->Values();
  const auto& range = FPlot->Range();
  if (values && range)
    CopyTextToClipboard(Handle(), values->RangeTable(range->first, range->second, PlaneGroup->ItemIndex(), '\t'));
}

void TProfilePluginForm::CopyPlot() {
  if (ProfilePanel->BufferCanvas()) ::CopyPlot(Handle(), *FPlot, ProfilePanel->Buffer(), PixelsPerInch());
}

void TProfilePluginForm::SaveValues() {
  const TProfileValues* values = FPlot->Values();
  if (!values) return;
  std::string fileName;
  if (PromptForSaveFileName(Handle(), ValuesFile, fileName)) SaveFileReplacing(fileName, values->Table(','));
}

// From the keyboard (Shift+F10, the menu key) the menu opens at the frame's top left
// corner. A right click elsewhere than on the plot is not the plot's: false leaves it to
// the window's own handling (the caption's system menu).
bool TProfilePluginForm::ContextMenu(LPARAM point) {
  POINT screen{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  RECT plot;
  GetWindowRect(ProfilePanel->Handle(), &plot);
  if (point == -1) {
    screen = {plot.left + PlaneGroup->Left(), plot.top + PlaneGroup->Left()};
  } else if (!PtInRect(&plot, screen)) {
    return false;
  }
  FPlot->HideReadout();
  const bool values = FPlot->Values() != nullptr;
  TPopupMenu menu;
  menu.Add(pcCopyValues, S_MENU_COPY_VALUES, values);
  menu.Add(pcCopyPlot, S_MENU_COPY_PLOT, ProfilePanel->BufferCanvas() != nullptr);
  menu.Add(pcSaveValues, S_MENU_SAVE_VALUES, values);
  menu.Add(pcSavePlot, S_MENU_SAVE_PLOT, values);
  if (FPlot->Range()) {
    menu.Add(pcCopyStatistics, S_MENU_COPY_STATISTICS);
    menu.Add(pcZoomToRange, S_MENU_ZOOM_TO_RANGE);
    menu.Add(pcFitPeak, S_MENU_FIT_PEAK);
    menu.Add(pcFitEdge, S_MENU_FIT_EDGE);
  }
  if (FPlot->HasFits()) menu.Add(pcClearFits, S_MENU_CLEAR_FITS);
  menu.AddSeparator();
  menu.Add(pcWholeProfile, S_MENU_WHOLE_PROFILE, FPlot->Zoomed());
  const bool linear = !SavedValueRange && !SavedLogScale;
  menu.Add(pcScaleFromZero, S_MENU_SCALE_FROM_ZERO, true, linear && !SavedFitToValues);
  menu.Add(pcFitToValues, S_MENU_FIT_TO_VALUES, true, linear && SavedFitToValues);
  menu.Add(pcValueRange, S_MENU_VALUE_RANGE, true, SavedValueRange.has_value());
  menu.Add(pcShowAxes, S_MENU_SHOW_AXES, true, SavedShowAxes);
  menu.Add(pcShowGrid, S_MENU_SHOW_GRID, true, SavedShowGrid);
  menu.Add(pcLogScale, S_MENU_LOG_SCALE, true, SavedLogScale);
  menu.Add(pcShowLegend, S_MENU_SHOW_LEGEND, true, FPlot->LegendShown());
  menu.AddSeparator();
  menu.Add(pcKeepCurve, S_MENU_KEEP_CURVE, values);
  if (!SavedKeptCurves.Empty()) {
    menu.Add(pcClearKept, S_MENU_CLEAR_KEPT);
    menu.Add(pcKeptAtCentre, S_MENU_KEPT_AT_CENTRE, true, SavedKeptAtCentre);
  }
  menu.AddSeparator();
  TPopupMenu widths;
  for (size_t i = 0; i < std::size(LineWidths); ++i)
    widths.Add(pcLineWidth + static_cast<UINT>(i), std::to_string(LineWidths[i]), true, SavedLineWidth == LineWidths[i]);
  // Integrate mode's rectangle is its band already.
  menu.AddSubmenu(S_MENU_LINE_WIDTH, std::move(widths), !IntegrateBox->Checked());
  menu.Add(pcLine, S_MENU_LINE);
  menu.Add(pcPixelSize, S_MENU_PIXEL_SIZE);
  menu.Add(pcFigures, S_MENU_FIGURES);
  RunPlotCommand(menu.Popup(Handle(), screen));
  return true;
}

void TProfilePluginForm::RunPlotCommand(UINT command) {
  switch (command) {
    case pcCopyValues: CopyValues(); break;
    case pcCopyPlot: CopyPlot(); break;
    case pcSavePlot:
      if (FPlot->Values()) SavePlot(*this, *FPlot, {ProfilePanel->Width(), ProfilePanel->Height()});
      break;
    case pcSaveValues: SaveValues(); break;
    case pcScaleFromZero:
    case pcFitToValues: SetFitToValues(command == pcFitToValues); break;
    case pcWholeProfile: FPlot->ShowWholeProfile(); break;
    case pcCopyStatistics: CopyStatistics(); break;
    case pcShowAxes: ShowAxes(!SavedShowAxes); break;
    case pcValueRange: AskValueRange(); break;
    case pcShowGrid:
      SavedShowGrid = !SavedShowGrid;
      FPlot->Paint();
      break;
    case pcShowLegend:
      SavedLegend = FPlot->LegendShown() ? TLegendChoice::Hidden : TLegendChoice::Shown;
      FPlot->Paint();
      break;
    case pcLogScale:
      SavedLogScale = !SavedLogScale;
      FPlot->Paint();
      break;
    case pcKeepCurve: FPlot->KeepCurves(); break;
    case pcClearKept:
      SavedKeptCurves.Clear();
      FPlot->KeptCurvesChanged();
      break;
    case pcKeptAtCentre:
      SavedKeptAtCentre = !SavedKeptAtCentre;
      FPlot->KeptCurvesChanged();
      break;
    case pcZoomToRange: FPlot->ZoomToRange(); break;
    case pcLine: ShowLineWindow(); break;
    case pcFitPeak: FPlot->Fit(TFitShape::Peak); break;
    case pcFitEdge: FPlot->Fit(TFitShape::Edge); break;
    case pcClearFits: FPlot->ClearFits(); break;
    case pcPixelSize: AskPixelSize(); break;
    case pcFigures: ShowFiguresWindow(); break;
    default:
      if (command >= pcLineWidth && command < pcLineWidth + std::size(LineWidths))
        SetLineWidth(LineWidths[command - pcLineWidth]);
      break;
  }
}

// The scale's ends as shown are offered; the least must lie below the greatest.
void TProfilePluginForm::AskValueRange() {
  const TValueSpan shown = FPlot->ValueScale();
  const TNumberQuestion question{S_VALUE_RANGE_CAPTION,
                                 {{S_VALUE_RANGE_LEAST, shown.Least}, {S_VALUE_RANGE_GREATEST, shown.Greatest}},
                                 S_VALUE_RANGE_BAD,
                                 [](const std::vector<double>& ends) { return ends[0] < ends[1]; }};
  const std::optional<std::vector<double>> ends = AskNumbers(*this, question);
  if (!ends) return;
  SavedValueRange = TValueSpan{(*ends)[0], (*ends)[1]};
  FPlot->Paint();
}
