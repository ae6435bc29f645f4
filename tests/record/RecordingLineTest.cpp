#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "TempHome.h"
#include "link/Poller.h"
#include "record/HeadlessGraph.h"
#include "record/Recorder.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using testing::readRecords;
using testing::TempHome;

class QuietObserver : public PollObserver, public RecordingObserver {
public:
    void displayChanged(const std::string&, const std::string&) override {}
    void presenceChanged(size_t, uint8_t, PresenceState) override {}
    void passEnded(unsigned, const std::vector<RecordSnapshot>&) override {}
    void stoppedOnEmptyTable() override {}
    void portLost(const std::string&) override { ++troubles; }
    void pollingEnded() override {}
    void toolbarStateChanged(ToolbarState) override {}
    void appendFailed(const std::string&, const std::string&) override { ++troubles; }
    void appendRecovered(const std::string&) override {}
    void pointsDropped(const std::string&, size_t) override { ++troubles; }
    std::atomic<int> troubles{0};
};

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
    QuietObserver observer;
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
    EXPECT_EQ(observer.troubles, 0);
}

}  // namespace
}  // namespace vornex
