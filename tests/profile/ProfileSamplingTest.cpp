#include "profile/ProfileSampling.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "image/FloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "image/Rounding.h"
#include "profile/IntegratedSampling.h"
#include "profile/LineSampling.h"
#include "profile/ProfileSums.h"
#include "profile/SumKernelTiming.h"
#include "tests/host/HostImages.h"
#include "tests/profile/ProfileOracle.h"

namespace {

static_assert(sizeof(TColorSample) == 3 * sizeof(double));

std::vector<uint8_t> BytesOf(const TLinearBitmap& bitmap) {
  return std::vector<uint8_t>(bitmap.Map(), bitmap.Map() + bitmap.Size());
}

// Bit for bit: 0.0 and -0.0 or two different NaNs would differ.
template <class T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

void ExpectSameProfile(const TProfile& fast, const TProfile& oracle) {
  EXPECT_TRUE(SameBits(fast.Profile, oracle.Profile));
  EXPECT_TRUE(SameBits(fast.ProfileRGB, oracle.ProfileRGB));
  EXPECT_EQ(std::memcmp(&fast.MaxValue, &oracle.MaxValue, sizeof(double)), 0)
      << fast.MaxValue << " " << oracle.MaxValue;
  EXPECT_EQ(fast.LengthLabel, oracle.LengthLabel);
  EXPECT_EQ(fast.PlaneGroupDisabled, oracle.PlaneGroupDisabled);
}

// A 24-bit bitmap whose pixel (x, y) is (red, green, blue) = (10x + y, 100 + y, 200 - x).
std::unique_ptr<TLinearBitmap> ColorBitmap(int width, int height) {
  auto bitmap = std::make_unique<TLinearBitmap>();
  bitmap->New(width, height, TPixelFormat::Bgr24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap->SetPixel(x, y, PackColor(10 * x + y, 100 + y, 200 - x));
  return bitmap;
}

std::unique_ptr<TLinearBitmap> GrayBitmap(int width, int height) {
  auto bitmap = std::make_unique<TLinearBitmap>();
  bitmap->New(width, height, TPixelFormat::Indexed8);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap->SetIntensity(x, y, 100 + 10 * y + x);
  return bitmap;
}

TProfile Line(TLinearBitmap& bitmap, TRect selection, bool direction) {
  TProfile profile;
  SampleLine({&bitmap, nullptr, 0}, selection, direction, profile);
  return profile;
}

TEST(ProfileSampling, LineModeSamplesCopiesAndMarks) {
  auto bitmap = ColorBitmap(3, 3);
  const TProfile profile = Line(*bitmap, {0, 0, 2, 2}, false);
  EXPECT_EQ(profile.LengthLabel, "Length: 4 pixels");
  ASSERT_EQ(profile.ProfileRGB.size(), 4u);
  // Samples (0,0), (1,1), (1,1) again and (2,2); the copy is not a reading of the mark.
  EXPECT_EQ(profile.ProfileRGB[1].R, 11);
  EXPECT_EQ(profile.ProfileRGB[2].R, 11);
  EXPECT_EQ(profile.ProfileRGB[3].B, 198);
  EXPECT_EQ(profile.Profile[1], (2 * 11.0 + 3 * 101.0 + 199.0) / 6);
  EXPECT_EQ(profile.MaxValue, 255);
  EXPECT_FALSE(profile.PlaneGroupDisabled);
  // The copied sample skips its index: the marks are 0, 1 and 3.
  EXPECT_EQ(bitmap->GetPixel(0, 0), GrayLevel(0));
  EXPECT_EQ(bitmap->GetPixel(1, 1), GrayLevel(1));
  EXPECT_EQ(bitmap->GetPixel(2, 2), GrayLevel(3));
  EXPECT_EQ(bitmap->GetPixel(2, 0), PackColor(20, 100, 198));

  auto gray = GrayBitmap(3, 3);
  const TProfile other = Line(*gray, {0, 0, 2, 2}, true);
  EXPECT_EQ(other.Profile, (std::vector<double>{120, 111, 111, 102}));
  EXPECT_EQ(gray->GetIntensity(0, 2), 0u);
  EXPECT_EQ(gray->GetIntensity(1, 1), 1u);
  EXPECT_EQ(gray->GetIntensity(2, 0), 3u);
  EXPECT_TRUE(other.PlaneGroupDisabled);
  EXPECT_TRUE(other.ProfileRGB.empty());
}

TEST(ProfileSampling, LineModeWalksWithoutCopiesWhereTheLineIsSteep) {
  auto gray = GrayBitmap(6, 10);
  const TProfile shallow = Line(*gray, {0, 0, 3, 1}, false);
  EXPECT_EQ(shallow.Profile, (std::vector<double>{100, 101, 112, 113}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(gray->GetIntensity(i, i < 2 ? 0 : 1), uint32_t(i));

  EXPECT_EQ(Line(*GrayBitmap(6, 10), {0, 5, 4, 5}, false).Profile, (std::vector<double>{150, 151, 152, 153, 154}));
  const TProfile column = Line(*GrayBitmap(6, 10), {5, 5, 5, 9}, false);
  EXPECT_EQ(column.Profile, (std::vector<double>{155, 165, 175, 185, 195}));
  EXPECT_EQ(column.LengthLabel, "Length: 5 pixels");
}

TEST(ProfileSampling, LineMarksWrapAfter255AndReadClampedEdges) {
  auto gray = GrayBitmap(300, 1);
  const TProfile profile = Line(*gray, {0, 0, 299, 0}, false);
  EXPECT_EQ(gray->GetIntensity(255, 0), 255u);
  EXPECT_EQ(gray->GetIntensity(256, 0), 0u);
  EXPECT_EQ(gray->GetIntensity(299, 0), 43u);

  // Past the right edge the reads repeat the edge pixel, which by then carries its mark.
  auto small = GrayBitmap(3, 1);
  EXPECT_EQ(Line(*small, {1, 0, 4, 0}, false).Profile, (std::vector<double>{101, 102, 1, 1}));
}

TProfile Integrated(TLinearBitmap& bitmap, TRect selection, bool byRows) {
  TProfile profile;
  SampleIntegrated({&bitmap, nullptr, 0}, selection, byRows, profile);
  return profile;
}

TEST(ProfileSampling, IntegrateSumsLinesAndMarksTheirEnds) {
  auto bitmap = ColorBitmap(10, 3);
  const TProfile row = Integrated(*bitmap, {0, 1, 9, 1}, true);
  ASSERT_EQ(row.Profile.size(), 1u);
  EXPECT_EQ(row.ProfileRGB[0].R, 450 + 10);
  EXPECT_EQ(row.ProfileRGB[0].G, 1010);
  EXPECT_EQ(row.ProfileRGB[0].B, 1955);
  EXPECT_EQ(row.MaxValue, 1955);
  for (int x : {0, 1, 8, 9}) EXPECT_EQ(bitmap->GetPixel(x, 1), GrayLevel(0));
  EXPECT_EQ(bitmap->GetPixel(2, 1), PackColor(21, 101, 198));

  auto gray = GrayBitmap(4, 6);
  const TProfile columns = Integrated(*gray, {1, 0, 3, 5}, false);
  EXPECT_EQ(columns.Profile, (std::vector<double>{6 * 101 + 150, 6 * 102 + 150, 6 * 103 + 150}));
  for (int y : {0, 1, 4, 5}) EXPECT_EQ(gray->GetIntensity(3, y), 2u);
  EXPECT_EQ(gray->GetIntensity(3, 2), 123u);
  EXPECT_EQ(gray->GetIntensity(0, 0), 100u);
}

TEST(ProfileSampling, OneColumnWideRowsMarkAroundTheColumn) {
  auto gray = GrayBitmap(4, 3);
  Integrated(*gray, {0, 0, 0, 2}, true);
  // Marks at Left - 1 (skipped), Left, Left and Left + 1.
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(gray->GetIntensity(0, y), uint32_t(y));
    EXPECT_EQ(gray->GetIntensity(1, y), uint32_t(y));
    EXPECT_EQ(gray->GetIntensity(2, y), 102u + 10 * y);
  }
}

TEST(ProfileSampling, LabelRoundsTheSumToEven) {
  // (2 * 6 + 3 * 1 + 0) / 6 = 2.5 and (2 * 9 + 3 * 1 + 0) / 6 = 3.5.
  for (auto [red, label] : {std::pair{6, "Grayscale pixel sum: 2"}, std::pair{9, "Grayscale pixel sum: 4"}}) {
    TLinearBitmap bitmap;
    bitmap.New(1, 1, TPixelFormat::Bgr24);
    bitmap.SetPixel(0, 0, PackColor(red, 1, 0));
    EXPECT_EQ(Integrated(bitmap, {0, 0, 0, 0}, true).LengthLabel, label);
  }
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0);
  EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);
}

TEST(ProfileSampling, InvertedRectangleIntegratesToNothing) {
  auto gray = GrayBitmap(5, 5);
  const auto before = BytesOf(*gray);
  for (TRect inverted : {TRect{3, 1, 1, 4}, TRect{1, 4, 3, 1}, TRect{4, 4, 0, 0}}) {
    for (bool byRows : {false, true}) {
      const TProfile profile = Integrated(*gray, inverted, byRows);
      EXPECT_TRUE(profile.Profile.empty());
      EXPECT_EQ(profile.MaxValue, 1);
      EXPECT_EQ(profile.LengthLabel, "Grayscale pixel sum: 0");
    }
  }
  EXPECT_EQ(BytesOf(*gray), before);
  // Line mode walks such a rectangle backwards.
  EXPECT_EQ(Line(*gray, {2, 0, 0, 0}, false).Profile, (std::vector<double>{102, 101, 100}));
}

TEST(ProfileSampling, UnsupportedFormatChangesNothing) {
  TLinearBitmap bitmap;
  bitmap.New(4, 4, TPixelFormat::Bgrx32);
  std::memset(bitmap.Map(), 7, bitmap.Size());
  TProfile profile;
  for (bool integrate : {false, true}) {
    try {
      SampleProfile({&bitmap, nullptr, 0}, {0, 0, 3, 3}, {integrate, false}, profile);
      ADD_FAILURE() << "nothing raised";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), "Unsupported pixel format");
    }
  }
  EXPECT_EQ(BytesOf(bitmap), std::vector<uint8_t>(16 * 4, 7));
}

