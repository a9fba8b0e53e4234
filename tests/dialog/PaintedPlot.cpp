#include "tests/dialog/PaintedPlot.h"

#include "dialog/ProfilePlot_win.h"
#include "ui/DIBitmap.h"

std::vector<uint32_t> PaintedPlot(const TProfilePlotData& data, int width, int height) {
  TDIBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::Bgrx32);
  bitmap.SetSize(width, height);
  PaintProfile(bitmap.Canvas(), width, height, data);
  std::vector<uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(*reinterpret_cast<const uint32_t*>(bitmap.ScanLine(y) + 4 * x) & 0xFFFFFF);
  return pixels;
}
