#include "bench/BenchData.h"

void FillBytes(uint8_t* bytes, size_t count) {
  uint32_t state = 12345;
  for (size_t i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<uint8_t>(state >> 24);
  }
}
