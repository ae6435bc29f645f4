#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <optional>
#include <vector>

#include "HostileGateway.h"
#include "LineFixture.h"
#include "PollRecorder.h"
#include "SilentGateway.h"
#include "Wait.h"
#include "link/LineProbe.h"
#include "link/NetworkPort.h"
#include "link/Poller.h"
#include "link/PortLink.h"
#include "link/RtuReply.h"
#include "sim/Crc16.h"
#include "sim/NetworkGateway.h"

namespace vornex {
namespace {

using Status = ReplyScan::Status;
using Framing = sim::NetworkGateway::Framing;

std::vector<uint8_t> withCrc(std::vector<uint8_t> frame) {
    sim::appendCrc(frame);
    return frame;
}

std::vector<uint8_t> joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Feeds the bytes as they come in segments, as the link does: scans after each segment, drops
// what is skipped, and stops at the first verdict that is not "more".
ReplyScan scanSegments(const std::vector<std::vector<uint8_t>>& segments,
                       const ExpectedReply& expected, std::vector<uint8_t>& left) {
    left.clear();
    ReplyScan scan;
    for (const auto& segment : segments) {
        left.insert(left.end(), segment.begin(), segment.end());
        for (scan = scanReply(left.data(), left.size(), expected); scan.status == Status::Skip;
             scan = scanReply(left.data(), left.size(), expected)) {
            left.erase(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(scan.length));
        }
        if (scan.status != Status::NeedMore)
            return scan;
    }
    return scan;
}

TEST(RtuOverTcpFraming, RepliesAreCutByLengthAndOnlyTheAskedOneIsTaken) {
    // Slave 3 answers a read of two input registers with 0x1234 0x5678.
    const auto reply = withCrc({3, 4, 4, 0x12, 0x34, 0x56, 0x78});
    const ExpectedReply readOfTwo{3, 4, 9, false};
    auto badCrc = reply;
    badCrc.back() ^= 0x5A;
    const auto lateOfSlave5 = withCrc({5, 4, 2, 0, 1});
    const auto lateHoldingOfSlave3 = withCrc({3, 3, 2, 0, 7});
    const auto exception = withCrc({3, 0x84, 2});
    const auto identification = withCrc({3, 0x11, 3, 'V', 'X', 0xFF});
    struct Case {
        const char* what;
        std::vector<std::vector<uint8_t>> segments;
        ExpectedReply expected;
        Status status;
        size_t length;
    };
    const Case cases[] = {
        {"whole", {reply}, readOfTwo, Status::Reply, 9},
        {"split over three segments",
         {{3}, {4, 4, 0x12, 0x34}, {reply.begin() + 5, reply.end()}},
         readOfTwo,
         Status::Reply,
         9},
        {"cut short", {{reply.begin(), reply.end() - 1}}, readOfTwo, Status::NeedMore, 9},
        {"wrong CRC", {badCrc}, readOfTwo, Status::BadCrc, 9},
        {"after another slave's late reply, in one segment",
         {joined(lateOfSlave5, reply)},
         readOfTwo,
         Status::Reply,
         9},
        {"after a late reply of the same slave to another read",
         {lateHoldingOfSlave3, reply},
         readOfTwo,
         Status::Reply,
         9},
        {"two replies in one segment: the first is taken",
         {joined(reply, reply)},
         readOfTwo,
         Status::Reply,
         9},
        {"after noise", {{0x00, 0xFF}, reply}, readOfTwo, Status::Reply, 9},
        {"exception", {exception}, readOfTwo, Status::Exception, 5},
        {"counted length", {identification}, {3, 0x11, 0, true}, Status::Reply, 8},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> left;
        const ReplyScan scan = scanSegments(c.segments, c.expected, left);
        EXPECT_EQ(scan.status, c.status) << c.what;
        EXPECT_EQ(scan.length, c.length) << c.what;
        if (scan.status == Status::Reply && !c.expected.counted) {
            EXPECT_TRUE(std::equal(reply.begin(), reply.end(), left.begin())) << c.what;
        }
    }
    EXPECT_EQ(scanReply(exception.data(), exception.size(), readOfTwo).exceptionCode, 2);
}

TEST(NetworkPortAddress, NamesHostKindAndPort) {
    struct Case {
        const char* text;
        bool valid;
        NetworkPort::Kind kind;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"tcp://gateway.lab", true, NetworkPort::Kind::ModbusTcp, "gateway.lab", 502},
        {"tcp://10.0.0.7:1502", true, NetworkPort::Kind::ModbusTcp, "10.0.0.7", 1502},
        {"rtu+tcp://[::1]:4001", true, NetworkPort::Kind::RtuOverTcp, "::1", 4001},
        {"rtu+tcp://10.0.0.7", false, {}, "", 0},
        {"tcp://10.0.0.7:0", false, {}, "", 0},
        {"tcp://10.0.0.7:70000", false, {}, "", 0},
        {"tcp://:502", false, {}, "", 0},
        {"/dev/ttyUSB0", false, {}, "", 0},
    };
    for (const Case& c : cases) {
        const auto port = NetworkPort::parse(c.text);
        ASSERT_EQ(port.has_value(), c.valid) << c.text;
        if (!port)
            continue;
        EXPECT_EQ(port->kind, c.kind) << c.text;
        EXPECT_EQ(port->host, c.host) << c.text;
        EXPECT_EQ(port->port, c.port) << c.text;
    }
}

// Instruments 1 and 2 behind a gateway of each kind.
class NetworkLinkTest : public test::LineFixture {
protected:
    void SetUp() override {
        line = std::make_unique<sim::SimulatedLine>(
            test::lineOf({test::instrument(1, 12.5f, 1), test::instrument(2, 12.5f, 1)}));
        for (Framing framing : {Framing::ModbusTcp, Framing::RtuOverTcp}) {
            gateways.push_back(std::make_unique<sim::NetworkGateway>(*line, framing, 0));
            std::string error;
            ASSERT_TRUE(gateways.back()->open(error)) << error;
        }
    }
    std::vector<std::unique_ptr<sim::NetworkGateway>> gateways;
};

TEST_F(NetworkLinkTest, LateRepliesAndBadCrcsNeverPassForAnAnswer) {
    for (const auto& gateway : gateways) {
        const std::string port = gateway->address();
        PortLink link;
        ASSERT_EQ(link.open(port), OpenResult::Opened) << port;
        ASSERT_TRUE(link.setSlave(1));
        uint16_t regs[2] = {};
        // The reply to the first read comes after the response timeout; the next read of the
        // same slave must get its own reply, not that one.
        line->faults().setLateOnce(1, 650);
        EXPECT_EQ(link.readInputRegisters(regmap::kInRange, 2, regs).kind(),
                  LinkResult::Kind::Timeout)
            << port;
        EXPECT_TRUE(link.readInputRegisters(regmap::kInLiveValue, 2, regs)) << port;
        EXPECT_EQ(regmap::decodeFloat(regs), 12.5f) << port;

        line->faults().setBadCrcFraction(1.0);
        const LinkResult garbled = link.readInputRegisters(regmap::kInLiveValue, 2, regs);
        line->faults().setBadCrcFraction(0.0);
        // A Modbus TCP gateway passes no garbled frame on: its client hears nothing.
        EXPECT_EQ(garbled.kind(), gateway->address().rfind("tcp", 0) == 0
                                      ? LinkResult::Kind::Timeout
                                      : LinkResult::Kind::BadFrame)
            << port;
        EXPECT_TRUE(link.readInputRegisters(regmap::kInLiveValue, 2, regs)) << port;
    }
}

TEST_F(NetworkLinkTest, AReplySentTwiceNeverStandsForTheNextRead) {
    // Passes each request to the simulator's RTU gateway and its reply on, then again 50 ms later
    // before it takes the next request.
    const NetworkConnection upstream = connectTo(*NetworkPort::parse(gateways[1]->address()));
    ASSERT_EQ(upstream.result, OpenResult::Opened);
    test::HostileGateway twice([&](const std::vector<uint8_t>& request,
                                   test::HostileGateway& self) {
        ::send(upstream.fd, request.data(), request.size(), MSG_NOSIGNAL);
        std::vector<uint8_t> reply;
        uint8_t buffer[512];
        for (int wait = 300; true; wait = 20) {
            pollfd in{upstream.fd, POLLIN, 0};
            const ssize_t n = ::poll(&in, 1, wait) == 1 ? ::recv(upstream.fd, buffer, 512, 0) : 0;
            if (n <= 0)
                break;
            reply.insert(reply.end(), buffer, buffer + n);
        }
        if (self.send(reply) && self.pause(50))
            self.send(reply);
    });
    test::PollRecorder recorder;
    Poller poller(TickClock(), recorder);
    poller.addDevice(1);
    poller.setDisplayedAddress(1);
    ASSERT_EQ(poller.connect(twice.address("rtu+tcp")), OpenResult::Opened);
    EXPECT_TRUE(recorder.waitForPass(6));
    poller.disconnect();
    poller.waitStopped();
    ::close(upstream.fd);
    ASSERT_FALSE(recorder.displays.empty());
    for (const auto& display : recorder.displays)
        EXPECT_EQ(display.value, "12.5");
    ASSERT_EQ(recorder.last.size(), 1u);
    EXPECT_EQ(recorder.last[0].valueText, "12.5");
}

TEST_F(NetworkLinkTest, AConnectionClosedMidPassIsALostLine) {
    for (const auto& gateway : gateways) {
        test::PollRecorder recorder;
        Poller poller(TickClock(), recorder);
        poller.addDevice(1);
        poller.addDevice(2);
        ASSERT_EQ(poller.connect(gateway->address()), OpenResult::Opened);
        ASSERT_TRUE(recorder.waitForPass(2));
        gateway->close();
        ASSERT_TRUE(poller.waitStopped(std::chrono::seconds(20)));
        EXPECT_EQ(recorder.lost.size(), 1u) << gateway->address();
        EXPECT_EQ(poller.connect(gateway->address()), OpenResult::Refused);
        std::string error;
        ASSERT_TRUE(gateway->open(error)) << error;
        {
            const std::lock_guard<std::mutex> lock(recorder.mutex);
            recorder.passes = 0;
        }
        ASSERT_EQ(poller.connect(gateway->address()), OpenResult::Opened);
        ASSERT_TRUE(recorder.waitForPass(1)) << gateway->address();
        poller.disconnect();
        poller.waitStopped();
    }
}

// Whether a gateway takes connections again is asked without waiting for the answer: one gone
// quiet stays Trying through tries that each run into the connect timeout, one that listens is
// Reachable once a try of it ended, and a try of one port says nothing of another.
TEST_F(NetworkLinkTest, AProbeFindsAGatewayReachableOnlyOnceItTakesConnections) {
    test::SilentGateway silent;
    ASSERT_TRUE(silent.ready);
    const std::string listening = gateways[0]->address();
    LineProbe probe;
    // Asks as the window does while it waits for its line, until `port` is reachable; false when
    // it is not within `ms`, which outlasts three connect timeouts.
    const auto reachableWithin = [&](const std::string& port, int ms) {
        return test::waitUntil([&] { return probe.ask(port) == LineProbe::Answer::Reachable; }, ms);
    };
    EXPECT_FALSE(reachableWithin(silent.address(), 1600));
    EXPECT_TRUE(reachableWithin(listening, 5000));

    // A try of the listening gateway, begun here, connects while the silent one is asked for:
    // what it found is no answer for the silent one.
    EXPECT_EQ(probe.ask(listening), LineProbe::Answer::Trying);
    EXPECT_FALSE(reachableWithin(silent.address(), 1600));
    gateways[0]->close();
    EXPECT_FALSE(reachableWithin(listening, 1600));
}

TEST(NetworkLinkOpen, AnUnknownHostAndAMalformedAddressAreToldApart) {
    PortLink link;
    EXPECT_EQ(link.open("tcp://no-such-gateway.invalid"), OpenResult::UnknownHost);
    EXPECT_EQ(link.open("rtu+tcp://no-such-gateway.invalid:4001"), OpenResult::UnknownHost);
    EXPECT_EQ(link.open("rtu+tcp://127.0.0.1"), OpenResult::CannotOpen);
    EXPECT_FALSE(link.isOpen());
}

// Runs one exchange on a thread of its own, so that a stalled link fails the bounded wait.
std::optional<LinkResult> endedWithin(std::chrono::seconds bound,
                                      const std::function<LinkResult()>& exchange) {
    std::future<LinkResult> done = std::async(std::launch::async, exchange);
    if (done.wait_for(bound) != std::future_status::ready)
        return std::nullopt;
    return done.get();
}

// Through a transparent gateway a reply of another length alone is a misfit, not silence.
TEST(HostileGatewayLink, AnRtuReplyOfAnotherLengthAloneIsAGarbledRead) {
    test::HostileGateway gateway(
        [](const std::vector<uint8_t>& request, test::HostileGateway& self) {
            self.send(withCrc({request[0], request[1], 4, 0, 0, 0x41, 0x48}));
        });
    PortLink link;
    ASSERT_EQ(link.open(gateway.address("rtu+tcp")), OpenResult::Opened);
    ASSERT_TRUE(link.setSlave(1));
    uint16_t regs[6] = {};
    EXPECT_EQ(link.readInputRegisters(1000, 6, regs).kind(), LinkResult::Kind::BadFrame);
    EXPECT_TRUE(link.readInputRegisters(regmap::kInLiveValue, 2, regs));
}

TEST(HostileGatewayLink, AModbusTcpReplyFromAnotherUnitIsAFailedRead) {
    // Whichever unit is asked, unit 1 answers, under the request's own transaction.
    test::HostileGateway gateway(
        [](const std::vector<uint8_t>& request, test::HostileGateway& self) {
            self.send({request[0], request[1], 0, 0, 0, 7, 1, 4, 4, 0x41, 0x48, 0, 0});
        });
    PortLink link;
    ASSERT_EQ(link.open(gateway.address("tcp")), OpenResult::Opened);
    uint16_t regs[2] = {};
    ASSERT_TRUE(link.setSlave(1));
    EXPECT_TRUE(link.readInputRegisters(regmap::kInLiveValue, 2, regs));
    ASSERT_TRUE(link.setSlave(2));
    regs[0] = regs[1] = 0;
    EXPECT_EQ(link.readInputRegisters(regmap::kInLiveValue, 2, regs).kind(),
              LinkResult::Kind::BadFrame);
    EXPECT_EQ(regs[0], 0);
}

TEST(HostileGatewayLink, AnExchangeEndsWithinItsTimeoutWhateverTheGatewaySends) {
    // A right header, then its body a byte at a time, each well within a byte timeout of the last.
    test::HostileGateway dribbling(
        [](const std::vector<uint8_t>& request, test::HostileGateway& self) {
            std::vector<uint8_t> body(250, 0);
            body[0] = request[6];
            body[1] = 3;
            body[2] = 247;
            if (!self.send({request[0], request[1], 0, 0, 0, 250}))
                return;
            for (uint8_t byte : body) {
                if (!self.pause(450) || !self.send({byte}))
                    return;
            }
        });
    // Starts of input reads' replies, never the holding read's: noise that keeps the link scanning.
    test::HostileGateway flooding([](const std::vector<uint8_t>&, test::HostileGateway& self) {
        std::vector<uint8_t> noise;
        for (int i = 0; i < 100000; ++i)
            noise.insert(noise.end(), {0x01, 0x04, 0xFF});
        self.send(noise);
    });
    for (const std::string& port : {dribbling.address("tcp"), flooding.address("rtu+tcp")}) {
        PortLink link;
        ASSERT_EQ(link.open(port), OpenResult::Opened) << port;
        ASSERT_TRUE(link.setSlave(1));
        uint16_t regs[2] = {};
        const auto result = endedWithin(std::chrono::seconds(2), [&] {
            return link.readHoldingRegisters(regmap::kHoldSettings, 2, regs);
        });
        ASSERT_TRUE(result.has_value()) << port;
        EXPECT_EQ(result->kind(), LinkResult::Kind::Timeout) << port;
    }
}

}  // namespace
}  // namespace vornex
