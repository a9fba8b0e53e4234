// The styled caption on real windows: its colours and font, its rectangles per border
// style, the classic painter read back pixel by pixel, the themed painter against a theme
// of plain colours, and the messages that reach it only while styling is on.

#include "ui/StyleCaption.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/StyleForm.h"

namespace {

enum : int { Caption = 1, CloseButton = 18, MaxButton = 17, MinButton = 15 };
enum : int { Active = 1, Inactive = 2 };

struct TDrawnPart {
  int Part;
  int State;
  RECT Rect;
};

// Captions in plain colours: the active one, the inactive one, and buttons in red.
class TFakeTheme final : public TCaptionTheme {
 public:
  bool On = true;
  int Asked = 0;
  COLORREF ActiveColor = RGB(200, 60, 30);
  COLORREF InactiveColor = RGB(100, 150, 200);
  std::vector<TDrawnPart> Parts;

  bool Enabled() noexcept override {
    ++Asked;
    return On;
  }
  void DrawPart(HWND, HDC dc, int part, int state, const RECT& rect) noexcept override {
    Parts.push_back({part, state, rect});
    const bool caption = part == Caption || part == 5;
    const TBrushHandle brush(
        CreateSolidBrush(caption ? (state == Active ? ActiveColor : InactiveColor) : RGB(255, 0, 0)));
    FillRect(dc, &rect, brush.Get());
  }
  const TDrawnPart* LastStrip() const {
    for (auto part = Parts.rbegin(); part != Parts.rend(); ++part)
      if (part->Rect.left == -64) return &*part;
    return nullptr;
  }
};

constexpr COLORREF Untouched = RGB(1, 2, 3);

class StyleCaption : public ::testing::Test {
 protected:
  void SetUp() override {
    FWasEnabled = StylingEnabled;
    StylingEnabled = true;
    DiscardGraySheet();
    SetCaptionTheme(&Theme);
  }
  void TearDown() override {
    SetCaptionTheme(nullptr);
    DiscardGraySheet();
    StylingEnabled = FWasEnabled;
  }

  static std::unique_ptr<TStyleForm> MakeForm(TBorderStyle border, TBorderIcons icons, const char* caption = "") {
    return CreateForm<TStyleForm>(
        nullptr, TFormDescription{.Caption = caption, .Bounds = {40, 40, 400, 200}, .BorderStyle = border,
                                  .BorderIcons = icons});
  }

  // A bitmap as large as the form's window, in a colour no painter uses.
  static std::unique_ptr<TDIBitmap> Target(const TStyleForm& form) {
    RECT window;
    GetWindowRect(form.Handle(), &window);
    auto target = std::make_unique<TDIBitmap>();
    target->SetPixelFormat(TPixelFormat::Bgrx32);
    target->SetSize(window.right - window.left, window.bottom - window.top);
    target->Canvas().SetBrushColor(Untouched);
    target->Canvas().FillRect({0, 0, target->Width(), target->Height()});
    return target;
  }

  TFakeTheme Theme;

 private:
  bool FWasEnabled = false;
};

int WindowWidth(const TStyleForm& form) {
  RECT window;
  GetWindowRect(form.Handle(), &window);
  return window.right - window.left;
}

bool AnyPixel(const TDIBitmap& bitmap, const RECT& rect, const std::function<bool(COLORREF)>& match) {
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x)
      if (match(bitmap.Canvas().Pixel(x, y))) return true;
  return false;
}

TEST(CaptionFont, KeepsWhatAFontObjectKeeps) {
  LOGFONTA metrics{};
  metrics.lfHeight = -13;
  metrics.lfWeight = 700;
  metrics.lfItalic = 1;
  metrics.lfUnderline = 2;
  metrics.lfStrikeOut = 1;
  metrics.lfCharSet = EASTEUROPE_CHARSET;
  metrics.lfPitchAndFamily = 0x31;
  metrics.lfQuality = 5;
  lstrcpyA(metrics.lfFaceName, "Tahoma");
  const LOGFONTA font = CaptionFontFrom(metrics);
  EXPECT_EQ(font.lfHeight, -13);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfItalic, 1);
  EXPECT_EQ(font.lfUnderline, 0);
  EXPECT_EQ(font.lfStrikeOut, 1);
  EXPECT_EQ(font.lfCharSet, EASTEUROPE_CHARSET);
  EXPECT_EQ(font.lfPitchAndFamily, FIXED_PITCH);
  EXPECT_EQ(font.lfQuality, 0);
  EXPECT_STREQ(font.lfFaceName, "Tahoma");
  metrics.lfWeight = 699;
  metrics.lfPitchAndFamily = 0x22;
  EXPECT_EQ(CaptionFontFrom(metrics).lfWeight, FW_NORMAL);
  EXPECT_EQ(CaptionFontFrom(metrics).lfPitchAndFamily, VARIABLE_PITCH);
  metrics.lfPitchAndFamily = 0x03;
  EXPECT_EQ(CaptionFontFrom(metrics).lfPitchAndFamily, DEFAULT_PITCH);
}

