// The styled caption's arithmetic: brightness, blending with its single-precision factor
// and ties to even, the order of the caption colours, the staircases and the gray sheet.

#include "ui/CaptionGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(CaptionGeometry, BrightnessWeighsTheThreeLowBytes) {
  EXPECT_EQ(Brightness(0x000001), 2);
  EXPECT_EQ(Brightness(0x000100), 3);
  EXPECT_EQ(Brightness(0x010000), 1);
  EXPECT_EQ(Brightness(0x00FFFFFF), 1530);
  EXPECT_EQ(Brightness(0xFF000000), 0);
  EXPECT_EQ(Brightness(0x00204080), 2 * 0x80 + 3 * 0x40 + 0x20);
}

TEST(CaptionGeometry, BlendColorsRunsFromTheSecondColourToTheFirst) {
  const uint32_t colors[] = {0x000000, 0xFFFFFF, 0x123456, 0xA0B0C0, 0x7F8081};
  for (int max : {1, 2, 3, 7, 13, 17, 25, 255})
    for (uint32_t a : colors)
      for (uint32_t b : colors) {
        EXPECT_EQ(BlendColors(a, b, 0, max), b) << max;
        EXPECT_EQ(BlendColors(a, b, max, max), a) << max;
      }
  EXPECT_EQ(BlendColors(0xFF123456, 0xFF654321, 1, 2) & 0xFF000000, 0u);
  EXPECT_EQ(BlendColors(0x123456, 0x654321, 0, 0), 0x654321u);
  // Each byte on its own: no carry from one channel into the next.
  EXPECT_EQ(BlendColors(0x0000FF, 0x00FF00, 1, 2), 0x008080u);
}

TEST(CaptionGeometry, BlendColorsRoundsTiesToEvenWithASinglePrecisionFactor) {
  // Half of each channel: 213 / 2 and 1 / 2 go down, 215 / 2 and 3 / 2 go up.
  EXPECT_EQ(BlendColors(0x03D7D5, 0, 1, 2), 0x026C6Au);
  EXPECT_EQ(BlendColors(0x010101, 0, 1, 2), 0u);
  // 1/10 as a float is a little more than a tenth: 5 / 10 is no tie and rounds up.
  EXPECT_EQ(BlendColors(5, 0, 1, 10), 1u);
  // 1/50 as a float is a little less than a fiftieth: 75 / 50 rounds down.
  EXPECT_EQ(BlendColors(75, 0, 1, 50), 1u);
  // The gradient of a caption of 18 rows, row 9: (10·9 + 200·8)/17 = 99.41.
  EXPECT_EQ(BlendColors(10, 200, 9, 17), 99u);
}

TEST(CaptionGeometry, TheBrighterCaptionColourIsTheLightOne) {
  const TCaptionColors ordered = OrderCaptionColors(0xF0D0A0, 0x800000);
  EXPECT_EQ(ordered.Light, 0xF0D0A0u);
  EXPECT_EQ(ordered.Dark, 0x800000u);
  const TCaptionColors swapped = OrderCaptionColors(0x800000, 0xF0D0A0);
  EXPECT_EQ(swapped.Light, 0xF0D0A0u);
  EXPECT_EQ(swapped.Dark, 0x800000u);
  // Same brightness (2·r + 3·g + b): no swap.
  const TCaptionColors even = OrderCaptionColors(0x000003, 0x000200);
  EXPECT_EQ(even.Light, 0x000003u);
  EXPECT_EQ(PixelOf(0x123456), 0x563412u);
}

TEST(CaptionGeometry, TheClassicSplitLeavesRoomForTheStaircase) {
  EXPECT_EQ(ClassicSplit(10, false, 300, 320), 100);  // at least a third
  EXPECT_EQ(ClassicSplit(100, false, 300, 320), 121);
  EXPECT_EQ(ClassicSplit(100, true, 300, 320), 140);
  EXPECT_EQ(ClassicSplit(219, false, 300, 320), 240);  // exactly width − 60 still fits
  EXPECT_EQ(ClassicSplit(220, false, 300, 320), 320);  // too long: all gradient
}

