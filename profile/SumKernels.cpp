#include "profile/SumKernels.h"

#include <emmintrin.h>

#include <algorithm>

// A byte pointer may alias anything; without restrict the compiler guards each vector loop
// with an overlap test of its own, or gives up. The row sums use SSE2, which every target
// has (x86-64, and the 32-bit build with -msse2), by hand: the compiler widens every byte
// to 16 bits where one instruction sums eight bytes, and its vectorisation spills in the
// 32-bit build's eight vector registers.

namespace {

constexpr size_t Block = 16;

__m128i Load(const uint8_t* bytes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)); }

uint64_t LanesOf(__m128i sums) {
  alignas(16) uint64_t lanes[2];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
  return lanes[0] + lanes[1];
}

}  // namespace

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

// The sum of absolute differences against zero adds eight bytes into a 64-bit lane at once.
uint64_t SumBytes(const uint8_t* __restrict bytes, size_t count) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = zero, b = zero, c = zero, d = zero;
  size_t k = 0;
  for (; k + 4 * Block <= count; k += 4 * Block) {
    a = _mm_add_epi64(a, _mm_sad_epu8(Load(bytes + k), zero));
    b = _mm_add_epi64(b, _mm_sad_epu8(Load(bytes + k + Block), zero));
    c = _mm_add_epi64(c, _mm_sad_epu8(Load(bytes + k + 2 * Block), zero));
    d = _mm_add_epi64(d, _mm_sad_epu8(Load(bytes + k + 3 * Block), zero));
  }
  for (; k + Block <= count; k += Block) a = _mm_add_epi64(a, _mm_sad_epu8(Load(bytes + k), zero));
  uint64_t total = LanesOf(_mm_add_epi64(_mm_add_epi64(a, b), _mm_add_epi64(c, d)));
  for (; k < count; ++k) total += bytes[k];
  return total;
}

// 48 bytes are sixteen 24-bit pixels in three registers. Split into their even and odd
// bytes as 16-bit lanes, the six halves fall into three channel patterns: lane j of
// `even` holds channel 2j % 3, of `odd` channel (2j + 1) % 3, of `next` (2j + 2) % 3:
//   even: bytes 2j of the first register and 2j + 1 of the third (33 + 2j = 2j mod 3),
//   odd:  bytes 2j + 1 of the first and 2j of the second (16 + 2j = 2j + 1 mod 3),
//   next: bytes 2j + 1 of the second and 2j of the third.
// Each lane takes two bytes a block, so it is flushed every LaneAdds / 2 blocks.
void SumBytesByThree(const uint8_t* __restrict bytes, size_t count, uint64_t (&totals)[3]) {
  const __m128i low = _mm_set1_epi16(0x00FF);
  alignas(16) uint16_t lanes[3][8];
  while (count >= 3 * Block) {
    __m128i even = _mm_setzero_si128(), odd = even, next = even;
    const size_t blocks = std::min<size_t>(count / (3 * Block), LaneAdds / 2);
    count -= blocks * 3 * Block;
    for (size_t b = 0; b < blocks; ++b, bytes += 3 * Block) {
      const __m128i first = Load(bytes), second = Load(bytes + Block), third = Load(bytes + 2 * Block);
      even = _mm_add_epi16(even, _mm_add_epi16(_mm_and_si128(first, low), _mm_srli_epi16(third, 8)));
      odd = _mm_add_epi16(odd, _mm_add_epi16(_mm_srli_epi16(first, 8), _mm_and_si128(second, low)));
      next = _mm_add_epi16(next, _mm_add_epi16(_mm_srli_epi16(second, 8), _mm_and_si128(third, low)));
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes[0]), even);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes[1]), odd);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes[2]), next);
    for (int pattern = 0; pattern < 3; ++pattern)
      for (int j = 0; j < 8; ++j) totals[(2 * j + pattern) % 3] += lanes[pattern][j];
  }
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
