#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vornex::fuzz {

// A broken promise of the code under test: reported and turned into a crash, so that libFuzzer
// keeps the input.
inline void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// A regular file that lives in memory only, reachable by path as the readers need; a new inode
// for each input, so that nothing cached for an earlier input is taken for this one.
class MemoryFile {
public:
    MemoryFile(const uint8_t* data, size_t size) : fd_(::memfd_create("vornex-fuzz", MFD_CLOEXEC)) {
        check(fd_ >= 0, "memfd_create");
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd_, data + done, size - done);
            check(n > 0, "write to the memory file");
            done += static_cast<size_t>(n);
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

private:
    int fd_;
    std::string path_;
};

}  // namespace vornex::fuzz
