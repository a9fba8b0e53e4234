#include "profile/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

const char* NonFiniteText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  return nullptr;
}

// Drops trailing zeros of the fraction and a separator left alone, then puts in the
// user's separator.
std::string TrimmedFraction(std::string_view digits, char decimalSeparator) {
  std::string text(digits);
  const size_t point = text.find('.');
  if (point == std::string::npos) return text;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.')
    text.pop_back();
  else
    text[point] = decimalSeparator;
  return text;
}

std::string_view ToChars(char* buffer, size_t size, double value, std::chars_format format,
                         int decimals) {
  const auto result = std::to_chars(buffer, buffer + size, value, format, decimals);
  return std::string_view(buffer, result.ptr - buffer);
}

}  // namespace

std::string FormatGeneral(double value, int precision, char decimalSeparator) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
  if (value == 0) return "0";
  precision = std::clamp(precision, 1, 17);
  char buffer[400];
  // The exponent of the value rounded to `precision` digits decides the notation:
  // 99999.7 rounds to 1.0000E5 and needs six integer digits.
  const std::string_view scientific =
      ToChars(buffer, sizeof buffer, value, std::chars_format::scientific, precision - 1);
  const size_t e = scientific.find('e');
  int exponent = 0;
  std::from_chars(scientific.data() + e + (scientific[e + 1] == '+' ? 2 : 1),
                  scientific.data() + scientific.size(), exponent);
  if (exponent >= precision || std::fabs(value) < 1E-5)
    return TrimmedFraction(scientific.substr(0, e), decimalSeparator) + "E" +
           std::to_string(exponent);
  const int decimals = std::max(0, precision - 1 - exponent);
  return TrimmedFraction(ToChars(buffer, sizeof buffer, value, std::chars_format::fixed, decimals),
                         decimalSeparator);
}

std::string FormatGrouped(double value, std::string_view groupSeparator, int groupSize, char decimalSeparator) {
  if (!(std::fabs(value) < 1E15) || value != std::trunc(value) || groupSize < 1)
    return FormatGeneral(value, 5, decimalSeparator);
  const std::string digits = std::to_string(static_cast<int64_t>(std::fabs(value)));
  std::string text = value < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % static_cast<size_t>(groupSize) == 0) text += groupSeparator;
    text += digits[i];
  }
  return text;
}

std::string ExactText(double value) {
  if (const char* special = NonFiniteText(value)) return special;
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string ReadoutText(double value, char decimalSeparator) {
  if (const char* special = NonFiniteText(value)) return special;
  return FormatGeneral(value, 6, decimalSeparator);
}

std::optional<double> ParseNumber(std::string_view text) {
  std::string number(text);
  for (char& c : number)
    if (c == ',') c = '.';
  const size_t first = number.find_first_not_of(" \t"), last = number.find_last_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  double value = 0;
  const char* end = number.data() + last + 1;
  const auto [stop, error] = std::from_chars(number.data() + first, end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}
