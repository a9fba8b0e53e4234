// The framed panels on a shown form: the buffer's size and place for the bevel cases, its
// copy to the screen, no erasing, and the styled-form rule of the theme background.

#include <gtest/gtest.h>

#include "ui/PanelFrame.h"
#include "ui/StyleForm.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);

class PanelFrame : public ::testing::Test {
 protected:
  TDoubleBufferedPanel* Place(TBevelCut outer, TBevelCut inner, int bevelWidth) {
    auto* panel = new TDoubleBufferedPanel(FForm.get());
    panel->BevelOuter = outer;
    panel->BevelInner = inner;
    panel->BevelWidth = bevelWidth;
    panel->SetBounds({10, 10, 61, 43});
    panel->SetParent(FForm.get());
    return panel;
  }
  // What the screen shows at a point of the panel, after it painted.
  COLORREF Shown(TDoubleBufferedPanel& panel, int x, int y) {
    panel.Repaint();
    TWindowDc dc(panel.Handle());
    return GetPixel(dc.Get(), x, y);
  }

  std::unique_ptr<TStyleForm> FForm = CreateForm<TStyleForm>(nullptr, nullptr);
};

TEST_F(PanelFrame, WithoutBevelsTheBufferIsThePanel) {
  FForm->Show();
  auto* panel = Place(bvNone, bvNone, 1);
  EXPECT_EQ(panel->Inset(), 0);
  EXPECT_EQ(panel->Buffer().Width(), 61);
  EXPECT_EQ(panel->Buffer().Height(), 43);
  ASSERT_NE(panel->BufferCanvas(), nullptr);
  panel->BufferCanvas()->SetBrushColor(Red);
  panel->BufferCanvas()->FillRect({0, 0, 61, 43});
  EXPECT_EQ(Shown(*panel, 0, 0), Red);
  EXPECT_EQ(Shown(*panel, 60, 42), Red);
}

TEST_F(PanelFrame, ARaisedOuterBevelOfWidthTwoInsetsTheBufferByFour) {
  FForm->Show();
  auto* panel = Place(bvRaised, bvNone, 2);
  EXPECT_EQ(panel->Inset(), 4);
  EXPECT_EQ(panel->Buffer().Width(), 57);
  EXPECT_EQ(panel->Buffer().Height(), 39);
  panel->BufferCanvas()->SetBrushColor(Red);
  panel->BufferCanvas()->FillRect({0, 0, 57, 39});
  int painted = 0;
  panel->OnPaint = [&](TComponent* sender) {
    EXPECT_EQ(sender, panel);
    ++painted;
  };
  EXPECT_EQ(Shown(*panel, 2, 2), Red);
  EXPECT_EQ(Shown(*panel, 58, 40), Red);
  EXPECT_EQ(Shown(*panel, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Shown(*panel, 60, 42), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_GT(painted, 0);
}

// Until its owner draws again the panel shows what it showed, not black.
TEST_F(PanelFrame, AResizeKeepsTheBuffersPixelsAndTheNewPartStartsBlack) {
  FForm->Show();
  auto* panel = Place(bvNone, bvNone, 1);
  panel->BufferCanvas()->SetBrushColor(Red);
  panel->BufferCanvas()->FillRect({0, 0, 61, 43});
  panel->SetBounds({10, 10, 81, 53});
  ASSERT_EQ(panel->Buffer().Width(), 81);
  EXPECT_EQ(Shown(*panel, 0, 0), Red);
  EXPECT_EQ(Shown(*panel, 60, 42), Red);
  EXPECT_EQ(Shown(*panel, 61, 20), RGB(0, 0, 0));
  EXPECT_EQ(Shown(*panel, 30, 43), RGB(0, 0, 0));
  panel->SetBounds({10, 10, 31, 23});
  panel->SetBounds({10, 10, 81, 53});
  EXPECT_EQ(Shown(*panel, 30, 22), Red);
  EXPECT_EQ(Shown(*panel, 31, 22), RGB(0, 0, 0));
}

TEST_F(PanelFrame, TwoBevelsInsetTwiceAndResizeComesBeforeTheOwnersEvent) {
  auto* panel = Place(bvLowered, bvRaised, 1);
  EXPECT_EQ(panel->Inset(), 4);
  int bufferWidthSeen = 0;
  panel->OnResize = [&](TComponent*) { bufferWidthSeen = panel->Buffer().Width(); };
  panel->SetWidth(81);
  EXPECT_EQ(bufferWidthSeen, 77);
}

TEST_F(PanelFrame, TheBackgroundIsNeverErased) {
  auto* panel = Place(bvNone, bvNone, 1);
  TWindowDc dc(panel->Handle());
  EXPECT_EQ(SendMessageA(panel->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0), 0);
}

TEST_F(PanelFrame, OnlyAStyledFormParentRendersItsBackground) {
  auto* onStyled = Place(bvNone, bvNone, 1);
  onStyled->SetRenderThemeBackground(true);
  EXPECT_TRUE(onStyled->RenderThemeBackground());
  onStyled->SetRenderThemeBackground(false);
  EXPECT_FALSE(onStyled->RenderThemeBackground());

  TForm plain(nullptr);
  auto* onPlain = new TPanelFrame(&plain);
  onPlain->SetParent(&plain);
  onPlain->SetRenderThemeBackground(true);
  EXPECT_FALSE(onPlain->RenderThemeBackground());
}

}  // namespace
