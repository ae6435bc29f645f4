#pragma once

#include <cstdint>

namespace vornex {

// Local wall-clock time as an OLE automation date (days since 30 December 1899).
struct OleStamp {
    double date = 0.0;
    int32_t status = 1;  // 0 valid, 1 invalid
};

// One live reading queued for recording.
struct Sample {
    float value = 0.0f;
    float seconds = 0.0f;  // since the recording's time base
    OleStamp stamp;
    uint8_t address = 0;
};

}  // namespace vornex
