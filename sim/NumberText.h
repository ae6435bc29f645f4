#pragma once

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string>

namespace vornex::sim {

// Whole-text number parsing for options and commands: no trailing characters, no overflow, and
// the value within [min, max].
inline bool parseLong(const std::string& text, long min, long max, long& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < min || v > max)
        return false;
    out = v;
    return true;
}

// NaN is refused; infinities only where the bounds allow them.
inline bool parseDouble(const std::string& text, double min, double max, double& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(v >= min && v <= max))
        return false;
    out = v;
    return true;
}

inline bool parseDouble(const std::string& text, double& out) {
    return parseDouble(text, -std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::infinity(), out);
}

}  // namespace vornex::sim
