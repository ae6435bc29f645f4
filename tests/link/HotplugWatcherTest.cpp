#include <gtest/gtest.h>

#include <unistd.h>

#include <QSignalSpy>

#include "Files.h"
#include "TempDir.h"

#include "link/HotplugWatcher.h"
#include "link/PortIdentity.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

TEST(HotplugWatcher, FiresWhenAPortAppearsAndWhenItGoesOnceForABurst) {
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

    // A burst of device nodes comes out as one signal; a folder of its own, so that ptys other
    // programs open meanwhile do not count.
    test::TempDir dev;
    HotplugWatcher own(nullptr, {dev.qPath()});
    QSignalSpy burst(&own, &HotplugWatcher::portsChanged);
    test::writeBytes(dev.file("disk0"), "");
    EXPECT_FALSE(burst.wait(500));
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0"})
        test::writeBytes(dev.file(name), "");
    ASSERT_TRUE(burst.wait(5000));
    EXPECT_FALSE(burst.wait(500));
    EXPECT_EQ(burst.count(), 1);
}

// A USB adapter is found again by its by-id name wherever its node comes back; a port without
// one, or whose name is gone, by its own path.
TEST(PortIdentity, FollowsTheAdapterByItsByIdNameElseKeepsThePath) {
    test::TempDir dev;
    dev.folder("by-id");
    const std::string byId = dev.file("by-id");
    for (const char* node : {"ttyUSB0", "ttyUSB1", "ttyS0"})
        test::writeBytes(dev.file(node), "");
    const std::string name = byId + "/usb-FTDI_FT232R_A9XK3L-if00-port0";
    ASSERT_EQ(::symlink("../ttyUSB0", name.c_str()), 0);

    const PortIdentity adapter(dev.file("ttyUSB0"), byId);
    EXPECT_EQ(adapter.byId(), name);
    EXPECT_EQ(adapter.current(), dev.file("ttyUSB0"));
    ASSERT_EQ(::unlink(name.c_str()), 0);
    EXPECT_EQ(adapter.current(), dev.file("ttyUSB0"));
    ASSERT_EQ(::symlink("../ttyUSB1", name.c_str()), 0);
    EXPECT_EQ(adapter.current(), dev.file("ttyUSB1"));

    const PortIdentity builtIn(dev.file("ttyS0"), byId);
    EXPECT_TRUE(builtIn.byId().empty());
    EXPECT_EQ(builtIn.current(), dev.file("ttyS0"));
}

}  // namespace
}  // namespace vornex
