#include "image/FloatMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "image/LinarBitmap.h"
#include "image/PluginLinearBitmap.h"
#include "tests/host/HostImages.h"
#include "tests/TestSupport.h"

namespace {

static_assert(sizeof(double) == 8);

uint64_t BitsOf(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double Arg(double re, double im) {
  const double pair[2] = {re, im};
  return ComplexArg(pair);
}

double Abs(double re, double im) {
  const double pair[2] = {re, im};
  return ComplexAbs(pair);
}

void Fill(TFloatMap& map, int width, int height, const std::vector<double>& values) {
  map.New(width, height);
  std::memcpy(map.Map(), values.data(), values.size() * sizeof(double));
}

TEST(FloatMap, ComplexMapFromFloatMapKeepsRealPartsInMemoryOrder) {
  const double negativeZero = -0.0;
  const std::vector<double> values = {1.5, -2.25, negativeZero, 1e300, std::numeric_limits<double>::quiet_NaN(), 7};
  TFloatMap floats;
  Fill(floats, 3, 2, values);
  const TComplexMap complex(floats);
  ASSERT_EQ(complex.Width(), 3);
  ASSERT_EQ(complex.Height(), 2);
  EXPECT_EQ(complex.Count(), 6);
  EXPECT_EQ(complex.Size(), 96);
  EXPECT_EQ(complex.BytesPerLine(), 48);
  for (int i = 0; i < 6; ++i) {
    const double* pair = complex.Element(i % 3, i / 3);
    EXPECT_EQ(pair, complex.Map() + 2 * i);
    EXPECT_EQ(BitsOf(pair[0]), BitsOf(values[i])) << i;
    EXPECT_EQ(BitsOf(pair[1]), 0u) << i;
  }

  const TFloatMap back(complex);
  EXPECT_EQ(std::memcmp(back.Map(), floats.Map(), floats.Size()), 0);
}

TEST(FloatMap, ComplexPartsOfAComplexMap) {
  TComplexMap complex;
  complex.New(2, 1);
  const double pairs[4] = {3, 4, -1, -1};
  std::memcpy(complex.Map(), pairs, sizeof pairs);
  TFloatMap part;
  part.AssignComplex(complex, cpImaginary);
  EXPECT_EQ(part.Map()[0], 4.0);
  part.AssignComplex(complex, cpMagnitude);
  EXPECT_EQ(part.Map()[0], 5.0);
  EXPECT_DOUBLE_EQ(part.Map()[1], std::sqrt(2.0));
  part.AssignComplex(complex, cpPhase);
  EXPECT_DOUBLE_EQ(part.Map()[0], std::atan2(4.0, 3.0));
  EXPECT_DOUBLE_EQ(part.Map()[1], -3 * std::numbers::pi / 4);

  part.New(1, 1);
  part.Map()[0] = 42;
  part.AssignComplex(complex, static_cast<TComplexPart>(7));
  EXPECT_EQ(part.Width(), 2);
  EXPECT_EQ(part.Count(), 2);

  // Every part of an empty map is empty, with no step into its missing storage.
  const TComplexMap empty;
  for (const TComplexPart each : {cpReal, cpImaginary, cpMagnitude, cpPhase}) {
    part.AssignComplex(empty, each);
    EXPECT_EQ(part.Count(), 0);
  }
}

TEST(FloatMap, MagnitudeAndPhase) {
  EXPECT_EQ(Abs(3, 4), 5.0);
  // Squares beyond the range of doubles stay finite in extended precision.
  EXPECT_DOUBLE_EQ(Abs(3e300, 4e300), 5e300);
  EXPECT_DOUBLE_EQ(Abs(3e-300, 4e-300), 5e-300);

  const double pi = std::numbers::pi;
  EXPECT_EQ(Arg(0, 0), 1.5707963267948966);
  EXPECT_EQ(Arg(0, -1), -1.5707963267948966);
  EXPECT_EQ(Arg(-1, 0), pi);
  EXPECT_DOUBLE_EQ(Arg(-1, -1), -3 * pi / 4);
  EXPECT_DOUBLE_EQ(Arg(-1, 1), 3 * pi / 4);
  EXPECT_DOUBLE_EQ(Arg(1, -1), -pi / 4);
}

TEST(FloatMap, NewKeepsContentsOfTheSameSizeAndLimitsTheStorage) {
  TComplexMap map;
  map.New(4, 3);
  map.Clear();
  map.Element(3, 2)[1] = 9.5;
  double* storage = map.Map();
  map.New(4, 3);
  EXPECT_EQ(map.Map(), storage);
  EXPECT_EQ(map.Element(3, 2)[1], 9.5);
  map.New(3, 4);
  EXPECT_EQ(map.Width(), 3);
  EXPECT_EQ(map.Size(), 192);

  // 250,000,001 doubles; and 2^35 bytes, which a 32-bit product would see as 0.
  TFloatMap floats;
  floats.New(2, 2);
  EXPECT_EQ(MessageOf<EOutOfMemory>([&] { floats.New(50'000, 5'001); }), "Out of memory");
  EXPECT_EQ(floats.Map(), nullptr);
  EXPECT_EQ(floats.Width(), 0);
  EXPECT_EQ(floats.Size(), 0);
  EXPECT_EQ(MessageOf<EOutOfMemory>([&] { floats.New(65536, 65536); }), "Out of memory");
  EXPECT_EQ(MessageOf<EOutOfMemory>([&] { map.New(125'000'001, 1); }), "Out of memory");
  EXPECT_EQ(map.Count(), 0);
  EXPECT_EQ(MessageOf<Exception>([&] { map.New(-2, -3); }), "Invalid bitmap size");
  // No elements, but rows of a width no map can hold: 16 * 200,000,000 passes 2^31.
  EXPECT_EQ(MessageOf<EOutOfMemory>([&] { map.New(200'000'000, 0); }), "Out of memory");
  EXPECT_EQ(map.BytesPerLine(), 0);
  floats.New(1000, 0);
  EXPECT_EQ(floats.BytesPerLine(), 8000);
  EXPECT_EQ(floats.Size(), 0);

  // An empty map copies as an empty map.
  TComplexMap empty;
  map.New(2, 2);
  map.Assign(empty);
  EXPECT_EQ(map.Count(), 0);
  EXPECT_EQ(map.Size(), 0);
}

TEST(FloatMap, FilesOfAMapAreEmpty) {
  const auto path = std::filesystem::temp_directory_path() / ("FloatMapTest" + std::to_string(std::random_device{}()));
  TComplexMap map;
  map.New(2, 1);
  map.Clear();
  map.Element(1, 0)[0] = 3;
  map.SaveToFile(path.string());
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  map.LoadFromFile(path.string());
  EXPECT_EQ(map.Element(1, 0)[0], 3.0);
  std::filesystem::remove(path);
}

TEST(FloatMap, ExportToAnIndexedBitmapRoundsTiesToEvenAndClamps) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> values = {254.5, 255.5, -3, 1000, 0.5, 1.5, 2.5, -0.5, 127.49, inf, -inf,
                                      std::numeric_limits<double>::quiet_NaN()};
  const std::vector<uint8_t> expected = {254, 255, 0, 255, 0, 2, 2, 0, 127, 255, 0, 0};
  TFloatMap map;
  Fill(map, 4, 3, values);

  TLinearBitmap bitmap;
  bitmap.Assign(map);
  ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::Indexed8);
  ASSERT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(std::vector<uint8_t>(bitmap.Map(), bitmap.Map() + 12), expected);

