#include "profile/ProfileSession.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "image/FloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "tests/host/HostImages.h"
#include "tests/profile/ProfileOracle.h"

namespace {

// The host's image as the dialog gets it: a bitmap over the host's own bytes, which end
// right before a guard page.
struct THostBitmap {
  explicit THostBitmap(THostImageBuffer buffer) : Image(std::move(buffer)), Bitmap(Image.Record()) {}
  THostImageBuffer Image;
  TPluginLinearBitmap Bitmap;
};

TEST(SavedPixels, PutsTheBytesBackOnceAndAtTheLatestWhenItGoes) {
  std::vector<uint8_t> host{1, 2, 3, 4, 5};
  {
    TSavedPixels saved;
    EXPECT_FALSE(saved.Restore());
    saved.Save(host.data(), host.size());
    host = {9, 9, 9, 9, 9};
    EXPECT_TRUE(saved.Restore());
    EXPECT_EQ(host, (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    host[0] = 7;
    EXPECT_FALSE(saved.Restore());
    EXPECT_EQ(host[0], 7);

    saved.Save(host.data(), host.size());
    host[1] = 0;
    // A second save first puts the first copy back: marks never become the "clean" bytes.
    saved.Save(host.data(), host.size());
    host[2] = 0;
  }
  EXPECT_EQ(host, (std::vector<uint8_t>{7, 2, 3, 4, 5}));
}

TEST(ProfileSession, RebuildsFromCleanPixelsInEveryModeAndDirection) {
  for (bool gray : {false, true}) {
    THostBitmap host(gray ? THostImageBuffer::Make8Bit(13, 9, 16) : THostImageBuffer::Make24Bit(13, 9, 40));
    const std::vector<uint8_t> clean = host.Image.Snapshot();
    const THostImageBuffer cleanImage = THostImageBuffer::CopyOf(host.Image);
    TProfileSession session;
    session.Selection = {2, 1, 11, 7};
    session.Raster.Bitmap = &host.Bitmap;
    for (TProfileMode mode : {TProfileMode{false, false}, TProfileMode{false, true}, TProfileMode{true, true},
                              TProfileMode{true, false}, TProfileMode{false, false}}) {
      session.Rebuild(mode);
      EXPECT_EQ(host.Image.Snapshot(), OracleMarkedBytes(cleanImage, mode, session.Selection))
          << "gray " << gray << " integrate " << mode.Integrate << " direction " << mode.Direction;
      EXPECT_EQ(session.Profile().PlaneGroupDisabled, gray);
    }
    EXPECT_TRUE(session.RestorePixels());
    EXPECT_EQ(host.Image.Snapshot(), clean);
    EXPECT_FALSE(session.RestorePixels());
  }
}

TEST(ProfileSession, EndingWithoutACloseStillPutsThePixelsBack) {
  THostBitmap host(THostImageBuffer::Make24Bit(6, 5));
  const std::vector<uint8_t> clean = host.Image.Snapshot();
  {
    TProfileSession session;
    session.Selection = {0, 0, 5, 4};
    session.Raster.Bitmap = &host.Bitmap;
    session.Rebuild({});
    EXPECT_NE(host.Image.Snapshot(), clean);
  }
  EXPECT_EQ(host.Image.Snapshot(), clean);
}

// Sampling that fails once the pixels are saved (here: a selection too long to hold) leaves
// them saved, so that the close puts back whatever an earlier profile had marked.
TEST(ProfileSession, AFailedRebuildKeepsThePixelsForTheClose) {
  THostBitmap host(THostImageBuffer::Make24Bit(6, 5));
  const std::vector<uint8_t> clean = host.Image.Snapshot();
  TProfileSession session;
  session.Selection = {0, 0, 5, 4};
  session.Raster.Bitmap = &host.Bitmap;
  session.Rebuild({});
  session.Selection = {0, -2'000'000'000, 5, 2'000'000'000};
  EXPECT_THROW(session.Rebuild({true, true}), EOutOfMemory);
  EXPECT_TRUE(session.PixelsSaved());
  EXPECT_TRUE(session.RestorePixels());
  EXPECT_EQ(host.Image.Snapshot(), clean);
}

TEST(ProfileSession, AComplexMapIsNeverSavedAndPlotsOneCurve) {
  TComplexMap map;
  map.New(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      map.Element(x, y)[0] = x + 10.0 * y;
      map.Element(x, y)[1] = -x;
    }
  TProfileSession session;
  session.Selection = {0, 0, 2, 1};
  session.Raster.Map = &map;
  session.Raster.Plane = 1;
  session.Rebuild({true, false});
  EXPECT_FALSE(session.PixelsSaved());
  EXPECT_FALSE(session.RestorePixels());
  EXPECT_EQ(session.Profile().Profile, (std::vector<double>{0, -2, -4}));

  const TProfilePlotData data = session.PlotData(1, 8);
  EXPECT_TRUE(data.ComplexMap);
  EXPECT_EQ(data.PlaneIndex, 1);
  EXPECT_EQ(data.Margin, 8);
  EXPECT_EQ(data.Profile.size(), 3u);
  EXPECT_TRUE(data.ProfileRGB.empty());
  EXPECT_EQ(data.MaxValue, session.Profile().MaxValue);
}

}  // namespace