// A map whose element (x, y) is (10x + y, -x - 10y).
std::unique_ptr<TComplexMap> ComplexMap(int width, int height) {
  auto map = std::make_unique<TComplexMap>();
  map->New(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      map->Element(x, y)[0] = 10 * x + y;
      map->Element(x, y)[1] = -x - 10 * y;
    }
  }
  return map;
}

TEST(ProfileSampling, ComplexMapReadsItsPlaneAndClampsAtTheEdges) {
  auto map = ComplexMap(3, 2);
  TProfile profile;
  // Beyond the map the reads repeat its edge elements instead of leaving its storage.
  SampleLine({nullptr, map.get(), 0}, {-2, 1, 4, 1}, false, profile);
  EXPECT_EQ(profile.Profile, (std::vector<double>{1, 1, 1, 11, 21, 21, 21}));
  EXPECT_EQ(profile.MaxValue, 21);
  EXPECT_FALSE(profile.PlaneGroupDisabled);
  EXPECT_TRUE(profile.ProfileRGB.empty());

  // The largest value 0 gives a scale of 1; all negative values give the largest of them.
  SampleLine({nullptr, map.get(), 1}, {0, -3, 0, 5}, false, profile);
  EXPECT_EQ(profile.Profile, (std::vector<double>{0, 0, 0, 0, -10, -10, -10, -10, -10}));
  EXPECT_EQ(profile.MaxValue, 1);
  SampleLine({nullptr, map.get(), 1}, {1, 1, 2, 1}, false, profile);
  EXPECT_EQ(profile.MaxValue, -11);
  // An item beyond the two parts reads the real part, never past the pair.
  SampleLine({nullptr, map.get(), 2}, {1, 1, 2, 1}, false, profile);
  EXPECT_EQ(profile.Profile, (std::vector<double>{11, 21}));

  SampleIntegrated({nullptr, map.get(), 0}, {0, 0, 2, 1}, false, profile);
  EXPECT_EQ(profile.Profile, (std::vector<double>{1, 21, 41}));
  EXPECT_EQ(profile.MaxValue, 41);
  EXPECT_EQ(profile.LengthLabel, "Grayscale pixel sum: 63");
}

