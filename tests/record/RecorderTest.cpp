#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

#include "RecordFiles.h"
#include "TempDir.h"
#include "Wait.h"
#include "record/HeadlessGraph.h"
#include "record/Recorder.h"

namespace vornex {
namespace {

using test::point;
using test::readRecords;
using test::RecordingLog;

// A recorder on a headless graph, a clock the test sets, and a writer that only runs when
// flushed (its period is far beyond any test).
struct Bench {
    test::TempDir home;
    std::atomic<uint32_t> ticks{5000};
    TestSession session{home.folder("Data"), [] { return std::time_t{1514880300}; }};
    SampleQueue samples;
    HeadlessGraph graph;
    RecordingLog observer;
    Recorder recorder{graph,
                      session,
                      observer,
                      observer,
                      TickClock([this] { return ticks.load(); }),
                      std::chrono::hours(1)};

    Bench() {
        recorder.attachSamples(&samples);
        recorder.initialUpdate();
    }

    std::string newTest(const std::string& name) {
        session.proposeName();
        EXPECT_EQ(session.add(name), TestSession::AddResult::Added);
        return session.currentPath();
    }
    std::string startTest(const std::string& name) {
        const std::string path = newTest(name);
        EXPECT_EQ(recorder.start(), Recorder::StartResult::Started);
        return path;
    }
    void push(double seconds, float value, uint8_t slave) {
        samples.push(Sample{value, seconds, slave});
    }
    // A sample timed now, as the acquisition thread times it.
    void pushNow(float value, uint8_t slave) {
        push(TickClock::secondsBetween(recorder.signal().timeBase(), ticks), value, slave);
    }
};

// Stop and Close test leave the append to the writer thread: waits until `path` holds `count`
// records.
bool waitForRecords(const std::string& path, size_t count) {
    return test::waitUntil([&] { return readRecords(path).size() >= count; }) &&
           readRecords(path).size() == count;
}

TEST(Recorder, EachTestTakesItsOwnTimeBaseAtItsFirstStart) {
    Bench b;
    EXPECT_EQ(b.recorder.start(), Recorder::StartResult::NoTestOpen);
    EXPECT_FALSE(b.recorder.signal().recording());
    b.newTest("a");
    ASSERT_EQ(b.recorder.start(), Recorder::StartResult::Started);
    EXPECT_EQ(b.recorder.signal().timeBase(), 5000u);
    b.pushNow(1.0f, 1);  // still queued at Stop
    b.recorder.stop();
    b.ticks = 9000;
    b.recorder.start();
    EXPECT_EQ(b.recorder.signal().timeBase(), 5000u);  // Stop and Start continue the time axis
    b.pushNow(1.0f, 1);
    b.recorder.tick();
    ASSERT_EQ(b.graph.series(0).count, 2);  // and keep the curves, broken at the pause
    EXPECT_EQ(b.graph.breaks(), 1);
    EXPECT_DOUBLE_EQ(b.graph.series(0).newest.time, 4.0);
    b.recorder.closeTest();

    b.ticks = 101000;
    const std::string second = b.newTest("b");
    b.recorder.start();
    EXPECT_EQ(b.recorder.signal().timeBase(), 101000u);
    b.ticks = 101100;
    b.pushNow(2.0f, 1);
    b.recorder.stop();
    ASSERT_TRUE(waitForRecords(second, 1));
    const auto file = readRecords(second);
    EXPECT_FLOAT_EQ(static_cast<float>(file[0].time), 0.1f);
    EXPECT_EQ(b.observer.states(),
              (std::vector<RecordingState>{RecordingState::Recording, RecordingState::Stopped,
                                           RecordingState::Recording, RecordingState::Stopped,
                                           RecordingState::Recording, RecordingState::Stopped}));
}

TEST(Recorder, CurvesShowEveryMeasuredPointOfTheirSlaveAndNoOrigin) {
    Bench b;
    const std::string path = b.startTest("a");
    b.push(0.1f, 1.0f, 1);
    b.push(0.1f, 7.0f, 2);
    b.push(0.0f, 9.0f, 0);
    EXPECT_EQ(b.recorder.tick(), 3u);
    ASSERT_EQ(b.graph.series(0).count, 1);
    EXPECT_EQ(b.graph.series(0).newest.value, 1.0);
    EXPECT_EQ(b.graph.series(1).count, 1);
    b.push(0.2f, 2.0f, 1);
    b.push(0.2f, 8.0f, 2);
    b.recorder.tick();
    EXPECT_EQ(b.graph.series(0).count, 2);
    EXPECT_EQ(b.graph.series(1).newest.value, 8.0);
    EXPECT_EQ(b.graph.series(2).count, 0);
    ASSERT_TRUE(b.recorder.flush());
    const auto file = readRecords(path);
    ASSERT_EQ(file.size(), 4u);
    EXPECT_EQ(file[0].slave, 1);
    EXPECT_EQ(file[1].value, 7.0);
    EXPECT_FLOAT_EQ(static_cast<float>(file[3].time), 0.2f);
}

// The graph is handed each point once, also when the curve's ring starts again from its first
// slot, and a reading without a number is one point like any other.
TEST(Recorder, CurveWrapsAfterItsLastPointAndTheGraphGetsEveryPointOnce) {
    Bench b;
    b.startTest("a");
    for (uint32_t i = 0; i < CurveTable::kLength; ++i)
        b.push(i * 0.01, i == 7 ? NAN : 1.0f, 2);
    b.recorder.tick();
    EXPECT_EQ(b.graph.series(1).count, static_cast<int>(CurveTable::kLength));
    b.push(500.0, 3.0f, 2);
    b.recorder.tick();
    EXPECT_EQ(b.graph.series(1).count, static_cast<int>(CurveTable::kLength) + 1);
    EXPECT_EQ(b.graph.series(1).newest.value, 3.0);
    EXPECT_EQ(b.graph.clears(), 2) << "cleared at the initial update and the first Start only";
    // The window still follows the newest 100 points, the older ones taken from behind the wrap.
    EXPECT_FLOAT_EQ(static_cast<float>(b.graph.xRange()->lower),
                    (CurveTable::kLength - 100) * 0.01f);
    EXPECT_EQ(b.graph.xRange()->upper, 500.0);
}

TEST(Recorder, TimeWindowStartsAtTheTestsFirstPointAndThenFollowsTheNewest100) {
    Bench b;
    b.startTest("a");
    b.push(3.0f, 1.0f, 2);
    b.recorder.tick();
    EXPECT_EQ(b.graph.xRange()->lower, 3.0);
    EXPECT_EQ(b.graph.xRange()->upper, 23.0);
    b.push(23.0f, 1.0f, 1);  // another slave's curve: still from the test's first point
    b.recorder.tick();
    EXPECT_EQ(b.graph.xRange()->lower, 3.0);
    EXPECT_EQ(b.graph.xRange()->upper, 23.0);
    b.push(23.5f, 1.0f, 1);
    b.recorder.tick();
    EXPECT_EQ(b.graph.xRange()->lower, 3.0);  // fewer than 100 points: never before the first
    EXPECT_EQ(b.graph.xRange()->upper, 23.5);
    for (int i = 1; i <= 100; ++i)
        b.push(23.5f + static_cast<float>(i), 1.0f, 1);
    b.recorder.tick();
    EXPECT_EQ(b.graph.xRange()->lower, 23.5);  // 100 before the newest
    EXPECT_EQ(b.graph.xRange()->upper, 123.5);
}

TEST(Recorder, NewTestCloseTestAndLoadingLeaveNothingOfAnotherTest) {
    Bench b;
    const std::string saved = b.home.folder("Data") + "saved.pdat";
    const CurvePoint file[] = {point(0.5, 1, 2), point(0.5, 2, 5), point(1.5, 3, 2)};
    ASSERT_TRUE(TestFile(saved).append(file, 3).ok());
    const auto seriesCounts = [&b] {
        std::vector<int> counts;
        for (int s = 0; s < kCurveSlots; ++s)
            counts.push_back(b.graph.series(s).count);
        return counts;
    };
    const std::vector<int> nothing(kCurveSlots, 0);

    b.startTest("first");
    for (uint8_t slave = 1; slave <= 3; ++slave)
        b.push(1.0f, 10.0f, slave);
    b.recorder.tick();
    EXPECT_TRUE(b.recorder.closeTest());
    EXPECT_EQ(seriesCounts(), nothing);
    // A sample that the acquisition thread queued just before the close is not drawn.
    b.push(1.1f, 10.0f, 1);
    b.recorder.tick();
    EXPECT_EQ(seriesCounts(), nothing);

    ASSERT_TRUE(b.recorder.loadFile(saved));
    std::vector<int> loaded = nothing;
    loaded[1] = 2;
    loaded[4] = 1;
    EXPECT_EQ(seriesCounts(), loaded);
    EXPECT_EQ(b.graph.series(1).newest.value, 3.0);
    EXPECT_FALSE(b.recorder.loadFile(b.home.folder("Data") + "missing.pdat"));
    EXPECT_EQ(seriesCounts(), loaded);
    // Loading again shows the file once, not twice.
    ASSERT_TRUE(b.recorder.loadFile(saved));
    EXPECT_EQ(seriesCounts(), loaded);

    b.newTest("second");
    b.recorder.testOpened();
    EXPECT_EQ(seriesCounts(), nothing);
    // Without the hook, the first Start still begins with empty curves.
    ASSERT_TRUE(b.recorder.loadFile(saved));
    b.recorder.start();
    b.push(0.2f, 4.0f, 3);
    b.recorder.tick();
    std::vector<int> recorded = nothing;
    recorded[2] = 1;
    EXPECT_EQ(seriesCounts(), recorded);
}

// The day folder vanishes mid-recording: it is made again. A file in its place is left alone;
// the append fails, is reported once and retried in order; what is still unwritten at the end is
// handed back with the reason, never dropped silently.
TEST(Recorder, LostDayFolderIsMadeAgainAndAFileInItsPlaceIsReportedNotOverwritten) {
    Bench b;
    const std::string path = b.startTest("a");
    const std::string day = std::filesystem::path(path).parent_path();
    b.push(1.0f, 1.0f, 1);
    b.recorder.tick();
    ASSERT_TRUE(b.recorder.flush());
    std::filesystem::remove_all(day);
    b.push(2.0f, 2.0f, 1);
    b.recorder.tick();
    ASSERT_TRUE(b.recorder.flush());
    EXPECT_EQ(readRecords(path).size(), 1u);

    std::filesystem::remove_all(day);
    test::writeBytes(day, "not a folder");
    for (int i = 3; i <= 5; ++i) {
        b.push(static_cast<float>(i), static_cast<float>(i), 1);
        b.recorder.tick();
        EXPECT_FALSE(b.recorder.flush());
    }
    EXPECT_EQ(b.observer.failed(), std::vector<std::string>{path});
    EXPECT_EQ(b.recorder.queuedPoints(), 3u);
    EXPECT_EQ(test::readBytes(day), "not a folder");

    std::filesystem::remove(day);
    b.push(6.0f, 6.0f, 1);
    b.recorder.tick();
    ASSERT_TRUE(b.recorder.flush());
    EXPECT_EQ(b.observer.recovered(), 1);
    const auto file = readRecords(path);
    ASSERT_EQ(file.size(), 4u);
    for (size_t i = 0; i < file.size(); ++i)
        EXPECT_EQ(file[i].value, static_cast<double>(i) + 3.0);

    std::filesystem::remove_all(day);
    test::writeBytes(day, "not a folder");
    b.push(7.0f, 7.0f, 1);
    b.push(8.0f, 8.0f, 3);
    const auto unwritten = b.recorder.finish();
    ASSERT_EQ(unwritten.size(), 1u);
    EXPECT_EQ(unwritten[0].path, path);
    ASSERT_EQ(unwritten[0].points.size(), 2u);
    EXPECT_EQ(unwritten[0].points[1].value, 8.0);
    EXPECT_NE(unwritten[0].reason.find("not a folder"), std::string::npos) << unwritten[0].reason;
    EXPECT_EQ(b.observer.dropped(), 2u);
}

// A writer stuck on its file (here a FIFO that nobody reads yet) holds neither Stop nor Close
// test; their points still reach their own test, in order, and Close test's completion is told.
TEST(Recorder, StopAndCloseReturnWhileTheWriterIsStuckOnTheDisk) {
    Bench b;
    const std::string path = b.newTest("stuck");
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    b.recorder.start();
    for (int i = 1; i <= 3; ++i)
        b.push(static_cast<float>(i), static_cast<float>(i), 2);
    auto stopped = std::async(std::launch::async, [&] {
        b.recorder.stop();
        b.recorder.start();
        b.push(4.0f, 4.0f, 2);
        b.recorder.tick();
        return b.recorder.closeTest();
    });
    const bool returned = stopped.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    // Reading the FIFO lets the writer go on, whatever happened. The reading end stays open
    // until every point is in: the writer opens the file again for each append, and one that
    // opened just before a reader let go would write into a pipe with no reader.
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (bytes.size() < 4 * sizeof(CurvePoint) && std::chrono::steady_clock::now() < deadline) {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, static_cast<size_t>(n));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::close(fd);
    EXPECT_TRUE(returned) << "Stop or Close test waited for the disk";
    EXPECT_TRUE(stopped.get());
    ASSERT_EQ(bytes.size(), 4 * sizeof(CurvePoint));
    for (size_t i = 0; i < 4; ++i) {
        CurvePoint p;
        std::memcpy(&p, bytes.data() + i * sizeof p, sizeof p);
        EXPECT_EQ(p.value, static_cast<double>(i) + 1.0);
    }
    EXPECT_TRUE(test::waitUntil([&] { return b.observer.closedWritten() == 1; }));
    EXPECT_EQ(b.observer.closedUnwritten(), 0u);
}

TEST(Recorder, WriterThreadAppendsWhileRecordingAndTheEndFlushes) {
    test::TempDir home;
    TestSession session(home.folder("Data"));
    SampleQueue samples;
    HeadlessGraph graph;
    RecordingLog observer;
    std::string path;
    {
        Recorder recorder(graph, session, observer, observer, TickClock(),
                          std::chrono::milliseconds(5));
        recorder.attachSamples(&samples);
        session.proposeName();
        session.add("t");
        path = session.currentPath();
        recorder.start();
        samples.push(Sample{1.0f, 0.5, 2});
        recorder.tick();
        EXPECT_TRUE(waitForRecords(path, 1));
        samples.push(Sample{2.0f, 0.6, 2});
    }
    EXPECT_EQ(readRecords(path).size(), 2u);
}

}  // namespace
}  // namespace vornex
