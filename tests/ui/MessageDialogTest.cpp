// The message box on real windows: its layout against the formulas computed here from the
// system's message font, the buttons' roles and results, and its owner.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/host/DialogWatcher.h"
#include "tests/host/HostDouble.h"
#include "ui/EventUtils.h"
#include "platform/Handles.h"
#include "ui/MessageDialog.h"

namespace {

// Measures as the dialog's description says, with the message font on the screen.
class TMessageFontMeasure {
 public:
  TMessageFontMeasure() : FScreen(nullptr) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
    FFont.Reset(CreateFontIndirectA(&metrics.lfMessageFont));
    FSelection.emplace(FScreen.Get(), FFont.Get());
    SIZE extent;
    GetTextExtentPoint32A(FScreen.Get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &extent);
    const int cx = extent.cx / 52;
    const int cy = extent.cy;
    HorzMargin = MulDiv(8, cx, 4);
    VertMargin = MulDiv(8, cy, 8);
    HorzSpacing = MulDiv(10, cx, 4);
    VertSpacing = MulDiv(10, cy, 8);
    MinButtonWidth = MulDiv(50, cx, 4);
    ButtonHeight = MulDiv(14, cy, 8);
    ButtonSpacing = MulDiv(4, cx, 4);
  }

  SIZE Text(const std::string& text) const {
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(FScreen.Get(), text.c_str(), -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return {rect.right, rect.bottom};
  }
  int CaptionWidth(const std::string& caption) const {
    RECT rect{};
    DrawTextA(FScreen.Get(), caption.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    return rect.right + 8;
  }
  int ButtonWidth(const std::vector<std::string>& captions) const {
    int width = MinButtonWidth;
    for (const auto& caption : captions) width = std::max(width, CaptionWidth(caption));
    return width;
  }

  int HorzMargin, VertMargin, HorzSpacing, VertSpacing, MinButtonWidth, ButtonHeight, ButtonSpacing;

 private:
  TWindowDc FScreen;
  TFontHandle FFont;
  std::optional<TSelectObject> FSelection;
};

std::vector<const TSeenControl*> Buttons(const TSeenDialog& dialog) {
  std::vector<const TSeenControl*> buttons;
  for (const auto& control : dialog.Controls)
    if (control.ClassName == "Button") buttons.push_back(&control);
  std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->Bounds.left < b->Bounds.left; });
  return buttons;
}

bool IsDefault(const TSeenControl& button) { return (button.Style & 0xF) == BS_DEFPUSHBUTTON; }

class MessageDialog : public ::testing::Test {
 protected:
  void SetUp() override { Application.SetHandle(FMainWindow.Handle()); }
  void TearDown() override {
    Application.SetHandle(nullptr);
    Application.OnHelp = nullptr;
    Application.SetTitle("");
  }

  // Checks the layout of a shown dialog with these buttons and, when iconic, an icon.
  void ExpectLayout(const TSeenDialog& seen, const std::string& text, bool icon,
                    const std::vector<std::string>& captions) {
    const TMessageFontMeasure m;
    const SIZE textSize = m.Text(text);
    const int blockWidth = icon ? textSize.cx + 32 + m.HorzSpacing : textSize.cx;
    const int blockHeight = icon ? std::max<int>(textSize.cy, 32) : textSize.cy;
    const int width = m.ButtonWidth(captions);
    const int count = static_cast<int>(captions.size());
    const int group = count ? count * width + (count - 1) * m.ButtonSpacing : 0;
    const int clientWidth = std::max(blockWidth, group) + 2 * m.HorzMargin;
    EXPECT_EQ(seen.Client.right, clientWidth);
    EXPECT_EQ(seen.Client.bottom, blockHeight + m.ButtonHeight + m.VertSpacing + 2 * m.VertMargin);

    const TSeenControl* label = seen.Find("Static", text);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->Style & SS_NOPREFIX);
    const RECT textBounds{blockWidth - textSize.cx + m.HorzMargin, m.VertMargin,
                          blockWidth + m.HorzMargin, m.VertMargin + textSize.cy};
    EXPECT_TRUE(EqualRect(&label->Bounds, &textBounds));

    const auto buttons = Buttons(seen);
    ASSERT_EQ(buttons.size(), captions.size());
    int x = (clientWidth - group) / 2;
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(buttons[i]->Text, captions[i]);
      const RECT bounds{x, blockHeight + m.VertMargin + m.VertSpacing, x + width,
                        blockHeight + m.VertMargin + m.VertSpacing + m.ButtonHeight};
      EXPECT_TRUE(EqualRect(&buttons[i]->Bounds, &bounds)) << captions[i];
      x += width + m.ButtonSpacing;
    }
  }

  THostMainWindow FMainWindow;
};

