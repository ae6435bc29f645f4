#include "files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "files/TemporaryFiles.h"

namespace vornex {

namespace {

// The file a symbolic link leads to; the path itself when it is no link or leads nowhere.
std::string resolved(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : path;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A hidden name beside the target, short enough for any file system's name limit.
std::string temporaryName(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string suffix(8, 'x');
    for (char& c : suffix)
        c = kLetters[random() % (sizeof(kLetters) - 1)];
    return folderOf(target) + "/." + base.substr(0, 200) + "." + suffix;
}

// Makes a rename in `folder` survive a crash; file systems that cannot sync a folder are fine.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool isSameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

AtomicFile::AtomicFile(const std::string& target) : target_(resolved(target)) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::fail(const std::string& what, int err) {
    error_ = what + " " + target_ + ": " + std::strerror(err);
    discard();
    return false;
}

void AtomicFile::discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    unregisterTemporaryFile(ticket_);
    ticket_ = -1;
}

bool AtomicFile::open() {
    struct stat status {};
    const bool exists = ::stat(target_.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
        return fail("cannot replace", EISDIR);
    if (exists && !S_ISREG(status.st_mode)) {
        stream_ = std::fopen(target_.c_str(), "we");
        return stream_ != nullptr || fail("cannot open", errno);
    }
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp_ = temporaryName(target_);
        // Named before it exists: a signal right after the file is made must find it to remove.
        ticket_ = registerTemporaryFile(temp_.c_str());
        fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            unregisterTemporaryFile(ticket_);
            ticket_ = -1;
            if (errno != EEXIST)
                break;
        }
    }
    if (fd < 0) {
        const int err = errno;
        temp_.clear();
        return fail("cannot create", err);
    }
    // The replacement keeps the permissions of the file it replaces.
    if (exists)
        ::fchmod(fd, status.st_mode & 07777);
    stream_ = ::fdopen(fd, "w");
    if (stream_ == nullptr) {
        const int err = errno;
        ::close(fd);
        return fail("cannot open", err);
    }
    return true;
}

bool AtomicFile::commit() {
    if (stream_ == nullptr)
        return fail("cannot write", EBADF);
    if (std::fflush(stream_) != 0 || std::ferror(stream_))
        return fail("cannot write", errno != 0 ? errno : EIO);
    if (!temp_.empty() && ::fsync(::fileno(stream_)) != 0)
        return fail("cannot write", errno);
    const int closed = std::fclose(stream_);
    stream_ = nullptr;
    if (closed != 0)
        return fail("cannot write", errno);
    if (temp_.empty())
        return true;
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return fail("cannot replace", errno);
    temp_.clear();
    unregisterTemporaryFile(ticket_);
    ticket_ = -1;
    syncFolder(folderOf(target_));
    return true;
}

bool writeWholeFile(const std::string& path, std::string_view bytes, std::string* error) {
    AtomicFile file(path);
    const bool written =
        file.open() && std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) == bytes.size();
    const int err = errno;
    if (written && file.commit())
        return true;
    if (error != nullptr)
        *error = file.error().empty() ? "cannot write " + path + ": " + std::strerror(err)
                                      : file.error();
    return false;
}

}  // namespace vornex
