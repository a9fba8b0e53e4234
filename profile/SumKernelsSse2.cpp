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

// A stream read from memory runs faster when it is fetched well ahead of the loads (up to a
// fifth on the build machine, against the processor's own fetching alone), and faster still
// when it is fetched into the second-level cache only, which leaves the first to the lines
// being added and to the lanes. The address is reckoned as an integer, since it may lie past
// the end of the span; a fetch never faults.
constexpr uintptr_t FetchDistance = 8192;

template <bool Ahead>
void FetchAhead(const void* address) {
  if (Ahead)
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(address) + FetchDistance), _MM_HINT_T1);
}

uint64_t LanesOf(__m128i sums) {
  alignas(16) uint64_t lanes[2];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
  return lanes[0] + lanes[1];
}

// Lanes are kept in memory as words; a block's pair of vectors lies side by side.
constexpr size_t BlockWords = 2 * 8;

__m128i LoadLanes(const uint16_t* lanes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes)); }
void StoreLanes(uint16_t* lanes, __m128i value) { _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), value); }

void AddToLanes(uint16_t* lanes, __m128i words, __m128i highs) {
  StoreLanes(lanes, _mm_add_epi16(LoadLanes(lanes), words));
  StoreLanes(lanes + 8, _mm_add_epi16(LoadLanes(lanes + 8), highs));
}

__m128i Highs(__m128i bytes) { return _mm_srli_epi16(bytes, 8); }

// The last count % LaneBlock bytes of a row, read as the row's last LaneBlock bytes with the
// ones that the whole blocks already cover set to 0: never a byte beyond the span.
struct TTail {
  size_t Offset;
  __m128i Mask;
};

TTail TailOf(size_t count) {
  static const uint8_t masks[2 * LaneBlock] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                               255, 255, 255, 255, 255, 255, 255, 255,
                                               255, 255, 255, 255, 255, 255, 255, 255};
  return {count - LaneBlock, Load(masks + count % LaneBlock)};
}

// Rows 0 and 1 go through `bytes`, rows 2 and 3 through a second pointer, each reached with
// the stride as an index: the 32-bit build has few registers. One 64-byte line of `ahead`
// is fetched per block of sixteen bytes, so a quarter of the band's blocks fetches as many
// bytes as one row of the next band holds.
template <bool Fetch>
void AddBandBlocks(const uint8_t* bytes, ptrdiff_t stride, size_t blocks, const uint8_t* ahead, uint16_t* lanes) {
  const uint8_t* lower = bytes + 2 * stride;
  for (size_t b = 0; b < blocks; ++b, bytes += LaneBlock, lower += LaneBlock, lanes += BlockWords) {
    if (Fetch) _mm_prefetch(reinterpret_cast<const char*>(ahead + 4 * LaneBlock * b), _MM_HINT_T1);
    const __m128i r0 = Load(bytes), r1 = Load(bytes + stride), r2 = Load(lower), r3 = Load(lower + stride);
    AddToLanes(lanes, _mm_add_epi16(_mm_add_epi16(r0, r1), _mm_add_epi16(r2, r3)),
               _mm_add_epi16(_mm_add_epi16(Highs(r0), Highs(r1)), _mm_add_epi16(Highs(r2), Highs(r3))));
  }
}


size_t LaneWords(size_t count) { return (count + LaneBlock - 1) / LaneBlock * BlockWords; }

