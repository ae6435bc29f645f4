#pragma once

#include <cstddef>
#include <string>

namespace vornex {

// Whether a recording runs.
enum class RecordingState { Recording, Stopped };

// What a recording tells its surroundings, always from the thread that drives the recording; how
// its points reach their files is an AppendObserver's news. Every method does nothing unless
// overridden.
class RecordingObserver {
public:
    virtual ~RecordingObserver() = default;
    virtual void recordingChanged(RecordingState /*state*/) {}
    // Points that could not be written when the recording state was torn down, and why.
    virtual void pointsUnwritten(const std::string& /*path*/, size_t /*count*/,
                                 const std::string& /*reason*/) {}
};

}  // namespace vornex
