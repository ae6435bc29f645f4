#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/ParseProblem.h"

namespace vornex::verify {

// One "key = value" line of an ini text, with where it stands.
struct IniEntry {
    int line = 0;  // from 1
    std::string section;
    std::string key;
    std::string value;
};

// The entries of an ini text, or the first line that is none of: blank, a comment (";" or "#"),
// "[section]", "key = value" inside a section. Names and values are trimmed; names keep their
// case.
struct IniLines {
    std::vector<IniEntry> entries;
    std::optional<ParseProblem> problem;  // none when every line was read

    static IniLines parse(const std::string& text);
};

// The largest ini file read: a profile or a tool record is a few hundred bytes.
constexpr long kMaxIniFileBytes = 64 * 1024;

// The text of the regular file at `path`, of at most kMaxIniFileBytes, opened without waiting on
// it: a FIFO, a folder or a device named like the file is refused, never waited on. Nothing with
// the reason (naming the path) in `error`; nothing with `error` empty when there is no such file.
std::optional<std::string> readIniFile(const std::string& path, std::string& error);

// Names and values as a person writes them in a file: no line breaks, no leading or trailing
// blanks; a key holds no "=", a section no "]".
bool fitsIniLine(const std::string& text);

}  // namespace vornex::verify
