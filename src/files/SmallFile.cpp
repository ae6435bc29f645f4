#include "files/SmallFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vornex {

SmallFile readSmallFile(int fd, size_t limit) {
    SmallFile file;
    const auto failed = [&file](SmallFile::Problem problem, int error = 0) {
        file.problem = problem;
        file.error = error;
        file.bytes.clear();
        return file;
    };
    if (::fstat(fd, &file.status) != 0)
        return failed(SmallFile::Problem::Unreadable, errno);
    if (S_ISDIR(file.status.st_mode))
        return failed(SmallFile::Problem::Folder);
    if (!S_ISREG(file.status.st_mode))
        return failed(SmallFile::Problem::NotRegular);
    if (static_cast<unsigned long long>(file.status.st_size) > limit) {
        file.size = static_cast<long long>(file.status.st_size);
        return failed(SmallFile::Problem::TooLarge);
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(file.bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(SmallFile::Problem::Unreadable, errno);
        if (n == 0)
            return file;
        file.bytes.append(buffer, static_cast<size_t>(n));
        if (file.bytes.size() > limit)
            return failed(SmallFile::Problem::TooLarge);
    }
}

SmallFile readSmallFile(const std::string& path, size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SmallFile file;
        file.error = errno;
        file.problem = file.error == ENOENT || file.error == ENOTDIR
                           ? SmallFile::Problem::Missing
                           : SmallFile::Problem::Unreadable;
        return file;
    }
    SmallFile file = readSmallFile(fd, limit);
    ::close(fd);
    return file;
}

}  // namespace vornex
