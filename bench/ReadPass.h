#pragma once
// The floor of integrate mode: one pass that only reads the same bytes and sums them, with
// SSE2 directly (the build lets loads raise exceptions, which keeps the compiler from
// vectorising a plain loop). Four independent sums keep the adds off the critical path.

#include <cstddef>
#include <cstdint>

uint64_t ReadBytes(const uint8_t* bytes, size_t count);
double ReadDoubles(const double* values, size_t count);

// The same passes with the stream fetched ReadAheadBytes ahead of the loads into the
// second-level cache (_mm_prefetch), as the sums of integrate mode fetch theirs: on the build
// machine a stream read so is up to a third faster than one that the processor fetches on its
// own. A second, lower floor.
constexpr uintptr_t ReadAheadBytes = 8192;
uint64_t ReadBytesAhead(const uint8_t* bytes, size_t count);
double ReadDoublesAhead(const double* values, size_t count);
