#include "profile/PlotPicture.h"

#include <algorithm>
#include <utility>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

TPictureLayout LayoutPicture(int width, int height, int textHeight) noexcept {
  const int gap = std::max(2, textHeight / 2);
  TPictureLayout layout{};
  layout.TitleTop = gap;
  layout.ValueTitleLeft = gap;
  layout.SampleTitleTop = height - gap - textHeight;
  layout.PlotLeft = 2 * gap + textHeight;
  layout.PlotTop = 2 * gap + textHeight;
  layout.PlotWidth = std::max(1, width - layout.PlotLeft);
  layout.PlotHeight = std::max(1, layout.SampleTitleTop - layout.PlotTop);
  return layout;
}

TLegendBox LegendBoxOf(const TPlotGeometry& geometry, const TPlotPicture& picture, int widestName, int textHeight) {
  TLegendBox box{};
  box.Padding = std::max(2, textHeight / 3);
  box.RowHeight = textHeight + box.Padding / 2;
  box.LineLength = 2 * textHeight;
  const int entries = static_cast<int>(picture.Legend.size());
  box.Right = geometry.Right() - 2 * box.Padding;
  box.Left = box.Right - (box.Padding * 3 + box.LineLength + widestName);
  box.Top = geometry.Top() + 2 * box.Padding + (picture.Data.BandWidth > 1 ? textHeight : 0);
  box.Bottom = box.Top + 2 * box.Padding + entries * box.RowHeight;
  return box;
}

std::vector<TLegendEntry> KeptLegend(const TProfilePlotData& data, TColor background) {
  std::vector<TLegendEntry> legend;
  for (size_t k = 0; k < data.Kept.size(); ++k)
    legend.push_back({std::string(data.Kept[k].Name), KeptShade(data.Kept[k].Color, background, k)});
  return legend;
}

std::vector<std::pair<double, double>> FitPoints(const TCurveFit& fit, const TPlotGeometry& frame, size_t first,
                                                 size_t count) {
  std::vector<std::pair<double, double>> points;
  if (!fit.Fitted() || count == 0) return points;
  const size_t from = std::max(fit.First, first), to = std::min(fit.Last, first + count - 1);
  if (from > to) return points;
  const int columns = std::max(2, frame.X(to - first) - frame.X(from - first) + 1);
  for (int k = 0; k < columns; ++k) {
    const double sample = static_cast<double>(from) + static_cast<double>(to - from) * k / (columns - 1);
    points.emplace_back(sample - static_cast<double>(first), fit.At(sample));
  }
  return points;
}

namespace {

std::string PictureTitle(const TPictureSource& source) {
  std::string curves;
  for (const TLegendEntry& curve : source.Curves) curves += (curves.empty() ? "" : ", ") + curve.Name;
  const TRect& area = source.Selection;
  if (!source.Mode.Integrate) {
    const bool up = source.Mode.Direction;
    return FormatText(S_TITLE_LINE, curves.c_str(), area.Left, up ? area.Bottom : area.Top, area.Right,
                      up ? area.Top : area.Bottom, source.Mode.Width);
  }
  if (source.Mode.Direction) return FormatText(S_TITLE_ROWS, curves.c_str(), area.Top, area.Bottom, area.Left, area.Right);
  return FormatText(S_TITLE_COLUMNS, curves.c_str(), area.Left, area.Right, area.Top, area.Bottom);
}

std::string ValueTitle(const TPictureSource& source) {
  const char* title = source.Mode.Integrate ? S_AXIS_SUM : S_COL_VALUE;
  if (!source.Data.LogScale) return title;
  const size_t leftOut = LeftOffLogScale(source.Data);
  if (leftOut == 0) return FormatText(S_AXIS_LOG, title);
  return FormatText(S_AXIS_LOG_LEFT_OUT, title, static_cast<int>(leftOut));
}

std::string SampleTitle(const TPictureSource& source) {
  if (source.Scale.Size.Set()) return S_COL_DISTANCE + source.Scale.Suffix();
  return !source.Mode.Integrate ? S_COL_SAMPLE : source.Mode.Direction ? S_COL_ROW : S_COL_COLUMN;
}

// The fits with numbers that reach into the view.
void AddFits(const TPictureSource& source, TPlotPicture& picture) {
  const size_t first = source.Data.FirstSample, count = source.Data.Profile.size();
  if (!source.Fits || count == 0) return;
  for (const std::vector<TCurveFit>* list : {&source.Fits->Peaks, &source.Fits->Edges})
    for (size_t i = 0; i < list->size() && i < source.Curves.size(); ++i) {
      const TCurveFit& fit = (*list)[i];
      if (fit.Fitted() && fit.Last >= first && fit.First < first + count)
        picture.Fits.push_back({source.Curves[i].Color, fit});
    }
}

}  // namespace

TPlotPicture MakePicture(const TPictureSource& source) {
  TPlotPicture picture;
  picture.Data = source.Data;
  picture.Data.FontFace = PictureFontFace;
  picture.Background = source.Background;
  picture.Text = source.Text;
  const size_t first = source.Data.FirstSample, count = source.Data.Profile.size();
  if (source.Range && count > 0) {
    const size_t from = std::max(source.Range->first, first), to = std::min(source.Range->second, first + count - 1);
    const bool fillsView = source.Range->first <= first && source.Range->second >= first + count - 1;
    if (from <= to && !fillsView) {
      picture.Data.Band = std::pair<size_t, size_t>{from - first, to - first};
      // As the dialog's translucent range shows over the background.
      picture.Data.BandColor = MixedColor(source.Highlight, source.Background, 2, 3);
    }
  }
  AddFits(source, picture);
  picture.Legend = source.Curves;
  for (TLegendEntry& kept : KeptLegend(source.Data, source.Background)) picture.Legend.push_back(std::move(kept));
  picture.Title = PictureTitle(source);
  picture.SampleTitle = SampleTitle(source);
  picture.ValueTitle = ValueTitle(source);
  return picture;
}
