#pragma once
// A stream over memory that records every request it gets and can be told to take fewer
// bytes per write than asked, as a full device would.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "resources/Texts.h"
#include "streams/Streams.h"

class TRecordingStream : public TBaseStream {
 public:
  explicit TRecordingStream(std::vector<uint8_t> data = {}) : Data(std::move(data)) {
    FCanRead = true;
    FCanWrite = true;
  }

  int32_t Write(const void* buffer, int32_t count) override {
    WriteRequests.push_back(count);
    const int32_t moved = std::min(count, WriteLimit);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    Written.insert(Written.end(), bytes, bytes + moved);
    if (FExact && moved < count) throw EInOutError(S_READ_LESS);
    return moved;
  }

  int32_t Read(void* buffer, int32_t count) override {
    ReadRequests.push_back(count);
    const int32_t moved = std::min(count, Available());
    if (moved > 0) std::memcpy(buffer, Data.data() + Position, static_cast<size_t>(moved));
    Position += static_cast<size_t>(moved);
    if (FExact && moved < count) throw EInOutError(S_READ_LESS);
    return moved;
  }

  int32_t Available() override { return static_cast<int32_t>(Data.size() - Position); }

  std::vector<uint8_t> Data;
  size_t Position = 0;
  std::vector<uint8_t> Written;
  int32_t WriteLimit = INT32_MAX;
  std::vector<int32_t> ReadRequests;
  std::vector<int32_t> WriteRequests;
};
