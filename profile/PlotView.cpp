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

// A view's first sample is whole, so the anchor's share of the view after a zoom only
// comes near its share before: of the counts next to the one the factor asks for, the one
// that brings it nearest is taken, which keeps the anchor within a small part of a sample's
// width of where it was in the frame (the nearest count alone can leave it half a sample off).
// Counts differ in the tries only where the limits leave room.
TPlotView ZoomView(const TPlotView& view, size_t total, size_t anchor, double factor, size_t minCount) noexcept {
  if (total == 0 || view.Count == 0 || !(factor > 0)) return view;
  const size_t least = std::min(total, std::max<size_t>(minCount, 2));
  const auto fit = [&](double count) {
    return static_cast<size_t>(std::clamp(count, static_cast<double>(least), static_cast<double>(total)));
  };
  // At the fewest samples the counts tried lie above it.
  const double wanted = static_cast<double>(fit(std::round(static_cast<double>(view.Count) / factor)));
  if (wanted == static_cast<double>(total)) return WholeView(total);
  const double share =
      view.Count > 1 ? static_cast<double>(anchor - view.First) / static_cast<double>(view.Count - 1) : 0;
  TPlotView best{};
  double bestMiss = HUGE_VAL;
  constexpr int CountsTried = 3;
  for (int step = -CountsTried; step <= CountsTried; ++step) {
    const size_t count = fit(wanted + step);
    const TPlotView candidate =
        Inside(std::llround(static_cast<double>(anchor) - share * static_cast<double>(count - 1)), count, total);
    const double shareAfter = count > 1 ? static_cast<double>(anchor) - static_cast<double>(candidate.First) : 0;
    const double miss = std::abs(shareAfter / static_cast<double>(std::max<size_t>(count - 1, 1)) - share) +
                        1e-9 * std::abs(step);
    if (miss < bestMiss) {
      bestMiss = miss;
      best = candidate;
    }
  }
  return best;
}

TPlotView PanView(const TPlotView& view, size_t total, int64_t samples) noexcept {
  if (view.Count == 0 || view.Count > total) return view;
  return Inside(static_cast<int64_t>(view.First) + samples, view.Count, total);
}

size_t MinViewCount(int frameWidth) noexcept { return static_cast<size_t>(std::max(frameWidth, 0) / 16 + 1); }
