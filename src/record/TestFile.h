#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "files/FileResult.h"
#include "record/CurvePoint.h"
#include "record/SlaveCounts.h"

namespace vornex {

// Outcome of one append.
struct AppendResult {
    size_t written = 0;  // whole records now in the file
    FileResult file;     // Ok when every record was written

    bool ok() const { return file.ok(); }
};

// Outcome of counting a file's records.
struct CountResult {
    SlaveCounts counts;  // all zero when the file cannot be read
    FileResult file;
};

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
    // trailing fragment of fewer than 24 bytes is not a record and is never handed on. `seen`, when
    // given, hears every byte read, the fragment included, in file order.
    using Consumer = std::function<void(const CurvePoint* points, size_t count)>;
    using BytesSeen = std::function<void(const char* bytes, size_t count)>;
    FileResult readAll(const Consumer& consume, const BytesSeen& seen = nullptr) const;

    // The SHA-256 of the whole file as it is now, lowercase hex; empty when it cannot be read.
    std::string sha256() const;

    // Records per slave address 1..30; those of slave 0 or above 30 are counted together as
    // other.
    CountResult count() const;

private:
    std::string path_;
};

}  // namespace vornex
