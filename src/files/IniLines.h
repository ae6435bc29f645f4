#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/ParseProblem.h"

namespace vornex {

// One line of an ini text as the private-profile functions read it: "[name]", up to the line's last
// "]", opens a section; a line starting with ";" is a comment; "name = value", with a name before
// the first "=", is an entry; anything else is none of these. Names and values are trimmed of
// blanks and keep their case.
struct IniLine {
    enum class Kind { Blank, Comment, Section, Entry, Other };
    Kind kind = Kind::Blank;
    std::string name;
    std::string value;
};
IniLine readIniLine(std::string_view text);

// Section and key names are one name whatever their ASCII letters' case, as the profile functions
// match them.
bool sameIniName(std::string_view a, std::string_view b);
// The one spelling of a name that sameIniName finds equal to it: its ASCII letters in lower case.
std::string foldedIniName(std::string_view name);

// One "key = value" line of an ini text, with where it stands.
struct IniEntry {
    int line = 0;  // from 1
    std::string section;
    std::string key;
    std::string value;
};

// The entries of an ini text, or the first line that is none of: blank, a comment (";" or, in
// these files only, "#"), a section written "[section]" and nothing after it, "key = value" inside
// a section. Names and values are trimmed; names keep their case, and a reader compares them with
// sameIniName.
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

}  // namespace vornex
