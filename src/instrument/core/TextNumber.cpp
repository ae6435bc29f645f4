#include "instrument/core/TextNumber.h"

#include <charconv>
#include <cmath>

namespace vornex {

double parseLeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
        ++i;
    // from_chars takes a minus sign but no plus sign.
    if (i < text.size() && text[i] == '+' && i + 1 < text.size() && text[i + 1] != '-')
        ++i;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                           std::chars_format::general);
    (void)end;
    if (ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

std::string formatFixed(double value, int precision) {
    if (precision < 0)
        precision = 6;
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (ec != std::errc())
        return "inf";
    return std::string(buffer, end);
}

}  // namespace vornex
