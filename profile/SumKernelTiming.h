#pragma once
// Which set runs which of integrate mode's kernels, measured on this processor: a wider
// vector is not faster everywhere (a processor that splits 256-bit operations into two
// 128-bit halves adds bytes faster with SSE2 than with AVX2), nor is fetching the stream
// ahead (on some processors their own fetching does better alone). The first time a group
// of kernels has a raster large enough to tell, every set the processor and the system run
// is timed on slabs of that raster's own rows, which come from memory as the rest of the
// job will, and the fastest is kept for the group for the rest of the process. Until then,
// and for rasters too small to tell (which the caches hold), the group runs the SSE2 set
// that fetches ahead.

#include "profile/SumKernels.h"

// The measured choice's kernels for a job of the group over these rows, measuring the group
// on them first where it has not been measured and they are enough. Every group's kernels
// are returned, as chosen so far. Not for concurrent jobs: the plug-in's run on one thread.
TSumKernels MeasuredSumKernels(TKernelGroup group, const TTimingRows& rows);
// The set each group runs: Measured where it has not been measured yet.
TSumKernelSet MeasuredSumKernelSet(TKernelGroup group) noexcept;
// How many times each group has been measured: once a process at most.
int SumKernelMeasurements(TKernelGroup group) noexcept;
