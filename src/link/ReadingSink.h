#pragma once

#include <cstdint>

namespace vornex {

// One live value as the acquisition thread read it.
struct LiveReading {
    float value = 0.0f;  // as the instrument sends it
    uint32_t tick = 0;   // the poller's clock when the value arrived
    uint8_t address = 0;
};

// Hears the poller's readings: the recording, and each verification run. Both calls come on the
// acquisition thread, under the poller's lock of its sinks: neither may subscribe or unsubscribe.
class ReadingSink {
public:
    virtual ~ReadingSink() = default;

    // Whether the sink takes the reading of `address` that just arrived. Asked before the reading
    // is timed: the clock is read once per reading, and only for one that some sink takes.
    virtual bool takes(uint8_t address) = 0;
    // A reading the sink said it takes; every sink that takes it is handed the same time.
    virtual void reading(const LiveReading& reading) = 0;
};

}  // namespace vornex
