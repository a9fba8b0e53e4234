#include "profile/PixelSize.h"

#include <cmath>

#include "resources/Texts.h"
#include "errors/Exceptions.h"
#include "profile/NumberText.h"

namespace {

// Metres in one unit; none has no size in metres.
double MetresIn(TLengthUnit unit) noexcept {
  switch (unit) {
    case TLengthUnit::Nanometre: return 1e-9;
    case TLengthUnit::Micrometre: return 1e-6;
    case TLengthUnit::Millimetre: return 1e-3;
    case TLengthUnit::Centimetre: return 1e-2;
    case TLengthUnit::Metre: return 1;
    case TLengthUnit::Inch: return 0.0254;
    case TLengthUnit::None: break;
  }
  return 0;
}

}  // namespace

const char* UnitSymbol(TLengthUnit unit) noexcept {
  switch (unit) {
    case TLengthUnit::Nanometre: return "nm";
    case TLengthUnit::Micrometre: return "\xC2\xB5m";
    case TLengthUnit::Millimetre: return "mm";
    case TLengthUnit::Centimetre: return "cm";
    case TLengthUnit::Metre: return "m";
    case TLengthUnit::Inch: return "in";
    case TLengthUnit::None: break;
  }
  return "";
}

TPixelSize TPixelSize::In(TLengthUnit unit) const noexcept {
  if (unit == Unit || unit == TLengthUnit::None || Unit == TLengthUnit::None) return {Length, unit};
  return {Length * (MetresIn(Unit) / MetresIn(unit)), unit};
}

std::string TDistanceScale::Suffix() const {
  if (!Size.Set() || Size.Unit == TLengthUnit::None) return "";
  return FormatText(S_FIG_UNIT, UnitSymbol(Size.Unit));
}

std::string TDistanceScale::Text(double samples, char decimalSeparator) const {
  std::string text = ReadoutText(Of(samples), decimalSeparator);
  if (Size.Set() && Size.Unit != TLengthUnit::None) text.append(" ").append(UnitSymbol(Size.Unit));
  return text;
}

std::optional<double> ParseLength(std::string_view text) {
  const std::optional<double> length = ParseNumber(text);
  if (!length || !(*length > 0)) return std::nullopt;
  return length;
}
