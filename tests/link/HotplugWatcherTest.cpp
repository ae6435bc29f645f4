#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "link/HotplugWatcher.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

TEST(HotplugWatcher, FiresWhenAPseudoTerminalAppearsAndWhenItGoes) {
    HotplugWatcher watcher;
    ASSERT_TRUE(watcher.watching());
    QSignalSpy spy(&watcher, &HotplugWatcher::portsChanged);

    sim::SimulatedLine line(sim::SimConfig{});
    std::string error;
    ASSERT_TRUE(line.startPty("", error)) << error;
    ASSERT_TRUE(spy.wait(5000));

    spy.clear();
    line.unplug();
    ASSERT_TRUE(spy.wait(5000));
}

TEST(HotplugWatcher, ABurstOfDeviceNodesComesOutAsOneSignal) {
    // A folder of its own, so that ptys other programs open meanwhile do not count.
    QTemporaryDir dev;
    ASSERT_TRUE(dev.isValid());
    HotplugWatcher watcher(nullptr, {dev.path()});
    QSignalSpy spy(&watcher, &HotplugWatcher::portsChanged);

    QFile(dev.path() + "/disk0").open(QIODevice::WriteOnly);
    EXPECT_FALSE(spy.wait(500));
    for (const char* name : {"/ttyUSB0", "/ttyUSB1", "/ttyACM0"}) {
        QFile(dev.path() + name).open(QIODevice::WriteOnly);
    }
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_FALSE(spy.wait(500));
    EXPECT_EQ(spy.count(), 1);
}

}  // namespace
}  // namespace vornex
