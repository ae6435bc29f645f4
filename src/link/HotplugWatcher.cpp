#include "link/HotplugWatcher.h"

#include <libudev.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstring>

namespace vornex {

namespace {

// Device arrivals come in bursts (a USB adapter adds several nodes); one refresh covers them.
constexpr int kSettleMs = 100;

bool isSerialNodeName(const char* name, bool ptsFolder) {
    if (ptsFolder)
        return std::strcmp(name, "ptmx") != 0;
    return std::strncmp(name, "tty", 3) == 0 || std::strncmp(name, "rfcomm", 6) == 0;
}

}  // namespace

HotplugWatcher::HotplugWatcher(QObject* parent, const QStringList& folders) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &HotplugWatcher::portsChanged);
    setUpUdev();
    setUpInotify(folders);
}

HotplugWatcher::~HotplugWatcher() {
    if (monitor_ != nullptr)
        udev_monitor_unref(monitor_);
    if (udev_ != nullptr)
        udev_unref(udev_);
    if (inotifyFd_ >= 0)
        ::close(inotifyFd_);
}

void HotplugWatcher::setUpUdev() {
    udev_ = udev_new();
    if (udev_ == nullptr)
        return;
    monitor_ = udev_monitor_new_from_netlink(udev_, "kernel");
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        if (monitor_ != nullptr)
            udev_monitor_unref(monitor_);
        monitor_ = nullptr;
        return;
    }
    auto* notifier =
        new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &HotplugWatcher::readUdev);
}

void HotplugWatcher::setUpInotify(const QStringList& folders) {
    inotifyFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotifyFd_ < 0)
        return;
    for (const QString& folder : folders) {
        const int wd = inotify_add_watch(inotifyFd_, folder.toLocal8Bit().constData(),
                                         IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO);
        if (wd < 0)
            continue;
        folders_.append(folder);
        watches_.append(wd);
    }
    if (watches_.isEmpty()) {
        ::close(inotifyFd_);
        inotifyFd_ = -1;
        return;
    }
    auto* notifier = new QSocketNotifier(inotifyFd_, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &HotplugWatcher::readInotify);
}

void HotplugWatcher::readUdev() {
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        if (action != nullptr &&
            (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0)) {
            settle_.start();
        }
        udev_device_unref(device);
    }
}

void HotplugWatcher::readInotify() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(inotifyFd_, buffer, sizeof buffer);
        if (n <= 0)
            return;
        for (ssize_t offset = 0; offset < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const qsizetype index = watches_.indexOf(event->wd);
            if (index < 0 || event->len == 0)
                continue;
            const bool pts = folders_[index].endsWith(QLatin1String("/pts"));
            if (isSerialNodeName(event->name, pts))
                settle_.start();
        }
    }
}

}  // namespace vornex
