#include "profile/PlotView.h"

#include <algorithm>
#include <cmath>

namespace {

TPlotView Inside(int64_t first, size_t count, size_t total) noexcept {
  const int64_t last = static_cast<int64_t>(total - count);
  return {static_cast<size_t>(std::clamp<int64_t>(first, 0, last)), count};
}

}  // namespace

TPlotView WholeView(size_t total) noexcept { return {0, total}; }

TPlotView ZoomView(const TPlotView& view, size_t total, size_t anchor, double factor, size_t minCount) noexcept {
  if (total == 0 || view.Count == 0 || !(factor > 0)) return view;
  const size_t least = std::min(total, std::max<size_t>(minCount, 2));
  const double wanted = std::round(static_cast<double>(view.Count) / factor);
  const size_t count = static_cast<size_t>(std::clamp(wanted, static_cast<double>(least), static_cast<double>(total)));
  const double share =
      view.Count > 1 ? static_cast<double>(anchor - view.First) / static_cast<double>(view.Count - 1) : 0;
  const double first = static_cast<double>(anchor) - share * static_cast<double>(count - 1);
  return Inside(static_cast<int64_t>(std::llround(first)), count, total);
}

TPlotView PanView(const TPlotView& view, size_t total, int64_t samples) noexcept {
  if (view.Count == 0 || view.Count > total) return view;
  return Inside(static_cast<int64_t>(view.First) + samples, view.Count, total);
}

size_t MinViewCount(int frameWidth) noexcept { return static_cast<size_t>(std::max(frameWidth, 0) / 16 + 1); }
