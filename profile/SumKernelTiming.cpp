#include "profile/SumKernelTiming.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

// Each set reads three slabs of at least 4 MiB, the sets taking turns, and keeps its fastest;
// the slabs are a part of a large image that the job reads again soon after. A
// job with fewer rows than that does not decide: its rows may sit in the caches.
constexpr size_t SlabBytes = size_t{4} << 20;
constexpr int Passes = 3;

struct TGroupState {
  TSumKernelSet Set = TSumKernelSet::Measured;
  int Measurements = 0;
};
TGroupState Groups[KernelGroupCount];

TGroupState& StateOf(TKernelGroup group) noexcept { return Groups[static_cast<int>(group)]; }

volatile double Sink = 0;

const uint8_t* RowAt(const TTimingRows& rows, size_t y) {
  return rows.First + static_cast<ptrdiff_t>(std::min(y, rows.Rows - 1)) * rows.Stride;
}
const double* PairRowAt(const TTimingRows& rows, size_t y) {
  return reinterpret_cast<const double*>(RowAt(rows, y));
}

// What a slab's sums add into, made before the slabs are timed: fresh memory would fault its
// pages inside the first slab's time. What it holds is never read but to keep the sums.
struct TSlabWork {
  std::vector<uint16_t> Lanes;
  std::vector<double> Sums;
};

// One slab of the group's job, through the kernels given.
void RunSlab(TKernelGroup group, const TSumKernels& kernels, const TTimingRows& rows, size_t first, size_t count,
             TSlabWork& work) {
  const size_t pairs = rows.Bytes / (2 * sizeof(double));
  switch (group) {
    case TKernelGroup::Lanes:
    case TKernelGroup::LanesByThree: {
      for (size_t y = first; y + BandRows <= first + count; y += BandRows) {
        TBandRows ahead;
        for (int r = 0; r < BandRows; ++r) ahead[r] = RowAt(rows, y + BandRows + r);
        kernels.AddBandToLanes(RowAt(rows, y), rows.Stride, rows.Bytes, ahead, work.Lanes.data());
      }
      Sink = work.Lanes[0];
      break;
    }
    case TKernelGroup::Bytes: {
      uint64_t sum = 0;
      for (size_t y = first; y < first + count; ++y) sum += kernels.SumBytes(RowAt(rows, y), rows.Bytes);
      Sink = static_cast<double>(sum);
      break;
    }
    case TKernelGroup::BytesByThree: {
      uint64_t totals[3] = {};
      for (size_t y = first; y < first + count; ++y)
        kernels.SumBytesByThree(RowAt(rows, y), rows.Bytes - rows.Bytes % 3, totals);
      Sink = static_cast<double>(totals[0]);
      break;
    }
    case TKernelGroup::PairColumns:
    case TKernelGroup::PairRows: {
      for (size_t y = first; y + PairRowsAtOnce <= first + count; y += PairRowsAtOnce) {
        TPairBand ahead;
        for (int r = 0; r < PairRowsAtOnce; ++r) ahead[r] = PairRowAt(rows, y + PairRowsAtOnce + r);
        const ptrdiff_t stride = rows.Stride / static_cast<ptrdiff_t>(sizeof(double));
        if (group == TKernelGroup::PairColumns)
          kernels.AddPairRowsToSums(PairRowAt(rows, y), stride, pairs, ahead, work.Sums.data());
        else
          kernels.SumPairRows(PairRowAt(rows, y), stride, pairs, ahead, work.Sums.data());
      }
      Sink = work.Sums[0];
      break;
    }
  }
}

double SlabSeconds(TKernelGroup group, TSumKernelSet set, const TTimingRows& rows, size_t first, size_t count,
                   TSlabWork& work) {
  const auto start = std::chrono::steady_clock::now();
  RunSlab(group, SumKernelsOf(set), rows, first, count, work);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The sets in turns, forwards and then backwards, each on slabs of its own.
TSumKernelSet Fastest(TKernelGroup group, const std::vector<TSumKernelSet>& sets, const TTimingRows& rows,
                      size_t slabRows) {
  TSlabWork work;
  for (TSumKernelSet set : sets)
    work.Lanes.resize(std::max(work.Lanes.size(), SumKernelsOf(set).LaneWords(rows.Bytes)));
  work.Sums.resize(std::max<size_t>(rows.Bytes / (2 * sizeof(double)), PairRowsAtOnce));
  std::vector<double> best(sets.size(), HUGE_VAL);
  size_t slab = 0;
  for (int pass = 0; pass < Passes; ++pass)
    for (size_t i = 0; i < sets.size(); ++i, ++slab) {
      const size_t s = pass % 2 == 0 ? i : sets.size() - 1 - i;
      best[s] = std::min(best[s], SlabSeconds(group, sets[s], rows, slab * slabRows, slabRows, work));
    }
  return sets[static_cast<size_t>(std::min_element(best.begin(), best.end()) - best.begin())];
}

bool WideEnough(TKernelGroup group, const TTimingRows& rows) {
  const bool pairs = group == TKernelGroup::PairColumns || group == TKernelGroup::PairRows;
  return rows.Bytes >= (pairs ? 2 * sizeof(double) * PairRowsAtOnce : 3 * LaneBlock);
}

void Measure(TKernelGroup group, const TTimingRows& rows) {
  std::vector<TSumKernelSet> sets;
  for (TSumKernelSet set : FixedSumKernelSets)
    if (SumKernelSetUsable(set)) sets.push_back(set);
  if (!WideEnough(group, rows)) return;
  const size_t slabRows = (SlabBytes + rows.Bytes - 1) / rows.Bytes / BandRows * BandRows + BandRows;
  if (rows.Rows < slabRows * sets.size() * Passes) return;
  TGroupState& state = StateOf(group);
  state.Set = Fastest(group, sets, rows, slabRows);
  ++state.Measurements;
}

// A group not measured yet runs what SumKernelsOf gives for Measured: the default.
const TSumKernels& KernelsOf(TKernelGroup group) noexcept { return SumKernelsOf(StateOf(group).Set); }

}  // namespace

TSumKernels MeasuredSumKernels(TKernelGroup group, const TTimingRows& rows) {
  if (StateOf(group).Set == TSumKernelSet::Measured) Measure(group, rows);
  // A job's lane kernels share their layout: all of them come from its group's set.
  const TSumKernels& lanes = KernelsOf(group == TKernelGroup::LanesByThree ? group : TKernelGroup::Lanes);
  const TSumKernels &pairColumns = KernelsOf(TKernelGroup::PairColumns), &pairRows = KernelsOf(TKernelGroup::PairRows);
  return {lanes.LaneWords,
          lanes.AddBandToLanes,
          lanes.AddRowToLanes,
          lanes.FlushLanes,
          KernelsOf(TKernelGroup::Bytes).SumBytes,
          KernelsOf(TKernelGroup::BytesByThree).SumBytesByThree,
          pairColumns.AddPairsToSums,
          pairColumns.AddPairRowsToSums,
          pairRows.SumPairs,
          pairRows.SumPairRows};
}

TSumKernelSet MeasuredSumKernelSet(TKernelGroup group) noexcept { return StateOf(group).Set; }

int SumKernelMeasurements(TKernelGroup group) noexcept { return StateOf(group).Measurements; }
