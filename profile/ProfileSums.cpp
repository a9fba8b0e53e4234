#include "profile/ProfileSums.h"

#include <algorithm>
#include <array>

#include "profile/SumKernels.h"

namespace {

// The rows after the band of Rows rows at y, each as rowAt gives it, the last row standing in
// for those beyond it: the band to fetch while this one is added.
template <int Rows, class TRowAt>
auto RowsAfterBand(int y, int last, TRowAt rowAt) {
  std::array<decltype(rowAt(0)), Rows> rows;
  for (int r = 0; r < Rows; ++r) rows[r] = rowAt(std::min(y + Rows + r, last));
  return rows;
}

// A span along an axis of `size` pixels: Before positions read pixel 0, First..Last lie
// inside (none when First > Last), After positions read pixel size - 1.
struct TSplit {
  uint64_t Before;
  int First;
  int Last;
  uint64_t After;
};

TSplit SplitSpan(int64_t first, int64_t last, int size) {
  TSplit split;
  split.Before = first < 0 ? static_cast<uint64_t>(std::min<int64_t>(last, -1) - first + 1) : 0;
  split.After = last >= size ? static_cast<uint64_t>(last - std::max<int64_t>(first, size) + 1) : 0;
  split.First = static_cast<int>(std::clamp<int64_t>(first, 0, size));
  split.Last = static_cast<int>(std::clamp<int64_t>(last, -1, size - 1));
  return split;
}

size_t InsideCount(const TSplit& split) {
  return split.First <= split.Last ? static_cast<size_t>(split.Last - split.First) + 1 : 0;
}

uint32_t WordAt(const uint8_t* bytes) { return bytes[0] | uint32_t{bytes[1]} << 8; }

void AddPixelTimes(TPixelFormat format, const uint8_t* pixel, uint64_t times, TChannelSums& sums) {
  switch (format) {
    case TPixelFormat::Gray16:
      sums.Channel[0] += times * WordAt(pixel);
      break;
    case TPixelFormat::Bgr24:
      for (int c = 0; c < 3; ++c) sums.Channel[c] += times * pixel[c];
      break;
    default:
      sums.Channel[0] += times * pixel[0];
  }
}

TChannelSums SumInsideRow(const TSumKernels& kernels, TPixelFormat format, const uint8_t* pixels, size_t count) {
  TChannelSums sums{};
  if (format == TPixelFormat::Gray16) {
    for (size_t x = 0; x < count; ++x) sums.Channel[0] += WordAt(pixels + 2 * x);
    return sums;
  }
  if (format != TPixelFormat::Bgr24) {
    sums.Channel[0] = kernels.SumBytes(pixels, count);
    return sums;
  }
  kernels.SumBytesByThree(pixels, 3 * count, sums.Channel);
  return sums;
}

// The kernels for the rows' sums; the measured choice may time them on the span's rows.
TSumKernels RowKernels(const TLinearBitmap& bitmap, const TLineSpan& span, const TSplit& along) {
  const int pixelSize = bitmap.PixelSize();
  const TKernelGroup group =
      bitmap.PixelFormat() == TPixelFormat::Bgr24 ? TKernelGroup::BytesByThree : TKernelGroup::Bytes;
  return SumKernelsFor(group, {bitmap.Row(span.FirstLine) + along.First * pixelSize, bitmap.BytesPerLine(),
                               InsideCount(along) * pixelSize, static_cast<size_t>(span.LastLine - span.FirstLine + 1)});
}

void SumRows(const TLinearBitmap& bitmap, const TLineSpan& span, std::vector<TChannelSums>& sums) {
  const TPixelFormat format = bitmap.PixelFormat();
  const int pixelSize = bitmap.PixelSize();
  const TSplit along = SplitSpan(span.AlongFirst, span.AlongLast, bitmap.Width());
  const size_t inside = InsideCount(along);
  const TSumKernels kernels = RowKernels(bitmap, span, along);
  for (int y = span.FirstLine; y <= span.LastLine; ++y) {
    const uint8_t* row = bitmap.Row(y);
    TChannelSums line =
        inside ? SumInsideRow(kernels, format, row + along.First * pixelSize, inside) : TChannelSums{};
    AddPixelTimes(format, row, along.Before, line);
    AddPixelTimes(format, row + (bitmap.Width() - 1) * pixelSize, along.After, line);
    sums[y - span.FirstLine] = line;
  }
}

// Per-byte column totals over whole rows: bands of rows go into 16-bit lanes, flushed into
// 64 bits every LaneRows rows. Spans narrower than a lane block are added byte by byte.
class TByteColumns {
 public:
  // The rows the columns run through: the measured choice may time its group's kernels on them.
  TByteColumns(TKernelGroup group, size_t count, const TTimingRows& rows, TSumWork& work)
      : FKernels(SumKernelsFor(group, rows)), FCount(count), FLanes(work.Lanes), FTotals(work.Totals) {
    FLanes.assign(FKernels.LaneWords(count), 0);
    FTotals.assign(count, 0);
  }

