#include "image/FloatMap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "errors/Exceptions.h"
#include "image/LinarBitmap.h"
#include "image/Rounding.h"
#include "resources/Texts.h"

namespace {

// memcpy and memset need valid pointers even for zero bytes, and an empty map has none.
void CopyBytes(void* target, const void* source, size_t count) {
  if (count > 0) std::memcpy(target, source, count);
}

// Doubles moved as bytes, so that every bit (a signalling NaN too) arrives unchanged.
void CopyDoubles(double* target, int targetStep, const double* source, int sourceStep, int count) {
  for (int i = 0; i < count; ++i, target += targetStep, source += sourceStep)
    std::memcpy(target, source, sizeof(double));
}

// NaN ends at 0.
uint8_t ClampedByte(double value) {
  const double rounded = RoundHalfEven(value);
  if (rounded >= 255) return 255;
  return rounded > 0 ? static_cast<uint8_t>(rounded) : 0;
}

bool IsMapSourceFormat(TPixelFormat format) {
  return format == TPixelFormat::Indexed8 || format == TPixelFormat::Gray16 || format == TPixelFormat::Bgr24;
}

// Writes one part of every element (out points at that part of element 0), taking the
// samples pixel by pixel and row by row, so that padded rows are skipped.
template <class Sample>
void WritePart(double* out, const TLinearBitmap& bitmap, Sample sample) {
  const int pixelSize = bitmap.PixelSize();
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* pixel = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x, pixel += pixelSize, out += 2) *out = sample(pixel);
  }
}

void WritePart(double* out, const TLinearBitmap& bitmap, int32_t offset) {
  switch (bitmap.PixelFormat()) {
    case TPixelFormat::Indexed8:
      return WritePart(out, bitmap, [offset](const uint8_t* p) { return double(int64_t{p[0]} + offset); });
    case TPixelFormat::Gray16:
      return WritePart(out, bitmap, [offset](const uint8_t* p) { return double((p[0] | p[1] << 8) + int64_t{offset}); });
    default:
      // Unrounded, unlike the bitmap's own intensity.
      return WritePart(out, bitmap, [offset](const uint8_t* p) { return (2 * p[2] + 3 * p[1] + p[0]) / 6.0 + offset; });
  }
}

void CheckBitmapPair(const TLinearBitmap& real, const TLinearBitmap* imaginary) {
  if (!IsMapSourceFormat(real.PixelFormat()) || (imaginary && !IsMapSourceFormat(imaginary->PixelFormat())))
    throw Exception(S_UNSUPPORTED_PIXEL_FORMAT);
  if (!imaginary) return;
  if (imaginary->PixelFormat() != real.PixelFormat()) throw Exception(S_INVALID_PIXEL_FORMAT);
  if (real.PixelFormat() == TPixelFormat::Bgr24) throw Exception(S_UNSUPPORTED_PIXEL_FORMAT);
  // The imaginary samples are read for every element of the real bitmap's size.
  if (imaginary->Width() != real.Width() || imaginary->Height() != real.Height())
    throw Exception(S_INVALID_BITMAP_SIZE);
}

constexpr long double Pi = 3.14159265358979323851L;
constexpr double HalfPi = 1.5707963267948966;

}  // namespace

void TBaseFloatMap::Resize(int width, int height, int elementSize) {
  if (width == FWidth && height == FHeight) return;
  ReleaseStorage();
  // A negative size would pass the limit below as a negative product.
  if (width < 0 || height < 0) throw Exception(S_INVALID_BITMAP_SIZE);
  const int64_t count = int64_t{width} * height;
  const int64_t size = count * elementSize;
  // An empty map still has rows of its width, and one row must fit like a whole map.
  const int64_t rowBytes = int64_t{width} * elementSize;
  if (size > MaxMapBytes || rowBytes > MaxMapBytes) throw EOutOfMemory(S_OUT_OF_MEMORY);
  FStorage = AllocateBytes(static_cast<size_t>(size));
  FSize = static_cast<int>(size);
  FWidth = width;
  FHeight = height;
  FBytesPerLine = static_cast<int>(rowBytes);
  FCount = static_cast<int>(count);
}

// Size and BytesPerLine go too: a stale Size would make a copy from an empty map read
// through its null storage.
void TBaseFloatMap::ReleaseStorage() noexcept {
  FStorage.reset();
  FSize = FWidth = FHeight = FBytesPerLine = FCount = 0;
}

