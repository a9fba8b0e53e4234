#pragma once
// Host images for tests: pixel memory against a guard page, filled with a pattern that is
// different in every byte position, and the host record that describes it.

#include <memory>
#include <vector>

#include "hostabi/HostInterface.h"
#include "tests/host/GuardedBuffer.h"

class THostImageBuffer {
 public:
  // bytesPerLine 0 packs the rows.
  static THostImageBuffer Make8Bit(int width, int height, int bytesPerLine = 0, bool withPalette = false);
  static THostImageBuffer Make24Bit(int width, int height, int bytesPerLine = 0);
  static THostImageBuffer Make32Bit(int width, int height, int bytesPerLine = 0);
  static THostImageBuffer MakeFloat(int width, int height);
  static THostImageBuffer MakeComplex(int width, int height);
  // The same record and bytes in memory of its own; the palette is shared.
  static THostImageBuffer CopyOf(const THostImageBuffer& image);

  THostImage& Record() noexcept { return FRecord; }
  const THostImage& Record() const noexcept { return FRecord; }
  uint8_t* Pixels() const noexcept { return FPixels->Data(); }
  size_t ByteCount() const noexcept { return FPixels->Size(); }
  // A copy of every host byte, to compare before and after a call.
  std::vector<uint8_t> Snapshot() const;
  uint8_t* PaletteBytes() const noexcept { return FPalette ? FPalette->Data() : nullptr; }

 private:
  THostImageBuffer(int width, int height, int bytesPerLine, int32_t format, size_t byteCount);

  THostImage FRecord{};
  std::unique_ptr<TGuardedBuffer> FPixels;
  std::unique_ptr<TGuardedBuffer> FPalette;
};