TEST_F(MessageDialog, AnInformationBoxIsLaidOutFromTheMessageFont) {
  for (TDialogAnswer answer : {TDialogAnswer::Enter, TDialogAnswer::Escape}) {
    TDialogWatcher watcher(answer);
    EXPECT_EQ(ShowMessageBox("No rectangular selection", mkInformation, ButtonBit(bnOK), 0), mrOk);
    ASSERT_EQ(watcher.Seen.size(), 1u);
    const TSeenDialog& seen = watcher.Seen[0];
    EXPECT_EQ(seen.Caption, "Information");
    EXPECT_EQ(seen.Owner, FMainWindow.Handle());
    ExpectLayout(seen, "No rectangular selection", true, {"OK"});
    const TMessageFontMeasure m;
    const auto icon = std::find_if(seen.Controls.begin(), seen.Controls.end(),
                                   [](const TSeenControl& c) { return (c.Style & SS_TYPEMASK) == SS_ICON; });
    ASSERT_NE(icon, seen.Controls.end());
    const RECT iconBounds{m.HorzMargin, m.VertMargin, m.HorzMargin + 32, m.VertMargin + 32};
    EXPECT_TRUE(EqualRect(&icon->Bounds, &iconBounds));
    EXPECT_TRUE(IsDefault(*Buttons(seen)[0]));
    EXPECT_EQ(ButtonWidthCache[bnOK], m.CaptionWidth("OK"));
  }
}

TEST_F(MessageDialog, EachButtonSetHasItsDefaultAndCancelButton) {
  struct TCase {
    TMessageButtons Buttons;
    std::vector<std::string> Captions;
    std::string Default;
    TDialogAnswer Answer;
    int Result;
  };
  const TCase cases[] = {
      {ButtonBit(bnYes) | ButtonBit(bnNo), {"&Yes", "&No"}, "&Yes", TDialogAnswer::Enter, mrYes},
      {ButtonBit(bnYes) | ButtonBit(bnNo), {"&Yes", "&No"}, "&Yes", TDialogAnswer::Escape, mrNo},
      {ButtonBit(bnYes) | ButtonBit(bnNo) | ButtonBit(bnCancel), {"&Yes", "&No", "Cancel"}, "&Yes",
       TDialogAnswer::Escape, mrCancel},
      {ButtonBit(bnRetry) | ButtonBit(bnCancel), {"&Retry", "Cancel"}, "&Retry", TDialogAnswer::Enter, mrRetry},
      {ButtonBit(bnAbort) | ButtonBit(bnRetry) | ButtonBit(bnIgnore), {"&Retry", "&Ignore", "&Abort"}, "&Retry",
       TDialogAnswer::Enter, mrRetry},
      {ButtonBit(bnAbort) | ButtonBit(bnRetry) | ButtonBit(bnIgnore), {"&Retry", "&Ignore", "&Abort"}, "&Retry",
       TDialogAnswer::Close, mrCancel},
      {ButtonBit(bnOK) | ButtonBit(bnYesToAll) | ButtonBit(bnAll), {"Yes to &All", "&All", "OK"}, "OK",
       TDialogAnswer::Escape, mrOk},
  };
  for (const TCase& c : cases) {
    TDialogWatcher watcher(c.Answer);
    EXPECT_EQ(ShowMessageBox("Continue?", mkConfirmation, c.Buttons, 0), c.Result) << c.Default;
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_EQ(watcher.Seen[0].Caption, "Confirm");
    ExpectLayout(watcher.Seen[0], "Continue?", true, c.Captions);
    for (const TSeenControl* button : Buttons(watcher.Seen[0]))
      EXPECT_EQ(IsDefault(*button), button->Text == c.Default) << button->Text;
  }
}

TEST_F(MessageDialog, AnEmptyButtonSetKeepsTheButtonRowAndClosesOnlyByTheCloseBox) {
  TDialogWatcher watcher(TDialogAnswer::Close);
  EXPECT_EQ(ShowMessageBox("Nothing to press", mkWarning, 0, 0), mrCancel);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  EXPECT_EQ(watcher.Seen[0].Caption, "Warning");
  ExpectLayout(watcher.Seen[0], "Nothing to press", true, {});
}

