#pragma once
// One sample of a colour profile: the channel values, red, green and blue, in that order.

struct TColorSample {
  double R;
  double G;
  double B;
};

// The curve of the plane "Average": the channels' mean, the same double wherever it is used.
inline double AverageOf(const TColorSample& sample) { return (sample.R + sample.G + sample.B) / 3; }
