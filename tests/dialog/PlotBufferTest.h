#pragma once
// The plot drawn into a back buffer and read back pixel by pixel: the colours it draws
// with, and a fixture that holds the profile and paints it.

#include <gtest/gtest.h>

#include <vector>

#include "dialog/ProfilePlot_win.h"
#include "ui/DIBitmap.h"

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Gray = RGB(128, 128, 128);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 128, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

class ProfilePlotTest : public ::testing::Test {
 protected:
  void Paint(int width, int height) {
    FBuffer.SetPixelFormat(TPixelFormat::Bgrx32);
    FBuffer.SetSize(width, height);
    FData.Profile = FProfile;
    FData.ProfileRGB = FProfileRGB;
    PaintProfile(FBuffer.Canvas(), width, height, FData);
  }
  COLORREF At(int x, int y) const {
    const uint8_t* pixel = FBuffer.ScanLine(y) + 4 * x;
    return RGB(pixel[2], pixel[1], pixel[0]);
  }
  int CountInRow(int y, COLORREF color) const {
    int count = 0;
    for (int x = 0; x < FBuffer.Width(); ++x) count += At(x, y) == color;
    return count;
  }
  int CountIn(const RECT& rect, COLORREF color) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x) count += At(x, y) == color;
    return count;
  }
  // A 24-bit profile of constant channels.
  void ConstantColors(size_t count, TColorSample sample) {
    FProfileRGB.assign(count, sample);
    FProfile.assign(count, (2 * sample.R + 3 * sample.G + sample.B) / 6);
    FData.MaxValue = 255;
  }

  const COLORREF FBackground = GetSysColor(COLOR_BTNFACE);
  TDIBitmap FBuffer;
  std::vector<double> FProfile;
  std::vector<TColorSample> FProfileRGB;
  TProfilePlotData FData;
};
