#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <cmath>

#include "GraphInput.h"
#include "RecordFiles.h"
#include "TempDir.h"
#include "record/Recorder.h"

namespace vornex {
namespace {

// A recorder drawing into a graph on screen, its samples timed by a clock the test sets.
class GraphRecording : public ::testing::Test {
protected:
    void SetUp() override {
        recorder_.attachSamples(&samples_);
        recorder_.initialUpdate();
        graph_.resize(800, 500);
        graph_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph_));
    }

    std::string newTest(const std::string& name) {
        session_.proposeName();
        EXPECT_EQ(session_.add(name), TestSession::AddResult::Added);
        return session_.currentPath();
    }
    // One reading per slave at `seconds` after the time base, as one polling pass queues them.
    void pass(double seconds, double value, std::initializer_list<uint8_t> slaves) {
        ticks_ = recorder_.signal().timeBase() + static_cast<uint32_t>(std::lround(seconds * 1000));
        for (const uint8_t slave : slaves) {
            samples_.push(Sample{static_cast<float>(value),
                                 TickClock::secondsBetween(recorder_.signal().timeBase(), ticks_),
                                 slave});
        }
        recorder_.tick();
    }
    QCPRange xRange() {
        graph_.replotNow();
        return graph_.xAxis->range();
    }

    test::TempDir home_;
    TestSession session_{home_.path() + "/"};
    std::atomic<uint32_t> ticks_{70000};
    SampleQueue samples_;
    test::RecordingLog observer_;
    CXGraph graph_;
    Recorder recorder_{graph_,
                       session_,
                       observer_,
                       observer_,
                       TickClock([this] { return ticks_.load(); }),
                       std::chrono::hours(1)};
};

TEST_F(GraphRecording, WindowBeginsAtTheFirstPointAndStopAndLoadingShowTheWholeTest) {
    const std::string path = newTest("a");
    recorder_.start();
    pass(2.0, 10.0, {1, 2});
    pass(3.0, 900.0, {1});  // a peak that the following window leaves behind
    for (int i = 1; i <= 200; ++i)
        pass(3.0 + 0.2 * i, 10.0 + i % 7, {1, 2});
    EXPECT_GT(xRange().lower, 3.0);
    EXPECT_LT(graph_.yAxis->range().upper, 900.0);

    recorder_.stop();
    EXPECT_NEAR(xRange().lower, 2.0, 1e-6);
    EXPECT_NEAR(xRange().upper, 43.0, 1e-6);
    EXPECT_GE(graph_.yAxis->range().upper, 900.0);
    EXPECT_LE(graph_.yAxis->range().lower, 10.0);

    // What was measured on the test goes with it.
    graph_.SetCursorFlags(14);
    graph_.Cursor();
    test::click(&graph_, test::pixelOf(graph_, 10.0, 10.0));
    test::click(&graph_, test::pixelOf(graph_, 20.0, 10.0));
    ASSERT_TRUE(graph_.measureCursor().isPlaced(MeasureCursor::Second));
    recorder_.closeTest();
    EXPECT_FALSE(graph_.measureCursor().isPlaced(MeasureCursor::First));
    EXPECT_FALSE(graph_.measureCursor().isPlaced(MeasureCursor::Second));
    EXPECT_TRUE(graph_.measureCursor().readout().isEmpty());

    // An old zoom does not hide the file that is loaded afterwards.
    graph_.Zoom();
    test::drag(&graph_, QPointF(300, 200), QPointF(400, 300));
    ASSERT_TRUE(recorder_.loadFile(path));
    EXPECT_NEAR(xRange().lower, 2.0, 1e-6);
    EXPECT_NEAR(xRange().upper, 43.0, 1e-6);
    EXPECT_GE(graph_.yAxis->range().upper, 900.0);

    // A file of one instant is shown with some width around it.
    const std::string single = session_.dataFolder() + "single.pdat";
    const CurvePoint one{7.0, 1.0, 4, {}};
    ASSERT_TRUE(TestFile(single).append(&one, 1).ok());
    ASSERT_TRUE(recorder_.loadFile(single));
    EXPECT_LT(xRange().lower, 7.0);
    EXPECT_GT(xRange().upper, 7.0);
}

// Longer than a curve's 18000 points, recorded and loaded, the whole test stays on the graph,
// each point once; now and then a reading without a number takes nothing from it.
TEST_F(GraphRecording, TheWholeTestBeyondTheLiveCurvesIsShownRecordedAndLoaded) {
    const std::string path = newTest("long");
    recorder_.start();
    constexpr int kPasses = 40000;
    for (int i = 1; i <= kPasses; ++i) {
        ticks_ = recorder_.signal().timeBase() + static_cast<uint32_t>(i * 50);
        for (const uint8_t slave : {uint8_t{2}, uint8_t{5}})
            samples_.push(Sample{i % 5000 == 0 ? NAN : static_cast<float>(i % 97),
                                 TickClock::secondsBetween(recorder_.signal().timeBase(), ticks_),
                                 slave});
        if (i % 250 == 0)  // several passes a tick, so that a curve wraps within one
            recorder_.tick();
    }
    recorder_.stop();
    ASSERT_TRUE(recorder_.flush());
    const std::vector<CurvePoint> file = test::readRecords(path);
    ASSERT_EQ(file.size(), 2u * kPasses);

    for (const bool loaded : {false, true}) {
        if (loaded) {
            recorder_.closeTest();
            ASSERT_TRUE(recorder_.loadFile(path));
        }
        for (const int slave : {2, 5}) {
            std::vector<std::pair<double, double>> expected;
            for (const CurvePoint& p : file) {
                if (p.slave == slave && !std::isnan(p.value))
                    expected.emplace_back(p.time, p.value);
            }
            EXPECT_EQ(test::shownPoints(graph_, slave - 1), expected)
                << "slave " << slave << (loaded ? ", loaded" : ", recorded");
        }
        EXPECT_NEAR(xRange().lower, file.front().time, 1e-9);
        EXPECT_NEAR(xRange().upper, file.back().time, 1e-9);
        EXPECT_LE(graph_.seriesGraph(1)->dataCount(), 2 * graph_.axisRect()->width() + 2);
    }
}

}  // namespace
}  // namespace vornex
