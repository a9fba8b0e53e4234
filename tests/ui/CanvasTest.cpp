#include "ui/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "ui/DIBitmap.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Green = RGB(0, 128, 0);

// A white 32-bit bitmap whose pixels the tests read straight from memory.
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
  // The pixels of the bitmap that have the colour, as a bounding rectangle.
  RECT BoundsOf(COLORREF color) const {
    RECT bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < FBitmap.Height(); ++y)
      for (int x = 0; x < FBitmap.Width(); ++x)
        if (At(x, y) == color) {
          bounds = RECT{std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                        std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
        }
    return bounds;
  }
  int CountOf(COLORREF color) const {
    int count = 0;
    for (int y = 0; y < FBitmap.Height(); ++y)
      for (int x = 0; x < FBitmap.Width(); ++x) count += At(x, y) == color;
    return count;
  }

  TDIBitmap FBitmap;
};

void ExpectRect(const RECT& actual, const RECT& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST_F(CanvasTest, FillAndFrameUseTheBrushColourAndNothingWithAClearBrush) {
  Canvas().SetBrushColor(Red);
  Canvas().FillRect(RECT{3, 4, 9, 7});
  ExpectRect(BoundsOf(Red), RECT{3, 4, 9, 7});
  EXPECT_EQ(CountOf(Red), 6 * 3);

  Canvas().SetBrushColor(Blue);
  Canvas().FrameRect(RECT{10, 10, 20, 16});
  ExpectRect(BoundsOf(Blue), RECT{10, 10, 20, 16});
  EXPECT_EQ(CountOf(Blue), 2 * 10 + 2 * 4);
  EXPECT_EQ(At(15, 13), White);

  Canvas().SetBrushStyle(TBrushStyle::Clear);
  Canvas().FillRect(RECT{0, 0, 40, 30});
  Canvas().FrameRect(RECT{0, 0, 40, 30});
  EXPECT_EQ(CountOf(Red), 18);
  EXPECT_EQ(At(0, 0), White);
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPointAndTakeThePenColourOfTheirTime) {
  Canvas().SetPenColor(Red);
  Canvas().MoveTo(2, 5);
  Canvas().LineTo(12, 5);
  Canvas().SetPenColor(Blue);
  Canvas().LineTo(12, 9);
  ExpectRect(BoundsOf(Red), RECT{2, 5, 12, 6});
  ExpectRect(BoundsOf(Blue), RECT{12, 5, 13, 9});

  const POINT points[] = {{20, 20}, {25, 20}, {25, 25}};
  Canvas().SetPenColor(Green);
  Canvas().Polyline(points, 3);
  EXPECT_EQ(CountOf(Green), 5 + 5);
  EXPECT_EQ(At(25, 25), White);
}

TEST_F(CanvasTest, PenIsRecreatedOnlyWhenItsColourChanges) {
  const HDC dc = Canvas().Handle();
  Canvas().SetPenColor(Red);
  Canvas().LineTo(1, 1);
  const HGDIOBJ first = GetCurrentObject(dc, OBJ_PEN);
  Canvas().SetPenColor(Red);
  Canvas().LineTo(2, 2);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), first);
  Canvas().SetPenColor(Blue);
  Canvas().LineTo(3, 3);
  EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), first);
}

TEST_F(CanvasTest, PixelsAndBlockCopies) {
  Canvas().SetPixel(7, 3, Green);
  EXPECT_EQ(At(7, 3), Green);
  EXPECT_EQ(Canvas().Pixel(7, 3), Green);

  TDIBitmap source;
  source.SetPixelFormat(TPixelFormat::Bgr24);
  source.SetSize(4, 3);
  source.Canvas().SetBrushColor(Blue);
  source.Canvas().FillRect(RECT{0, 0, 4, 3});
  source.Canvas().SetPixel(0, 0, Red);
  Canvas().Draw(20, 10, source.Canvas(), RECT{0, 0, 4, 3});
  EXPECT_EQ(At(20, 10), Red);
  ExpectRect(BoundsOf(Blue), RECT{20, 10, 24, 13});

  Canvas().StretchDraw(RECT{0, 20, 8, 26}, source.Canvas(), RECT{0, 0, 4, 3});
  EXPECT_EQ(At(1, 21), Red);
  EXPECT_EQ(At(2, 20), Blue);
  EXPECT_EQ(At(0, 22), Blue);
  EXPECT_EQ(At(7, 25), Blue);
  EXPECT_EQ(At(8, 25), White);
}

TEST_F(CanvasTest, ClipRectBoundsDrawing) {
  ExpectRect(Canvas().ClipRect(), RECT{0, 0, 40, 30});
  Canvas().SetClipRect(RECT{5, 5, 10, 10});
  ExpectRect(Canvas().ClipRect(), RECT{5, 5, 10, 10});
  Canvas().SetBrushColor(Red);
  Canvas().FillRect(RECT{0, 0, 40, 30});
  ExpectRect(BoundsOf(Red), RECT{5, 5, 10, 10});
  Canvas().ResetClipRect();
  ExpectRect(Canvas().ClipRect(), RECT{0, 0, 40, 30});
}

TEST_F(CanvasTest, TextIsTransparentOnlyWithAClearBrush) {
  EXPECT_EQ(Canvas().FontHeight(), -ScreenFontHeight(8));
  const SIZE extent = Canvas().TextExtent("Wg");
  EXPECT_GT(extent.cx, 4);
  EXPECT_GE(extent.cy, ScreenFontHeight(8));

  Canvas().SetFontColor(Blue);
  Canvas().SetBrushColor(Red);
  Canvas().TextOut(2, 2, "Wg");
  ExpectRect(BoundsOf(Red), RECT{2, 2, 2 + extent.cx, 2 + extent.cy});
  EXPECT_GT(CountOf(Blue), 0);

  SetUp();
  Canvas().SetBrushColor(Red);
  Canvas().SetBrushStyle(TBrushStyle::Clear);
  Canvas().TextOut(2, 2, "Wg");
  EXPECT_EQ(CountOf(Red), 0);
  EXPECT_GT(CountOf(Blue), 0);
}

TEST_F(CanvasTest, FontByNameAndHeight) {
  Canvas().SetFont("Arial", -20);
  EXPECT_EQ(Canvas().FontHeight(), -20);
  const SIZE large = Canvas().TextExtent("W");
  Canvas().SetFont("Arial", -10);
  EXPECT_LT(Canvas().TextExtent("W").cy, large.cy);
}

}  // namespace
