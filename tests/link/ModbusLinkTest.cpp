#include <gtest/gtest.h>

#include "LineFixture.h"
#include "link/ModbusLink.h"
#include "link/RegisterMap.h"

namespace vornex {
namespace {

using Kind = LinkResult::Kind;

// Instruments 1 and 2 on a simulated line, holding their live values at 20 and 30 with a range
// of 500.
class ModbusLinkTest : public test::LineFixture {
protected:
    void SetUp() override { startLine({test::instrument(1, 20.0f), test::instrument(2, 30.0f)}); }
};

TEST_F(ModbusLinkTest, ConnectsToTheSamePtyAgainAndAgainButNotTwiceAtOnce) {
    // The simulator leaves the pty at 19200 baud without parity, as a previous link that does not
    // restore it would: only parity differs from what the link asks for, and the pty driver
    // ignores parity. The simulator serves each new client as it served the last.
    ModbusLink link;
    uint16_t regs[2] = {};
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(link.open(linkPath), OpenResult::Opened) << "cycle " << i;
        ASSERT_TRUE(link.setSlave(1));
        ASSERT_TRUE(link.readInputRegisters(regmap::kInLiveValue, 2, regs)) << "cycle " << i;
        ASSERT_EQ(regmap::decodeFloat(regs), 20.0f);
        link.close();
    }
    ModbusLink first, second;
    ASSERT_EQ(first.open(linkPath), OpenResult::Opened);
    EXPECT_EQ(second.open(linkPath), OpenResult::InUse);
    first.close();
    EXPECT_EQ(second.open(linkPath), OpenResult::Opened);
}

TEST(ModbusLinkOpen, WhatIsNoSerialPortCannotBeOpened) {
    test::TempDir dir;
    ModbusLink link;
    EXPECT_EQ(link.open(dir.file("absent")), OpenResult::CannotOpen);
    EXPECT_EQ(link.open(dir.path()), OpenResult::CannotOpen);
    uint16_t regs[2];
    EXPECT_EQ(link.readInputRegisters(regmap::kInLiveValue, 2, regs).kind(), Kind::NotOpen);
}

// Each fault of the line comes back as its own kind of result and the line is in step after it.
// A late reply is waited out before the next request to the same slave; another slave is asked at
// once and loses at most one read to it, never gets a wrong value. An unplugged line fails at once.
TEST_F(ModbusLinkTest, EveryFaultComesBackAsItsOwnKindAndNeverAsAWrongValue) {
    ModbusLink link;
    ASSERT_EQ(link.open(linkPath), OpenResult::Opened);
    ASSERT_TRUE(link.setSlave(1));
    uint16_t regs[2] = {};
    auto liveValueIsRead = [&] {
        regs[0] = regs[1] = 0;
        return link.readInputRegisters(regmap::kInLiveValue, 2, regs).ok() &&
               regmap::decodeFloat(regs) == 20.0f;
    };

    const LinkResult outside = link.readInputRegisters(2000, 2, regs);
    EXPECT_EQ(outside.kind(), Kind::Exception);
    EXPECT_EQ(outside.exceptionCode(), 2);
    const uint16_t badMode = regmap::kModeNumberCount;
    EXPECT_EQ(link.writeRegister(regmap::kHoldModeNumber, badMode).exceptionCode(), 3);
    EXPECT_TRUE(liveValueIsRead());

    line->faults().setIgnoreOnce(1, regmap::kInLiveValue + 1);
    EXPECT_EQ(link.readInputRegisters(regmap::kInLiveValue, 2, regs).kind(), Kind::Timeout);
    EXPECT_TRUE(liveValueIsRead());

    line->faults().setBadCrcFraction(1.0);
    EXPECT_EQ(link.readInputRegisters(regmap::kInLiveValue, 2, regs).kind(), Kind::BadFrame);
    line->faults().setBadCrcFraction(0.0);
    EXPECT_TRUE(liveValueIsRead());
    EXPECT_EQ(line->counters().dropped, 1u);
    EXPECT_EQ(line->counters().badCrc, 1u);

    // Later than the library's response timeout, and within the time the link waits for it.
    line->faults().setLateOnce(1, 600);
    EXPECT_EQ(link.readInputRegisters(regmap::kInRange, 2, regs).kind(), Kind::Timeout);
    EXPECT_TRUE(liveValueIsRead());
    line->faults().setLateOnce(1, 520);
    EXPECT_EQ(link.readInputRegisters(regmap::kInRange, 2, regs).kind(), Kind::Timeout);
    ASSERT_TRUE(link.setSlave(2));
    int read = 0;
    for (int i = 0; i < 20; ++i) {
        if (link.readInputRegisters(regmap::kInLiveValue, 2, regs)) {
            EXPECT_EQ(regmap::decodeFloat(regs), 30.0f);
            ++read;
        }
    }
    EXPECT_GE(read, 19);

    line->unplug();
    regs[0] = 7;
    const LinkResult gone = link.readInputRegisters(regmap::kInLiveValue, 2, regs);
    EXPECT_EQ(gone.kind(), Kind::LineGone);
    EXPECT_EQ(gone.error(), EIO);
    EXPECT_EQ(link.readHoldingRegisters(regmap::kHoldStatus, 1, regs).kind(), Kind::LineGone);
    int received = -1;
    EXPECT_EQ(link.reportSlaveId(10, reinterpret_cast<uint8_t*>(regs), received).kind(),
              Kind::LineGone);
    EXPECT_EQ(received, 0);
    EXPECT_EQ(regs[0], 7);
}

}  // namespace
}  // namespace vornex
