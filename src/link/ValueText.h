#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vornex {

// The live value as the displays show it: "%.*f" with the instrument's decimals.
inline std::string formatValueText(float value, uint16_t decimals) {
    const int precision = decimals;
    const int length = std::snprintf(nullptr, 0, "%.*f", precision, static_cast<double>(value));
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", precision, static_cast<double>(value));
    return text;
}

}  // namespace vornex
