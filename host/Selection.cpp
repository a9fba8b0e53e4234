#include "host/Selection.h"

#include <algorithm>

namespace {

TRect IntersectOrdered(const TRect& rect, int32_t width, int32_t height) {
  if (rect.Right < 0 || rect.Bottom < 0 || rect.Left >= width || rect.Top >= height) return NoSelection;
  return TRect{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, width - 1),
               std::min(rect.Bottom, height - 1)};
}

}  // namespace

TRect ClampSelection(TRect rect, int32_t width, int32_t height) {
  if (rect.Left < 0) return NoSelection;
  if (rect.Left > rect.Right) std::swap(rect.Left, rect.Right);
  if (rect.Top > rect.Bottom) std::swap(rect.Top, rect.Bottom);
  return IntersectOrdered(rect, width, height);
}

TRect SelectionBetween(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height) {
  const TRect rect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
  return IntersectOrdered(rect, width, height);
}
