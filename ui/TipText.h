#pragma once
// A tooltip's text broken into lines no wider than it may grow, without a window. The
// readout's lines are lists of figures ("min 3; max 250", "R 1  G 2"): a line that does not
// fit is broken only between two figures, never inside one, so that a name keeps its number.

#include <functional>
#include <string>
#include <string_view>

// Where a line of figures may be broken: after "; " or at two spaces.
inline constexpr std::string_view FigureSeparators[] = {"; ", "  "};

// The text's lines ("\r\n" apart) as they stand where they are at most `maxWidth` wide by
// `width`, else broken before the figure that would pass it, the separator's spaces left
// out at the break. A figure wider than `maxWidth` stands on a line of its own.
std::string WrapFigures(std::string_view text, int maxWidth, const std::function<int(std::string_view)>& width);
