#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "files/FileResult.h"
#include "link/Sample.h"
#include "link/TickClock.h"
#include "record/CurveTable.h"
#include "record/FileWriter.h"
#include "record/GraphControl.h"
#include "record/RecordingObserver.h"
#include "record/RecordingSignal.h"
#include "record/SampleQueue.h"
#include "record/TestFile.h"
#include "record/TestSession.h"
#include "record/WriteQueue.h"

namespace vornex {

// The recording state of the graph: curves, time base, recording flag and the way from queued
// samples to curves and test files. Everything but the file writer runs on one thread (the
// window's, or the command line's), driven by start, stop, a 10 ms tick, loading and closing.
class Recorder {
public:
    enum class StartResult { Started, NoTestOpen };

    // The recording's news go to `observer`, its files' to `appends`.
    Recorder(GraphControl& graph, TestSession& session, RecordingObserver& observer,
             AppendObserver& appends, TickClock clock = TickClock(),
             std::chrono::milliseconds writePeriod = std::chrono::seconds(1));
    ~Recorder() { finish(); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // For the recording's sink: whether to queue samples, and their time base.
    const RecordingSignal& signal() const { return signal_; }

    // The queue the recording's sink fills; nullptr detaches it. It must outlive the recorder
    // or be detached first.
    void attachSamples(SampleQueue* samples) { samples_ = samples; }

    // The graph is (re)shown: every curve and every series empty, the time axis at 0..20 s.
    void initialUpdate();

    // A new test is open: the curves of whatever the graph showed go, and the next start takes a
    // new time base. Not to be called while a recording runs.
    void testOpened();

    // Refused unless a test is open. The first start of a test empties the curves and takes the
    // test's time base; a later start of the same test continues its time axis.
    StartResult start();

    // Ends the recording; samples and points still waiting go to the test they were taken for.
    // The append is left to the file-writer thread, so a slow disk never holds the caller. The
    // whole test comes into view.
    void stop();

    // Takes every queued sample, in order, into the curves and the write queue, appends the new
    // points to the graph and redraws once. Returns how many samples were taken.
    size_t tick();

    // Shows a saved test, whole, in place of the curves (nothing is queued for a file). Fails
    // when the file does not exist (the curves then stay) or cannot be read.
    FileResult loadFile(const std::string& path);

    // Closes the open test: the recording ends, the file-writer thread is asked to append its
    // points (the observer hears when it has), every curve is emptied and the next test takes its
    // own time base. False when no test was open.
    bool closeTest();

    // Points that could not be written to their test, and why.
    struct Unwritten {
        std::string path;
        std::vector<CurvePoint> points;
        std::string reason;
    };

    // Ends a running recording and appends every sample and point still waiting to its own test,
    // waiting for the disk. Points that cannot be written are reported as unwritten and returned.
    // Nothing is left to do afterwards.
    std::vector<Unwritten> finish();

    // Appends everything queued now; false when some points could not be written (they stay
    // queued and the failure has been reported).
    bool flush() { return writer_.flush(); }

    const CurveTable& curves() const { return curves_; }
    uint64_t samplesTaken() const { return samplesTaken_; }
    size_t queuedPoints() const { return writeQueue_.pointCount(); }

private:
    // Stores points of slaves with a curve slot in the curves and hands the graph each run of one
    // slave's points. Returns where the time axis goes after the last of them that moved it.
    std::optional<TimeRange> addToCurves(const CurvePoint* points, size_t count);
    void clearCurves();
    // The time axis over every point shown; the value axis follows it by itself.
    void showWholeTest();

    GraphControl& graph_;
    TestSession& session_;
    SampleQueue* samples_ = nullptr;
    RecordingObserver& observer_;
    TickClock clock_;

    RecordingSignal signal_;
    // From the first start of the open test until it closes: its time base is taken and its
    // samples are drawn.
    bool testStarted_ = false;
    // The file of the recording running or last run; samples that arrive late still belong to it.
    std::string targetPath_;
    CurveTable curves_;
    std::vector<Sample> taken_;
    uint64_t samplesTaken_ = 0;
    std::vector<CurvePoint> outgoing_;
    WriteQueue writeQueue_;
    FileWriter writer_;
};

}  // namespace vornex