TEST_F(StyleCaption, AFormBuiltWhileStylingIsOnKeepsTheSystemsCaptionLook) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
  for (TBorderStyle border : {bsSizeable, bsToolWindow}) {
    const auto form = MakeForm(border, biSystemMenu);
    const TStyleCaption* caption = form->StyledCaption();
    ASSERT_NE(caption, nullptr);
    const LOGFONTA& system = border == bsSizeable ? metrics.lfCaptionFont : metrics.lfSmCaptionFont;
    EXPECT_EQ(caption->CaptionFont().lfHeight, system.lfHeight);
    EXPECT_STREQ(caption->CaptionFont().lfFaceName, system.lfFaceName);
    const TCaptionColors active =
        OrderCaptionColors(GetSysColor(COLOR_GRADIENTACTIVECAPTION), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(caption->ActiveColors().Light, active.Light);
    EXPECT_EQ(caption->ActiveColors().Dark, active.Dark);
    EXPECT_GE(Brightness(caption->InactiveColors().Light), Brightness(caption->InactiveColors().Dark));
    EXPECT_EQ(caption->FaceColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(caption->FaceShadowColor(), BlendColors(GetSysColor(COLOR_BTNFACE), 0, 1, 2));
  }
}

TEST_F(StyleCaption, TheCaptionRectangleFollowsTheBorderStyle) {
  const int sizeX = GetSystemMetrics(SM_CXFRAME), sizeY = GetSystemMetrics(SM_CYFRAME);
  const int dialogX = GetSystemMetrics(SM_CXDLGFRAME), dialogY = GetSystemMetrics(SM_CYDLGFRAME);
  const struct {
    TBorderStyle Border;
    SIZE Frame;
    int CaptionHeight;
  } cases[] = {{bsSizeable, {sizeX, sizeY}, GetSystemMetrics(SM_CYCAPTION)},
               {bsSizeToolWin, {sizeX, sizeY}, GetSystemMetrics(SM_CYSMCAPTION)},
               {bsSingle, {dialogX, dialogY}, GetSystemMetrics(SM_CYCAPTION)},
               {bsDialog, {dialogX, dialogY}, GetSystemMetrics(SM_CYCAPTION)},
               {bsToolWindow, {dialogX, dialogY}, GetSystemMetrics(SM_CYSMCAPTION)}};
  for (const auto& c : cases) {
    const auto form = MakeForm(c.Border, biSystemMenu);
    const TStyleCaption& caption = *form->StyledCaption();
    EXPECT_EQ(caption.FrameSize().cx, c.Frame.cx) << int(c.Border);
    EXPECT_EQ(caption.FrameSize().cy, c.Frame.cy) << int(c.Border);
    const RECT rect = caption.CaptionRect();
    EXPECT_EQ(rect.left, c.Frame.cx);
    EXPECT_EQ(rect.top, c.Frame.cy);
    EXPECT_EQ(rect.right, WindowWidth(*form) - c.Frame.cx);
    EXPECT_EQ(rect.bottom, c.Frame.cy + c.CaptionHeight - 1) << int(c.Border);
  }
  const auto none = MakeForm(bsNone, 0);
  EXPECT_TRUE(IsRectEmpty(&static_cast<const RECT&>(none->StyledCaption()->CaptionRect())));
  EXPECT_EQ(none->StyledCaption()->FrameSize().cx, 0);
}

TEST_F(StyleCaption, TheClassicCaptionIsAGradientWithAStaircaseAndBlocks) {
  const auto form = MakeForm(bsSizeable, 0);
  TStyleCaption& caption = *form->StyledCaption();
  const auto target = Target(*form);
  const RECT rect = caption.PaintClassicCaption(target->Canvas().Handle(), true);
  ASSERT_TRUE(EqualRect(&rect, &static_cast<const RECT&>(caption.CaptionRect())));
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const auto at = [&](int x, int y) { return target->Canvas().Pixel(rect.left + x, rect.top + y); };
  const TCaptionColors colors = caption.ActiveColors();

  EXPECT_EQ(at(0, 0), colors.Light);
  EXPECT_EQ(at(0, height - 1), colors.Dark);
  EXPECT_EQ(at(0, 5), BlendColors(colors.Dark, colors.Light, 5, height - 1));
  EXPECT_EQ(at(width - 1, 0), caption.FaceColor());
  EXPECT_EQ(at(width - 1, height - 1), caption.FaceShadowColor());
  EXPECT_EQ(target->Canvas().Pixel(rect.left - 1, rect.top), Untouched);
  EXPECT_EQ(target->Canvas().Pixel(rect.left, rect.bottom), Untouched);

  // The bottom step: its light tread, its dark riser, the face beyond it.
  const int size = ClassicBlockSize(height);
  const int edge = height + width / 3;
  const int top = height - size;
  EXPECT_EQ(at(edge - size - 1, top), colors.Light);
  EXPECT_EQ(at(edge - 3, top), colors.Light);
  EXPECT_EQ(at(edge - 1, top), colors.Dark);
  EXPECT_EQ(at(edge - 1, top + size - 2), colors.Dark);
  EXPECT_EQ(at(edge, height - 1), caption.FaceShadowColor());
  // The next step up ends a block further left.
  EXPECT_EQ(at(edge - size, top - 1), BlendColors(caption.FaceShadowColor(), caption.FaceColor(), top - 1, height - 1));
  EXPECT_EQ(at(edge - size - 1, top - 1), BlendColors(colors.Dark, colors.Light, top - 1, height - 1));

  // Two detached blocks beside the bottom step.
  const COLORREF fill = BlendColors(colors.Dark, colors.Light, top + size / 2, height - 1);
  for (int left : {edge + size, edge + 3 * size}) {
    EXPECT_EQ(at(left, top), colors.Light);
    EXPECT_EQ(at(left, top + size - 2), colors.Light);
    EXPECT_EQ(at(left + size - 2, top), colors.Light);
    EXPECT_EQ(at(left + size - 1, top), colors.Dark);
    EXPECT_EQ(at(left, top + size - 1), colors.Dark);
    EXPECT_EQ(at(left + 1, top + 1), fill);
    EXPECT_EQ(at(left + size - 2, top + size - 2), fill);
  }
  EXPECT_EQ(at(edge + 2 * size, top + 1),
            BlendColors(caption.FaceShadowColor(), caption.FaceColor(), top + 1, height - 1));

  const RECT inactive = caption.PaintClassicCaption(target->Canvas().Handle(), false);
  EXPECT_TRUE(EqualRect(&inactive, &rect));
  EXPECT_EQ(at(0, 0), caption.InactiveColors().Light);
}

TEST_F(StyleCaption, ACaptionTooLongForTheStaircaseIsAllGradient) {
  const auto form = MakeForm(bsSizeable, 0, std::string(120, 'M').c_str());
  TStyleCaption& caption = *form->StyledCaption();
  const auto target = Target(*form);
  const RECT rect = caption.PaintClassicCaption(target->Canvas().Handle(), true);
  const int width = rect.right - rect.left;
  const TCaptionColors colors = caption.ActiveColors();
  for (int x : {0, width / 2, width - 2, width - 1}) {
    EXPECT_EQ(target->Canvas().Pixel(rect.left + x, rect.top), colors.Light) << x;
    EXPECT_EQ(target->Canvas().Pixel(rect.left + x, rect.bottom - 1), colors.Dark) << x;
  }
}

TEST_F(StyleCaption, TheClassicCaptionCarriesIconAndButtons) {
  const auto form = MakeForm(bsSizeable, biSystemMenu | biMinimize | biMaximize);
  TStyleCaption& caption = *form->StyledCaption();
  const auto target = Target(*form);
  const RECT rect = caption.PaintClassicCaption(target->Canvas().Handle(), true);
  const int height = rect.bottom - rect.top;
  const TCaptionColors colors = caption.ActiveColors();
  // The icon replaces the gradient in its square at the left.
  const RECT icon{rect.left + 2, rect.top + 1, rect.left + height - 1, rect.bottom - 1};
  EXPECT_TRUE(AnyPixel(*target, icon, [&](COLORREF c) { return c != colors.Light && c != colors.Dark; }));
  // The close button at the right shows its symbol in the button text colour.
  const RECT close{rect.right - 2 - GetSystemMetrics(SM_CXSMICON), rect.top + 2, rect.right - 2, rect.bottom - 2};
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  EXPECT_TRUE(AnyPixel(*target, close, [&](COLORREF c) { return c == text; }));
}

TEST_F(StyleCaption, TheThemedCaptionSetsColouredSquaresIntoAGraySheet) {
  const auto form = MakeForm(bsSizeable, biSystemMenu | biMinimize | biMaximize);
  TStyleCaption& caption = *form->StyledCaption();
  const auto target = Target(*form);
  const RECT rect = caption.PaintThemedCaption(target->Canvas().Handle(), true);

  const RECT bar = caption.CaptionRect();
  const SIZE frame = caption.FrameSize();
  const int height = bar.bottom - bar.top + frame.cy + 1;
  const int right = WindowWidth(*form);
  EXPECT_EQ(rect.left, right / 3);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, height);
  EXPECT_FALSE(LightTheme());

  ASSERT_EQ(Theme.Parts.size(), 5u);
  EXPECT_EQ(Theme.Parts[0].Part, Caption);
  EXPECT_EQ(Theme.Parts[0].State, Inactive);
  EXPECT_EQ(Theme.Parts[0].Rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(Theme.Parts[1].State, Active);
  EXPECT_EQ(Theme.Parts[1].Rect.right, 2 * height + 96);
  const int composite = rect.right - rect.left;
  const int button = bar.bottom - bar.top - 4;
  const int parts[] = {CloseButton, MaxButton, MinButton};
  for (int i = 0; i < 3; ++i) {
    const TDrawnPart& drawn = Theme.Parts[size_t(2 + i)];
    EXPECT_EQ(drawn.Part, parts[i]);
    EXPECT_EQ(drawn.State, 1);
    EXPECT_EQ(drawn.Rect.left, composite - button - frame.cx - 2 - i * (button + 2));
    EXPECT_EQ(drawn.Rect.top, frame.cy + 2);
    EXPECT_EQ(drawn.Rect.bottom - drawn.Rect.top, button);
  }

  const auto at = [&](int x, int y) { return target->Canvas().Pixel(rect.left + x, y); };
  const int size = ThemedBlockSize(height, false);
  // Inactive caption (100, 150, 200): brightness 2·200 + 3·150 + 100 = 950 as a pixel,
  // average 158, so each gray channel is (950 + 3) div 5.
  EXPECT_EQ(at(7 * size + 4, 1), RGB(190, 190, 190));
  EXPECT_EQ(at(2, height - size + 1), Theme.ActiveColor);
  const TCaptionColors colors = caption.ActiveColors();
  const int edged = 2 * size + 1;
  EXPECT_EQ(at(edged, height - size), colors.Light);
  EXPECT_EQ(at(edged + size - 1, height - size), colors.Dark);
  EXPECT_EQ(at(edged + size - 1, height - 1), colors.Dark);
  const int loose = 4 * size + 1;
  EXPECT_EQ(at(loose, height - 2), colors.Light);
  EXPECT_EQ(at(loose + 1, height - 2), Theme.ActiveColor);
  EXPECT_EQ(at(composite - button - frame.cx - 1, frame.cy + 3), RGB(255, 0, 0));
  EXPECT_EQ(target->Canvas().Pixel(rect.left - 1, 1), Untouched);
}

TEST_F(StyleCaption, TheThemedCaptionLeavesSomeCaptionsToThePlatform) {
  const auto shortCaption = MakeForm(bsSizeable, biSystemMenu | biMinimize | biMaximize);
  const auto target = Target(*shortCaption);
  for (TBorderStyle border : {bsNone, bsToolWindow, bsSizeToolWin}) {
    const auto form = MakeForm(border, biSystemMenu);
    const RECT rect = form->StyledCaption()->PaintThemedCaption(target->Canvas().Handle(), true);
    EXPECT_TRUE(IsRectEmpty(&rect)) << int(border);
  }
  EXPECT_TRUE(Theme.Parts.empty());

  const auto longCaption = MakeForm(bsSizeable, biSystemMenu, std::string(120, 'M').c_str());
  const RECT tooLong = longCaption->StyledCaption()->PaintThemedCaption(target->Canvas().Handle(), true);
  EXPECT_TRUE(IsRectEmpty(&tooLong));
  EXPECT_EQ(Theme.LastStrip(), nullptr);
  EXPECT_FALSE(AnyPixel(*target, {0, 0, target->Width(), 40}, [](COLORREF c) { return c != Untouched; }));

  // A very light theme leaves inactive captions alone.
  Theme.InactiveColor = RGB(255, 255, 255);
  DiscardGraySheet();
  TStyleCaption& caption = *shortCaption->StyledCaption();
  EXPECT_FALSE(IsRectEmpty(&static_cast<const RECT&>(caption.PaintThemedCaption(target->Canvas().Handle(), true))));
  EXPECT_TRUE(LightTheme());
  const size_t drawn = Theme.Parts.size();
  EXPECT_TRUE(IsRectEmpty(&static_cast<const RECT&>(caption.PaintThemedCaption(target->Canvas().Handle(), false))));
  EXPECT_EQ(Theme.Parts.size(), drawn);

  Theme.InactiveColor = RGB(100, 150, 200);
  DiscardGraySheet();
  caption.PaintThemedCaption(target->Canvas().Handle(), true);
  EXPECT_FALSE(LightTheme());
  EXPECT_FALSE(IsRectEmpty(&static_cast<const RECT&>(caption.PaintThemedCaption(target->Canvas().Handle(), false))));
  EXPECT_EQ(Theme.LastStrip()->State, Inactive);
  EXPECT_EQ(Theme.Parts.back().State, 5);
}

TEST_F(StyleCaption, NonClientPaintingReachesThePainterOnlyWhileStylingIsOn) {
  const auto styled = MakeForm(bsSizeable, biSystemMenu);
  SendMessageA(styled->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_GT(Theme.Asked, 0);
  EXPECT_NE(Theme.LastStrip(), nullptr);

  Theme.Parts.clear();
  Theme.Asked = 0;
  Theme.On = false;
  SendMessageA(styled->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_GT(Theme.Asked, 0);
  EXPECT_TRUE(Theme.Parts.empty());

  Theme.On = true;
  Theme.Asked = 0;
  StylingEnabled = false;
  const auto plain = MakeForm(bsSizeable, biSystemMenu);
  EXPECT_EQ(plain->StyledCaption(), nullptr);
  for (HWND window : {styled->Handle(), plain->Handle()}) {
    SendMessageA(window, WM_NCPAINT, 1, 0);
    SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(window, WM_SYSCOMMAND, SC_SEPARATOR, 0);
  }
  EXPECT_EQ(Theme.Asked, 0);
  EXPECT_TRUE(Theme.Parts.empty());
}

TEST_F(StyleCaption, ActivationNewTextAndResizingRepaintTheCaption) {
  const auto form = MakeForm(bsSizeable, biSystemMenu | biMinimize | biMaximize);
  form->Show();
  Theme.Parts.clear();
  SendMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
  ASSERT_NE(Theme.LastStrip(), nullptr);
  EXPECT_EQ(Theme.LastStrip()->State, Inactive);
  SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(Theme.LastStrip()->State, Active);

  Theme.Parts.clear();
  SetWindowTextA(form->Handle(), "Renamed");
  EXPECT_EQ(form->Caption(), "Renamed");
  EXPECT_NE(Theme.LastStrip(), nullptr);
  const TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(form->Handle(), region.Get()), ERROR);

  Theme.Parts.clear();
  form->SetWidth(form->Width() + 20);
  EXPECT_NE(Theme.LastStrip(), nullptr);
  form->Hide();
}

TEST_F(StyleCaption, ANewCaptionFontRepaintsTheFrameAtOnce) {
  const auto form = MakeForm(bsSizeable, biSystemMenu);
  form->Show();
  Theme.Parts.clear();
  SendMessageA(form->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_NE(Theme.LastStrip(), nullptr);
  form->Hide();
}

}  // namespace