void TFloatMap::Assign(const TObject& source) {
  if (const auto* map = dynamic_cast<const TFloatMap*>(&source)) {
    if (map == this) return;
    New(map->Width(), map->Height());
    CopyBytes(Storage(), map->Storage(), Size());
  } else if (const auto* bitmap = dynamic_cast<const TLinearBitmap*>(&source)) {
    AssignBitmap(*bitmap);
  } else if (const auto* complex = dynamic_cast<const TComplexMap*>(&source)) {
    AssignComplex(*complex, cpReal);
  } else {
    TAssignObject::Assign(source);
  }
}

void TFloatMap::AssignTo(TObject& target) const {
  if (auto* bitmap = dynamic_cast<TLinearBitmap*>(&target)) return CopyToBitmap(*bitmap);
  TAssignObject::AssignTo(target);
}

// Element i takes byte i of the bitmap's pixel bytes as if its rows were packed (for an
// 8-bit bitmap, the palette index of pixel i); rows are walked by BytesPerLine, so padding
// between them is skipped.
void TFloatMap::AssignBitmap(const TLinearBitmap& bitmap) {
  New(bitmap.Width(), bitmap.Height());
  const int rowBytes = bitmap.Width() * bitmap.PixelSize();
  double* out = Map();
  for (int y = 0, rest = Count(); rest > 0; ++y) {
    const uint8_t* in = bitmap.Row(y);
    const int n = std::min(rowBytes, rest);
    for (int i = 0; i < n; ++i) *out++ = in[i];
    rest -= n;
  }
}

// A host-backed target of the same size keeps the host's row distance, so each row is
// written at its own address.
void TFloatMap::CopyToBitmap(TLinearBitmap& bitmap) const {
  bitmap.New(Width(), Height(), TPixelFormat::Indexed8);
  const double* in = Map();
  for (int y = 0; y < Height(); ++y) {
    uint8_t* out = bitmap.Row(y);
    for (int x = 0; x < Width(); ++x) *out++ = ClampedByte(*in++);
  }
}

void TFloatMap::AssignComplex(const TComplexMap& map, TComplexPart part) {
  New(map.Width(), map.Height());
  // An empty map has no storage to point into, not even one element in.
  if (Count() == 0) return;
  const double* pair = map.Map();
  double* out = Map();
  switch (part) {
    case cpReal:
      return CopyDoubles(out, 1, pair, 2, Count());
    case cpImaginary:
      return CopyDoubles(out, 1, pair + 1, 2, Count());
    case cpMagnitude:
      for (int i = 0; i < Count(); ++i, pair += 2) out[i] = ComplexAbs(pair);
      return;
    case cpPhase:
      for (int i = 0; i < Count(); ++i, pair += 2) out[i] = ComplexArg(pair);
      return;
  }
}

void TComplexMap::Assign(const TObject& source) {
  if (const auto* map = dynamic_cast<const TComplexMap*>(&source)) {
    if (map == this) return;
    New(map->Width(), map->Height());
    CopyBytes(Map(), map->Map(), Size());
  } else if (const auto* floats = dynamic_cast<const TFloatMap*>(&source)) {
    AssignFloatMap(*floats);
  } else if (const auto* bitmap = dynamic_cast<const TLinearBitmap*>(&source)) {
    AssignBitmaps(*bitmap, nullptr, 0);
  } else {
    TAssignObject::Assign(source);
  }
}

void TComplexMap::AssignFloatMap(const TFloatMap& map) {
  New(map.Width(), map.Height());
  Clear();
  CopyDoubles(Map(), 2, map.Map(), 1, Count());
}

void TComplexMap::Clear() {
  if (Size() > 0) std::memset(Map(), 0, Size());
}

void TComplexMap::AssignBitmaps(const TLinearBitmap& real, const TLinearBitmap* imaginary, int32_t offset) {
  CheckBitmapPair(real, imaginary);
  New(real.Width(), real.Height());
  if (imaginary) {
    WritePart(Map() + 1, *imaginary, offset);
  } else {
    Clear();
  }
  WritePart(Map(), real, offset);
}

double ComplexAbs(const double* pair) {
  const long double re = pair[0], im = pair[1];
  return static_cast<double>(std::sqrt(re * re + im * im));
}

double ComplexArg(const double* pair) {
  const long double re = pair[0], im = pair[1];
  if (re == 0) return im >= 0 ? HalfPi : -HalfPi;
  if (re > 0) return static_cast<double>(im < 0 ? -std::atan(-im / re) : std::atan(im / re));
  if (im >= 0) return static_cast<double>(Pi - std::atan(-im / re));
  return static_cast<double>(std::atan(im / re) - Pi);
}
