#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "LineFixture.h"
#include "ReadingLog.h"
#include "RecordFiles.h"
#include "TempDir.h"
#include "Wait.h"
#include "record/HeadlessGraph.h"
#include "session/AcquisitionSession.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using test::readRecords;

// A millisecond clock that goes one on at every read, so every sample gets a time of its own.
// It keeps what it handed to the acquisition thread: one reading per queued sample.
struct SteppingClock {
    std::atomic<uint32_t> ms{1000};
    const std::thread::id controller = std::this_thread::get_id();
    std::mutex mutex;
    std::vector<uint32_t> acquisitionReads;

    TickClock clock() {
        return TickClock([this] {
            const uint32_t now = ms.fetch_add(1);
            if (std::this_thread::get_id() != controller) {
                std::lock_guard<std::mutex> lock(mutex);
                acquisitionReads.push_back(now);
            }
            return now;
        });
    }
    std::set<uint32_t> handedOut() {
        std::lock_guard<std::mutex> lock(mutex);
        return {acquisitionReads.begin(), acquisitionReads.end()};
    }
};

// Notes which thread each notification came from.
class Watcher : public SessionObserver {
public:
    std::atomic<unsigned> passes{0};

    void linkConnected() override { note("linkConnected"); }
    void pollingEnded() override { note("pollingEnded"); }
    void displayChanged(const std::string&, const std::string&) override { note("display"); }
    void presenceChanged(size_t, uint8_t, PresenceState) override { note("presence"); }
    void passEnded(unsigned, const std::vector<RecordSnapshot>&) override {
        ++passes;
        note("passEnded");
    }
    void portLost(const std::string&) override { note("portLost"); }
    void lineLost(std::time_t) override { note("lineLost"); }
    void lineBack(std::time_t, double, const std::string&) override { note("lineBack"); }
    void linkDisconnected() override { note("linkDisconnected"); }
    void recordingChanged(RecordingState) override { note("recordingChanged"); }
    void testOpened(const std::string&) override { note("testOpened"); }
    void appendFailed(const std::string&, const std::string&) override { note("appendFailed"); }
    void pointsUnwritten(const std::string&, size_t, const std::string&) override {
        note("pointsUnwritten");
    }

    // How often `what` came, and whether always on the controlling thread.
    size_t count(const std::string& what) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_.count(what);
    }
    bool onlyOnController(const std::string& what) const { return onlyOn(what, true); }
    bool neverOnController(const std::string& what) const { return onlyOn(what, false); }

private:
    void note(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.emplace(what, std::this_thread::get_id() == controller_);
    }
    bool onlyOn(const std::string& what, bool controller) const {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto [first, last] = seen_.equal_range(what);
        for (auto it = first; it != last; ++it) {
            if (it->second != controller)
                return false;
        }
        return first != last;
    }

    const std::thread::id controller_ = std::this_thread::get_id();
    mutable std::mutex mutex_;
    std::multimap<std::string, bool> seen_;
};

// Instruments 1, 2 and 3 on a simulated line, polled and recorded by one session.
struct Line {
    test::TempDir home;
    sim::SimulatedLine line{
        test::lineOf({test::instrument(1), test::instrument(2), test::instrument(3)})};
    SteppingClock clock;
    HeadlessGraph graph;
    Watcher watcher;
    std::unique_ptr<AcquisitionSession> session;

    void connect() {
        ASSERT_NO_FATAL_FAILURE(open());
        ASSERT_EQ(session->connect(line.portPath()), OpenResult::Opened);
    }
    // The line and the session, not yet connected.
    void open() {
        ASSERT_NO_FATAL_FAILURE(plugIn());
        session = std::make_unique<AcquisitionSession>(
            home.folder("Data"), graph,
            SessionSettings{testpaths::systemNow, clock.clock(), std::chrono::milliseconds(20)});
        session->addObserver(watcher);
        for (int address : {1, 2, 3})
            session->addDevice(static_cast<uint8_t>(address));
        session->setDisplayedAddress(1);
    }
    void plugIn() {
        std::string error;
        ASSERT_TRUE(line.startPty(home.path() + "/line", error)) << error;
    }

    void newTest(const std::string& name) {
        session->proposeName();
        ASSERT_EQ(session->newTest(name), TestSession::AddResult::Added);
    }

    // Waits until `done` holds, ticking as the window's timer does or not at all.
    template <typename Condition>
    bool waitUntil(Condition done, bool ticking) {
        return test::waitUntil([&] {
            if (ticking)
                session->tick();
            return done();
        });
    }
};

