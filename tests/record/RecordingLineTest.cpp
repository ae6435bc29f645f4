#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "RecordTestSupport.h"
#include "link/Poller.h"
#include "record/HeadlessGraph.h"
#include "record/Recorder.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using testing::readRecords;
using testing::TempHome;

// Every sample the acquisition thread queues, across many Stop/Start/Close/New cycles, ends up
// exactly once and in order in the file of the test it was taken for. The samples pass through a
// relay that counts and keeps them before the recorder takes them.
TEST(RecordingLine, EverySampleLandsOnceInOrderInItsOwnTest) {
    TempHome home;
    sim::SimConfig config;
    for (int address : {1, 2, 3}) {
        sim::InstrumentConfig instrument;
        instrument.address = address;
        config.instruments.push_back(instrument);
    }
    sim::SimulatedLine line(config);
    std::string error;
    ASSERT_TRUE(line.startPty(home.root() + "/line", error)) << error;

    TestSession session(home.data());
    HeadlessGraph graph;
    testing::Observer observer;
    Recorder recorder(graph, session, observer, TickClock(), std::chrono::milliseconds(20));
    Poller poller(recorder.signal(), TickClock(), observer);
    SampleQueue relay;
    recorder.attachSamples(&relay);
    std::vector<Sample> queued;
    const auto pump = [&] {
        const size_t before = queued.size();
        poller.samples().drainInto(queued);
        for (size_t i = before; i < queued.size(); ++i)
            relay.push(queued[i]);
    };
    for (uint8_t address : {1, 2, 3})
        poller.addDevice(address);
    ASSERT_EQ(poller.connect(line.portPath()), ConnectResult::Connected);

    std::vector<std::string> files;
    for (int test = 0; test < 5; ++test) {
        session.proposeName();
        ASSERT_EQ(session.add("cycle" + std::to_string(test)), TestSession::AddResult::Added);
        files.push_back(session.currentPath());
        for (int run = 0; run < 4; ++run) {
            pump();
            ASSERT_EQ(recorder.start(), Recorder::StartResult::Started);
            const size_t target = queued.size() + 6;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (queued.size() < target && std::chrono::steady_clock::now() < deadline) {
                pump();
                recorder.tick();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ASSERT_GE(queued.size(), target) << "the line delivered no samples";
            pump();
            recorder.stop();
        }
        pump();
        ASSERT_TRUE(recorder.closeTest());
    }
    poller.disconnect();
    poller.waitStopped();
    pump();
    recorder.tick();
    ASSERT_TRUE(recorder.flush());
    EXPECT_EQ(recorder.samplesTaken(), queued.size());

    std::vector<CurvePoint> written;
    for (const std::string& file : files) {
        const auto records = readRecords(file);
        EXPECT_FALSE(records.empty()) << file;
        written.insert(written.end(), records.begin(), records.end());
    }
    ASSERT_EQ(written.size(), queued.size());
    for (size_t i = 0; i < queued.size(); ++i) {
        ASSERT_EQ(written[i].slave, queued[i].address) << i;
        ASSERT_EQ(written[i].time, static_cast<double>(queued[i].seconds)) << i;
        ASSERT_EQ(written[i].value, static_cast<double>(queued[i].value)) << i;
    }
    EXPECT_TRUE(observer.failed().empty());
    EXPECT_EQ(observer.portsLost(), 0);
}

}  // namespace
}  // namespace vornex
