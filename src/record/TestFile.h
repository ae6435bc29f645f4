#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "record/CurvePoint.h"
#include "record/SlaveCounts.h"

namespace vornex {

// Outcome of one append.
struct AppendResult {
    size_t written = 0;  // whole records now in the file
    std::string error;   // empty when every record was written

    bool ok() const { return error.empty(); }
};

// Outcome of reading a file.
enum class ReadStatus { Read, Missing, Failed };

// One test file of 24-byte records. Nothing is held open between calls. The readers take regular
// files only: a pipe, a folder or a device is refused at once, with the reason, and never waited
// on.
class TestFile {
public:
    explicit TestFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Appends `count` records with one write, creating the file (and its folder, one level) if
    // needed and never truncating what is there. A write cut short, or a torn record left by an
    // earlier crash, is cut back to the last whole record so that records always start at multiples
    // of 24.
    AppendResult append(const CurvePoint* points, size_t count) const;

    // Hands every whole record, in file order, to `consume` in runs of at most a few thousand. A
    // trailing fragment of fewer than 24 bytes is not a record and is never handed on.
    using Consumer = std::function<void(const CurvePoint* points, size_t count)>;
    ReadStatus readAll(const Consumer& consume, std::string* error = nullptr) const;

    // Records per slave address 1..30; those of slave 0 or above 30 are counted together as
    // other. Empty when the file cannot be read, with the reason in `error`.
    std::optional<SlaveCounts> count(std::string* error = nullptr) const;

private:
    std::string path_;
};

}  // namespace vornex
