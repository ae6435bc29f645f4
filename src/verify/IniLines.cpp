#include "verify/IniLines.h"

#include <cstring>
#include <sstream>

#include "files/SmallFile.h"

namespace vornex::verify {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

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
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                result.problem = ParseProblem{number, "a section is written [NAME]"};
                return result;
            }
            section = trimmed(line.substr(1, line.size() - 2));
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos || equals == 0) {
            result.problem = ParseProblem{number, "neither [section] nor key = value"};
            return result;
        }
        if (section.empty()) {
            result.problem = ParseProblem{number, "a value before the first [section]"};
            return result;
        }
        result.entries.push_back(
            {number, section, trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))});
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

}  // namespace vornex::verify
