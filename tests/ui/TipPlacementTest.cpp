#include "ui/TipPlacement.h"

#include <gtest/gtest.h>

namespace {

constexpr TTipRect Screen{0, 0, 1024, 738};
constexpr int GapX = 16, GapY = 20;

bool Inside(TTipPoint place, int width, int height, const TTipRect& area) {
  return place.X >= area.Left && place.Y >= area.Top && place.X + width <= area.Right &&
         place.Y + height <= area.Bottom;
}

// The cursor's box, gaps included, and the tip never overlap.
bool ClearOfCursor(TTipPoint place, int width, int height, TTipPoint cursor) {
  return place.X + width <= cursor.X - GapX || place.X >= cursor.X + GapX || place.Y + height <= cursor.Y - GapY ||
         place.Y >= cursor.Y + GapY;
}

// Near every edge and corner of the screen, with a tip that fits somewhere around the
// cursor: it stays inside the work area and off the cursor.
TEST(TipPlacement, BesideTheCursorInsideTheAreaNearEveryEdge) {
  EXPECT_EQ(PlaceTip({100, 100}, 150, 40, Screen, GapX, GapY).X, 116);
  EXPECT_EQ(PlaceTip({100, 100}, 150, 40, Screen, GapX, GapY).Y, 120);
  EXPECT_EQ(PlaceTip({1000, 730}, 150, 40, Screen, GapX, GapY).X, 1000 - 16 - 150);
  EXPECT_EQ(PlaceTip({1000, 730}, 150, 40, Screen, GapX, GapY).Y, 730 - 20 - 40);
  for (int x : {0, 1, 15, 200, 860, 1000, 1023})
    for (int y : {0, 3, 19, 300, 690, 737}) {
      const TTipPoint place = PlaceTip({x, y}, 150, 40, Screen, GapX, GapY);
      EXPECT_TRUE(Inside(place, 150, 40, Screen)) << x << ", " << y;
      EXPECT_TRUE(ClearOfCursor(place, 150, 40, {x, y})) << x << ", " << y;
    }
}

// A tip wider than fits on either side of the cursor goes above or below it, inside the
// area; one that fits on no side at all still never covers the cursor.
TEST(TipPlacement, ATipTooLargeForEitherSideStillLeavesTheCursorFree) {
  const TTipRect narrow{0, 0, 400, 300};
  for (int x : {0, 150, 399})
    for (int y : {0, 150, 299}) {
      const TTipPoint place = PlaceTip({x, y}, 380, 60, narrow, GapX, GapY);
      EXPECT_TRUE(ClearOfCursor(place, 380, 60, {x, y})) << x << ", " << y;
      EXPECT_TRUE(Inside(place, 380, 60, narrow)) << x << ", " << y;
      const TTipPoint huge = PlaceTip({x, y}, 380, 280, narrow, GapX, GapY);
      EXPECT_TRUE(ClearOfCursor(huge, 380, 280, {x, y})) << x << ", " << y;
    }
}

}  // namespace
