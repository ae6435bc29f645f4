#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "Files.h"
#include "LineFixture.h"
#include "Wait.h"
#include "link/RegisterMap.h"
#include "sim/Crc16.h"

namespace vornex::sim {
namespace {

namespace rm = regmap;
using test::holding;
using test::LineFixture;
using test::liveValue;
using test::ModbusClient;
using test::pathExists;
using Faults = LineFixture;

// The errno of a failed live-value read; 0 when it succeeds.
int readError(modbus_t* ctx) {
    return liveValue(ctx) ? 0 : errno;
}

// Waits for a reply left on the line to come in, then flushes it.
void flushLateReply(modbus_t* ctx) {
    pollfd p{modbus_get_socket(ctx), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 10000), 1);
    modbus_flush(ctx);
}

// Once-only faults hit the next request they apply to and no other; under a fraction of dropped
// and corrupt replies every read fails or returns its own instrument's value.
TEST_F(Faults, FaultsFailReadsCleanlyAndTheLineStaysInStep) {
    startLine({test::instrument(1, 11.0f), test::instrument(2, 22.0f)});
    ModbusClient client(linkPath, 1);
    modbus_t* ctx = client.get();

    line->faults().setIgnoreOnce(1, rm::kInLiveValue + 1);
    EXPECT_EQ(holding(ctx, rm::kHoldStatus), 0);
    client.setSlave(2);
    EXPECT_EQ(liveValue(ctx), 22.0f);
    client.setSlave(1);
    EXPECT_EQ(readError(ctx), ETIMEDOUT);
    EXPECT_EQ(liveValue(ctx), 11.0f);

    line->faults().setLateOnce(1, 800);
    client.setSlave(2);
    EXPECT_EQ(liveValue(ctx), 22.0f);
    client.setSlave(1);
    EXPECT_EQ(readError(ctx), ETIMEDOUT);
    ASSERT_TRUE(test::waitUntil([&] { return line->counters().answered == 5; }));
    flushLateReply(ctx);
    EXPECT_EQ(liveValue(ctx), 11.0f);
    EXPECT_EQ(line->counters().dropped, 1u);

    line->log().clear();
    line->faults().setDropFraction(0.15);
    line->faults().setBadCrcFraction(0.15);
    int failures = 0;
    for (int i = 0; i < 40; ++i) {
        const int slave = 1 + i % 2;
        client.setSlave(slave);
        if (const auto value = liveValue(ctx))
            EXPECT_EQ(*value, static_cast<float>(slave) * 11.0f) << "read " << i;
        else
            ++failures;
    }
    const LineCounters c = line->counters();
    EXPECT_EQ(static_cast<uint64_t>(failures), c.dropped + c.badCrc - 1);
    EXPECT_GT(failures, 0);
    EXPECT_LT(failures, 40);
    int logged = 0;
    for (const Transaction& t : line->log().entries())
        logged += t.fate == ReplyFate::Dropped || t.fate == ReplyFate::BadCrc;
    EXPECT_EQ(logged, failures);
}

TEST_F(Faults, UnplugMakesTheClientFailWithEioAndThePortDisappear) {
    startLine({test::instrument(1, 1.0f)});
    const std::string pts = line->devicePath();
    ASSERT_TRUE(pathExists(linkPath));
    ASSERT_TRUE(pathExists(pts));
    ModbusClient client(linkPath, 1);
    EXPECT_EQ(liveValue(client.get()), 1.0f);

    line->unplug();
    EXPECT_FALSE(line->serving());
    EXPECT_FALSE(pathExists(linkPath));
    EXPECT_FALSE(pathExists(pts));
    EXPECT_EQ(readError(client.get()), EIO);
    ModbusClient late(linkPath, 1);
    EXPECT_FALSE(late.connected());

    // Plugged in again: a new pty behind the same link.
    std::string error;
    ASSERT_TRUE(line->startPty(linkPath, error)) << error;
    ModbusClient again(linkPath, 1);
    ASSERT_TRUE(again.connected());
    EXPECT_EQ(liveValue(again.get()), 1.0f);
}

TEST_F(Faults, RepliesNobodyReadsAreLostNotLeftForTheNextClient) {
    startLine({test::instrument(1, 8.0f)});
    {
        // A client that sends and never reads, until far more than a pty buffers has piled up.
        const int fd = open(linkPath.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        std::vector<uint8_t> requests;
        std::vector<uint8_t> one{1, 0x04, 0x03, 0xEC, 0x00, 0x01};
        appendCrc(one);
        constexpr int kRequests = 12000;
        for (int i = 0; i < kRequests; ++i)
            requests.insert(requests.end(), one.begin(), one.end());
        ASSERT_EQ(write(fd, requests.data(), requests.size()),
                  static_cast<ssize_t>(requests.size()));
        ASSERT_TRUE(test::waitUntil([&] { return line->counters().frames == kRequests; }, 60000));
        close(fd);
        // Its open and its close; what it left unread goes with the close.
        EXPECT_TRUE(test::waitUntil([&] { return line->counters().portEvents >= 2; }));
    }
    ASSERT_TRUE(line->serving());
    ModbusClient client(linkPath, 1);
    EXPECT_EQ(liveValue(client.get()), 8.0f);
}

TEST(DeviceLine, ServesASerialDeviceAndReportsItsLoss) {
    // The slave side of a pty stands in for the device; the test holds the other side.
    const int wire = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(wire, 0);
    ASSERT_EQ(grantpt(wire), 0);
    ASSERT_EQ(unlockpt(wire), 0);
    SimConfig config;
    config.instruments = {test::instrument(5, 20.0f)};
    SimulatedLine line(config);
    std::string error;
    ASSERT_TRUE(line.startDevice(ptsname(wire), error)) << error;

    std::vector<uint8_t> request{5, 0x04, 0x03, 0xE8, 0x00, 0x02};
    appendCrc(request);
    ASSERT_EQ(write(wire, request.data(), request.size()), 8);
    std::vector<uint8_t> expected{5, 0x04, 4, 0x00, 0x00, 0x41, 0xA0};
    appendCrc(expected);
    std::vector<uint8_t> reply;
    EXPECT_TRUE(test::waitUntil([&] {
        uint8_t chunk[16];
        pollfd p{wire, POLLIN, 0};
        const ssize_t n = poll(&p, 1, 0) > 0 ? read(wire, chunk, sizeof chunk) : 0;
        if (n > 0)
            reply.insert(reply.end(), chunk, chunk + n);
        return reply.size() >= expected.size();
    }));
    EXPECT_EQ(reply, expected);

    close(wire);
    EXPECT_TRUE(test::waitUntil([&] { return !line.serving(); }));
    EXPECT_FALSE(line.failure().empty());
}

}  // namespace
}  // namespace vornex::sim
