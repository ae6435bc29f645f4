#include "record/TestFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "files/Sha256.h"

namespace vornex {

namespace {

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// Opens a test file for reading. Anything but a regular file is refused at once: opening without
// blocking and examining what was opened keeps a pipe from stalling the reader.
FileResult openForReading(const std::string& path, Descriptor& file, struct stat& status) {
    file.reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) {
        const int err = errno;
        return FileResult::systemError(
            err == ENOENT ? FileResultKind::Missing : FileResultKind::Unreadable, "cannot open",
            path, err);
    }
    if (!S_ISREG(status.st_mode)) {
        return FileResult::failed(FileResultKind::NotRegular,
                                  "cannot read " + path + ": not a regular file");
    }
    return FileResult();
}

ssize_t readRetrying(int fd, void* buffer, size_t size) {
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

std::string parentFolder(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

int openForAppend(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

}  // namespace

AppendResult TestFile::append(const CurvePoint* points, size_t count) const {
    AppendResult result;
    if (count == 0)
        return result;
    int fd = openForAppend(path_);
    // The day folder went away under the test (removed by hand, or by a cleaning tool): it is
    // made again, one level, so the test goes on where it belongs. Something else in its place
    // is left alone and reported.
    if (fd < 0 && errno == ENOENT) {
        const std::string folder = parentFolder(path_);
        if (folder.empty() || (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)) {
            result.file = FileResult::systemError(FileResultKind::Unwritable,
                                                  "cannot make the folder again for", path_, errno);
            return result;
        }
        fd = openForAppend(path_);
    }
    const Descriptor file(fd);
    if (file.get() < 0) {
        const int err = errno;
        struct stat folderStatus {};
        if (err == ENOTDIR && ::stat(parentFolder(path_).c_str(), &folderStatus) == 0 &&
            !S_ISDIR(folderStatus.st_mode)) {
            result.file =
                FileResult::failed(FileResultKind::Unwritable,
                                   "cannot open " + path_ + ": its folder is not a folder", err);
        } else {
            result.file =
                FileResult::systemError(FileResultKind::Unwritable, "cannot open", path_, err);
        }
        return result;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        result.file =
            FileResult::systemError(FileResultKind::Unwritable, "cannot examine", path_, errno);
        return result;
    }
    off_t start = status.st_size;
    // A fragment left by a crash would shift every later record off the 24-byte grid.
    if (const off_t torn = start % static_cast<off_t>(kRecordSize); torn != 0) {
        start -= torn;
        if (::ftruncate(file.get(), start) != 0) {
            result.file = FileResult::systemError(FileResultKind::Unwritable,
                                                  "cannot cut the torn record off", path_, errno);
            return result;
        }
    }
    const size_t bytes = count * kRecordSize;
    ssize_t n;
    do {
        n = ::write(file.get(), points, bytes);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        result.file =
            FileResult::systemError(FileResultKind::Unwritable, "cannot write", path_, errno);
        return result;
    }
    const size_t done = static_cast<size_t>(n);
    result.written = done / kRecordSize;
    if (done == bytes)
        return result;
    if (done % kRecordSize != 0) {
        ::ftruncate(file.get(), start + static_cast<off_t>(result.written * kRecordSize));
    }
    result.file =
        FileResult::failed(FileResultKind::Unwritable, "short write to " + path_ + " (" +
                                                           std::to_string(result.written) + " of " +
                                                           std::to_string(count) + " records)");
    return result;
}

FileResult TestFile::readAll(const Consumer& consume, const BytesSeen& seen) const {
    Descriptor file(-1);
    struct stat status {};
    if (FileResult opened = openForReading(path_, file, status); !opened.ok())
        return opened;
    constexpr size_t kRun = 4096;
    std::vector<CurvePoint> run(kRun);
    auto* bytes = reinterpret_cast<char*>(run.data());
    size_t filled = 0;
    for (;;) {
        const ssize_t n = readRetrying(file.get(), bytes + filled, kRun * kRecordSize - filled);
        if (n < 0)
            return FileResult::systemError(FileResultKind::Unreadable, "cannot read", path_, errno);
        if (n == 0)
            break;
        if (seen)
            seen(bytes + filled, static_cast<size_t>(n));
        filled += static_cast<size_t>(n);
        const size_t whole = filled / kRecordSize;
        if (whole == 0)
            continue;
        consume(run.data(), whole);
        const size_t rest = filled - whole * kRecordSize;
        std::memmove(bytes, bytes + whole * kRecordSize, rest);
        filled = rest;
    }
    return FileResult();
}

std::string TestFile::sha256() const {
    Sha256 hash;
    const FileResult read =
        readAll([](const CurvePoint*, size_t) {},
                [&hash](const char* bytes, size_t count) { hash.add(bytes, count); });
    return read.ok() ? hash.hex() : std::string();
}

CountResult TestFile::count() const {
    Descriptor file(-1);
    struct stat status {};
    CountResult result;
    result.file = openForReading(path_, file, status);
    if (!result.file.ok())
        return result;
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    // Only the records present when counting starts are counted, whatever is appended meanwhile.
    uint64_t remaining = static_cast<uint64_t>(status.st_size) / kRecordSize;
    constexpr size_t kRun = 43690;  // just under 1 MiB of records
    std::vector<CurvePoint> run(static_cast<size_t>(std::min<uint64_t>(remaining, kRun)));
    // Indexed by the raw slave byte, so the loop has no branch; two tables alternate so that a
    // file of one slave does not chain every increment on the same counter.
    std::array<std::array<uint64_t, 256>, 2> tally{};
    size_t filled = 0;
    while (remaining > 0) {
        const size_t want =
            static_cast<size_t>(std::min<uint64_t>(remaining, kRun)) * kRecordSize - filled;
        const ssize_t n =
            readRetrying(file.get(), reinterpret_cast<char*>(run.data()) + filled, want);
        if (n < 0) {
            result.file =
                FileResult::systemError(FileResultKind::Unreadable, "cannot read", path_, errno);
            return result;
        }
        if (n == 0)
            break;  // the file shrank meanwhile
        filled += static_cast<size_t>(n);
        const size_t whole = filled / kRecordSize;
        size_t i = 0;
        for (; i + 1 < whole; i += 2) {
            ++tally[0][run[i].slave];
            ++tally[1][run[i + 1].slave];
        }
        if (i < whole)
            ++tally[0][run[i].slave];
        remaining -= whole;
        const size_t rest = filled - whole * kRecordSize;
        std::memmove(run.data(), reinterpret_cast<char*>(run.data()) + whole * kRecordSize, rest);
        filled = rest;
    }
    for (size_t slave = 0; slave < tally[0].size(); ++slave) {
        const uint64_t n = tally[0][slave] + tally[1][slave];
        if (hasCurveSlot(static_cast<uint8_t>(slave)))
            result.counts.perSlave[slave - 1] = n;
        else
            result.counts.other += n;
    }
    return result;
}

}  // namespace vornex
