#pragma once
// The fuzz entries, each a function of the bytes a fuzzer makes: libFuzzer's programs call
// one each (FuzzerMain.cpp), and the corpus test replays every kept input through its entry.
// An entry returns 0, raises nothing that escapes, and aborts on a broken promise.

#include <cstddef>
#include <cstdint>

int FuzzMapFile(const uint8_t* data, size_t size);
int FuzzVersionBlock(const uint8_t* data, size_t size);
int FuzzStringLists(const uint8_t* data, size_t size);
int FuzzBufferedStream(const uint8_t* data, size_t size);
int FuzzHostMaps(const uint8_t* data, size_t size);
int FuzzBmpReader(const uint8_t* data, size_t size);
int FuzzSampling(const uint8_t* data, size_t size);
int FuzzRangeStatistics(const uint8_t* data, size_t size);
int FuzzPlotView(const uint8_t* data, size_t size);
int FuzzTipPlacement(const uint8_t* data, size_t size);

struct TFuzzEntry {
  const char* Name;  // the corpus folder and the fuzzer's name
  int (*Run)(const uint8_t* data, size_t size);
};

inline constexpr TFuzzEntry FuzzEntries[] = {
    {"map_file", FuzzMapFile},         {"version_block", FuzzVersionBlock}, {"string_lists", FuzzStringLists},
    {"buffered_stream", FuzzBufferedStream}, {"host_maps", FuzzHostMaps}, {"bmp_reader", FuzzBmpReader},
    {"sampling", FuzzSampling},        {"range_statistics", FuzzRangeStatistics}, {"plot_view", FuzzPlotView},
    {"tip_placement", FuzzTipPlacement},
};
