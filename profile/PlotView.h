#pragma once
// Which samples the plot shows: the whole profile, or a stretch of it that the user zoomed
// into and panned along. The view only chooses samples; the plot draws those by the same
// rules as a whole profile, each at its scaled place in the frame.

#include <cstddef>
#include <cstdint>

struct TPlotView {
  size_t First = 0;
  size_t Count = 0;
  friend bool operator==(const TPlotView&, const TPlotView&) = default;
};

// Every sample of a profile.
TPlotView WholeView(size_t total) noexcept;

// The view zoomed by `factor` (above 1 in, below 1 out) about `anchor`, a sample of the
// view, which keeps its place in the frame: its share of the view before it stays the same.
// At least `minCount` samples stay in view (and two, where the profile has them), never
// more than the profile has; the view stays inside the profile.
TPlotView ZoomView(const TPlotView& view, size_t total, size_t anchor, double factor, size_t minCount) noexcept;

// The view moved by `samples` (negative: towards sample 0), stopped at the profile's ends.
TPlotView PanView(const TPlotView& view, size_t total, int64_t samples) noexcept;

// The fewest samples a frame of this width shows: 16 pixels a sample.
size_t MinViewCount(int frameWidth) noexcept;