  // Rows first..last of the bitmap, from byte `offset` of each.
  void AddRows(const TLinearBitmap& bitmap, int first, int last, size_t offset) {
    if (FCount < LaneBlock) {
      for (int y = first; y <= last; ++y) AddRowTimes(bitmap.Row(y) + offset, 1);
      return;
    }
    int y = first;
    for (; last - y + 1 >= BandRows; y += BandRows) {
      const TBandRows ahead =
          RowsAfterBand<BandRows>(y, last, [&](int row) -> const uint8_t* { return bitmap.Row(row) + offset; });
      FKernels.AddBandToLanes(bitmap.Row(y) + offset, bitmap.BytesPerLine(), FCount, ahead, FLanes.data());
      Count(BandRows);
    }
    for (; y <= last; ++y) {
      FKernels.AddRowToLanes(bitmap.Row(y) + offset, FCount, FLanes.data());
      Count(1);
    }
  }
  void AddRowTimes(const uint8_t* bytes, uint64_t times) {
    if (times == 0) return;
    for (size_t k = 0; k < FCount; ++k) FTotals[k] += times * bytes[k];
  }
  const std::vector<uint64_t>& Totals() {
    Flush();
    return FTotals;
  }

 private:
  // LaneRows is a multiple of BandRows, so the lanes are flushed exactly at their limit.
  void Count(int rows) {
    FRows += rows;
    if (FRows == LaneRows) Flush();
  }
  void Flush() {
    if (FCount >= LaneBlock) FKernels.FlushLanes(FLanes.data(), FCount, FTotals.data());
    FRows = 0;
  }

