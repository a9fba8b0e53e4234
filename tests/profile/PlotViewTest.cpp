#include "profile/PlotView.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Notches in about a sample keep it at its share of the view, down to the fewest samples a
// frame shows; notches out come back to the whole profile and no further; every view
// stays inside the profile, also about its first and last samples.
TEST(PlotView, ZoomKeepsTheAnchorsPlaceAndStaysInsideTheProfile) {
  constexpr size_t Total = 11313;
  TPlotView view = WholeView(Total);
  EXPECT_EQ(view, (TPlotView{0, Total}));
  const size_t anchor = 4711;
  const double share = double(anchor) / double(Total - 1);
  for (int notch = 1; notch <= 30; ++notch) {
    const double before = double(anchor - view.First) / double(view.Count - 1);
    view = ZoomView(view, Total, anchor, 1.5, MinViewCount(560));
    ASSERT_GE(anchor, view.First);
    ASSERT_LT(anchor, view.First + view.Count);
    const double after = double(anchor - view.First) / double(view.Count - 1);
    EXPECT_NEAR(after, share, 1.0 / double(view.Count)) << notch;
    // In a frame 560 pixels wide the anchor moves by less than a pixel and a half, where a
    // whole first sample alone can move it by half a sample's width (up to 8 pixels).
    EXPECT_LT(std::abs(after - before) * 560, 1.5) << notch;
  }
  // The fewest samples, or the few more that keep the anchor in place.
  EXPECT_EQ(MinViewCount(560), 36u);
  EXPECT_GE(view.Count, 36u);
  EXPECT_LE(view.Count, 39u);
  for (int notch = 0; notch < 40; ++notch) view = ZoomView(view, Total, anchor, 1 / 1.5, 36);
  EXPECT_EQ(view, WholeView(Total));

  for (const size_t edge : {size_t{0}, Total - 1}) {
    TPlotView zoomed = ZoomView(WholeView(Total), Total, edge, 8, 2);
    EXPECT_EQ(zoomed.Count, static_cast<size_t>(std::round(Total / 8.0)));
    EXPECT_EQ(edge == 0 ? zoomed.First : zoomed.First + zoomed.Count - 1, edge);
  }
  // A profile of one or two samples shows them all.
  EXPECT_EQ(ZoomView(WholeView(2), 2, 1, 1.5, 36), WholeView(2));
  EXPECT_EQ(ZoomView(WholeView(1), 1, 0, 1.5, 36), WholeView(1));
}

TEST(PlotView, PanStopsAtTheProfilesEnds) {
  const TPlotView view{100, 50};
  EXPECT_EQ(PanView(view, 1000, 30), (TPlotView{130, 50}));
  EXPECT_EQ(PanView(view, 1000, -500), (TPlotView{0, 50}));
  EXPECT_EQ(PanView(view, 1000, 5000), (TPlotView{950, 50}));
  EXPECT_EQ(PanView(WholeView(1000), 1000, 7), WholeView(1000));
}

}  // namespace
