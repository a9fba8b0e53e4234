#pragma once
// The system's modal message box: a small dialog built on demand from a text, a kind and
// a set of standard buttons (or free captions), laid out from the average character size
// of the system's message font, shown modally, freed, and answered with the chosen button.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/StyleForm.h"

class TCanvas;

enum TMessageKind : uint8_t { mkWarning, mkError, mkInformation, mkConfirmation, mkCustom };

// Bit i of a button set stands for button i; the numbering is also the left-to-right order.
enum TMessageButton : uint8_t {
  bnYes, bnNo, bnYesToAll, bnNoToAll, bnAll, bnOK, bnRetry, bnIgnore, bnAbort, bnCancel, bnHelp
};
using TMessageButtons = uint16_t;
constexpr TMessageButtons ButtonBit(TMessageButton button) { return TMessageButtons(1u << button); }
constexpr int MessageButtonCount = 11;

class TMessageForm : public TStyleForm {
 public:
  // Owned by the active modal form or the main form when there is one, else by the
  // application's window.
  explicit TMessageForm(TComponent* owner);
  // Asks the application's help for the dialog's topic; the dialog stays open.
  void HelpButtonClick(TComponent* sender);
};

// The spacings of the dialog, from the average character size of its font.
struct TMessageLayout {
  int HorzMargin;
  int VertMargin;
  int HorzSpacing;
  int VertSpacing;
  int ButtonWidth;
  int ButtonHeight;
  int ButtonSpacing;
};
TMessageLayout MessageLayout(SIZE charSize) noexcept;

// Widths of the standard buttons, measured once per process.
extern std::array<int32_t, MessageButtonCount> ButtonWidthCache;

int32_t ShowMessageBox(const std::string& text, TMessageKind kind, TMessageButtons buttons,
                       int32_t helpContext);
// Left edge x and top edge y when not negative; centred on the screen when both are.
int32_t ShowMessageBoxAt(const std::string& text, TMessageKind kind, TMessageButtons buttons,
                         int32_t helpContext, int32_t x, int32_t y, const std::string& helpFile);
// The 1-based position of the chosen caption, 0 when the dialog ended another way.
int32_t ShowCustomMessageBox(const std::string& text, TMessageKind kind,
                             const std::vector<std::string>& captions, int32_t cancelPosition);

std::unique_ptr<TMessageForm> CreateMessageForm(const std::string& text, TMessageKind kind,
                                                TMessageButtons buttons);
std::unique_ptr<TMessageForm> CreateCustomMessageForm(const std::string& text, TMessageKind kind,
                                                      const std::vector<std::string>& captions,
                                                      int32_t cancelPosition);

SIZE AverageCharSize(TCanvas& canvas);
HWND ActiveOwnerWindow() noexcept;
