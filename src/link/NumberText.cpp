#include "link/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vornex {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// from_chars takes neither leading blanks nor a plus sign, which strtod and strtol allow.
const char* numberStart(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-')
        ++i;
    return text.data() + i;
}

}  // namespace

std::string formatFixed(double value, int precision) {
    if (precision < 0)
        precision = 6;
    // Room for the 309 integer digits of the largest double, its sign and the point.
    std::string text(static_cast<size_t>(precision) + 320, '\0');
    const std::to_chars_result result = std::to_chars(text.data(), text.data() + text.size(), value,
                                                      std::chars_format::fixed, precision);
    text.resize(static_cast<size_t>(result.ptr - text.data()));
    return text;
}

double parseLeadingNumber(std::string_view text) {
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(
        numberStart(text), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

bool parseLong(std::string_view text, long min, long max, long& out) {
    const char* end = text.data() + text.size();
    long value = 0;
    const std::from_chars_result result = std::from_chars(numberStart(text), end, value);
    if (result.ec != std::errc() || result.ptr != end || value < min || value > max)
        return false;
    out = value;
    return true;
}

bool parseDouble(std::string_view text, double min, double max, double& out) {
    const char* end = text.data() + text.size();
    double value = 0.0;
    const std::from_chars_result result =
        std::from_chars(numberStart(text), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !(value >= min && value <= max))
        return false;
    out = value;
    return true;
}

bool parseDouble(std::string_view text, double& out) {
    return parseDouble(text, -std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::infinity(), out);
}

}  // namespace vornex
