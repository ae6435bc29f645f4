#include "verify/IniLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

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
                result.badLine = number;
                result.problem = "a section is written [NAME]";
                return result;
            }
            section = trimmed(line.substr(1, line.size() - 2));
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos || equals == 0) {
            result.badLine = number;
            result.problem = "neither [section] nor key = value";
            return result;
        }
        if (section.empty()) {
            result.badLine = number;
            result.problem = "a value before the first [section]";
            return result;
        }
        result.entries.push_back(
            {number, section, trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))});
    }
    return result;
}

std::optional<std::string> readIniFile(const std::string& path, std::string& error) {
    error.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    std::optional<std::string> text;
    if (::fstat(fd, &status) != 0) {
        error = path + ": " + std::strerror(errno);
    } else if (S_ISDIR(status.st_mode)) {
        error = path + " is a folder, not a file";
    } else if (!S_ISREG(status.st_mode)) {
        error = path + " is not a regular file (a FIFO or a device); it is not read";
    } else if (status.st_size > kMaxIniFileBytes) {
        error = path + " holds " + std::to_string(status.st_size) + " bytes, more than the " +
                std::to_string(kMaxIniFileBytes) + " it may";
    } else {
        // Read to the end, not to the size seen: the file may grow meanwhile, but only so far.
        std::string bytes;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error = path + ": " + std::strerror(errno);
                break;
            }
            if (n == 0) {
                text = std::move(bytes);
                break;
            }
            bytes.append(buffer, static_cast<size_t>(n));
            if (bytes.size() > static_cast<size_t>(kMaxIniFileBytes)) {
                error = path + " holds more than the " + std::to_string(kMaxIniFileBytes) +
                        " bytes it may";
                break;
            }
        }
    }
    ::close(fd);
    return text;
}

bool fitsIniLine(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    }
    return trimmed(text) == text;
}

}  // namespace vornex::verify
