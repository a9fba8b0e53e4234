#pragma once
// Numbers as the plot and the readout write them for people (the values table writes the
// shortest exact form instead).

#include <optional>
#include <string>
#include <string_view>

// The value in general number format with at most `precision` significant digits:
// trailing zeros and an unneeded separator dropped, scientific notation (1.2346E5,
// 1E-6) when the integer part needs more digits than that or the value is below 1E-5. NaN
// and the infinities are "NaN", "Inf" and "-Inf", as the readout and the table spell them.
std::string FormatGeneral(double value, int precision = 5, char decimalSeparator = '.');

// A whole value below 1E15 in magnitude as all its digits, in groups of `groupSize` from the
// right joined by `groupSeparator` ("523,330"); any other value as FormatGeneral writes it.
std::string FormatGrouped(double value, std::string_view groupSeparator, int groupSize = 3,
                          char decimalSeparator = '.');

// The shortest text that reads back to the same double, "." its decimal point whatever the
// locale; NaN and the infinities as "NaN", "Inf" and "-Inf", as Python, R and the
// spreadsheets that know them read them back.
std::string ExactText(double value);
// A number typed by the user: finite, with "." or "," as its decimal point and blanks
// around it, read without the C library's locale (which the host may have set); none
// otherwise.
std::optional<double> ParseNumber(std::string_view text);

// A figure as the readout writes it: six significant digits.
std::string ReadoutText(double value, char decimalSeparator = '.');
