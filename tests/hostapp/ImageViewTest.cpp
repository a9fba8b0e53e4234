#include "host/ImageView.h"

#include <gtest/gtest.h>

#include "platform/Handles.h"

namespace {

class ImageViewTest : public ::testing::Test {
 protected:
  ImageViewTest()
      : FParent(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr)),
        FView(FParent.Get()) {
    FDocument.Bitmap = THostBitmap(50, 40, hf24Bit);
    MoveWindow(FView.Handle(), 0, 0, 120, 100, TRUE);
    FView.SetDocument(&FDocument);
    FView.OnSelectionChanged = [this] { ++FChanges; };
  }

  void Mouse(UINT message, int x, int y) { SendMessageA(FView.Handle(), message, MK_LBUTTON, MAKELPARAM(x, y)); }

  void Drag(int x0, int y0, int x1, int y1) {
    Mouse(WM_LBUTTONDOWN, x0, y0);
    Mouse(WM_MOUSEMOVE, x1, y1);
    Mouse(WM_LBUTTONUP, x1, y1);
  }

  TWindowHandle FParent;
  TImageView FView;
  TDocument FDocument;
  int FChanges = 0;
};

}  // namespace

TEST_F(ImageViewTest, DragSelectsInclusivePixelsAndAClickClears) {
  Drag(5, 6, 20, 15);
  EXPECT_EQ(FDocument.Selection, (TRect{5, 6, 20, 15}));
  Drag(30, 30, 2, 90);  // up and left, and out past the image's bottom
  EXPECT_EQ(FDocument.Selection, (TRect{2, 30, 30, 39}));
  EXPECT_GT(FChanges, 0);
  Drag(8, 8, 8, 8);
  EXPECT_EQ(FDocument.Selection, NoSelection);
}

TEST_F(ImageViewTest, DragCountsFromTheScrolledOrigin) {
  FDocument.Bitmap = THostBitmap(400, 300, hf24Bit);
  FView.SetDocument(&FDocument);
  SendMessageA(FView.Handle(), WM_HSCROLL, SB_LINEDOWN, 0);
  SendMessageA(FView.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(FView.Handle(), SB_VERT, &info);
  ASSERT_GT(info.nPos, 0);
  Drag(1, 2, 3, 4);
  EXPECT_EQ(FDocument.Selection, (TRect{1 + 16, 2 + info.nPos, 3 + 16, 4 + info.nPos}));
}

// The view draws the memory as it is: row 0 at the top, blue-green-red bytes, palette indices.
TEST_F(ImageViewTest, ShowsThePixelsOfTheMemory) {
  uint8_t* pixel = FDocument.Bitmap.Row(3) + 3 * 7;
  pixel[0] = 10, pixel[1] = 20, pixel[2] = 200;
  FView.Refresh();
  const TWindowDc dc(FView.Handle());
  EXPECT_EQ(GetPixel(dc.Get(), 7, 3), RGB(200, 20, 10));
  EXPECT_EQ(GetPixel(dc.Get(), 7, 2), RGB(0, 0, 0));

  TDocument indexed;
  indexed.Bitmap = THostBitmap(9, 5, hf8Bit);
  std::vector<uint8_t> palette(PaletteBytes, 0);
  palette[3 * 4 + 0] = 30, palette[3 * 4 + 1] = 60, palette[3 * 4 + 2] = 90;
  indexed.Bitmap.SetPalette(palette);
  indexed.Bitmap.Row(4)[8] = 4;
  FView.SetDocument(&indexed);
  FView.Refresh();
  EXPECT_EQ(GetPixel(dc.Get(), 8, 4), RGB(90, 60, 30));
  FView.SetDocument(nullptr);
}
