#include "ui/TipPlacement.h"

#include <gtest/gtest.h>

#include "ui/TipText.h"

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

// A range dragged over a taskbar: the cursor is outside the work area, the tip is not.
TEST(TipPlacement, ACursorOutsideTheWorkAreaLeavesTheTipInside) {
  for (const TTipPoint cursor : {TTipPoint{500, 750}, TTipPoint{500, 1010}, TTipPoint{-30, 300}, TTipPoint{1100, 5}}) {
    const TTipPoint place = PlaceTip(cursor, 150, 40, Screen, GapX, GapY);
    EXPECT_TRUE(Inside(place, 150, 40, Screen)) << cursor.X << ", " << cursor.Y;
  }
}

// Lines break only between figures, never inside "sd 6.08789"; a line that fits stays whole.
TEST(TipText, LinesBreakBetweenFiguresOnly) {
  const auto width = [](std::string_view text) { return static_cast<int>(text.size()); };
  const struct {
    const char* Text;
    int MaxWidth;
    const char* Wrapped;
  } cases[] = {
      {"Samples 1 to 9\r\nRed: 9 samples; min 1,5; sd 6,08789", 30,
       "Samples 1 to 9\r\nRed: 9 samples; min 1,5;\r\nsd 6,08789"},
      {"Red: 9 samples; min 1,5; sd 6,08789", 80, "Red: 9 samples; min 1,5; sd 6,08789"},
      {"Gray 1.5 \xC2\xB1 0.5  R 1 \xC2\xB1 0.25  G 2", 14, "Gray 1.5 \xC2\xB1 0.5\r\nR 1 \xC2\xB1 0.25\r\nG 2"},
      {"a very long figure; b", 5, "a very long figure;\r\nb"},
      {"", 10, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapFigures(c.Text, c.MaxWidth, width), c.Wrapped) << c.Text;
}

}  // namespace
