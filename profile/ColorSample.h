#pragma once
// One sample of a colour profile: the channel values, red, green and blue, in that order.

struct TColorSample {
  double R;
  double G;
  double B;
};

// The curve of the plane "Average": the channels' mean, the same double wherever it is used.
inline double AverageOf(const TColorSample& sample) { return (sample.R + sample.G + sample.B) / 3; }

// The curve of the plane "Grayscale": (2 R + 3 G + B) / 6.
inline double GrayOf(const TColorSample& sample) { return (2 * sample.R + 3 * sample.G + sample.B) / 6; }
