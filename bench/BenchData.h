#pragma once
// The pixels both integrate benchmarks sum: the same pseudo-random bytes in every run and in
// both programs, so that their figures speak of the same data.

#include <cstddef>
#include <cstdint>

void FillBytes(uint8_t* bytes, size_t count);