// A selection far beyond a complex map costs what the map costs: each edge element counts
// once, times the positions that read it.
TEST(ProfileSampling, ComplexIntegrationFarBeyondTheMapAddsEachEdgeOnce) {
  auto map = ComplexMap(3, 2);
  TProfile profile;
  const double far = 2147483647;
  SampleIntegrated({nullptr, map.get(), 0}, {-2147483647, 0, 2147483647, 1}, true, profile);
  ASSERT_EQ(profile.Profile.size(), 2u);
  for (int y = 0; y < 2; ++y)
    EXPECT_EQ(profile.Profile[y], y * far + (y + 10 + y + 20 + y) + (20 + y) * (far - 2)) << "row " << y;
  SampleIntegrated({nullptr, map.get(), 1}, {0, -2147483647, 2, 2147483647}, false, profile);
  ASSERT_EQ(profile.Profile.size(), 3u);
  for (int x = 0; x < 3; ++x)
    EXPECT_EQ(profile.Profile[x], -x * far + (-x - x - 10) + (-x - 10) * (far - 1)) << "column " << x;
}

TEST(ProfileSampling, LabelSaturatesBeyondTheIntegerRange) {
  auto map = ComplexMap(2, 1);
  map->Element(0, 0)[0] = 1e300;
  map->Element(1, 0)[0] = -1e300;
  TProfile profile;
  SampleIntegrated({nullptr, map.get(), 0}, {0, 0, 0, 0}, true, profile);
  EXPECT_EQ(profile.LengthLabel, "Grayscale pixel sum: 9223372036854775807");
  SampleIntegrated({nullptr, map.get(), 0}, {1, 0, 1, 0}, true, profile);
  EXPECT_EQ(profile.LengthLabel, "Grayscale pixel sum: -9223372036854775808");
}

