#pragma once
// The system's modal message box.

#include <cstdint>
#include <string>

enum TMessageKind : uint8_t { mkWarning, mkError, mkInformation, mkConfirmation, mkCustom };

// Bit i of a button set stands for button i; the numbering is also the left-to-right order.
enum TMessageButton : uint8_t {
  bnYes, bnNo, bnYesToAll, bnNoToAll, bnAll, bnOK, bnRetry, bnIgnore, bnAbort, bnCancel, bnHelp
};
using TMessageButtons = uint16_t;
constexpr TMessageButtons ButtonBit(TMessageButton button) { return TMessageButtons(1u << button); }

// Shows the text modally and returns the modal result of the button that closed the box.
int32_t ShowMessageBox(const std::string& text, TMessageKind kind, TMessageButtons buttons,
                       int32_t helpContext);
