#include "profile/LineWalk.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

TLineWalk MakeWalk(const TRect& selection, bool direction) {
  TLineWalk walk;
  walk.Start = {selection.Left, direction ? selection.Bottom : selection.Top};
  walk.End = {selection.Right, direction ? selection.Top : selection.Bottom};
  const int64_t dx = walk.End.X - walk.Start.X, dy = walk.End.Y - walk.Start.Y;
  walk.Capacity = std::llabs(dx) + std::llabs(dy) + 1;
  if (walk.Capacity > INT_MAX) throw EOutOfMemory(S_OUT_OF_MEMORY);
  const double length = std::sqrt(static_cast<double>(dx * dx + dy * dy));
  // A single pixel has no direction; its walk ends with the first sample.
  walk.Dx = length > 0 ? static_cast<double>(dx) / length : 0;
  walk.Dy = length > 0 ? static_cast<double>(dy) / length : 0;
  return walk;
}

int64_t RoundedFarPosition(double position) { return static_cast<int64_t>(RoundHalfEven(position)); }

std::vector<TSamplePoint> SampleLinePoints(const TRect& selection, bool direction) {
  const TLineWalk walk = MakeWalk(selection, direction);
  std::vector<TSamplePoint> points;
  try {
    points.reserve(static_cast<size_t>(walk.Capacity));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(S_OUT_OF_MEMORY);
  }
  Walk(walk, [&](int, TPoint64 point, bool) {
    points.push_back({static_cast<int32_t>(point.X), static_cast<int32_t>(point.Y)});
  });
  return points;
}
