#pragma once

#include <string>

namespace vornex {

// Why a text a person may have written (an ini file, a profile, a tool record) was not read: the
// line at fault, counted from 1, or 0 when no one line is, and what is wrong.
struct ParseProblem {
    int line = 0;
    std::string text;

    // "WHERE line N: TEXT", or "WHERE: TEXT" when no one line is at fault.
    std::string at(const std::string& where) const {
        return where + (line > 0 ? " line " + std::to_string(line) : std::string()) + ": " + text;
    }
};

}  // namespace vornex
