#include "files/IniLines.h"

#include <cstring>
#include <sstream>

#include "files/SmallFile.h"

namespace vornex {

namespace {

constexpr const char* kBlanks = " \t\r\n\v\f";

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

IniLine readIniLine(std::string_view text) {
    const std::string line = trimmed(text);
    IniLine read;
    if (line.empty())
        return read;
    if (line[0] == '[') {
        const auto close = line.rfind(']');
        if (close == std::string::npos || close == 0) {
            read.kind = IniLine::Kind::Other;
            return read;
        }
        read.kind = IniLine::Kind::Section;
        read.name = trimmed(std::string_view(line).substr(1, close - 1));
        return read;
    }
    if (line[0] == ';') {
        read.kind = IniLine::Kind::Comment;
        return read;
    }
    const auto equals = line.find('=');
    if (equals == 0 || equals == std::string::npos) {
        read.kind = IniLine::Kind::Other;
        return read;
    }
    read.kind = IniLine::Kind::Entry;
    read.name = trimmed(std::string_view(line).substr(0, equals));
    read.value = trimmed(std::string_view(line).substr(equals + 1));
    return read;
}

bool sameIniName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (folded(a[i]) != folded(b[i]))
            return false;
    }
    return true;
}

std::string foldedIniName(std::string_view name) {
    std::string fold(name);
    for (char& c : fold)
        c = folded(c);
    return fold;
}

IniLines IniLines::parse(const std::string& text) {
    IniLines result;
    std::istringstream in(text);
    std::string section;
    int number = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++number;
        // A byte-order mark left by an editor belongs to no line.
        if (number == 1 && raw.rfind("\xEF\xBB\xBF", 0) == 0)
            raw.erase(0, 3);
        const std::string line = trimmed(raw);
        if (!line.empty() && line[0] == '#')
            continue;
        const IniLine read = readIniLine(line);
        switch (read.kind) {
            case IniLine::Kind::Blank:
            case IniLine::Kind::Comment:
                continue;
            case IniLine::Kind::Section:
                if (line.back() != ']' || line.size() < 3) {
                    result.problem = ParseProblem{number, "a section is written [NAME]"};
                    return result;
                }
                section = read.name;
                continue;
            case IniLine::Kind::Other:
                result.problem =
                    ParseProblem{number, line[0] == '[' ? "a section is written [NAME]"
                                                        : "neither [section] nor key = value"};
                return result;
            case IniLine::Kind::Entry:
                break;
        }
        if (section.empty()) {
            result.problem = ParseProblem{number, "a value before the first [section]"};
            return result;
        }
        result.entries.push_back({number, section, read.name, read.value});
    }
    return result;
}

std::optional<std::string> readIniFile(const std::string& path, std::string& error) {
    error.clear();
    SmallFile file = readSmallFile(path, static_cast<size_t>(kMaxIniFileBytes));
    switch (file.problem) {
        case SmallFile::Problem::None:
            return std::move(file.bytes);
        case SmallFile::Problem::Missing:
            break;
        case SmallFile::Problem::Unreadable:
            error = path + ": " + std::strerror(file.error);
            break;
        case SmallFile::Problem::Folder:
            error = path + " is a folder, not a file";
            break;
        case SmallFile::Problem::NotRegular:
            error = path + " is not a regular file (a FIFO or a device); it is not read";
            break;
        case SmallFile::Problem::TooLarge:
            error = file.size >= 0
                        ? path + " holds " + std::to_string(file.size) + " bytes, more than the " +
                              std::to_string(kMaxIniFileBytes) + " it may"
                        : path + " holds more than the " + std::to_string(kMaxIniFileBytes) +
                              " bytes it may";
            break;
    }
    return std::nullopt;
}

bool fitsIniLine(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    }
    return trimmed(text) == text;
}

}  // namespace vornex
