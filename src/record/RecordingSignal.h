#pragma once

#include <atomic>
#include <cstdint>

namespace vornex {

// What the recording's sink needs to know of a recording: whether one runs and its time base.
// Written by the recorder on the interface thread, read on the acquisition thread.
class RecordingSignal {
public:
    void setTimeBase(uint32_t ticks) { timeBase_.store(ticks, std::memory_order_release); }
    uint32_t timeBase() const { return timeBase_.load(std::memory_order_acquire); }

    void setRecording(bool on) { recording_.store(on, std::memory_order_release); }
    bool recording() const { return recording_.load(std::memory_order_acquire); }

private:
    std::atomic<uint32_t> timeBase_{0};
    std::atomic<bool> recording_{false};
};

}  // namespace vornex
