#include <gtest/gtest.h>

#include <QSignalSpy>
#include <optional>

#include "Pty.h"
#include "link/HotplugWatcher.h"

namespace vornex {
namespace {

TEST(HotplugWatcher, FiresWhenAPseudoTerminalAppearsAndWhenItGoes) {
    HotplugWatcher watcher;
    ASSERT_TRUE(watcher.watching());
    QSignalSpy spy(&watcher, &HotplugWatcher::portsChanged);

    std::optional<test::Pty> pty;
    pty.emplace();
    ASSERT_TRUE(pty->ok());
    ASSERT_TRUE(spy.wait(5000));

    spy.clear();
    pty.reset();
    ASSERT_TRUE(spy.wait(5000));
}

TEST(HotplugWatcher, ABurstOfChangesComesOutAsOneSignal) {
    HotplugWatcher watcher;
    QSignalSpy spy(&watcher, &HotplugWatcher::portsChanged);
    {
        test::Pty a, b, c;
        ASSERT_TRUE(a.ok() && b.ok() && c.ok());
    }
    ASSERT_TRUE(spy.wait(5000));
    // Nothing more arrives once the burst has settled.
    EXPECT_FALSE(spy.wait(500));
    EXPECT_EQ(spy.count(), 1);
}

}  // namespace
}  // namespace vornex
