#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vornex {

// Number texts of the program, vornex-cli and the simulator, the same whatever the process locale
// says (a window sets it from the environment, and "%f" would then write a decimal comma).

// value with `precision` decimals, rounded as printf's "%.*f" does in the C locale; a negative
// precision gives six decimals.
std::string formatFixed(double value, int precision);
// A number with the decimals it needs, at most six, and no more ("20", "12.5").
std::string plainNumber(double value);

// Most decimals a live value is shown with: an instrument's decimals register may hold anything.
inline constexpr uint16_t kMaxShownDecimals = 6;

// The live value as the displays show it: with the instrument's decimals, at most six.
inline std::string formatValueText(float value, uint16_t decimals) {
    return formatFixed(static_cast<double>(value),
                       decimals < kMaxShownDecimals ? decimals : kMaxShownDecimals);
}

// A number given by a user, whatever the process locale: the whole text, blanks around it
// allowed, is an optional sign, decimal digits with at most one decimal point (at least one digit
// in all) and an optional exponent ("e" or "E", an optional sign, digits). Anything else is no
// number, not a part of one: hexadecimal, infinity, NaN, a decimal comma, group separators, a blank
// inside, an empty text. So is a value a double cannot hold: beyond its range, or a text naming a
// value other than 0 that would read as 0.
std::optional<double> parseNumber(std::string_view text);
// A whole number in the same way: an optional sign and decimal digits, within long's range.
std::optional<long> parseWholeNumber(std::string_view text);

// The same, and the value must lie within [min, max]; out is left alone on failure.
bool parseLong(std::string_view text, long min, long max, long& out);
bool parseDouble(std::string_view text, double min, double max, double& out);
bool parseDouble(std::string_view text, double& out);

}  // namespace vornex
