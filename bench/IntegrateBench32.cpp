// Integrate mode as the plug-in runs it (marks kept in an undo record), with each set of
// the sums' kernels that the machine runs, over a whole
// 8192 x 8192 24-bit and 8-bit bitmap and a 4096 x 4096 complex map, rows and columns, and
// with the kernels the library chose by measuring them, against one memcpy of the same bytes into a block already touched, one read pass that
// sums them, and the same read pass with the stream fetched ahead (bench/ReadPass.h). Each
// repetition runs the baselines and every set in turn, so that a change of the machine's load during the run
// (other builds on a shared machine) falls on the baselines and on integrate mode alike;
// each figure is the median of its repetitions. Before each timed run an untimed read of
// other memory fills the caches, so that no run inherits the bytes or the pending
// write-backs of the one before it.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/Bench32.h"
#include "bench/BenchReport.h"
#include "bench/BenchData.h"
#include "bench/ReadPass.h"
#include "image/FloatMap.h"
#include "image/LinarBitmap.h"
#include "profile/ProfileSampling.h"
#include "profile/IntegratedSampling.h"
#include "profile/SavedPixels.h"
#include "profile/SumKernelTiming.h"

namespace {

constexpr int BitmapSide = 8192;
constexpr int MapSide = 4096;

struct TRasterCase {
  const char* Name;
  TProfileRaster Raster;
  int Side;
  const uint8_t* Bytes;
  size_t Size;
};

// One run of integrate mode with its undo record opened before and put back after.
void Integrate(const TProfileRaster& raster, int side, bool byRows, TProfile& profile) {
  if (raster.Saved) raster.Saved->Start();
  SampleIntegrated(raster, {0, 0, side - 1, side - 1}, byRows, profile);
  if (raster.Saved) raster.Saved->Restore();
}

// Where the sums of the read passes go, so that the compiler keeps them.
volatile double ReadSink = 0;

void ReadOnce(const TRasterCase& raster, bool ahead) {
  const double* values = reinterpret_cast<const double*>(raster.Bytes);
  const size_t count = raster.Size / sizeof(double);
  if (raster.Raster.Map) {
    ReadSink = ahead ? ReadDoublesAhead(values, count) : ReadDoubles(values, count);
    return;
  }
  const uint64_t sum = ahead ? ReadBytesAhead(raster.Bytes, raster.Size) : ReadBytes(raster.Bytes, raster.Size);
  ReadSink = static_cast<double>(sum);
}

// More than the last-level cache of the machines this runs on.
constexpr size_t EvictBytes = size_t{64} << 20;

double TimeOnce(const uint8_t* other, const std::function<void()>& run) {
  ReadSink = static_cast<double>(ReadBytes(other, EvictBytes));
  const double started = Seconds();
  run();
  return Seconds() - started;
}

struct TKernelRuns {
  TSumKernelSet Set;
  const char* Name;
  std::vector<double> Rows, Columns;
};

// The floor, the faster read pass, also against the set the library chose.
void Report(const TRasterCase& raster, const TKernelRuns& runs, double copy, double read, double readAhead,
            double readBest) {
  for (bool byRows : {true, false}) {
    const double time = Median(byRows ? runs.Rows : runs.Columns);
    const std::string name =
        std::string("integrate_") + raster.Name + (byRows ? "_rows_" : "_columns_") + runs.Name;
    ReportTime(name.c_str(), time);
    ReportRatio((name + "_vs_memcpy").c_str(), time / copy);
    ReportRatio((name + "_vs_read").c_str(), time / read);
    ReportRatio((name + "_vs_read_ahead").c_str(), time / readAhead);
    if (runs.Set == TSumKernelSet::Measured) ReportRatio((name + "_vs_read_best").c_str(), time / readBest);
  }
}

const char* SetName(TSumKernelSet set) {
  const char* names[] = {"sse2", "sse2_plain", "avx2", "avx2_plain", "unmeasured"};
  return names[static_cast<int>(set)];
}

void ReportChoice() {
  std::printf("# the library's choice: 8-bit columns %s, 24-bit columns %s, 8-bit rows %s, 24-bit rows %s, "
              "complex columns %s, complex rows %s\n",
              SetName(MeasuredSumKernelSet(TKernelGroup::Lanes)), SetName(MeasuredSumKernelSet(TKernelGroup::LanesByThree)),
              SetName(MeasuredSumKernelSet(TKernelGroup::Bytes)),
              SetName(MeasuredSumKernelSet(TKernelGroup::BytesByThree)),
              SetName(MeasuredSumKernelSet(TKernelGroup::PairColumns)),
              SetName(MeasuredSumKernelSet(TKernelGroup::PairRows)));
}

// Every set of the sums' kernels that the machine runs, each in every repetition.
void Measure(int repetitions, const TRasterCase& raster, uint8_t* target) {
  TProfile profile;
  TSavedPixels saved;
  TProfileRaster marked = raster.Raster;
  marked.Saved = marked.Bitmap ? &saved : nullptr;
  std::vector<double> copies, reads, readsAhead, readsBest;
  std::vector<TKernelRuns> sets;
  for (TSumKernelSet set : FixedSumKernelSets)
    if (SumKernelSetUsable(set)) sets.push_back({set, SetName(set), {}, {}});
  sets.push_back({TSumKernelSet::Measured, "chosen", {}, {}});
  const TSumKernelSet chosen = UseSumKernelSet(TSumKernelSet::Sse2);
  for (int i = 0; i < repetitions; ++i) {
    const uint8_t* other = target + raster.Size;
    copies.push_back(TimeOnce(other, [&] { std::memcpy(target, raster.Bytes, raster.Size); }));
    reads.push_back(TimeOnce(other, [&] { ReadOnce(raster, false); }));
    readsAhead.push_back(TimeOnce(other, [&] { ReadOnce(raster, true); }));
    readsBest.push_back(std::min(reads.back(), readsAhead.back()));
    for (TKernelRuns& runs : sets) {
      UseSumKernelSet(runs.Set);
      runs.Rows.push_back(TimeOnce(other, [&] { Integrate(marked, raster.Side, true, profile); }));
      runs.Columns.push_back(TimeOnce(other, [&] { Integrate(marked, raster.Side, false, profile); }));
    }
  }
  UseSumKernelSet(chosen);
  const double copy = Median(copies), read = Median(reads), readAhead = Median(readsAhead),
               readBest = Median(readsBest);
  std::printf("# integrate mode, %s, %d x %d, %zu MiB\n", raster.Name, raster.Side, raster.Side, raster.Size >> 20);
  ReportTime("memcpy", copy);
  ReportTime("read pass", read);
  ReportTime("read pass, fetched ahead", readAhead);
  for (const TKernelRuns& runs : sets) Report(raster, runs, copy, read, readAhead, readBest);
}

}  // namespace

