#include "profile/SumKernelTiming.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

namespace {

// Rows of 4 KiB, 4 MiB in all: more than most second-level caches, so that the kernels
// stream as they do over an image, and a pass takes well under a millisecond. The best of
// three passes a set, the sets taking turns, so that a burst of other work is left out.
constexpr size_t RowBytes = 4096;
constexpr size_t Rows = 1024;
constexpr size_t PairsPerRow = RowBytes / (2 * sizeof(double));
constexpr int Passes = 3;

std::atomic<int> Measurements{0};
volatile double Sink = 0;

struct TTimingWork {
  std::vector<double> Values = std::vector<double>(Rows * RowBytes / sizeof(double));
  const uint8_t* Bytes() const noexcept { return reinterpret_cast<const uint8_t*>(Values.data()); }
  const uint8_t* ByteRow(size_t y) const noexcept { return Bytes() + std::min(y, Rows - 1) * RowBytes; }
  const double* PairRow(size_t y) const noexcept { return Values.data() + std::min(y, Rows - 1) * 2 * PairsPerRow; }
};

void AddByteColumns(const TSumKernels& kernels, const TTimingWork& work) {
  std::vector<uint16_t> lanes(kernels.LaneWords(RowBytes));
  std::vector<uint64_t> totals(RowBytes);
  for (size_t y = 0; y < Rows; y += BandRows) {
    TBandRows ahead;
    for (int r = 0; r < BandRows; ++r) ahead[r] = work.ByteRow(y + BandRows + r);
    kernels.AddBandToLanes(work.ByteRow(y), RowBytes, RowBytes, ahead, lanes.data());
    if ((y + BandRows) % LaneRows == 0) kernels.FlushLanes(lanes.data(), RowBytes, totals.data());
  }
  Sink = static_cast<double>(totals[RowBytes / 2]);
}

void AddByteRows(const TSumKernels& kernels, const TTimingWork& work) {
  uint64_t sum = 0;
  for (size_t y = 0; y < Rows; ++y) sum += kernels.SumBytes(work.ByteRow(y), RowBytes);
  Sink = static_cast<double>(sum);
}

void AddByteRowsByThree(const TSumKernels& kernels, const TTimingWork& work) {
  uint64_t totals[3] = {};
  for (size_t y = 0; y < Rows; ++y) kernels.SumBytesByThree(work.ByteRow(y), RowBytes - RowBytes % 3, totals);
  Sink = static_cast<double>(totals[1]);
}

TPairBand PairRowsAfter(const TTimingWork& work, size_t y) {
  TPairBand ahead;
  for (int r = 0; r < PairRowsAtOnce; ++r) ahead[r] = work.PairRow(y + PairRowsAtOnce + r);
  return ahead;
}

void AddPairColumns(const TSumKernels& kernels, const TTimingWork& work) {
  std::vector<double> sums(PairsPerRow);
  for (size_t y = 0; y < Rows; y += PairRowsAtOnce)
    kernels.AddPairRowsToSums(work.PairRow(y), 2 * PairsPerRow, PairsPerRow, PairRowsAfter(work, y), sums.data());
  Sink = sums[PairsPerRow / 2];
}

void AddPairRows(const TSumKernels& kernels, const TTimingWork& work) {
  double sums[PairRowsAtOnce] = {};
  for (size_t y = 0; y < Rows; y += PairRowsAtOnce)
    kernels.SumPairRows(work.PairRow(y), 2 * PairsPerRow, PairsPerRow, PairRowsAfter(work, y), sums);
  Sink = sums[0];
}

double Seconds(void (*run)(const TSumKernels&, const TTimingWork&), const TSumKernels& kernels,
               const TTimingWork& work) {
  const auto start = std::chrono::steady_clock::now();
  run(kernels, work);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Without a second set there is nothing to time.
TSumKernelSet Faster(void (*run)(const TSumKernels&, const TTimingWork&), const TTimingWork& work) {
  if (!SumKernelSetUsable(TSumKernelSet::Avx2)) return TSumKernelSet::Sse2;
  double sse2 = HUGE_VAL, avx2 = HUGE_VAL;
  for (int pass = 0; pass < Passes; ++pass) {
    sse2 = std::min(sse2, Seconds(run, Sse2SumKernels, work));
    avx2 = std::min(avx2, Seconds(run, Avx2SumKernels, work));
  }
  return avx2 < sse2 ? TSumKernelSet::Avx2 : TSumKernelSet::Sse2;
}

constexpr TSumKernelChoice AllSse2{TSumKernelSet::Sse2, TSumKernelSet::Sse2, TSumKernelSet::Sse2,
                                   TSumKernelSet::Sse2, TSumKernelSet::Sse2};

TSumKernelChoice Measure() {
  ++Measurements;
  if (!SumKernelSetUsable(TSumKernelSet::Avx2)) return AllSse2;
  // Without the few megabytes to time on, the set every processor runs.
  std::optional<TTimingWork> made;
  try {
    made.emplace();
  } catch (const std::bad_alloc&) {
    return AllSse2;
  }
  TTimingWork& work = *made;
  for (size_t i = 0; i < work.Values.size(); ++i) work.Values[i] = static_cast<double>(i % 1000) * 0.37 - 100;
  return {Faster(AddByteColumns, work), Faster(AddByteRows, work), Faster(AddByteRowsByThree, work),
          Faster(AddPairColumns, work), Faster(AddPairRows, work)};
}

const TSumKernels& Of(TSumKernelSet set) noexcept {
  return set == TSumKernelSet::Avx2 ? Avx2SumKernels : Sse2SumKernels;
}

TSumKernels Assemble(const TSumKernelChoice& choice) noexcept {
  const TSumKernels &lanes = Of(choice.Lanes), &pairColumns = Of(choice.PairColumns),
                    &pairRows = Of(choice.PairRows);
  return {lanes.LaneWords,
          lanes.AddBandToLanes,
          lanes.AddRowToLanes,
          lanes.FlushLanes,
          Of(choice.Bytes).SumBytes,
          Of(choice.BytesByThree).SumBytesByThree,
          pairColumns.AddPairsToSums,
          pairColumns.AddPairRowsToSums,
          pairRows.SumPairs,
          pairRows.SumPairRows};
}

}  // namespace

const TSumKernelChoice& MeasuredSumKernelChoice() noexcept {
  static const TSumKernelChoice choice = Measure();
  return choice;
}

const TSumKernels& MeasuredSumKernels() noexcept {
  static const TSumKernels kernels = Assemble(MeasuredSumKernelChoice());
  return kernels;
}

int SumKernelMeasurements() noexcept { return Measurements; }
