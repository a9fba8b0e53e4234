#pragma once
// "Pixel size...": the length of one pixel and its unit, asked for in a small modal dialog.
// A length that is no number above 0 is refused with a message, and the dialog stays.

#include <optional>

#include "profile/PixelSize.h"

class TForm;

// The size typed, or none when the user cancels.
std::optional<TPixelSize> AskPixelSize(TForm& owner, const TPixelSize& size);
