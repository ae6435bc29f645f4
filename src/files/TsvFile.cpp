#include "files/TsvFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstring>
#include <sstream>
#include <utility>

#include "files/AtomicFile.h"
#include "files/SmallFile.h"

namespace vornex {

namespace {

// Signatures of a lab's lifetime stay far below it.
constexpr size_t kMaxTsvBytes = 64 * 1024 * 1024;

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> fields;
    size_t from = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', from)) {
        fields.push_back(line.substr(from, tab - from));
        from = tab + 1;
    }
    fields.push_back(line.substr(from));
    return fields;
}

}  // namespace

TsvFile::TsvFile(std::string path, std::string header)
    : path_(std::move(path)), header_(std::move(header)) {}

bool TsvFile::read(std::vector<std::vector<std::string>>& rows, std::string& error) const {
    rows.clear();
    const SmallFile file = readSmallFile(path_, kMaxTsvBytes);
    if (file.problem == SmallFile::Problem::Missing)
        return true;
    if (!file.ok()) {
        error = "cannot read " + path_ +
                (file.error != 0 ? ": " + std::string(std::strerror(file.error)) : std::string());
        return false;
    }
    std::istringstream lines(file.bytes);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (std::exchange(first, false) && line == header_)
            continue;
        if (!line.empty())
            rows.push_back(split(line));
    }
    return true;
}

TsvAppend::TsvAppend(const TsvFile& file) : file_(file) {
    lock_ = ::open((file.path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock_ >= 0)
        ::flock(lock_, LOCK_EX);
}

TsvAppend::~TsvAppend() {
    if (lock_ >= 0)
        ::close(lock_);
}

bool TsvAppend::add(const std::vector<std::string>& fields, std::string& error) {
    const SmallFile now = readSmallFile(file_.path_, kMaxTsvBytes);
    std::string bytes;
    if (now.ok()) {
        bytes = now.bytes;
    } else if (now.problem != SmallFile::Problem::Missing) {
        error = "cannot read " + file_.path_;
        return false;
    }
    if (bytes.empty())
        bytes = file_.header_ + "\n";
    else if (bytes.back() != '\n')
        bytes += '\n';
    for (size_t i = 0; i < fields.size(); ++i)
        bytes += (i == 0 ? "" : "\t") + tsvField(fields[i]);
    bytes += '\n';
    return writeWholeFile(file_.path_, bytes, &error);
}

std::string tsvField(const std::string& text) {
    std::string field = text;
    for (char& c : field)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return field.empty() ? "-" : field;
}

}  // namespace vornex
