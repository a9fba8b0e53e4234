#pragma once
// Numbers as the plot and the readout write them for people (the values table writes the
// shortest exact form instead).

#include <string>

// The value in general number format with at most `precision` significant digits:
// trailing zeros and an unneeded separator dropped, scientific notation (1.2346E5,
// 1E-6) when the integer part needs more digits than that or the value is below 1E-5. NaN
// and the infinities are "NaN", "Inf" and "-Inf", as the readout and the table spell them.
std::string FormatGeneral(double value, int precision = 5, char decimalSeparator = '.');
