#pragma once

#include <cstdint>

namespace vornex {

// One live reading queued for recording.
struct Sample {
    float value = 0.0f;  // as the instrument sends it
    // Since the recording's time base; a double, as in the test file, so that a long test keeps
    // millisecond steps.
    double seconds = 0.0;
    uint8_t address = 0;
};

}  // namespace vornex
