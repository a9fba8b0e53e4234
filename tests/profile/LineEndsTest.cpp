#include "profile/LineEnds.h"

#include <gtest/gtest.h>

#include <random>

#include "profile/LineWalk.h"
#include "profile/OverviewView.h"

namespace {

constexpr TImageSize Image{300, 200};

// Any two points make a line whose walk starts at From and ends at To: what the line window
// shows is what line mode samples. The selection's diagonals are the lines of its corners.
TEST(LineEnds, TheWalkOfTheBoundsRunsFromEndToEnd) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(0, Image.Width - 1), y(0, Image.Height - 1);
  for (int i = 0; i < 500; ++i) {
    const TLineEnds ends = Ordered({x(random), y(random)}, {x(random), y(random)}, TLineShape::Line);
    const std::vector<TSamplePoint> points = SampleLinePoints(BoundsOf(ends), DirectionOf(ends));
    ASSERT_EQ(points.front(), (TSamplePoint{ends.From.X, ends.From.Y})) << i;
    ASSERT_EQ(points.back(), (TSamplePoint{ends.To.X, ends.To.Y})) << i;
  }
  const TRect selection{10, 20, 60, 40};
  for (bool direction : {false, true}) {
    const TLineEnds ends = EndsOf(selection, direction, TLineShape::Line);
    EXPECT_EQ(BoundsOf(ends), selection);
    EXPECT_EQ(DirectionOf(ends), direction);
    EXPECT_EQ(Ordered(ends.To, ends.From, TLineShape::Line), ends);
  }
  EXPECT_EQ(EndsOf(selection, true, TLineShape::Rectangle), (TLineEnds{{10, 20}, {60, 40}}));
  // A vertical line is walked the way it is given.
  EXPECT_EQ(Ordered({5, 9}, {5, 2}, TLineShape::Line), (TLineEnds{{5, 9}, {5, 2}}));
  EXPECT_TRUE(DirectionOf(Ordered({5, 9}, {5, 2}, TLineShape::Line)));
}

TEST(LineEnds, EndsMoveInsideTheImageAndSwapNamesWhenTheyPass) {
  const TLineEnds line{{10, 10}, {50, 30}};
  // The keyboard's step; an end pushed past the image's edge stops at it.
  EXPECT_EQ(MoveEnd(line, TLineEnd::To, {51, 30}, Image, TLineShape::Line).Ends, (TLineEnds{{10, 10}, {51, 30}}));
  EXPECT_EQ(MoveEnd(line, TLineEnd::From, {-4, 500}, Image, TLineShape::Line).Ends, (TLineEnds{{0, 199}, {50, 30}}));
  // From dragged past To: the held end is To now.
  const TMovedEnds passed = MoveEnd(line, TLineEnd::From, {70, 5}, Image, TLineShape::Line);
  EXPECT_EQ(passed.Ends, (TLineEnds{{50, 30}, {70, 5}}));
  EXPECT_EQ(passed.Held, TLineEnd::To);
  const TMovedEnds dragged = DragEnd({50, 30}, {400, -3}, Image, TLineShape::Line);
  EXPECT_EQ(dragged.Ends, (TLineEnds{{50, 30}, {299, 0}}));
  EXPECT_EQ(dragged.Held, TLineEnd::To);
  EXPECT_EQ(DragEnd({50, 30}, {20, 40}, Image, TLineShape::Line).Held, TLineEnd::From);
  // A rectangle's corner stops at the other's row and column from the keyboard, and the
  // mouse turns it over.
  const TLineEnds box{{10, 10}, {50, 30}};
  EXPECT_EQ(MoveEnd(box, TLineEnd::From, {60, 12}, Image, TLineShape::Rectangle).Ends, (TLineEnds{{50, 12}, {50, 30}}));
  EXPECT_EQ(DragEnd({50, 30}, {60, 12}, Image, TLineShape::Rectangle).Ends, (TLineEnds{{50, 12}, {60, 30}}));
  // The whole line keeps its length and direction, as far as both ends stay inside.
  EXPECT_EQ(MoveLine(line, 5, -3, Image), (TLineEnds{{15, 7}, {55, 27}}));
  EXPECT_EQ(MoveLine(line, -100, 1000, Image), (TLineEnds{{0, 179}, {40, 199}}));
  EXPECT_EQ(MoveLine({{0, 0}, {299, 199}}, 3, 3, Image), (TLineEnds{{0, 0}, {299, 199}}));
}

TEST(LineEnds, APressTakesTheNearerEndThenTheLine) {
  const TLineEnds line{{10, 10}, {50, 30}};
  EXPECT_EQ(GripAt(line, 12, 11, 4, TLineShape::Line), TLineGrip::From);
  EXPECT_EQ(GripAt(line, 48.5, 30, 4, TLineShape::Line), TLineGrip::To);
  EXPECT_EQ(GripAt(line, 30, 21, 4, TLineShape::Line), TLineGrip::Line);
  EXPECT_EQ(GripAt(line, 30, 28, 4, TLineShape::Line), TLineGrip::None);
  EXPECT_EQ(GripAt(line, 30, 28.5, 4, TLineShape::Rectangle), TLineGrip::Line);
  EXPECT_EQ(GripAt(line, 30, 20, 4, TLineShape::Rectangle), TLineGrip::None);
  // Both ends on one pixel: From first.
  EXPECT_EQ(GripAt({{5, 5}, {5, 5}}, 5, 6, 2, TLineShape::Line), TLineGrip::From);
}

// The whole image fits and stays centred along its shorter side; a zoom keeps the image
// point under the pointer there, down to a pixel 32 view pixels wide and back out to the fit;
// a pan stops at the image's edges.
TEST(OverviewView, FitsZoomsAboutThePointerAndPansWithinTheImage) {
  const TViewSize size{400, 400};
  const TOverviewView fit = FitView(Image, size);
  EXPECT_DOUBLE_EQ(fit.Scale, 400.0 / 300);
  EXPECT_DOUBLE_EQ(fit.Left, 0);
  EXPECT_DOUBLE_EQ(ViewY(fit, 0) + ViewY(fit, 200), 400) << "centred";
  EXPECT_EQ(ImagePixelAt(fit, 0, 200), (TPixelPoint{0, 100}));
  EXPECT_EQ(ImagePixelAt(fit, 399, 5), (TPixelPoint{299, -46})) << "above the image";

  TOverviewView view = fit;
  for (int notch = 0; notch < 20; ++notch) {
    const double before = ImageX(view, 100);
    view = ZoomView(view, Image, size, 100, 250, 1.5);
    if (view.Scale < MaxOverviewScale) {
      EXPECT_NEAR(ImageX(view, 100), before, 1e-9) << notch;
    }
  }
  EXPECT_DOUBLE_EQ(view.Scale, MaxOverviewScale);
  const TOverviewView panned = PanView(view, Image, size, -1e6, 1e6);
  EXPECT_DOUBLE_EQ(panned.Left, 300 - 400 / MaxOverviewScale);
  EXPECT_DOUBLE_EQ(panned.Top, 0);
  for (int notch = 0; notch < 20; ++notch) view = ZoomView(view, Image, size, 7, 7, 1 / 1.5);
  EXPECT_EQ(view, fit);
}

}  // namespace
