#pragma once
// The walk of line mode from one corner of the selection to the other, one sample per
// pixel step: the sampling of a line and of a band, their marks and the samples' places in
// the image all walk it, so that they always pair up.

#include <cstdint>
#include <vector>

#include "image/LinarBitmap.h"
#include "image/Rounding.h"
#include "profile/ProfileSampling.h"

struct TPoint64 {
  int64_t X;
  int64_t Y;
  friend bool operator==(const TPoint64&, const TPoint64&) = default;
};

struct TLineWalk {
  TPoint64 Start;
  TPoint64 End;
  double Dx;
  double Dy;
  // |dx| + |dy| + 1: never fewer than the samples of a walk that meets its end point.
  int64_t Capacity;
};

// From the top left corner to the bottom right one, or with `direction` from the bottom
// left corner to the top right one. A walk of more samples than an int counts raises the
// out-of-memory error.
TLineWalk MakeWalk(const TRect& selection, bool direction);

// A position beyond the int range: the 32-bit build converts to 64 bits through the x87 unit.
int64_t RoundedFarPosition(double position);

// A walk's position rounded, inline: a long walk rounds two positions a sample.
inline int64_t RoundedPosition(double position) {
  if (position > -0x1p30 && position < 0x1p30) return RoundHalfEvenToInt(position);
  return RoundedFarPosition(position);
}

// Each sample of a steep line lies on a row of its own, far from the one before: the walk
// tells where it will be this many samples ahead, so that the misses overlap.
constexpr int FetchAhead = 16;

// Calls visit(i, point, copy) for every sample and returns their number; copy says that the
// rounded point repeats the previous one, which the first sample never does, wherever the
// line starts. The position is accumulated step by step, never recomputed from i, so the
// rounded points are the ones the walk really meets. It stops at the end point, or at the
// capacity should rounding ever step past the end point. fetch(x, y) is told roughly where
// the walk will be FetchAhead samples on.
template <class TVisit, class TFetch>
int Walk(const TLineWalk& walk, TVisit&& visit, TFetch&& fetch) {
  double px = static_cast<double>(walk.Start.X), py = static_cast<double>(walk.Start.Y);
  const double aheadX = FetchAhead * walk.Dx, aheadY = FetchAhead * walk.Dy;
  TPoint64 previous{};
  for (int i = 0;;) {
    fetch(px + aheadX, py + aheadY);
    const TPoint64 point{RoundedPosition(px), RoundedPosition(py)};
    visit(i, point, i > 0 && point == previous);
    previous = point;
    px += walk.Dx;
    py += walk.Dy;
    ++i;
    if (point == walk.End || i == walk.Capacity) return i;
  }
}

template <class TVisit>
int Walk(const TLineWalk& walk, TVisit&& visit) {
  return Walk(walk, visit, [](double, double) {});
}

// The image coordinates of the line walk's samples, one per sample of SampleLine over the
// same selection and diagonal, copies included: where each value was read.
std::vector<TSamplePoint> SampleLinePoints(const TRect& selection, bool direction);
