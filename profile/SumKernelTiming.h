#pragma once
// Which set runs which of integrate mode's kernels, measured on this processor: a wider
// vector is not faster everywhere (a processor that splits 256-bit operations into two
// 128-bit halves adds bytes faster with SSE2 than with AVX2). The first time the kernels are
// needed, each group of them that shares a layout or a job is timed in every set the
// processor and the system run, on the same few megabytes laid out as a raster's rows, and
// the faster set's group is kept for the rest of the process.

#include "profile/SumKernels.h"

// The set each group came from.
struct TSumKernelChoice {
  TSumKernelSet Lanes;         // column sums of bytes (8-bit and 24-bit columns)
  TSumKernelSet Bytes;         // row sums of 8-bit pixels
  TSumKernelSet BytesByThree;  // row sums of 24-bit pixels
  TSumKernelSet PairColumns;   // column sums of a complex map
  TSumKernelSet PairRows;      // row sums of a complex map
};

// The kernels of the choice, measured once per process on first use; thread-safe.
const TSumKernels& MeasuredSumKernels() noexcept;
const TSumKernelChoice& MeasuredSumKernelChoice() noexcept;
// How many times the choice has been measured: once a process at most.
int SumKernelMeasurements() noexcept;
