#include "profile/OverviewPicture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "image/FloatMap.h"
#include "profile/RasterKind.h"
#include "profile/SavedPixels.h"

namespace {

constexpr int StretchGrid = 512;

TViewPixel Bgr(uint8_t blue, uint8_t green, uint8_t red) noexcept {
  return TViewPixel{blue} | TViewPixel{green} << 8 | TViewPixel{red} << 16;
}

// The image pixel under the centre of each view pixel along one direction, -1 before the
// image and `extent` after it: never decreasing.
std::vector<int> PixelsAlong(double first, double scale, int count, int extent) {
  std::vector<int> pixels(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    const double position = std::floor(first + (i + 0.5) / scale);
    pixels[i] = position < 0 ? -1 : position >= extent ? extent : static_cast<int>(position);
  }
  return pixels;
}

bool Inside(int pixel, int extent) noexcept { return pixel >= 0 && pixel < extent; }

struct TViewGrid {
  std::vector<int> Columns, Rows;
};

TViewGrid GridOf(const TOverviewView& view, TViewSize size, TImageSize image) {
  return {PixelsAlong(view.Left, view.Scale, size.Width, image.Width),
          PixelsAlong(view.Top, view.Scale, size.Height, image.Height)};
}

// The view pixels whose centre lies over image pixel `pixel` along one direction.
std::pair<size_t, size_t> ViewSpan(const std::vector<int>& pixels, int pixel) {
  const auto [first, last] = std::equal_range(pixels.begin(), pixels.end(), pixel);
  return {static_cast<size_t>(first - pixels.begin()), static_cast<size_t>(last - pixels.begin())};
}

std::array<TViewPixel, 256> PaletteColors(const uint8_t* palette) {
  std::array<TViewPixel, 256> colors{};
  for (int i = 0; i < 256; ++i) colors[i] = Bgr(palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
  return colors;
}

// A bitmap's pixel from its bytes: an 8-bit index through the palette, 16-bit gray by its
// high byte, else blue, green, red.
struct TPixelColor {
  std::array<TViewPixel, 256> Palette{};
  TPixelFormat Format;

  explicit TPixelColor(const TLinearBitmap& bitmap) : Format(bitmap.PixelFormat()) {
    if (Format == TPixelFormat::Indexed8) Palette = PaletteColors(bitmap.Palette());
  }
  TViewPixel operator()(const uint8_t* bytes) const noexcept {
    if (Format == TPixelFormat::Indexed8) return Palette[bytes[0]];
    if (Format == TPixelFormat::Gray16) return Bgr(bytes[1], bytes[1], bytes[1]);
    return Bgr(bytes[0], bytes[1], bytes[2]);
  }
};

// One pointer walk a row: the row's address once, then a byte offset a view column.
template <class TColorOf>
void PaintRows(const TLinearBitmap& bitmap, const TViewGrid& grid, TViewPixel background, TColorOf colorOf,
               const TViewTarget& target) {
  const size_t width = grid.Columns.size();
  std::vector<ptrdiff_t> offsets(width);
  for (size_t x = 0; x < width; ++x)
    offsets[x] = Inside(grid.Columns[x], bitmap.Width()) ? ptrdiff_t{grid.Columns[x]} * bitmap.PixelSize() : -1;
  for (size_t y = 0; y < grid.Rows.size(); ++y) {
    TViewPixel* out = target.Row(y);
    if (!Inside(grid.Rows[y], bitmap.Height())) {
      std::fill(out, out + width, background);
      continue;
    }
    const uint8_t* row = bitmap.Row(grid.Rows[y]);
    for (size_t x = 0; x < width; ++x) out[x] = offsets[x] < 0 ? background : colorOf(row + offsets[x]);
  }
}

// Each kept pixel's first bytes drawn where the view shows that pixel.
void PaintKeptPixels(const TLinearBitmap& bitmap, const TSavedPixels& saved, const TViewGrid& grid,
                     const TPixelColor& colorOf, const TViewTarget& target) {
  const uint8_t* origin = bitmap.Row(0);
  const ptrdiff_t stride = bitmap.BytesPerLine();
  saved.VisitNewestFirst([&](const uint8_t* pixel, const uint8_t* bytes) {
    const ptrdiff_t offset = pixel - origin;
    const ptrdiff_t y = offset / stride, x = offset % stride / bitmap.PixelSize();
    const auto [left, right] = ViewSpan(grid.Columns, static_cast<int>(x));
    const auto [top, bottom] = ViewSpan(grid.Rows, static_cast<int>(y));
    const TViewPixel color = colorOf(bytes);
    for (size_t row = top; row < bottom; ++row)
      std::fill(target.Row(row) + left, target.Row(row) + right, color);
  });
}

uint8_t Level(double value, const TValueStretch& stretch) noexcept {
  if (!(stretch.Greatest > stretch.Least)) return 128;
  const double level = (value - stretch.Least) / (stretch.Greatest - stretch.Least) * 255;
  return static_cast<uint8_t>(std::clamp(std::lround(level), 0L, 255L));
}

void PaintMap(const TComplexMap& map, int component, const TViewGrid& grid, const TValueStretch& stretch,
              TViewPixel background, const TViewTarget& target) {
  for (size_t y = 0; y < grid.Rows.size(); ++y) {
    TViewPixel* out = target.Row(y);
    for (size_t x = 0; x < grid.Columns.size(); ++x) {
      if (!Inside(grid.Rows[y], map.Height()) || !Inside(grid.Columns[x], map.Width())) {
        out[x] = background;
        continue;
      }
      const uint8_t level = Level(map.Element(grid.Columns[x], grid.Rows[y])[component], stretch);
      out[x] = Bgr(level, level, level);
    }
  }
}

}  // namespace

TImageSize ImageSizeOf(const TProfileRaster& raster) noexcept {
  if (raster.Bitmap) return {raster.Bitmap->Width(), raster.Bitmap->Height()};
  if (raster.Map) return {raster.Map->Width(), raster.Map->Height()};
  return {0, 0};
}

TValueStretch StretchOf(const TProfileRaster& raster) noexcept {
  if (!raster.Map || raster.Map->Width() <= 0 || raster.Map->Height() <= 0) return {};
  const TComplexMap& map = *raster.Map;
  const int component = ComponentOf(raster);
  const int columns = std::min(map.Width(), StretchGrid), rows = std::min(map.Height(), StretchGrid);
  TValueStretch stretch{INFINITY, -INFINITY};
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i) {
      const double value = map.Element(static_cast<int>(int64_t{i} * map.Width() / columns),
                                       static_cast<int>(int64_t{j} * map.Height() / rows))[component];
      if (!std::isfinite(value)) continue;
      stretch.Least = std::min(stretch.Least, value);
      stretch.Greatest = std::max(stretch.Greatest, value);
    }
  return stretch.Least <= stretch.Greatest ? stretch : TValueStretch{};
}

void PaintOverview(const TProfileRaster& raster, const TSavedPixels* kept, const TOverviewView& view, TViewSize size,
                   const TValueStretch& stretch, TViewPixel background, const TViewTarget& target) {
  if (size.Width <= 0 || size.Height <= 0) return;
  const TViewGrid grid = GridOf(view, size, ImageSizeOf(raster));
  if (raster.Map) return PaintMap(*raster.Map, ComponentOf(raster), grid, stretch, background, target);
  const TLinearBitmap& bitmap = *raster.Bitmap;
  const TPixelColor colorOf(bitmap);
  if (colorOf.Format == TPixelFormat::Indexed8)
    PaintRows(bitmap, grid, background, [&colorOf](const uint8_t* p) { return colorOf.Palette[*p]; }, target);
  else if (colorOf.Format == TPixelFormat::Bgr24 || colorOf.Format == TPixelFormat::Bgrx32)
    PaintRows(bitmap, grid, background, [](const uint8_t* p) { return Bgr(p[0], p[1], p[2]); }, target);
  else
    PaintRows(bitmap, grid, background, colorOf, target);
  if (kept) PaintKeptPixels(bitmap, *kept, grid, colorOf, target);
}
