#pragma once
// Reads a fuzzer's bytes as a sequence of small decisions; past the end every read is 0.

#include <cstddef>
#include <cstdint>
#include <cstring>

class TFuzzInput {
 public:
  TFuzzInput(const uint8_t* data, size_t size) noexcept : FData(data), FSize(size) {}

  uint8_t Byte() noexcept { return FAt < FSize ? FData[FAt++] : 0; }
  uint32_t Word() noexcept {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= uint32_t{Byte()} << (8 * i);
    return value;
  }
  // A number in [low, high].
  int Range(int low, int high) noexcept {
    return low + static_cast<int>(Word() % static_cast<uint32_t>(high - low + 1));
  }
  bool Flag() noexcept { return Byte() & 1; }
  bool Empty() const noexcept { return FAt >= FSize; }
  // What is left, taken whole.
  const uint8_t* Rest(size_t& size) noexcept {
    size = FSize - FAt;
    const uint8_t* rest = FData + FAt;
    FAt = FSize;
    return rest;
  }

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FAt = 0;
};
