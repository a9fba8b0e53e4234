// Integrate mode over a whole large selection, against two baselines over the same bytes in
// the same run: one memcpy of the pixels, and one vectorised read pass that sums them (a
// sum only reads, so that pass is the floor). The marks, four pixels per line, are written
// inside the timed loop; they are a few thousand writes beside hundreds of megabytes read.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "bench/BenchData.h"
#include "bench/ReadPass.h"
#include "image/FloatMap.h"
#include "image/LinarBitmap.h"
#include "profile/ProfileSampling.h"
#include "profile/IntegratedSampling.h"

namespace {

constexpr int BitmapSide = 8192;
constexpr int MapSide = 4096;
constexpr double MinSeconds = 0.3;

TLinearBitmap& Bitmap(TPixelFormat format) {
  static TLinearBitmap color, gray;
  TLinearBitmap& bitmap = format == TPixelFormat::Bgr24 ? color : gray;
  if (!bitmap.Present()) {
    bitmap.New(BitmapSide, BitmapSide, format);
    FillBytes(bitmap.Map(), bitmap.Size());
  }
  return bitmap;
}

TComplexMap& Map() {
  static TComplexMap map;
  if (map.Count() == 0) {
    map.New(MapSide, MapSide);
    for (int i = 0; i < 2 * map.Count(); ++i) map.Map()[i] = (i % 1000) * 0.37 - 100;
  }
  return map;
}

// The destination of the memcpy baselines, touched once so that no page fault is timed.
uint8_t* CopyTarget(size_t size) {
  static std::unique_ptr<uint8_t[]> target;
  static size_t targetSize = 0;
  if (targetSize < size) {
    target = std::make_unique<uint8_t[]>(size);
    std::memset(target.get(), 1, size);
    targetSize = size;
  }
  return target.get();
}

void RunIntegrate(benchmark::State& state, const TProfileRaster& raster, int side, bool byRows, size_t bytes) {
  TProfile profile;
  for (auto _ : state) {
    SampleIntegrated(raster, {0, 0, side - 1, side - 1}, byRows, profile);
    benchmark::DoNotOptimize(profile.Profile.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void RunMemcpy(benchmark::State& state, const void* source, size_t bytes) {
  uint8_t* target = CopyTarget(bytes);
  for (auto _ : state) {
    std::memcpy(target, source, bytes);
    benchmark::DoNotOptimize(target);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void RunReadBytes(benchmark::State& state, const uint8_t* bytes, size_t count) {
  for (auto _ : state) benchmark::DoNotOptimize(ReadBytes(bytes, count));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(count));
}

void BM_Integrate24(benchmark::State& state, bool byRows) {
  TLinearBitmap& bitmap = Bitmap(TPixelFormat::Bgr24);
  RunIntegrate(state, {&bitmap, nullptr, 0}, BitmapSide, byRows, bitmap.Size());
}
void BM_Integrate8(benchmark::State& state, bool byRows) {
  TLinearBitmap& bitmap = Bitmap(TPixelFormat::Indexed8);
  RunIntegrate(state, {&bitmap, nullptr, 0}, BitmapSide, byRows, bitmap.Size());
}
void BM_IntegrateComplex(benchmark::State& state, bool byRows) {
  RunIntegrate(state, {nullptr, &Map(), 0}, MapSide, byRows, Map().Size());
}

void BM_Memcpy24(benchmark::State& state) {
  TLinearBitmap& bitmap = Bitmap(TPixelFormat::Bgr24);
  RunMemcpy(state, bitmap.Map(), bitmap.Size());
}
void BM_Memcpy8(benchmark::State& state) {
  TLinearBitmap& bitmap = Bitmap(TPixelFormat::Indexed8);
  RunMemcpy(state, bitmap.Map(), bitmap.Size());
}
void BM_MemcpyComplex(benchmark::State& state) { RunMemcpy(state, Map().Map(), Map().Size()); }

void BM_Read24(benchmark::State& state) {
  TLinearBitmap& bitmap = Bitmap(TPixelFormat::Bgr24);
  RunReadBytes(state, bitmap.Map(), bitmap.Size());
}
void BM_Read8(benchmark::State& state) {
  TLinearBitmap& bitmap = Bitmap(TPixelFormat::Indexed8);
  RunReadBytes(state, bitmap.Map(), bitmap.Size());
}
void BM_ReadComplex(benchmark::State& state) {
  const size_t bytes = Map().Size();
  for (auto _ : state) benchmark::DoNotOptimize(ReadDoubles(Map().Map(), bytes / sizeof(double)));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Integrate24, rows, true)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK_CAPTURE(BM_Integrate24, columns, false)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK(BM_Memcpy24)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK(BM_Read24)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK_CAPTURE(BM_Integrate8, rows, true)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK_CAPTURE(BM_Integrate8, columns, false)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK(BM_Memcpy8)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK(BM_Read8)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK_CAPTURE(BM_IntegrateComplex, rows, true)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK_CAPTURE(BM_IntegrateComplex, columns, false)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK(BM_MemcpyComplex)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
BENCHMARK(BM_ReadComplex)->Unit(benchmark::kMillisecond)->MinTime(MinSeconds);