// Every sample the acquisition thread queues, across many Stop/Start/Close/New cycles (each with
// samples still waiting), ends up once, in order, in the file of the test that was open when it
// was taken. A record's time plus its test's time base gives back the clock reading it was taken
// at; a sample filed into another test comes back as a reading that was never handed out, or as
// one handed out twice.
TEST(RecordingLine, EverySampleLandsOnceInOrderInTheFileOfItsOwnTest) {
    Line l;
    ASSERT_NO_FATAL_FAILURE(l.connect());
    std::vector<std::string> files;
    std::vector<uint32_t> timeBases;
    for (int test = 0; test < 5; ++test) {
        // The pass running when the last test closed may still queue samples for it; they wait
        // for the next tick.
        const unsigned passes = l.watcher.passes;
        ASSERT_TRUE(l.waitUntil([&] { return l.watcher.passes >= passes + 2; }, false));
        ASSERT_NO_FATAL_FAILURE(l.newTest("cycle" + std::to_string(test)));
        files.push_back(l.session->testPath());
        for (int run = 0; run < 4; ++run) {
            ASSERT_EQ(l.session->start(), Recorder::StartResult::Started);
            if (run == 0)
                timeBases.push_back(l.session->timeBase());
            const uint64_t target = l.session->samplesTaken() + 6;
            ASSERT_TRUE(l.waitUntil([&] { return l.session->samplesTaken() >= target; }, true))
                << "the line delivered no samples";
            // Stop or Close test comes before the timer took the latest samples.
            ASSERT_TRUE(l.waitUntil([&] { return l.session->waitingSamples() > 0; }, false));
            if (run < 3)
                l.session->stop();
        }
        ASSERT_TRUE(l.session->closeTest());
    }
    l.session->disconnect();
    ASSERT_TRUE(l.session->waitPollingEnded(std::chrono::seconds(30)));
    l.session->tick();
    ASSERT_TRUE(l.session->flush());
    const std::set<uint32_t> handedOut = l.clock.handedOut();
    EXPECT_EQ(l.session->samplesTaken(), handedOut.size());

    std::set<uint32_t> filed;
    for (size_t test = 0; test < files.size(); ++test) {
        const auto records = readRecords(files[test]);
        ASSERT_FALSE(records.empty()) << files[test];
        double previous = -1.0;
        for (const CurvePoint& record : records) {
            const auto reading =
                timeBases[test] + static_cast<uint32_t>(std::lround(record.time * 1000.0));
            ASSERT_EQ(handedOut.count(reading), 1u) << "not taken in this test: " << files[test];
            ASSERT_TRUE(filed.insert(reading).second) << "twice: " << files[test];
            ASSERT_GT(record.time, previous) << "out of order in " << files[test];
            ASSERT_GE(record.slave, 1);
            ASSERT_LE(record.slave, 3);
            previous = record.time;
        }
    }
    EXPECT_EQ(filed, handedOut);
    EXPECT_EQ(l.watcher.count("appendFailed") + l.watcher.count("portLost"), 0u);
}

// Ending the session while it polls and records: polling ends first, then every sample queued
// up to the end is in the test's file. Each notification comes from the thread it is said to.
TEST(RecordingLine, EndingTheSessionMidRecordingFilesEverySampleAndNotifiesFromTheRightThreads) {
    Line l;
    ASSERT_NO_FATAL_FAILURE(l.connect());
    ASSERT_NO_FATAL_FAILURE(l.newTest("end"));
    const std::string path = l.session->testPath();
    ASSERT_EQ(l.session->start(), Recorder::StartResult::Started);
    ASSERT_TRUE(l.waitUntil([&] { return l.session->samplesTaken() >= 12; }, true));
    // No Stop and no Disconnect: samples are waiting and still coming while the session ends.
    ASSERT_TRUE(l.waitUntil([&] { return l.session->waitingSamples() > 0; }, false));
    l.session.reset();

    EXPECT_EQ(readRecords(path).size(), l.clock.handedOut().size());
    for (const char* controlling : {"linkConnected", "testOpened", "recordingChanged"})
        EXPECT_TRUE(l.watcher.onlyOnController(controlling)) << controlling;
    for (const char* acquisition : {"display", "presence", "passEnded", "pollingEnded"})
        EXPECT_TRUE(l.watcher.neverOnController(acquisition)) << acquisition;
    EXPECT_EQ(l.watcher.count("pointsUnwritten"), 0u);
}

