#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>

namespace vornex {

// A settings, profile, companion or run file read whole: a regular file of bounded size, opened
// without waiting on it, so that a pipe or a device named like one is refused instead of hanging
// the reader, and a huge file is refused instead of filling memory. What went wrong is a kind,
// not a sentence: each caller words it for the file it reads.
struct SmallFile {
    enum class Problem {
        None,
        Missing,     // nothing of that name, or a folder on the way is missing
        Folder,      // a folder where the file was expected
        NotRegular,  // a FIFO, a socket or a device
        TooLarge,    // over the limit when opened, or grown past it while read
        Unreadable,  // the system refused to open, examine or read it: see error
    };
    Problem problem = Problem::None;
    int error = 0;        // errno, for Unreadable
    long long size = -1;  // the size seen when opened, for TooLarge; -1 when it grew while read
    struct stat status {};
    std::string bytes;

    bool ok() const { return problem == Problem::None; }
};

// The whole file from its first byte, read to its end with pread, so the descriptor's own offset
// (an appender's) is left alone. The file may grow while it is read, but not past `limit`.
SmallFile readSmallFile(int fd, size_t limit);
SmallFile readSmallFile(const std::string& path, size_t limit);

}  // namespace vornex