void RunIntegrateBench(int repetitions) {
  // The copy's target, and beyond it the memory read to fill the caches between runs.
  const size_t largest = size_t{MapSide} * MapSide * 2 * sizeof(double) + EvictBytes;
  std::unique_ptr<uint8_t[]> target(new uint8_t[largest]);
  std::memset(target.get(), 1, largest);
  for (TPixelFormat format : {TPixelFormat::Bgr24, TPixelFormat::Indexed8}) {
    TLinearBitmap bitmap;
    bitmap.New(BitmapSide, BitmapSide, format);
    FillBytes(bitmap.Map(), static_cast<size_t>(bitmap.Size()));
    const char* name = format == TPixelFormat::Bgr24 ? "24bit" : "8bit";
    Measure(repetitions, {name, {&bitmap, nullptr, 0}, BitmapSide, bitmap.Map(), static_cast<size_t>(bitmap.Size())},
            target.get());
  }
  TComplexMap map;
  map.New(MapSide, MapSide);
  for (int i = 0; i < 2 * map.Count(); ++i) map.Map()[i] = (i % 1000) * 0.37 - 100;
  Measure(repetitions, {"complex", {nullptr, &map, 0}, MapSide, reinterpret_cast<const uint8_t*>(map.Map()),
                        static_cast<size_t>(map.Size())},
          target.get());
  ReportChoice();
}