  // A host-backed bitmap of that size keeps the host's padded rows: each row lands at its
  // own address and the padding is left alone.
  auto host = THostImageBuffer::Make8Bit(4, 3, 7);
  const auto before = host.Snapshot();
  TPluginLinearBitmap hosted(host.Record());
  map.AssignTo(hosted);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(std::vector<uint8_t>(host.Pixels() + 7 * y, host.Pixels() + 7 * y + 4),
              std::vector<uint8_t>(expected.begin() + 4 * y, expected.begin() + 4 * y + 4));
    EXPECT_EQ(std::vector<uint8_t>(host.Pixels() + 7 * y + 4, host.Pixels() + 7 * y + 7),
              std::vector<uint8_t>(before.begin() + 7 * y + 4, before.begin() + 7 * y + 7));
  }
}

TEST(FloatMap, ImportFromPaddedBitmapsEqualsImportFromPackedCopies) {
  std::vector<THostImageBuffer> hosts;
  hosts.push_back(THostImageBuffer::Make8Bit(5, 3, 8));
  hosts.push_back(THostImageBuffer::Make24Bit(5, 3, 17));
  for (const auto& host : hosts) {
    const TPluginLinearBitmap padded(host.Record());
    TLinearBitmap packed;
    packed.Assign(padded);
    ASSERT_EQ(packed.BytesPerLine(), packed.Width() * packed.PixelSize());

    const TFloatMap fromPadded(padded), fromPacked(packed);
    ASSERT_EQ(fromPadded.Count(), 15);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(fromPadded.Map()[i], packed.Map()[i]) << i;
    EXPECT_EQ(std::memcmp(fromPadded.Map(), fromPacked.Map(), fromPacked.Size()), 0);

    const TComplexMap complexPadded(padded), complexPacked(packed);
    EXPECT_EQ(std::memcmp(complexPadded.Map(), complexPacked.Map(), complexPacked.Size()), 0);
  }
}