template <bool Ahead>
void AddBandToLanes(const uint8_t* bytes, ptrdiff_t stride, size_t count, const TBandRows& ahead, uint16_t* lanes) {
  const size_t blocks = count / LaneBlock, quarter = blocks / BandRows;
  for (int r = 0; r < BandRows; ++r) {
    const size_t first = r * quarter;
    AddBandBlocks<Ahead>(bytes + first * LaneBlock, stride, quarter, ahead[r], lanes + first * BlockWords);
  }
  const size_t first = BandRows * quarter;
  AddBandBlocks<false>(bytes + first * LaneBlock, stride, blocks - first, nullptr, lanes + first * BlockWords);
  if (count % LaneBlock == 0) return;
  const TTail tail = TailOf(count);
  __m128i words = _mm_setzero_si128(), highs = words;
  for (int r = 0; r < BandRows; ++r) {
    const __m128i row = _mm_and_si128(Load(bytes + r * stride + tail.Offset), tail.Mask);
    words = _mm_add_epi16(words, row);
    highs = _mm_add_epi16(highs, Highs(row));
  }
  AddToLanes(lanes + blocks * BlockWords, words, highs);
}

void AddRowToLanes(const uint8_t* bytes, size_t count, uint16_t* lanes) {
  const size_t blocks = count / LaneBlock;
  for (size_t b = 0; b < blocks; ++b) {
    const __m128i row = Load(bytes + b * LaneBlock);
    AddToLanes(lanes + b * BlockWords, row, Highs(row));
  }
  if (count % LaneBlock == 0) return;
  const TTail tail = TailOf(count);
  const __m128i row = _mm_and_si128(Load(bytes + tail.Offset), tail.Mask);
  AddToLanes(lanes + blocks * BlockWords, row, Highs(row));
}


// Two 64-bit totals += the two low 32-bit lanes of `dwords`, the next two += the high ones.
void AddWideLanes(__m128i dwords, uint64_t* totals) {
  const __m128i zero = _mm_setzero_si128();
  __m128i* target = reinterpret_cast<__m128i*>(totals);
  _mm_storeu_si128(target, _mm_add_epi64(_mm_loadu_si128(target), _mm_unpacklo_epi32(dwords, zero)));
  _mm_storeu_si128(target + 1, _mm_add_epi64(_mm_loadu_si128(target + 1), _mm_unpackhi_epi32(dwords, zero)));
}

// Eight columns' sums in 16-bit lanes, in column order, into eight totals.
void AddColumnLanes(__m128i columns, uint64_t* totals) {
  const __m128i zero = _mm_setzero_si128();
  AddWideLanes(_mm_unpacklo_epi16(columns, zero), totals);
  AddWideLanes(_mm_unpackhi_epi16(columns, zero), totals + 4);
}

void FlushBlock(uint16_t* lanes, uint64_t* totals) {
  const __m128i words = LoadLanes(lanes), highs = LoadLanes(lanes + 8);
  const __m128i lows = _mm_sub_epi16(words, _mm_slli_epi16(highs, 8));
  AddColumnLanes(_mm_unpacklo_epi16(lows, highs), totals);
  AddColumnLanes(_mm_unpackhi_epi16(lows, highs), totals + 8);
  StoreLanes(lanes, _mm_setzero_si128());
  StoreLanes(lanes + 8, _mm_setzero_si128());
}


// The tail's block covers the span's last LaneBlock columns, and its masked columns hold 0.
void FlushLanes(uint16_t* lanes, size_t count, uint64_t* totals) {
  const size_t blocks = count / LaneBlock;
  for (size_t b = 0; b < blocks; ++b) FlushBlock(lanes + b * BlockWords, totals + b * LaneBlock);
  if (count % LaneBlock != 0) FlushBlock(lanes + blocks * BlockWords, totals + count - LaneBlock);
}

