#pragma once

#include <cstddef>
#include <string>

namespace vornex {

// Whether a recording runs.
enum class RecordingState { Recording, Stopped };

// What a recording tells its surroundings. The state calls come from the thread that drives
// the recording; the append calls may come from the file-writer thread, so an implementation
// that touches a window must post them to the window's thread.
class RecordingObserver {
public:
    virtual ~RecordingObserver() = default;
    virtual void recordingChanged(RecordingState state) = 0;
    // The first failed append to `path` since it last succeeded; its points stay queued.
    virtual void appendFailed(const std::string& path, const std::string& reason) = 0;
    // Appends to `path` work again after a failure.
    virtual void appendRecovered(const std::string& path) = 0;
    // Points that could not be written when the recording state was torn down.
    virtual void pointsUnwritten(const std::string& path, size_t count) = 0;
};

}  // namespace vornex
