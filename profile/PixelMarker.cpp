#include "profile/PixelMarker.h"

void TPixelMarker::Reserve(int64_t marks) {
  const int64_t pixels = int64_t{FBitmap.Width()} * FBitmap.Height();
  if (FSaved) FSaved->Reserve(static_cast<size_t>(std::clamp<int64_t>(marks, 0, pixels)));
}

void TPixelMarker::MarkAlongLines(bool byRows, const int64_t (&along)[4], int first, int last, uint8_t level) {
  const ptrdiff_t lineStep = byRows ? FBitmap.BytesPerLine() : FBitmap.PixelSize();
  const ptrdiff_t alongStep = byRows ? FBitmap.PixelSize() : FBitmap.BytesPerLine();
  const int64_t size = byRows ? FBitmap.Width() : FBitmap.Height();
  ptrdiff_t offsets[4];
  int count = 0;
  for (const int64_t position : along)
    if (position >= 0 && position < size) offsets[count++] = static_cast<ptrdiff_t>(position) * alongStep;
  uint8_t* line = FBitmap.Map() + static_cast<ptrdiff_t>(first) * lineStep;
  for (int i = first; i <= last; ++i, line += lineStep, ++level)
    for (int k = 0; k < count; ++k) MarkPixel(line + offsets[k], level);
}