TEST(FloatMap, AssignBitmapsTakesSamplesPlusOffset) {
  TLinearBitmap bgr;
  bgr.New(2, 1, TPixelFormat::Bgr24);
  const uint8_t pixels[6] = {10, 20, 30, 0, 0, 255};
  std::memcpy(bgr.Map(), pixels, 6);
  TComplexMap map;
  map.Assign(bgr);
  EXPECT_DOUBLE_EQ(map.Element(0, 0)[0], 130.0 / 6);
  EXPECT_DOUBLE_EQ(map.Element(1, 0)[0], 510.0 / 6);
  EXPECT_EQ(map.Element(1, 0)[1], 0.0);

  TLinearBitmap real, imaginary;
  real.New(2, 1, TPixelFormat::Gray16);
  imaginary.New(2, 1, TPixelFormat::Gray16);
  const uint8_t realSamples[4] = {0x34, 0x12, 0xFF, 0xFF}, imaginarySamples[4] = {1, 0, 0, 1};
  std::memcpy(real.Map(), realSamples, 4);
  std::memcpy(imaginary.Map(), imaginarySamples, 4);
  map.AssignBitmaps(real, &imaginary, -5);
  EXPECT_EQ(map.Element(0, 0)[0], 0x1234 - 5);
  EXPECT_EQ(map.Element(1, 0)[0], 65535 - 5);
  EXPECT_EQ(map.Element(0, 0)[1], 1 - 5);
  EXPECT_EQ(map.Element(1, 0)[1], 256 - 5);

  auto host = THostImageBuffer::Make8Bit(3, 2, 5);
  const TPluginLinearBitmap indexed(host.Record());
  map.AssignBitmaps(indexed, &indexed, 1);
  EXPECT_EQ(map.Element(2, 1)[0], host.Pixels()[5 + 2] + 1);
  EXPECT_EQ(map.Element(2, 1)[1], host.Pixels()[5 + 2] + 1);
}

TEST(FloatMap, AssignBitmapsRefusesUnsuitablePairs) {
  TLinearBitmap indexed, gray, bgr, bgrx, small, empty;
  indexed.New(2, 2, TPixelFormat::Indexed8);
  gray.New(2, 2, TPixelFormat::Gray16);
  bgr.New(2, 2, TPixelFormat::Bgr24);
  bgrx.New(2, 2, TPixelFormat::Bgrx32);
  small.New(1, 2, TPixelFormat::Indexed8);
  TComplexMap map;
  EXPECT_EQ(MessageOf<Exception>([&] { map.AssignBitmaps(indexed, &gray, 0); }), "Invalid pixel format");
  EXPECT_EQ(MessageOf<Exception>([&] { map.AssignBitmaps(bgr, &bgr, 0); }), "Unsupported pixel format");
  EXPECT_EQ(MessageOf<Exception>([&] { map.AssignBitmaps(bgrx, nullptr, 0); }), "Unsupported pixel format");
  EXPECT_EQ(MessageOf<Exception>([&] { map.Assign(empty); }), "Unsupported pixel format");
  EXPECT_EQ(MessageOf<Exception>([&] { map.AssignBitmaps(indexed, &small, 0); }), "Invalid bitmap size");
}

class TForeign : public TAssignObject {
 public:
  const char* ClassName() const noexcept override { return "TForeign"; }
};

TEST(FloatMap, UnknownPairsEndWithCannotAssign) {
  TComplexMap complex;
  complex.New(2, 2);
  TLinearBitmap bitmap;
  EXPECT_EQ(MessageOf<Exception>([&] { bitmap.Assign(complex); }), "Cannot assign TComplexMap to TLinearBitmap");
  EXPECT_EQ(MessageOf<Exception>([&] { complex.AssignTo(bitmap); }), "Cannot assign TComplexMap to TLinearBitmap");
  TForeign foreign;
  TFloatMap floats;
  EXPECT_EQ(MessageOf<Exception>([&] { floats.Assign(foreign); }), "Cannot assign TForeign to TFloatMap");
}

}  // namespace
