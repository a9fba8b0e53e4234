#pragma once
// Maps of doubles and of complex numbers: the private copies in which the plug-in holds the
// host's real and complex images. Rows are packed; element (x, y) is element x + y * Width.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "streams/BufStream.h"

class TLinearBitmap;
class TComplexMap;

// The largest element storage a map allocates.
constexpr int64_t MaxMapBytes = 2'000'000'000;

class TBaseFloatMap : public TStreamClass {
 public:
  ~TBaseFloatMap() override = default;
  TBaseFloatMap(const TBaseFloatMap&) = delete;
  TBaseFloatMap& operator=(const TBaseFloatMap&) = delete;

  // Releases the storage and leaves the map empty.
  virtual void Dispose() = 0;

  // Bytes of element storage: Count * element size.
  int Size() const noexcept { return FSize; }
  int Width() const noexcept { return FWidth; }
  int Height() const noexcept { return FHeight; }
  int BytesPerLine() const noexcept { return FBytesPerLine; }
  int Count() const noexcept { return FCount; }

 protected:
  TBaseFloatMap() = default;

  // Keeps storage and contents when the map already has this size; otherwise releases
  // them and allocates Size bytes of undefined contents, leaving the map empty on failure.
  void Resize(int width, int height, int elementSize);
  void ReleaseStorage() noexcept;
  uint8_t* Storage() const noexcept { return FStorage.get(); }

 private:
  int FSize = 0;
  int FWidth = 0;
  int FHeight = 0;
  int FBytesPerLine = 0;
  int FCount = 0;
  std::unique_ptr<uint8_t[]> FStorage;
};

// Which value of a complex element a float map takes.
enum TComplexPart : int32_t { cpReal = 0, cpImaginary = 1, cpMagnitude = 2, cpPhase = 3 };

class TFloatMap : public TBaseFloatMap {
 public:
  TFloatMap() = default;
  explicit TFloatMap(const TObject& source) { Assign(source); }

  const char* ClassName() const noexcept override { return "TFloatMap"; }
  void Assign(const TObject& source) override;
  void AssignTo(TObject& target) const override;
  void Dispose() override { ReleaseStorage(); }

  void New(int width, int height) { Resize(width, height, sizeof(double)); }
  // Sizes the map like the complex map and fills it with one part of each element; a code
  // outside TComplexPart only sizes it.
  void AssignComplex(const TComplexMap& map, TComplexPart part);

  double* Map() const noexcept { return reinterpret_cast<double*>(Storage()); }

 private:
  void AssignBitmap(const TLinearBitmap& bitmap);
  void CopyToBitmap(TLinearBitmap& bitmap) const;
};

class TComplexMap : public TBaseFloatMap {
 public:
  TComplexMap() = default;
  explicit TComplexMap(const TObject& source) { Assign(source); }

  const char* ClassName() const noexcept override { return "TComplexMap"; }
  void Assign(const TObject& source) override;
  void Dispose() override { ReleaseStorage(); }

  void New(int width, int height) { Resize(width, height, 2 * sizeof(double)); }
  // Every element becomes (0, 0).
  void Clear();
  // Real parts from the first bitmap, imaginary parts from the second (or 0 without one),
  // each sample plus offset. Both bitmaps are Indexed8 or Gray16 of the same size; the real
  // one alone may also be Bgr24, whose samples are the unrounded weighted gray level.
  void AssignBitmaps(const TLinearBitmap& real, const TLinearBitmap* imaginary, int32_t offset);

  // Pairs of doubles: the real part, then the imaginary part.
  double* Map() const noexcept { return reinterpret_cast<double*>(Storage()); }
  // The pair of element (x, y); no range check.
  double* Element(int x, int y) const noexcept {
    return Map() + 2 * (x + static_cast<ptrdiff_t>(y) * Width());
  }

 private:
  void AssignFloatMap(const TFloatMap& map);
};

// The magnitude of a (real, imaginary) pair, computed in extended precision.
double ComplexAbs(const double* pair);
// The phase angle of a (real, imaginary) pair in -pi..pi; (0, 0) gives +pi/2.
double ComplexArg(const double* pair);
