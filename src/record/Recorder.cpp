#include "record/Recorder.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace vornex {

Recorder::Recorder(GraphControl& graph, TestSession& session, RecordingObserver& observer,
                   AppendObserver& appends, TickClock clock, std::chrono::milliseconds writePeriod)
    : graph_(graph),
      session_(session),
      observer_(observer),
      clock_(std::move(clock)),
      writer_(writeQueue_, appends, writePeriod) {}

std::vector<Recorder::Unwritten> Recorder::finish() {
    signal_.setRecording(false);
    writer_.stop();
    tick();
    std::vector<Unwritten> unwritten;
    if (writer_.flush())
        return unwritten;
    for (auto& batch : writeQueue_.takeAll()) {
        // Every run of one file, in queue order, makes one handful of that test's points.
        auto same = std::find_if(unwritten.begin(), unwritten.end(),
                                 [&](const Unwritten& u) { return u.path == batch.path; });
        if (same == unwritten.end()) {
            same = unwritten.insert(unwritten.end(),
                                    Unwritten{batch.path, {}, writer_.failure(batch.path)});
        }
        same->points.insert(same->points.end(), batch.points.begin(), batch.points.end());
    }
    for (const Unwritten& lost : unwritten)
        observer_.pointsUnwritten(lost.path, lost.points.size(), lost.reason);
    return unwritten;
}

void Recorder::initialUpdate() {
    clearCurves();
}

void Recorder::testOpened() {
    testStarted_ = false;
    clearCurves();
}

Recorder::StartResult Recorder::start() {
    if (!session_.isOpen())
        return StartResult::NoTestOpen;
    // Samples of an earlier recording still waiting go to that recording's test.
    tick();
    if (!testStarted_) {
        clearCurves();
        signal_.setTimeBase(clock_.now());
        testStarted_ = true;
    } else {
        graph_.breakCurves();
    }
    targetPath_ = session_.currentPath();
    // Set after the time base, so no sample is ever timed from a missing base.
    signal_.setRecording(true);
    writer_.start();
    observer_.recordingChanged(RecordingState::Recording);
    return StartResult::Started;
}

void Recorder::stop() {
    signal_.setRecording(false);
    tick();
    writer_.requestFlush();
    showWholeTest();
    observer_.recordingChanged(RecordingState::Stopped);
}

size_t Recorder::tick() {
    if (samples_ == nullptr)
        return 0;
    taken_.clear();
    samples_->drainInto(taken_);
    if (taken_.empty())
        return 0;
    samplesTaken_ += taken_.size();
    // A new test opened during a recording takes the recording's next points.
    if (signal_.recording())
        targetPath_ = session_.currentPath();
    outgoing_.clear();
    for (const Sample& sample : taken_) {
        if (hasCurveSlot(sample.address))
            outgoing_.push_back(CurvePoint{sample.seconds, sample.value, sample.address, {}});
    }
    // A sample taken after its test closed goes to that test's file, never into the curves.
    if (testStarted_ && !outgoing_.empty()) {
        if (const auto window = addToCurves(outgoing_.data(), outgoing_.size()))
            graph_.GetXAxis(0).SetCurrentRange(window->lower, window->upper, 0.0);
        graph_.Redraw();
    }
    if (!targetPath_.empty())
        writeQueue_.push(targetPath_, outgoing_.data(), outgoing_.size());
    return taken_.size();
}

FileResult Recorder::loadFile(const std::string& path) {
    if (::access(path.c_str(), F_OK) != 0) {
        const int err = errno;
        return FileResult::failed(
            err == ENOENT ? FileResultKind::Missing : FileResultKind::Unreadable, "no file " + path,
            err);
    }
    // A test just closed may still have points on their way to its file; loading reads the disk
    // anyway, so it waits for them rather than show the test cut short.
    writer_.flush();
    clearCurves();
    const FileResult read = TestFile(path).readAll([&](const CurvePoint* points, size_t count) {
        outgoing_.clear();
        std::copy_if(points, points + count, std::back_inserter(outgoing_),
                     [](const CurvePoint& point) { return hasCurveSlot(point.slave); });
        addToCurves(outgoing_.data(), outgoing_.size());
    });
    showWholeTest();
    return read;
}

bool Recorder::closeTest() {
    if (!session_.close())
        return false;
    signal_.setRecording(false);
    tick();
    writer_.requestFlush(session_.currentPath());
    testStarted_ = false;
    clearCurves();
    observer_.recordingChanged(RecordingState::Stopped);
    return true;
}

std::optional<TimeRange> Recorder::addToCurves(const CurvePoint* points, size_t count) {
    std::optional<TimeRange> window;
    size_t run = 0;
    for (size_t i = 0; i < count; ++i) {
        const int slot = points[i].slave - 1;
        curves_.add(points[i]);
        if (auto moved = curves_.window(slot))
            window = moved;
        if (i + 1 == count || points[i + 1].slave != points[i].slave) {
            graph_.appendPoints(points + run, static_cast<int>(i + 1 - run), slot);
            run = i + 1;
        }
    }
    return window;
}

void Recorder::clearCurves() {
    curves_.clear();
    graph_.clearCurves();
    graph_.GetXAxis(0).SetCurrentRange(0.0, CurveTable::kFixedSpan, 0.0);
    graph_.Redraw();
}

void Recorder::showWholeTest() {
    auto range = curves_.extent();
    if (!range)
        return;
    // A single instant still needs some width to be drawn.
    if (!(range->lower < range->upper)) {
        range->lower -= 1.0;
        range->upper += 1.0;
    }
    graph_.GetXAxis(0).SetCurrentRange(range->lower, range->upper, 0.0);
    graph_.Redraw();
}

}  // namespace vornex
