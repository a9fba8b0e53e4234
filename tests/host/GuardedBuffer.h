#pragma once
// Memory placed so that its last byte sits directly before an inaccessible page: any read
// or write past the end faults at once instead of silently touching a neighbour.

#include <cstddef>
#include <cstdint>

class TGuardedBuffer {
 public:
  explicit TGuardedBuffer(size_t size);
  ~TGuardedBuffer();
  TGuardedBuffer(const TGuardedBuffer&) = delete;
  TGuardedBuffer& operator=(const TGuardedBuffer&) = delete;

  uint8_t* Data() const noexcept { return FData; }
  size_t Size() const noexcept { return FSize; }

 private:
  void* FRegion = nullptr;
  size_t FRegionSize = 0;
  uint8_t* FData = nullptr;
  size_t FSize = 0;
};

size_t PageSize();
