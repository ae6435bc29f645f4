#pragma once

#include <string>
#include <string_view>

namespace vornex {

// Number texts of the instrument dialogs, the same whatever the process locale says.

// The leading decimal number of a text, after blanks; the rest is ignored and a text without a
// number gives 0. Infinities and NaN are not numbers here.
double parseLeadingNumber(std::string_view text);

// value with `precision` decimals, rounded as printf's "%.*f" does; a negative precision gives
// six decimals.
std::string formatFixed(double value, int precision);

}  // namespace vornex