// Far from the origin every step of a diagonal rounds the same way and the position drifts
// by more than half a pixel: the rounded walk passes beside the end point and stops at the
// capacity, |dx| + |dy| + 1 samples.
TEST(ProfileSampling, LineWalkStopsAtItsCapacity) {
  auto map = ComplexMap(1, 1);
  TProfile profile;
  const int32_t base = -2147483647;
  SampleLine({nullptr, map.get(), 0}, {base, base, base + 3650541, base + 1825270}, false, profile);
  EXPECT_EQ(profile.LengthLabel, "Length: 5475812 pixels");
  EXPECT_EQ(profile.Profile.size(), 5475812u);
}

// Two rasters with equal contents, one for the fast sampling and one for the oracle.
class TRasterPair {
 public:
  // The packed host images end their last row right before the guard page.
  enum TKind { Own8, OwnGray16, Own24, Host8, Host24, Complex, Host8Packed, Host24Packed, KindCount };

  TRasterPair(TKind kind, int width, int height, std::mt19937& random, bool saturated = false) {
    for (int side = 0; side < 2; ++side) Make(side, kind, width, height);
    if (kind == Complex) {
      FillMaps(random);
    } else {
      FillBytes(random, saturated || random() % 4 == 0);
    }
  }

  TProfileRaster Raster(int side, int plane) const {
    return {FBitmaps[side].get(), FMaps[side].get(), plane};
  }
  std::vector<uint8_t> Pixels(int side) const {
    return FBitmaps[side] ? BytesOf(*FBitmaps[side]) : std::vector<uint8_t>();
  }

 private:
  void Make(int side, TKind kind, int width, int height) {
    switch (kind) {
      case Host8: FHosts[side] = std::make_unique<THostImageBuffer>(THostImageBuffer::Make8Bit(width, height, width + 3, true)); break;
      case Host24: FHosts[side] = std::make_unique<THostImageBuffer>(THostImageBuffer::Make24Bit(width, height, 3 * width + 1)); break;
      case Host8Packed: FHosts[side] = std::make_unique<THostImageBuffer>(THostImageBuffer::Make8Bit(width, height, 0, true)); break;
      case Host24Packed: FHosts[side] = std::make_unique<THostImageBuffer>(THostImageBuffer::Make24Bit(width, height)); break;
      case Complex: FMaps[side] = std::make_unique<TComplexMap>(); FMaps[side]->New(width, height); return;
      default: break;
    }
    if (FHosts[side]) {
      FBitmaps[side] = std::make_unique<TPluginLinearBitmap>(FHosts[side]->Record());
      return;
    }
    FBitmaps[side] = std::make_unique<TLinearBitmap>();
    if (kind == Own8) FBitmaps[side]->New(width, height, TPixelFormat::Indexed8);
    if (kind == OwnGray16) FBitmaps[side]->New(width, height, TPixelFormat::Gray16, 2 * width + 5);
    if (kind == Own24) FBitmaps[side]->New(width, height, TPixelFormat::Bgr24);
  }

