#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vornex {

// True when both paths lead to the same file (same device and inode), through whatever other
// names or links. False when either cannot be examined (a file that does not exist yet).
bool isSameFile(const std::string& a, const std::string& b);

// An output that replaces its target whole or not at all. What is written goes to a temporary
// file in the target's folder; commit() flushes it to disk and renames it over the target, so a
// failed or interrupted write leaves the previous file as it was. A symbolic link is followed: the
// file it leads to is replaced and the link stays. A target that exists but is not a regular file
// (a terminal, a pipe, a device) cannot be replaced and is written directly. The temporary file is
// also removed when a signal ends the program (see TemporaryFiles.h).
class AtomicFile {
public:
    explicit AtomicFile(const std::string& target);
    // Removes the temporary file unless it was committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the file to write; false with the reason in error().
    bool open();
    // Where to write after open(), as a stream or, for writers that take a file name, by name.
    std::FILE* stream() const { return stream_; }
    const std::string& writePath() const { return temp_.empty() ? target_ : temp_; }

    // Puts what was written in place of the target; false with the reason in error(), the target
    // then left untouched.
    bool commit();

    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what, int err);
    void discard();

    std::string target_;
    std::string temp_;  // empty when the target is written directly
    int ticket_ = -1;   // of the temporary file's registration
    std::FILE* stream_ = nullptr;
    std::string error_;
};

// Replaces `path` whole with `bytes` or leaves it as it was; false with the reason in `error`.
bool writeWholeFile(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace vornex
