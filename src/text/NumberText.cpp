#include "text/NumberText.h"

#include <charconv>
#include <cmath>

namespace vornex {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view withoutBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isSign(std::string_view text, size_t i) {
    return i < text.size() && (text[i] == '+' || text[i] == '-');
}

// from_chars takes no plus sign, which a user may well type.
const char* afterPlus(std::string_view text) {
    return text.data() + (!text.empty() && text.front() == '+' ? 1 : 0);
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

std::string plainNumber(double value) {
    std::string text = formatFixed(value, 6);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::optional<double> parseNumber(std::string_view text) {
    text = withoutBlanks(text);
    // from_chars alone would also take "inf", "nan" and the number at the start of "0x10", so
    // the form is checked first and from_chars only converts.
    size_t i = isSign(text, 0) ? 1 : 0;
    size_t digits = 0;
    bool nonZero = false;
    const auto digitRun = [&] {
        for (; i < text.size() && isDigit(text[i]); ++i, ++digits)
            nonZero = nonZero || text[i] != '0';
    };
    digitRun();
    if (i < text.size() && text[i] == '.') {
        ++i;
        digitRun();
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        i += isSign(text, i + 1) ? 2 : 1;
        const size_t exponent = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == exponent)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0.0;
    const char* end = text.data() + text.size();
    const std::from_chars_result result =
        std::from_chars(afterPlus(text), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value) ||
        (value == 0.0 && nonZero)) {
        return std::nullopt;
    }
    return value;
}

std::optional<long> parseWholeNumber(std::string_view text) {
    text = withoutBlanks(text);
    const size_t first = isSign(text, 0) ? 1 : 0;
    if (first == text.size())
        return std::nullopt;
    for (size_t i = first; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return std::nullopt;
    }
    long value = 0;
    const char* end = text.data() + text.size();
    const std::from_chars_result result = std::from_chars(afterPlus(text), end, value);
    if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

bool parseLong(std::string_view text, long min, long max, long& out) {
    const std::optional<long> value = parseWholeNumber(text);
    if (!value || *value < min || *value > max)
        return false;
    out = *value;
    return true;
}

bool parseDouble(std::string_view text, double min, double max, double& out) {
    const std::optional<double> value = parseNumber(text);
    if (!value || !(*value >= min && *value <= max))
        return false;
    out = *value;
    return true;
}

bool parseDouble(std::string_view text, double& out) {
    const std::optional<double> value = parseNumber(text);
    if (value)
        out = *value;
    return value.has_value();
}

}  // namespace vornex
