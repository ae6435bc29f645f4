#pragma once

#include <chrono>
#include <ctime>
#include <string>
#include <utility>

#include "link/LineProbe.h"
#include "record/TestPaths.h"

namespace vornex {

// The wait for a lost line: since when it lasts, whether the recording the loss stopped is wanted
// back, and when the port may be tried again. A network port is tried only once it takes
// connections, found out off the calling thread. The controlling thread's alone.
class LineWatch {
public:
    static constexpr std::chrono::milliseconds kRetry{500};

    explicit LineWatch(testpaths::WallClock wallClock) : wallClock_(std::move(wallClock)) {}

    // Starts the wait; returns the wall-clock time of the loss.
    std::time_t lose(bool recordingWanted);
    void end() { waiting_ = false; }
    bool waiting() const { return waiting_; }
    std::time_t lostAt() const { return lostAtWall_; }

    bool recordingWanted() const { return recordingWanted_; }
    // Stop was asked for while waiting: the recording the loss stopped is no longer wanted back.
    void forgetRecording() { recordingWanted_ = false; }

    // True once per retry period while waiting: the port may be tried now.
    bool due();
    // Whether `port` may be opened: a serial port always, a network port once it was found to
    // take a connection.
    bool reachable(const std::string& port);
    // The line is back: the wait ends. Returns the seconds it lasted.
    double back();
    std::time_t now() const { return wallClock_(); }

private:
    testpaths::WallClock wallClock_;
    LineProbe probe_;
    bool waiting_ = false;
    bool recordingWanted_ = false;
    std::chrono::steady_clock::time_point lostAt_{};
    std::time_t lostAtWall_ = 0;
    std::chrono::steady_clock::time_point nextTry_{};
};

}  // namespace vornex
