// Fuzz entry for sampling: a host bitmap or map of any small shape, any selection (also
// reaching outside the image), either mode and direction, any line width. Sampling reads and
// marks only the host's pixels, gives one value per sample (and across a band one spread),
// and putting the marks back leaves every byte as it was.

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "errors/Exceptions.h"
#include "image/PluginFloatMap.h"
#include "image/PluginLinearBitmap.h"
#include "profile/ProfileSampling.h"
#include "profile/SavedPixels.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

int FuzzSampling(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  THostImage image{};
  image.Width = input.Range(1, 48);
  image.Height = input.Range(1, 48);
  const int32_t formats[] = {hf8Bit, hf24Bit, hfComplex};
  image.PixelFormat = formats[input.Byte() % 3];
  const int pixelSize = image.PixelFormat == hf24Bit ? 3 : image.PixelFormat == hfComplex ? 16 : 1;
  image.BytesPerLine = image.PixelFormat == hfComplex ? image.Width * 16 : image.Width * pixelSize + input.Range(0, 5);
  const size_t bytes = static_cast<size_t>(image.BytesPerLine) * static_cast<size_t>(image.Height);
  TRect selection{};
  selection.Left = input.Range(-8, image.Width + 8);
  selection.Top = input.Range(-8, image.Height + 8);
  selection.Right = selection.Left + input.Range(0, 60);
  selection.Bottom = selection.Top + input.Range(0, 60);
  TProfileMode mode{input.Flag(), input.Flag()};
  const int plane = input.Byte() % 2;
  const int widths[] = {1, 3, 5, 9, 15, 31, 63};
  mode.Width = widths[input.Byte() % 7];

  auto pixels = std::make_unique<uint8_t[]>(bytes);
  size_t rest = 0;
  const uint8_t* fill = input.Rest(rest);
  for (size_t i = 0; i < bytes; ++i) pixels[i] = rest ? fill[i % rest] : static_cast<uint8_t>(i);
  if (image.PixelFormat == hfComplex)
    for (size_t i = 0; i + 8 <= bytes; i += 8) {
      double value;
      std::memcpy(&value, &pixels[i], 8);
      if (value != value) std::memset(&pixels[i], 0, 8);  // keep NaN out of the sums' checks
    }
  image.Pixels = pixels.get();
  const std::vector<uint8_t> before(pixels.get(), pixels.get() + bytes);

  TProfile profile;
  try {
    if (image.PixelFormat == hfComplex) {
      const std::unique_ptr<TComplexMap> map = HostImageToProfileMap(image);
      SampleProfile({nullptr, map.get(), plane, nullptr}, selection, mode, profile);
    } else {
      TPluginLinearBitmap bitmap(image);
      TSavedPixels saved;
      saved.Start();
      SampleProfile({&bitmap, nullptr, 0, &saved}, selection, mode, profile);
      Check(image.PixelFormat != hf24Bit || profile.ProfileRGB.size() == profile.Profile.size());
      saved.Restore();
    }
    if (!mode.Integrate && mode.Width > 1) {
      Check(profile.Spread.size() == profile.Profile.size());
      Check(profile.SpreadRGB.size() == profile.ProfileRGB.size());
    }
  } catch (const Exception&) {
  }
  Check(std::memcmp(pixels.get(), before.data(), bytes) == 0);
  return 0;
}
