#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "image/PluginFloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "profile/BandSampling.h"
#include "profile/ProfileSampling.h"
#include "profile/SavedPixels.h"
#include "tests/host/HostImages.h"
#include "tests/profile/ProfileOracle.h"

namespace {

// The band the plain way: from each sample's pixel, the pixels along the unit normal of the
// diagonal at offsets -h .. h, each rounded ties to even, read through the raster's clamping
// accessors from a clean copy; their mean and their standard deviation, two passes.
struct TBandOracle {
  std::vector<std::vector<double>> Values;  // per sample: gray (or value), then R, G, B
  std::vector<std::vector<double>> Spreads;
};

TBandOracle OracleBand(const TProfileRaster& raster, const TRect& selection, bool direction, int width) {
  const double sx = selection.Left, sy = direction ? selection.Bottom : selection.Top;
  const double ex = selection.Right, ey = direction ? selection.Top : selection.Bottom;
  const double length = std::hypot(ex - sx, ey - sy);
  const double nx = length > 0 ? -(ey - sy) / length : 0, ny = length > 0 ? (ex - sx) / length : 0;
  TBandOracle oracle;
  for (const TSamplePoint point : OracleLinePoints(selection, direction)) {
    std::vector<std::vector<double>> pixels(4);
    for (int k = -(width - 1) / 2; k <= (width - 1) / 2; ++k) {
      const int x = point.X + static_cast<int>(std::nearbyint(k * nx));
      const int y = point.Y + static_cast<int>(std::nearbyint(k * ny));
      if (raster.Map) {
        const int cx = std::clamp(x, 0, raster.Map->Width() - 1), cy = std::clamp(y, 0, raster.Map->Height() - 1);
        pixels[0].push_back(raster.Map->Element(cx, cy)[raster.Plane == 1 ? 1 : 0]);
      } else if (raster.Bitmap->PixelFormat() == TPixelFormat::Bgr24) {
        const TColor color = raster.Bitmap->GetPixel(x, y);
        const double r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
        pixels[0].push_back((2 * r + 3 * g + b) / 6);
        pixels[1].push_back(r);
        pixels[2].push_back(g);
        pixels[3].push_back(b);
      } else {
        pixels[0].push_back(raster.Bitmap->GetIntensity(x, y));
      }
    }
    std::vector<double> means, spreads;
    for (const auto& values : pixels) {
      if (values.empty()) continue;
      double sum = 0, squares = 0;
      for (double v : values) sum += v;
      const double mean = sum / values.size();
      for (double v : values) squares += (v - mean) * (v - mean);
      means.push_back(mean);
      spreads.push_back(std::sqrt(squares / values.size()));
    }
    oracle.Values.push_back(means);
    oracle.Spreads.push_back(spreads);
  }
  return oracle;
}

void ExpectBand(const TProfile& profile, const TBandOracle& oracle, bool color) {
  ASSERT_EQ(profile.Profile.size(), oracle.Values.size());
  ASSERT_EQ(profile.Spread.size(), oracle.Values.size());
  for (size_t i = 0; i < oracle.Values.size(); ++i) {
    ASSERT_NEAR(profile.Profile[i], oracle.Values[i][0], 1e-9) << i;
    ASSERT_NEAR(profile.Spread[i], oracle.Spreads[i][0], 1e-6) << i;
    if (!color) continue;
    const TColorSample& mean = profile.ProfileRGB[i];
    const TColorSample& spread = profile.SpreadRGB[i];
    ASSERT_NEAR(mean.R, oracle.Values[i][1], 1e-9) << i;
    ASSERT_NEAR(mean.G, oracle.Values[i][2], 1e-9) << i;
    ASSERT_NEAR(mean.B, oracle.Values[i][3], 1e-9) << i;
    ASSERT_NEAR(spread.R, oracle.Spreads[i][1], 1e-6) << i;
    ASSERT_NEAR(spread.B, oracle.Spreads[i][3], 1e-6) << i;
  }
}

// A 16-bit gray bitmap of random words and its twin for the oracle.
void SampleWords(int width, int height, const TRect& selection, bool direction, int band, std::mt19937& random) {
  TLinearBitmap bitmap, twin;
  bitmap.New(width, height, TPixelFormat::Gray16);
  twin.New(width, height, TPixelFormat::Gray16);
  for (int i = 0; i < bitmap.Size(); ++i) bitmap.Map()[i] = twin.Map()[i] = static_cast<uint8_t>(random());
  TProfile profile;
  SampleBand({&bitmap, nullptr, 0, nullptr}, selection, direction, band, profile);
  if (band > 1) ExpectBand(profile, OracleBand({&twin, nullptr, 0, nullptr}, selection, direction, band), false);
}

// Random images and selections (reaching outside the image too), every width, both
// diagonals, 8-bit, 16-bit, 24-bit, float and complex: the band's means and spreads are the
// oracle's; the marks of the centre and both edges go into the undo record, which puts back
// every byte.
TEST(BandSampling, EveryWidthMatchesTheWalkAlongTheNormal) {
  std::mt19937 random(2026);
  const auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  constexpr int Widths[] = {3, 5, 9, 15, 31, 63, 1};
  TProfile profile;  // reused, as the dialog reuses its arrays
  for (int round = 0; round < 70; ++round) {
    const int width = Widths[round % 7];
    const bool direction = round / 7 % 2;
    const int kind = round % 5;
    if (kind == 3) {
      const int w = uniform(20, 90), h = uniform(20, 90);
      SampleWords(w, h, {uniform(-5, w / 2), uniform(-5, h / 2), uniform(w / 2, w + 5), uniform(h / 2, h + 5)},
                  direction, width, random);
      continue;
    }
    auto image = kind == 0 ? THostImageBuffer::Make24Bit(uniform(20, 90), uniform(20, 90))
                 : kind == 1 ? THostImageBuffer::Make8Bit(uniform(20, 90), uniform(20, 90))
                 : kind == 2 ? THostImageBuffer::MakeComplex(uniform(10, 40), uniform(10, 40))
                             : THostImageBuffer::MakeFloat(uniform(10, 40), uniform(10, 40));
    const int w = image.Record().Width, h = image.Record().Height;
    const TRect selection{uniform(-5, w / 2), uniform(-5, h / 2), uniform(w / 2, w + 5), uniform(h / 2, h + 5)};
    SCOPED_TRACE(testing::Message() << "round " << round << ", width " << width);
    if (kind >= 2) {
      const std::unique_ptr<TComplexMap> map = HostImageToProfileMap(image.Record());
      const TProfileRaster raster{nullptr, map.get(), round % 4 == 2 ? 1 : 0, nullptr};
      SampleBand(raster, selection, direction, width, profile);
      if (width == 1) EXPECT_TRUE(profile.Spread.empty());
      else ExpectBand(profile, OracleBand(raster, selection, direction, width), false);
      continue;
    }
    const THostImageBuffer clean = THostImageBuffer::CopyOf(image);
    TPluginLinearBitmap oracleBitmap(clean.Record());
    const TBandOracle oracle = OracleBand({&oracleBitmap, nullptr, 0, nullptr}, selection, direction, width);
    const auto before = image.Snapshot();
    TPluginLinearBitmap bitmap(image.Record());
    TSavedPixels saved;
    saved.Start();
    SampleBand({&bitmap, nullptr, 0, &saved}, selection, direction, width, profile);
    if (width == 1) {
      EXPECT_TRUE(profile.Spread.empty());
    } else {
      ExpectBand(profile, oracle, kind == 0);
      EXPECT_NE(image.Snapshot(), before) << "the marks";
    }
    saved.Restore();
    EXPECT_EQ(image.Snapshot(), before);
  }
}

}  // namespace
