#pragma once
// The length of one pixel in the user's unit, and the distances along a profile that follow
// from it. Until a size is set, distances are counted in samples.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TLengthUnit : uint8_t { None, Nanometre, Micrometre, Millimetre, Centimetre, Metre, Inch };
inline constexpr TLengthUnit LengthUnits[] = {TLengthUnit::None,       TLengthUnit::Nanometre, TLengthUnit::Micrometre,
                                              TLengthUnit::Millimetre, TLengthUnit::Centimetre, TLengthUnit::Metre,
                                              TLengthUnit::Inch};

// "nm", "µm" (UTF-8), "mm", "cm", "m", "in"; "" for none.
const char* UnitSymbol(TLengthUnit unit) noexcept;

struct TPixelSize {
  double Length = 1;
  TLengthUnit Unit = TLengthUnit::None;

  bool Set() const noexcept { return Length != 1 || Unit != TLengthUnit::None; }
  // The same length in another unit; none is a unit of its own and converts unchanged.
  TPixelSize In(TLengthUnit unit) const noexcept;
};

// How a profile's samples become distances: each sample `Spacing` pixels on from the one
// before (a line's length over its steps; a row or a column in integrate mode).
struct TDistanceScale {
  TPixelSize Size;
  double Spacing = 1;

  double Of(double samples) const noexcept { return Size.Set() ? samples * Spacing * Size.Length : samples; }
  // " (µm)" after a distance's name once a size is set with a unit; "" otherwise.
  std::string Suffix() const;
  // A distance of `samples` as the readout writes it, with its unit's symbol ("35.5 µm";
  // "71" while no size is set).
  std::string Text(double samples, char decimalSeparator = '.') const;
};

// A length typed by the user: a number above 0, with "." or "," as its decimal point and
// blanks around it; none otherwise.
std::optional<double> ParseLength(std::string_view text);
