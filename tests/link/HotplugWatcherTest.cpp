#include <gtest/gtest.h>

#include <QSignalSpy>

#include "Files.h"
#include "TempDir.h"

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
    test::TempDir dev;
    HotplugWatcher watcher(nullptr, {dev.qPath()});
    QSignalSpy spy(&watcher, &HotplugWatcher::portsChanged);

    test::writeBytes(dev.file("disk0"), "");
    EXPECT_FALSE(spy.wait(500));
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0"})
        test::writeBytes(dev.file(name), "");
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_FALSE(spy.wait(500));
    EXPECT_EQ(spy.count(), 1);
}

}  // namespace
}  // namespace vornex
