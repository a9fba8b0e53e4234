#pragma once
// The arithmetic of the styled caption that needs no window: colour brightness and
// blending, the turn of a themed caption into gray, and where the steps and blocks of the
// two caption looks lie. Colours are 0x00BBGGRR values; pixels of 32-bit bitmaps have
// blue in their low byte.

#include <cstdint>
#include <span>
#include <vector>

// 2·(bits 0-7) + 3·(bits 8-15) + (bits 16-23): 2·red + 3·green + blue for a colour,
// 2·blue + 3·green + red for a pixel; 0 to 1530.
constexpr int Brightness(uint32_t c) noexcept {
  return 2 * int(c & 0xFF) + 3 * int((c >> 8) & 0xFF) + int((c >> 16) & 0xFF);
}

// Byte by byte (b·(max − pos) + a·pos) · (1/max in single precision), to the nearest
// integer with ties to even: pos = 0 gives b, pos = max gives a.
uint32_t BlendColors(uint32_t a, uint32_t b, int pos, int max) noexcept;

// A colour as a pixel of a 32-bit bitmap, and back: red and blue change places.
constexpr uint32_t PixelOf(uint32_t color) noexcept {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

struct TCaptionColors {
  uint32_t Light;
  uint32_t Dark;
};
// The brighter of the two colours is the light one; on equal brightness the gradient
// colour is.
TCaptionColors OrderCaptionColors(uint32_t gradient, uint32_t caption) noexcept;

// The classic look: a gradient in the caption colours that ends in a staircase against
// the button face. Band k (from 1, at the bottom) covers rows Top to Top + size − 1 and
// takes the caption colours left of Edge.
struct TCaptionStep {
  int Top;
  int Edge;
};
constexpr int ClassicBlockSize(int height) noexcept { return height / 4 + 1; }
// Where the staircase starts; a caption too long to leave room for it takes the outer
// width, so that the whole caption is gradient.
int ClassicSplit(int textWidth, bool hasIcon, int width, int outerWidth) noexcept;
std::vector<TCaptionStep> ClassicSteps(int height, int split);
// One row: pixels before edge (limited to the width) take left, the rest right.
void FillCaptionRow(uint32_t* row, int width, int edge, uint32_t left, uint32_t right) noexcept;

// The themed look: squares of the coloured caption set into a gray copy of it.
// Block (c, r) has its left edge at (c − 1)·size + 1 and its top at height − r·size.
struct TThemedBlock {
  int Column;
  int Row;
  bool Edged;     // light line along the top, dark line down the right
  bool LeftEdge;  // light line down the left
};
std::span<const TThemedBlock> ThemedBlocks() noexcept;
constexpr int ThemedBlockSize(int height, bool maximized) noexcept {
  return (height + 3 - (maximized ? 4 : 0) / 2) / 4;
}
// The width the caption buttons take at the right of a themed caption.
int ThemedButtonBand(int buttonSize, bool systemMenu, bool minimizeOrMaximize) noexcept;

// Turning the inactive themed caption gray: the brightness sum of a row of 32-bit pixels,
// the divisor for an average brightness, and the row turned to gray.
uint64_t RowBrightness(const uint32_t* row, int count) noexcept;
constexpr bool IsLightTheme(int average) noexcept { return average > 230; }
constexpr int GrayDivisor(int average) noexcept { return average > 200 ? 6 : 5; }
void GrayRow(uint32_t* row, int count, int divisor) noexcept;
