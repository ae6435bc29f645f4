#pragma once

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "Files.h"
#include "record/AppendObserver.h"
#include "record/CurvePoint.h"
#include "record/RecordingObserver.h"

namespace vornex::test {

// Reads a test file without the code under test.
inline std::vector<CurvePoint> readRecords(const std::string& path) {
    const std::string bytes = readBytes(path);
    std::vector<CurvePoint> points(bytes.size() / sizeof(CurvePoint));
    if (!points.empty())
        std::memcpy(points.data(), bytes.data(), points.size() * sizeof(CurvePoint));
    return points;
}

inline void writeRecords(const std::string& path, const std::vector<CurvePoint>& points) {
    writeBytes(path, std::string(reinterpret_cast<const char*>(points.data()),
                                 points.size() * sizeof(CurvePoint)));
}

inline CurvePoint point(double time, double value, uint8_t slave) {
    return CurvePoint{time, value, slave, {}};
}

// Keeps what a recording reports, from any thread.
class RecordingLog : public RecordingObserver, public AppendObserver {
public:
    void recordingChanged(RecordingState state) override {
        std::lock_guard<std::mutex> lock(mutex_);
        states_.push_back(state);
    }
    void appendFailed(const std::string& path, const std::string&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        failed_.push_back(path);
    }
    void appendRecovered(const std::string&) override { ++recovered_; }
    void closedTestWritten(const std::string&, size_t unwritten) override {
        ++closedWritten_;
        closedUnwritten_ += unwritten;
    }
    void pointsUnwritten(const std::string&, size_t count, const std::string&) override {
        dropped_ += count;
    }

    std::vector<RecordingState> states() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return states_;
    }
    std::vector<std::string> failed() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return failed_;
    }
    int recovered() const { return recovered_; }
    size_t dropped() const { return dropped_; }
    int closedWritten() const { return closedWritten_; }
    size_t closedUnwritten() const { return closedUnwritten_; }

private:
    mutable std::mutex mutex_;
    std::vector<RecordingState> states_;
    std::vector<std::string> failed_;
    std::atomic<int> recovered_{0};
    std::atomic<size_t> dropped_{0};
    std::atomic<int> closedWritten_{0};
    std::atomic<size_t> closedUnwritten_{0};
};

}  // namespace vornex::test
