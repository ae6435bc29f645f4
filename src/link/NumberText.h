#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vornex {

// Number texts of the program, vornex-cli and the simulator, the same whatever the process locale
// says (a window sets it from the environment, and "%f" would then write a decimal comma).

// value with `precision` decimals, rounded as printf's "%.*f" does in the C locale; a negative
// precision gives six decimals.
std::string formatFixed(double value, int precision);

// Most decimals a live value is shown with: an instrument's decimals register may hold anything.
inline constexpr uint16_t kMaxShownDecimals = 6;

// The live value as the displays show it: with the instrument's decimals, at most six.
inline std::string formatValueText(float value, uint16_t decimals) {
    return formatFixed(static_cast<double>(value),
                       decimals < kMaxShownDecimals ? decimals : kMaxShownDecimals);
}

// The leading decimal number of a text, after blanks; the rest is ignored and a text without a
// number gives 0. Infinities and NaN are not numbers here.
double parseLeadingNumber(std::string_view text);

// Whole-text decimal numbers, as options and commands take them: blanks before the number and a
// plus sign are allowed, trailing characters and overflow are not, and the value must lie within
// [min, max]. out is left alone on failure.
bool parseLong(std::string_view text, long min, long max, long& out);
// NaN is refused; infinities only where the bounds allow them.
bool parseDouble(std::string_view text, double min, double max, double& out);
bool parseDouble(std::string_view text, double& out);

}  // namespace vornex