TEST(CaptionGeometry, TheClassicStepsCoverEveryRowOnce) {
  const std::vector<TCaptionStep> steps = ClassicSteps(18, 100);
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(ClassicBlockSize(18), 5);
  const int tops[] = {13, 8, 3, -2};
  for (size_t k = 0; k < steps.size(); ++k) {
    EXPECT_EQ(steps[k].Top, tops[k]);
    EXPECT_EQ(steps[k].Edge, 118 - 5 * int(k));
  }
  for (int height = 1; height <= 40; ++height) {
    const int size = ClassicBlockSize(height);
    std::vector<int> cover(size_t(height), 0);
    for (const TCaptionStep& step : ClassicSteps(height, 50)) {
      for (int y = std::max(0, step.Top); y < step.Top + size; ++y) ++cover[size_t(y)];
      EXPECT_GE(step.Edge, 50);
    }
    EXPECT_EQ(std::count(cover.begin(), cover.end(), 1), height) << height;
  }
}

TEST(CaptionGeometry, ACaptionRowSplitsAtItsEdgeWithinTheWidth) {
  std::vector<uint32_t> row(7, 0);
  FillCaptionRow(row.data(), 7, 3, 1, 2);
  EXPECT_EQ(row, (std::vector<uint32_t>{1, 1, 1, 2, 2, 2, 2}));
  FillCaptionRow(row.data(), 7, 70, 3, 4);
  EXPECT_EQ(row, std::vector<uint32_t>(7, 3));
  FillCaptionRow(row.data(), 7, -1, 3, 4);
  EXPECT_EQ(row, std::vector<uint32_t>(7, 4));
}

TEST(CaptionGeometry, TheThemedBlocksFormAStaircaseWithLooseSquares) {
  int perRow[5] = {};
  for (const TThemedBlock& block : ThemedBlocks()) {
    const bool loose = block.LeftEdge;
    if (!loose) {
      ++perRow[block.Row];
      EXPECT_EQ(block.Edged, block.Column == 4 - block.Row);
    } else {
      EXPECT_TRUE(block.Edged);
      EXPECT_TRUE(block.Column == 6 - block.Row || (block.Column == 7 && block.Row == 1));
    }
  }
  EXPECT_EQ(perRow[1], 4);
  EXPECT_EQ(perRow[2], 3);
  EXPECT_EQ(perRow[3], 2);
  EXPECT_EQ(perRow[4], 1);
  EXPECT_EQ(ThemedBlocks().size(), 14u);
  EXPECT_EQ(ThemedBlockSize(30, false), 8);
  EXPECT_EQ(ThemedBlockSize(30, true), 7);
  EXPECT_EQ(ThemedButtonBand(14, false, true), 4);
  EXPECT_EQ(ThemedButtonBand(14, true, false), 20);
  EXPECT_EQ(ThemedButtonBand(14, true, true), 52);
}

TEST(CaptionGeometry, TheGraySheetTakesTheBrightnessOfEachPixel) {
  // Pixels: blue in the low byte.
  std::vector<uint32_t> row = {0xFF3264C8, 0x00FFFFFF, 0x00000000};
  EXPECT_EQ(RowBrightness(row.data(), 3), uint64_t(2 * 0xC8 + 3 * 0x64 + 0x32 + 1530));
  std::vector<uint32_t> five = row;
  GrayRow(five.data(), 3, 5);
  EXPECT_EQ(five, (std::vector<uint32_t>{0x969696, 0xFFFFFF, 0x000000}));
  GrayRow(row.data(), 3, 6);
  EXPECT_EQ(row[0], 0x7D7D7Du);
  EXPECT_EQ(GrayDivisor(200), 5);
  EXPECT_EQ(GrayDivisor(201), 6);
  EXPECT_FALSE(IsLightTheme(230));
  EXPECT_TRUE(IsLightTheme(231));
}

}  // namespace