  // The lanes' layout is the set's own.
  const TSumKernels FKernels;
  size_t FCount;
  std::vector<uint16_t>& FLanes;
  std::vector<uint64_t>& FTotals;
  int FRows = 0;
};

void SumByteColumns(const TLinearBitmap& bitmap, const TLineSpan& span, const TSplit& along, TSumWork& work) {
  std::vector<TChannelSums>& sums = work.Lines;
  const size_t columns = sums.size();
  const bool color = bitmap.PixelFormat() == TPixelFormat::Bgr24;
  const size_t offset = static_cast<size_t>(span.FirstLine) * bitmap.PixelSize();
  const size_t count = columns * bitmap.PixelSize();
  const size_t rows = along.First <= along.Last ? static_cast<size_t>(along.Last - along.First) + 1 : 0;
  TByteColumns lanes(color ? TKernelGroup::LanesByThree : TKernelGroup::Lanes, count,
                     {bitmap.Row(std::min(along.First, bitmap.Height() - 1)) + offset, bitmap.BytesPerLine(), count, rows},
                     work);
  lanes.AddRowTimes(bitmap.Row(0) + offset, along.Before);
  lanes.AddRows(bitmap, along.First, along.Last, offset);
  lanes.AddRowTimes(bitmap.Row(bitmap.Height() - 1) + offset, along.After);
  const uint64_t* totals = lanes.Totals().data();
  for (size_t x = 0; x < columns; ++x) {
    sums[x] = TChannelSums{};
    if (color) {
      for (int c = 0; c < 3; ++c) sums[x].Channel[c] = totals[3 * x + c];
    } else {
      sums[x].Channel[0] = totals[x];
    }
  }
}

void AddWordRow(const uint8_t* row, uint64_t times, std::vector<TChannelSums>& sums) {
  for (size_t x = 0; x < sums.size(); ++x) sums[x].Channel[0] += times * WordAt(row + 2 * x);
}

void SumWordColumns(const TLinearBitmap& bitmap, const TLineSpan& span, const TSplit& along,
                    std::vector<TChannelSums>& sums) {
  const size_t offset = 2 * static_cast<size_t>(span.FirstLine);
  std::fill(sums.begin(), sums.end(), TChannelSums{});
  AddWordRow(bitmap.Row(0) + offset, along.Before, sums);
  for (int y = along.First; y <= along.Last; ++y) AddWordRow(bitmap.Row(y) + offset, 1, sums);
  AddWordRow(bitmap.Row(bitmap.Height() - 1) + offset, along.After, sums);
}

const double* PairRow(const TComplexRows& map, int y) {
  return map.Pairs + 2 * static_cast<size_t>(map.Width) * static_cast<size_t>(y);
}

TPairBand NextPairBand(const TComplexRows& map, int y, int last, size_t offset) {
  return RowsAfterBand<PairRowsAtOnce>(y, last, [&](int row) { return PairRow(map, row) + offset; });
}

// The positions beyond the edge read one value: it is added once, times their count, so
// that a selection reaching far outside the map costs no more than one inside it.
double AddRepeated(double sum, double value, uint64_t times) {
  return times > 0 ? sum + value * static_cast<double>(times) : sum;
}

// Each row's sum runs from 0 through the repeated first element, the elements inside and
// the repeated last element, in that order. Rows go through the inside in groups, as
// separate chains of additions.
void SumComplexRows(const TComplexRows& map, int component, const TLineSpan& span,
                    std::vector<double>& sums) {
  const TSplit along = SplitSpan(span.AlongFirst, span.AlongLast, map.Width);
  const size_t inside = InsideCount(along);
  const size_t first = 2 * static_cast<size_t>(along.First) + component;
  const size_t last = 2 * static_cast<size_t>(map.Width - 1) + component;
  const ptrdiff_t stride = 2 * static_cast<ptrdiff_t>(map.Width);
  for (int y = span.FirstLine; y <= span.LastLine; ++y)
    sums[y - span.FirstLine] = AddRepeated(0, PairRow(map, y)[component], along.Before);
  const TSumKernels kernels =
      SumKernelsFor(TKernelGroup::PairRows, {reinterpret_cast<const uint8_t*>(PairRow(map, span.FirstLine) + first),
                                             stride * static_cast<ptrdiff_t>(sizeof(double)), 2 * sizeof(double) * inside,
                                             static_cast<size_t>(span.LastLine - span.FirstLine + 1)});
  int y = span.FirstLine;
  for (; inside && span.LastLine - y + 1 >= PairRowsAtOnce; y += PairRowsAtOnce)
    kernels.SumPairRows(PairRow(map, y) + first, stride, inside, NextPairBand(map, y, span.LastLine, first),
                        &sums[y - span.FirstLine]);
  for (; inside && y <= span.LastLine; ++y)
    sums[y - span.FirstLine] = kernels.SumPairs(PairRow(map, y) + first, inside, sums[y - span.FirstLine]);
  for (int y = span.FirstLine; y <= span.LastLine; ++y)
    sums[y - span.FirstLine] = AddRepeated(sums[y - span.FirstLine], PairRow(map, y)[last], along.After);
}

void AddPairRowTimes(const double* row, uint64_t times, std::vector<double>& sums) {
  for (size_t k = 0; k < sums.size(); ++k) sums[k] = AddRepeated(sums[k], row[2 * k], times);
}

// Each column's sum takes the rows in order; groups of rows pass through a register
// before the sum is stored again.
void SumComplexColumns(const TComplexRows& map, int component, const TLineSpan& span,
                       std::vector<double>& sums) {
  const TSplit along = SplitSpan(span.AlongFirst, span.AlongLast, map.Height);
  const size_t offset = 2 * static_cast<size_t>(span.FirstLine) + component;
  const ptrdiff_t stride = 2 * static_cast<ptrdiff_t>(map.Width);
  AddPairRowTimes(PairRow(map, 0) + offset, along.Before, sums);
  const size_t rows = along.First <= along.Last ? static_cast<size_t>(along.Last - along.First) + 1 : 0;
  const TSumKernels kernels = SumKernelsFor(
      TKernelGroup::PairColumns, {reinterpret_cast<const uint8_t*>(PairRow(map, std::min(along.First, map.Height - 1)) + offset),
                                  stride * static_cast<ptrdiff_t>(sizeof(double)), 2 * sizeof(double) * sums.size(), rows});
  int y = along.First;
  for (; along.Last - y + 1 >= PairRowsAtOnce; y += PairRowsAtOnce)
    kernels.AddPairRowsToSums(PairRow(map, y) + offset, stride, sums.size(), NextPairBand(map, y, along.Last, offset),
                              sums.data());
  for (; y <= along.Last; ++y) kernels.AddPairsToSums(PairRow(map, y) + offset, sums.size(), sums.data());
  AddPairRowTimes(PairRow(map, map.Height - 1) + offset, along.After, sums);
}

}  // namespace

void PrepareRowSums(const TLinearBitmap& bitmap, const TLineSpan& span) {
  if (span.ByRows && bitmap.PixelFormat() != TPixelFormat::Gray16)
    RowKernels(bitmap, span, SplitSpan(span.AlongFirst, span.AlongLast, bitmap.Width()));
}

void SumBitmapLines(const TLinearBitmap& bitmap, const TLineSpan& span, TSumWork& work) {
  work.Lines.resize(static_cast<size_t>(span.LastLine - span.FirstLine) + 1);
  if (span.ByRows) {
    SumRows(bitmap, span, work.Lines);
    return;
  }
  const TSplit along = SplitSpan(span.AlongFirst, span.AlongLast, bitmap.Height());
  if (bitmap.PixelFormat() == TPixelFormat::Gray16) {
    SumWordColumns(bitmap, span, along, work.Lines);
  } else {
    SumByteColumns(bitmap, span, along, work);
  }
}

void SumComplexLines(const TComplexRows& map, int component, const TLineSpan& span, TSumWork& work) {
  std::vector<double>& sums = work.Values;
  sums.assign(static_cast<size_t>(span.LastLine - span.FirstLine) + 1, 0.0);
  if (span.ByRows) {
    SumComplexRows(map, component, span, sums);
  } else {
    SumComplexColumns(map, component, span, sums);
  }
}
