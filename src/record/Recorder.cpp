#include "record/Recorder.h"

#include <unistd.h>

#include <algorithm>

namespace vornex {

Recorder::Recorder(GraphControl& graph, TestSession& session, RecordingObserver& observer,
                   TickClock clock, std::chrono::milliseconds writePeriod)
    : graph_(graph),
      session_(session),
      observer_(observer),
      clock_(std::move(clock)),
      writer_(writeQueue_, observer, writePeriod) {}

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
    graph_.NoOp();
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
    uint32_t touched = 0;
    std::optional<TimeRange> window;
    for (const Sample& sample : taken_) {
        const CurvePoint point{sample.seconds, sample.value, sample.address, {}};
        if (!hasCurveSlot(point.slave))
            continue;
        outgoing_.push_back(point);
        // A sample taken after its test closed goes to that test's file, never into the curves.
        if (!testStarted_)
            continue;
        const int slot = addToCurves(point);
        touched |= 1u << slot;
        if (auto moved = curves_.window(slot))
            window = moved;
    }
    if (!targetPath_.empty())
        writeQueue_.push(targetPath_, outgoing_.data(), outgoing_.size());
    show(touched, window);
    return taken_.size();
}

bool Recorder::loadFile(const std::string& path, std::string* error) {
    if (::access(path.c_str(), F_OK) != 0) {
        if (error)
            *error = "no file " + path;
        return false;
    }
    // A test just closed may still have points on their way to its file; loading reads the disk
    // anyway, so it waits for them rather than show the test cut short.
    writer_.flush();
    clearCurves();
    uint32_t touched = 0;
    const ReadStatus status = TestFile(path).readAll(
        [&](const CurvePoint* points, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                if (hasCurveSlot(points[i].slave))
                    touched |= 1u << addToCurves(points[i]);
            }
        },
        error);
    show(touched, std::nullopt);
    showWholeTest();
    return status == ReadStatus::Read;
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

void Recorder::show(uint32_t touched, const std::optional<TimeRange>& window) {
    if (touched == 0)
        return;
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        if ((touched & (1u << slot)) == 0)
            continue;
        graph_.SetData(curves_.curve(slot), static_cast<int>(curves_.size(slot)), slot);
    }
    if (window)
        graph_.GetXAxis(0).SetCurrentRange(window->lower, window->upper, 0.0);
    graph_.Redraw();
}

int Recorder::addToCurves(const CurvePoint& point) {
    const int slot = point.slave - 1;
    const bool wraps = curves_.size(slot) == CurveTable::kLength;
    if (wraps)
        graph_.SetData(curves_.curve(slot), static_cast<int>(CurveTable::kLength), slot);
    curves_.add(point);
    if (wraps)
        graph_.SetData(curves_.curve(slot), 1, slot);
    return slot;
}

void Recorder::clearCurves() {
    curves_.clear();
    for (int slot = 0; slot < kCurveSlots; ++slot)
        graph_.SetData(curves_.curve(slot), 0, slot);
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