  // Saturated pixels make the sums reach the lanes' limits.
  void FillBytes(std::mt19937& random, bool saturated) {
    for (int i = 0; i < FBitmaps[0]->Size(); ++i)
      FBitmaps[0]->Map()[i] = FBitmaps[1]->Map()[i] = saturated ? 255 : static_cast<uint8_t>(random());
  }

  // Values of very different magnitudes, so that any change in the order of the additions
  // changes the rounded sums.
  void FillMaps(std::mt19937& random) {
    const double scales[] = {0.1, 1.0, 3.7e13, -1e-3, 0.0};
    for (int i = 0; i < 2 * FMaps[0]->Count(); ++i) {
      const double value = scales[random() % 5] * (int(random() % 2001) - 1000) / 7.0;
      FMaps[0]->Map()[i] = FMaps[1]->Map()[i] = value;
    }
  }

  std::unique_ptr<THostImageBuffer> FHosts[2];
  std::unique_ptr<TLinearBitmap> FBitmaps[2];
  std::unique_ptr<TComplexMap> FMaps[2];
};

// Mostly ordered corners around and beyond the image, sometimes inverted.
TRect RandomSelection(int width, int height, std::mt19937& random) {
  auto coordinate = [&](int size) { return int(random() % (size + 8)) - 4; };
  TRect s{coordinate(width), coordinate(height), coordinate(width), coordinate(height)};
  if (random() % 8 != 0) {
    if (s.Right < s.Left) std::swap(s.Left, s.Right);
    if (s.Bottom < s.Top) std::swap(s.Top, s.Bottom);
  }
  return s;
}

struct TRound {
  TRect Selection;
  TProfileMode Mode;
  int Plane;
};

// The fast sampling on one raster of the pair, the oracle on the other.
void CompareOnce(const TRasterPair& pair, const TRound& round, TProfile& fast) {
  const TRect& s = round.Selection;
  SCOPED_TRACE(testing::Message() << "selection (" << s.Left << "," << s.Top << ")-(" << s.Right << "," << s.Bottom
                                  << ") integrate " << round.Mode.Integrate << " direction " << round.Mode.Direction);
  SampleProfile(pair.Raster(0, round.Plane), s, round.Mode, fast);
  const TProfileRaster other = pair.Raster(1, round.Plane);
  const TProfile oracle = round.Mode.Integrate ? OracleSampleIntegrated(other, s, round.Mode.Direction)
                                               : OracleSampleLine(other, s, round.Mode.Direction);
  ExpectSameProfile(fast, oracle);
  EXPECT_EQ(pair.Pixels(0), pair.Pixels(1));
}

// Each set of the sums' kernels that this machine runs, forced in turn.
class ProfileSamplingKernels : public testing::TestWithParam<TSumKernelSet> {
 protected:
  void SetUp() override {
    if (!SumKernelSetUsable(GetParam())) GTEST_SKIP() << "the processor or the system cannot run this set";
    FBefore = UseSumKernelSet(GetParam());
  }
  void TearDown() override { UseSumKernelSet(FBefore); }

 private:
  TSumKernelSet FBefore = TSumKernelSet::Sse2;
};

constexpr const char* SetNames[] = {"Sse2", "Sse2Plain", "Avx2", "Avx2Plain", "Measured"};
INSTANTIATE_TEST_SUITE_P(EverySet, ProfileSamplingKernels,
                         testing::Values(TSumKernelSet::Sse2, TSumKernelSet::Sse2Plain, TSumKernelSet::Avx2,
                                         TSumKernelSet::Avx2Plain, TSumKernelSet::Measured),
                         [](const auto& info) { return std::string(SetNames[static_cast<int>(info.param)]); });