// The sum of absolute differences against zero adds eight bytes into a 64-bit lane at once.
template <bool Ahead>
uint64_t SumBytes(const uint8_t* __restrict bytes, size_t count) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = zero, b = zero, c = zero, d = zero;
  size_t k = 0;
  for (; k + 4 * Block <= count; k += 4 * Block) {
    FetchAhead<Ahead>(bytes + k);
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
// Each lane takes two bytes a block, so it is flushed every LaneRows / 2 blocks.
template <bool Ahead>
void SumBytesByThree(const uint8_t* __restrict bytes, size_t count, uint64_t (&totals)[3]) {
  const __m128i low = _mm_set1_epi16(0x00FF);
  alignas(16) uint16_t lanes[3][8];
  while (count >= 3 * Block) {
    __m128i even = _mm_setzero_si128(), odd = even, next = even;
    const size_t blocks = std::min<size_t>(count / (3 * Block), LaneRows / 2);
    count -= blocks * 3 * Block;
    for (size_t b = 0; b < blocks; ++b, bytes += 3 * Block) {
      FetchAhead<Ahead>(bytes);
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


// Pairs `from` .. `to` - 1 of a band; one 64-byte line of `ahead` is fetched per pair, so a
// quarter of the band's pairs fetches as many bytes as one row of the next band holds.
template <bool Fetch>
void AddPairBand(const double* __restrict values, ptrdiff_t stride, size_t from, size_t to, const double* ahead,
                 double* __restrict sums) {
  for (size_t k = from; k < to; ++k) {
    if (Fetch) _mm_prefetch(reinterpret_cast<const char*>(ahead + 8 * (k - from)), _MM_HINT_T1);
    double sum = sums[k];
    for (int r = 0; r < PairRowsAtOnce; ++r) sum += values[r * stride + 2 * k];
    sums[k] = sum;
  }
}

template <bool Fetch>
void ChainPairBand(const double* __restrict values, ptrdiff_t stride, size_t from, size_t to, const double* ahead,
                   double (&chain)[PairRowsAtOnce]) {
  for (size_t k = from; k < to; ++k) {
    if (Fetch) _mm_prefetch(reinterpret_cast<const char*>(ahead + 8 * (k - from)), _MM_HINT_T1);
    for (int r = 0; r < PairRowsAtOnce; ++r) chain[r] += values[r * stride + 2 * k];
  }
}


template <bool Ahead>
void AddPairRowsToSums(const double* values, ptrdiff_t stride, size_t count, const TPairBand& ahead, double* sums) {
  const size_t quarter = count / PairRowsAtOnce;
  for (int r = 0; r < PairRowsAtOnce; ++r)
    AddPairBand<Ahead>(values, stride, r * quarter, (r + 1) * quarter, ahead[r], sums);
  AddPairBand<false>(values, stride, PairRowsAtOnce * quarter, count, nullptr, sums);
}

// One dependent chain of additions: the order is the result, so it cannot be split.
double SumPairs(const double* values, size_t count, double sum) {
  for (size_t k = 0; k < count; ++k) sum += values[2 * k];
  return sum;
}

template <bool Ahead>
void SumPairRows(const double* values, ptrdiff_t stride, size_t count, const TPairBand& ahead, double* sums) {
  double chain[PairRowsAtOnce];
  for (int r = 0; r < PairRowsAtOnce; ++r) chain[r] = sums[r];
  const size_t quarter = count / PairRowsAtOnce;
  for (int r = 0; r < PairRowsAtOnce; ++r)
    ChainPairBand<Ahead>(values, stride, r * quarter, (r + 1) * quarter, ahead[r], chain);
  ChainPairBand<false>(values, stride, PairRowsAtOnce * quarter, count, nullptr, chain);
  for (int r = 0; r < PairRowsAtOnce; ++r) sums[r] = chain[r];
}

}  // namespace

const TSumKernels Sse2SumKernels = {LaneWords,       AddBandToLanes<true>, AddRowToLanes,
                                     FlushLanes,      SumBytes<true>,       SumBytesByThree<true>,
                                     AddPairsToSums,  AddPairRowsToSums<true>, SumPairs,
                                     SumPairRows<true>};
const TSumKernels Sse2PlainSumKernels = {LaneWords,      AddBandToLanes<false>, AddRowToLanes,
                                          FlushLanes,     SumBytes<false>,       SumBytesByThree<false>,
                                          AddPairsToSums, AddPairRowsToSums<false>, SumPairs,
                                          SumPairRows<false>};
