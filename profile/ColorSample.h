#pragma once
// One sample of a colour profile: the channel values, red, green and blue, in that order.

struct TColorSample {
  double R;
  double G;
  double B;
};
