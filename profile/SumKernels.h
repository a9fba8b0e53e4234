#pragma once
// The innermost loops of integrate mode, one pointer walk over one row (or one band of
// rows) each, in sets for the processor's vector units: SSE2, which every target has (x86-64,
// and the 32-bit build with -msse2), and AVX2 where the processor has it and the system
// saves its registers. Which set runs which kernels is measured the first time they are
// needed (SumKernelTiming.h): wider is not faster on every processor. The sets are compiled
// apart (see CMakeLists.txt) so that the compiler may vectorise them; the sums of bytes
// are written by hand.

#include <array>
#include <cstddef>
#include <cstdint>

// Column sums of bytes. Each block of LaneBlock byte columns keeps two vectors of 16-bit
// lanes: the block's bytes added as little-endian words (the low byte of word j is column
// 2j, its high byte column 2j + 1) and their high bytes alone. The sums of the odd columns
// are the second vector; those of the even columns are the words minus 256 times the highs,
// modulo 65536. Both are exact while no column's sum exceeds 65535: LaneRows rows of bytes
// of at most 255, after which the lanes are flushed into 64-bit totals. A set's blocks may
// be wider than LaneBlock; spans narrower than LaneBlock have no block at all.
constexpr int LaneRows = 256;
constexpr size_t LaneBlock = 16;
// Rows are added BandRows at a time, in registers, before the lanes are touched.
constexpr int BandRows = 4;
static_assert(LaneRows % BandRows == 0, "a band never straddles a flush");

// ahead[r] is row r of the next band, at the same column: it is fetched into the cache while
// a band is added, one row after the other, so that memory is read as one stream while the
// band's rows are added side by side.
using TBandRows = std::array<const uint8_t*, BandRows>;
// Complex sums take PairRowsAtOnce rows at once, and fetch the next band alike.
constexpr int PairRowsAtOnce = 4;
using TPairBand = std::array<const double*, PairRowsAtOnce>;

struct TSumKernels {
  // The 16-bit lanes for `count` bytes a row.
  size_t (*LaneWords)(size_t count);
  // Adds BandRows rows `stride` bytes apart, `count` bytes of each from `bytes` on, to the
  // lanes; a span of fewer than LaneBlock bytes has no block, its caller adds it byte by byte.
  void (*AddBandToLanes)(const uint8_t* bytes, ptrdiff_t stride, size_t count, const TBandRows& ahead,
                         uint16_t* lanes);
  // The same for one row.
  void (*AddRowToLanes)(const uint8_t* bytes, size_t count, uint16_t* lanes);
  // totals[k] += the sum of byte column k, and the lanes start again from 0.
  void (*FlushLanes)(uint16_t* lanes, size_t count, uint64_t* totals);
  // The sum of the bytes: a row of 8-bit pixels.
  uint64_t (*SumBytes)(const uint8_t* bytes, size_t count);
  // totals[k % 3] += bytes[k]: the blue, green and red sums of 24-bit pixels.
  void (*SumBytesByThree)(const uint8_t* bytes, size_t count, uint64_t (&totals)[3]);
  // sums[k] += values[2 * k]: one component of a row of (real, imaginary) pairs.
  void (*AddPairsToSums)(const double* values, size_t count, double* sums);
  // The same for PairRowsAtOnce rows `stride` doubles apart, added one row after the other
  // as separate additions; each sum stays in a register across the rows.
  void (*AddPairRowsToSums)(const double* values, ptrdiff_t stride, size_t count, const TPairBand& ahead,
                            double* sums);
  // sum + values[0] + values[2] + ... + values[2 * (count - 1)], added in that order.
  double (*SumPairs)(const double* values, size_t count, double sum);
  // SumPairs of PairRowsAtOnce rows `stride` doubles apart, continuing sums[r] for row r:
  // independent chains of additions keep the adder busy while each keeps its order.
  void (*SumPairRows)(const double* values, ptrdiff_t stride, size_t count, const TPairBand& ahead, double* sums);
};

// Each set comes in two forms: one that fetches its stream ahead of the loads into the
// second-level cache, which on some processors reads memory up to a fifth faster, and a plain
// one, which is faster on others whose own fetching does better alone.
extern const TSumKernels Sse2SumKernels;
extern const TSumKernels Sse2PlainSumKernels;
extern const TSumKernels Avx2SumKernels;
extern const TSumKernels Avx2PlainSumKernels;

// Measured: each group of kernels from the set that ran it faster on this processor.
enum class TSumKernelSet { Sse2, Sse2Plain, Avx2, Avx2Plain, Measured };
inline constexpr TSumKernelSet FixedSumKernelSets[] = {TSumKernelSet::Sse2, TSumKernelSet::Sse2Plain,
                                                        TSumKernelSet::Avx2, TSumKernelSet::Avx2Plain};

// The groups of kernels that share a job (and, for the lanes, their layout). The columns of
// 24-bit pixels are a group of their own beside those of 8-bit ones, as their rows are: on
// some processors another set adds them faster.
enum class TKernelGroup { Lanes, LanesByThree, Bytes, BytesByThree, PairColumns, PairRows };
constexpr int KernelGroupCount = 6;

// The rows a job is about to read: `Rows` rows of `Bytes` bytes, `Stride` bytes apart.
struct TTimingRows {
  const uint8_t* First;
  ptrdiff_t Stride;
  size_t Bytes;
  size_t Rows;
};

// The kernels for a job of the group over these rows: the set forced, or the measured
// choice (SumKernelTiming.h), which may time the group on the rows first.
TSumKernels SumKernelsFor(TKernelGroup group, const TTimingRows& rows);
// A fixed set's kernels (Measured: the SSE2 set that fetches ahead, the choice's default).
const TSumKernels& SumKernelsOf(TSumKernelSet set) noexcept;
bool SumKernelSetUsable(TSumKernelSet set) noexcept;
// Forces a usable set, so that tests and benchmarks run each one (Measured goes back to the
// choice); returns the set before.
TSumKernelSet UseSumKernelSet(TSumKernelSet set) noexcept;
