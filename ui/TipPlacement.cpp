#include "ui/TipPlacement.h"

#include <algorithm>

namespace {

// One axis: after the cursor where the tip fits, before it where it fits there, else on the
// side with more room, kept clear of the cursor even past the area's edge. `clear` is false
// when only a position overlapping the cursor would keep the tip inside the area. A cursor
// beyond the area (over a taskbar) has the tip along the area's edge, which keeps it clear.
int PlaceOnAxis(int cursor, int size, int low, int high, int gap, bool& clear) {
  const int after = cursor + gap, before = cursor - gap - size;
  const int highest = std::max(low, high - size);
  clear = true;
  if (after >= low && after + size <= high) return after;
  if (before >= low && before + size <= high) return before;
  if (cursor < low || cursor >= high) {
    const int beside = cursor < low ? after : before;
    return size <= high - low ? std::clamp(beside, low, highest) : beside;
  }
  clear = false;
  return std::clamp(high - after >= before + size - low ? after : before, low, highest);
}

}  // namespace

TTipPoint PlaceTip(TTipPoint cursor, int width, int height, const TTipRect& area, int gapX, int gapY) noexcept {
  bool clearX = false, clearY = false;
  TTipPoint place{PlaceOnAxis(cursor.X, width, area.Left, area.Right, gapX, clearX),
                  PlaceOnAxis(cursor.Y, height, area.Top, area.Bottom, gapY, clearY)};
  if (clearX || clearY) return place;
  // Neither axis keeps the tip off the cursor inside the area: the vertical one does, at
  // the cost of leaving the area on the side with more room.
  const bool below = area.Bottom - (cursor.Y + gapY) >= (cursor.Y - gapY) - area.Top;
  place.Y = below ? cursor.Y + gapY : cursor.Y - gapY - height;
  return place;
}
