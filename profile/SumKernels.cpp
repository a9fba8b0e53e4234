#include "profile/SumKernels.h"

// A byte pointer may alias anything; without restrict the compiler guards each vector loop
// with an overlap test of its own, or gives up.

void AddBytesToLanes(const uint8_t* __restrict bytes, size_t count, uint16_t* __restrict lanes) {
  for (size_t k = 0; k < count; ++k) lanes[k] += bytes[k];
}

void AddRowsToLanes(const uint8_t* __restrict bytes, ptrdiff_t stride, size_t count,
                    uint16_t* __restrict lanes) {
  const uint8_t* __restrict row[RowsAtOnce];
  for (int r = 0; r < RowsAtOnce; ++r) row[r] = bytes + r * stride;
  for (size_t k = 0; k < count; ++k) {
    uint16_t sum = 0;
    for (int r = 0; r < RowsAtOnce; ++r) sum = static_cast<uint16_t>(sum + row[r][k]);
    lanes[k] = static_cast<uint16_t>(lanes[k] + sum);
  }
}

void FlushLanes(uint16_t* __restrict lanes, size_t count, uint64_t* __restrict totals) {
  for (size_t k = 0; k < count; ++k) {
    totals[k] += lanes[k];
    lanes[k] = 0;
  }
}

// 48 lanes are sixteen 24-bit pixels, so lane k always holds channel k % 3 and the inner
// loop is a plain vector add of three 16-byte blocks.
void SumBytesByThree(const uint8_t* __restrict bytes, size_t count, uint64_t (&totals)[3]) {
  constexpr size_t Lanes = 48;
  uint16_t lanes[Lanes] = {};
  uint64_t wide[Lanes] = {};
  int adds = 0;
  for (; count >= Lanes; count -= Lanes, bytes += Lanes) {
    for (size_t k = 0; k < Lanes; ++k) lanes[k] += bytes[k];
    if (++adds == LaneAdds) {
      FlushLanes(lanes, Lanes, wide);
      adds = 0;
    }
  }
  FlushLanes(lanes, Lanes, wide);
  for (size_t k = 0; k < Lanes; ++k) totals[k % 3] += wide[k];
  for (size_t k = 0; k < count; ++k) totals[k % 3] += bytes[k];
}

void AddPairsToSums(const double* __restrict values, size_t count, double* __restrict sums) {
  for (size_t k = 0; k < count; ++k) sums[k] += values[2 * k];
}

void AddPairRowsToSums(const double* __restrict values, ptrdiff_t stride, size_t count,
                       double* __restrict sums) {
  for (size_t k = 0; k < count; ++k) {
    double sum = sums[k];
    for (int r = 0; r < PairRowsAtOnce; ++r) sum += values[r * stride + 2 * k];
    sums[k] = sum;
  }
}

// One dependent chain of additions: the order is the result, so it cannot be split.
double SumPairs(const double* values, size_t count, double sum) {
  for (size_t k = 0; k < count; ++k) sum += values[2 * k];
  return sum;
}

void SumPairRows(const double* __restrict values, ptrdiff_t stride, size_t count, double* __restrict sums) {
  double chain[PairRowsAtOnce];
  for (int r = 0; r < PairRowsAtOnce; ++r) chain[r] = sums[r];
  for (size_t k = 0; k < count; ++k)
    for (int r = 0; r < PairRowsAtOnce; ++r) chain[r] += values[r * stride + 2 * k];
  for (int r = 0; r < PairRowsAtOnce; ++r) sums[r] = chain[r];
}
