#pragma once
// The heavy half of integrate mode: the sums of the rows or the columns of a selection.
// Values are read the way the pixel accessors read them, a position outside the image
// standing for the nearest edge pixel, but the inside of the image is walked with one row
// pointer at a time and integer pixels are summed in integers.

#include <cstdint>
#include <vector>

#include "image/LinarBitmap.h"

// The lines to sum and the span each one covers. The lines lie inside the image; the span
// (inclusive, AlongFirst <= AlongLast) may reach outside it on either side.
struct TLineSpan {
  // Rows y = FirstLine..LastLine running along x; otherwise columns running along y.
  bool ByRows;
  int FirstLine;
  int LastLine;
  int64_t AlongFirst;
  int64_t AlongLast;
};

// Integer sums of one line in the pixel's byte order: blue, green, red for 24-bit pixels;
// gray pixels use Channel[0] only. Below 2^53 they equal the sums of the same values taken
// as doubles in any order.
struct TChannelSums {
  uint64_t Channel[3];
};

// The memory the sums work in, kept by the caller from one profile to the next: the column
// sums of a large image take some hundred kilobytes, which fresh from the system cost page
// faults that weigh on a pass of a few milliseconds.
struct TSumWork {
  // The sums of a bitmap's lines, and of a complex map's.
  std::vector<TChannelSums> Lines;
  std::vector<double> Values;
  // Byte columns' lanes and totals.
  std::vector<uint16_t> Lanes;
  std::vector<uint64_t> Totals;
};

// A job that sums the span's rows a few at a time shows them all first to the kernels'
// measured choice (SumKernelTiming.h), which may time its kernels on them.
void PrepareRowSums(const TLinearBitmap& bitmap, const TLineSpan& span);

// One entry per line, into work.Lines. Indexed8 and Gray16 sum the stored values
// (GetIntensity), Bgr24 the three channels (GetPixel); the caller rejects other formats.
void SumBitmapLines(const TLinearBitmap& bitmap, const TLineSpan& span, TSumWork& work);

// A complex map as packed rows of (real, imaginary) pairs.
struct TComplexRows {
  const double* Pairs;
  int Width;
  int Height;
};

// One double per line, into work.Values: component 0 (real) or 1 (imaginary) added from 0
// in the span's order, one addition per element inside the map; the positions before and
// after the map read its edge element, which is added once, times their count.
void SumComplexLines(const TComplexRows& map, int component, const TLineSpan& span, TSumWork& work);
