#include "ui/CaptionGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// The product of a sum below 2^17 and a single-precision factor is exact in a double, as
// it is in the extended precision the blend was first computed in.
uint32_t BlendByte(uint32_t a, uint32_t b, int pos, int max, float scale) noexcept {
  const int sum = int(b) * (max - pos) + int(a) * pos;
  return uint32_t(std::lrint(double(sum) * double(scale))) & 0xFF;
}

constexpr TThemedBlock Blocks[] = {
    {0, 1, false, false}, {1, 1, false, false}, {2, 1, false, false}, {3, 1, true, false}, {5, 1, true, true},
    {0, 2, false, false}, {1, 2, false, false}, {2, 2, true, false}, {4, 2, true, true},
    {0, 3, false, false}, {1, 3, true, false},  {3, 3, true, true},
    {0, 4, true, false},
    {7, 1, true, true},
};

}  // namespace

// A caption one pixel high blends over no distance at all: it takes b.
uint32_t BlendColors(uint32_t a, uint32_t b, int pos, int max) noexcept {
  if (max == 0) return b & 0xFFFFFF;
  const float scale = 1.0f / float(max);
  uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8)
    result |= BlendByte((a >> shift) & 0xFF, (b >> shift) & 0xFF, pos, max, scale) << shift;
  return result;
}

TCaptionColors OrderCaptionColors(uint32_t gradient, uint32_t caption) noexcept {
  if (Brightness(gradient) < Brightness(caption)) return {caption, gradient};
  return {gradient, caption};
}

int ClassicSplit(int textWidth, bool hasIcon, int width, int outerWidth) noexcept {
  const int split = textWidth + 21 + (hasIcon ? 19 : 0);
  if (split > width - 60) return outerWidth;
  return std::max(split, width / 3);
}

// Enough bands to cover every row: the top one may start above the caption.
std::vector<TCaptionStep> ClassicSteps(int height, int split) {
  const int size = ClassicBlockSize(height);
  std::vector<TCaptionStep> steps;
  int edge = height + split;
  for (int k = 1; k <= height / size + 1; ++k) {
    steps.push_back({height - k * size, edge});
    edge -= size;
  }
  return steps;
}

void FillCaptionRow(uint32_t* row, int width, int edge, uint32_t left, uint32_t right) noexcept {
  const int split = std::clamp(edge, 0, width);
  std::fill(row, row + split, left);
  std::fill(row + split, row + width, right);
}

std::span<const TThemedBlock> ThemedBlocks() noexcept { return Blocks; }

int ThemedButtonBand(int buttonSize, bool systemMenu, bool minimizeOrMaximize) noexcept {
  int band = 4;
  if (!systemMenu) return band;
  band += buttonSize + 2;
  if (minimizeOrMaximize) band += 2 * (buttonSize + 2);
  return band;
}

uint64_t RowBrightness(const uint32_t* row, int count) noexcept {
  uint64_t sum = 0;
  for (const uint32_t* end = row + count; row != end; ++row) sum += uint64_t(Brightness(*row));
  return sum;
}

void GrayRow(uint32_t* row, int count, int divisor) noexcept {
  for (uint32_t* end = row + count; row != end; ++row) {
    const uint32_t g = uint32_t(std::min(255, (Brightness(*row) + 3) / divisor));
    *row = g * 0x010101u;
  }
}
