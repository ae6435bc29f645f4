#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace vornex {

// Signals portsChanged() when a serial device appears or disappears: kernel uevents of the tty
// subsystem (delivered even where no udev daemon runs) and, for what sends none, such as
// pseudo-terminals, file creation and removal in the device folders. Bursts come out as one signal.
class HotplugWatcher : public QObject {
    Q_OBJECT

public:
    explicit HotplugWatcher(QObject* parent = nullptr,
                            const QStringList& folders = {QStringLiteral("/dev"),
                                                          QStringLiteral("/dev/pts")});
    ~HotplugWatcher() override;

    // False when neither source could be set up; no signal will come then.
    bool watching() const { return monitor_ != nullptr || inotifyFd_ >= 0; }

signals:
    void portsChanged();

private:
    void setUpUdev();
    void setUpInotify(const QStringList& folders);
    void readUdev();
    void readInotify();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int inotifyFd_ = -1;
    QStringList folders_;
    QList<int> watches_;
    QTimer settle_;
};

}  // namespace vornex
