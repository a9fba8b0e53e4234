#pragma once
// Where a readout's tooltip goes beside the cursor, without a window: inside the monitor's
// work area, and never over the cursor, which it would hide and which would then move onto
// it. Coordinates are the screen's pixels; rectangles exclude their right and bottom edges.

struct TTipRect {
  int Left;
  int Top;
  int Right;
  int Bottom;
};

struct TTipPoint {
  int X;
  int Y;
};

// The tooltip's top left corner: below and to the right of the cursor, flipped to its left
// or above it where it would leave the area. `gapX` and `gapY` keep it clear of the cursor's
// image. Where the area is too small for it on either side, it stays clear of the cursor
// all the same, along the axis with more room.
TTipPoint PlaceTip(TTipPoint cursor, int width, int height, const TTipRect& area, int gapX, int gapY) noexcept;
