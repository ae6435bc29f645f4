#include <gtest/gtest.h>
#include <termios.h>

#include <QTemporaryDir>
#include <chrono>
#include <thread>
#include <vector>

#include "Pty.h"
#include "link/ModbusLink.h"
#include "link/RegisterMap.h"
#include "sim/Crc16.h"

namespace vornex {
namespace {

TEST(ModbusLinkOpen, ConnectsToTheSamePtyAgainAndAgain) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    // The line as a previous 19200 baud link leaves it when it does not restore it: only parity
    // differs from what the link asks for, and the pty driver ignores parity.
    termios tios{};
    ASSERT_EQ(::tcgetattr(pty.master(), &tios), 0);
    cfmakeraw(&tios);
    cfsetispeed(&tios, B19200);
    cfsetospeed(&tios, B19200);
    ASSERT_EQ(::tcsetattr(pty.master(), TCSANOW, &tios), 0);

    ModbusLink link;
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(link.open(pty.path()), OpenResult::Opened) << "cycle " << i;
        ASSERT_TRUE(link.isOpen());
        link.close();
        ASSERT_FALSE(link.isOpen());
    }
}

TEST(ModbusLinkOpen, ASecondLinkOnAHeldPortIsRefusedAsInUse) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    ModbusLink first, second;
    ASSERT_EQ(first.open(pty.path()), OpenResult::Opened);
    EXPECT_EQ(second.open(pty.path()), OpenResult::InUse);
    EXPECT_FALSE(second.isOpen());
    first.close();
    EXPECT_EQ(second.open(pty.path()), OpenResult::Opened);
}

TEST(ModbusLinkOpen, WhatIsNoSerialPortCannotBeOpened) {
    QTemporaryDir dir;
    ModbusLink link;
    EXPECT_EQ(link.open((dir.path() + "/absent").toStdString()), OpenResult::CannotOpen);
    EXPECT_EQ(link.open(dir.path().toStdString()), OpenResult::CannotOpen);
    EXPECT_FALSE(link.isOpen());
}

TEST(ModbusLinkFailure, AVanishedLineFailsAtOnceAndIsReportedGone) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    ModbusLink link;
    ASSERT_EQ(link.open(pty.path()), OpenResult::Opened);
    link.setSlave(1);
    pty.closeMaster();

    const auto start = std::chrono::steady_clock::now();
    uint16_t regs[2] = {7, 7};
    EXPECT_FALSE(link.readInputRegisters(regmap::kInLiveValue, 2, regs));
    EXPECT_TRUE(link.lineGone());
    EXPECT_FALSE(link.readHoldingRegisters(regmap::kHoldStatus, 1, regs));
    EXPECT_EQ(link.reportSlaveId(10, reinterpret_cast<uint8_t*>(regs)), -1);
    // Well under one response timeout: nothing waited for a reply.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_EQ(regs[0], 7);
}

// Answers read-input requests for slave 1 on the master side of a pty: the first reply only after
// the link's response timeout has passed, every later one at once.
class LateResponder {
public:
    explicit LateResponder(int master) : master_(master), thread_([this] { serve(); }) {}
    ~LateResponder() { thread_.join(); }

private:
    void serve() {
        for (int request = 0; request < 2; ++request) {
            uint8_t frame[8];
            size_t got = 0;
            while (got < sizeof frame) {
                const ssize_t n = ::read(master_, frame + got, sizeof frame - got);
                if (n <= 0)
                    return;
                got += static_cast<size_t>(n);
            }
            const int first = (frame[2] << 8) | frame[3];
            uint16_t regs[2];
            regmap::encodeFloat(first == regmap::kInRange ? 500.0f : 20.0f, regs);
            std::vector<uint8_t> reply = {1,
                                          4,
                                          4,
                                          static_cast<uint8_t>(regs[0] >> 8),
                                          static_cast<uint8_t>(regs[0]),
                                          static_cast<uint8_t>(regs[1] >> 8),
                                          static_cast<uint8_t>(regs[1])};
            sim::appendCrc(reply);
            if (request == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(600));
            if (::write(master_, reply.data(), reply.size()) < 0)
                return;
        }
    }

    int master_;
    std::thread thread_;
};

TEST(ModbusLinkFailure, ALateReplyIsNotTakenAsTheAnswerToTheNextRequest) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    ModbusLink link;
    ASSERT_EQ(link.open(pty.path()), OpenResult::Opened);
    link.setSlave(1);
    LateResponder responder(pty.master());

    uint16_t regs[2] = {0, 0};
    EXPECT_FALSE(link.readInputRegisters(regmap::kInRange, 2, regs));
    EXPECT_EQ(link.lastError(), ETIMEDOUT);
    ASSERT_TRUE(link.readInputRegisters(regmap::kInLiveValue, 2, regs));
    EXPECT_EQ(regmap::decodeFloat(regs), 20.0f);
    EXPECT_FALSE(link.lineGone());
}

}  // namespace
}  // namespace vornex