// A line lost mid-recording stops the recording and is waited for; plugged in again at the same
// path it is polled again by itself, the instruments keep their identification, and the recording
// goes on into the same test: every live reading the line answered is in the file once, in order.
TEST(RecordingLine, ALostLineComesBackAndTheRecordingGoesOnIntoTheSameTest) {
    Line l;
    ASSERT_NO_FATAL_FAILURE(l.open());
    ASSERT_NO_FATAL_FAILURE(l.newTest("outage"));
    ASSERT_EQ(l.session->start(), Recorder::StartResult::Started);
    ASSERT_EQ(l.session->connect(l.line.portPath()), OpenResult::Opened);
    ASSERT_TRUE(l.waitUntil([&] { return l.session->samplesTaken() >= 6; }, true));
    ASSERT_TRUE(test::unplugBetweenExchanges(l.line, {1, 2, 3}));
    ASSERT_TRUE(l.waitUntil([&] { return l.session->waitingForLine(); }, true));
    EXPECT_FALSE(l.session->recording());
    ASSERT_NO_FATAL_FAILURE(l.plugIn());
    ASSERT_TRUE(l.waitUntil([&] { return l.session->recording(); }, true));
    EXPECT_FALSE(l.session->waitingForLine());
    const uint64_t taken = l.session->samplesTaken();
    ASSERT_TRUE(l.waitUntil([&] { return l.session->samplesTaken() >= taken + 6; }, true));
    l.session->finishPolling();
    l.session->stop();
    ASSERT_TRUE(l.session->flush());

    std::map<int, std::vector<float>> filed;
    for (const CurvePoint& p : readRecords(l.session->testPath()))
        filed[p.slave].push_back(static_cast<float>(p.value));
    for (int slave : {1, 2, 3})
        EXPECT_EQ(filed[slave], test::answeredLiveValues(l.line, slave)) << "slave " << slave;
    size_t identifications = 0;
    for (const sim::Transaction& t : l.line.log().entries())
        identifications += t.function == 17 ? 1 : 0;
    EXPECT_EQ(identifications, 3u);
    EXPECT_EQ(l.watcher.count("lineLost"), 1u);
    EXPECT_EQ(l.watcher.count("lineBack"), 1u);
}

// A reading reaches the recording and another sink alike, with the same time and value; a sink
// removed while polling runs is not called again, and the recording goes on without it.
TEST(RecordingLine, AReadingReachesTheRecordingAndAnotherSinkWithTheSameTimeAndValue) {
    Line l;
    ASSERT_NO_FATAL_FAILURE(l.connect());
    ASSERT_NO_FATAL_FAILURE(l.newTest("both"));
    ASSERT_EQ(l.session->start(), Recorder::StartResult::Started);
    test::ReadingLog other;
    l.session->addReadingSink(other);
    ASSERT_TRUE(l.waitUntil([&] { return other.taken().size() >= 9; }, true));
    l.session->removeReadingSink(other);
    const std::vector<LiveReading> heard = other.taken();
    const uint64_t taken = l.session->samplesTaken();
    ASSERT_TRUE(l.waitUntil([&] { return l.session->samplesTaken() >= taken + 6; }, true));
    EXPECT_EQ(other.taken().size(), heard.size());
    l.session->finishPolling();
    l.session->stop();
    ASSERT_TRUE(l.session->flush());

    std::map<uint32_t, CurvePoint> filed;
    for (const CurvePoint& p : readRecords(l.session->testPath()))
        filed[l.session->timeBase() + static_cast<uint32_t>(std::lround(p.time * 1000.0))] = p;
    for (const LiveReading& r : heard) {
        const auto it = filed.find(r.tick);
        ASSERT_NE(it, filed.end()) << "not recorded: " << r.tick;
        EXPECT_EQ(it->second.slave, r.address);
        EXPECT_EQ(static_cast<float>(it->second.value), r.value);
    }
}

// Disconnect, or Close test, while the session waits for a lost line ends the wait: the line
// plugged in again is left alone, and a user's Connect does not start the recording again.
TEST(RecordingLine, DisconnectOrCloseTestEndsTheWaitForALostLine) {
    for (const bool closing : {false, true}) {
        Line l;
        ASSERT_NO_FATAL_FAILURE(l.connect());
        ASSERT_NO_FATAL_FAILURE(l.newTest("wait"));
        ASSERT_EQ(l.session->start(), Recorder::StartResult::Started);
        ASSERT_TRUE(l.waitUntil([&] { return l.session->samplesTaken() >= 3; }, true));
        l.line.unplug();
        ASSERT_TRUE(l.waitUntil([&] { return l.session->waitingForLine(); }, true));
        if (closing)
            ASSERT_TRUE(l.session->closeTest());
        else
            l.session->disconnect();
        EXPECT_FALSE(l.session->waitingForLine());
        EXPECT_EQ(l.watcher.count("linkDisconnected"), 1u);
        ASSERT_NO_FATAL_FAILURE(l.plugIn());
        // Long enough for several tries, had the wait gone on.
        EXPECT_FALSE(test::waitUntil(
            [&] {
                l.session->tick();
                return l.session->pollingActive();
            },
            static_cast<int>(4 * AcquisitionSession::kLineRetry.count())));
        ASSERT_EQ(l.session->connect(l.line.portPath()), OpenResult::Opened);
        const unsigned passes = l.watcher.passes;
        ASSERT_TRUE(l.waitUntil([&] { return l.watcher.passes >= passes + 2; }, true));
        EXPECT_FALSE(l.session->recording());
    }
}

}  // namespace
}  // namespace vornex
