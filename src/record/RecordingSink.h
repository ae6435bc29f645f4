#pragma once

#include "link/ReadingSink.h"
#include "link/TickClock.h"
#include "record/RecordingSignal.h"
#include "record/SampleQueue.h"

namespace vornex {

// The recording's way in from the poller: while a recording runs, every reading is queued for the
// recorder as a sample timed from the recording's time base.
class RecordingSink : public ReadingSink {
public:
    explicit RecordingSink(const RecordingSignal& signal) : signal_(signal) {}

    // The flag is read before the time base, and both before the reading is timed: a Start sets
    // them the other way round, so no sample is timed from a missing base or one taken after it.
    bool takes(uint8_t) override {
        if (!signal_.recording())
            return false;
        timeBase_ = signal_.timeBase();
        return true;
    }
    void reading(const LiveReading& reading) override {
        samples_.push(Sample{reading.value, TickClock::secondsBetween(timeBase_, reading.tick),
                             reading.address});
    }

    SampleQueue& samples() { return samples_; }
    const SampleQueue& samples() const { return samples_; }

private:
    const RecordingSignal& signal_;
    uint32_t timeBase_ = 0;  // acquisition thread: the base of the reading being taken
    SampleQueue samples_;
};

}  // namespace vornex
