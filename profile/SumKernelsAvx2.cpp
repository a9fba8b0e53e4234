#include "profile/SumKernels.h"

#include <immintrin.h>

// Every function here runs only where the processor has AVX2, so each carries the target
// itself: the file is built like the rest, and nothing that the linker may share with other
// files (an inline function of a header) comes out in AVX2 code. The loops are the SSE2
// set's (SumKernelsSse2.cpp) at twice the width; spans too narrow for a wide block go to it.

#define AVX2_KERNEL [[gnu::target("avx2")]]

namespace {

constexpr size_t Block = 32;
// A block's words, then its highs: sixteen lanes each.
constexpr size_t BlockWords = 2 * 16;
constexpr uintptr_t FetchDistance = 8192;

AVX2_KERNEL __m256i Load(const uint8_t* bytes) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}
AVX2_KERNEL __m256i LoadLanes(const uint16_t* lanes) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes));
}
AVX2_KERNEL void StoreLanes(uint16_t* lanes, __m256i value) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes), value);
}
AVX2_KERNEL __m256i Highs(__m256i bytes) { return _mm256_srli_epi16(bytes, 8); }

// Into the second-level cache only, as the SSE2 set fetches. The address is reckoned as an
// integer, since it may lie past the end of the span; a fetch never faults.
void Fetch(const void* address, uintptr_t distance) {
  _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(address) + distance), _MM_HINT_T1);
}

// Spans too narrow for a block, and the rows' chains, go to the SSE2 set that fetches alike.
template <bool Ahead>
const TSumKernels& Sse2Of() {
  return Ahead ? Sse2SumKernels : Sse2PlainSumKernels;
}

AVX2_KERNEL void AddToLanes(uint16_t* lanes, __m256i words, __m256i highs) {
  StoreLanes(lanes, _mm256_add_epi16(LoadLanes(lanes), words));
  StoreLanes(lanes + 16, _mm256_add_epi16(LoadLanes(lanes + 16), highs));
}

bool Narrow(size_t count) { return count < Block; }

size_t LaneWords(size_t count) { return (count + Block - 1) / Block * BlockWords; }

// The last count % Block bytes of a span of at least Block bytes, read as its last Block
// bytes with the ones that the whole blocks cover set to 0.
struct TTail {
  size_t Offset;
  __m256i Mask;
};

