#include "SerialEndpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vornex::sim {

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool setLine(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARODD | CSIZE);
    tio.c_cflag |= CS8 | PARENB | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool makeSymlink(const std::string& target, const std::string& link, std::string& error) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = link + ": exists and is not a symbolic link";
            return false;
        }
        if (unlink(link.c_str()) != 0) {
            error = systemError("cannot replace " + link);
            return false;
        }
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        error = systemError("cannot create " + link);
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<SerialEndpoint> SerialEndpoint::openPty(const std::string& linkPath,
                                                        std::string& error) {
    std::unique_ptr<SerialEndpoint> e(new SerialEndpoint);
    e->fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (e->fd_ < 0) {
        error = systemError("posix_openpt");
        return nullptr;
    }
    char name[PATH_MAX];
    if (grantpt(e->fd_) != 0 || unlockpt(e->fd_) != 0 || ptsname_r(e->fd_, name, sizeof name)) {
        error = systemError("pseudo-terminal set-up");
        return nullptr;
    }
    e->devicePath_ = name;
    e->ptySlaveFd_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (e->ptySlaveFd_ < 0) {
        error = systemError("cannot open " + e->devicePath_);
        return nullptr;
    }
    if (!setLine(e->ptySlaveFd_)) {
        error = systemError("cannot set " + e->devicePath_ + " raw");
        return nullptr;
    }
    e->watchFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (e->watchFd_ < 0 ||
        inotify_add_watch(e->watchFd_, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        error = systemError("cannot watch " + e->devicePath_);
        return nullptr;
    }
    if (fcntl(e->fd_, F_SETFL, fcntl(e->fd_, F_GETFL) | O_NONBLOCK) != 0) {
        error = systemError("fcntl");
        return nullptr;
    }
    if (!linkPath.empty()) {
        if (!makeSymlink(e->devicePath_, linkPath, error))
            return nullptr;
        e->linkPath_ = linkPath;
    }
    return e;
}

std::unique_ptr<SerialEndpoint> SerialEndpoint::openDevice(const std::string& path,
                                                           std::string& error) {
    std::unique_ptr<SerialEndpoint> e(new SerialEndpoint);
    e->fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (e->fd_ < 0) {
        error = systemError("cannot open " + path);
        return nullptr;
    }
    e->devicePath_ = path;
    if (!setLine(e->fd_)) {
        error = systemError("cannot set " + path + " to 19200 8E1");
        return nullptr;
    }
    tcflush(e->fd_, TCIOFLUSH);
    return e;
}

bool SerialEndpoint::write(const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return false;
        if (ptySlaveFd_ >= 0) {
            // A pty fills up only when its client has stopped reading.
            discardUnread();
            return true;
        }
        pollfd p{fd_, POLLOUT, 0};
        const int ready = poll(&p, 1, 1000);
        if (ready == 0)
            return true;
        if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return false;
    }
    return true;
}

void SerialEndpoint::discardUnread() {
    if (ptySlaveFd_ >= 0) {
        tcflush(ptySlaveFd_, TCIFLUSH);
    } else {
        tcflush(fd_, TCOFLUSH);
    }
}

int SerialEndpoint::onClientOpenedOrClosed() {
    alignas(inotify_event) char events[4096];
    int count = 0;
    for (ssize_t n; (n = read(watchFd_, events, sizeof events)) > 0;) {
        for (const char* p = events; p < events + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            ++count;
            p += sizeof(inotify_event) + event->len;
        }
    }
    discardUnread();
    return count;
}

SerialEndpoint::~SerialEndpoint() {
    if (!linkPath_.empty()) {
        // Remove the link only while it still leads to this pty; another simulator may own it now.
        char target[PATH_MAX];
        const ssize_t n = readlink(linkPath_.c_str(), target, sizeof target - 1);
        if (n >= 0) {
            target[n] = '\0';
            if (devicePath_ == target)
                unlink(linkPath_.c_str());
        }
    }
    if (watchFd_ >= 0)
        close(watchFd_);
    if (ptySlaveFd_ >= 0)
        close(ptySlaveFd_);
    if (fd_ >= 0)
        close(fd_);
}

}  // namespace vornex::sim
