#include "profile/SampleHighlight.h"

#include <vector>

#include "profile/LineWalk.h"
#include "profile/PixelMarker.h"

void MarkHighlight(const TProfileRaster& raster, const TRect& selection, TProfileMode mode, TSamplePoint point,
                   size_t sample) {
  if (!raster.Bitmap) return;
  constexpr int Arm = 3;
  std::vector<TPoint64> middles;
  if (!mode.Integrate) {
    middles.push_back({point.X, point.Y});
  } else if (mode.Direction) {
    const int64_t y = int64_t{selection.Top} + static_cast<int64_t>(sample);
    middles = {{selection.Left, y}, {selection.Right, y}};
  } else {
    const int64_t x = int64_t{selection.Left} + static_cast<int64_t>(sample);
    middles = {{x, selection.Top}, {x, selection.Bottom}};
  }
  TPixelMarker marker(raster);
  marker.Reserve(static_cast<int64_t>(middles.size()) * (4 * Arm + 1));
  for (const TPoint64 middle : middles)
    for (int d = -Arm; d <= Arm; ++d) {
      const uint8_t level = d % 2 == 0 ? 255 : 0;
      marker.MarkLevel(middle.X + d, middle.Y, level);
      if (d != 0) marker.MarkLevel(middle.X, middle.Y + d, level);
    }
}
