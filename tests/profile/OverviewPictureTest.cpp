#include "profile/OverviewPicture.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/FloatMap.h"
#include "image/PluginFloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "profile/ProfileSession.h"
#include "tests/host/HostImages.h"

namespace {

constexpr TViewPixel Background = 0x123456;

TViewPixel Expected(const TLinearBitmap& bitmap, TPixelPoint pixel) {
  if (pixel.X < 0 || pixel.X >= bitmap.Width() || pixel.Y < 0 || pixel.Y >= bitmap.Height()) return Background;
  const uint8_t* bytes = bitmap.Row(pixel.Y) + pixel.X * bitmap.PixelSize();
  if (bitmap.PixelFormat() == TPixelFormat::Indexed8) bytes = bitmap.Palette() + 3 * bytes[0];
  return TViewPixel{bytes[0]} | TViewPixel{bytes[1]} << 8 | TViewPixel{bytes[2]} << 16;
}

// Every pixel of the view is the image pixel under its centre, for 8-bit (through the
// palette) and 24-bit images, fitted, zoomed and panned; the marks of a profile and of its
// highlight never show, and the image keeps them.
TEST(OverviewPicture, EveryPixelIsTheCleanImagePixelUnderItsCentre) {
  for (bool gray : {false, true}) {
    THostImageBuffer image =
        gray ? THostImageBuffer::Make8Bit(61, 23, 64, true) : THostImageBuffer::Make24Bit(61, 23, 188);
    const THostImageBuffer clean = THostImageBuffer::CopyOf(image);
    TPluginLinearBitmap bitmap(image.Record());
    const TPluginLinearBitmap cleanBitmap(clean.Record());
    TProfileSession session;
    session.Selection = {3, 2, 50, 20};
    session.Raster.Bitmap = &bitmap;
    session.Rebuild({false, true, 3});
    session.Highlight(17);
    ASSERT_NE(image.Snapshot(), clean.Snapshot());
    const TImageSize size{61, 23};
    for (const TViewSize view : {TViewSize{200, 150}, TViewSize{37, 90}}) {
      const TOverviewView fit = FitView(size, view);
      const TOverviewView zoomed = PanView(ZoomView(fit, size, view, 10, 10, 5.5), size, view, -7.25, 3);
      for (const TOverviewView& shown : {fit, zoomed}) {
        std::vector<TViewPixel> pixels(size_t{1} * view.Width * view.Height);
        session.PaintOverview(shown, view, {}, Background, {pixels.data(), view.Width});
        for (int y = 0; y < view.Height; ++y)
          for (int x = 0; x < view.Width; ++x)
            ASSERT_EQ(pixels[size_t{1} * y * view.Width + x], Expected(cleanBitmap, ImagePixelAt(shown, x, y)))
                << "gray " << gray << " at " << x << ", " << y << " scale " << shown.Scale;
      }
    }
    EXPECT_TRUE(session.RestorePixels());
    EXPECT_EQ(image.Snapshot(), clean.Snapshot());
  }
}

// A map's plane goes from black at its least value to white at its greatest.
TEST(OverviewPicture, AMapsValuesAreStretchedFromBlackToWhite) {
  THostImageBuffer image = THostImageBuffer::MakeComplex(4, 1);
  auto* values = reinterpret_cast<double*>(image.Pixels());
  const double elements[] = {-3, 10, 1, 20, 5, 30, 1, 40};
  std::copy(std::begin(elements), std::end(elements), values);
  const auto map = HostImageToProfileMap(image.Record());
  for (int plane : {0, 1}) {
    const TProfileRaster raster{nullptr, map.get(), plane};
    const TValueStretch stretch = StretchOf(raster);
    EXPECT_EQ(stretch.Least, plane ? 10 : -3);
    EXPECT_EQ(stretch.Greatest, plane ? 40 : 5);
    TViewPixel pixels[4];
    PaintOverview(raster, nullptr, FitView({4, 1}, {4, 1}), {4, 1}, stretch, Background, {pixels, 4});
    const uint8_t levels[2][4] = {{0, 128, 255, 128}, {0, 85, 170, 255}};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(pixels[x], levels[plane][x] * 0x010101u) << plane << " " << x;
  }
}

}  // namespace
