#include "tests/host/HostImages.h"

#include <cstring>

namespace {

void FillPattern(uint8_t* bytes, size_t count, uint32_t seed) {
  uint32_t state = seed;
  for (size_t i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<uint8_t>(state >> 24);
  }
}

size_t IntegerBlockSize(int height, int bytesPerLine) {
  return static_cast<size_t>(bytesPerLine) * static_cast<size_t>(height);
}

}  // namespace

THostImageBuffer::THostImageBuffer(int width, int height, int bytesPerLine, int32_t format,
                                   size_t byteCount)
    : FPixels(std::make_unique<TGuardedBuffer>(byteCount)) {
  FRecord.Width = width;
  FRecord.Height = height;
  FRecord.BytesPerLine = bytesPerLine;
  FRecord.PixelFormat = format;
  FRecord.Pixels = FPixels->Data();
  FillPattern(FPixels->Data(), byteCount, static_cast<uint32_t>(width * 7919 + height));
}

THostImageBuffer THostImageBuffer::Make8Bit(int width, int height, int bytesPerLine, bool withPalette) {
  if (bytesPerLine == 0) bytesPerLine = width;
  THostImageBuffer image(width, height, bytesPerLine, hf8Bit, IntegerBlockSize(height, bytesPerLine));
  if (withPalette) {
    image.FPalette = std::make_unique<TGuardedBuffer>(768);
    FillPattern(image.FPalette->Data(), 768, 4242);
    image.FRecord.Palette = image.FPalette->Data();
  }
  return image;
}

THostImageBuffer THostImageBuffer::Make24Bit(int width, int height, int bytesPerLine) {
  if (bytesPerLine == 0) bytesPerLine = 3 * width;
  return THostImageBuffer(width, height, bytesPerLine, hf24Bit, IntegerBlockSize(height, bytesPerLine));
}

THostImageBuffer THostImageBuffer::Make32Bit(int width, int height, int bytesPerLine) {
  if (bytesPerLine == 0) bytesPerLine = 4 * width;
  return THostImageBuffer(width, height, bytesPerLine, hf32Bit, IntegerBlockSize(height, bytesPerLine));
}

// Float and complex images are packed; their BytesPerLine is deliberately wrong, since the
// plug-in must not use it.
THostImageBuffer THostImageBuffer::MakeFloat(int width, int height) {
  THostImageBuffer image(width, height, 1, hfFloat, size_t(width) * height * sizeof(double));
  auto* values = reinterpret_cast<double*>(image.Pixels());
  for (int i = 0; i < width * height; ++i) values[i] = 0.5 * i - 3.25;
  return image;
}

THostImageBuffer THostImageBuffer::MakeComplex(int width, int height) {
  THostImageBuffer image(width, height, 1, hfComplex, size_t(width) * height * 2 * sizeof(double));
  auto* values = reinterpret_cast<double*>(image.Pixels());
  for (int i = 0; i < width * height; ++i) {
    values[2 * i] = 1.5 * i - 2.0;
    values[2 * i + 1] = 10.0 - 0.25 * i;
  }
  return image;
}

THostImageBuffer THostImageBuffer::CopyOf(const THostImageBuffer& image) {
  const THostImage& record = image.Record();
  THostImageBuffer copy(record.Width, record.Height, record.BytesPerLine, record.PixelFormat, image.ByteCount());
  std::memcpy(copy.Pixels(), image.Pixels(), image.ByteCount());
  copy.FRecord.Palette = record.Palette;
  return copy;
}

std::vector<uint8_t> THostImageBuffer::Snapshot() const {
  return std::vector<uint8_t>(Pixels(), Pixels() + ByteCount());
}
