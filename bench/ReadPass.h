#pragma once
// The floor of integrate mode: one pass that only reads the same bytes and sums them, with
// SSE2 directly (the build lets loads raise exceptions, which keeps the compiler from
// vectorising a plain loop). Four independent sums keep the adds off the critical path.

#include <cstddef>
#include <cstdint>

uint64_t ReadBytes(const uint8_t* bytes, size_t count);
double ReadDoubles(const double* values, size_t count);