AVX2_KERNEL TTail TailOf(size_t count) {
  alignas(32) static const uint8_t masks[2 * Block] = {
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
      255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  return {count - Block, Load(masks + count % Block)};
}

// Two 64-byte lines of `ahead` a block of 32 bytes: a quarter of the band's blocks fetches
// one row of the next band.
template <bool Fetching>
AVX2_KERNEL void AddBandBlocks(const uint8_t* bytes, ptrdiff_t stride, size_t blocks, const uint8_t* ahead,
                               uint16_t* lanes) {
  const uint8_t* lower = bytes + 2 * stride;
  for (size_t b = 0; b < blocks; ++b, bytes += Block, lower += Block, lanes += BlockWords) {
    if (Fetching) {
      Fetch(ahead, 4 * Block * b);
      Fetch(ahead, 4 * Block * b + 64);
    }
    const __m256i r0 = Load(bytes), r1 = Load(bytes + stride), r2 = Load(lower), r3 = Load(lower + stride);
    AddToLanes(lanes, _mm256_add_epi16(_mm256_add_epi16(r0, r1), _mm256_add_epi16(r2, r3)),
               _mm256_add_epi16(_mm256_add_epi16(Highs(r0), Highs(r1)), _mm256_add_epi16(Highs(r2), Highs(r3))));
  }
}

template <bool Ahead>
AVX2_KERNEL void AddBandToLanes(const uint8_t* bytes, ptrdiff_t stride, size_t count, const TBandRows& ahead,
                                uint16_t* lanes) {
  if (Narrow(count)) return Sse2Of<Ahead>().AddBandToLanes(bytes, stride, count, ahead, lanes);
  const size_t blocks = count / Block, quarter = blocks / BandRows;
  for (int r = 0; r < BandRows; ++r) {
    const size_t first = r * quarter;
    AddBandBlocks<Ahead>(bytes + first * Block, stride, quarter, ahead[r], lanes + first * BlockWords);
  }
  const size_t first = BandRows * quarter;
  AddBandBlocks<false>(bytes + first * Block, stride, blocks - first, nullptr, lanes + first * BlockWords);
  if (count % Block == 0) return;
  const TTail tail = TailOf(count);
  __m256i words = _mm256_setzero_si256(), highs = words;
  for (int r = 0; r < BandRows; ++r) {
    const __m256i row = _mm256_and_si256(Load(bytes + r * stride + tail.Offset), tail.Mask);
    words = _mm256_add_epi16(words, row);
    highs = _mm256_add_epi16(highs, Highs(row));
  }
  AddToLanes(lanes + blocks * BlockWords, words, highs);
}

AVX2_KERNEL void AddRowToLanes(const uint8_t* bytes, size_t count, uint16_t* lanes) {
  if (Narrow(count)) return Sse2SumKernels.AddRowToLanes(bytes, count, lanes);
  const size_t blocks = count / Block;
  for (size_t b = 0; b < blocks; ++b) {
    const __m256i row = Load(bytes + b * Block);
    AddToLanes(lanes + b * BlockWords, row, Highs(row));
  }
  if (count % Block == 0) return;
  const TTail tail = TailOf(count);
  const __m256i row = _mm256_and_si256(Load(bytes + tail.Offset), tail.Mask);
  AddToLanes(lanes + blocks * BlockWords, row, Highs(row));
}

// Eight columns' sums in 16-bit lanes, in column order, added to eight 64-bit totals.
AVX2_KERNEL void AddColumns(__m128i columns, uint64_t* totals) {
  __m256i* target = reinterpret_cast<__m256i*>(totals);
  _mm256_storeu_si256(target, _mm256_add_epi64(_mm256_loadu_si256(target), _mm256_cvtepu16_epi64(columns)));
  _mm256_storeu_si256(target + 1, _mm256_add_epi64(_mm256_loadu_si256(target + 1),
                                                   _mm256_cvtepu16_epi64(_mm_srli_si128(columns, 8))));
}

// The unpacks interleave within each half of the registers: the low halves give columns 0-7
// and 8-15, the high halves 16-23 and 24-31.
AVX2_KERNEL void FlushBlock(uint16_t* lanes, uint64_t* totals) {
  const __m256i words = LoadLanes(lanes), highs = LoadLanes(lanes + 16);
  const __m256i lows = _mm256_sub_epi16(words, _mm256_slli_epi16(highs, 8));
  const __m256i first = _mm256_unpacklo_epi16(lows, highs), second = _mm256_unpackhi_epi16(lows, highs);
  AddColumns(_mm256_castsi256_si128(first), totals);
  AddColumns(_mm256_castsi256_si128(second), totals + 8);
  AddColumns(_mm256_extracti128_si256(first, 1), totals + 16);
  AddColumns(_mm256_extracti128_si256(second, 1), totals + 24);
  StoreLanes(lanes, _mm256_setzero_si256());
  StoreLanes(lanes + 16, _mm256_setzero_si256());
}

AVX2_KERNEL void FlushLanes(uint16_t* lanes, size_t count, uint64_t* totals) {
  if (Narrow(count)) return Sse2SumKernels.FlushLanes(lanes, count, totals);
  const size_t blocks = count / Block;
  for (size_t b = 0; b < blocks; ++b) FlushBlock(lanes + b * BlockWords, totals + b * Block);
  if (count % Block != 0) FlushBlock(lanes + blocks * BlockWords, totals + count - Block);
}

template <bool Ahead>
AVX2_KERNEL uint64_t SumBytes(const uint8_t* bytes, size_t count) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i a = zero, b = zero, c = zero, d = zero;
  size_t k = 0;
  for (; k + 4 * Block <= count; k += 4 * Block) {
    if (Ahead) {
      Fetch(bytes + k, FetchDistance);
      Fetch(bytes + k, FetchDistance + 64);
    }
    a = _mm256_add_epi64(a, _mm256_sad_epu8(Load(bytes + k), zero));
    b = _mm256_add_epi64(b, _mm256_sad_epu8(Load(bytes + k + Block), zero));
    c = _mm256_add_epi64(c, _mm256_sad_epu8(Load(bytes + k + 2 * Block), zero));
    d = _mm256_add_epi64(d, _mm256_sad_epu8(Load(bytes + k + 3 * Block), zero));
  }
  const __m256i sums = _mm256_add_epi64(_mm256_add_epi64(a, b), _mm256_add_epi64(c, d));
  const __m128i halves = _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
  alignas(16) uint64_t lanes[2];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), halves);
  return Sse2Of<Ahead>().SumBytes(bytes + k, count - k) + lanes[0] + lanes[1];
}

// 96 bytes are 32 24-bit pixels in three registers. As in the SSE2 set, the even and odd
// bytes of the registers, as 16-bit lanes, fall into three channel patterns; with 32-byte
// registers (32 = 2 mod 3, 64 = 1 mod 3) lane j holds channel 2j % 3 in `even` (bytes 2j of
// the first register and 2j + 1 of the second), (2j + 1) % 3 in `odd` (2j + 1 of the first,
// 2j of the third) and (2j + 2) % 3 in `next` (2j of the second, 2j + 1 of the third).
template <bool Ahead>
AVX2_KERNEL void SumBytesByThree(const uint8_t* bytes, size_t count, uint64_t (&totals)[3]) {
  const __m256i low = _mm256_set1_epi16(0x00FF);
  alignas(32) uint16_t lanes[3][16];
  while (count >= 3 * Block) {
    __m256i even = _mm256_setzero_si256(), odd = even, next = even;
    size_t blocks = count / (3 * Block);
    if (blocks > LaneRows / 2) blocks = LaneRows / 2;
    count -= blocks * 3 * Block;
    for (size_t b = 0; b < blocks; ++b, bytes += 3 * Block) {
      if (Ahead) {
        Fetch(bytes, FetchDistance);
        Fetch(bytes, FetchDistance + 64);
      }
      const __m256i first = Load(bytes), second = Load(bytes + Block), third = Load(bytes + 2 * Block);
      even = _mm256_add_epi16(even, _mm256_add_epi16(_mm256_and_si256(first, low), _mm256_srli_epi16(second, 8)));
      odd = _mm256_add_epi16(odd, _mm256_add_epi16(_mm256_srli_epi16(first, 8), _mm256_and_si256(third, low)));
      next = _mm256_add_epi16(next, _mm256_add_epi16(_mm256_and_si256(second, low), _mm256_srli_epi16(third, 8)));
    }
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[0]), even);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[1]), odd);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[2]), next);
    for (int pattern = 0; pattern < 3; ++pattern)
      for (int j = 0; j < 16; ++j) totals[(2 * j + pattern) % 3] += lanes[pattern][j];
  }
  Sse2SumKernels.SumBytesByThree(bytes, count, totals);
}

