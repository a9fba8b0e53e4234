#include "host/Selection.h"

#include <gtest/gtest.h>

TEST(Selection, ClampPutsCornersInOrderAndCutsToTheImage) {
  EXPECT_EQ(ClampSelection({2, 3, 7, 4}, 10, 8), (TRect{2, 3, 7, 4}));
  EXPECT_EQ(ClampSelection({7, 4, 2, 3}, 10, 8), (TRect{2, 3, 7, 4}));
  EXPECT_EQ(ClampSelection({2, 3, 50, 60}, 10, 8), (TRect{2, 3, 9, 7}));
  EXPECT_EQ(ClampSelection({5, 5, 5, 5}, 10, 8), (TRect{5, 5, 5, 5}));
}

TEST(Selection, ClampKeepsNoSelectionAndDropsWhatLiesOutside) {
  EXPECT_EQ(ClampSelection(NoSelection, 10, 8), NoSelection);
  EXPECT_EQ(ClampSelection({-1, 2, 5, 5}, 10, 8), NoSelection);
  EXPECT_EQ(ClampSelection({10, 0, 12, 3}, 10, 8), NoSelection);
  EXPECT_EQ(ClampSelection({0, 8, 3, 9}, 10, 8), NoSelection);
}

TEST(Selection, DragSelectsBothEndsInAnyDirection) {
  EXPECT_EQ(SelectionBetween(1, 2, 4, 6, 10, 8), (TRect{1, 2, 4, 6}));
  EXPECT_EQ(SelectionBetween(4, 6, 1, 2, 10, 8), (TRect{1, 2, 4, 6}));
  // Dragged out past the edges: the selection stops at the image's border.
  EXPECT_EQ(SelectionBetween(3, 3, -20, 30, 10, 8), (TRect{0, 3, 3, 7}));
  EXPECT_EQ(SelectionBetween(-5, -5, -1, -1, 10, 8), NoSelection);
}
