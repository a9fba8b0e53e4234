#pragma once
// "Set value range...": the least and the greatest value of the plot's scale, asked for in a
// small modal dialog. Anything but two numbers, the least below the greatest, is refused
// with a message, and the dialog stays.

#include <optional>

#include "profile/ProfilePlot.h"

class TForm;

// The range typed, or none when the user cancels; the dialog opens with `shown`.
std::optional<TValueSpan> AskValueRange(TForm& owner, const TValueSpan& shown);
