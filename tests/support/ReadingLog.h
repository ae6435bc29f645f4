#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "link/ReadingSink.h"

namespace vornex::test {

// A sink of the poller, as the recording and each verification run are: every reading it takes
// while it is on, as it took it.
class ReadingLog : public ReadingSink {
public:
    explicit ReadingLog(bool taking = true) : on(taking) {}

    std::atomic<bool> on;

    bool takes(uint8_t) override { return on.load(); }
    void reading(const LiveReading& reading) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        readings_.push_back(reading);
    }
    std::vector<LiveReading> taken() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return readings_;
    }

private:
    std::mutex mutex_;
    std::vector<LiveReading> readings_;
};

}  // namespace vornex::test
