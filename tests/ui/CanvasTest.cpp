#include "ui/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "ui/DIBitmap.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

// A white 40 x 30 bitmap whose pixels the tests read straight from memory.
class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FBitmap.SetPixelFormat(TPixelFormat::Bgrx32);
    FBitmap.SetSize(40, 30);
    Canvas().SetBrushColor(White);
    Canvas().FillRect(RECT{0, 0, 40, 30});
  }
  TCanvas& Canvas() { return FBitmap.Canvas(); }
  COLORREF At(int x, int y) const {
    const uint8_t* pixel = FBitmap.ScanLine(y) + 4 * x;
    return RGB(pixel[2], pixel[1], pixel[0]);
  }
  // The bounding rectangle and the number of the pixels in the colour.
  std::pair<RECT, int> Find(COLORREF color) const {
    RECT bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    int count = 0;
    for (int y = 0; y < FBitmap.Height(); ++y)
      for (int x = 0; x < FBitmap.Width(); ++x) {
        if (At(x, y) != color) continue;
        ++count;
        bounds = RECT{std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                      std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
      }
    return {bounds, count};
  }
  bool Covers(COLORREF color, const RECT& rect, int count) const {
    const auto [bounds, found] = Find(color);
    return Same(bounds, rect) && found == count;
  }
  static bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b); }

  TDIBitmap FBitmap;
};

TEST_F(CanvasTest, FillAndFrameInTheBrushColourAndNothingWithAClearBrush) {
  Canvas().SetBrushColor(Red);
  Canvas().FillRect(RECT{3, 4, 9, 7});
  EXPECT_TRUE(Covers(Red, RECT{3, 4, 9, 7}, 6 * 3));
  Canvas().SetBrushColor(Blue);
  Canvas().FrameRect(RECT{10, 10, 20, 16});
  EXPECT_TRUE(Covers(Blue, RECT{10, 10, 20, 16}, 2 * 10 + 2 * 4));

  Canvas().SetBrushStyle(TBrushStyle::Clear);
  Canvas().FillRect(RECT{0, 0, 40, 30});
  Canvas().FrameRect(RECT{0, 0, 40, 30});
  EXPECT_TRUE(Covers(Blue, RECT{10, 10, 20, 16}, 28));
  EXPECT_EQ(At(0, 0), White);
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndAndRecreateThePenOnlyForANewColour) {
  const HDC dc = Canvas().Handle();
  Canvas().SetPenColor(Red);
  Canvas().MoveTo(2, 5);
  Canvas().LineTo(12, 5);
  const HGDIOBJ redPen = GetCurrentObject(dc, OBJ_PEN);
  Canvas().SetPenColor(Red);
  Canvas().LineTo(12, 6);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), redPen);
  EXPECT_TRUE(Covers(Red, RECT{2, 5, 13, 6}, 11));

  Canvas().SetPenColor(Blue);
  const POINT points[] = {{20, 20}, {25, 20}, {25, 25}};
  Canvas().Polyline(points, 3);
  EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), redPen);
  EXPECT_TRUE(Covers(Blue, RECT{20, 20, 26, 25}, 10));
}

TEST_F(CanvasTest, PixelsBlockCopiesAndClipping) {
  TDIBitmap source;
  source.SetSize(4, 3);
  source.Canvas().SetBrushColor(Blue);
  source.Canvas().FillRect(RECT{0, 0, 4, 3});
  source.Canvas().SetPixel(0, 0, Red);
  EXPECT_EQ(source.Canvas().Pixel(0, 0), Red);
  Canvas().Draw(20, 10, source.Canvas(), RECT{0, 0, 4, 3});
  EXPECT_TRUE(Covers(Blue, RECT{20, 10, 24, 13}, 11));
  Canvas().StretchDraw(RECT{0, 20, 8, 26}, source.Canvas(), RECT{0, 0, 4, 3});
  EXPECT_TRUE(Covers(Red, RECT{0, 10, 21, 22}, 1 + 4));

  EXPECT_TRUE(Same(Canvas().ClipRect(), RECT{0, 0, 40, 30}));
  Canvas().SetClipRect(RECT{5, 5, 10, 10});
  Canvas().SetBrushColor(Red);
  Canvas().FillRect(RECT{0, 0, 40, 30});
  EXPECT_EQ(Find(Red).second, 5 + 25);
  Canvas().ResetClipRect();
  EXPECT_TRUE(Same(Canvas().ClipRect(), RECT{0, 0, 40, 30}));
}

TEST_F(CanvasTest, TextIsOnTheBrushColourOrTransparent) {
  EXPECT_EQ(Canvas().FontHeight(), -ScreenFontHeight(8));
  const SIZE extent = Canvas().TextExtent("Wg");
  EXPECT_GE(extent.cy, ScreenFontHeight(8));
  Canvas().SetFontColor(Blue);
  Canvas().SetBrushColor(Red);
  Canvas().TextOut(2, 2, "Wg");
  EXPECT_TRUE(Same(Find(Red).first, RECT{2, 2, 2 + extent.cx, 2 + extent.cy}));
  EXPECT_GT(Find(Blue).second, 0);

  SetUp();
  Canvas().SetBrushColor(Red);
  Canvas().SetBrushStyle(TBrushStyle::Clear);
  Canvas().SetFont("Arial", -20);
  Canvas().TextOut(2, 2, "Wg");
  EXPECT_EQ(Find(Red).second, 0);
  EXPECT_GT(Find(Blue).first.bottom, 2 + extent.cy);
}

}  // namespace