// The real (or imaginary) parts of four pairs, as [0, 2, 1, 3]: one unpack of two loads.
// The loads take eight doubles from `values` on, the last of them past the fourth pair's
// component: the pair after it, or, for the imaginary parts, beyond the map's last pair.
AVX2_KERNEL __m256d Components(const double* values) {
  return _mm256_unpacklo_pd(_mm256_loadu_pd(values), _mm256_loadu_pd(values + 4));
}
// Four sums in the same order, and back: the order [0, 2, 1, 3] is its own inverse.
AVX2_KERNEL __m256d Swapped(__m256d sums) { return _mm256_permute4x64_pd(sums, 0xD8); }

// The pairs that go four at a time: never the last, whose component may end the map.
size_t WidePairs(size_t count) { return count > 0 ? (count - 1) / 4 * 4 : 0; }

AVX2_KERNEL void AddPairsToSums(const double* values, size_t count, double* sums) {
  const size_t wide = WidePairs(count);
  for (size_t k = 0; k < wide; k += 4)
    _mm256_storeu_pd(sums + k, Swapped(_mm256_add_pd(Swapped(_mm256_loadu_pd(sums + k)), Components(values + 2 * k))));
  Sse2SumKernels.AddPairsToSums(values + 2 * wide, count - wide, sums + wide);
}

// Four 64-byte lines of `ahead` for four pairs of each row: a quarter of the band's pairs
// fetches one row of the next band.
template <bool Fetching>
AVX2_KERNEL void AddPairBand(const double* values, ptrdiff_t stride, size_t from, size_t to, const double* ahead,
                             double* sums) {
  for (size_t k = from; k < to; k += 4) {
    if (Fetching)
      for (int line = 0; line < 4; ++line) Fetch(ahead + 8 * (k - from), 64 * line);
    __m256d sum = Swapped(_mm256_loadu_pd(sums + k));
    for (int r = 0; r < PairRowsAtOnce; ++r) sum = _mm256_add_pd(sum, Components(values + r * stride + 2 * k));
    _mm256_storeu_pd(sums + k, Swapped(sum));
  }
}

template <bool Ahead>
AVX2_KERNEL void AddPairRowsToSums(const double* values, ptrdiff_t stride, size_t count, const TPairBand& ahead,
                                   double* sums) {
  const size_t wide = WidePairs(count), quarter = wide / PairRowsAtOnce / 4 * 4;
  for (int r = 0; r < PairRowsAtOnce; ++r)
    AddPairBand<Ahead>(values, stride, r * quarter, (r + 1) * quarter, ahead[r], sums);
  AddPairBand<false>(values, stride, PairRowsAtOnce * quarter, wide, nullptr, sums);
  for (int r = 0; r < PairRowsAtOnce; ++r)
    Sse2SumKernels.AddPairsToSums(values + r * stride + 2 * wide, count - wide, sums + wide);
}

// A row's sum is one chain of additions, whose order is the result: the SSE2 set's chains
// are as fast as the adder allows.
double SumPairs(const double* values, size_t count, double sum) { return Sse2SumKernels.SumPairs(values, count, sum); }

template <bool Ahead>
void SumPairRows(const double* values, ptrdiff_t stride, size_t count, const TPairBand& ahead, double* sums) {
  Sse2Of<Ahead>().SumPairRows(values, stride, count, ahead, sums);
}

}  // namespace

const TSumKernels Avx2SumKernels = {LaneWords,      AddBandToLanes<true>,    AddRowToLanes,
                                    FlushLanes,     SumBytes<true>,          SumBytesByThree<true>,
                                    AddPairsToSums, AddPairRowsToSums<true>, SumPairs,
                                    SumPairRows<true>};
const TSumKernels Avx2PlainSumKernels = {LaneWords,      AddBandToLanes<false>,    AddRowToLanes,
                                         FlushLanes,     SumBytes<false>,          SumBytesByThree<false>,
                                         AddPairsToSums, AddPairRowsToSums<false>, SumPairs,
                                         SumPairRows<false>};
