#pragma once
// The innermost loops of integrate mode, one pointer walk over one row each. They are
// compiled apart (see CMakeLists.txt) so that the compiler may vectorise them; the row
// sums of bytes are written in SSE2 by hand.

#include <cstddef>
#include <cstdint>

// 256 bytes of at most 255 add up to less than 65536: a 16-bit lane takes that many
// additions of a byte before it must be flushed into a wider total.
constexpr int LaneAdds = 256;

// lanes[k] += bytes[k]. The caller flushes every LaneAdds rows.
void AddBytesToLanes(const uint8_t* bytes, size_t count, uint16_t* lanes);
// lanes[k] += the bytes at k of RowsAtOnce rows `stride` bytes apart. Adding the rows in
// registers first divides the traffic to the lanes by as many.
constexpr int RowsAtOnce = 8;
void AddRowsToLanes(const uint8_t* bytes, ptrdiff_t stride, size_t count, uint16_t* lanes);
static_assert(LaneAdds % RowsAtOnce == 0, "lanes are flushed between groups of rows");
// totals[k] += lanes[k], and the lanes start again from 0.
void FlushLanes(uint16_t* lanes, size_t count, uint64_t* totals);
// The sum of the bytes: a row of 8-bit pixels.
uint64_t SumBytes(const uint8_t* bytes, size_t count);
// totals[k % 3] += bytes[k]: the blue, green and red sums of 24-bit pixels.
void SumBytesByThree(const uint8_t* bytes, size_t count, uint64_t (&totals)[3]);

// sums[k] += values[2 * k]: one component of a row of (real, imaginary) pairs.
void AddPairsToSums(const double* values, size_t count, double* sums);
// The same for PairRowsAtOnce rows `stride` doubles apart, added one row after the other
// as separate additions; each sum stays in a register across the rows.
constexpr int PairRowsAtOnce = 4;
void AddPairRowsToSums(const double* values, ptrdiff_t stride, size_t count, double* sums);
// sum + values[0] + values[2] + ... + values[2 * (count - 1)], added in that order.
double SumPairs(const double* values, size_t count, double sum);
// SumPairs of PairRowsAtOnce rows `stride` doubles apart, continuing sums[r] for row r:
// independent chains of additions keep the adder busy while each keeps its order.
void SumPairRows(const double* values, ptrdiff_t stride, size_t count, double* sums);
