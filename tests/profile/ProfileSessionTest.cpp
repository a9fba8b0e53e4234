#include "profile/ProfileSession.h"

#include <gtest/gtest.h>

#include <cstring>
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

// The session keeps the marked pixels only, however large the image, and puts every byte
// back where marks overlap (a selection one pixel wide marks pixels twice) or fall outside.
TEST(ProfileSession, KeepsOnlyTheMarkedPixelsAndPutsEveryByteBack) {
  const TRect selections[] = {{4, 3, 4, 40}, {0, 5, 60, 5}, {-3, -2, 70, 50}, {5, 1, 6, 2}, {63, 47, 63, 47}};
  for (int format = 0; format < 3; ++format) {
    THostBitmap host(format == 0   ? THostImageBuffer::Make24Bit(64, 48, 197)
                     : format == 1 ? THostImageBuffer::Make8Bit(64, 48)
                                   : THostImageBuffer::Make8Bit(128, 48));
    TLinearBitmap words;
    if (format == 2) {
      // The 8-bit host bytes seen as a 16-bit gray bitmap: two bytes a mark.
      words.New(64, 48, TPixelFormat::Gray16);
      std::memcpy(words.Map(), host.Image.Pixels(), host.Image.ByteCount());
    }
    TLinearBitmap& bitmap = format == 2 ? words : static_cast<TLinearBitmap&>(host.Bitmap);
    const std::vector<uint8_t> clean(bitmap.Map(), bitmap.Map() + bitmap.Size());
    for (const TRect& selection : selections) {
      TProfileSession session;
      session.Selection = selection;
      session.Raster.Bitmap = &bitmap;
      for (TProfileMode mode : {TProfileMode{false, false}, TProfileMode{false, true}, TProfileMode{true, false},
                                TProfileMode{true, true}}) {
        session.Rebuild(mode);
        const size_t samples = session.Profile().Profile.size();
        EXPECT_LE(session.SavedPixelCount(), mode.Integrate ? 4 * samples : samples);
        // The marks of the selection reaching outside on every side fall outside in integrate mode.
        if (selection.Left >= 0 || !mode.Integrate) {
          EXPECT_GT(session.SavedPixelCount(), 0u);
        }
      }
      EXPECT_TRUE(session.RestorePixels());
      ASSERT_EQ(std::vector<uint8_t>(bitmap.Map(), bitmap.Map() + bitmap.Size()), clean)
          << "format " << format << " selection " << selection.Left << "," << selection.Top;
    }
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