// The rows and columns of an 8-bit raster large enough for the measured choice to time its
// kernels on them: each group is measured once, chooses a set the processor runs, and sums
// right.
TEST(SumKernelChoice, IsMeasuredOnceOnALargeRasterFromTheSetsTheProcessorRuns) {
  // Twelve slabs of 4 MiB and a few rows more.
  constexpr int Width = 8192, Height = 6200;
  TLinearBitmap bitmap;
  bitmap.New(Width, Height, TPixelFormat::Indexed8);
  for (int y = 0; y < Height; ++y) std::memset(bitmap.Row(y), y % 7, Width);
  TSumWork work;
  for (int run = 0; run < 2; ++run) {
    SumBitmapLines(bitmap, {true, 0, Height - 1, 0, Width - 1}, work);
    EXPECT_EQ(work.Lines[Height - 1].Channel[0], uint64_t{(Height - 1) % 7} * Width);
  }
  EXPECT_EQ(SumKernelMeasurements(TKernelGroup::Bytes), 1);
  const TSumKernelSet chosen = MeasuredSumKernelSet(TKernelGroup::Bytes);
  EXPECT_NE(chosen, TSumKernelSet::Measured);
  EXPECT_TRUE(SumKernelSetUsable(chosen));
  EXPECT_EQ(MeasuredSumKernels(TKernelGroup::Bytes, {bitmap.Row(0), Width, Width, 1}).SumBytes,
            SumKernelsOf(chosen).SumBytes);
  // Its columns measure the 8-bit columns' group, not the 24-bit columns'.
  SumBitmapLines(bitmap, {false, 0, Width - 1, 0, Height - 1}, work);
  uint64_t column = 0;
  for (int y = 0; y < Height; ++y) column += y % 7;
  EXPECT_EQ(work.Lines[Width - 1].Channel[0], column);
  EXPECT_EQ(SumKernelMeasurements(TKernelGroup::Lanes), 1);
  EXPECT_TRUE(SumKernelSetUsable(MeasuredSumKernelSet(TKernelGroup::Lanes)));
  EXPECT_EQ(SumKernelMeasurements(TKernelGroup::LanesByThree), 0);
  // A small raster leaves a group it is the first for to its default.
  bitmap.New(64, 64, TPixelFormat::Bgr24);
  SumBitmapLines(bitmap, {true, 0, 63, 0, 63}, work);
  EXPECT_EQ(SumKernelMeasurements(TKernelGroup::BytesByThree), 0);
}

TEST_P(ProfileSamplingKernels, MatchesThePlainPerPixelReadingOnRandomImages) {
  std::mt19937 random(20261207);
  TProfile fast;  // reused, as the dialog reuses its arrays
  for (int kind = 0; kind < TRasterPair::KindCount; ++kind) {
    for (int image = 0; image < 320 && !testing::Test::HasFailure(); ++image) {
      const int width = 1 + int(random() % (random() % 3 == 0 ? 90 : 12));
      const int height = 1 + int(random() % 12);
      SCOPED_TRACE(testing::Message() << "kind " << kind << " " << width << "x" << height);
      const TRasterPair pair(TRasterPair::TKind(kind), width, height, random);
      const TRound round{RandomSelection(width, height, random), {random() % 2 == 0, random() % 2 == 0},
                         int(random() % 3)};
      CompareOnce(pair, round, fast);
    }
  }
}

// Saturated long lines and many lines pass the points where the narrow lanes are flushed;
// column spans of every length around the lane blocks of both sets, from odd columns, over
// row counts that leave bands unfinished, reach the last byte before the guard page.
TEST_P(ProfileSamplingKernels, MatchesThePlainReadingOnLongLines) {
  std::mt19937 random(7);
  TProfile fast;
  for (int kind = 0; kind < TRasterPair::KindCount; ++kind) {
    for (auto [width, height] : {std::pair{13000, 2}, std::pair{3, 700}, std::pair{37, 600}, std::pair{70, 1031}}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " " << width << "x" << height);
      const TRasterPair pair(TRasterPair::TKind(kind), width, height, random, true);
      for (bool direction : {false, true})
        CompareOnce(pair, {{-1, -2, width, height + 1}, {true, direction}, 0}, fast);
      if (width != 70) continue;
      for (int left : {0, 1, 3, 16, 17}) {
        for (int columns : {1, 5, 6, 11, 16, 17, 22, 31, 32, 33, 48, 64, 65}) {
          const int right = std::min(width - 1, left + columns - 1);
          // The imaginary part of a map's last pair ends its memory.
          for (int plane = 0; plane <= (kind == TRasterPair::Complex ? 1 : 0); ++plane) {
            CompareOnce(pair, {{left, 3, right, height - 1 - left}, {true, false}, plane}, fast);
            CompareOnce(pair, {{width - 1 - right + left, left, width - 1, height - 1}, {true, false}, plane}, fast);
          }
        }
      }
    }
  }
}

}  // namespace
