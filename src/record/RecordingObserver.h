#pragma once

#include <cstddef>
#include <string>

namespace vornex {

// Whether a recording runs.
enum class RecordingState { Recording, Stopped };

// What a recording tells its surroundings. The state calls come from the thread that drives
// the recording; the append calls may come from the file-writer thread, so an implementation
// that touches a window must post them to the window's thread. Every method does nothing unless
// overridden.
class RecordingObserver {
public:
    virtual ~RecordingObserver() = default;
    virtual void recordingChanged(RecordingState /*state*/) {}
    // The first failed append to `path` since it last succeeded; its points stay queued.
    virtual void appendFailed(const std::string& /*path*/, const std::string& /*reason*/) {}
    // Appends to `path` work again after a failure.
    virtual void appendRecovered(const std::string& /*path*/) {}
    // The append asked for when the test of `path` was closed has run; `unwritten` of its points
    // are still queued (they are retried). From the file-writer thread.
    virtual void closedTestWritten(const std::string& /*path*/, size_t /*unwritten*/) {}
    // Points that could not be written when the recording state was torn down, and why.
    virtual void pointsUnwritten(const std::string& /*path*/, size_t /*count*/,
                                 const std::string& /*reason*/) {}
};

}  // namespace vornex