TEST_F(MessageDialog, HelpShowsTheTopicAndLeavesTheDialogOpen) {
  std::vector<std::pair<int32_t, std::string>> topics;
  Application.OnHelp = [&](int32_t context, const std::string& file) { topics.emplace_back(context, file); };
  bool openAfterHelp = false;
  // The click leaves the focus on "&Help"; Esc presses OK, the cancel button of this set.
  TDialogWatcher watcher(TDialogAnswer::Escape, [&](HWND dialog) {
    SendMessageA(FindWindowExA(dialog, nullptr, "Button", "&Help"), BM_CLICK, 0, 0);
    openAfterHelp = IsWindowVisible(dialog);
  });
  EXPECT_EQ(ShowMessageBoxAt("Read more?", mkError, ButtonBit(bnOK) | ButtonBit(bnHelp), 77, 10, 20, "x.hlp"),
            mrOk);
  EXPECT_TRUE(openAfterHelp);
  EXPECT_EQ(topics, (std::vector<std::pair<int32_t, std::string>>{{77, "x.hlp"}}));
  ASSERT_EQ(watcher.Seen.size(), 1u);
}

TEST_F(MessageDialog, ShownAtAPositionTheDialogStandsThere) {
  POINT corner{};
  TDialogWatcher watcher(TDialogAnswer::Enter, [&](HWND dialog) {
    RECT window;
    GetWindowRect(dialog, &window);
    corner = {window.left, window.top};
  });
  ShowMessageBoxAt("Here", mkError, ButtonBit(bnOK), 0, 10, 20, "");
  EXPECT_EQ(corner.x, 10);
  EXPECT_EQ(corner.y, 20);
}

TEST_F(MessageDialog, TheCustomBoxAnswersWithThePositionOfTheCaption) {
  const std::vector<std::string> captions{"&Ignore", "Send bug report", "Terminate application"};
  const std::tuple<int, TDialogAnswer, int> cases[] = {
      {1, TDialogAnswer::Escape, 1}, {1, TDialogAnswer::Enter, 1}, {1, TDialogAnswer::Close, 0},
      {0, TDialogAnswer::Escape, 1}, {7, TDialogAnswer::Escape, 3}, {2, TDialogAnswer::Escape, 2}};
  for (const auto& [cancel, answer, result] : cases) {
    TDialogWatcher watcher(answer);
    EXPECT_EQ(ShowCustomMessageBox("Access violation.", mkError, captions, cancel), result) << cancel;
    ASSERT_EQ(watcher.Seen.size(), 1u);
    EXPECT_EQ(watcher.Seen[0].Caption, "Error");
    ExpectLayout(watcher.Seen[0], "Access violation.", true, captions);
    EXPECT_TRUE(IsDefault(*Buttons(watcher.Seen[0])[0]));
  }
}

TEST_F(MessageDialog, ACustomKindHasNoIconAndTheApplicationsTitle) {
  Application.SetTitle("Ostravine host");
  TDialogWatcher watcher;
  EXPECT_EQ(ShowCustomMessageBox("Fish & Chips", mkCustom, {"&Go"}, 1), 1);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  EXPECT_EQ(watcher.Seen[0].Caption, "Ostravine host");
  ExpectLayout(watcher.Seen[0], "Fish & Chips", false, {"&Go"});
  EXPECT_EQ(watcher.Seen[0].Controls.size(), 2u);
}

TEST_F(MessageDialog, ALongTextWrapsAtHalfTheScreen) {
  std::string text;
  for (int i = 0; i < 80; ++i) text += "word" + std::to_string(i) + " ";
  TDialogWatcher watcher;
  ShowMessageBox(text, mkInformation, ButtonBit(bnOK), 0);
  ASSERT_EQ(watcher.Seen.size(), 1u);
  const TSeenControl* label = watcher.Seen[0].Find("Static", text);
  ASSERT_NE(label, nullptr);
  EXPECT_LE(label->Bounds.right - label->Bounds.left, GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_GT(label->Bounds.bottom - label->Bounds.top, 3 * TMessageFontMeasure().Text("word").cy);
  ExpectLayout(watcher.Seen[0], text, true, {"OK"});
}

TEST_F(MessageDialog, ABoxShownFromAModalFormIsOwnedByIt) {
  TForm form(nullptr);
  int32_t result = 0;
  form.OnShow = [&](TComponent*) {
    RunOnIdle(&form, [&](TComponent*) {
      result = ShowMessageBox("Inside", mkError, ButtonBit(bnOK), 0);
      form.SetModalResult(mrOk);
    });
  };
  TDialogWatcher watcher;
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(result, mrOk);
  // The watcher may have seen the form before the box: the box is the last it answered.
  ASSERT_FALSE(watcher.Seen.empty());
  EXPECT_EQ(watcher.Seen.back().Caption, "Error");
  EXPECT_EQ(watcher.Seen.back().Owner, form.Handle());
}

}  // namespace
